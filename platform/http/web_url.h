#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trawlbox::platform {

// The one test of what the program fetches and hands to a browser: an absolute http or https URL
// (the scheme in any case) whose host is ASCII and not empty, with a port, if any, of digits, and
// no space or control character anywhere. Returns the URL as it goes on the wire: the scheme
// lower-cased and every byte outside ASCII after the host percent-encoded, so that a title's
// Japanese in a path reaches every HTTP stack the same way; nothing for anything else.
[[nodiscard]] std::optional<std::string> WebUrl(std::string_view url);

}  // namespace trawlbox::platform
