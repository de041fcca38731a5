#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trawlbox::save {

// The longest file name the file system accepts, in bytes of UTF-8.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// Makes an entry's title (UTF-8) into one file name that stays inside the folder it is put in:
// every "/" and "\" and every control character becomes "_", a leading "." becomes "_" (so ".."
// and hidden names cannot arise), and a name longer than kMaxFileNameBytes is shortened at a
// character boundary, keeping its extension. Nothing else changes. An empty title gives an empty
// name.
[[nodiscard]] std::string SafeFileName(std::string_view title);

// `name` (a SafeFileName result) with " (number)" before its extension: "a.mq4" gives
// "a (2).mq4", "a" gives "a (2)". Shortened like SafeFileName when it grows too long.
[[nodiscard]] std::string NumberedFileName(std::string_view name, int number);

}  // namespace trawlbox::save
