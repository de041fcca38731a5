#include <algorithm>
#include <charconv>

#include "platform/http/ascii.h"
#include "platform/http/http_request.h"

namespace trawlbox::platform {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlankOrLineEnd(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrLineEnd(text.back())) text.remove_suffix(1);
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
  if (std::ranges::any_of(name, IsBlankOrLineEnd)) return false;
  headers.emplace_back(name, Trimmed(line.substr(colon + 1)));
  return true;
}

}  // namespace trawlbox::platform
