#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace trawlbox::platform {

// What one Strict-Transport-Security header asks: keep to https for `max_age`, and for every
// subdomain too when `include_subdomains`.
struct HstsPolicy {
  std::chrono::seconds max_age;
  bool include_subdomains;
};

// The Strict-Transport-Security header's `value` read as RFC 6797 §6.1 says: directives separated
// by ';' (empty ones allowed), names compared without case, values as tokens or quoted strings,
// blanks and tabs around names, '=' and values ignored. max-age is required and made of digits only
// (quoted or not); one past 2^31 seconds is taken as 2^31, HTTP's own ceiling for such counts.
// includeSubDomains takes no value. Nothing when the header is malformed: max-age missing or not
// digits, a directive repeated, a value on includeSubDomains, or anything outside the grammar
// (an unclosed quote, a name that is no token). Unknown directives ("preload") are ignored.
[[nodiscard]] std::optional<HstsPolicy> ParseStrictTransportSecurity(std::string_view value);

// The hosts that said to be reached over https only, kept in memory for the program's run.
class HstsStore {
 public:
  using Clock = std::chrono::steady_clock;

  // An answer to `url` (an absolute http or https URL as it went on the wire) arrived at `now`
  // with the Strict-Transport-Security header `value`. Only an https answer teaches: an http one,
  // a malformed header, or a host that is an IP address (bracketed IPv6, or IPv4 — a host whose
  // last label is a number) teaches nothing. max-age=0 forgets the host; any other max-age makes
  // the host (lower-cased, without port and without one trailing dot) known while the clock is
  // before now + max_age, its subdomains too with includeSubDomains; the newer policy replaces the
  // older one for that host.
  void Learn(std::string_view url, std::string_view value, Clock::time_point now);

  // `url` as it should go on the wire at `now`: an http URL whose host (compared without case and
  // without one trailing dot) is known, itself or as a subdomain of a host known with
  // includeSubDomains, comes back as https with userinfo, host spelling, path, query and fragment
  // unchanged; port 80, an empty port or none becomes none (https's 443), any other port stays.
  // Every other URL comes back unchanged.
  [[nodiscard]] std::string Upgrade(const std::string& url, Clock::time_point now) const;

 private:
  struct Entry {
    Clock::time_point expiry;
    bool include_subdomains;
  };

  [[nodiscard]] bool IsKnown(std::string_view host, Clock::time_point now) const;

  std::map<std::string, Entry, std::less<>> hosts_;
};

}  // namespace trawlbox::platform
