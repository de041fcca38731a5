#include "collect/collector.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "collect/page_fetcher.h"
#include "tests/collect/engine_rig.h"

namespace trawlbox::testing {
namespace {

using platform::MessageIcon;
using results::CellPosition;
using results::Highlight;
using Message = std::pair<MessageIcon, std::string>;

constexpr char kStartCaption[] = "EA/CI 収集開始";
constexpr char kStopCaption[] = "EA/CI 収集中止";

std::string EndStatus(int count) {
  return "Expert Advisor/Custom Indicator収集終了 EA/CI:" + std::to_string(count) + "個";
}

Message Gathered(int count) {
  return {MessageIcon::kInformation,
          "Expert Advisor/Custom Indicator " + std::to_string(count) + "個を収集しました。"};
}

class CollectorTest : public ::testing::Test {
 protected:
  CollectorTest() : collector(rig.state, rig.grid, rig.window, rig.Services(), rig.roots) {}

  // The MQL4 site: one listing page with two detail pages (one and two entries); the MQL5 site:
  // one listing page with one detail page (one entry).
  void ServeBothSites() {
    rig.ServeMql4("/page1", Mql4Listing({"/d1", "/d2"}, 2));
    rig.ServeMql4("/d1", Mql4Detail({{"/f/a.mq4", "A"}}));
    rig.ServeMql4("/d2", Mql4Detail({{"/f/b.mq4", "B"}, {"/f/c.mq4", "C"}}));
    rig.ServeMql5("/en/code/page1", Mql5Listing({"/en/code/10"}, 1));
    rig.ServeMql5("/en/code/10", Mql5Detail({{"http://dl.test/d.mq5", "D"}}));
  }

  // One MQL5 listing page (five announced) with three detail pages of four entries each.
  void ServeMql5Only() {
    rig.window.ticked = {false, true};
    rig.ServeMql5("/en/code/page1", Mql5Listing({"/1", "/2", "/3"}, 5));
    for (const char* detail : {"/1", "/2", "/3"}) {
      std::vector<Link> links;
      for (int i = 1; i <= 4; ++i) links.emplace_back(std::string(detail) + std::to_string(i), "t");
      rig.ServeMql5(detail, Mql5Detail(links));
    }
  }

  // Runs `action` at the first yield after `requests` requests were made.
  void AtRequests(std::size_t requests, std::function<void()> action) {
    rig.yield.on_yield = [this, requests, action = std::move(action), done = false](int) mutable {
      if (!done && rig.transfer.requests.size() == requests) {
        done = true;
        action();
      }
    };
  }

