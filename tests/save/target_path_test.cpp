#include "save/target_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "save/file_name.h"

namespace trawlbox::testing {
namespace {

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

// "あ" is three bytes of UTF-8.
const std::string kA = "あ";

TEST(TargetPath, PutsTheTitleAsOneFileNameInsideTheFolder) {
  struct Case {
    const char* name;
    std::string folder;
    std::string title;
    std::string path;
  };
  const std::vector<Case> cases = {
      {"plain title", "/s", "MovingAverage.mq4", "/s/MovingAverage.mq4"},
      {"folder already ends in the separator", "/s/", "MovingAverage.mq4", "/s/MovingAverage.mq4"},
      {"root folder", "/", "x.mq4", "/x.mq4"},
      {"empty folder", "", "x.mq4", "/x.mq4"},
      {"Japanese title kept", "/s", "日本語 の EA (v2).mq4", "/s/日本語 の EA (v2).mq4"},
      {"climbing out", "/s", "../x.mq4", "/s/_._x.mq4"},
      {"absolute path", "/s", "/etc/x", "/s/_etc_x"},
      {"backslash", "/s", "a\\b.mq4", "/s/a_b.mq4"},
      {"parent folder name", "/s", "..", "/s/_."},
      {"current folder name", "/s", ".", "/s/_"},
      {"hidden file", "/s", ".bashrc", "/s/_bashrc"},
      {"inner dots kept", "/s", "a..b.mq4", "/s/a..b.mq4"},
      {"control characters", "/s",
       "a\tb\nc\rd\x7f"
       "e\x1f",
       "/s/a_b_c_d_e_"},
      {"NUL", "/s", std::string("a\0b", 3), "/s/a_b"},
      {"empty title", "/s", "", "/s/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(save::TargetPath(c.folder, c.title), c.path);
  }
}

TEST(FileName, LongNamesAreShortenedAtACharacterBoundaryKeepingTheExtension) {
  struct Case {
    const char* name;
    std::string title;
    std::string file_name;
  };
  const std::vector<Case> cases = {
      {"exactly 255 bytes stays", Repeat(kA, 85), Repeat(kA, 85)},
      {"300 bytes without extension", Repeat(kA, 100), Repeat(kA, 85)},
      // 251 bytes are left before ".mq4": 83 whole characters fit, the 84th would be cut.
      {"300 bytes and an extension", Repeat(kA, 98) + ".mq4", Repeat(kA, 83) + ".mq4"},
      {"ASCII cut to the byte", std::string(300, 'x') + ".mq5", std::string(251, 'x') + ".mq5"},
      // A "extension" of more than 16 bytes is part of the title.
      {"long text after the last dot", "a." + Repeat(kA, 100), "a." + Repeat(kA, 84)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = save::SafeFileName(c.title);
    EXPECT_EQ(name, c.file_name);
    EXPECT_LE(name.size(), save::kMaxFileNameBytes);
  }
}

TEST(FileName, NumberGoesBeforeTheExtensionAndStillFits) {
  struct Case {
    std::string name;
    int number;
    std::string numbered;
  };
  const std::vector<Case> cases = {
      {"a.mq4", 2, "a (2).mq4"},
      {"a", 3, "a (3)"},
      {"x.tar.gz", 2, "x.tar (2).gz"},
      {"_bashrc", 2, "_bashrc (2)"},
      {Repeat(kA, 83) + ".mq4", 2, Repeat(kA, 82) + " (2).mq4"},
      {Repeat(kA, 85), 12, Repeat(kA, 83) + " (12)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.numbered);
    const std::string numbered = save::NumberedFileName(c.name, c.number);
    EXPECT_EQ(numbered, c.numbered);
    EXPECT_LE(numbered.size(), save::kMaxFileNameBytes);
  }
}

}  // namespace
}  // namespace trawlbox::testing
