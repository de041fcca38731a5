#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "collect/run_context.h"
#include "results/result_grid.h"
#include "tests/collect/code_base_pages.h"
#include "tests/collect/fake_collection_window.h"
#include "tests/collect/scripted_transfer.h"
#include "tests/support/fakes.h"

namespace trawlbox::testing {

using Entry = std::array<std::string, results::ResultGrid::kColumns>;

// One collection run's surroundings, all fakes: two made-up site roots in slots 0 and 1.
struct EngineRig {
  EngineRig() {
    state.SiteRoots[0] = roots.mql4;
    state.SiteRoots[1] = roots.mql5;
    grid.WriteHeadings();
  }

  collect::CollectorServices Services() { return {transfer, yield, sleeper, messages}; }
  collect::RunContext Context() { return {state, grid, window, Services(), roots}; }

  void ServeMql4(const std::string& path, std::string body) {
    transfer.pages[roots.mql4 + path] = std::move(body);
  }
  void ServeMql5(const std::string& path, std::string body) {
    transfer.pages[roots.mql5 + path] = std::move(body);
  }

  // The cells of rows `first` to `last`.
  [[nodiscard]] std::vector<Entry> Rows(int first, int last) const {
    std::vector<Entry> rows;
    for (int row = first; row <= last; ++row) {
      Entry entry;
      for (int col = 0; col < results::ResultGrid::kColumns; ++col) {
        entry[static_cast<std::size_t>(col)] = grid.GetCell(row, col).value_or("<none>");
      }
      rows.push_back(entry);
    }
    return rows;
  }

  collect::SiteRootPair roots{"http://mql4.test", "http://mql5.test:8080"};
  results::WindowState state;
  results::ResultGrid grid;
  FakeCollectionWindow window;
  ScriptedTransfer transfer;
  ScriptedYield yield;
  RecordingSleeper sleeper;
  RecordingMessageBox messages;
};

}  // namespace trawlbox::testing
