#include "platform/http/hsts.h"
#include "platform/http/ascii.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace trawlbox::platform {

namespace {

// HTTP's ceiling for a count of seconds (RFC 9111 §1.2.2): far past the program's run, and far
// from overflowing the clock.
constexpr std::chrono::seconds kMaxAgeCeiling(std::int64_t{1} << 31);

bool IsHexDigit(char c) { return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'f'); }

bool IsTokenChar(char c) {
  return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'z') ||
         std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), Lower);
  return lowered;
}

void SkipBlanks(std::string_view text, std::size_t& at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
}

std::string_view ReadToken(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && IsTokenChar(text[at])) ++at;
  return text.substr(start, at - start);
}

// A token, or a quoted string without its quotes and escapes; nothing when neither starts at `at`,
// or the quoted string holds a control character or is never closed.
std::optional<std::string> ReadValue(std::string_view text, std::size_t& at) {
  if (at >= text.size() || text[at] != '"') {
    const std::string_view token = ReadToken(text, at);
    if (token.empty()) return std::nullopt;
    return std::string(token);
  }
  std::string unquoted;
  for (++at; at < text.size(); ++at) {
    char c = text[at];
    if (c == '"') {
      ++at;
      return unquoted;
    }
    if (c == '\\') {
      if (++at == text.size()) return std::nullopt;
      c = text[at];
    }
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20U && c != '\t') || byte == 0x7FU) return std::nullopt;
    unquoted += c;
  }
  return std::nullopt;
}

std::optional<std::chrono::seconds> ReadMaxAge(std::string_view digits) {
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) return std::nullopt;
  std::int64_t seconds = 0;
  for (const char c : digits) {
    seconds = std::min<std::int64_t>(seconds * 10 + (c - '0'), kMaxAgeCeiling.count());
  }
  return std::chrono::seconds(seconds);
}

// Where the parts of an http or https URL lie; the authority is read as WebUrl reads it.
struct WebUrlParts {
  bool https = false;
  std::size_t authority_begin = 0;
  std::size_t authority_end = 0;
  std::size_t host_begin = 0;
  std::size_t host_end = 0;
};

std::optional<WebUrlParts> SplitWebUrl(std::string_view url) {
  WebUrlParts parts;
  const std::size_t scheme_end = url.find("://");
  if (scheme_end == std::string_view::npos) return std::nullopt;
  const std::string scheme = Lowered(url.substr(0, scheme_end));
  if (scheme != "http" && scheme != "https") return std::nullopt;
  parts.https = scheme == "https";
  parts.authority_begin = scheme.size() + 3;
  parts.authority_end = std::min(url.find_first_of("/?#", parts.authority_begin), url.size());
  const std::string_view authority =
      url.substr(parts.authority_begin, parts.authority_end - parts.authority_begin);
  const std::size_t at = authority.rfind('@');
  parts.host_begin = parts.authority_begin + (at == std::string_view::npos ? 0 : at + 1);
  const std::string_view host_port =
      url.substr(parts.host_begin, parts.authority_end - parts.host_begin);
  // A bracketed IPv6 address holds colons of its own.
  const std::size_t bracket = host_port.rfind(']');
  const std::size_t colon = host_port.rfind(':');
  const bool has_port =
      colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket);
  parts.host_end = has_port ? parts.host_begin + colon : parts.authority_end;
  return parts;
}

// The name a host is kept under: "Example.COM." and "example.com" are one host.
std::string HostKey(std::string_view url, const WebUrlParts& parts) {
  std::string host = Lowered(url.substr(parts.host_begin, parts.host_end - parts.host_begin));
  if (!host.empty() && host.back() == '.') host.pop_back();
  return host;
}

// No top-level domain is a number, so a host ending in one is an IPv4 address in one of the
// spellings HTTP stacks accept ("127.0.0.1", "2130706433", "0x7f.1").
bool IsIpAddress(std::string_view host) {
  if (host.starts_with('[')) return true;
  const std::size_t dot = host.rfind('.');
  const std::string_view label = dot == std::string_view::npos ? host : host.substr(dot + 1);
  if (label.starts_with("0x")) return std::all_of(label.begin() + 2, label.end(), IsHexDigit);
  return !label.empty() && std::all_of(label.begin(), label.end(), IsDigit);
}

