// The numeric test and the value reading of the maximum box on fuzzed text, checked against the
// C library's own reading of the same number.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "collect/numeric_text.h"

namespace {

void Check(bool property) {
  if (!property) std::abort();
}

// `text` (numeric) as strtod reads it: blanks at the ends dropped, reading stopped at the first
// ",", the exponent letter D taken as E.
double ReferenceValue(const std::string& text) {
  std::string number;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\n') continue;
    if (c == ',') break;
    number += (c == 'd' || c == 'D') ? 'e' : c;
  }
  return std::strtod(number.c_str(), nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto count = input.ConsumeIntegralInRange<std::int16_t>(-32767, 32766);
  const std::string text = input.ConsumeRemainingBytesAsString();

  const bool numeric = trawlbox::collect::IsNumeric(text);
  const double value = trawlbox::collect::NumericValue(text);
  Check(!std::isnan(value));
  if (numeric)
    Check(value == ReferenceValue(text));
  else
    Check(!trawlbox::collect::MaximumReached(text, count));
  // A maximum once reached stays reached as the count goes up.
  if (trawlbox::collect::MaximumReached(text, count)) {
    Check(trawlbox::collect::MaximumReached(text, static_cast<std::int16_t>(count + 1)));
  }
  return 0;
}
