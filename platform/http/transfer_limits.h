#pragma once

#include <chrono>
#include <cstdint>

namespace trawlbox::platform {

// What one page request may cost before the transfer gives up on it.
struct HttpTransferLimits {
  // A request that receives nothing for this long fails.
  std::chrono::milliseconds stall_timeout{30000};
  // A request that has not ended after this long fails.
  std::chrono::milliseconds total_timeout{120000};
  // A longer body (unpacked, when it came packed) is cut here and delivered up to this size.
  std::int64_t max_body_bytes = 64 * 1024 * 1024;
  // A request redirected more often than this fails.
  int max_redirects = 10;
};

struct DownloadLimits {
  // A transfer that receives nothing for this long fails.
  std::chrono::milliseconds stall_timeout{30000};
  // A transfer that has not ended after this long fails, however steadily it moves.
  std::chrono::milliseconds total_timeout{600000};
  int max_redirects = 10;
  // A longer body fails rather than fill the disk, at once when the server announces it: an
  // endless or oversized answer is no program source.
  std::int64_t max_file_bytes = 64 * 1024 * 1024;
};

}  // namespace trawlbox::platform
