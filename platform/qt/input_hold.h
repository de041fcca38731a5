#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <memory>
#include <utility>
#include <vector>

namespace trawlbox::platform {

// For as long as it lives, keeps mouse, keyboard and other input away from the program's windows
// and hands it back, in order, when it goes: no handler then runs in the middle of a blocking
// transfer, while painting and the window manager's close request still get through. Lives on the
// GUI thread, on the stack of the blocking call.
class InputHold : public QObject {
 public:
  InputHold();
  ~InputHold() override;
  InputHold(const InputHold&) = delete;
  InputHold& operator=(const InputHold&) = delete;

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override;

 private:
  std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held_;
};

}  // namespace trawlbox::platform
