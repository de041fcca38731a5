#pragma once

#include <string>
#include <string_view>

namespace trawlbox::platform {

// The program keeps its text in UTF-8; Windows' wide functions take UTF-16. A sequence that is
// not valid in the source encoding becomes U+FFFD.
[[nodiscard]] std::wstring Widen(std::string_view utf8);
[[nodiscard]] std::string Narrow(std::wstring_view utf16);

}  // namespace trawlbox::platform
