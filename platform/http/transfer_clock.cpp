#include "platform/http/transfer_clock.h"

#include <algorithm>

namespace trawlbox::platform {

TransferClock::TransferClock(std::chrono::milliseconds stall_limit,
                             std::chrono::milliseconds total_limit)
    : stall_limit_(stall_limit), total_limit_(total_limit) {}

void TransferClock::Start(Clock::time_point now) {
  started_ = now;
  last_arrival_ = now;
}

void TransferClock::Arrived(Clock::time_point now) { last_arrival_ = now; }

bool TransferClock::Expired(Clock::time_point now) const { return now >= Deadline(); }

std::chrono::milliseconds TransferClock::UntilExpiry(Clock::time_point now) const {
  if (Expired(now)) return std::chrono::milliseconds(0);
  return std::chrono::ceil<std::chrono::milliseconds>(Deadline() - now);
}

TransferClock::Clock::time_point TransferClock::Deadline() const {
  return std::min(last_arrival_ + stall_limit_, started_ + total_limit_);
}

}  // namespace trawlbox::platform
