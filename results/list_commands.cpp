#include "results/list_commands.h"

#include <optional>

namespace trawlbox::results {

ListCommands::ListCommands(ResultGrid& grid, platform::UrlOpener& opener,
                           platform::Clipboard& clipboard)
    : grid_(grid), opener_(opener), clipboard_(clipboard) {}

bool ListCommands::CurrentRowHoldsEntry() const {
  const std::optional<std::string> url = grid_.GetCell(grid_.CurrentRow(), 3);
  return url && !url->empty();
}

void ListCommands::Open(const std::string& program_folder) {
  opener_.OpenUrl(grid_.GetCell(grid_.CurrentRow(), 3).value_or(""), program_folder);
}

void ListCommands::Copy() { clipboard_.SetText(grid_.SelectionText()); }

void ListCommands::Remove() {
  // The grid keeps its last entry row: deleting it is refused and nothing changes.
  [[maybe_unused]] const bool removed = grid_.RemoveRow(grid_.CurrentRow());
}

void ListCommands::Clear() { grid_.ClearAll(); }

}  // namespace trawlbox::results