  EngineRig rig;
  collect::Collector collector;
};

TEST_F(CollectorTest, WholeRunOverBothSitesRecordsReportsAndSelectsTheFirstRow) {
  ServeBothSites();
  rig.state.CollectedCount = 9;
  rig.state.StopRequested = true;
  ASSERT_TRUE(rig.grid.SetCell(5, 1, "left over"));
  std::vector<std::string> captions_seen;
  rig.yield.on_yield = [&](int) { captions_seen.push_back(rig.window.caption); };
  std::string status_while_message_open;
  rig.messages.on_show = [&] { status_while_message_open = rig.window.Status(); };

  collector.StartOrStop();

  const std::string r4 = rig.roots.mql4;
  EXPECT_EQ(rig.Rows(0, 5), (std::vector<Entry>{{"  No.", "  タイトル", "タイプ", "  URL"},
                                                {"1", "A", "mq4", r4 + "/f/a.mq4"},
                                                {"2", "B", "mq4", r4 + "/f/b.mq4"},
                                                {"3", "C", "mq4", r4 + "/f/c.mq4"},
                                                {"4", "D", "mq5", "http://dl.test/d.mq5"},
                                                {"", "", "", ""}}));
  EXPECT_EQ(rig.state.CollectedCount, 4);
  EXPECT_EQ(rig.messages.shown, std::vector<Message>{Gathered(4)});
  ASSERT_GE(rig.window.statuses.size(), 3U);
  EXPECT_EQ(rig.window.statuses.front(), "");
  EXPECT_EQ(status_while_message_open, EndStatus(4));
  EXPECT_EQ(rig.window.Status(), "");
  EXPECT_TRUE(rig.window.list_save_enabled);
  EXPECT_EQ(rig.window.caption, kStartCaption);
  EXPECT_FALSE(captions_seen.empty());
  for (const std::string& caption : captions_seen) EXPECT_EQ(caption, kStopCaption);
  EXPECT_EQ(rig.grid.Current(), (CellPosition{1, 0}));
  EXPECT_EQ(rig.grid.SelectionEnd(), (CellPosition{1, 3}));
  EXPECT_EQ(rig.grid.GetHighlight(), Highlight::kShown);
  // MQL4 site: one pause for its mq4 page, one for the mq5 pass that fetches nothing.
  EXPECT_EQ(rig.sleeper.sleeps, (std::vector<int>{3000, 3000}));
  EXPECT_EQ(rig.transfer.RequestedUrls(),
            (std::vector<std::string>{r4 + "/page1", r4 + "/d1", r4 + "/d2",
                                      rig.roots.mql5 + "/en/code/page1",
                                      rig.roots.mql5 + "/en/code/10"}));
}

TEST_F(CollectorTest, BothBoxesUntickedGatherNothingWithoutMessage) {
  ServeBothSites();
  rig.window.ticked = {false, false};
  rig.window.list_save_enabled = true;

  collector.StartOrStop();

  EXPECT_EQ(rig.window.Status(), EndStatus(0));
  EXPECT_TRUE(rig.messages.shown.empty());
  EXPECT_FALSE(rig.window.list_save_enabled);
  EXPECT_TRUE(rig.transfer.requests.empty());
  EXPECT_EQ(rig.window.caption, kStartCaption);
  // Every slot was visited: its status line was written.
  EXPECT_EQ(rig.window.statuses.size(), 1U + results::kSiteSlots + 1U);
}

struct StopCase {
  const char* name;
  // How often the transfer reports itself busy before each page can be read: with none, the
  // stop click comes while the second detail page is being read rather than awaited.
  int busy_polls;
  std::vector<Entry> rows;
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class CollectorStopTest : public CollectorTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(CollectorStopTest, StopDuringDetailPagesStillRequestsTheRestButReadsNoFurther) {
  const StopCase& c = GetParam();
  rig.window.ticked = {true, false};
  rig.transfer.busy_polls = c.busy_polls;
  rig.ServeMql4("/page1", Mql4Listing({"/d1", "/d2", "/d3"}, 5));
  rig.ServeMql4("/d1", Mql4Detail({{"/a.mq4", "A"}}));
  // The first piece read ends right after the third link's address, before its title.
  const std::string cut_link = "</a>&nbsp;<a href=\"/b3.mq4\"";
  std::string d2 = Mql4Detail({{"/b.mq4", "B"}, {"/b2.mq4", "B2"}});
  d2.resize(collect::kChunkSize - cut_link.size(), ' ');
  d2 += cut_link + ">B3</a>";
  rig.ServeMql4("/d2", d2);
  rig.ServeMql4("/d3", Mql4Detail({{"/c.mq4", "C"}}));
  // The second click arrives at the first yield after the second detail page was asked for.
  AtRequests(3, [this] { collector.StartOrStop(); });

  collector.StartOrStop();

  const std::string r4 = rig.roots.mql4;
  EXPECT_EQ(rig.transfer.RequestedUrls(),
            (std::vector<std::string>{r4 + "/page1", r4 + "/d1", r4 + "/d2", r4 + "/d3"}));
  std::vector<Entry> rows = c.rows;
  for (Entry& row : rows) row[3] = r4 + row[3];
  EXPECT_EQ(rig.Rows(1, static_cast<int>(rows.size())), rows);
  EXPECT_EQ(rig.state.CollectedCount, static_cast<int>(rows.size()));
  EXPECT_EQ(rig.messages.shown, std::vector<Message>{Gathered(static_cast<int>(rows.size()))});
  EXPECT_EQ(rig.window.caption, kStartCaption);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CollectorStopTest,
    ::testing::Values(StopCase{"WhileAwaitedThePageIsNotRead", 2, {{"1", "A", "mq4", "/a.mq4"}}},
                      // The link cut off before its title takes the title of the one before.
                      StopCase{"WhileReadThePartReadIsScanned",
                               0,
                               {{"1", "A", "mq4", "/a.mq4"},
                                {"2", "B", "mq4", "/b.mq4"},
                                {"3", "B2", "mq4", "/b2.mq4"},
                                {"4", "B2", "mq4", "/b3.mq4"}}}),
    [](const auto& test) { return std::string(test.param.name); });

struct MaximumCase {
  const char* max_count;
  int recorded;
};

void PrintTo(const MaximumCase& c, std::ostream* os) { *os << '"' << c.max_count << '"'; }

class CollectorMaximumTest : public CollectorTest,
                             public ::testing::WithParamInterface<MaximumCase> {};

TEST_P(CollectorMaximumTest, RunEndsOnceTheMaximumIsRecorded) {
  ServeMql5Only();
  rig.window.max_count = GetParam().max_count;

  collector.StartOrStop();

  EXPECT_EQ(rig.state.CollectedCount, GetParam().recorded);
  EXPECT_EQ(rig.messages.shown, std::vector<Message>{Gathered(GetParam().recorded)});
  // The remaining detail pages of the listing page are fetched; no further listing page is.
  const std::string r5 = rig.roots.mql5;
  EXPECT_EQ(rig.transfer.RequestedUrls(),
            (std::vector<std::string>{r5 + "/en/code/page1", r5 + "/1", r5 + "/2", r5 + "/3"}));
}

INSTANTIATE_TEST_SUITE_P(Table, CollectorMaximumTest,
                         ::testing::Values(MaximumCase{"10", 10}, MaximumCase{"1,000", 1},
                                           MaximumCase{" 6 ", 6}, MaximumCase{"10.5", 11}));

TEST_F(CollectorTest, MaximumChangedDuringRunTakesEffectAtTheNextLink) {
  ServeMql5Only();
  AtRequests(3, [this] { rig.window.max_count = "6"; });

  collector.StartOrStop();

  EXPECT_EQ(rig.state.CollectedCount, 6);
}

TEST_F(CollectorTest, ClosingEndsRunWithoutFurtherRequestPauseOrMessage) {
  ServeBothSites();
  // As the window does when it is closed: stop, mark closing, abort the transfer.
  AtRequests(3, [this] {
    rig.state.StopRequested = true;
    rig.state.Closing = true;
  });

  collector.StartOrStop();

  EXPECT_EQ(rig.transfer.requests.size(), 3U);
  EXPECT_TRUE(rig.sleeper.sleeps.empty());
  EXPECT_EQ(rig.state.CollectedCount, 1);
  EXPECT_TRUE(rig.messages.shown.empty());
}

TEST_F(CollectorTest, SecondRunEmptiesGridAndCountButKeepsSaveStateUntilItEnds) {
  ServeBothSites();
  collector.StartOrStop();
  ASSERT_TRUE(rig.window.list_save_enabled);
  rig.transfer.pages.clear();
  bool checked = false;
  rig.yield.on_yield = [&](int) {
    if (checked) return;
    checked = true;
    EXPECT_TRUE(rig.window.list_save_enabled);
    EXPECT_EQ(rig.state.CollectedCount, 0);
    EXPECT_EQ(rig.grid.GetCell(1, 1), "");
    EXPECT_EQ(rig.grid.GetHighlight(), Highlight::kHidden);
  };

  collector.StartOrStop();

  EXPECT_TRUE(checked);
  EXPECT_FALSE(rig.window.list_save_enabled);
  EXPECT_EQ(rig.window.Status(), EndStatus(0));
  EXPECT_EQ(rig.messages.shown.size(), 1U);
}

}  // namespace
}  // namespace trawlbox::testing
