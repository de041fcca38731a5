#include "platform/http/location.h"
#include "platform/http/ascii.h"

#include <algorithm>
#include <array>

namespace trawlbox::platform {

namespace {

bool IsAlpha(char c) { return Lower(c) >= 'a' && Lower(c) <= 'z'; }

bool IsSchemeChar(char c) {
  return IsAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool SameScheme(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return Lower(x) == Lower(y); });
}

// A URL or reference cut into the five parts of RFC 3986 §3; a part that is absent differs from
// one that is present and empty ("x?" has an empty query).
struct UrlParts {
  std::optional<std::string_view> scheme;
  std::optional<std::string_view> authority;
  std::string_view path;
  std::optional<std::string_view> query;
  std::optional<std::string_view> fragment;
};

UrlParts Split(std::string_view url) {
  UrlParts parts;
  // A colon after a name that is no scheme belongs to a relative path.
  const std::size_t colon = url.find_first_of(":/?#");
  if (colon != std::string_view::npos && colon > 0 && url[colon] == ':' && IsAlpha(url[0]) &&
      std::all_of(url.begin(), url.begin() + static_cast<std::ptrdiff_t>(colon), IsSchemeChar)) {
    parts.scheme = url.substr(0, colon);
    url.remove_prefix(colon + 1);
  }
  if (url.starts_with("//")) {
    url.remove_prefix(2);
    const std::size_t end = std::min(url.find_first_of("/?#"), url.size());
    parts.authority = url.substr(0, end);
    url.remove_prefix(end);
  }
  const std::size_t hash = url.find('#');
  if (hash != std::string_view::npos) {
    parts.fragment = url.substr(hash + 1);
    url = url.substr(0, hash);
  }
  const std::size_t question = url.find('?');
  if (question != std::string_view::npos) {
    parts.query = url.substr(question + 1);
    url = url.substr(0, question);
  }
  parts.path = url;
  return parts;
}

void RemoveLastSegment(std::string& output) {
  const std::size_t slash = output.rfind('/');
  output.erase(slash == std::string::npos ? 0 : slash);
}

// RFC 3986 §5.2.4: "." and ".." segments go, each ".." with the segment before it, never past the
// root.
std::string RemoveDotSegments(std::string_view input) {
  std::string output;
  while (!input.empty()) {
    if (input.starts_with("../")) {
      input.remove_prefix(3);
    } else if (input.starts_with("./") || input.starts_with("/./")) {
      input.remove_prefix(2);
    } else if (input == "/.") {
      input = "/";
    } else if (input.starts_with("/../")) {
      input.remove_prefix(3);
      RemoveLastSegment(output);
    } else if (input == "/..") {
      input = "/";
      RemoveLastSegment(output);
    } else if (input == "." || input == "..") {
      input = {};
    } else {
      const std::size_t end = std::min(input.find('/', 1), input.size());
      output += input.substr(0, end);
      input.remove_prefix(end);
    }
  }
  return output;
}

// RFC 3986 §5.2.3: a relative path replaces the last segment of the base's path.
std::string Merge(const UrlParts& base, std::string_view path) {
  std::string merged;
  if (base.authority && base.path.empty()) {
    merged = "/";
  } else if (const std::size_t slash = base.path.rfind('/'); slash != std::string_view::npos) {
    merged = base.path.substr(0, slash + 1);
  }
  merged.append(path);
  return merged;
}

void AppendEncoded(std::string& url, std::string_view part) {
  constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                         '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
  for (const char c : part) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80U) {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4U];
      url += kHex[byte & 0x0FU];
    }
  }
}

}  // namespace

std::optional<std::string> ResolveLocation(std::string_view base, std::string_view location) {
  while (!location.empty() && IsBlank(location.front())) location.remove_prefix(1);
  while (!location.empty() && IsBlank(location.back())) location.remove_suffix(1);
  if (location.empty()) return std::nullopt;

  const UrlParts from = Split(base);
  UrlParts reference = Split(location);
  if (reference.scheme && from.scheme && SameScheme(*reference.scheme, *from.scheme)) {
    reference.scheme.reset();
  }

  UrlParts target;
  std::string path;
  if (reference.scheme || reference.authority) {
    target.scheme = reference.scheme ? reference.scheme : from.scheme;
    target.authority = reference.authority;
    path = RemoveDotSegments(reference.path);
    target.query = reference.query;
  } else {
    target.scheme = from.scheme;
    target.authority = from.authority;
    if (reference.path.empty()) {
      path = from.path;
      target.query = reference.query ? reference.query : from.query;
    } else {
      path = RemoveDotSegments(reference.path.starts_with('/') ? std::string(reference.path)
                                                               : Merge(from, reference.path));
      target.query = reference.query;
    }
  }
  target.fragment = reference.fragment;

  std::string resolved;
  if (target.scheme) {
    resolved += *target.scheme;
    resolved += ':';
  }
  if (target.authority) {
    resolved += "//";
    resolved += *target.authority;
  }
  AppendEncoded(resolved, path);
  if (target.query) {
    resolved += '?';
    AppendEncoded(resolved, *target.query);
  }
  if (target.fragment) {
    resolved += '#';
    AppendEncoded(resolved, *target.fragment);
  }
  return resolved;
}

}  // namespace trawlbox::platform
