#pragma once

#include <string>

#include "platform/clipboard.h"
#include "platform/url_opener.h"
#include "results/result_grid.h"

namespace trawlbox::results {

// The commands of the grid's popup menu and its double click. None asks or reports anything.
class ListCommands {
 public:
  // Every reference must outlive the commands.
  ListCommands(ResultGrid& grid, platform::UrlOpener& opener, platform::Clipboard& clipboard);

  // The current row holds an entry: its URL cell is not empty.
  [[nodiscard]] bool CurrentRowHoldsEntry() const;

  // Hands the current row's URL to the desktop, `program_folder` as working folder.
  void Open(const std::string& program_folder);
  // Puts the text of the selected cells on the clipboard.
  void Copy();
  // Deletes the current row; numbers are not rewritten.
  void Remove();
  // Empties every cell, the headings included.
  void Clear();

 private:
  ResultGrid& grid_;
  platform::UrlOpener& opener_;
  platform::Clipboard& clipboard_;
};

}  // namespace trawlbox::results
