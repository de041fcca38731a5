#pragma once

namespace trawlbox::collect {

// The two code-base sites: "http://" and the host, no trailing slash. They are URL prefixes and
// also the identity of a site: every site test compares a root with one of these exactly.
inline constexpr const char* kMql4Root = "http://codebase.mql4.com";
inline constexpr const char* kMql5Root = "http://www.mql5.com";

}  // namespace trawlbox::collect
