#include "platform/win32/win32_url_opener.h"

#include <windows.h>

#include <shellapi.h>

#include <optional>

#include "platform/files/wide_text.h"
#include "platform/http/web_url.h"
#include "platform/win32/com_resources.h"

namespace trawlbox::platform {

// Only a checked web address reaches the shell, which would as readily start a program or open a
// file named in its place; percent-encoded, it holds no space or quote to be read as more.
void Win32UrlOpener::OpenUrl(const std::string& url, const std::string& working_folder) {
  const std::optional<std::string> address = WebUrl(url);
  if (!address) return;
  const std::wstring folder = Widen(working_folder);
  // The shell may hand the address on to an extension of its own, which runs under COM.
  const ComApartment apartment;
  ShellExecuteW(nullptr, L"open", Widen(*address).c_str(), nullptr,
                folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
}

}  // namespace trawlbox::platform
