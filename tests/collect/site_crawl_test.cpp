#include "collect/site_crawl.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tests/collect/engine_rig.h"

namespace trawlbox::testing {
namespace {

using collect::CollectFromSite;
using collect::ReadPageLimit;

enum class Site { kMql4, kMql5, kOther };

struct LimitCase {
  const char* name;
  Site site;
  std::string page;
  std::int16_t limit;
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

class ReadPageLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ReadPageLimitTest, ReadsTheAnnouncedPageCount) {
  const collect::SiteRootPair roots{"http://four.test", "http://five.test"};
  const LimitCase& c = GetParam();
  const std::string root = c.site == Site::kMql4   ? roots.mql4
                           : c.site == Site::kMql5 ? roots.mql5
                                                   : "http://other.test";
  EXPECT_EQ(ReadPageLimit(roots, root, c.page), c.limit);
}

std::string Mql4Pager(const std::string& number, std::size_t padding = 30) {
  return std::string(padding, 'x') + "<a href=\"/page" + number + "\">&gt;&gt;</a>";
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadPageLimitTest,
    ::testing::Values(
        LimitCase{"Mql4Announced", Site::kMql4, Mql4Pager("5"), 5},
        LimitCase{"Mql4CapitalMarkers", Site::kMql4,
                  std::string(30, 'x') + "<A HREF=\"/PAGE12\">&GT;&GT;</A>", 12},
        LimitCase{"Mql4NoMarker", Site::kMql4, "<html>no pager</html>", 1},
        // The marker must stand at position 25 or later.
        LimitCase{"Mql4MarkerAtPosition25", Site::kMql4, Mql4Pager("5", 9), 5},
        LimitCase{"Mql4MarkerAtPosition24", Site::kMql4, Mql4Pager("5", 8), 1},
        LimitCase{"Mql4TenDigitsOfRoom", Site::kMql4, Mql4Pager("1234567890"), 32767},
        LimitCase{"Mql4ElevenDigitsOutOfReach", Site::kMql4, Mql4Pager("12345678901"), 1},
        LimitCase{"Mql4LinkAfterMarker", Site::kMql4,
                  std::string(30, 'x') + "\">&gt;&gt;</a><a href=\"/page7\">", 1},
        LimitCase{"Mql4NotANumber", Site::kMql4, Mql4Pager("x"), 0},
        LimitCase{"Mql4HalfDownToEven", Site::kMql4, Mql4Pager("2.5"), 2},
        LimitCase{"Mql4HalfUpToEven", Site::kMql4, Mql4Pager("3.5"), 4},
        LimitCase{"Mql4ClampedHigh", Site::kMql4, Mql4Pager("99999"), 32767},
        LimitCase{"Mql4ExponentClamped", Site::kMql4, Mql4Pager("1e9"), 32767},
        LimitCase{"Mql4ClampedLow", Site::kMql4, Mql4Pager("-99999"), -32768},
        LimitCase{"Mql5Announced", Site::kMql5, "Pages: <a>1</a><a href=\"/p37\">37</a></div>", 37},
        LimitCase{"Mql5FourDigits", Site::kMql5, "pages:<a>1234</a></div>", 1234},
        LimitCase{"Mql5FiveDigitsOutOfReach", Site::kMql5, "pages:<a>12345</a></div>", 1},
        LimitCase{"Mql5CapitalMarkers", Site::kMql5, "PAGES: <A>9</A></DIV>", 9},
        LimitCase{"Mql5NoPagesAnchor", Site::kMql5, "<a>3</a></div>", 1},
        LimitCase{"Mql5NoEndMarker", Site::kMql5, "pages: <a>3</a>", 1},
        LimitCase{"Mql5EndMarkerBeforeAnchorIgnored", Site::kMql5,
                  "<a>5</a></div> pages: <a>6</a></div>", 6},
        LimitCase{"Mql5FormOnMql4Site", Site::kMql4, "pages: <a>6</a></div>", 1},
        LimitCase{"OtherRoot", Site::kOther, Mql4Pager("5"), 1}),
    [](const auto& test) { return std::string(test.param.name); });

class CollectFromSiteTest : public ::testing::Test {
 protected:
  void Crawl(const std::string& root) {
    collect::RunContext run = rig.Context();
    CollectFromSite(run, root);
  }
  std::vector<std::string> Urls(const std::string& root, const std::vector<std::string>& paths) {
    std::vector<std::string> urls;
    for (const std::string& path : paths) urls.push_back(root + path);
    return urls;
  }

