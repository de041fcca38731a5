#include "collect/numeric_text.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

namespace trawlbox::collect {

namespace {

// Far beyond any exponent a double can hold, so saturating there changes no result.
constexpr long long kExponentCap = 1'000'000;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSign(char c) { return c == '+' || c == '-'; }
bool IsExponentLetter(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Reads characters one by one, stepping over blanks wherever they stand.
class BlankSkippingReader {
 public:
  explicit BlankSkippingReader(std::string_view text) : text_(text) {}

  // The next non-blank character, or '\0' at the end.
  char Peek() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  void Advance() { ++pos_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// `digits` holds no leading zero and at least one digit; the value is digits * 10^exponent.
double DecimalToDouble(const std::string& digits, long long exponent) {
  const std::string text = digits + "e" + std::to_string(exponent);
  double value = 0.0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::scientific);
  if (error == std::errc::result_out_of_range) {
    const long long magnitude = static_cast<long long>(digits.size()) + exponent;
    return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return value;
}

}  // namespace

bool IsNumeric(std::string_view text) {
  const std::string_view s = TrimBlanks(text);
  std::size_t i = 0;
  if (i < s.size() && IsSign(s[i])) ++i;
  const std::size_t mantissa_start = i;
  int digits = 0;
  while (i < s.size()) {
    if (IsDigit(s[i])) {
      ++digits;
      ++i;
    } else if (s[i] == ',' && i > mantissa_start && IsDigit(s[i - 1]) && i + 1 < s.size() &&
               IsDigit(s[i + 1])) {
      ++i;
    } else {
      break;
    }
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) {
      ++digits;
      ++i;
    }
  }
  if (digits == 0) return false;
  if (i < s.size() && IsExponentLetter(s[i])) {
    ++i;
    if (i < s.size() && IsSign(s[i])) ++i;
    const std::size_t exponent_start = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    if (i == exponent_start) return false;
  }
  return i == s.size();
}

double NumericValue(std::string_view text) {
  BlankSkippingReader in(text);
  bool negative = false;
  if (IsSign(in.Peek())) {
    negative = in.Peek() == '-';
    in.Advance();
  }
  std::string digits;
  long long fraction_digits = 0;
  while (IsDigit(in.Peek())) {
    digits += in.Peek();
    in.Advance();
  }
  if (in.Peek() == '.') {
    in.Advance();
    while (IsDigit(in.Peek())) {
      digits += in.Peek();
      ++fraction_digits;
      in.Advance();
    }
  }
  if (digits.empty()) return 0.0;

  long long exponent = 0;
  if (IsExponentLetter(in.Peek())) {
    in.Advance();
    bool exponent_negative = false;
    if (IsSign(in.Peek())) {
      exponent_negative = in.Peek() == '-';
      in.Advance();
    }
    // An exponent letter without digits adds nothing: the reading stops before it.
    while (IsDigit(in.Peek())) {
      exponent = std::min(exponent * 10 + (in.Peek() - '0'), kExponentCap);
      in.Advance();
    }
    if (exponent_negative) exponent = -exponent;
  }

  const std::size_t first_significant = digits.find_first_not_of('0');
  if (first_significant == std::string::npos) return 0.0;
  const double magnitude =
      DecimalToDouble(digits.substr(first_significant), exponent - fraction_digits);
  return negative ? -magnitude : magnitude;
}

bool MaximumReached(std::string_view max_text, std::int16_t collected_count) {
  return IsNumeric(max_text) && NumericValue(max_text) <= static_cast<double>(collected_count);
}

}  // namespace trawlbox::collect
