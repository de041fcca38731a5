// Writes the benchmark's generated MQL5-style code base as files, for a web server to serve as they
// are, with the URL lists a client walks.
//
//   trawlbox_bench_site OUT_DIR ROOT [LISTING_PAGES LINKS_PER_PAGE FILE_BYTES]
//
// OUT_DIR/site holds the listing pages en/code/page1 to en/code/page<LISTING_PAGES>, whose
// paginator makes a collection run stop after the last of them, each linking LINKS_PER_PAGE
// detail pages en/code/<id>; one download link per detail page, pointing at files/<id>.mq5 of
// FILE_BYTES bytes; and slow/en/code/page1, a listing page without links for the server to hold
// back. OUT_DIR/pages.txt lists every page in a collection run's order (each listing page followed
// by its detail pages) and OUT_DIR/files.txt the file of every entry the grid can hold, one URL
// under ROOT a line. Defaults: 30 pages of 100 links, files of 8192 bytes.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "results/result_grid.h"

namespace {

// Markup around the links, so that pages weigh roughly what the real site's pages do.
const std::string kHead =
    "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>MQL5 Code Base"
    "</title><link rel=\"stylesheet\" href=\"/styles/main.css\"></head><body><div id=\"header\">"
    "<a href=\"/en\">MQL5</a> <a href=\"/en/code\">Code Base</a> <a href=\"/en/articles\">"
    "Articles</a> <a href=\"/en/market\">Market</a></div>\n";
const std::string kDescription =
    "<p class=\"description\">The indicator draws a moving average of the chosen price and marks "
    "every bar where the price crosses it. Inputs: period, shift, method and applied price. "
    "Works on every symbol and time frame; tested on the strategy tester.</p>\n";
const std::string kFoot =
    "<div id=\"footer\"><a href=\"/en/about\">About</a> <a href=\"/en/terms\">Terms</a></div>"
    "</body></html>\n";

struct SiteShape {
  int listing_pages = 30;
  int links_per_page = 100;
  int file_bytes = 8192;
};

std::string DetailPath(int id) { return "/en/code/" + std::to_string(id); }
std::string FilePath(int id) { return "/files/" + std::to_string(id) + ".mq5"; }

std::string Paginator(int last_page) {
  // A run reads the number of the last page link and stops one page before it.
  const std::string stop = std::to_string(last_page + 1);
  return "<div class=\"paginator\">Pages: <a href=\"/en/code/page1\">1</a><a href=\"/en/code/page" +
         stop + "\">" + stop + "</a></div>\n";
}

std::string ListingPage(int page, const SiteShape& shape) {
  std::string html = kHead;
  for (int i = 0; i < shape.links_per_page; ++i) {
    const std::string id = std::to_string((page - 1) * shape.links_per_page + i + 1);
    html += "<div class=\"item\"><div class=\"icon\"><img src=\"/i/" + id +
            ".png\"></div><b><a href=\"/en/code/" + id + "\">Moving Average Cross " + id +
            "</a></b><span class=\"author\">trader</span><span class=\"rating\">4.5</span></div>\n";
  }
  return html + Paginator(shape.listing_pages) + kFoot;
}

std::string DetailPage(const std::string& file_url, int id) {
  std::string html = kHead + "<h1>Moving Average Cross " + std::to_string(id) + "</h1>\n";
  for (int i = 0; i < 4; ++i) html += kDescription;
  return html + "<div class=\"files\"><a class=\"mq5\" href=\"" + file_url + "\">ma_cross_" +
         std::to_string(id) + ".mq5</a></div>\n" + kFoot;
}

class SiteWriter {
 public:
  explicit SiteWriter(std::filesystem::path dir) : dir_(std::move(dir)) {}

  // Writes `body` as the file a server answers `url_path` ("/en/code/1") with.
  void Write(const std::string& url_path, const std::string& body) {
    const std::filesystem::path file = dir_ / url_path.substr(1);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << body;
    ok_ = ok_ && out.flush().good();
  }
  [[nodiscard]] bool Ok() const { return ok_; }

 private:
  std::filesystem::path dir_;
  bool ok_ = true;
};

bool WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::ofstream out(file);
  for (const std::string& line : lines) out << line << '\n';
  return out.flush().good();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 6) {
    std::fputs("usage: trawlbox_bench_site OUT_DIR ROOT [LISTING_PAGES LINKS FILE_BYTES]\n",
               stderr);
    return 2;
  }
  const std::filesystem::path out = argv[1];
  const std::string root = argv[2];
  SiteShape shape;
  if (argc == 6) {
    shape.listing_pages = std::atoi(argv[3]);
    shape.links_per_page = std::atoi(argv[4]);
    shape.file_bytes = std::atoi(argv[5]);
  }

  SiteWriter site(out / "site");
  std::vector<std::string> pages;
  std::vector<std::string> files;
  const std::string file_body(static_cast<std::size_t>(shape.file_bytes), 'x');
  for (int page = 1; page <= shape.listing_pages; ++page) {
    const std::string listing_path = "/en/code/page" + std::to_string(page);
    site.Write(listing_path, ListingPage(page, shape));
    pages.push_back(root + listing_path);
    for (int i = 0; i < shape.links_per_page; ++i) {
      const int id = (page - 1) * shape.links_per_page + i + 1;
      const std::string file_url = root + FilePath(id);
      site.Write(DetailPath(id), DetailPage(file_url, id));
      site.Write(FilePath(id), file_body);
      pages.push_back(root + DetailPath(id));
      // Row 0 holds the headings: the grid keeps one entry fewer than it has rows.
      if (id < trawlbox::results::ResultGrid::kInitialRows) files.push_back(file_url);
    }
  }
  site.Write("/slow/en/code/page1", kHead + kFoot);
  if (!site.Ok() || !WriteLines(out / "pages.txt", pages) ||
      !WriteLines(out / "files.txt", files)) {
    std::fputs("trawlbox_bench_site: cannot write the site\n", stderr);
    return 1;
  }
  return 0;
}
