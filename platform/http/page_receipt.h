#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text_decoder.h"

namespace trawlbox::platform {

// What one page request has received, whatever HTTP stack fetched it: the body up to the size
// limit while the request runs, then the page as UTF-8, handed out in pieces that never split a
// character. A request that fails delivers nothing at all; a body cut at the limit is a page all
// the same.
class PageReceipt {
 public:
  explicit PageReceipt(std::size_t max_body_bytes);

  // Drops what an earlier request left, and counts a new one as under way.
  void Start();
  // Drops everything: no request is under way and nothing can be read.
  void Clear();

  // Keeps the next piece of the body. False once the size limit is reached: the body is kept up
  // to the limit and the request should end; later pieces are ignored.
  [[nodiscard]] bool Append(std::string_view piece);
  // The request has ended, `completed` when the whole answer arrived. A completed answer, or one
  // cut at the size limit (whatever ended it after the cut), becomes the page, decoded by its
  // `content_type`, its byte-order mark or its <meta> tag; anything else delivers nothing.
  void End(bool completed, std::string_view content_type, const TextDecoder& decoder);
  // The request has ended without a page: a time-out, or a transfer shut down.
  void Fail();

  // True from Start until End or Fail.
  [[nodiscard]] bool Executing() const;
  // Puts the next piece of the page into `chunk`: at most `max_bytes` bytes, never split inside a
  // character (one character longer than `max_bytes` is handed out whole), empty once the page is
  // read. False, with an empty piece, when there is no page to read: no request, one still under
  // way, or one that failed. The page is let go once read whole.
  [[nodiscard]] bool GetChunk(std::size_t max_bytes, std::string& chunk);

 private:
  enum class State { kIdle, kExecuting, kDone, kFailed };

  std::size_t max_body_bytes_;
  State state_ = State::kIdle;
  bool cut_ = false;
  // The raw body while the request runs, then the page as UTF-8.
  std::string text_;
  std::size_t read_offset_ = 0;
};

}  // namespace trawlbox::platform
