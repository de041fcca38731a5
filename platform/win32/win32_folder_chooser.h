#pragma once

#include <optional>
#include <string>

#include "platform/folder_chooser.h"

// HWND without windows.h, whose macros would follow this header into every file that includes it.
struct HWND__;

namespace trawlbox::platform {

// The shell's folder dialog (the older folder browser where that dialog is missing), modal to its
// owner; it only offers folders of the file system that exist. The calling thread is joined to a
// COM apartment while the dialog is shown.
class Win32FolderChooser : public FolderChooser {
 public:
  // `owner` is the window kept disabled while the dialog is shown (the main window), or nullptr.
  explicit Win32FolderChooser(HWND__* owner);

  [[nodiscard]] std::optional<std::string> ChooseFolder(const std::string& title) override;

 private:
  HWND__* owner_;
};

}  // namespace trawlbox::platform
