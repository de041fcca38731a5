#include "collect/page_scanners.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tests/collect/engine_rig.h"

namespace trawlbox::testing {
namespace {

using collect::ScanDetailPage;
using collect::ScanListingPage;
using collect::StripEmphasis;
using results::CellAlignment;
using results::Highlight;

const std::string kEntryStatus =
    "Expert Advisor/Custom Indicator収集中\xE3\x80\x80"
    "EA/CI:";

struct StripCase {
  std::string title;
  std::string stripped;
};

void PrintTo(const StripCase& c, std::ostream* os) {
  *os << '"';
  for (const char ch : c.title) {
    if (ch == '\r') {
      *os << "\\r";
    } else if (ch == '\n') {
      *os << "\\n";
    } else {
      *os << ch;
    }
  }
  *os << '"';
}

class StripEmphasisTest : public ::testing::TestWithParam<StripCase> {};

TEST_P(StripEmphasisTest, RemovesEachLowerCaseTagInOnePass) {
  EXPECT_EQ(StripEmphasis(GetParam().title), GetParam().stripped);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StripEmphasisTest,
    ::testing::Values(StripCase{"", ""}, StripCase{"Plain title", "Plain title"},
                      StripCase{"<b>Bold</b> and <em>stressed</em>", "Bold and stressed"},
                      StripCase{"a<b>b<em>c</em>d</b>e", "abcde"},
                      StripCase{"<b>New</b> <b>EA</b>", "New EA"},
                      StripCase{"<B>Upper</B> <EM>kept</EM>", "<B>Upper</B> <EM>kept</EM>"},
                      // A tag that only comes into being by a removal stays.
                      StripCase{"<<b>b>x", "<b>x"}, StripCase{"<</em>em>x", "<em>x"},
                      // "<em>" goes before "<b>": one made by removing a "<b>" stays.
                      StripCase{"<<b>em>x", "<em>x"}, StripCase{"  spaced \r\n", "  spaced \r\n"},
                      StripCase{"<strong>x</strong>", "<strong>x</strong>"}));

enum class Site { kMql4, kMql5 };

struct DetailCase {
  const char* name;
  Site site;
  std::string page;
  std::vector<Entry> rows;  // the rows expected from count_before + 1 on
  std::string max_count = "";
  std::int16_t count_before = 0;
};

void PrintTo(const DetailCase& c, std::ostream* os) { *os << c.name; }

std::string Root(const EngineRig& rig, Site site) {
  return site == Site::kMql4 ? rig.roots.mql4 : rig.roots.mql5;
}

class ScanDetailPageTest : public ::testing::TestWithParam<DetailCase> {};

TEST_P(ScanDetailPageTest, WritesOneRowPerDownloadLink) {
  const DetailCase& c = GetParam();
  EngineRig rig;
  rig.window.max_count = c.max_count;
  rig.state.CollectedCount = c.count_before;
  rig.grid.SetHighlight(Highlight::kHidden);
  collect::RunContext run = rig.Context();

  ScanDetailPage(run, Root(rig, c.site), c.page, c.site == Site::kMql4 ? 0 : 1);

  const int first = c.count_before + 1;
  const int last = c.count_before + static_cast<int>(c.rows.size());
  EXPECT_EQ(rig.state.CollectedCount, last);
  EXPECT_EQ(rig.Rows(first, last), c.rows);
  EXPECT_EQ(rig.Rows(last + 1, last + 1), std::vector<Entry>{Entry{}}) << "nothing past the last";
  EXPECT_EQ(rig.grid.GetHighlight(), Highlight::kShown);
  if (c.rows.empty()) {
    EXPECT_TRUE(rig.window.statuses.empty());
  } else {
    EXPECT_EQ(rig.window.Status(), kEntryStatus + std::to_string(last) + "個");
    EXPECT_EQ(rig.window.statuses.size(), c.rows.size());
    EXPECT_EQ(rig.grid.Current(), (results::CellPosition{last, 1}));
    EXPECT_EQ(rig.grid.SelectionEnd(), (results::CellPosition{last, 1}));
    EXPECT_EQ(rig.grid.GetCellAlignment(last, 1), CellAlignment::kLeftCentre);
  }
}

const char kRoot4[] = "http://mql4.test";

INSTANTIATE_TEST_SUITE_P(
    Table, ScanDetailPageTest,
    ::testing::Values(
        DetailCase{"Mql4LinksGetTheRootInFront",
                   Site::kMql4,
                   Mql4Detail({{"/files/a.mq4", "Alpha"}, {"/files/b.mq4", "<b>Beta</b> EA"}}),
                   {{"1", "Alpha", "mq4", std::string(kRoot4) + "/files/a.mq4"},
                    {"2", "Beta EA", "mq4", std::string(kRoot4) + "/files/b.mq4"}}},
        DetailCase{"Mql5LinksStayAsCut",
                   Site::kMql5,
                   Mql5Detail({{"http://cdn.test/x.mq5", "X"}, {"/rel/y.mq5", "Y"}}),
                   {{"5", "X", "mq5", "http://cdn.test/x.mq5"}, {"6", "Y", "mq5", "/rel/y.mq5"}},
                   "",
                   4},
        DetailCase{"CapitalMarkersAreFound",
                   Site::kMql4,
                   "x</A>&NBSP;<A HREF=\"/F.mq4\">T</a>",
                   {{"1", "T", "mq4", std::string(kRoot4) + "/F.mq4"}}},
        DetailCase{"CapitalCloseTagDoesNotEndTheTitle",
                   Site::kMql5,
                   "<a class=\"MQ5\" href=\"u\">Title</A> more</a>",
                   {{"1", "Title</A> more", "mq5", "u"}}},
        DetailCase{"EmptyLinkRunsOnToTheNextQuote",
                   Site::kMql4,
                   "</a>&nbsp;<a href=\"\"rest\">T</a>",
                   {{"1", "T", "mq4", std::string(kRoot4) + "\"rest"}}},
        DetailCase{"FirstLinkWithoutTitleMarkersHasEmptyTitle",
                   Site::kMql5,
                   "\"mq5\" href=\"a\" no close tag here",
                   {{"1", "", "mq5", "a"}}},
        DetailCase{"MissingTitleMarkersCarryThePreviousTitle",
                   Site::kMql5,
                   "\"mq5\" href=\"a\">First</a> \"mq5\" href=\"b\"",
                   {{"1", "First", "mq5", "a"}, {"2", "First", "mq5", "b"}}},
        DetailCase{"CarriageReturnAloneIsEmptyButCrLfStays",
                   Site::kMql5,
                   "\"mq5\" href=\"a\">\r</a>\"mq5\" href=\"b\">\r\n</a>",
                   {{"1", "", "mq5", "a"}, {"2", "\r\n", "mq5", "b"}}},
        DetailCase{"MultiByteTitleIsCutWhole",
                   Site::kMql5,
                   "\"mq5\" href=\"a\">移動平均 <em>EA</em></a>",
                   {{"1", "移動平均 EA", "mq5", "a"}}},
        DetailCase{"MaximumTenWithEightRecordedTakesTwoOfFive",
                   Site::kMql4,
                   Mql4Detail({{"/1", "a"}, {"/2", "b"}, {"/3", "c"}, {"/4", "d"}, {"/5", "e"}}),
                   {{"9", "a", "mq4", std::string(kRoot4) + "/1"},
                    {"10", "b", "mq4", std::string(kRoot4) + "/2"}},
                   "10",
                   8},
        DetailCase{"MaximumAlreadyReachedRecordsNothing",
                   Site::kMql4,
                   Mql4Detail({{"/1", "a"}}),
                   {},
                   "3",
                   3},
        DetailCase{"NoDownloadLinkStillShowsHighlight", Site::kMql5, "<html>nothing</html>", {}},
        DetailCase{"MissingClosingQuoteEndsPage", Site::kMql5, "\"mq5\" href=\"never closed", {}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ScanDetailPageErrors, FullGridRaisesCountWithoutRowAndEndsPage) {
  EngineRig rig;
  rig.state.CollectedCount = 2999;
  rig.window.statuses.emplace_back("before");
  collect::RunContext run = rig.Context();

  ScanDetailPage(run, rig.roots.mql5, Mql5Detail({{"a", "A"}, {"b", "B"}}), 1);
  EXPECT_EQ(rig.state.CollectedCount, 3000) << "raised once, then the page ends";
  ScanDetailPage(run, rig.roots.mql5, Mql5Detail({{"c", "C"}}), 1);
  EXPECT_EQ(rig.state.CollectedCount, 3001);

  EXPECT_EQ(rig.grid.RowCount(), 3000);
  EXPECT_EQ(rig.window.statuses, std::vector<std::string>{"before"});
  EXPECT_EQ(rig.grid.GetHighlight(), Highlight::kShown);
}

TEST(ScanDetailPageErrors, DeletedRowsLowerTheCapacity) {
  EngineRig rig;
  ASSERT_TRUE(rig.grid.RemoveRow(7));
  rig.state.CollectedCount = 2997;
  collect::RunContext run = rig.Context();

  ScanDetailPage(run, rig.roots.mql5, Mql5Detail({{"a", "A"}, {"b", "B"}}), 1);

  EXPECT_EQ(rig.state.CollectedCount, 2999);
  EXPECT_EQ(rig.Rows(2998, 2998), (std::vector<Entry>{{"2998", "A", "mq5", "a"}}));
  EXPECT_EQ(rig.window.Status(), kEntryStatus + "2998個");
}

TEST(ScanDetailPageErrors, CountStaysAtItsLargestValue) {
  EngineRig rig;
  rig.state.CollectedCount = 32767;
  collect::RunContext run = rig.Context();

  ScanDetailPage(run, rig.roots.mql5, Mql5Detail({{"a", "A"}}), 1);

  EXPECT_EQ(rig.state.CollectedCount, 32767);
  EXPECT_TRUE(rig.window.statuses.empty());
  EXPECT_EQ(rig.grid.GetHighlight(), Highlight::kShown);
}

struct ListingCase {
  const char* name;
  Site site;
  std::string page;
  std::vector<std::string> requested;  // paths after the site root
};

void PrintTo(const ListingCase& c, std::ostream* os) { *os << c.name; }

class ScanListingPageTest : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ScanListingPageTest, FetchesEachDetailLinkInPageOrder) {
  const ListingCase& c = GetParam();
  EngineRig rig;
  collect::RunContext run = rig.Context();
  const std::string root = Root(rig, c.site);

  ScanListingPage(run, root, c.page, c.site == Site::kMql4 ? 0 : 1);

  std::vector<std::string> expected;
  for (const std::string& path : c.requested) expected.push_back(root + path);
  EXPECT_EQ(rig.transfer.RequestedUrls(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScanListingPageTest,
    ::testing::Values(
        ListingCase{"Mql4SkipsLinksBeforeDownloads",
                    Site::kMql4,
                    "<strong><a href=\"/early\">x</a> DOWNLOADS <strong><a href=\"/one\">"
                    "<STRONG><A HREF=\"/two\">",
                    {"/one", "/two"}},
        ListingCase{"Mql4WithoutDownloadsStartsAtTheTop",
                    Site::kMql4,
                    "<strong><a href=\"/one\">x</a>",
                    {"/one"}},
        ListingCase{"Mql5StartsAtTheTopAndIgnoresDownloads",
                    Site::kMql5,
                    "<b><a href=\"/en/code/1\"> downloads <B><A HREF=\"/en/code/2\">",
                    {"/en/code/1", "/en/code/2"}},
        ListingCase{"EmptyLinkRunsOnToTheNextQuote", Site::kMql5, "<b><a href=\"\"/x\">", {"\"/x"}},
        ListingCase{"MissingClosingQuoteEndsPage",
                    Site::kMql5,
                    "<b><a href=\"/one\"><b><a href=\"/unclosed",
                    {"/one"}},
        ListingCase{"Mql4MarkerIsNotMql5Marker", Site::kMql4, "<b><a href=\"/x\">", {}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ScanListingPage, ScansEachDetailPageThatArrivedAndSkipsFailedOnes) {
  EngineRig rig;
  rig.ServeMql4("/a", Mql4Detail({{"/a.mq4", "A"}}));
  rig.ServeMql4("/c", Mql4Detail({{"/c.mq4", "C"}}));
  collect::RunContext run = rig.Context();

  ScanListingPage(run, rig.roots.mql4, Mql4Listing({"/a", "/missing", "/c"}, 1), 0);

  EXPECT_EQ(rig.Rows(1, 2), (std::vector<Entry>{{"1", "A", "mq4", rig.roots.mql4 + "/a.mq4"},
                                                {"2", "C", "mq4", rig.roots.mql4 + "/c.mq4"}}));
  EXPECT_EQ(rig.transfer.requests.size(), 3U);
}

TEST(ScanListingPage, FetchesRemainingDetailPagesAfterMaximumWithoutRecording) {
  EngineRig rig;
  rig.window.max_count = "2";
  rig.ServeMql5("/1", Mql5Detail({{"u1", "A"}, {"u2", "B"}, {"u3", "C"}}));
  rig.ServeMql5("/2", Mql5Detail({{"u4", "D"}}));
  collect::RunContext run = rig.Context();

  ScanListingPage(run, rig.roots.mql5, Mql5Listing({"/1", "/2"}, 1), 1);

  EXPECT_EQ(rig.state.CollectedCount, 2);
  EXPECT_EQ(rig.transfer.RequestedUrls(),
            (std::vector<std::string>{rig.roots.mql5 + "/1", rig.roots.mql5 + "/2"}));
}

}  // namespace
}  // namespace trawlbox::testing
