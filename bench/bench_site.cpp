#include "bench/bench_site.h"

#include <QByteArray>
#include <cstddef>

#include "results/result_grid.h"

namespace trawlbox::bench {

namespace {

// Markup around the links, so that pages weigh roughly what the real site's pages do.
const QByteArray kHead =
    "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>MQL5 Code Base"
    "</title><link rel=\"stylesheet\" href=\"/styles/main.css\"></head><body><div id=\"header\">"
    "<a href=\"/en\">MQL5</a> <a href=\"/en/code\">Code Base</a> <a href=\"/en/articles\">"
    "Articles</a> <a href=\"/en/market\">Market</a></div>\n";
const QByteArray kDescription =
    "<p class=\"description\">The indicator draws a moving average of the chosen price and marks "
    "every bar where the price crosses it. Inputs: period, shift, method and applied price. "
    "Works on every symbol and time frame; tested on the strategy tester.</p>\n";
const QByteArray kFoot =
    "<div id=\"footer\"><a href=\"/en/about\">About</a> <a href=\"/en/terms\">Terms</a></div>"
    "</body></html>\n";

QByteArray DetailPath(int id) { return "/en/code/" + QByteArray::number(id); }
QByteArray FilePath(int id) { return "/files/" + QByteArray::number(id) + ".mq5"; }

QByteArray Paginator(int last_page) {
  // A run reads the number of the last page link and stops one page before it.
  const QByteArray stop = QByteArray::number(last_page + 1);
  return "<div class=\"paginator\">Pages: <a href=\"/en/code/page1\">1</a><a href=\"/en/code/page" +
         stop + "\">" + stop + "</a></div>\n";
}

QByteArray ListingPage(int page, const SiteShape& shape) {
  QByteArray html = kHead;
  for (int i = 0; i < shape.links_per_page; ++i) {
    const int id = (page - 1) * shape.links_per_page + i + 1;
    html += "<div class=\"item\"><div class=\"icon\"><img src=\"/i/" + QByteArray::number(id) +
            ".png\"></div><b><a href=\"" + DetailPath(id) + "\">Moving Average Cross " +
            QByteArray::number(id) +
            "</a></b><span class=\"author\">trader</span><span class=\"rating\">4.5</span></div>\n";
  }
  return html + Paginator(shape.listing_pages) + kFoot;
}

QByteArray DetailPage(const std::string& file_url, int id) {
  QByteArray html = kHead + "<h1>Moving Average Cross " + QByteArray::number(id) + "</h1>\n";
  for (int i = 0; i < 4; ++i) html += kDescription;
  return html + "<div class=\"files\"><a class=\"mq5\" href=\"" +
         QByteArray::fromStdString(file_url) + "\">ma_cross_" + QByteArray::number(id) +
         ".mq5</a></div>\n" + kFoot;
}

testing::TestReply Html(QByteArray body) {
  return {.body = std::move(body), .headers = {{"Content-Type", "text/html; charset=utf-8"}}};
}

}  // namespace

SiteUrls ServeSite(testing::TestHttpServer& server, const SiteShape& shape) {
  SiteUrls urls;
  const QByteArray file_body(shape.file_bytes, 'x');
  for (int page = 1; page <= shape.listing_pages; ++page) {
    const QByteArray listing_path = "/en/code/page" + QByteArray::number(page);
    server.Serve(listing_path, Html(ListingPage(page, shape)));
    urls.pages.push_back(server.Url(listing_path.toStdString()));
    for (int i = 0; i < shape.links_per_page; ++i) {
      const int id = (page - 1) * shape.links_per_page + i + 1;
      const std::string file_url = server.Url(FilePath(id).toStdString());
      server.Serve(DetailPath(id), Html(DetailPage(file_url, id)));
      server.Serve(FilePath(id),
                   {.body = file_body, .headers = {{"Content-Type", "application/octet-stream"}}});
      urls.pages.push_back(server.Url(DetailPath(id).toStdString()));
      // Row 0 holds the headings: the grid keeps one entry fewer than it has rows.
      if (id < results::ResultGrid::kInitialRows) urls.files.push_back(file_url);
    }
  }
  testing::TestReply slow = Html(kHead + kFoot);
  slow.delay_before_headers_ms = shape.slow_ms;
  server.Serve("/slow/en/code/page1", std::move(slow));
  return urls;
}

}  // namespace trawlbox::bench
