#pragma once

#include <chrono>

namespace trawlbox::platform {

// The two time limits of every transfer: a stall, counted from the last byte received (a trickle
// that never pauses that long goes on), and the whole transfer, counted from its start. Each
// platform's timer asks it when to look again and whether time is up.
class TransferClock {
 public:
  using Clock = std::chrono::steady_clock;

  TransferClock(std::chrono::milliseconds stall_limit, std::chrono::milliseconds total_limit);

  // A transfer starts now.
  void Start(Clock::time_point now);
  // A byte (of a header or the body) arrived now.
  void Arrived(Clock::time_point now);

  // True once either limit is reached.
  [[nodiscard]] bool Expired(Clock::time_point now) const;
  // How long from `now` until a limit is reached if nothing arrives; zero once one is.
  [[nodiscard]] std::chrono::milliseconds UntilExpiry(Clock::time_point now) const;

 private:
  [[nodiscard]] Clock::time_point Deadline() const;

  Clock::duration stall_limit_;
  Clock::duration total_limit_;
  Clock::time_point started_;
  Clock::time_point last_arrival_;
};

}  // namespace trawlbox::platform
