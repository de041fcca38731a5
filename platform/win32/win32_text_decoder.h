#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/text_decoder.h"

namespace trawlbox::platform {

// The charsets of web pages through Windows' code pages; UTF-16 is read here. A name matches in
// any case and with or without its "-" and "_" ("Shift_JIS", "shift-jis", "SHIFTJIS"). A
// charset whose code page this Windows lacks is unknown. A byte-order mark stays in the text, as
// U+FEFF.
class Win32TextDecoder : public TextDecoder {
 public:
  [[nodiscard]] std::optional<std::string> ToUtf8(std::string_view charset,
                                                  std::string_view bytes) const override;
};

}  // namespace trawlbox::platform
