// The page count read from a fuzzed listing page of either site.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "collect/site_crawl.h"
#include "collect/text_positions.h"

namespace {

void Check(bool property) {
  if (!property) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const int site = input.ConsumeIntegralInRange(0, 2);
  const std::string page = input.ConsumeRemainingBytesAsString();
  const trawlbox::collect::SiteRootPair roots{"http://mql4.test", "http://mql5.test"};
  const std::string lowered = trawlbox::collect::AsciiLowered(page);

  if (site == 0) {
    const std::int16_t limit = trawlbox::collect::ReadPageLimit(roots, roots.mql4, page);
    if (lowered.find("\">&gt;&gt;") == std::string::npos) Check(limit == 1);
  } else if (site == 1) {
    const std::int16_t limit = trawlbox::collect::ReadPageLimit(roots, roots.mql5, page);
    if (lowered.find("pages:") == std::string::npos) Check(limit == 1);
  } else {
    Check(trawlbox::collect::ReadPageLimit(roots, "http://other.test", page) == 1);
  }
  return 0;
}
