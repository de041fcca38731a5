#pragma once

#include "collect/collection_window.h"
#include "collect/run_context.h"
#include "collect/site_roots.h"
#include "results/result_grid.h"
#include "results/window_state.h"

namespace trawlbox::collect {

// The collection engine behind the start/stop button: runs a whole collection over the site slots
// of the window state, writing entries into the grid.
class Collector {
 public:
  // Every reference must outlive the collector.
  Collector(results::WindowState& state, results::ResultGrid& grid, CollectionWindow& window,
            CollectorServices services, SiteRootPair roots);

  // The start/stop button was pressed. While the button shows the stop caption this only sets
  // `StopRequested`; the running collection ends at its next test. Otherwise runs a whole
  // collection inside this call: empties the grid, resets the count and the stop flag, visits every
  // slot of `SiteRoots` in order, then reports the count in the status line and (when something
  // was gathered) in a message box, enables the save button only when something was gathered and
  // selects the first entry row. Yields and sleeps as a run does. Once `Closing` is set the run
  // ends without another request, wait or message box; no run starts while it is set.
  void StartOrStop();

 private:
  void Run();

  results::WindowState& state_;
  results::ResultGrid& grid_;
  CollectionWindow& window_;
  CollectorServices services_;
  SiteRootPair roots_;
};

}  // namespace trawlbox::collect
