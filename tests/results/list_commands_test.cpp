#include "results/list_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "results/result_grid.h"
#include "tests/support/command_fakes.h"

namespace trawlbox::testing {
namespace {

// A grid with headings and `count` entries, and the commands over it.
struct Commands {
  explicit Commands(int count) {
    grid.WriteHeadings();
    for (int n = 1; n <= count; ++n) {
      const std::string id = std::to_string(n);
      EXPECT_TRUE(grid.SetCell(n, 0, id));
      EXPECT_TRUE(grid.SetCell(n, 1, "EA" + id + ".mq4"));
      EXPECT_TRUE(grid.SetCell(n, 2, "mq4"));
      EXPECT_TRUE(grid.SetCell(n, 3, "http://h/" + id));
    }
  }

  results::ResultGrid grid;
  RecordingOpener opener;
  RecordingClipboard clipboard;
  results::ListCommands commands{grid, opener, clipboard};
};

TEST(ListCommands, EntryTestLooksOnlyAtTheCurrentRowsUrl) {
  struct Case {
    const char* name;
    int entries;
    std::function<void(Commands&)> prepare;
    bool holds_entry;
  };
  const std::vector<Case> cases = {
      {"no entries yet", 0, [](Commands&) {}, false},
      {"first entry current at start", 3, [](Commands&) {}, true},
      {"current row is an entry", 3, [](Commands& c) { EXPECT_TRUE(c.grid.SetCurrent(2, 0)); },
       true},
      {"selection reaches an entry, current row does not", 3,
       [](Commands& c) {
         EXPECT_TRUE(c.grid.SetCurrent(4, 0));
         EXPECT_TRUE(c.grid.SetSelectionEnd(1, 3));
       },
       false},
      {"entry without a URL", 3,
       [](Commands& c) {
         EXPECT_TRUE(c.grid.SetCell(2, 3, ""));
         EXPECT_TRUE(c.grid.SetCurrent(2, 3));
       },
       false},
      {"list cleared", 3, [](Commands& c) { c.commands.Clear(); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Commands commands(c.entries);
    c.prepare(commands);
    EXPECT_EQ(commands.commands.CurrentRowHoldsEntry(), c.holds_entry);
  }
}

}  // namespace
}  // namespace trawlbox::testing
