#pragma once

#include <cstdint>
#include <string_view>

namespace trawlbox::collect {

// True when `text`, with blanks (spaces, tabs, line feeds) removed at both ends, is a number: an
// optional sign, digits in which single "," may stand between two digits, optionally "." and
// digits, and optionally an exponent (E or D in either case, an optional sign, digits). The digits
// on one side of the "." may be missing, not on both. Blanks inside the text make it non-numeric.
[[nodiscard]] bool IsNumeric(std::string_view text);

// The value of the number that `text` starts with, skipping blanks wherever they stand: an
// optional sign, digits, optionally "." and digits, optionally an exponent (E or D, an optional
// sign, at least one digit). Reading stops at the first other character, "," included. 0 when the
// text starts with no number; plus or minus infinity when the value is too large for a double.
[[nodiscard]] double NumericValue(std::string_view text);

// The maximum-count test: true when `max_text` is numeric and its value is less than or equal to
// `collected_count`, compared as real numbers without rounding ("10.5" is reached at 11). An empty
// or non-numeric text never reaches the maximum.
[[nodiscard]] bool MaximumReached(std::string_view max_text, std::int16_t collected_count);

}  // namespace trawlbox::collect
