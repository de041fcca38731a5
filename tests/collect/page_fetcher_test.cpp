#include "collect/page_fetcher.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>

#include "results/window_state.h"
#include "tests/collect/scripted_transfer.h"
#include "tests/support/fakes.h"

namespace trawlbox::testing {
namespace {

using collect::FetchPage;

constexpr char kUrl[] = "http://site.test/page1";
constexpr char kUserAgent[] =
    "User-Agent: Mozilla/5.0 (Windows; U; Windows NT 5.1; ja; rv:1.9.0.6) Gecko/2009011913 "
    "Firefox/3.0.6";

std::string Body(std::size_t length) {
  std::string body;
  for (std::size_t i = 0; i < length; ++i) body += static_cast<char>('a' + i % 26);
  return body;
}

struct Fetcher {
  Fetcher() { transfer.pages[kUrl] = ""; }
  std::string Fetch() { return FetchPage(kUrl, transfer, yield, state); }

  ScriptedTransfer transfer;
  ScriptedYield yield;
  results::WindowState state;
};

class FetchPageBodyTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FetchPageBodyTest, ReturnsWholeBodyReadInPiecesUpToTheEmptyOne) {
  Fetcher f;
  f.transfer.pages[kUrl] = Body(GetParam());

  EXPECT_EQ(f.Fetch(), Body(GetParam()));
  EXPECT_EQ(f.transfer.reads,
            static_cast<int>(GetParam() / 4096 + (GetParam() % 4096 ? 1 : 0)) + 1);
  ASSERT_EQ(f.transfer.requests.size(), 1U);
  EXPECT_EQ(f.transfer.requests[0].url, kUrl);
  EXPECT_EQ(f.transfer.requests[0].operation, "GET");
  EXPECT_EQ(f.transfer.requests[0].header, kUserAgent);
}

INSTANTIATE_TEST_SUITE_P(Lengths, FetchPageBodyTest,
                         ::testing::Values(0U, 1U, 4095U, 4096U, 4097U, 10000U));

TEST(FetchPage, WaitsYieldingUntilTheTransferHasFinished) {
  Fetcher f;
  f.transfer.busy_polls = 5;
  f.transfer.pages[kUrl] = "page";

  EXPECT_EQ(f.Fetch(), "page");
  EXPECT_EQ(f.transfer.polls, 6);
  // Five waits, then a yield before each of the two reads.
  EXPECT_EQ(f.yield.calls, 7);
}

TEST(FetchPage, StopAlreadySetStillAwaitsTheRequestAndReturnsEmpty) {
  Fetcher f;
  f.transfer.pages[kUrl] = "page";
  f.state.StopRequested = true;

  EXPECT_EQ(f.Fetch(), "");
  EXPECT_EQ(f.transfer.requests.size(), 1U);
  EXPECT_EQ(f.transfer.polls, 3);
  EXPECT_EQ(f.transfer.reads, 0);
}

TEST(FetchPage, StopDuringTheWaitLetsTheRequestFinishThenReturnsEmpty) {
  Fetcher f;
  f.transfer.busy_polls = 4;
  f.transfer.pages[kUrl] = "page";
  f.yield.on_yield = [&f](int call) {
    if (call == 1) f.state.StopRequested = true;
  };

  EXPECT_EQ(f.Fetch(), "");
  EXPECT_EQ(f.transfer.polls, 5);
  EXPECT_EQ(f.transfer.reads, 0);
}

TEST(FetchPage, StopDuringReadingKeepsTheTextReadSoFarWithThePieceAfterTheYield) {
  Fetcher f;
  f.transfer.busy_polls = 0;
  f.transfer.pages[kUrl] = Body(3 * 4096);
  // The second read's yield: that piece is still read, then the loop ends.
  f.yield.on_yield = [&f](int call) {
    if (call == 2) f.state.StopRequested = true;
  };

  EXPECT_EQ(f.Fetch(), Body(2 * 4096));
  EXPECT_EQ(f.transfer.reads, 2);
}

struct FailureCase {
  const char* name;
  bool serve_page;
  bool refuse;
  int failing_read;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class FetchPageFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FetchPageFailureTest, ReturnsEmptyAndDropsWhatWasRead) {
  Fetcher f;
  if (GetParam().serve_page) {
    f.transfer.pages[kUrl] = Body(9000);
  } else {
    f.transfer.pages.erase(kUrl);
  }
  f.transfer.refuse_requests = GetParam().refuse;
  f.transfer.failing_read = GetParam().failing_read;

  EXPECT_EQ(f.Fetch(), "");
}

INSTANTIATE_TEST_SUITE_P(Table, FetchPageFailureTest,
                         ::testing::Values(FailureCase{"RequestCannotStart", true, true, 0},
                                           FailureCase{"RequestFailed", false, false, 0},
                                           FailureCase{"ReadFailsAfterTwoPieces", true, false, 3}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(FetchPageClosing, ClosingAtTheStartMakesNoRequest) {
  Fetcher f;
  f.state.Closing = true;

  EXPECT_EQ(f.Fetch(), "");
  EXPECT_TRUE(f.transfer.requests.empty());
  EXPECT_EQ(f.yield.calls, 0);
}

class FetchPageClosingTest : public ::testing::TestWithParam<int> {};

TEST_P(FetchPageClosingTest, ClosingDuringAYieldReturnsEmptyAtOnce) {
  Fetcher f;
  f.transfer.busy_polls = 3;
  f.transfer.pages[kUrl] = Body(9000);
  const int closing_call = GetParam();
  f.yield.on_yield = [&f, closing_call](int call) {
    if (call == closing_call) f.state.Closing = true;
  };

  EXPECT_EQ(f.Fetch(), "");
  EXPECT_EQ(f.yield.calls, closing_call);
}

// Yields 1 to 3 are waits, 4 to 7 come before the reads.
INSTANTIATE_TEST_SUITE_P(AtYield, FetchPageClosingTest, ::testing::Values(1, 3, 4, 6));

}  // namespace
}  // namespace trawlbox::testing
