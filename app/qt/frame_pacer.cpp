#include "app/qt/frame_pacer.h"

#include <QCoreApplication>
#include <QEvent>

namespace trawlbox::app::qt {

FramePacer::FramePacer(QWidget& window) : window_(window) {
  frame_.setSingleShot(true);
  frame_.setInterval(kFrameMs);
  connect(&frame_, &QTimer::timeout, this, &FramePacer::EndFrame);
  window_.installEventFilter(this);
}

bool FramePacer::eventFilter(QObject* watched, QEvent* event) {
  // Qt gathers every widget's dirty region in the window and asks for one UpdateRequest, and
  // asks for no other until that one has been handled: holding it back keeps the regions gathering.
  if (watched != &window_ || event->type() != QEvent::UpdateRequest) return false;
  if (!pacing_.PaintNow()) return true;
  frame_.start();
  return false;
}

void FramePacer::EndFrame() {
  if (!pacing_.FrameEnded()) return;
  QEvent update(QEvent::UpdateRequest);
  QCoreApplication::sendEvent(&window_, &update);
}

}  // namespace trawlbox::app::qt
