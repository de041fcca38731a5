#pragma once

#include <string>

namespace trawlbox::platform {

// Hands a web address to the desktop's default handler (normally the browser).
class UrlOpener {
 public:
  virtual ~UrlOpener() = default;

  // Starts the handler for `url` with `working_folder` as its working folder and waits for no
  // answer. Only http and https addresses are handed over; anything else does nothing.
  virtual void OpenUrl(const std::string& url, const std::string& working_folder) = 0;
};

}  // namespace trawlbox::platform
