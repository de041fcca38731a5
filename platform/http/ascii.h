#pragma once

#include <algorithm>
#include <string_view>

namespace trawlbox::platform {

// The ASCII character classes that HTTP, URLs and HTML markers are written in: a byte outside
// ASCII belongs to none of them, and lowering leaves it as it is, so no multi-byte character is
// ever touched.

constexpr char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// HTTP's optional whitespace: a space or a horizontal tab.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A blank, or the carriage return and line feed that end a line.
constexpr bool IsBlankOrLineEnd(char c) { return IsBlank(c) || c == '\r' || c == '\n'; }

// Whether `a` and `b` are the same text, ASCII letters compared without case.
inline bool SameWithoutCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace trawlbox::platform
