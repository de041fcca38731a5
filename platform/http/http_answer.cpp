#include <algorithm>
#include <charconv>

#include "platform/http/http_request.h"

namespace trawlbox::platform {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWithoutCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return Lower(x) == Lower(y); });
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string_view> HttpAnswer::Header(std::string_view name) const {
  const auto found = std::ranges::find_if(
      headers, [name](const auto& header) { return SameWithoutCase(header.first, name); });
  if (found == headers.end()) return std::nullopt;
  return found->second;
}

std::optional<std::int64_t> HttpAnswer::AnnouncedLength() const {
  if (unpacked) {
    const std::optional<std::string_view> encoding = Header("Content-Encoding");
    if (encoding && !SameWithoutCase(*encoding, "identity")) return std::nullopt;
  }
  const std::optional<std::string_view> header = Header("Content-Length");
  if (!header) return std::nullopt;
  std::int64_t length = 0;
  const char* end = header->data() + header->size();
  const auto [stop, error] = std::from_chars(header->data(), end, length);
  if (error != std::errc() || stop != end || length < 0) return std::nullopt;
  return length;
}

bool HttpAnswer::AddHeaderLine(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  const std::string_view name = line.substr(0, colon);
  if (std::ranges::any_of(name, IsBlank)) return false;
  headers.emplace_back(name, Trimmed(line.substr(colon + 1)));
  return true;
}

}  // namespace trawlbox::platform
