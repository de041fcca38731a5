#include "platform/win32/win32_clipboard.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "platform/files/wide_text.h"

namespace trawlbox::platform {

namespace {

struct GlobalFreer {
  void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using OwnedGlobal = std::unique_ptr<void, GlobalFreer>;

class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : opened_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (opened_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;

  [[nodiscard]] bool Opened() const { return opened_; }

 private:
  bool opened_;
};

// Windows programs split the clipboard's lines at CR LF; a bare LF gets its CR, as Qt's Windows
// clipboard gives it. A bare CR, which the grid puts between rows, is left as it is.
std::wstring WithWindowsLineEnds(std::wstring_view text) {
  std::wstring converted;
  converted.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) converted += L'\r';
    converted += text[i];
  }
  return converted;
}

// The text with its terminator in movable memory, as CF_UNICODETEXT takes it; null when there is
// no memory for it.
OwnedGlobal UnicodeTextMemory(const std::wstring& text) {
  const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
  OwnedGlobal memory(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!memory) return nullptr;
  void* locked = GlobalLock(memory.get());
  if (locked == nullptr) return nullptr;
  std::memcpy(locked, text.c_str(), size);
  GlobalUnlock(memory.get());
  return memory;
}

}  // namespace

Win32Clipboard::Win32Clipboard(HWND__* owner) : owner_(owner) {}

// The memory is made before the clipboard is opened, so that other programs wait as briefly as
// possible; once SetClipboardData has taken it, it belongs to the system.
void Win32Clipboard::SetText(const std::string& text) {
  OwnedGlobal memory = UnicodeTextMemory(WithWindowsLineEnds(Widen(text)));
  if (!memory) return;
  const OpenedClipboard clipboard(owner_);
  if (!clipboard.Opened() || EmptyClipboard() == FALSE) return;
  if (SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr) memory.release();
}

}  // namespace trawlbox::platform
