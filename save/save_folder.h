#pragma once

#include <string>

#include "platform/folder_chooser.h"
#include "platform/program_location.h"
#include "save/save_window.h"

namespace trawlbox::save {

inline constexpr const char* kChooseFolderTitle = "フォルダを選択してください";

// The browse button: replaces the save folder with the folder the user picks; a cancelled choice
// leaves the text as it was.
void BrowseForSaveFolder(platform::FolderChooser& chooser, SaveWindow& window);

// The folder that holds the program, ending in exactly one separator (a root keeps its own).
[[nodiscard]] std::string ProgramFolder(const platform::ProgramLocation& location);

// The save folder the window starts with, ending in a separator: the program's own folder for a
// program run from where it was unpacked, the user's download folder for an installed one.
[[nodiscard]] std::string StartUpSaveFolder(const platform::ProgramLocation& location);

}  // namespace trawlbox::save
