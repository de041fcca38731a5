// Inputs that broke a property of a fuzz target, replayed through the code they broke.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "save/file_name.h"

namespace trawlbox::testing {
namespace {

struct NameCase {
  const char* name;
  std::string title;
  std::string expected_end;
};

void PrintTo(const NameCase& name_case, std::ostream* out) { *out << name_case.name; }

class LongTitleTest : public ::testing::TestWithParam<NameCase> {};

// Titles longer than a file name may be whose bytes are no UTF-8: shortening them must still give
// one visible name, not an empty one or a hidden ".ext".
TEST_P(LongTitleTest, ShortensToOneVisibleName) {
  const std::string name = save::SafeFileName(GetParam().title);
  ASSERT_FALSE(name.empty());
  EXPECT_NE(name.front(), '.');
  EXPECT_LE(save::FileNameLength(name), save::kMaxFileNameLength);
  EXPECT_TRUE(name.ends_with(GetParam().expected_end));
}

INSTANTIATE_TEST_SUITE_P(
    StrayContinuationBytes, LongTitleTest,
    ::testing::Values(NameCase{"WithExtension", std::string(300, '\x80') + ".mq4", ".mq4"},
                      NameCase{"WithoutExtension", std::string(300, '\xBF'), "\xBF"},
                      NameCase{"AfterOneLetter", "a" + std::string(300, '\x80') + ".mq5", ".mq5"}),
    [](const ::testing::TestParamInfo<NameCase>& param_info) { return param_info.param.name; });

}  // namespace
}  // namespace trawlbox::testing
