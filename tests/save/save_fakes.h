#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_downloader.h"
#include "platform/program_location.h"
#include "save/save_window.h"

namespace trawlbox::testing {

// `path` written with "/" in the test as the system writes it: with its own separator.
inline std::string NativePath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = platform::kPathSeparator;
  }
  return path;
}

// `path` as the system wrote it, with "/" for each separator, as the tests write paths. Titles
// never hold a separator, so nothing else changes.
inline std::string SlashPath(std::string path) {
  for (char& c : path) {
    if (c == platform::kPathSeparator) c = '/';
  }
  return path;
}

// The folder box and the status line of the window, with every status text ever written.
class FakeSaveWindow : public save::SaveWindow {
 public:
  [[nodiscard]] std::string SaveFolderText() const override { return folder; }
  void SetSaveFolderText(const std::string& text) override { folder = text; }
  void SetStatus(const std::string& text) override {
    status = text;
    statuses.push_back(text);
  }

  std::string folder = "/save";
  std::string status = "before";
  std::vector<std::string> statuses;
};

// Records every (url, path) it is asked for, the path with "/" for each separator, and answers
// with `result` (0 when not set).
class ScriptedDownloader : public platform::FileDownloader {
 public:
  int DownloadToFile(const std::string& url, const std::string& path) override {
    calls.emplace_back(url, SlashPath(path));
    return result ? result(url, path) : 0;
  }

  std::function<int(const std::string& url, const std::string& path)> result;
  std::vector<std::pair<std::string, std::string>> calls;
};

}  // namespace trawlbox::testing
