#pragma once

#include <cstddef>
#include <string>

namespace trawlbox::platform {

// One HTTP request at a time, read back as text in pieces. The page fetcher is its only user.
class HttpTransfer {
 public:
  virtual ~HttpTransfer() = default;

  // Starts `operation` ("GET") on `url` with `request_header` ("Name: value", no line end) and
  // returns without waiting for the answer. Any earlier request is dropped. False when the request
  // cannot be started: a URL that is not http or https, or a transfer that was shut down.
  [[nodiscard]] virtual bool Execute(const std::string& url, const std::string& operation,
                                     const std::string& request_header) = 0;

  // True while the request is under way; false once the body can be read or the request failed.
  [[nodiscard]] virtual bool StillExecuting() const = 0;

  // Puts the next piece of the body, decoded to UTF-8, into `chunk`: at most `max_bytes` bytes and
  // never split inside a character (a piece may hold one whole character longer than `max_bytes`
  // only when `max_bytes` is smaller than that character). The piece is empty once the body is
  // exhausted, and when the request failed nothing is delivered at all. False on a failing read.
  [[nodiscard]] virtual bool GetChunk(std::size_t max_bytes, std::string& chunk) = 0;

  // Ends a wait to send the request again (the server asked the program to come back later) as a
  // failed request: nothing more is sent and nothing is delivered. Does nothing while a request is
  // on the wire, or when none is under way.
  virtual void DropPendingRepeat() = 0;
};

}  // namespace trawlbox::platform
