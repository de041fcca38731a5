#pragma once

#include <string>

namespace trawlbox::platform {

// The system clipboard, plain text only.
class Clipboard {
 public:
  virtual ~Clipboard() = default;

  // Replaces whatever the clipboard held with `text` (UTF-8).
  virtual void SetText(const std::string& text) = 0;
};

}  // namespace trawlbox::platform
