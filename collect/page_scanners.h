#pragma once

#include <string>
#include <string_view>

#include "collect/run_context.h"

namespace trawlbox::collect {

// Markers are searched for in an ASCII-lowered copy of a page, so they match in any letter case;
// the closing quote, ">" and "</a" are searched for in the page as fetched, and every piece cut out
// (link, URL, title) comes from the page as fetched. Positions are 1-based.

// Reads one listing page of the site `site_root` (the MQL4 root of `run.roots`, otherwise taken as
// the MQL5 site): fetches every item's detail page in page order and scans each one that is not
// empty. On the MQL4 site the links are searched for after the first "downloads". Tests neither
// `StopRequested` nor the maximum: the fetcher's empty text is what ends the work on a page.
void ScanListingPage(RunContext& run, const std::string& site_root, const std::string& page_text,
                     int type_index);

// Records one entry row per download link of a detail page: raises `CollectedCount`, writes the
// number, title, the caption of type box `type_index` and the URL into row `CollectedCount`, makes
// the title cell current and left-aligned and shows the count in the status line. Stops before a
// link once the maximum is reached. A row the grid cannot hold (the count is raised all the same)
// or a count that cannot be raised beyond 32767 ends the page. Always leaves the highlight shown.
void ScanDetailPage(RunContext& run, const std::string& site_root, const std::string& page_text,
                    int type_index);

// `title` without "<em>", "</em>", "<b>" and "</b>": each removed in one left-to-right pass, in
// that order, matching exactly (upper-case tags stay). Nothing else is removed or trimmed.
[[nodiscard]] std::string StripEmphasis(std::string_view title);

}  // namespace trawlbox::collect
