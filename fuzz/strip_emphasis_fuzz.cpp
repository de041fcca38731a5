// StripEmphasis on fuzzed titles: it only ever removes whole tags.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "collect/page_scanners.h"

namespace {

void Check(bool property) {
  if (!property) std::abort();
}

bool IsSubsequence(std::string_view part, std::string_view whole) {
  std::size_t at = 0;
  for (const char c : part) {
    at = whole.find(c, at);
    if (at == std::string_view::npos) return false;
    ++at;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view title(reinterpret_cast<const char*>(data), size);
  const std::string stripped = trawlbox::collect::StripEmphasis(title);

  Check(IsSubsequence(stripped, title));
  // Every removal takes a whole tag: 4, 5, 3 or 4 bytes; none takes less than 3.
  Check(stripped.size() == title.size() || title.size() - stripped.size() >= 3);
  bool has_tag = false;
  for (const std::string_view tag : {"<em>", "</em>", "<b>", "</b>"}) {
    has_tag = has_tag || title.find(tag) != std::string_view::npos;
  }
  Check(has_tag || stripped == title);
  return 0;
}
