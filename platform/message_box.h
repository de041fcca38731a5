#pragma once

#include <string>

namespace trawlbox::platform {

enum class MessageIcon { kInformation, kWarning };

// Modal message boxes with one OK button and the program's title.
class MessageBox {
 public:
  virtual ~MessageBox() = default;

  // Shows `text` and returns when the user has closed the box.
  virtual void Show(MessageIcon icon, const std::string& text) = 0;
};

}  // namespace trawlbox::platform
