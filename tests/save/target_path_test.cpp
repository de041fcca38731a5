#include "save/target_path.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "save/file_name.h"
#include "save/save_folder.h"
#include "tests/save/save_fakes.h"
#include "tests/support/command_fakes.h"

namespace trawlbox::testing {
namespace {

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

// "あ" is three bytes of UTF-8 and one UTF-16 unit; "😀" is four bytes and two units.
const std::string kA = "あ";
const std::string kSmile = "\xF0\x9F\x98\x80";
#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

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
      {"parent folder name", "/s", "..", "/s/__"},
      {"current folder name", "/s", ".", "/s/_"},
      {"hidden file", "/s", ".bashrc", "/s/_bashrc"},
      {"inner dots kept", "/s", "a..b.mq4", "/s/a..b.mq4"},
      {"control characters", "/s",
       "a\tb\nc\rd\x7f"
       "e\x1f",
       "/s/a_b_c_d_e_"},
      {"NUL", "/s", std::string("a\0b", 3), "/s/a_b"},
      {"characters Windows refuses", "/s", "a<b>c:d\"e|f?g*h.mq4", "/s/a_b_c_d_e_f_g_h.mq4"},
      {"device name", "/s", "CON", "/s/_CON"},
      {"device name in lower case with an extension", "/s", "nul.mq4", "/s/_nul.mq4"},
      {"aux.mq4 in lower case is a device name", "/s", "aux.mq4", "/s/_aux.mq4"},
      {"device name before blanks and two extensions", "/s", "Com1 .tar.gz", "/s/_Com1 .tar.gz"},
      {"device name inside a longer name", "/s", "CONSOLE.mq4", "/s/CONSOLE.mq4"},
      {"COM0 is no device", "/s", "COM0", "/s/COM0"},
      {"trailing dot", "/s", "EA.", "/s/EA_"},
      {"trailing dots and spaces", "/s", "EA v2 . .", "/s/EA v2____"},
      {"empty title", "/s", "", "/s/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(save::TargetPath(NativePath(c.folder), c.title), NativePath(c.path));
  }
}

TEST(StartUpSaveFolder, IsTheProgramsFolderUnlessInstalled) {
  struct Case {
    const char* name;
    std::string folder;
    bool installed;
    std::string save_folder;
  };
  const std::string root = kWindows ? "C:\\" : "/";
  const Case cases[] = {
      {"unpacked", NativePath("/opt/tb"), false, NativePath("/opt/tb/")},
      {"unpacked at a root", root, false, root},
      {"installed", NativePath("/usr/bin"), true,
       std::string("/home/user/Downloads") + platform::kPathSeparator},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(save::StartUpSaveFolder(FixedProgramLocation(c.folder, c.installed)), c.save_folder);
  }
}

TEST(BrowseForSaveFolder, ReplacesTheFolderOnlyWhenOneIsChosen) {
  for (const std::optional<std::string>& chosen : {std::optional<std::string>(), {"/home/u/EA"}}) {
    SCOPED_TRACE(chosen.value_or("cancelled"));
    FakeSaveWindow window;
    ScriptedFolderChooser chooser;
    chooser.answer = chosen;
    save::BrowseForSaveFolder(chooser, window);
    EXPECT_EQ(window.folder, chosen.value_or("/save"));
    EXPECT_EQ(chooser.titles, std::vector<std::string>{save::kChooseFolderTitle});
  }
}

#ifdef _WIN32
TEST(TargetPath, TakesAForwardSlashForAFolderEndOnWindows) {
  EXPECT_EQ(save::TargetPath("C:/s/", "x.mq4"), "C:/s/x.mq4");
  EXPECT_EQ(save::TargetPath("C:/s", "x.mq4"), "C:/s\\x.mq4");
}
#endif

TEST(FileName, LongNamesAreShortenedAtACharacterBoundaryKeepingTheExtension) {
  struct Case {
    const char* name;
    std::string title;
    std::string file_name;
  };
  const std::vector<Case> cases = {
      {"exactly 255 bytes stays", Repeat(kA, 85), Repeat(kA, 85)},
      {"300 bytes without extension", Repeat(kA, 100), kWindows ? Repeat(kA, 100) : Repeat(kA, 85)},
      // 251 bytes are left before ".mq4": 83 whole characters fit, the 84th would be cut.
      {"300 bytes and an extension", Repeat(kA, 98) + ".mq4",
       kWindows ? Repeat(kA, 98) + ".mq4" : Repeat(kA, 83) + ".mq4"},
      {"ASCII cut at the limit", std::string(300, 'x') + ".mq5", std::string(251, 'x') + ".mq5"},
      // 255 bytes hold 63 four-byte characters; 255 UTF-16 units hold 127 of them. The broken
      // character at the end is cut away with the rest.
      {"four-byte characters ending in broken UTF-8", Repeat(kSmile, 130) + "\xF0\x9F",
       Repeat(kSmile, kWindows ? 127 : 63)},
      {"Japanese cut at the limit", Repeat(kA, 300), Repeat(kA, kWindows ? 255 : 85)},
      // A "extension" of more than 16 bytes is part of the title.
      {"long text after the last dot", "a." + Repeat(kA, 300),
       "a." + Repeat(kA, kWindows ? 253 : 84)},
      {"extension of 16 bytes kept", std::string(300, 'x') + ".0123456789abcde",
       std::string(239, 'x') + ".0123456789abcde"},
      {"extension of 17 bytes is part of the title", std::string(300, 'x') + ".0123456789abcdef",
       std::string(255, 'x')},
      {"cut that ends in a space", std::string(254, 'x') + "  tail", std::string(254, 'x') + "_"},
      {"device name with a long extension", "con." + std::string(300, 'x'),
       "_con." + std::string(250, 'x')},
      // A byte that starts no character counts as one, so stray bytes never cut a name to nothing
      // or to a hidden ".mq4".
      {"stray continuation bytes before an extension", std::string(300, '\x80') + ".mq4",
       std::string(251, '\x80') + ".mq4"},
      {"stray continuation bytes alone", std::string(300, '\xBF'), std::string(255, '\xBF')},
      {"letters before stray continuation bytes", "ab" + std::string(300, '\x80') + ".mq5",
       "ab" + std::string(249, '\x80') + ".mq5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = save::SafeFileName(c.title);
    EXPECT_EQ(name, c.file_name);
    EXPECT_LE(save::FileNameLength(name), save::kMaxFileNameLength);
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
      {Repeat(kA, kWindows ? 251 : 83) + ".mq4", 2, Repeat(kA, kWindows ? 247 : 82) + " (2).mq4"},
      {Repeat(kA, kWindows ? 255 : 85), 12, Repeat(kA, kWindows ? 250 : 83) + " (12)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.numbered);
    const std::string numbered = save::NumberedFileName(c.name, c.number);
    EXPECT_EQ(numbered, c.numbered);
    EXPECT_LE(save::FileNameLength(numbered), save::kMaxFileNameLength);
  }
}

}  // namespace
}  // namespace trawlbox::testing
