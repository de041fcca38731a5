#pragma once

namespace trawlbox::app {

// One frame of a display refreshed 60 times a second: more often than this, nobody sees a change.
inline constexpr int kFrameMs = 16;

// The rule by which both windows paint at most once a frame. A collection run or a download walk
// changes the status line and the grid at every yield, hundreds of times a second, and each
// repaint costs the display server as much as any other although nobody sees more than about 60
// frames a second. The first change after a quiet spell is painted at once and opens a frame;
// later ones are held until the frame ends, when what they changed is painted together. What is
// shown waits for at most one frame.
class FramePacing {
 public:
  // A change wants painting. True: paint it now, and time a frame from now (the caller's timer).
  // False: it is held until the frame ends.
  [[nodiscard]] bool PaintNow() {
    if (open_) {
      held_ = true;
      return false;
    }
    open_ = true;
    return true;
  }

  // The frame's time is up, and it is over. True when changes were held: paint them now, which
  // (through PaintNow) opens the next frame.
  [[nodiscard]] bool FrameEnded() {
    const bool held = held_;
    open_ = false;
    held_ = false;
    return held;
  }

 private:
  bool open_ = false;
  bool held_ = false;
};

}  // namespace trawlbox::app
