#include "save/save_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/save/save_fakes.h"
#include "tests/support/command_fakes.h"

namespace trawlbox::testing {
namespace {

TEST(BrowseForSaveFolder, ChosenFolderReplacesTheTextAndCancelKeepsIt) {
  struct Case {
    const char* name;
    std::optional<std::string> chosen;
    std::string folder_after;
  };
  const std::vector<Case> cases = {
      {"cancelled", std::nullopt, "typed by hand"},
      {"folder chosen", "/home/user/EA", "/home/user/EA"},
      {"root chosen", "/", "/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFolderChooser chooser;
    chooser.answer = c.chosen;
    FakeSaveWindow window;
    window.folder = "typed by hand";
    save::BrowseForSaveFolder(chooser, window);
    EXPECT_EQ(chooser.titles, std::vector<std::string>{"フォルダを選択してください"});
    EXPECT_EQ(window.folder, c.folder_after);
    EXPECT_TRUE(window.statuses.empty());
  }
}

}  // namespace
}  // namespace trawlbox::testing
