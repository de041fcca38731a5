#include "collect/text_positions.h"

#include <algorithm>

namespace trawlbox::collect {

std::size_t FindFrom(std::string_view text, std::string_view needle, std::size_t start) {
  const std::size_t from = std::max<std::size_t>(start, 1) - 1;
  if (from > text.size()) return 0;
  const std::size_t at = text.find(needle, from);
  return at == std::string_view::npos ? 0 : at + 1;
}

std::string_view Mid(std::string_view text, std::size_t start, std::size_t length) {
  const std::size_t from = std::max<std::size_t>(start, 1) - 1;
  if (from >= text.size()) return {};
  return text.substr(from, length);
}

std::string AsciiLowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

}  // namespace trawlbox::collect
