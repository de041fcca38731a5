#pragma once

#include "platform/text_decoder.h"

namespace trawlbox::platform {

// Decodes through Qt's converters (ICU on Debian), which know every charset pages use.
class QtTextDecoder : public TextDecoder {
 public:
  [[nodiscard]] std::optional<std::string> ToUtf8(std::string_view charset,
                                                  std::string_view bytes) const override;
};

}  // namespace trawlbox::platform
