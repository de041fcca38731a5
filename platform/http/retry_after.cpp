#include "platform/http/retry_after.h"
#include "platform/http/ascii.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace trawlbox::platform {

namespace {

using SystemClock = std::chrono::system_clock;

// HTTP's ceiling for a count of seconds (RFC 9111 §1.2.2).
constexpr std::int64_t kMaxDelaySeconds = std::int64_t{1} << 31;
constexpr std::int64_t kSecondsPerDay = 86400;

constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 7> kDays = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<std::string_view, 7> kLongDays = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b < 0 ? 1 : 0); }

bool IsLeapYear(std::int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

std::int64_t DaysInMonth(std::int64_t year, std::int64_t month) {
  constexpr std::array<std::int64_t, 12> kLengths = {31, 28, 31, 30, 31, 30,
                                                     31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kLengths[static_cast<std::size_t>(month - 1)];
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, counted in 400-year eras
// whose years start on 1 March, so that the leap day ends a year.
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = FloorDiv(year, 400);
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

// The year of the day `days` after 1970-01-01: DaysFromCivil read backwards.
std::int64_t YearOfDay(std::int64_t days) {
  const std::int64_t shifted = days + 719468;
  const std::int64_t era = FloorDiv(shifted, 146097);
  const std::int64_t day_of_era = shifted - era * 146097;
  const std::int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t march_based_month = (5 * day_of_year + 2) / 153;
  return year_of_era + era * 400 + (march_based_month >= 10 ? 1 : 0);
}

struct DateFields {
  std::int64_t year = 0;
  std::int64_t month = 0;
  std::int64_t day = 0;
  std::int64_t hour = 0;
  std::int64_t minute = 0;
  std::int64_t second = 0;
  bool two_digit_year = false;
};

std::int64_t SecondsSinceEpoch(const DateFields& date, std::int64_t year) {
  return DaysFromCivil(year, date.month, date.day) * kSecondsPerDay + date.hour * 3600 +
         date.minute * 60 + date.second;
}

// Reads the grammar of a date from left to right; each step consumes what it matched.
class DateReader {
 public:
  explicit DateReader(std::string_view text) : rest_(text) {}

  bool Literal(std::string_view literal) {
    if (!rest_.starts_with(literal)) return false;
    rest_.remove_prefix(literal.size());
    return true;
  }

  bool Number(std::size_t digits, std::int64_t& value) {
    if (rest_.size() < digits || !std::all_of(rest_.begin(), rest_.begin() + digits, IsDigit)) {
      return false;
    }
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) value = value * 10 + (rest_[i] - '0');
    rest_.remove_prefix(digits);
    return true;
  }

  // The 1-based position in `names` of the name that starts here.
  template <std::size_t kCount>
  bool Name(const std::array<std::string_view, kCount>& names, std::int64_t& position) {
    for (std::size_t i = 0; i < kCount; ++i) {
      if (Literal(names[i])) {
        position = static_cast<std::int64_t>(i) + 1;
        return true;
      }
    }
    return false;
  }

  bool TimeOfDay(DateFields& date) {
    return Number(2, date.hour) && Literal(":") && Number(2, date.minute) && Literal(":") &&
           Number(2, date.second);
  }

  bool AtEnd() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

std::optional<DateFields> ReadImfFixdate(std::string_view text) {
  DateReader reader(text);
  DateFields date;
  std::int64_t weekday = 0;
  if (reader.Name(kDays, weekday) && reader.Literal(", ") && reader.Number(2, date.day) &&
      reader.Literal(" ") && reader.Name(kMonths, date.month) && reader.Literal(" ") &&
      reader.Number(4, date.year) && reader.Literal(" ") && reader.TimeOfDay(date) &&
      reader.Literal(" GMT") && reader.AtEnd()) {
    return date;
  }
  return std::nullopt;
}

std::optional<DateFields> ReadRfc850Date(std::string_view text) {
  DateReader reader(text);
  DateFields date;
  std::int64_t weekday = 0;
  date.two_digit_year = true;
  if (reader.Name(kLongDays, weekday) && reader.Literal(", ") && reader.Number(2, date.day) &&
      reader.Literal("-") && reader.Name(kMonths, date.month) && reader.Literal("-") &&
      reader.Number(2, date.year) && reader.Literal(" ") && reader.TimeOfDay(date) &&
      reader.Literal(" GMT") && reader.AtEnd()) {
    return date;
  }
  return std::nullopt;
}

std::optional<DateFields> ReadAsctimeDate(std::string_view text) {
  DateReader reader(text);
  DateFields date;
  std::int64_t weekday = 0;
  if (reader.Name(kDays, weekday) && reader.Literal(" ") && reader.Name(kMonths, date.month) &&
      reader.Literal(" ") &&
      (reader.Number(2, date.day) || (reader.Literal(" ") && reader.Number(1, date.day))) &&
      reader.Literal(" ") && reader.TimeOfDay(date) && reader.Literal(" ") &&
      reader.Number(4, date.year) && reader.AtEnd()) {
    return date;
  }
  return std::nullopt;
}

std::int64_t FloorSeconds(SystemClock::time_point time) {
  return std::chrono::floor<std::chrono::seconds>(time.time_since_epoch()).count();
}

// The latest year ending in `two_digits` that keeps the date within 50 years after `now`: the
// first candidate lies in the century after now's, and at most two steps back reach the answer.
std::int64_t FullYear(const DateFields& date, std::int64_t now_seconds) {
  const std::int64_t now_year = YearOfDay(FloorDiv(now_seconds, kSecondsPerDay));
  std::int64_t year = now_year - (now_year % 100 + 100) % 100 + date.year + 100;
  while (SecondsSinceEpoch(date, year - 50) > now_seconds) year -= 100;
  return year;
}

}  // namespace

std::optional<SystemClock::time_point> ParseHttpDate(std::string_view text,
                                                     SystemClock::time_point now) {
  std::optional<DateFields> date = ReadImfFixdate(text);
  if (!date) date = ReadRfc850Date(text);
  if (!date) date = ReadAsctimeDate(text);
  if (!date) return std::nullopt;
  if (date->two_digit_year) date->year = FullYear(*date, FloorSeconds(now));
  if (date->day < 1 || date->day > DaysInMonth(date->year, date->month) || date->hour > 23 ||
      date->minute > 59 || date->second > 60) {
    return std::nullopt;
  }
  const std::int64_t seconds = SecondsSinceEpoch(*date, date->year);
  if (seconds > FloorSeconds(SystemClock::time_point::max())) return SystemClock::time_point::max();
  const auto first =
      std::chrono::ceil<std::chrono::seconds>(SystemClock::time_point::min().time_since_epoch());
  if (seconds < first.count()) return SystemClock::time_point::min();
  return SystemClock::time_point(std::chrono::seconds(seconds));
}

std::optional<std::chrono::seconds> RetryAfterDelay(std::string_view value,
                                                    SystemClock::time_point now) {
  while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
  while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
  if (value.empty()) return std::nullopt;
  if (std::all_of(value.begin(), value.end(), IsDigit)) {
    std::int64_t seconds = 0;
    for (const char c : value) seconds = std::min(seconds * 10 + (c - '0'), kMaxDelaySeconds);
    return std::chrono::seconds(seconds);
  }
  const std::optional<SystemClock::time_point> date = ParseHttpDate(value, now);
  if (!date) return std::nullopt;
  if (*date <= now) return std::chrono::seconds::zero();
  // The date is a whole second, so the wait rounded up runs from the start of now's second.
  return std::chrono::seconds(std::min(FloorSeconds(*date) - FloorSeconds(now), kMaxDelaySeconds));
}

}  // namespace trawlbox::platform
