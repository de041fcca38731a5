#include "save/target_path.h"

#include "platform/program_location.h"
#include "save/file_name.h"

namespace trawlbox::save {

std::string TargetPath(std::string_view folder, std::string_view title) {
  std::string path(folder);
  if (path.empty() || platform::kPathSeparators.find(path.back()) == std::string::npos) {
    path += platform::kPathSeparator;
  }
  path += SafeFileName(title);
  return path;
}

}  // namespace trawlbox::save
