#include "platform/win32/winhttp_request.h"

#include <charconv>
#include <limits>
#include <utility>

#include "platform/win32/wide_text.h"

namespace trawlbox::platform {

namespace {

bool SetDword(HINTERNET request, DWORD option, DWORD value) {
  return WinHttpSetOption(request, option, &value, sizeof(value));
}

// The header `info` (WINHTTP_QUERY_…) of the answer, nothing when it has none.
std::optional<std::string> QueryHeader(HINTERNET request, DWORD info) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
  std::wstring value(size / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                           WINHTTP_NO_HEADER_INDEX)) {
    return std::nullopt;
  }
  value.resize(size / sizeof(wchar_t));
  return Narrow(value);
}

long QueryStatus(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof(status);
  WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                      WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
  return static_cast<long>(status);
}

std::optional<std::int64_t> ParseLength(const std::optional<std::string>& header) {
  if (!header) return std::nullopt;
  std::int64_t length = 0;
  const char* end = header->data() + header->size();
  const auto [stop, error] = std::from_chars(header->data(), end, length);
  if (error != std::errc() || stop != end || length < 0) return std::nullopt;
  return length;
}

WinHttpRequest::End EndOf(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
      return WinHttpRequest::End::kTimedOut;
    case ERROR_WINHTTP_REDIRECT_FAILED:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
    case ERROR_WINHTTP_INVALID_URL:
      return WinHttpRequest::End::kBadRedirect;
    default:
      return WinHttpRequest::End::kFailed;
  }
}

}  // namespace

WinHttpRequest::WinHttpRequest(WinHttpLoop& loop) : loop_(loop) {}

WinHttpRequest::~WinHttpRequest() { Cancel(); }

