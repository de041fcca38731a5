#pragma once

#include "platform/folder_chooser.h"
#include "save/save_window.h"

namespace trawlbox::save {

inline constexpr const char* kChooseFolderTitle = "フォルダを選択してください";

// The browse button: replaces the save folder with the folder the user picks; a cancelled choice
// leaves the text as it was.
void BrowseForSaveFolder(platform::FolderChooser& chooser, SaveWindow& window);

}  // namespace trawlbox::save
