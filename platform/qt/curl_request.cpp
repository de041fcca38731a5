#include "platform/qt/curl_request.h"

#include <utility>

namespace trawlbox::platform {

namespace {

constexpr char kWebProtocols[] = "http,https";
// A string option left unset.
constexpr const char* kUnset = nullptr;

RequestEnd EndOf(CURLcode result) {
  switch (result) {
    case CURLE_OK:
      return RequestEnd::kComplete;
    case CURLE_WRITE_ERROR:
      return RequestEnd::kRefused;
    case CURLE_OPERATION_TIMEDOUT:
      return RequestEnd::kTimedOut;
    case CURLE_PARTIAL_FILE:
      return RequestEnd::kIncomplete;
    default:
      return RequestEnd::kFailed;
  }
}

bool IsStatusLine(std::string_view line) { return line.starts_with("HTTP/"); }

bool IsBlankLine(std::string_view line) { return line == "\r\n" || line == "\n"; }

}  // namespace

CurlRequest::CurlRequest(CurlMultiLoop& loop, std::string ca_file)
    : loop_(loop), ca_file_(std::move(ca_file)), easy_(curl_easy_init()) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { CheckTime(); });
}

CurlRequest::~CurlRequest() {
  Cancel();
  if (easy_ != nullptr) curl_easy_cleanup(easy_);
  curl_slist_free_all(headers_);
}

bool CurlRequest::Start(const std::string& url, const std::vector<std::string>& headers,
                        const RequestOptions& options, Receiver& receiver) {
  Cancel();
  if (easy_ == nullptr) return false;
  curl_slist_free_all(headers_);
  headers_ = nullptr;
  std::vector<std::string> lines = headers;
  if (!options.unpack) lines.emplace_back("Accept-Encoding: identity");
  for (const std::string& line : lines) {
    curl_slist* longer = curl_slist_append(headers_, line.c_str());
    if (longer == nullptr) return false;
    headers_ = longer;
  }

  curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, kWebProtocols);
  curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_);
  curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYHOST, 2L);
  // A proxy's answer to CONNECT is no answer of the server's.
  curl_easy_setopt(easy_, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  // The window's thread must never be interrupted by a signal; name look-ups run on curl's own
  // resolver thread and need none.
  curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy_, CURLOPT_ACCEPT_ENCODING, options.unpack ? "" : kUnset);
  curl_easy_setopt(easy_, CURLOPT_HTTP_CONTENT_DECODING, options.unpack ? 1L : 0L);
  if (!ca_file_.empty()) {
    curl_easy_setopt(easy_, CURLOPT_CAINFO, ca_file_.c_str());
    curl_easy_setopt(easy_, CURLOPT_CAPATH, kUnset);
  }
  curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlRequest::OnHeader);
  curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlRequest::OnWrite);
  curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);

  receiver_ = &receiver;
  unpack_ = options.unpack;
  answer_ = HttpAnswer();
  answer_told_ = false;
  if (!loop_.Add(easy_, *this)) return false;
  clock_ = TransferClock(options.stall_timeout, options.total_timeout);
  const auto now = TransferClock::Clock::now();
  clock_.Start(now);
  timer_.start(clock_.UntilExpiry(now));
  return true;
}

void CurlRequest::Cancel() {
  timer_.stop();
  loop_.Remove(easy_);
}

std::size_t CurlRequest::OnHeader(char* data, std::size_t size, std::size_t count, void* request) {
  auto& self = *static_cast<CurlRequest*>(request);
  self.clock_.Arrived(TransferClock::Clock::now());
  return self.TakeHeaderLine(std::string_view(data, size * count)) ? size * count : 0;
}

// curl hands every line of every head: an interim 1xx answer's, the final answer's, and the
// trailers after a chunked body, which come after the answer was told and change nothing.
bool CurlRequest::TakeHeaderLine(std::string_view line) {
  if (answer_told_) return true;
  if (IsStatusLine(line)) {
    answer_ = HttpAnswer();
    return true;
  }
  if (!IsBlankLine(line)) {
    answer_.AddHeaderLine(line);
    return true;
  }
  long status = 0;
  curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
  if (status >= 100 && status < 200) return true;
  answer_.status = status;
  answer_.unpacked = unpack_;
  answer_told_ = true;
  return receiver_->OnHeaders(answer_);
}

std::size_t CurlRequest::OnWrite(char* data, std::size_t size, std::size_t count, void* request) {
  auto& self = *static_cast<CurlRequest*>(request);
  self.clock_.Arrived(TransferClock::Clock::now());
  return self.receiver_->OnBody(std::string_view(data, size * count)) ? size * count : 0;
}

void CurlRequest::TransferEnded(CURLcode result) {
  timer_.stop();
  receiver_->OnEnd(EndOf(result));
}

void CurlRequest::CheckTime() {
  const auto now = TransferClock::Clock::now();
  if (!clock_.Expired(now)) {
    timer_.start(clock_.UntilExpiry(now));
    return;
  }
  Cancel();
  receiver_->OnEnd(RequestEnd::kTimedOut);
}

}  // namespace trawlbox::platform
