#pragma once

#include <string>

#include "platform/url_opener.h"

namespace trawlbox::platform {

// Hands http and https addresses, in the form WebUrl gives them, to the shell's "open" verb,
// which starts the user's default browser.
class Win32UrlOpener : public UrlOpener {
 public:
  void OpenUrl(const std::string& url, const std::string& working_folder) override;
};

}  // namespace trawlbox::platform
