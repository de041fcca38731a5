#include "platform/qt/qt_blocking_wait.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "platform/qt/input_hold.h"

namespace trawlbox::platform {

void QtBlockingWait::Until(const std::function<bool()>& done) {
  const InputHold input_hold;
  while (!done()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

}  // namespace trawlbox::platform
