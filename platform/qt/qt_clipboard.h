#pragma once

#include <string>

#include "platform/clipboard.h"

namespace trawlbox::platform {

// The application's clipboard (QGuiApplication must exist).
class QtClipboard : public Clipboard {
 public:
  void SetText(const std::string& text) override;
};

}  // namespace trawlbox::platform
