#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/clipboard.h"
#include "platform/folder_chooser.h"
#include "platform/program_location.h"
#include "platform/url_opener.h"

namespace trawlbox::testing {

// Records every (url, working folder) instead of starting a handler.
class RecordingOpener : public platform::UrlOpener {
 public:
  void OpenUrl(const std::string& url, const std::string& working_folder) override {
    opened.emplace_back(url, working_folder);
  }
  std::vector<std::pair<std::string, std::string>> opened;
};

// Records every text put on it.
class RecordingClipboard : public platform::Clipboard {
 public:
  void SetText(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

// Answers every choice with `answer` (nothing: cancelled) and records the titles it was shown.
class ScriptedFolderChooser : public platform::FolderChooser {
 public:
  std::optional<std::string> ChooseFolder(const std::string& title) override {
    titles.push_back(title);
    return answer;
  }
  std::optional<std::string> answer;
  std::vector<std::string> titles;
};

// Places the executable in `folder`, installed there or run where it was built or unpacked.
class FixedProgramLocation : public platform::ProgramLocation {
 public:
  explicit FixedProgramLocation(std::string folder, bool installed = false)
      : folder_(std::move(folder)), installed_(installed) {}
  [[nodiscard]] std::string ExecutableFolder() const override { return folder_; }
  [[nodiscard]] bool Installed() const override { return installed_; }
  [[nodiscard]] std::string DownloadFolder() const override { return "/home/user/Downloads"; }

 private:
  std::string folder_;
  bool installed_;
};

}  // namespace trawlbox::testing
