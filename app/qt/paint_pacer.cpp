#include "app/qt/paint_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <memory>

#include "platform/qt/qt_timer.h"

namespace trawlbox::app::qt {

PaintPacer::PaintPacer(QWidget& window)
    : window_(window), pacer_(std::make_unique<platform::QtTimer>(), [this] {
        QEvent update(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(&window_, &update);
      }) {
  window_.installEventFilter(this);
}

// Qt gathers every widget's dirty region in the window and asks for one UpdateRequest, and asks
// for no other until that one has been handled: holding it back keeps the regions gathering.
bool PaintPacer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_ || event->type() != QEvent::UpdateRequest) return false;
  return !pacer_.ShowNow();
}

}  // namespace trawlbox::app::qt
