#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/message_box.h"

namespace trawlbox::platform {

// A QMessageBox with one OK button and the title "Trawlbox", modal to `parent`.
class QtMessageBox : public MessageBox {
 public:
  explicit QtMessageBox(QWidget* parent);

  void Show(MessageIcon icon, const std::string& text) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace trawlbox::platform
