#include "platform/win32/winhttp_loop.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "platform/files/wide_text.h"
#include "platform/http/user_agent.h"

namespace trawlbox::platform {

namespace {

// Long enough for WinHTTP's threads to let go of handles closed just before the program ends.
constexpr std::chrono::milliseconds kClosingGrace{500};

constexpr DWORD kNotifications = WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS |
                                 WINHTTP_CALLBACK_FLAG_HANDLES | WINHTTP_CALLBACK_FLAG_SEND_REQUEST;

// The session sends the program's own User-Agent, so a request that names it sends it once.
std::wstring UserAgent() {
  const std::string_view header = kUserAgentHeader;
  return Widen(header.substr(header.find(": ") + 2));
}

HINTERNET OpenSession() {
  const std::wstring agent = UserAgent();
  // Windows before 8.1 knows no automatic proxy; its default proxy is the next best.
  for (const DWORD access :
       {DWORD{WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY}, DWORD{WINHTTP_ACCESS_TYPE_DEFAULT_PROXY}}) {
    HINTERNET session = WinHttpOpen(agent.c_str(), access, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    if (session != nullptr) return session;
  }
  return nullptr;
}

DWORD ToTimeout(std::chrono::milliseconds duration) {
  const auto longest = std::chrono::milliseconds(INFINITE - 1);
  return static_cast<DWORD>(std::clamp(duration, std::chrono::milliseconds(0), longest).count());
}

}  // namespace

// What WinHTTP's threads have recorded for the window's thread, and the event that wakes it.
class WinHttpLoop::Inbox {
 public:
  struct Record {
    Channel* channel;
    Event event;
  };

  // Made on the window's thread, the one that takes the records.
  Inbox() : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)), taker_(GetCurrentThreadId()) {}
  ~Inbox() {
    if (event_ != nullptr) CloseHandle(event_);
  }
  Inbox(const Inbox&) = delete;
  Inbox& operator=(const Inbox&) = delete;

  [[nodiscard]] HANDLE WakeEvent() const { return event_; }

  // Each SetEvent is a trip to Wine's server, so only a record that finds the inbox empty sets the
  // event, and only from another thread: a later record is taken with the first, and one made
  // inside a WinHTTP call on the window's thread is found there before that thread sleeps.
  void Keep(Channel& channel, const Event& event) {
    bool first = false;
    {
      const std::lock_guard lock(mutex_);
      first = records_.empty();
      records_.push_back({.channel = &channel, .event = event});
    }
    if (first && GetCurrentThreadId() != taker_) SetEvent(event_);
  }

  [[nodiscard]] bool Empty() {
    const std::lock_guard lock(mutex_);
    return records_.empty();
  }

  [[nodiscard]] std::vector<Record> Take() {
    const std::lock_guard lock(mutex_);
    return std::exchange(records_, {});
  }

 private:
  HANDLE event_;
  const DWORD taker_;
  std::mutex mutex_;
  std::vector<Record> records_;
};

WinHttpLoop::WinHttpLoop() : inbox_(std::make_shared<Inbox>()), session_(OpenSession()) {
  // Requests opened in the session inherit the callback, so it is in place before any is.
  if (session_ && WinHttpSetStatusCallback(session_.Get(), &WinHttpLoop::OnCallback, kNotifications,
                                           0) == WINHTTP_INVALID_STATUS_CALLBACK) {
    session_.Reset();
  }
}

WinHttpLoop::~WinHttpLoop() {
  const Clock::time_point give_up = Clock::now() + kClosingGrace;
  while (!channels_.empty()) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(give_up - Clock::now());
    if (left <= std::chrono::milliseconds(0)) break;
    if (inbox_->Empty()) WaitForSingleObject(inbox_->WakeEvent(), ToTimeout(left));
    Dispatch();
  }
  // Wine's WinHTTP keeps a closed request until its socket next moves, which a stalled server may
  // put off for good: a callback may still come for these, into the inbox they keep alive.
  for (auto& entry : channels_) static_cast<void>(entry.second.release());
  session_.Reset();
}

HINTERNET WinHttpLoop::Session() const { return session_.Get(); }

WinHttpLoop::Channel* WinHttpLoop::Attach(HINTERNET request, Handler& handler,
                                          std::shared_ptr<const CaFileTrust> trust) {
  auto channel = std::make_unique<Channel>(
      Channel{.inbox = inbox_, .trust = std::move(trust), .handler = &handler});
  auto context = reinterpret_cast<DWORD_PTR>(channel.get());
  if (!WinHttpSetOption(request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof(context))) {
    return nullptr;
  }
  Channel* attached = channel.get();
  channels_.emplace(attached, std::move(channel));
  live_.push_back(&handler);
  return attached;
}

void WinHttpLoop::Detach(Channel& channel) {
  std::erase(live_, channel.handler);
  channel.handler = nullptr;
}

void WinHttpLoop::Watch(Handler& handler) {
  if (std::ranges::find(live_, &handler) == live_.end()) live_.push_back(&handler);
}

void WinHttpLoop::Unwatch(Handler& handler) { std::erase(live_, &handler); }

void WinHttpLoop::Dispatch() {
  for (const Inbox::Record& record : inbox_->Take()) {
    if (record.event.status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING) {
      // WinHTTP's last word on the handle: nothing will use the channel any more.
      channels_.erase(record.channel);
    } else if (record.channel->handler != nullptr) {
      record.channel->handler->OnEvent(record.event);
    }
  }
  const Clock::time_point now = Clock::now();
  // A handler that ends its request leaves `live_`; the others are still woken.
  for (Handler* handler : std::vector<Handler*>(live_)) {
    if (std::ranges::find(live_, handler) != live_.end()) handler->OnWake(now);
  }
}

bool WinHttpLoop::Wait(std::chrono::milliseconds longest) {
  if (!inbox_->Empty()) {
    Dispatch();
    return false;
  }
  const Clock::time_point now = Clock::now();
  std::chrono::milliseconds timeout = longest;
  for (const Handler* handler : live_) timeout = std::min(timeout, handler->UntilExpiry(now));
  HANDLE wake = inbox_->WakeEvent();
  const DWORD woken =
      MsgWaitForMultipleObjectsEx(1, &wake, ToTimeout(timeout), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  Dispatch();
  return woken != WAIT_OBJECT_0;
}

// On one of WinHTTP's threads, or inside a WinHTTP call on the window's: records and wakes, and
// judges the server's certificate here, before the request goes out.
void CALLBACK WinHttpLoop::OnCallback(HINTERNET handle, DWORD_PTR context, DWORD status, void* info,
                                      DWORD info_length) {
  // Handles without a channel (the session, the connections) have nothing to tell.
  if (context == 0) return;
  Channel& channel = *reinterpret_cast<Channel*>(context);
  Event event{.status = status};
  switch (status) {
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
      event.size = *static_cast<const DWORD*>(info);
      break;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
      event.size = info_length;
      break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
      event.error = static_cast<const WINHTTP_ASYNC_RESULT*>(info)->dwError;
      break;
    case WINHTTP_CALLBACK_STATUS_SENDING_REQUEST:
      if (!channel.trust || channel.trust->Accepts(handle)) return;
      break;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
      break;
    default:
      return;
  }
  channel.inbox->Keep(channel, event);
}

}  // namespace trawlbox::platform
