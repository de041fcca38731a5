#include "platform/files/long_path.h"

#include <windows.h>

#include "platform/files/wide_text.h"

namespace trawlbox::platform {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsDriveAbsolute(std::wstring_view path) {
  return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
}

// Two separators and a server name; "\\?\…" and "\\.\…" already say how Windows is to read them.
bool IsUnc(std::wstring_view path) {
  if (path.size() < 3 || !IsSeparator(path[0]) || !IsSeparator(path[1]) || IsSeparator(path[2])) {
    return false;
  }
  return !(path.size() >= 4 && (path[2] == L'?' || path[2] == L'.') && IsSeparator(path[3]));
}

// The path as the file functions would have read it without the prefix: the prefix turns that
// reading off, and "..", "/" or a name ending in a dot would then mean something else. Empty when
// Windows cannot read it.
std::wstring FullPath(const std::wstring& path) {
  std::wstring full(path.size() + 1, L'\0');
  while (true) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    // A buffer too small gets the size needed with the terminator; one large enough, the length.
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

}  // namespace

std::wstring LongPath(std::string_view utf8_path) {
  const std::wstring path = Widen(utf8_path);
  if (!IsDriveAbsolute(path) && !IsUnc(path)) return path;
  const std::wstring full = FullPath(path);
  if (IsDriveAbsolute(full)) return L"\\\\?\\" + full;
  if (IsUnc(full)) return L"\\\\?\\UNC\\" + full.substr(2);
  return full.empty() ? path : full;
}

}  // namespace trawlbox::platform
