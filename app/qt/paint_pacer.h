#pragma once

#include <QObject>
#include <QWidget>

#include "app/frame_pacer.h"

namespace trawlbox::app::qt {

// Paints a window at most once a frame: Qt gathers every widget's dirty region into one update
// request of the window, which is held back while a frame is open. What the accessibility bus
// reads changes at once.
class PaintPacer : public QObject {
  Q_OBJECT

 public:
  // Paces `window`, a top-level widget that must outlive the pacer.
  explicit PaintPacer(QWidget& window);

  // Paints what the open frame holds back, now.
  void Flush() { pacer_.Flush(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& window_;
  FramePacer pacer_;
};

}  // namespace trawlbox::app::qt
