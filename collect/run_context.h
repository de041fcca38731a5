#pragma once

#include "collect/collection_window.h"
#include "collect/site_roots.h"
#include "platform/event_yield.h"
#include "platform/http_transfer.h"
#include "platform/message_box.h"
#include "platform/sleeper.h"
#include "results/result_grid.h"
#include "results/window_state.h"

namespace trawlbox::collect {

// The platform services a collection run leans on.
struct CollectorServices {
  platform::HttpTransfer& transfer;
  platform::EventYield& yield;
  platform::Sleeper& sleeper;
  platform::MessageBox& messages;
};

// What one collection run works on, lent to the crawl and the page scanners for the run's length.
struct RunContext {
  results::WindowState& state;
  results::ResultGrid& grid;
  CollectionWindow& window;
  CollectorServices services;
  const SiteRootPair& roots;
};

}  // namespace trawlbox::collect
