#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace trawlbox::platform {

// `text` as an HTTP-date in any of the three forms RFC 9110 §5.6.7 has a recipient accept:
// IMF-fixdate ("Sun, 06 Nov 1994 08:49:37 GMT"), the obsolete RFC 850 form ("Sunday, 06-Nov-94
// 08:49:37 GMT") and asctime's ("Sun Nov  6 08:49:37 1994"). An RFC 850 two-digit year is the
// latest year ending in those digits that does not put the date more than 50 years after `now`.
// Day and month names and "GMT" are case-sensitive; the weekday is not checked against the date;
// second 60, a leap second, is the next minute's first. Nothing for anything else: another name, a
// field out of range (hour 24, 31 April, 29 February outside a leap year), a blank too many or too
// few, anything before or after the date. A date the clock cannot hold becomes its first or last
// time.
[[nodiscard]] std::optional<std::chrono::system_clock::time_point> ParseHttpDate(
    std::string_view text, std::chrono::system_clock::time_point now);

// How long the Retry-After header's `value` asks a client to wait at `now`: delay-seconds (digits
// only) or an HTTP-date as ParseHttpDate reads it, either with blanks or tabs around it. A date
// that has passed is zero, one to come is rounded up to whole seconds. Any wait past 2^31 seconds,
// HTTP's own ceiling for such counts, is 2^31 seconds. Nothing when malformed: empty, a sign, a
// fraction, anything else.
[[nodiscard]] std::optional<std::chrono::seconds> RetryAfterDelay(
    std::string_view value, std::chrono::system_clock::time_point now);

}  // namespace trawlbox::platform
