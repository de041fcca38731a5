#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/http/hsts.h"
#include "platform/http/http_request.h"
#include "platform/timer.h"

namespace trawlbox::platform {

// One GET as the program sends it, over a system's request, with the rules written once for both
// systems:
// - Redirects (301, 302, 303, 307, 308 with a Location) are followed up to the limit, each target
//   resolved as a browser resolves it and checked as a web URL before anything is sent there; a
//   redirect without a Location is an answer like any other.
// - HSTS: what https answers teach `hsts` makes every later http URL of their hosts go out as
//   https, the first one, each redirect target and each repeat alike.
// - Come back later: a 429 or 503 whose Retry-After asks for at most a minute's wait is not told;
//   the same request is sent again after that wait, at most three more times.
// Each try (the first and each repeat, with its redirects) gets the time limits afresh; a wait
// counts toward none of them. The receiver hears only the final answer and one end.
class HttpExchange : public HttpRequest, private HttpRequest::Receiver {
 public:
  static constexpr int kMaxRepeats = 3;
  static constexpr std::chrono::seconds kLongestWait{60};

  // `request` sends each exchange on the wire, `timer` waits before a repeat; `hsts` must outlive
  // the exchange.
  HttpExchange(std::unique_ptr<HttpRequest> request, std::unique_ptr<Timer> timer, HstsStore& hsts);
  ~HttpExchange() override;
  HttpExchange(const HttpExchange&) = delete;
  HttpExchange& operator=(const HttpExchange&) = delete;

  // `url` must be a web URL as it goes on the wire (see WebUrl).
  [[nodiscard]] bool Start(const std::string& url, const std::vector<std::string>& headers,
                           const RequestOptions& options, HttpRequest::Receiver& receiver) override;
  // Also drops a repeat that is waiting to be sent.
  void Cancel() override;

  // True while the exchange waits to send its request again; nothing is on the wire then.
  [[nodiscard]] bool AwaitingRepeat() const;

 private:
  struct Redirect {
    std::string location;
  };

  bool OnHeaders(const HttpAnswer& answer) override;
  bool OnBody(std::string_view piece) override;
  void OnEnd(RequestEnd end) override;

  // Starts a try: the first, or a repeat, each with the whole time limits.
  [[nodiscard]] bool Try();
  // Sends `url`, as HSTS puts it, with what is left of the try's total time.
  [[nodiscard]] bool Send(const std::string& url);
  void FollowRedirect(const std::string& location);
  // Tells the receiver how the exchange ended; nothing is in flight any more.
  void Finish(RequestEnd end);

  std::unique_ptr<HttpRequest> request_;
  std::unique_ptr<Timer> timer_;
  HstsStore& hsts_;
  HttpRequest::Receiver* receiver_ = nullptr;
  std::vector<std::string> headers_;
  RequestOptions options_{};
  // The URL the exchange was started with, which every repeat sends again.
  std::string url_;
  // The URL of the request on the wire, against which a Location is resolved.
  std::string sent_url_;
  std::chrono::steady_clock::time_point try_started_;
  int redirects_ = 0;
  int repeats_ = 0;
  // What the answer on the wire asked for instead of being told, acted on once it has ended.
  std::optional<std::string> redirect_to_;
  std::optional<std::chrono::milliseconds> repeat_after_;
  bool awaiting_repeat_ = false;
};

}  // namespace trawlbox::platform
