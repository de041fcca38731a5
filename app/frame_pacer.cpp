#include "app/frame_pacer.h"

#include <chrono>
#include <utility>

namespace trawlbox::app {

FramePacer::FramePacer(std::unique_ptr<platform::Timer> timer, std::function<void()> offer_again)
    : timer_(std::move(timer)), offer_again_(std::move(offer_again)) {}

bool FramePacer::ShowNow() {
  if (!pacing_.PaintNow()) return false;
  timer_->Start(std::chrono::milliseconds(kFrameMs), [this] { FrameEnded(); });
  return true;
}

// What the flush shows closes the frame too: the window then blocks or a box stands over it, a
// quiet spell, so the first change after it is shown at once.
void FramePacer::Flush() {
  timer_->Stop();
  if (!pacing_.FrameEnded()) return;
  offer_again_();
  timer_->Stop();
  static_cast<void>(pacing_.FrameEnded());
}

void FramePacer::FrameEnded() {
  if (pacing_.FrameEnded()) offer_again_();
}

}  // namespace trawlbox::app
