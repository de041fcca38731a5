#include "platform/win32/win32_program_location.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <array>
#include <optional>

#include "platform/files/wide_text.h"
#include "platform/win32/com_resources.h"

namespace trawlbox::platform {

namespace {

// Where installers put programs: the per-user folder is no place for downloads either.
constexpr std::array kProgramFolders = {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86,
                                        &FOLDERID_UserProgramFiles};

// The path may pass 260 characters, which GetModuleFileNameW reports only by filling the buffer.
std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// Nothing when this Windows has no such folder.
std::optional<std::wstring> KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path);
  // The shell may allocate a path even when it fails.
  const CoTaskMemory<wchar_t> owned_path(path);
  if (FAILED(result) || path == nullptr) return std::nullopt;
  return std::wstring(owned_path.get());
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Windows compares paths without case; "C:\Program Files Extra" is not inside "C:\Program Files".
bool IsInside(std::wstring_view path, std::wstring_view folder) {
  while (!folder.empty() && folder.back() == L'\\') folder.remove_suffix(1);
  if (folder.empty() || path.size() <= folder.size() || path[folder.size()] != L'\\') {
    return false;
  }
  return CompareStringOrdinal(path.data(), static_cast<int>(folder.size()), folder.data(),
                              static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::string Win32ProgramLocation::ExecutableFolder() const {
  const std::wstring path = ExecutablePath();
  const std::size_t separator = path.rfind(L'\\');
  if (separator == std::wstring::npos) return {};
  const bool drive_root = separator == 2 && path[1] == L':';
  return Narrow(std::wstring_view(path).substr(0, drive_root ? separator + 1 : separator));
}

bool Win32ProgramLocation::Installed() const {
  const std::wstring path = ExecutablePath();
  for (const KNOWNFOLDERID* id : kProgramFolders) {
    const std::optional<std::wstring> folder = KnownFolder(*id);
    if (folder && IsInside(path, *folder)) return true;
  }
  return false;
}

// The shell names a Downloads folder even where it was deleted; saving there would fail row by
// row.
std::string Win32ProgramLocation::DownloadFolder() const {
  const std::optional<std::wstring> downloads = KnownFolder(FOLDERID_Downloads);
  if (downloads && IsFolder(*downloads)) return Narrow(*downloads);
  return Narrow(KnownFolder(FOLDERID_Profile).value_or(std::wstring()));
}

}  // namespace trawlbox::platform
