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

void FramePacer::Flush() {
  timer_->Stop();
  FrameEnded();
}

void FramePacer::FrameEnded() {
  if (pacing_.FrameEnded()) offer_again_();
}

}  // namespace trawlbox::app