  EngineRig rig;
};

TEST_F(CollectFromSiteTest, Mql4WalksPagesBelowTheCountPausingAfterEach) {
  rig.window.ticked = {true, false};
  for (int p = 1; p <= 5; ++p) rig.ServeMql4("/page" + std::to_string(p), Mql4Listing({}, 5));

  Crawl(rig.roots.mql4);

  EXPECT_EQ(rig.transfer.RequestedUrls(),
            Urls(rig.roots.mql4, {"/page1", "/page2", "/page3", "/page4"}));
  EXPECT_EQ(rig.sleeper.sleeps, (std::vector<int>{3000, 3000, 3000, 3000}));
}

TEST_F(CollectFromSiteTest, Mql5IsWalkedWithoutPauses) {
  rig.window.ticked = {false, true};
  for (int p = 1; p <= 3; ++p)
    rig.ServeMql5("/en/code/page" + std::to_string(p), Mql5Listing({}, 3));

  Crawl(rig.roots.mql5);

  EXPECT_EQ(rig.transfer.RequestedUrls(),
            Urls(rig.roots.mql5, {"/en/code/page1", "/en/code/page2"}));
  EXPECT_TRUE(rig.sleeper.sleeps.empty());
}

TEST_F(CollectFromSiteTest, ReadsOnlyPageOneWhenItAnnouncesNoCountOrFails) {
  struct Case {
    bool mql4;
    const char* page1;  // nullptr: the request fails
    int sleeps;
  };
  for (const Case& c : {Case{true, "<html>no pager</html>", 1}, Case{true, nullptr, 1},
                        Case{false, "<html>no pager</html>", 0}, Case{false, nullptr, 0}}) {
    EngineRig fresh;
    fresh.window.ticked = {c.mql4, !c.mql4};
    const std::string root = c.mql4 ? fresh.roots.mql4 : fresh.roots.mql5;
    const std::string page1 = root + (c.mql4 ? "/page1" : "/en/code/page1");
    if (c.page1 != nullptr) fresh.transfer.pages[page1] = c.page1;
    collect::RunContext run = fresh.Context();

    CollectFromSite(run, root);

    EXPECT_EQ(fresh.transfer.RequestedUrls(), std::vector<std::string>{page1});
    EXPECT_EQ(fresh.sleeper.sleeps.size(), static_cast<std::size_t>(c.sleeps));
  }
}

TEST_F(CollectFromSiteTest, BothTickedOnMql4SitePausesThroughTheMq5PassWithoutFetching) {
  rig.ServeMql4("/page1", Mql4Listing({}, 3));
  // The mq5 pass takes its page count from the last page the visit fetched.
  rig.ServeMql4("/page2", Mql4Listing({}, 4));

  Crawl(rig.roots.mql4);

  EXPECT_EQ(rig.transfer.RequestedUrls(), Urls(rig.roots.mql4, {"/page1", "/page2"}));
  EXPECT_EQ(rig.sleeper.sleeps.size(), 2U + 3U);
}

TEST_F(CollectFromSiteTest, BothTickedOnMql5SiteSkipsTheMq4PassAfterOneStep) {
  rig.ServeMql5("/en/code/page1", Mql5Listing({}, 2));

  Crawl(rig.roots.mql5);

  EXPECT_EQ(rig.transfer.RequestedUrls(), Urls(rig.roots.mql5, {"/en/code/page1"}));
  EXPECT_TRUE(rig.sleeper.sleeps.empty());
}

TEST_F(CollectFromSiteTest, EmptySlotOnlyRewritesTheStatus) {
  rig.state.CollectedCount = 7;

  Crawl("");

  EXPECT_TRUE(rig.transfer.requests.empty());
  EXPECT_TRUE(rig.sleeper.sleeps.empty());
  EXPECT_EQ(rig.window.statuses,
            std::vector<std::string>{"Expert Advisor/Custom Indicator収集中 EA/CI:7個"});
}

TEST_F(CollectFromSiteTest, StopSeenAfterThePageInHandIsFetchedWithoutScanning) {
  rig.window.ticked = {true, false};
  rig.ServeMql4("/page1", Mql4Listing({}, 5));
  rig.ServeMql4("/page2", Mql4Listing({"/detail"}, 5));
  rig.ServeMql4("/detail", Mql4Detail({{"/f.mq4", "F"}}));
  // Pressed in the crawl's own yield before page 2.
  rig.yield.on_yield = [this](int) {
    if (rig.sleeper.sleeps.size() == 1) rig.state.StopRequested = true;
  };

  Crawl(rig.roots.mql4);

  EXPECT_EQ(rig.transfer.RequestedUrls(), Urls(rig.roots.mql4, {"/page1", "/page2"}));
  EXPECT_EQ(rig.state.CollectedCount, 0);
  EXPECT_EQ(rig.sleeper.sleeps.size(), 2U);
}

TEST_F(CollectFromSiteTest, MaximumReachedMidPageEndsTheVisitAfterThatPage) {
  rig.window.ticked = {true, false};
  rig.window.max_count = "1";
  rig.ServeMql4("/page1", Mql4Listing({"/d1", "/d2"}, 5));
  rig.ServeMql4("/d1", Mql4Detail({{"/1.mq4", "One"}, {"/2.mq4", "Two"}}));
  rig.ServeMql4("/d2", Mql4Detail({{"/3.mq4", "Three"}}));

  Crawl(rig.roots.mql4);

  EXPECT_EQ(rig.state.CollectedCount, 1);
  EXPECT_EQ(rig.transfer.RequestedUrls(), Urls(rig.roots.mql4, {"/page1", "/d1", "/d2"}));
  EXPECT_EQ(rig.sleeper.sleeps.size(), 1U);
}

}  // namespace
}  // namespace trawlbox::testing
