#pragma once

#include <string>

namespace trawlbox::save {

// What saving asks of the main window's controls.
class SaveWindow {
 public:
  virtual ~SaveWindow() = default;

  // The save folder: the text of the folder box, read afresh on every call.
  [[nodiscard]] virtual std::string SaveFolderText() const = 0;
  virtual void SetSaveFolderText(const std::string& text) = 0;
  virtual void SetStatus(const std::string& text) = 0;
};

}  // namespace trawlbox::save
