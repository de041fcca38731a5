#pragma once

#include <string>

#include "platform/event_yield.h"
#include "platform/file_downloader.h"
#include "platform/message_box.h"
#include "results/result_grid.h"
#include "results/window_state.h"
#include "save/save_window.h"
#include "save/walk_targets.h"

namespace trawlbox::save {

struct DownloadWalkServices {
  platform::FileDownloader& downloader;
  platform::EventYield& yield;
  platform::MessageBox& messages;
};

// The save button: downloads the URL of every entry row into the save folder, named after the
// row's title.
class DownloadWalk {
 public:
  // Every reference must outlive the walk.
  DownloadWalk(const results::WindowState& state, const results::ResultGrid& grid,
               SaveWindow& window, DownloadWalkServices services);

  // Warns and returns when row 1 holds no entry number. Otherwise walks rows 1 to the collected
  // count taken at the start, yielding once per row before its download; each row is saved under
  // its title in the save folder as it then stands, never over a file this walk saved from another
  // URL. Each saved row is shown in the status line, and so is each row past the grid's last row
  // while the row before it was saved; the closing message names the number of files saved and
  // the folder. Ends at once, without a message, once the window is closing. Nested
  // walks are allowed and keep their own record of what they saved.
  void Run();

 private:
  // Downloads `url` to `title` in `folder`; false, fetching nothing, for an empty title or URL.
  [[nodiscard]] bool SaveRow(WalkTargets& targets, const std::string& folder,
                             const std::string& title, const std::string& url);

  const results::WindowState& state_;
  const results::ResultGrid& grid_;
  SaveWindow& window_;
  DownloadWalkServices services_;
};

}  // namespace trawlbox::save
