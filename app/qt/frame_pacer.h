#pragma once

#include <QObject>
#include <QTimer>
#include <QWidget>

#include "app/frame_pacing.h"

namespace trawlbox::app::qt {

// Paints a window at most once a frame, by FramePacing's rule: Qt gathers every widget's dirty
// region into one update request of the window, which is held back while a frame is open. What
// the accessibility bus reads changes at once.
class FramePacer : public QObject {
  Q_OBJECT

 public:
  // Paces `window`, a top-level widget that must outlive the pacer.
  explicit FramePacer(QWidget& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void EndFrame();

  QWidget& window_;
  QTimer frame_;
  FramePacing pacing_;
};

}  // namespace trawlbox::app::qt
