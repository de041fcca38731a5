#pragma once

#include <cstddef>
#include <string>

#include "platform/event_yield.h"
#include "platform/http_transfer.h"
#include "results/window_state.h"

namespace trawlbox::collect {

// The largest piece of a body read at once.
inline constexpr std::size_t kChunkSize = 4096;

// Fetches `url` with a GET request carrying the program's User-Agent header and returns the body
// as UTF-8 text. Waits for the answer yielding to the window's events (without a time limit of its
// own; `StopRequested` drops only a repeat the server asked to be sent later, which makes the
// result empty), then reads the body piece by piece, yielding before
// each piece. `StopRequested` is tested before each piece: set before the first piece, the result
// is empty; set later, it is the text read so far (including the piece read right after the yield
// in which it was set). The empty text after any failure of the transfer. With `Closing` set at
// the start, returns the empty text without a request; set during a yield, returns the empty text
// at once. The request left unread is dropped by the transfer's next request.
[[nodiscard]] std::string FetchPage(const std::string& url, platform::HttpTransfer& transfer,
                                    platform::EventYield& yield, const results::WindowState& state);

}  // namespace trawlbox::collect
