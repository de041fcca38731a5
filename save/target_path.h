#pragma once

#include <string>
#include <string_view>

namespace trawlbox::save {

// Where an entry is saved: the folder text, exactly one path separator (added unless the folder
// already ends in one of kPathSeparators; an empty folder gives the separator alone) and the title
// made into one file name (SafeFileName). An empty title gives a path that ends in the separator.
[[nodiscard]] std::string TargetPath(std::string_view folder, std::string_view title);

}  // namespace trawlbox::save
