#include "platform/win32/winhttp_request.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

#include <shlwapi.h>

#include "platform/web_url.h"
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

bool IsRedirect(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// `location` (absolute, or relative to `base`) as an absolute URL; nothing when it makes none.
std::optional<std::string> Resolved(const std::string& base, const std::string& location) {
  const std::wstring wide_base = Widen(base);
  const std::wstring wide_location = Widen(location);
  // Asked with no room, UrlCombineW says how much it needs, its end included.
  wchar_t none = L'\0';
  DWORD size = 0;
  if (UrlCombineW(wide_base.c_str(), wide_location.c_str(), &none, &size, URL_DONT_SIMPLIFY) !=
          E_POINTER ||
      size == 0) {
    return std::nullopt;
  }
  std::wstring combined(size, L'\0');
  if (UrlCombineW(wide_base.c_str(), wide_location.c_str(), combined.data(), &size,
                  URL_DONT_SIMPLIFY) != S_OK) {
    return std::nullopt;
  }
  combined.resize(size);
  return Narrow(combined);
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
  headers_ = headers;
  options_ = options;
  redirects_ = 0;
  clock_ = TransferClock(options.stall_timeout, options.total_timeout);
  clock_.Start(WinHttpLoop::Clock::now());
  if (!Open(url)) return false;
  receiver_ = &receiver;
  return true;
}

bool WinHttpRequest::Open(const std::string& url) {
  content_type_.clear();
  announced_length_.reset();
  received_ = 0;
  url_ = url;
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
  if (request_) channel_ = loop_.Attach(request_.Get(), *this, options_.trust);
  if (channel_ == nullptr || !Configure()) {
    Cancel();
    return false;
  }
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

// Redirects are followed by the request itself rather than by WinHTTP, so that each target is
// checked before anything is sent there and a redirect without a target is an answer like any
// other, on Windows and under Wine alike.
bool WinHttpRequest::Configure() {
  HINTERNET request = request_.Get();
  const WinHttpRequestOptions& options = options_;
  if (!SetDword(request, WINHTTP_OPTION_DISABLE_FEATURE,
                WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_AUTHENTICATION) ||
      !SetDword(request, WINHTTP_OPTION_REDIRECT_POLICY, WINHTTP_OPTION_REDIRECT_POLICY_NEVER)) {
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
  std::vector<std::string> lines = headers_;
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
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
      clock_.Arrived(WinHttpLoop::Clock::now());
      OnHeadersAvailable();
      return;
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
      OnDataAvailable(event.size);
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
  const long status = QueryStatus(request);
  if (IsRedirect(status)) {
    if (const std::optional<std::string> location = QueryHeader(request, WINHTTP_QUERY_LOCATION)) {
      Follow(*location);
      return;
    }
  }
  content_type_ = QueryHeader(request, WINHTTP_QUERY_CONTENT_TYPE).value_or(std::string());
  // An unpacked body is longer than the packed length announced.
  const bool packed = unpacking_ && QueryHeader(request, WINHTTP_QUERY_CONTENT_ENCODING);
  announced_length_ =
      packed ? std::nullopt : ParseLength(QueryHeader(request, WINHTTP_QUERY_CONTENT_LENGTH));
  if (!receiver_->OnHeaders(status, announced_length_)) {
    Finish(End::kRefused);
    return;
  }
  AskForData();
}

void WinHttpRequest::OnDataAvailable(DWORD size) {
  if (size == 0) {
    // WinHTTP ends a body cut short by the server as if it were whole.
    const bool short_body = announced_length_ && received_ < *announced_length_;
    Finish(short_body ? End::kIncomplete : End::kComplete);
    return;
  }
  // No more than is there: WinHTTP would otherwise wait on the window's thread to fill the buffer.
  const DWORD wanted = std::min(size, static_cast<DWORD>(channel_->buffer.size()));
  if (!WinHttpReadData(request_.Get(), channel_->buffer.data(), wanted, nullptr)) {
    Finish(End::kFailed);
  }
}

// The body ends at the length announced, as HTTP says it does; Wine's WinHTTP hands on whatever
// else the server sends before it closes the connection.
void WinHttpRequest::OnRead(DWORD size) {
  clock_.Arrived(WinHttpLoop::Clock::now());
  std::size_t piece = size;
  if (announced_length_) {
    piece = static_cast<std::size_t>(
        std::min<std::int64_t>(size, std::max<std::int64_t>(0, *announced_length_ - received_)));
  }
  received_ += static_cast<std::int64_t>(piece);
  if (!receiver_->OnBody(std::string_view(channel_->buffer.data(), piece))) {
    Finish(End::kRefused);
    return;
  }
  if (announced_length_ && received_ >= *announced_length_) {
    Finish(End::kComplete);
    return;
  }
  AskForData();
}

void WinHttpRequest::Follow(const std::string& location) {
  const std::optional<std::string> target = Resolved(url_, location);
  const std::optional<std::string> web_target = target ? WebUrl(*target) : std::nullopt;
  if (!web_target || redirects_ >= options_.max_redirects) {
    Finish(End::kBadRedirect);
    return;
  }
  ++redirects_;
  Cancel();
  if (!Open(*web_target)) Finish(End::kFailed);
}

void WinHttpRequest::AskForData() {
  if (!WinHttpQueryDataAvailable(request_.Get(), nullptr)) Finish(End::kFailed);
}

void WinHttpRequest::Finish(End end) {
  Cancel();
  receiver_->OnEnd(end);
}

}  // namespace trawlbox::platform
