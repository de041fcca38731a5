#pragma once

#include <string>
#include <utility>
#include <vector>

namespace trawlbox::testing {

using Link = std::pair<std::string, std::string>;  // address, link text

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
