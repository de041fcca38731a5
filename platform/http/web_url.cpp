#include "platform/http/web_url.h"
#include "platform/http/ascii.h"

#include <algorithm>
#include <array>

namespace trawlbox::platform {

namespace {

bool IsControlOrSpace(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte <= 0x20U || byte == 0x7FU;
}

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80U; }

// The scheme's length with its "://", 0 unless it is http or https.
std::size_t WebSchemeLength(std::string_view url) {
  for (const std::string_view scheme :
       {std::string_view("http://"), std::string_view("https://")}) {
    if (url.size() >= scheme.size() &&
        std::equal(scheme.begin(), scheme.end(), url.begin(),
                   [](char wanted, char given) { return wanted == Lower(given); })) {
      return scheme.size();
    }
  }
  return 0;
}

// "user@host:port": a host that is not empty and ASCII, and a port of digits.
bool IsAuthority(std::string_view authority) {
  const std::size_t at = authority.rfind('@');
  const std::string_view host_port =
      at == std::string_view::npos ? authority : authority.substr(at + 1);
  // A bracketed IPv6 address holds colons of its own.
  const std::size_t bracket = host_port.rfind(']');
  const std::size_t colon = host_port.rfind(':');
  const bool has_port =
      colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket);
  const std::string_view host = has_port ? host_port.substr(0, colon) : host_port;
  const std::string_view port = has_port ? host_port.substr(colon + 1) : std::string_view();
  return !host.empty() && std::all_of(authority.begin(), authority.end(), IsAscii) &&
         std::all_of(port.begin(), port.end(), IsDigit);
}

}  // namespace

std::optional<std::string> WebUrl(std::string_view url) {
  const std::size_t scheme_length = WebSchemeLength(url);
  if (scheme_length == 0 || std::any_of(url.begin(), url.end(), IsControlOrSpace))
    return std::nullopt;
  const std::size_t authority_end = std::min(url.find_first_of("/?#", scheme_length), url.size());
  if (!IsAuthority(url.substr(scheme_length, authority_end - scheme_length))) return std::nullopt;

  constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                         '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
  std::string wire;
  wire.reserve(url.size());
  for (std::size_t i = 0; i < url.size(); ++i) {
    const char c = url[i];
    if (i < scheme_length) {
      wire += Lower(c);
    } else if (IsAscii(c)) {
      wire += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      wire += '%';
      wire += kHex[byte >> 4U];
      wire += kHex[byte & 0x0FU];
    }
  }
  return wire;
}

}  // namespace trawlbox::platform
