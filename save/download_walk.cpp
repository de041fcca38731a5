#include "save/download_walk.h"

#include <optional>
#include <string>

#include "save/target_path.h"

namespace trawlbox::save {

namespace {

constexpr const char* kNothingToSave = "保存するExpert Advisor/Custom Indicatorがありません。";

std::string ProgressText(int row, int collected_count) {
  return "Expert Advisor/Custom Indicator保存中 " + std::to_string(row) + "個/" +
         std::to_string(collected_count) + "個中";
}

std::string SavedText(std::size_t saved_files, const std::string& folder) {
  return "Expert Advisor/Custom Indicator" + std::to_string(saved_files) + "個を" + folder +
         "に保存しました。";
}

}  // namespace

DownloadWalk::DownloadWalk(const results::WindowState& state, const results::ResultGrid& grid,
                           SaveWindow& window, DownloadWalkServices services)
    : state_(state), grid_(grid), window_(window), services_(services) {}

void DownloadWalk::Run() {
  const std::optional<std::string> first_number = grid_.GetCell(1, 0);
  if (!first_number || first_number->empty()) {
    services_.messages.Show(platform::MessageIcon::kWarning, kNothingToSave);
    return;
  }
  window_.SetStatus("");
  // Taken once: a collection run started inside a yield changes the count, not the rows walked.
  const int bound = state_.CollectedCount;
  WalkTargets targets;
  bool saved = false;
  for (int row = 1; row <= bound; ++row) {
    // The folder and the title are read before the yield and the URL after it: a row changed
    // inside the yield is fetched from its new URL under the title it showed before.
    const std::string folder = window_.SaveFolderText();
    const std::optional<std::string> title = grid_.GetCell(row, 1);
    services_.yield.YieldOnce();
    if (state_.Closing) return;
    const std::optional<std::string> url = grid_.GetCell(row, 3);
    // A row past the grid's last row cannot be read: nothing is fetched for it and the previous
    // row's result stands, so after a run that counted more entries than the grid holds the
    // status line still counts on to the last row walked.
    if (url) {
      saved = SaveRow(targets, folder, title.value_or(""), *url);
      if (state_.Closing) return;
    }
    if (saved) window_.SetStatus(ProgressText(row, state_.CollectedCount));
  }
  if (state_.CollectedCount > 0) {
    services_.messages.Show(platform::MessageIcon::kInformation,
                            SavedText(targets.SavedCount(), window_.SaveFolderText()));
    window_.SetStatus("");
  }
}

bool DownloadWalk::SaveRow(WalkTargets& targets, const std::string& folder,
                           const std::string& title, const std::string& url) {
  // A row emptied by deletion or clearing names no file or nothing to fetch: it fails like a
  // refused download.
  if (title.empty() || url.empty()) return false;
  const std::string asked_path = TargetPath(folder, title);
  const std::string path = targets.Choose(asked_path, url);
  if (services_.downloader.DownloadToFile(url, path) != 0) return false;
  targets.RecordSaved(asked_path, path, url);
  return true;
}

}  // namespace trawlbox::save
