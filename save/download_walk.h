#pragma once

#include "collect/window_state.h"
#include "platform/event_yield.h"
#include "platform/file_downloader.h"
#include "platform/message_box.h"
#include "results/result_grid.h"
#include "save/save_window.h"

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
  DownloadWalk(const collect::WindowState& state, const results::ResultGrid& grid,
               SaveWindow& window, DownloadWalkServices services);

  // Walks rows 1 to the collected count, yielding once per row. Nested walks are allowed.
  void Run();

 private:
  const collect::WindowState& state_;
  const results::ResultGrid& grid_;
  SaveWindow& window_;
  DownloadWalkServices services_;
};

}  // namespace trawlbox::save
