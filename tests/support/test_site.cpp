#include "tests/support/test_site.h"

#include <algorithm>

namespace trawlbox::testing {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string RecordedRequest::Header(std::string_view name) const {
  for (const auto& [header_name, value] : headers) {
    if (std::equal(header_name.begin(), header_name.end(), name.begin(), name.end(),
                   [](char a, char b) { return Lower(a) == Lower(b); })) {
      return value;
    }
  }
  return {};
}

}  // namespace trawlbox::testing
