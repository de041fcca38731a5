#include "platform/qt/curl_request.h"

namespace trawlbox::platform {

namespace {

constexpr char kWebProtocols[] = "http,https";
// A string option left unset.
constexpr const char* kUnset = nullptr;

}  // namespace

CurlRequest::CurlRequest(CurlMultiLoop& loop) : loop_(loop), easy_(curl_easy_init()) {
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
                        const CurlRequestOptions& options, Receiver& receiver) {
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
  curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, kWebProtocols);
  curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, options.max_redirects);
  curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_);
  curl_easy_setopt(easy_, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy_, CURLOPT_SSL_VERIFYHOST, 2L);
  // The window's thread must never be interrupted by a signal; name look-ups run on curl's own
  // resolver thread and need none.
  curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy_, CURLOPT_ACCEPT_ENCODING, options.unpack ? "" : kUnset);
  curl_easy_setopt(easy_, CURLOPT_HTTP_CONTENT_DECODING, options.unpack ? 1L : 0L);
  curl_easy_setopt(easy_, CURLOPT_MAXFILESIZE_LARGE, options.max_announced_bytes);
  if (!options.ca_file.empty()) {
    curl_easy_setopt(easy_, CURLOPT_CAINFO, options.ca_file.c_str());
    curl_easy_setopt(easy_, CURLOPT_CAPATH, kUnset);
  }
  curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlRequest::OnHeader);
  curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlRequest::OnWrite);
  curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);

  receiver_ = &receiver;
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

long CurlRequest::Status() const {
  long status = 0;
  if (easy_ != nullptr) curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

std::string CurlRequest::ContentType() const {
  const char* content_type = nullptr;
  if (easy_ != nullptr) curl_easy_getinfo(easy_, CURLINFO_CONTENT_TYPE, &content_type);
  return content_type != nullptr ? content_type : "";
}

std::optional<std::int64_t> CurlRequest::ContentLength() const {
  curl_off_t length = -1;
  if (easy_ != nullptr) curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  return length >= 0 ? std::optional<std::int64_t>(length) : std::nullopt;
}

std::size_t CurlRequest::OnHeader(char* /*data*/, std::size_t size, std::size_t count,
                                  void* request) {
  static_cast<CurlRequest*>(request)->clock_.Arrived(TransferClock::Clock::now());
  return size * count;
}

std::size_t CurlRequest::OnWrite(char* data, std::size_t size, std::size_t count, void* request) {
  auto& self = *static_cast<CurlRequest*>(request);
  self.clock_.Arrived(TransferClock::Clock::now());
  return self.receiver_->OnBody(data, size * count) ? size * count : 0;
}

void CurlRequest::TransferEnded(CURLcode result) {
  timer_.stop();
  receiver_->OnEnd(result);
}

void CurlRequest::CheckTime() {
  const auto now = TransferClock::Clock::now();
  if (!clock_.Expired(now)) {
    timer_.start(clock_.UntilExpiry(now));
    return;
  }
  Cancel();
  receiver_->OnEnd(CURLE_OPERATION_TIMEDOUT);
}

}  // namespace trawlbox::platform
