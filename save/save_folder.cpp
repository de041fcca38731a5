#include "save/save_folder.h"

#include <optional>
#include <string>

namespace trawlbox::save {

void BrowseForSaveFolder(platform::FolderChooser& chooser, SaveWindow& window) {
  const std::optional<std::string> folder = chooser.ChooseFolder(kChooseFolderTitle);
  if (folder) window.SetSaveFolderText(*folder);
}

}  // namespace trawlbox::save
