#include "platform/qt/qt_sleeper.h"

#include <QThread>

namespace trawlbox::platform {

void QtSleeper::Sleep(int milliseconds) {
  if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

}  // namespace trawlbox::platform
