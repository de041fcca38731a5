#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trawlbox::collect {

// Positions in page text count bytes from 1; 0 means "not found". Pages are UTF-8 and every marker
// searched for is ASCII, so a position found never falls inside a multi-byte character.

// The position of the first `needle` in `text` that starts at `start` or later; 0 when there is
// none or `start` lies beyond the end of the text. A start of 0 counts as 1.
[[nodiscard]] std::size_t FindFrom(std::string_view text, std::string_view needle,
                                   std::size_t start);

// The `length` bytes of `text` from position `start` (1 or more), fewer where the text ends first;
// empty when `start` lies beyond the end.
[[nodiscard]] std::string_view Mid(std::string_view text, std::size_t start, std::size_t length);

// `text` with the letters A to Z lowered and every other byte unchanged, so each position in the
// copy is the same position in `text`.
[[nodiscard]] std::string AsciiLowered(std::string_view text);

}  // namespace trawlbox::collect
