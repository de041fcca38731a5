#include "platform/qt/qt_event_yield.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace trawlbox::platform {

namespace {
constexpr int kSafetyIntervalMs = 100;
}  // namespace

QtEventYield::QtEventYield() {
  safety_timer_.setSingleShot(true);
  safety_timer_.setInterval(kSafetyIntervalMs);
}

void QtEventYield::YieldOnce() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtEventYield::YieldUntilEvent() {
  safety_timer_.start();
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace trawlbox::platform
