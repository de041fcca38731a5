#pragma once

#include <functional>
#include <memory>

#include "app/frame_pacing.h"
#include "platform/timer.h"

namespace trawlbox::app {

// FramePacing's rule with the frames timed by a system's timer: what a window, a view or a control
// shows goes through ShowNow, and what a frame held back is offered again when the frame ends.
class FramePacer {
 public:
  // `timer` times the frames. `offer_again` is called when a frame that held changes back ends,
  // and must show them through ShowNow, which then answers true.
  FramePacer(std::unique_ptr<platform::Timer> timer, std::function<void()> offer_again);

  // A change wants showing. True: show it now; a frame opens, timed from now. False: it is held
  // until the frame ends.
  [[nodiscard]] bool ShowNow();
  // Ends the open frame at once, offering what it holds back: before the window blocks or a modal
  // box opens, so that nobody finds an older text or picture there meanwhile.
  void Flush();

 private:
  void FrameEnded();

  std::unique_ptr<platform::Timer> timer_;
  std::function<void()> offer_again_;
  FramePacing pacing_;
};

}  // namespace trawlbox::app
