#include "collect/text_positions.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>

namespace trawlbox::collect {
namespace {

struct FindCase {
  std::string text;
  std::string needle;
  std::size_t start;
  std::size_t found;
};

void PrintTo(const FindCase& c, std::ostream* os) {
  *os << '"' << c.needle << "\" in \"" << c.text << "\" from " << c.start;
}

class FindFromTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindFromTest, FindsFirstOccurrenceStartingAtOrAfterStart) {
  const FindCase& c = GetParam();
  EXPECT_EQ(FindFrom(c.text, c.needle, c.start), c.found);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FindFromTest,
    ::testing::Values(FindCase{"abcabc", "abc", 1, 1}, FindCase{"abcabc", "abc", 2, 4},
                      FindCase{"abcabc", "abc", 4, 4}, FindCase{"abcabc", "abc", 5, 0},
                      FindCase{"abcabc", "c", 6, 6}, FindCase{"abcabc", "c", 7, 0},
                      FindCase{"abcabc", "c", 100, 0}, FindCase{"abcabc", "a", 0, 1},
                      FindCase{"", "a", 1, 0}, FindCase{"ABC", "abc", 1, 0}));

struct MidCase {
  std::string text;
  std::size_t start;
  std::size_t length;
  std::string cut;
};

void PrintTo(const MidCase& c, std::ostream* os) {
  *os << '"' << c.text << "\" from " << c.start << " for " << c.length;
}

class MidTest : public ::testing::TestWithParam<MidCase> {};

TEST_P(MidTest, CutsUpToTheEndOfTheText) {
  const MidCase& c = GetParam();
  EXPECT_EQ(Mid(c.text, c.start, c.length), c.cut);
}

INSTANTIATE_TEST_SUITE_P(Table, MidTest,
                         ::testing::Values(MidCase{"abcdef", 1, 3, "abc"},
                                           MidCase{"abcdef", 4, 3, "def"},
                                           MidCase{"abcdef", 5, 10, "ef"},
                                           MidCase{"abcdef", 7, 1, ""},
                                           MidCase{"abcdef", 2, 0, ""}));

TEST(AsciiLowered, LowersOnlyAsciiLettersKeepingEveryPosition) {
  const std::string text = "<A HREF=\"X\">Ä東京ZZ</A>";
  const std::string lowered = AsciiLowered(text);
  EXPECT_EQ(lowered, "<a href=\"x\">Ä東京zz</a>");
  EXPECT_EQ(lowered.size(), text.size());
}

}  // namespace
}  // namespace trawlbox::collect
