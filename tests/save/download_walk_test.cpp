#include "save/download_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "results/result_grid.h"
#include "results/window_state.h"
#include "tests/save/save_fakes.h"
#include "tests/support/fakes.h"

namespace trawlbox::testing {
namespace {

using platform::MessageIcon;
using Calls = std::vector<std::pair<std::string, std::string>>;

constexpr const char* kNothingToSave = "保存するExpert Advisor/Custom Indicatorがありません。";

std::string Saved(int files, const std::string& folder) {
  return "Expert Advisor/Custom Indicator" + std::to_string(files) + "個を" + folder +
         "に保存しました。";
}

std::string Progress(int row, int count) {
  return "Expert Advisor/Custom Indicator保存中 " + std::to_string(row) + "個/" +
         std::to_string(count) + "個中";
}

// The window, its grid and the services one walk leans on.
struct Walker {
  // Writes entries `first` to `last` the way a collection run does, tagging titles and URLs.
  void Write(int first, int last, const std::string& tag = "") {
    for (int n = first; n <= last; ++n) {
      const std::string id = tag + std::to_string(n);
      EXPECT_TRUE(grid.SetCell(n, 0, std::to_string(n)));
      EXPECT_TRUE(grid.SetCell(n, 1, "EA" + id + ".mq4"));
      EXPECT_TRUE(grid.SetCell(n, 2, "mq4"));
      EXPECT_TRUE(grid.SetCell(n, 3, "http://h/" + id));
    }
    state.CollectedCount = static_cast<std::int16_t>(last);
  }

  void Run() { save::DownloadWalk(state, grid, window, {downloader, yield, messages}).Run(); }

