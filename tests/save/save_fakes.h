#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_downloader.h"
#include "save/save_window.h"

namespace trawlbox::testing {

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

// Records every (url, path) it is asked for and answers with `result` (0 when not set).
class ScriptedDownloader : public platform::FileDownloader {
 public:
  int DownloadToFile(const std::string& url, const std::string& path) override {
    calls.emplace_back(url, path);
    return result ? result(url, path) : 0;
  }

  std::function<int(const std::string& url, const std::string& path)> result;
  std::vector<std::pair<std::string, std::string>> calls;
};

}  // namespace trawlbox::testing
