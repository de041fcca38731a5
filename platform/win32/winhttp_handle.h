#pragma once

#include <windows.h>

#include <winhttp.h>

namespace trawlbox::platform {

// The one owner of a WinHTTP handle (session, connection or request), closed when let go.
class WinHttpHandle {
 public:
  WinHttpHandle() = default;
  explicit WinHttpHandle(HINTERNET handle) : handle_(handle) {}
  ~WinHttpHandle() { Reset(); }
  WinHttpHandle(WinHttpHandle&& other) noexcept : handle_(other.handle_) {
    other.handle_ = nullptr;
  }
  WinHttpHandle& operator=(WinHttpHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  WinHttpHandle(const WinHttpHandle&) = delete;
  WinHttpHandle& operator=(const WinHttpHandle&) = delete;

  // Null when nothing is owned.
  [[nodiscard]] HINTERNET Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  // Closes the handle owned, if any; WinHTTP may still call back for it until it reports
  // WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING.
  void Reset() {
    if (handle_ != nullptr) WinHttpCloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HINTERNET handle_ = nullptr;
};

}  // namespace trawlbox::platform
