#pragma once

#include "collect/collection_window.h"
#include "collect/site_roots.h"
#include "collect/window_state.h"
#include "platform/event_yield.h"
#include "platform/http_transfer.h"
#include "platform/message_box.h"
#include "platform/sleeper.h"
#include "results/result_grid.h"

namespace trawlbox::collect {

// The platform services a collection run leans on.
struct CollectorServices {
  platform::HttpTransfer& transfer;
  platform::EventYield& yield;
  platform::Sleeper& sleeper;
  platform::MessageBox& messages;
};

// The collection engine behind the start/stop button: runs a whole collection over the site slots
// of the window state, writing entries into the grid.
class Collector {
 public:
  // Every reference must outlive the collector.
  Collector(WindowState& state, results::ResultGrid& grid, CollectionWindow& window,
            CollectorServices services, SiteRootPair roots);

  // The start/stop button was pressed: stops the running collection when the button shows the
  // stop caption, otherwise runs a whole collection. Yields and sleeps as a run does.
  void StartOrStop();

 private:
  WindowState& state_;
  results::ResultGrid& grid_;
  CollectionWindow& window_;
  CollectorServices services_;
  SiteRootPair roots_;
};

}  // namespace trawlbox::collect
