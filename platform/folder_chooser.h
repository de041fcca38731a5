#pragma once

#include <optional>
#include <string>

namespace trawlbox::platform {

// The desktop's folder chooser, modal to the main window.
class FolderChooser {
 public:
  virtual ~FolderChooser() = default;

  // Lets the user pick an existing folder under the instruction `title`. Returns its absolute
  // path (no trailing separator except for the root), or nothing when the user cancelled.
  [[nodiscard]] virtual std::optional<std::string> ChooseFolder(const std::string& title) = 0;
};

}  // namespace trawlbox::platform
