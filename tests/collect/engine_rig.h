#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "collect/run_context.h"
#include "results/result_grid.h"
#include "tests/collect/fake_collection_window.h"
#include "tests/collect/scripted_transfer.h"
#include "tests/support/fakes.h"

namespace trawlbox::testing {

using Entry = std::array<std::string, results::ResultGrid::kColumns>;
using Link = std::pair<std::string, std::string>;  // address, link text

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
  collect::WindowState state;
  results::ResultGrid grid;
  FakeCollectionWindow window;
  ScriptedTransfer transfer;
  ScriptedYield yield;
  RecordingSleeper sleeper;
  RecordingMessageBox messages;
};

// Pages shaped like the two code-base sites' listing and detail pages.

inline std::string Mql4Listing(const std::vector<std::string>& detail_links, int page_count) {
  std::string page = "<html><body><a href=\"/\">Downloads</a><table>";
  for (const std::string& link : detail_links) {
    page += "<tr><td><strong><a href=\"" + link + "\">item</a></strong></td></tr>\n";
  }
  page += "</table><div class=\"pages\"><a href=\"/page2\">2</a> <a href=\"/page" +
          std::to_string(page_count) + "\">&gt;&gt;</a></div></body></html>";
  return page;
}

inline std::string Mql4Detail(const std::vector<Link>& downloads) {
  std::string page = "<html><body><h1>Item</h1>";
  for (const auto& [url, title] : downloads) {
    page +=
        "<p><a href=\"/author\">author</a>&nbsp;<a href=\"" + url + "\">" + title + "</a></p>\n";
  }
  return page + "</body></html>";
}

inline std::string Mql5Listing(const std::vector<std::string>& detail_links, int page_count) {
  std::string page = "<html><body>";
  for (const std::string& link : detail_links) {
    page += "<div class=\"item\"><b><a href=\"" + link + "\">item</a></b></div>\n";
  }
  page +=
      "<div class=\"paginator\">Pages: <a href=\"/en/code/page1\">1</a><a href=\"/en/code/page" +
      std::to_string(page_count) + "\">" + std::to_string(page_count) + "</a></div></body></html>";
  return page;
}

inline std::string Mql5Detail(const std::vector<Link>& downloads) {
  std::string page = "<html><body>";
  for (const auto& [url, title] : downloads) {
    page += "<div><a class=\"mq5\" href=\"" + url + "\">" + title + "</a></div>\n";
  }
  return page + "</body></html>";
}

}  // namespace trawlbox::testing
