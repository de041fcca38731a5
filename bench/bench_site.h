#pragma once

#include <string>
#include <vector>

#include "tests/support/test_http_server.h"

namespace trawlbox::bench {

// The shape of the generated code-base site.
struct SiteShape {
  int listing_pages = 30;
  int links_per_page = 100;
  int file_bytes = 8192;
  // How long the slow copy of the first listing page keeps the client waiting.
  int slow_ms = 5000;
};

// What a client walks on the generated site, in the order a collection run asks for it.
struct SiteUrls {
  // Every listing page, each followed by the detail pages it links to.
  std::vector<std::string> pages;
  // The file of every entry the grid can hold.
  std::vector<std::string> files;
};

// Serves an MQL5-style code base on `server`, rooted at its Root(): listing pages
// /en/code/page1 to /en/code/page<listing_pages> whose paginator makes a collection run stop after
// the last of them, each linking `links_per_page` detail pages; one download link per detail page,
// pointing at a file of `file_bytes` bytes. Under Root() + "/slow" the first listing page answers
// after `slow_ms` and holds no links.
SiteUrls ServeSite(testing::TestHttpServer& server, const SiteShape& shape);

}  // namespace trawlbox::bench
