#include "collect/site_crawl.h"

#include <cmath>
#include <limits>

#include "collect/numeric_text.h"
#include "collect/page_fetcher.h"
#include "collect/page_scanners.h"
#include "collect/text_positions.h"

namespace trawlbox::collect {

namespace {

constexpr std::int16_t kInitialPageLimit = 99;

constexpr std::string_view kMql4LastPageMarker = "\">&gt;&gt;";
constexpr std::string_view kMql4PageLink = "<a href=\"/page";
// Room left before the "&gt;&gt;" marker for the page link and a number of up to ten digits.
constexpr std::size_t kMql4PageLinkReach = kMql4PageLink.size() + 10;
constexpr std::string_view kMql5PagesAnchor = "pages:";
constexpr std::string_view kMql5LastPageEnd = "</a></div>";
// Room before the end marker for a number of up to four digits.
constexpr std::size_t kMql5NumberReach = 5;

std::int16_t PageCount(std::string_view number_text) {
  const double value = std::nearbyint(NumericValue(number_text));
  if (std::isnan(value)) return 0;
  constexpr double kLowest = std::numeric_limits<std::int16_t>::min();
  constexpr double kHighest = std::numeric_limits<std::int16_t>::max();
  if (value <= kLowest) return std::numeric_limits<std::int16_t>::min();
  if (value >= kHighest) return std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(value);
}

std::int16_t ReadMql4PageLimit(std::string_view page_text, std::string_view lowered) {
  const std::size_t b = FindFrom(lowered, kMql4LastPageMarker, 1);
  if (b == 0 || b <= kMql4PageLinkReach) return 1;
  const std::size_t c = FindFrom(lowered, kMql4PageLink, b - kMql4PageLinkReach);
  if (c == 0 || c + kMql4PageLink.size() > b) return 1;
  const std::size_t number_start = c + kMql4PageLink.size();
  return PageCount(Mid(page_text, number_start, b - number_start));
}

std::int16_t ReadMql5PageLimit(std::string_view page_text, std::string_view lowered) {
  const std::size_t b = FindFrom(lowered, kMql5PagesAnchor, 1);
  if (b == 0) return 1;
  const std::size_t c = FindFrom(lowered, kMql5LastPageEnd, b + kMql5PagesAnchor.size());
  if (c == 0) return 1;
  const std::size_t d = FindFrom(lowered, ">", c - kMql5NumberReach);
  if (d == 0 || d > c) return 1;
  // The cut ends with the "<" of the end marker, where the reading of the number stops.
  return PageCount(Mid(page_text, d + 1, c - d));
}

std::string CrawlStatus(std::int16_t count) {
  return "Expert Advisor/Custom Indicator収集中 EA/CI:" + std::to_string(count) + "個";
}

}  // namespace

void CollectFromSite(RunContext& run, const std::string& site_root) {
  results::WindowState& state = run.state;
  run.window.SetStatus(CrawlStatus(state.CollectedCount));
  const bool mql4 = site_root == run.roots.mql4;
  const bool mql5 = site_root == run.roots.mql5;
  const auto maximum_reached = [&run] {
    return MaximumReached(run.window.MaxCountText(), run.state.CollectedCount);
  };

  // The page limit and the page text carry over from the first type to the second: a pass for a
  // type the site does not serve reads its limit from whatever page the visit fetched last.
  std::int16_t page_limit = kInitialPageLimit;
  std::string page_text;
  for (int t = 0; t < kTypeBoxes && !state.StopRequested; ++t) {
    if (state.Closing || maximum_reached()) return;
    if (!run.window.TypeTicked(t)) continue;
    int p = 1;
    while (!state.StopRequested) {
      if (state.Closing || maximum_reached()) return;
      run.services.yield.YieldOnce();
      if (state.Closing) return;
      if (mql4 && run.window.TypeCaption(t) == "mq4") {
        page_text = FetchPage(run.roots.mql4 + "/page" + std::to_string(p), run.services.transfer,
                              run.services.yield, state);
        if (!page_text.empty()) ScanListingPage(run, site_root, page_text, t);
      }
      if (mql5 && run.window.TypeCaption(t) == "mq5") {
        page_text = FetchPage(run.roots.mql5 + "/en/code/page" + std::to_string(p),
                              run.services.transfer, run.services.yield, state);
        if (!page_text.empty()) ScanListingPage(run, site_root, page_text, t);
      }
      if (mql4 || mql5) {
        if (p == 1) page_limit = ReadPageLimit(run.roots, site_root, page_text);
        if (mql4) {
          if (state.Closing) return;
          run.services.sleeper.Sleep(kMql4PauseMilliseconds);
        }
      }
      ++p;
      if (p >= page_limit) break;
    }
  }
}

std::int16_t ReadPageLimit(const SiteRootPair& roots, std::string_view site_root,
                           std::string_view page_text) {
  if (site_root == roots.mql4) return ReadMql4PageLimit(page_text, AsciiLowered(page_text));
  if (site_root == roots.mql5) return ReadMql5PageLimit(page_text, AsciiLowered(page_text));
  return 1;
}

}  // namespace trawlbox::collect