  results::WindowState state;
  results::ResultGrid grid;
  FakeSaveWindow window;
  ScriptedDownloader downloader;
  ScriptedYield yield;
  RecordingMessageBox messages;
};

TEST(DownloadWalk, WarnsAndDoesNothingElseWhenRowOneHoldsNoNumber) {
  const std::vector<std::pair<const char*, std::function<void(Walker&)>>> cases = {
      {"nothing collected yet", [](Walker&) {}},
      {"list cleared",
       [](Walker& w) {
         w.Write(1, 3);
         w.grid.ClearAll();
       }},
      {"only entry deleted",
       [](Walker& w) {
         w.Write(1, 1);
         EXPECT_TRUE(w.grid.RemoveRow(1));
       }},
  };
  for (const auto& [name, prepare] : cases) {
    SCOPED_TRACE(name);
    Walker w;
    prepare(w);
    w.Run();
    EXPECT_EQ(w.messages.shown,
              (decltype(w.messages.shown){{MessageIcon::kWarning, kNothingToSave}}));
    EXPECT_TRUE(w.downloader.calls.empty());
    EXPECT_EQ(w.yield.calls, 0);
    EXPECT_EQ(w.window.status, "before");
  }
}

TEST(DownloadWalk, StatusLineMovesOnlyWithSuccessesAndTheMessageCountsThem) {
  struct Case {
    const char* name;
    int rows;
    int collected;
    std::vector<std::string> succeeding;
    std::vector<std::string> statuses;
    int saved;
  };
  // Rows 3000 and up lie past the grid: they keep the result of row 2999.
  std::vector<std::string> counted_past_the_grid = {""};
  for (int row = 2999; row <= 3005; ++row) counted_past_the_grid.push_back(Progress(row, 3005));
  counted_past_the_grid.emplace_back("");
  const std::vector<Case> cases = {
      {"every download succeeds",
       3,
       3,
       {"http://h/1", "http://h/2", "http://h/3"},
       {"", Progress(1, 3), Progress(2, 3), Progress(3, 3), ""},
       3},
      {"row 3 of 12", 12, 12, {"http://h/3"}, {"", Progress(3, 12), ""}, 1},
      {"every download fails", 4, 4, {}, {"", ""}, 0},
      {"count past the grid, last row saved",
       2999,
       3005,
       {"http://h/2999"},
       counted_past_the_grid,
       1},
      {"count past the grid, last row failed",
       2999,
       3005,
       {"http://h/2998"},
       {"", Progress(2998, 3005), ""},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Walker w;
    w.Write(1, c.rows);
    w.state.CollectedCount = static_cast<std::int16_t>(c.collected);
    w.downloader.result = [&c](const std::string& url, const std::string&) {
      return std::find(c.succeeding.begin(), c.succeeding.end(), url) != c.succeeding.end() ? 0 : 1;
    };
    w.Run();
    EXPECT_EQ(w.downloader.calls.size(), static_cast<std::size_t>(c.rows));
    EXPECT_EQ(w.yield.calls, c.collected);
    EXPECT_EQ(w.window.statuses, c.statuses);
    EXPECT_EQ(w.messages.shown,
              (decltype(w.messages.shown){{MessageIcon::kInformation, Saved(c.saved, "/save")}}));
  }
}

TEST(DownloadWalk, WalksUpToTheCountTakenAtTheStartOverDeletedRows) {
  Walker w;
  w.Write(1, 10);
  ASSERT_TRUE(w.grid.RemoveRow(3));
  w.Run();
  // Row 10 is empty now: it names no file and nothing is fetched for it.
  Calls expected;
  for (int n : {1, 2, 4, 5, 6, 7, 8, 9, 10}) {
    expected.emplace_back("http://h/" + std::to_string(n), "/save/EA" + std::to_string(n) + ".mq4");
  }
  EXPECT_EQ(w.downloader.calls, expected);
  EXPECT_EQ(w.yield.calls, 10);
  EXPECT_EQ(w.window.statuses[w.window.statuses.size() - 2], Progress(9, 10));
  EXPECT_EQ(w.messages.shown.back().second, Saved(9, "/save"));
}

TEST(DownloadWalk, TakesWhateverTheYieldLeaves) {
  struct Case {
    const char* name;
    std::function<void(Walker&, int call)> at_yield;
    Calls downloads;
    std::vector<std::string> messages;
    std::string last_progress;
  };
  const std::vector<Case> cases = {
      {"folder changed",
       [](Walker& w, int call) {
         if (call == 2) w.window.folder = "/other/";
       },
       {{"http://h/1", "/save/EA1.mq4"},
        {"http://h/2", "/save/EA2.mq4"},
        {"http://h/3", "/other/EA3.mq4"}},
       {Saved(3, "/other/")},
       Progress(3, 3)},
      {"row deleted between title and URL",
       [](Walker& w, int call) {
         if (call == 2) {
           EXPECT_TRUE(w.grid.RemoveRow(2));
         }
       },
       {{"http://h/1", "/save/EA1.mq4"}, {"http://h/3", "/save/EA2.mq4"}},
       {Saved(2, "/save")},
       Progress(2, 3)},
      {"list cleared",
       [](Walker& w, int call) {
         if (call == 2) w.grid.ClearAll();
       },
       {{"http://h/1", "/save/EA1.mq4"}},
       {Saved(1, "/save")},
       Progress(1, 3)},
      {"collection run rewrote the rows",
       [](Walker& w, int call) {
         if (call == 2) w.Write(1, 5, "new");
       },
       {{"http://h/1", "/save/EA1.mq4"},
        {"http://h/new2", "/save/EA2.mq4"},
        {"http://h/new3", "/save/EAnew3.mq4"}},
       {Saved(3, "/save")},
       Progress(3, 5)},
      {"save pressed again",
       [](Walker& w, int call) {
         if (call == 2) w.Run();
       },
       {{"http://h/1", "/save/EA1.mq4"},
        {"http://h/1", "/save/EA1.mq4"},
        {"http://h/2", "/save/EA2.mq4"},
        {"http://h/3", "/save/EA3.mq4"},
        {"http://h/2", "/save/EA2.mq4"},
        {"http://h/3", "/save/EA3.mq4"}},
       {Saved(3, "/save"), Saved(3, "/save")},
       Progress(3, 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Walker w;
    w.Write(1, 3);
    w.yield.on_yield = [&](int call) { c.at_yield(w, call); };
    w.Run();
    EXPECT_EQ(w.downloader.calls, c.downloads);
    std::vector<std::string> messages;
    for (const auto& [icon, text] : w.messages.shown) {
      EXPECT_EQ(icon, MessageIcon::kInformation);
      messages.push_back(text);
    }
    EXPECT_EQ(messages, c.messages);
    ASSERT_GE(w.window.statuses.size(), 2U);
    EXPECT_EQ(w.window.statuses[w.window.statuses.size() - 2], c.last_progress);
    EXPECT_EQ(w.window.status, "");
  }
}

TEST(DownloadWalk, EndsAtOnceWhenTheWindowCloses) {
  struct Case {
    const char* name;
    int closing_yield;     // 0: none
    int closing_download;  // 0: none
    std::size_t downloads;
    std::vector<std::string> statuses;
  };
  const std::vector<Case> cases = {
      {"at the first yield", 1, 0, 0, {""}},
      {"at the second yield", 2, 0, 1, {"", Progress(1, 5)}},
      {"during the second download", 0, 2, 2, {"", Progress(1, 5)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Walker w;
    w.Write(1, 5);
    w.yield.on_yield = [&](int call) {
      if (call == c.closing_yield) w.state.Closing = true;
    };
    w.downloader.result = [&](const std::string&, const std::string&) {
      if (w.downloader.calls.size() != static_cast<std::size_t>(c.closing_download)) return 0;
      w.state.Closing = true;
      return 1;
    };
    w.Run();
    EXPECT_EQ(w.downloader.calls.size(), c.downloads);
    EXPECT_EQ(w.window.statuses, c.statuses);
    EXPECT_TRUE(w.messages.shown.empty());
  }
}

// Names that differ only in the case of their letters name one file on Windows.
TEST(DownloadWalk, NeverReplacesAFileThisWalkSavedFromAnotherUrl) {
  Walker w;
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"Same.mq4", "http://h/a"}, {"Same.mq4", "http://h/b"}, {"Same.mq4", "http://h/a"},
      {"SAME.mq4", "http://h/c"}, {"Same.mq4", "http://h/b"}, {"Other", "http://h/d"},
      {"other", "http://h/e"}};
  for (int n = 1; n <= static_cast<int>(rows.size()); ++n) {
    const auto& [title, url] = rows[static_cast<std::size_t>(n - 1)];
    ASSERT_TRUE(w.grid.SetCell(n, 0, std::to_string(n)));
    ASSERT_TRUE(w.grid.SetCell(n, 1, title));
    ASSERT_TRUE(w.grid.SetCell(n, 3, url));
  }
  w.state.CollectedCount = static_cast<std::int16_t>(rows.size());
  // The first try of "c" fails, so its number is still free when it is tried again.
  bool c_failed_once = false;
  w.downloader.result = [&](const std::string& url, const std::string&) {
    if (url != "http://h/c" || c_failed_once) return 0;
    c_failed_once = true;
    return 1;
  };
  w.Run();
  w.Run();
  const Calls one_walk = {
      {"http://h/a", "/save/Same.mq4"},     {"http://h/b", "/save/Same (2).mq4"},
      {"http://h/a", "/save/Same.mq4"},     {"http://h/c", "/save/SAME (3).mq4"},
      {"http://h/b", "/save/Same (2).mq4"}, {"http://h/d", "/save/Other"},
      {"http://h/e", "/save/other (2)"}};
  Calls both_walks = one_walk;
  both_walks.insert(both_walks.end(), one_walk.begin(), one_walk.end());
  EXPECT_EQ(w.downloader.calls, both_walks);
  // Distinct files: Same, Same (2), Other, Other (2), and Same (3) only in the second walk.
  EXPECT_EQ(w.messages.shown[0].second, Saved(4, "/save"));
  EXPECT_EQ(w.messages.shown[1].second, Saved(5, "/save"));
}

}  // namespace
}  // namespace trawlbox::testing
