#pragma once

#include <string>

#include "platform/url_opener.h"

namespace trawlbox::platform {

// Starts the desktop's URL handler (xdg-open) detached, for http and https addresses only.
class QtUrlOpener : public UrlOpener {
 public:
  void OpenUrl(const std::string& url, const std::string& working_folder) override;
};

}  // namespace trawlbox::platform