bool WinHttpRequest::Start(const std::string& url, const std::vector<std::string>& headers,
                           const WinHttpRequestOptions& options, Receiver& receiver) {
  Cancel();
  content_type_.clear();
  announced_length_.reset();
  received_ = 0;
  if (loop_.Session() == nullptr) return false;

  const std::wstring wide_url = Widen(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(wide_url.c_str(), 0, 0, &parts)) return false;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring target(parts.lpszUrlPath, parts.dwUrlPathLength);
  target.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  // The fragment stays with the reader.
  target.erase(std::min(target.find(L'#'), target.size()));
  if (target.empty()) target = L"/";

  connection_ = WinHttpHandle(WinHttpConnect(loop_.Session(), host.c_str(), parts.nPort, 0));
  if (!connection_) return false;
  // WebUrl has put the URL as it goes on the wire: WinHTTP escapes nothing more.
  const DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                      (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  request_ =
      WinHttpHandle(WinHttpOpenRequest(connection_.Get(), L"GET", target.c_str(), nullptr,
                                       WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (request_) channel_ = loop_.Attach(request_.Get(), *this, options.trust);
  if (channel_ == nullptr || !Configure(headers, options)) {
    Cancel();
    return false;
  }

  receiver_ = &receiver;
  clock_ = TransferClock(options.stall_timeout, options.total_timeout);
  clock_.Start(WinHttpLoop::Clock::now());
  if (!WinHttpSendRequest(request_.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, reinterpret_cast<DWORD_PTR>(channel_))) {
    Cancel();
    return false;
  }
  return true;
}

void WinHttpRequest::Cancel() {
  if (channel_ != nullptr) loop_.Detach(*channel_);
  channel_ = nullptr;
  request_.Reset();
  connection_.Reset();
}

const std::string& WinHttpRequest::ContentType() const { return content_type_; }

bool WinHttpRequest::Configure(const std::vector<std::string>& headers,
                               const WinHttpRequestOptions& options) {
  HINTERNET request = request_.Get();
  const auto max_redirects = static_cast<DWORD>(std::max(options.max_redirects, 0));
  if (!SetDword(request, WINHTTP_OPTION_DISABLE_FEATURE,
                WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_AUTHENTICATION) ||
      !SetDword(request, WINHTTP_OPTION_REDIRECT_POLICY, WINHTTP_OPTION_REDIRECT_POLICY_ALWAYS) ||
      !SetDword(request, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, max_redirects)) {
    return false;
  }
  // Without WinHTTP's unpacking no packed body is asked for, so the page still arrives whole.
  unpacking_ = options.unpack &&
               SetDword(request, WINHTTP_OPTION_DECOMPRESSION, WINHTTP_DECOMPRESSION_FLAG_ALL);
  // The trust judges the root itself as the request goes out; WinHTTP still checks the name
  // and the dates.
  if (options.trust &&
      !SetDword(request, WINHTTP_OPTION_SECURITY_FLAGS, SECURITY_FLAG_IGNORE_UNKNOWN_CA)) {
    return false;
  }
  std::vector<std::string> lines = headers;
  if (!options.unpack) lines.emplace_back("Accept-Encoding: identity");
  for (const std::string& line : lines) {
    if (!WinHttpAddRequestHeaders(request, Widen(line).c_str(), static_cast<DWORD>(-1),
                                  WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
      return false;
    }
  }
  return true;
}

void WinHttpRequest::OnEvent(const WinHttpLoop::Event& event) {
  switch (event.status) {
    case WINHTTP_CALLBACK_STATUS_SENDING_REQUEST:
      Finish(End::kFailed);
      return;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
      if (!WinHttpReceiveResponse(request_.Get(), nullptr)) Finish(End::kFailed);
      return;
    case WINHTTP_CALLBACK_STATUS_REDIRECT:
      clock_.Arrived(WinHttpLoop::Clock::now());
      return;
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
      clock_.Arrived(WinHttpLoop::Clock::now());
      OnHeadersAvailable();
      return;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
      OnRead(event.size);
      return;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
      Finish(EndOf(event.error));
      return;
    default:
      return;
  }
}

void WinHttpRequest::OnWake(WinHttpLoop::Clock::time_point now) {
  if (clock_.Expired(now)) Finish(End::kTimedOut);
}

std::chrono::milliseconds WinHttpRequest::UntilExpiry(WinHttpLoop::Clock::time_point now) const {
  return clock_.UntilExpiry(now);
}

void WinHttpRequest::OnHeadersAvailable() {
  HINTERNET request = request_.Get();
  content_type_ = QueryHeader(request, WINHTTP_QUERY_CONTENT_TYPE).value_or(std::string());
  // An unpacked body is longer than the packed length announced.
  const bool packed = unpacking_ && QueryHeader(request, WINHTTP_QUERY_CONTENT_ENCODING);
  announced_length_ =
      packed ? std::nullopt : ParseLength(QueryHeader(request, WINHTTP_QUERY_CONTENT_LENGTH));
  if (!receiver_->OnHeaders(QueryStatus(request), announced_length_)) {
    Finish(End::kRefused);
    return;
  }
  ReadNext();
}

void WinHttpRequest::OnRead(DWORD size) {
  if (size == 0) {
    // WinHTTP ends a body cut short by the server as if it were whole.
    const bool short_body = announced_length_ && received_ < *announced_length_;
    Finish(short_body ? End::kIncomplete : End::kComplete);
    return;
  }
  clock_.Arrived(WinHttpLoop::Clock::now());
  received_ += size;
  if (!receiver_->OnBody(std::string_view(channel_->buffer.data(), size))) {
    Finish(End::kRefused);
    return;
  }
  ReadNext();
}

void WinHttpRequest::ReadNext() {
  if (!WinHttpReadData(request_.Get(), channel_->buffer.data(),
                       static_cast<DWORD>(channel_->buffer.size()), nullptr)) {
    Finish(End::kFailed);
  }
}

void WinHttpRequest::Finish(End end) {
  Cancel();
  receiver_->OnEnd(end);
}

}  // namespace trawlbox::platform
