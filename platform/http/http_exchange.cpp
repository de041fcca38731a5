#include "platform/http/http_exchange.h"

#include <utility>

#include "platform/http/location.h"
#include "platform/http/retry_after.h"
#include "platform/http/web_url.h"

namespace trawlbox::platform {

namespace {

using SteadyClock = std::chrono::steady_clock;

bool IsRedirect(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool AsksToComeBackLater(long status) { return status == 429 || status == 503; }

}  // namespace

HttpExchange::HttpExchange(std::unique_ptr<HttpRequest> request, std::unique_ptr<Timer> timer,
                           HstsStore& hsts)
    : request_(std::move(request)), timer_(std::move(timer)), hsts_(hsts) {}

HttpExchange::~HttpExchange() { Cancel(); }

bool HttpExchange::Start(const std::string& url, const std::vector<std::string>& headers,
                         const RequestOptions& options, HttpRequest::Receiver& receiver) {
  Cancel();
  headers_ = headers;
  options_ = options;
  url_ = url;
  repeats_ = 0;
  receiver_ = &receiver;
  return Try();
}

void HttpExchange::Cancel() {
  timer_->Stop();
  awaiting_repeat_ = false;
  request_->Cancel();
}

bool HttpExchange::AwaitingRepeat() const { return awaiting_repeat_; }

bool HttpExchange::Try() {
  try_started_ = SteadyClock::now();
  redirects_ = 0;
  return Send(url_);
}

bool HttpExchange::Send(const std::string& url) {
  redirect_to_.reset();
  repeat_after_.reset();
  const SteadyClock::time_point now = SteadyClock::now();
  sent_url_ = hsts_.Upgrade(url, now);
  RequestOptions options = options_;
  options.total_timeout -=
      std::chrono::duration_cast<std::chrono::milliseconds>(now - try_started_);
  if (options.total_timeout <= std::chrono::milliseconds(0)) {
    // Redirected until the try's time ran out: ended as the time limit ends a request.
    Finish(RequestEnd::kTimedOut);
    return true;
  }
  return request_->Start(sent_url_, headers_, options, *this);
}

// Called inside the system's callbacks: only notes what to do once the answer has ended.
bool HttpExchange::OnHeaders(const HttpAnswer& answer) {
  if (const std::optional<std::string_view> policy = answer.Header("Strict-Transport-Security")) {
    hsts_.Learn(sent_url_, *policy, SteadyClock::now());
  }
  if (IsRedirect(answer.status)) {
    if (const std::optional<std::string_view> location = answer.Header("Location")) {
      redirect_to_ = std::string(*location);
      return false;
    }
  }
  if (AsksToComeBackLater(answer.status) && repeats_ < kMaxRepeats) {
    const std::optional<std::string_view> retry_after = answer.Header("Retry-After");
    const std::optional<std::chrono::seconds> delay =
        retry_after ? RetryAfterDelay(*retry_after, std::chrono::system_clock::now())
                    : std::nullopt;
    if (delay && *delay <= kLongestWait) {
      repeat_after_ = *delay;
      return false;
    }
  }
  return receiver_->OnHeaders(answer);
}

bool HttpExchange::OnBody(std::string_view piece) { return receiver_->OnBody(piece); }

void HttpExchange::OnEnd(RequestEnd end) {
  if (redirect_to_) {
    FollowRedirect(*std::exchange(redirect_to_, std::nullopt));
  } else if (repeat_after_) {
    ++repeats_;
    awaiting_repeat_ = true;
    timer_->Start(*std::exchange(repeat_after_, std::nullopt), [this] {
      awaiting_repeat_ = false;
      if (!Try()) Finish(RequestEnd::kFailed);
    });
  } else {
    Finish(end);
  }
}

void HttpExchange::FollowRedirect(const std::string& location) {
  const std::optional<std::string> target = ResolveLocation(sent_url_, location);
  const std::optional<std::string> web_target = target ? WebUrl(*target) : std::nullopt;
  if (!web_target || redirects_ >= options_.max_redirects) {
    Finish(RequestEnd::kBadRedirect);
    return;
  }
  ++redirects_;
  if (!Send(*web_target)) Finish(RequestEnd::kFailed);
}

void HttpExchange::Finish(RequestEnd end) {
  request_->Cancel();
  receiver_->OnEnd(end);
}

}  // namespace trawlbox::platform
