#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trawlbox::platform {

// The Location header `location` of an answer to `base` (an absolute http or https URL as it went
// on the wire) as an absolute URL, resolved against `base` as RFC 3986 §5.2 says: "//host/x",
// "/x", "x" and "../x" with their dot segments removed, "?q" and "#f" keeping base's path (and,
// for "#f", its query), and an absolute URL of any scheme taken with only its dot segments
// removed. A URL of base's own scheme without "//" ("http:x") is read as relative, as browsers
// read it. The fragment is the location's own, never base's. Blanks and tabs around `location`
// are dropped, as a browser drops them; every byte outside ASCII after the host is
// percent-encoded (%XX, upper-case hex), so raw UTF-8 reaches the server as a browser sends it.
// Anything else (a blank or control character inside, another scheme, a host outside ASCII) is
// left as it is, for the caller's URL check to refuse. Nothing when `location` is empty or blank.
[[nodiscard]] std::optional<std::string> ResolveLocation(std::string_view base,
                                                         std::string_view location);

}  // namespace trawlbox::platform
