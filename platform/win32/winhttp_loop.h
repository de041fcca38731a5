#pragma once

#include <windows.h>

#include <winhttp.h>

#include <array>
#include <chrono>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/win32/ca_file_trust.h"
#include "platform/win32/winhttp_handle.h"

namespace trawlbox::platform {

// The program's one asynchronous WinHTTP session, shared by every request so that connections
// are reused across runs and walks, with proxies as Windows' settings name them. WinHTTP calls
// back on its own threads; those calls only record what happened and wake the window's thread,
// which acts on it (issues the next WinHTTP call, feeds the receipts) when it dispatches. Lives on
// the window's thread and must outlive every request made with it.
class WinHttpLoop {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::size_t kReadSize = 64 * 1024;

  // One thing that happened to a request, as WinHTTP told it. SENDING_REQUEST is told only when
  // the server's certificate failed the request's CaFileTrust.
  struct Event {
    // The WINHTTP_CALLBACK_STATUS_… value.
    DWORD status = 0;
    // The bytes ready to be read (DATA_AVAILABLE), or that a read has put into the channel's
    // buffer (READ_COMPLETE).
    DWORD size = 0;
    // What failed (REQUEST_ERROR).
    DWORD error = 0;
  };

  // Acts on what happens to the requests it opened channels for, on the window's thread.
  class Handler {
   public:
    // Called from Dispatch, never inside a WinHTTP callback; must not dispatch the loop.
    virtual void OnEvent(const Event& event) = 0;
    // The loop has woken at `now`: the handler ends a request whose time is up.
    virtual void OnWake(Clock::time_point now) = 0;
    // How long from `now` until the handler's request would run out of time.
    [[nodiscard]] virtual std::chrono::milliseconds UntilExpiry(Clock::time_point now) const = 0;

   protected:
    virtual ~Handler() = default;
  };

  // What WinHTTP may still use of one request handle after the program has let it go: the
  // callbacks' context, the trust the callbacks consult and the buffer reads land in. The loop
  // owns it until WinHTTP reports the handle closed.
  class Inbox;
  struct Channel {
    // Where the callbacks record, shared so that it outlives the loop if WinHTTP does.
    std::shared_ptr<Inbox> inbox;
    std::shared_ptr<const CaFileTrust> trust;
    // The window's thread alone reads and writes it; null once the handler let go.
    Handler* handler;
    std::array<char, kReadSize> buffer{};
  };

  WinHttpLoop();
  // Waits, a short bounded time, for WinHTTP to finish with the handles already let go; what it
  // still holds after that is left to it.
  ~WinHttpLoop();
  WinHttpLoop(const WinHttpLoop&) = delete;
  WinHttpLoop& operator=(const WinHttpLoop&) = delete;

  // The session, null when WinHTTP refused to open one (every request then fails to start).
  [[nodiscard]] HINTERNET Session() const;

  // Opens the channel for `request`, a handle just opened in Session(), whose events go to
  // `handler` from now on, `trust` (or none) judging its server; calls back for the handle go
  // through it. Null, with nothing kept, when WinHTTP refuses the context.
  [[nodiscard]] Channel* Attach(HINTERNET request, Handler& handler,
                                std::shared_ptr<const CaFileTrust> trust);
  // The handler lets go of `channel`, before it closes the handle: nothing more reaches it.
  void Detach(Channel& channel);
  // Wakes `handler`, which has no request of its own (a timer), as it wakes those with one, until
  // Unwatch.
  void Watch(Handler& handler);
  void Unwatch(Handler& handler);

  // Hands what was recorded to the handlers, then lets each look at its time. Never waits.
  void Dispatch();
  // Sleeps until WinHTTP records something, a window message arrives, `longest` passes or a
  // request's time runs out, then dispatches (window messages are left in the queue); with
  // something recorded already, it dispatches without sleeping. False when only WinHTTP woke it:
  // then no window message has come in that an earlier wait had not seen.
  bool Wait(std::chrono::milliseconds longest);

 private:
  static void CALLBACK OnCallback(HINTERNET handle, DWORD_PTR context, DWORD status, void* info,
                                  DWORD info_length);

  std::shared_ptr<Inbox> inbox_;
  WinHttpHandle session_;
  std::unordered_map<const Channel*, std::unique_ptr<Channel>> channels_;
  // The handlers with a request in flight, in the order they attached, and the watched ones.
  std::vector<Handler*> live_;
};

}  // namespace trawlbox::platform
