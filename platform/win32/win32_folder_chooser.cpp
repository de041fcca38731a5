#include "platform/win32/win32_folder_chooser.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <cwchar>
#include <utility>

#include "platform/files/wide_text.h"
#include "platform/win32/com_resources.h"

namespace trawlbox::platform {

namespace {

using Microsoft::WRL::ComPtr;

// The folder browser hands out item lists; its paths are at most this long.
constexpr DWORD kLongestPath = 32768;

// The dialogs give "C:\" for a drive, but a share's root or a path typed into the dialog may come
// with a separator at its end; only a drive's root keeps it.
std::string WithoutTrailingSeparator(std::wstring path) {
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/') &&
         !(path.size() == 3 && path[1] == L':')) {
    path.pop_back();
  }
  return Narrow(path);
}

// Nothing when the dialog cannot be made at all; an empty path when the user cancelled or the
// choice has no path in the file system.
std::optional<std::wstring> AskFileDialog(HWND owner, const std::wstring& title) {
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&dialog)))) {
    return std::nullopt;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  if (FAILED(dialog->GetOptions(&options)) ||
      FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM |
                                FOS_PATHMUSTEXIST)) ||
      FAILED(dialog->SetTitle(title.c_str()))) {
    return std::nullopt;
  }
  ComPtr<IShellItem> item;
  if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(&item))) return std::wstring();
  PWSTR path = nullptr;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) return std::wstring();
  const CoTaskMemory<wchar_t> owned_path(path);
  return std::wstring(owned_path.get());
}

// Empty when the user cancelled.
std::wstring AskFolderBrowser(HWND owner, const std::wstring& title) {
  BROWSEINFOW browse{};
  browse.hwndOwner = owner;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  const CoTaskMemory<ITEMIDLIST_ABSOLUTE> item(SHBrowseForFolderW(&browse));
  if (!item) return {};
  std::wstring path(kLongestPath, L'\0');
  if (SHGetPathFromIDListEx(item.get(), path.data(), kLongestPath, GPFIDL_DEFAULT) == FALSE) {
    return {};
  }
  path.resize(std::wcslen(path.c_str()));
  return path;
}

}  // namespace

Win32FolderChooser::Win32FolderChooser(HWND__* owner) : owner_(owner) {}

std::optional<std::string> Win32FolderChooser::ChooseFolder(const std::string& title) {
  const ComApartment apartment;
  const std::wstring wide_title = Widen(title);
  std::optional<std::wstring> folder = AskFileDialog(owner_, wide_title);
  if (!folder) folder = AskFolderBrowser(owner_, wide_title);
  if (folder->empty()) return std::nullopt;
  return WithoutTrailingSeparator(std::move(*folder));
}

}  // namespace trawlbox::platform
