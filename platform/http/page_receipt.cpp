#include "platform/http/page_receipt.h"

#include <algorithm>
#include <utility>

#include "platform/http/page_text.h"

namespace trawlbox::platform {

namespace {

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U; }

}  // namespace

PageReceipt::PageReceipt(std::size_t max_body_bytes) : max_body_bytes_(max_body_bytes) {}

void PageReceipt::Start() {
  Clear();
  state_ = State::kExecuting;
}

void PageReceipt::Clear() {
  state_ = State::kIdle;
  cut_ = false;
  text_ = std::string();
  read_offset_ = 0;
}

bool PageReceipt::Append(std::string_view piece) {
  if (state_ != State::kExecuting || cut_) return false;
  const std::size_t room = max_body_bytes_ - text_.size();
  text_.append(piece.substr(0, room));
  cut_ = piece.size() > room;
  return !cut_;
}

void PageReceipt::End(bool completed, std::string_view content_type, const TextDecoder& decoder) {
  if (state_ != State::kExecuting) return;
  if (!completed && !cut_) {
    Fail();
    return;
  }
  text_ = PageText(std::exchange(text_, std::string()), content_type, decoder);
  read_offset_ = 0;
  state_ = State::kDone;
}

void PageReceipt::Fail() {
  Clear();
  state_ = State::kFailed;
}

bool PageReceipt::Executing() const { return state_ == State::kExecuting; }

bool PageReceipt::GetChunk(std::size_t max_bytes, std::string& chunk) {
  chunk.clear();
  if (state_ != State::kDone) return false;
  const std::size_t size = text_.size();
  if (read_offset_ >= size) return true;
  std::size_t end = std::min(size, read_offset_ + max_bytes);
  if (end < size) {
    while (end > read_offset_ && IsUtf8Continuation(text_[end])) --end;
    if (end == read_offset_) {
      // Smaller than one character: hand out that character whole.
      ++end;
      while (end < size && IsUtf8Continuation(text_[end])) ++end;
    }
  }
  chunk.assign(text_, read_offset_, end - read_offset_);
  read_offset_ = end;
  if (read_offset_ == size) {
    // Read whole: the page lives on with the reader, so the receipt lets its copy go.
    text_ = std::string();
    read_offset_ = 0;
  }
  return true;
}

}  // namespace trawlbox::platform
