#pragma once

#include <QObject>
#include <QTimer>
#include <QWidget>

namespace trawlbox::app {

// One frame of a display refreshed 60 times a second: more often than this, nobody sees a change.
inline constexpr int kFrameMs = 16;

// Paints a window at most once a frame (about 60 times a second). A collection run or a download
// walk changes the status line and the grid at every yield, hundreds of times a second, and Qt
// would repaint them and hand the pixels to the display server at each one, although nobody sees
// more than about 60 frames a second. The texts, the cells and what the accessibility bus reads
// change at once; only their painting waits, for at most one frame: the first repaint after a
// quiet spell is painted at once, later ones are gathered until the frame is over.
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
  // A repaint was asked for during the frame and is owed when it ends.
  bool held_ = false;
};

}  // namespace trawlbox::app
