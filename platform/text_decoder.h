#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trawlbox::platform {

// The system's converters from the charsets that pages are written in to UTF-8.
class TextDecoder {
 public:
  virtual ~TextDecoder() = default;

  // `bytes` written in `charset` (a name as pages declare it, in any case: "Shift_JIS",
  // "euc-jp", "UTF-16LE", …), as UTF-8; a byte sequence the charset does not allow becomes
  // U+FFFD. Nothing when the system knows no charset of that name.
  [[nodiscard]] virtual std::optional<std::string> ToUtf8(std::string_view charset,
                                                          std::string_view bytes) const = 0;
};

}  // namespace trawlbox::platform