bool IsPort80(std::string_view port) {
  const std::size_t first = port.find_first_not_of('0');
  return first != std::string_view::npos && port.substr(first) == "80";
}

}  // namespace

std::optional<HstsPolicy> ParseStrictTransportSecurity(std::string_view value) {
  std::optional<std::chrono::seconds> max_age;
  bool include_subdomains = false;
  std::vector<std::string> names;
  std::size_t at = 0;
  while (true) {
    SkipBlanks(value, at);
    if (at < value.size() && value[at] != ';') {
      const std::string name = Lowered(ReadToken(value, at));
      if (name.empty() || std::find(names.begin(), names.end(), name) != names.end()) {
        return std::nullopt;
      }
      names.push_back(name);
      SkipBlanks(value, at);
      std::optional<std::string> directive_value;
      if (at < value.size() && value[at] == '=') {
        ++at;
        SkipBlanks(value, at);
        directive_value = ReadValue(value, at);
        if (!directive_value) return std::nullopt;
        SkipBlanks(value, at);
      }
      if (name == "max-age") {
        if (!directive_value) return std::nullopt;
        max_age = ReadMaxAge(*directive_value);
        if (!max_age) return std::nullopt;
      } else if (name == "includesubdomains") {
        if (directive_value) return std::nullopt;
        include_subdomains = true;
      }
    }
    if (at == value.size()) break;
    if (value[at] != ';') return std::nullopt;
    ++at;
  }
  if (!max_age) return std::nullopt;
  return HstsPolicy{*max_age, include_subdomains};
}

void HstsStore::Learn(std::string_view url, std::string_view value, Clock::time_point now) {
  const std::optional<WebUrlParts> parts = SplitWebUrl(url);
  if (!parts || !parts->https) return;
  std::string host = HostKey(url, *parts);
  if (host.empty() || IsIpAddress(host)) return;
  const std::optional<HstsPolicy> policy = ParseStrictTransportSecurity(value);
  if (!policy) return;
  std::erase_if(hosts_, [now](const auto& entry) { return entry.second.expiry <= now; });
  if (policy->max_age == std::chrono::seconds::zero()) {
    hosts_.erase(host);
    return;
  }
  const Clock::time_point expiry = now > Clock::time_point::max() - policy->max_age
                                       ? Clock::time_point::max()
                                       : now + policy->max_age;
  hosts_.insert_or_assign(std::move(host), Entry{expiry, policy->include_subdomains});
}

std::string HstsStore::Upgrade(const std::string& url, Clock::time_point now) const {
  const std::optional<WebUrlParts> parts = SplitWebUrl(url);
  if (!parts || parts->https || !IsKnown(HostKey(url, *parts), now)) return url;
  const std::string_view wire(url);
  const std::string_view port =
      parts->host_end == parts->authority_end
          ? std::string_view()
          : wire.substr(parts->host_end + 1, parts->authority_end - parts->host_end - 1);
  std::string upgraded = "https://";
  upgraded += wire.substr(parts->authority_begin, parts->host_end - parts->authority_begin);
  if (!port.empty() && !IsPort80(port)) {
    upgraded += ':';
    upgraded += port;
  }
  upgraded += wire.substr(parts->authority_end);
  return upgraded;
}

bool HstsStore::IsKnown(std::string_view host, Clock::time_point now) const {
  if (host.empty()) return false;
  bool itself = true;
  while (true) {
    const auto found = hosts_.find(host);
    if (found != hosts_.end() && now < found->second.expiry &&
        (itself || found->second.include_subdomains)) {
      return true;
    }
    const std::size_t dot = host.find('.');
    if (dot == std::string_view::npos) return false;
    host.remove_prefix(dot + 1);
    itself = false;
  }
}

}  // namespace trawlbox::platform
