#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace trawlbox::results {

inline constexpr int kSiteSlots = 5;

// The state the main window owns for its whole life and lends to the collection run and the
// download walk.
struct WindowState {
  // The user asked the running collection to stop.
  bool StopRequested = false;
  // Entries recorded by the current run; the number of rows the download walk covers.
  std::int16_t CollectedCount = 0;
  // Site roots visited by a run, in slot order; empty slots are visited without network traffic.
  std::array<std::string, kSiteSlots> SiteRoots;
  // The window was asked to close while an operation ran: every running operation ends at its
  // next step without another request, wait or message, and the window closes once they have.
  bool Closing = false;
};

}  // namespace trawlbox::results
