#pragma once

namespace trawlbox::platform {

// The one request header every page fetch and every file download sends, "Name: value" with no
// line end: both code-base sites see the same browser.
inline constexpr const char* kUserAgentHeader =
    "User-Agent: Mozilla/5.0 (Windows; U; Windows NT 5.1; ja; rv:1.9.0.6) Gecko/2009011913 "
    "Firefox/3.0.6";

}  // namespace trawlbox::platform
