#include "collect/numeric_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

namespace trawlbox::collect {
namespace {

struct NumericCase {
  std::string text;
  bool numeric;
  double value;
};

// Names each case after its text, with tabs and line feeds spelled out.
void PrintText(const std::string& text, std::ostream* os) {
  *os << '"';
  for (const char c : text) {
    if (c == '\t') {
      *os << "\\t";
    } else if (c == '\n') {
      *os << "\\n";
    } else {
      *os << c;
    }
  }
  *os << '"';
}

void PrintTo(const NumericCase& c, std::ostream* os) { PrintText(c.text, os); }

class NumericTextTest : public ::testing::TestWithParam<NumericCase> {};

TEST_P(NumericTextTest, ClassifiesAndReadsValue) {
  const NumericCase& c = GetParam();
  EXPECT_EQ(IsNumeric(c.text), c.numeric) << '"' << c.text << '"';
  EXPECT_DOUBLE_EQ(NumericValue(c.text), c.value) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumericTextTest,
    ::testing::Values(
        NumericCase{"", false, 0}, NumericCase{" ", false, 0}, NumericCase{"\t\n", false, 0},
        NumericCase{"0", true, 0}, NumericCase{"10", true, 10},
        // Grouping commas make a number; the value reading stops at the first one.
        NumericCase{"1,000", true, 1}, NumericCase{"1,2,3", true, 1},
        NumericCase{"12,345.5", true, 12}, NumericCase{",5", false, 0}, NumericCase{"5,", false, 5},
        NumericCase{"1,,0", false, 1}, NumericCase{"10.5", true, 10.5},
        NumericCase{".5", true, 0.5}, NumericCase{"5.", true, 5}, NumericCase{".", false, 0},
        NumericCase{"1e2", true, 100}, NumericCase{"1E2", true, 100}, NumericCase{"1D2", true, 100},
        NumericCase{"1d-2", true, 0.01}, NumericCase{"2.5E+1", true, 25},
        NumericCase{"1e", false, 1}, NumericCase{"1e+", false, 1}, NumericCase{"E5", false, 0},
        // Blanks: trimmed at both ends for the test, skipped everywhere for the value.
        NumericCase{"  12  ", true, 12}, NumericCase{"\t7\n", true, 7},
        NumericCase{"1 2", false, 12}, NumericCase{"- 5", false, -5},
        NumericCase{"1 . 5 e 1", false, 15}, NumericCase{"1e 2", false, 100},
        NumericCase{"+5", true, 5}, NumericCase{"-3", true, -3}, NumericCase{"+-3", false, 0},
        NumericCase{"-", false, 0}, NumericCase{"abc", false, 0}, NumericCase{"12abc", false, 12},
        NumericCase{"12<", false, 12}, NumericCase{"007", true, 7}, NumericCase{"0.000", true, 0},
        NumericCase{"1e-400", true, 0}, NumericCase{"0.1e1", true, 1},
        NumericCase{"123456789012345678901234567890", true, 1.2345678901234568e29}));

TEST(NumericValueTest, TooLargeValuesBecomeInfinite) {
  EXPECT_EQ(NumericValue("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(NumericValue("-1e99999999999999999999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(NumericValue(std::string(400, '9')), std::numeric_limits<double>::infinity());
}

struct MaximumCase {
  std::string max_text;
  std::int16_t count;
  bool reached;
};

void PrintTo(const MaximumCase& c, std::ostream* os) {
  PrintText(c.max_text, os);
  *os << " at " << c.count;
}

class MaximumReachedTest : public ::testing::TestWithParam<MaximumCase> {};

TEST_P(MaximumReachedTest, ComparesValueWithCount) {
  const MaximumCase& c = GetParam();
  EXPECT_EQ(MaximumReached(c.max_text, c.count), c.reached)
      << '"' << c.max_text << "\" at " << c.count;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MaximumReachedTest,
    ::testing::Values(MaximumCase{"10", 9, false}, MaximumCase{"10", 10, true},
                      MaximumCase{"10", 11, true}, MaximumCase{"10.5", 10, false},
                      MaximumCase{"10.5", 11, true}, MaximumCase{"1,000", 0, false},
                      MaximumCase{"1,000", 1, true}, MaximumCase{" 3 ", 3, true},
                      MaximumCase{"0", 0, true}, MaximumCase{"-1", 0, true},
                      MaximumCase{"1e400", 32767, false}, MaximumCase{"", 0, false},
                      MaximumCase{"", 32767, false}, MaximumCase{"abc", 32767, false},
                      MaximumCase{"12abc", 100, false}, MaximumCase{"1 2", 100, false}));

}  // namespace
}  // namespace trawlbox::collect
