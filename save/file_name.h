#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trawlbox::save {

// The longest file name the file system accepts: 255 bytes of UTF-8 on Linux, 255 UTF-16 units
// on Windows.
inline constexpr std::size_t kMaxFileNameLength = 255;

// How long `name` (UTF-8) is as the file system counts: bytes on Linux; UTF-16 units on Windows,
// where a character of four UTF-8 bytes takes two and each byte that is no UTF-8 takes one.
[[nodiscard]] std::size_t FileNameLength(std::string_view name);

// Makes an entry's title (UTF-8) into one file name that stays inside the folder it is put in and
// that Windows can hold too (the files are for MetaTrader, which runs there): every "/", "\",
// "<", ">", ":", '"', "|", "?", "*" and control character becomes "_"; a leading "." becomes "_"
// (so ".." and hidden names cannot arise); a device name of Windows (CON, PRN, AUX, NUL, COM1 to
// COM9, LPT1 to LPT9, in any case, also before an extension) gets a leading "_"; a name longer
// than kMaxFileNameLength is shortened at a character boundary, keeping its extension; and a
// trailing "." or space, which Windows drops, becomes "_". Nothing else changes. An empty title
// gives an empty name.
[[nodiscard]] std::string SafeFileName(std::string_view title);

// `name` (a SafeFileName result) with " (number)" before its extension: "a.mq4" gives
// "a (2).mq4", "a" gives "a (2)". Shortened like SafeFileName when it grows too long.
[[nodiscard]] std::string NumberedFileName(std::string_view name, int number);

}  // namespace trawlbox::save
