#include "collect/page_scanners.h"

#include <cstddef>
#include <cstdint>
#include <limits>

#include "collect/numeric_text.h"
#include "collect/page_fetcher.h"
#include "collect/text_positions.h"

namespace trawlbox::collect {

namespace {

constexpr std::string_view kMql4ListingAnchor = "downloads";
constexpr std::string_view kMql4DetailMarker = "<strong><a href=\"";
constexpr std::string_view kMql5DetailMarker = "<b><a href=\"";
constexpr std::string_view kMql4DownloadMarker = "</a>&nbsp;<a href=\"";
constexpr std::string_view kMql5DownloadMarker = "\"mq5\" href=\"";

// The blank before "EA/CI:" is an ideographic space here, unlike the crawl's ASCII space: the two
// texts tell the user whether the count came from an entry just written.
constexpr std::string_view kEntryStatusPrefix = "Expert Advisor/Custom Indicator収集中\u3000EA/CI:";

// Writes the cells of entry row `n` in column order, then makes its title cell current and
// left-aligned. False as soon as a write fails; nothing more is written then.
bool WriteEntry(RunContext& run, int n, const std::string& title, int type_index,
                const std::string& url) {
  results::ResultGrid& grid = run.grid;
  if (!grid.SetCell(n, 0, std::to_string(n)) || !grid.SetCell(n, 1, title) ||
      !grid.SetCell(n, 2, run.window.TypeCaption(type_index)) || !grid.SetCell(n, 3, url) ||
      !grid.SetCurrent(n, 1)) {
    return false;
  }
  grid.SetCellAlignment(results::CellAlignment::kLeftCentre);
  return true;
}

std::string RemoveAll(std::string_view text, std::string_view tag) {
  std::string result;
  result.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at = text.find(tag); at != std::string_view::npos; at = text.find(tag, from)) {
    result.append(text.substr(from, at - from));
    from = at + tag.size();
  }
  result.append(text.substr(from));
  return result;
}

}  // namespace

void ScanListingPage(RunContext& run, const std::string& site_root, const std::string& page_text,
                     int type_index) {
  const std::string lowered = AsciiLowered(page_text);
  std::string_view marker = kMql5DetailMarker;
  std::size_t start = 0;
  if (site_root == run.roots.mql4) {
    marker = kMql4DetailMarker;
    start = FindFrom(lowered, kMql4ListingAnchor, 1);
  }
  while (true) {
    const std::size_t d = FindFrom(lowered, marker, start + 1);
    if (d == 0) return;
    const std::size_t e = d + marker.size();
    // Searching from one past the link's first character: an empty link runs on to the next quote.
    const std::size_t close = FindFrom(page_text, "\"", e + 1);
    if (close == 0) return;
    const std::string link(Mid(page_text, e, close - e));
    const std::string detail_text =
        FetchPage(site_root + link, run.services.transfer, run.services.yield, run.state);
    if (!detail_text.empty()) ScanDetailPage(run, site_root, detail_text, type_index);
    start = close;
  }
}

void ScanDetailPage(RunContext& run, const std::string& site_root, const std::string& page_text,
                    int type_index) {
  const bool mql4 = site_root == run.roots.mql4;
  const std::string_view marker = mql4 ? kMql4DownloadMarker : kMql5DownloadMarker;
  const std::string lowered = AsciiLowered(page_text);
  // One title for the whole page: a link whose title markers are missing keeps the previous one.
  std::string title;
  std::size_t pos = 0;
  while (true) {
    pos = FindFrom(lowered, marker, pos + 1);
    if (MaximumReached(run.window.MaxCountText(), run.state.CollectedCount)) pos = 0;
    if (pos == 0) break;
    const std::size_t e = pos + marker.size();
    const std::size_t close = FindFrom(page_text, "\"", e + 1);
    if (close == 0) break;
    pos = close;
    std::string url(Mid(page_text, e, close - e));
    if (mql4) url.insert(0, site_root);

    const std::size_t gt = FindFrom(page_text, ">", close + 1);
    if (gt != 0) {
      const std::size_t lt = FindFrom(page_text, "</a", gt + 1);
      if (lt != 0) {
        title = StripEmphasis(Mid(page_text, gt + 1, lt - gt - 1));
        if (title == "\r") title.clear();
      }
    }

    if (run.state.CollectedCount == std::numeric_limits<std::int16_t>::max()) break;
    // The count goes up before the row is written, so an entry the grid cannot hold still counts.
    const std::int16_t n = ++run.state.CollectedCount;
    if (!WriteEntry(run, n, title, type_index, url)) break;
    run.window.SetStatus(std::string(kEntryStatusPrefix) + std::to_string(n) + "個");
  }
  run.grid.SetHighlight(results::Highlight::kShown);
}

std::string StripEmphasis(std::string_view title) {
  std::string result(title);
  for (const std::string_view tag : {"<em>", "</em>", "<b>", "</b>"}) {
    result = RemoveAll(result, tag);
  }
  return result;
}

}  // namespace trawlbox::collect
