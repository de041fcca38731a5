#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "collect/run_context.h"

namespace trawlbox::collect {

// The pause after every listing-page step on the MQL4 site, matched or not.
inline constexpr int kMql4PauseMilliseconds = 3000;

// Walks one site slot for the ticked type boxes: the MQL4 root for "mq4" at ROOT/pageN, the MQL5
// root for "mq5" at ROOT/en/code/pageN, pages 1 to the page limit read from page 1, minus one; any
// other slot (an empty one included) makes no request. Shows the count in the status line first.
// Returns at once when `StopRequested` or `Closing` is seen or the maximum is reached. Yields once
// per page step and sleeps 3000 ms after each step on the MQL4 site.
void CollectFromSite(RunContext& run, const std::string& site_root);

// The page count a listing page of `site_root` announces (the MQL4 root of `roots`: the number in
// the "&gt;&gt;" link; the MQL5 root: the number before "</a></div>" after "pages:"), rounded half
// to even and held to the range of a 16-bit signed integer. 1 when the markers are missing or out
// of order and for any other root; 0 when the text found starts with no number.
[[nodiscard]] std::int16_t ReadPageLimit(const SiteRootPair& roots, std::string_view site_root,
                                         std::string_view page_text);

}  // namespace trawlbox::collect
