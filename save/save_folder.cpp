#include "save/save_folder.h"

#include <optional>
#include <string>

namespace trawlbox::save {

namespace {

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || platform::kPathSeparators.find(folder.back()) == std::string::npos) {
    folder += platform::kPathSeparator;
  }
  return folder;
}

}  // namespace

void BrowseForSaveFolder(platform::FolderChooser& chooser, SaveWindow& window) {
  const std::optional<std::string> folder = chooser.ChooseFolder(kChooseFolderTitle);
  if (folder) window.SetSaveFolderText(*folder);
}

std::string ProgramFolder(const platform::ProgramLocation& location) {
  return WithTrailingSeparator(location.ExecutableFolder());
}

// An installed program's own folder is a system folder (/usr/bin, Program Files) that a user cannot
// write and that an administrator must not fill with files named by web pages.
std::string StartUpSaveFolder(const platform::ProgramLocation& location) {
  return location.Installed() ? WithTrailingSeparator(location.DownloadFolder())
                              : ProgramFolder(location);
}

}  // namespace trawlbox::save
