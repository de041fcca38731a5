#pragma once

#include <string>

namespace trawlbox::collect {

// The roots of the two code-base sites: "http://" and the host, no trailing slash. They are URL
// prefixes and also the identity of a site: every site test compares a root with one of these
// exactly. The program uses the real sites; tests point both at servers of their own.
struct SiteRootPair {
  std::string mql4 = "http://codebase.mql4.com";
  std::string mql5 = "http://www.mql5.com";
};

}  // namespace trawlbox::collect
