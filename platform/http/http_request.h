#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trawlbox::platform {

// What one exchange may cost and how it takes its body.
struct RequestOptions {
  // An exchange that receives no byte (of the headers or the body) for this long ends.
  std::chrono::milliseconds stall_timeout;
  // An exchange that has not ended after this long ends, however steadily it moves.
  std::chrono::milliseconds total_timeout;
  // Redirects followed before the exchange fails (by HttpExchange; a system's request follows
  // none).
  int max_redirects;
  // True: the packed encodings the system can unpack are asked for, and the body arrives
  // unpacked. False: the identity encoding is asked for, and the body arrives exactly as sent.
  bool unpack;
};

// How one exchange has ended.
enum class RequestEnd {
  // The whole answer arrived.
  kComplete,
  // The receiver asked for no more.
  kRefused,
  // A stall or the total time.
  kTimedOut,
  // The body stopped short of the length the answer announced.
  kIncomplete,
  // Too many redirects, or one that points at no web URL (told by HttpExchange only).
  kBadRedirect,
  // Anything else: the network, the certificate, the system's HTTP stack.
  kFailed,
};

// The status and header lines of one answer.
struct HttpAnswer {
  long status = 0;
  // Names and values as sent, blanks around the value dropped, in order.
  std::vector<std::pair<std::string, std::string>> headers;
  // The body arrives unpacked whatever packing the answer names, so its announced length, which
  // counts the packed bytes, says nothing of what arrives.
  bool unpacked = false;

  // The first header of this name (compared without case); nothing when there is none.
  [[nodiscard]] std::optional<std::string_view> Header(std::string_view name) const;
  // The length of the body to come as the answer announces it; nothing when it announces none
  // (or a malformed one) or the body arrives unpacked from a packed one.
  [[nodiscard]] std::optional<std::int64_t> AnnouncedLength() const;
  // Takes one header line ("Name: value", its line end included or not). False for anything else:
  // no colon, an empty name, or blanks in the name.
  bool AddHeaderLine(std::string_view line);
};

// One GET exchange at a time, as each system's HTTP stack sends it: the request with the given
// header lines (a User-Agent given is the only one), no cookies, no authentication, HTTP/1.1, the
// server's certificate and name always verified, proxies as the system names them. Redirects are
// not followed: a redirect is an answer like any other. Lives on the window's thread and moves on
// only while its event loop runs.
class HttpRequest {
 public:
  // Takes the answer and the end of one exchange. OnHeaders and OnBody may be called inside the
  // system's callbacks: they must not process events, nor start or cancel an exchange.
  class Receiver {
   public:
    // The answer's status and headers, once each (an interim 1xx answer is not told). False
    // ends the exchange as kRefused before any body is read.
    virtual bool OnHeaders(const HttpAnswer& answer) = 0;
    // The next piece of the body. False ends the exchange as kRefused.
    virtual bool OnBody(std::string_view piece) = 0;
    // The exchange has ended. Called from the event loop, never after Cancel; may start the
    // next exchange.
    virtual void OnEnd(RequestEnd end) = 0;

   protected:
    virtual ~Receiver() = default;
  };

  virtual ~HttpRequest() = default;

  // Cancels any exchange in flight, then sends GET `url` (an http or https URL as it goes on the
  // wire) with `headers` ("Name: value" lines) under `options`, telling `receiver` what arrives.
  // Returns at once. False, with nothing sent and nothing to be told, when the system refuses.
  [[nodiscard]] virtual bool Start(const std::string& url, const std::vector<std::string>& headers,
                                   const RequestOptions& options, Receiver& receiver) = 0;
  // Ends the exchange in flight, telling nobody. Does nothing when none is.
  virtual void Cancel() = 0;
};

}  // namespace trawlbox::platform
