#include "platform/win32/winhttp_request.h"

#include <algorithm>
#include <utility>

#include "platform/files/wide_text.h"

namespace trawlbox::platform {

namespace {

bool SetDword(HINTERNET request, DWORD option, DWORD value) {
  return WinHttpSetOption(request, option, &value, sizeof(value));
}

long QueryStatus(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof(status);
  WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                      WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
  return static_cast<long>(status);
}

// The header bytes as they came over the wire: WinHTTP widens them from the ANSI code page, so
// narrowing them back to it gives the bytes again (a Location holding raw UTF-8 among them).
std::string WireBytes(const std::wstring& head) {
  if (head.empty()) return {};
  const int wide_length = static_cast<int>(head.size());
  const int length =
      WideCharToMultiByte(CP_ACP, 0, head.data(), wide_length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(std::max(length, 0)), '\0');
  WideCharToMultiByte(CP_ACP, 0, head.data(), wide_length, bytes.data(), length, nullptr, nullptr);
  return bytes;
}

// The answer's head as WinHTTP keeps it: the status line, then one header a line.
std::string QueryRawHeaders(HINTERNET request) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                      WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
  std::wstring head(size / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                           head.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  head.resize(size / sizeof(wchar_t));
  return WireBytes(head);
}

HttpAnswer AnswerOf(HINTERNET request, bool unpacked) {
  HttpAnswer answer;
  answer.status = QueryStatus(request);
  answer.unpacked = unpacked;
  const std::string head = QueryRawHeaders(request);
  std::size_t start = head.find('\n');
  while (start != std::string::npos) {
    const std::size_t end = head.find('\n', start + 1);
    answer.AddHeaderLine(std::string_view(head).substr(start + 1, end - start - 1));
    start = end;
  }
  return answer;
}

RequestEnd EndOf(DWORD error) {
  return error == ERROR_WINHTTP_TIMEOUT ? RequestEnd::kTimedOut : RequestEnd::kFailed;
}

}  // namespace

WinHttpRequest::WinHttpRequest(WinHttpLoop& loop, const std::string& ca_file)
    : loop_(loop),
      trust_(ca_file.empty() ? nullptr : std::make_shared<const CaFileTrust>(ca_file)) {}

WinHttpRequest::~WinHttpRequest() { Cancel(); }

bool WinHttpRequest::Start(const std::string& url, const std::vector<std::string>& headers,
                           const RequestOptions& options, Receiver& receiver) {
  Cancel();
  announced_length_.reset();
  received_ = 0;
  clock_ = TransferClock(options.stall_timeout, options.total_timeout);
  clock_.Start(WinHttpLoop::Clock::now());
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
  // The URL comes as it goes on the wire: WinHTTP escapes nothing more.
  const DWORD flags = WINHTTP_FLAG_ESCAPE_DISABLE | WINHTTP_FLAG_ESCAPE_DISABLE_QUERY |
                      (parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  request_ =
      WinHttpHandle(WinHttpOpenRequest(connection_.Get(), L"GET", target.c_str(), nullptr,
                                       WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (request_) channel_ = loop_.Attach(request_.Get(), *this, trust_);
  if (channel_ == nullptr || !Configure(headers, options.unpack) ||
      !WinHttpSendRequest(request_.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, reinterpret_cast<DWORD_PTR>(channel_))) {
    Cancel();
    return false;
  }
  receiver_ = &receiver;
  return true;
}

void WinHttpRequest::Cancel() {
  if (channel_ != nullptr) loop_.Detach(*channel_);
  channel_ = nullptr;
  request_.Reset();
  connection_.Reset();
}

// A redirect is an answer like any other: the program follows it itself, so that each target is
// checked before anything is sent there, on Windows and under Wine alike.
bool WinHttpRequest::Configure(const std::vector<std::string>& headers, bool unpack) {
  HINTERNET request = request_.Get();
  if (!SetDword(request, WINHTTP_OPTION_DISABLE_FEATURE,
                WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_AUTHENTICATION) ||
      !SetDword(request, WINHTTP_OPTION_REDIRECT_POLICY, WINHTTP_OPTION_REDIRECT_POLICY_NEVER)) {
    return false;
  }
  // Without WinHTTP's unpacking no packed body is asked for, so the page still arrives whole.
  unpacking_ =
      unpack && SetDword(request, WINHTTP_OPTION_DECOMPRESSION, WINHTTP_DECOMPRESSION_FLAG_ALL);
  // The trust judges the root itself as the request goes out; WinHTTP still checks the name
  // and the dates.
  if (trust_ &&
      !SetDword(request, WINHTTP_OPTION_SECURITY_FLAGS, SECURITY_FLAG_IGNORE_UNKNOWN_CA)) {
    return false;
  }
  std::vector<std::string> lines = headers;
  if (!unpack) lines.emplace_back("Accept-Encoding: identity");
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
      Finish(RequestEnd::kFailed);
      return;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
      if (!WinHttpReceiveResponse(request_.Get(), nullptr)) Finish(RequestEnd::kFailed);
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
  if (clock_.Expired(now)) Finish(RequestEnd::kTimedOut);
}

std::chrono::milliseconds WinHttpRequest::UntilExpiry(WinHttpLoop::Clock::time_point now) const {
  return clock_.UntilExpiry(now);
}

void WinHttpRequest::OnHeadersAvailable() {
  const HttpAnswer answer = AnswerOf(request_.Get(), unpacking_);
  announced_length_ = answer.AnnouncedLength();
  if (!receiver_->OnHeaders(answer)) {
    Finish(RequestEnd::kRefused);
    return;
  }
  AskForData();
}

void WinHttpRequest::OnDataAvailable(DWORD size) {
  if (size == 0) {
    // WinHTTP ends a body cut short by the server as if it were whole.
    const bool short_body = announced_length_ && received_ < *announced_length_;
    Finish(short_body ? RequestEnd::kIncomplete : RequestEnd::kComplete);
    return;
  }
  // No more than is there: WinHTTP would otherwise wait on the window's thread to fill the buffer.
  const DWORD wanted = std::min(size, static_cast<DWORD>(channel_->buffer.size()));
  if (!WinHttpReadData(request_.Get(), channel_->buffer.data(), wanted, nullptr)) {
    Finish(RequestEnd::kFailed);
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
    Finish(RequestEnd::kRefused);
    return;
  }
  if (announced_length_ && received_ >= *announced_length_) {
    Finish(RequestEnd::kComplete);
    return;
  }
  AskForData();
}

void WinHttpRequest::AskForData() {
  if (!WinHttpQueryDataAvailable(request_.Get(), nullptr)) Finish(RequestEnd::kFailed);
}

void WinHttpRequest::Finish(RequestEnd end) {
  Cancel();
  receiver_->OnEnd(end);
}

}  // namespace trawlbox::platform
