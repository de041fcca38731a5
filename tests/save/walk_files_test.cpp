#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "collect/window_state.h"
#include "results/result_grid.h"
#include "save/download_walk.h"
#include "tests/save/save_fakes.h"
#include "tests/support/fakes.h"

namespace trawlbox::testing {
namespace {

namespace fs = std::filesystem;

// Writes the URL itself as the file's content, failing where the file cannot be created.
class FileWritingDownloader : public platform::FileDownloader {
 public:
  int DownloadToFile(const std::string& url, const std::string& path) override {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << url;
    return file.good() ? 0 : 1;
  }
};

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "walk_files_XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() { fs::remove_all(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  [[nodiscard]] const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

std::map<std::string, std::string> FilesIn(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    std::string& content = files[fs::relative(entry.path(), folder).string()];
    if (entry.is_directory()) continue;
    std::ifstream file(entry.path(), std::ios::binary);
    content.assign(std::istreambuf_iterator<char>(file), {});
  }
  return files;
}

TEST(DownloadWalkOnDisk, EveryTitleLandsInsideTheSaveFolderAsOneFile) {
  TempFolder temp;
  const fs::path save_folder = temp.Path() / "save";
  fs::create_directory(save_folder);
  std::string long_japanese;
  for (int i = 0; i < 98; ++i) long_japanese += "あ";
  long_japanese += ".mq4";
  const std::vector<std::string> titles = {"../x.mq4", "/etc/x",      "a\\b.mq4",       "..",
                                           ".bashrc",  long_japanese, "移動平均線.mq4", "Same.mq4",
                                           "Same.mq4"};

  collect::WindowState state;
  results::ResultGrid grid;
  for (int n = 1; n <= static_cast<int>(titles.size()); ++n) {
    ASSERT_TRUE(grid.SetCell(n, 0, std::to_string(n)));
    ASSERT_TRUE(grid.SetCell(n, 1, titles[static_cast<std::size_t>(n - 1)]));
    ASSERT_TRUE(grid.SetCell(n, 3, "http://h/" + std::to_string(n)));
  }
  state.CollectedCount = static_cast<std::int16_t>(titles.size());
  FakeSaveWindow window;
  window.folder = save_folder.string();
  FileWritingDownloader downloader;
  ScriptedYield yield;
  RecordingMessageBox messages;
  save::DownloadWalk(state, grid, window, {downloader, yield, messages}).Run();

  std::string shortened;
  for (int i = 0; i < 83; ++i) shortened += "あ";
  shortened += ".mq4";
  const std::map<std::string, std::string> expected = {
      {"save", ""},
      {"save/_._x.mq4", "http://h/1"},
      {"save/_etc_x", "http://h/2"},
      {"save/a_b.mq4", "http://h/3"},
      {"save/_.", "http://h/4"},
      {"save/_bashrc", "http://h/5"},
      {"save/" + shortened, "http://h/6"},
      {"save/移動平均線.mq4", "http://h/7"},
      {"save/Same.mq4", "http://h/8"},
      {"save/Same (2).mq4", "http://h/9"},
  };
  EXPECT_EQ(FilesIn(temp.Path()), expected);
  EXPECT_EQ(messages.shown.back().second,
            "Expert Advisor/Custom Indicator9個を" + save_folder.string() + "に保存しました。");
}

}  // namespace
}  // namespace trawlbox::testing
