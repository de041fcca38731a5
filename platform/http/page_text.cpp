#include "platform/http/page_text.h"
#include "platform/http/ascii.h"

#include <algorithm>
#include <array>
#include <optional>

namespace trawlbox::platform {

namespace {

// How much of a page is searched for its own <meta> charset; pages declare it in their head.
constexpr std::size_t kMetaSniffBytes = 4096;
constexpr std::string_view kUtf8 = "UTF-8";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kCharset = "charset";

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), Lower);
  return lowered;
}

bool IsCharsetNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == ':';
}

bool IsUtf8Name(std::string_view charset) {
  const std::string name = Lowered(charset);
  return name == "utf-8" || name == "utf8";
}

// The charset name that follows "charset" at `pos` in `text` ("charset=utf-8",
// "charset = 'sjis'"), empty when no "=" follows.
std::string_view CharsetValueAt(std::string_view text, std::size_t pos) {
  std::size_t i = pos + kCharset.size();
  while (i < text.size() && IsBlankOrLineEnd(text[i])) ++i;
  if (i >= text.size() || text[i] != '=') return {};
  ++i;
  while (i < text.size() && (IsBlankOrLineEnd(text[i]) || text[i] == '"' || text[i] == '\'')) ++i;
  const std::size_t start = i;
  while (i < text.size() && IsCharsetNameChar(text[i])) ++i;
  return text.substr(start, i - start);
}

std::string CharsetFromContentType(std::string_view content_type) {
  const std::size_t at = Lowered(content_type).find(kCharset);
  return at == std::string::npos ? std::string() : std::string(CharsetValueAt(content_type, at));
}

// The charset that a <meta charset> or <meta http-equiv … content="…; charset=…"> tag near the
// start of the page names.
std::string CharsetFromMeta(std::string_view body) {
  const std::string head = Lowered(body.substr(0, kMetaSniffBytes));
  const std::string_view text(head);
  std::size_t from = 0;
  while (true) {
    const std::size_t tag = text.find("<meta", from);
    if (tag == std::string_view::npos) return {};
    const std::size_t tag_end = std::min(text.find('>', tag), text.size());
    const std::string_view tag_text = text.substr(tag, tag_end - tag);
    const std::size_t at = tag_text.find(kCharset);
    if (at != std::string_view::npos) {
      const std::string_view name = CharsetValueAt(tag_text, at);
      if (!name.empty()) return std::string(name);
    }
    from = tag_end;
  }
}

std::string CharsetFromBom(std::string_view body) {
  struct Bom {
    std::string_view bytes;
    std::string_view charset;
  };
  // UTF-32LE's mark begins with UTF-16LE's, so it is looked for first.
  constexpr std::array<Bom, 5> kBoms = {{{kUtf8Bom, kUtf8},
                                         {std::string_view("\xFF\xFE\0\0", 4), "UTF-32LE"},
                                         {std::string_view("\0\0\xFE\xFF", 4), "UTF-32BE"},
                                         {"\xFF\xFE", "UTF-16LE"},
                                         {"\xFE\xFF", "UTF-16BE"}}};
  for (const Bom& bom : kBoms) {
    if (body.substr(0, bom.bytes.size()) == bom.bytes) return std::string(bom.charset);
  }
  return {};
}

// Each lead byte announces the length of its sequence; overlong forms, surrogates and code
// points past U+10FFFF are not UTF-8.
bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80U) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    unsigned char low = 0x80U;
    unsigned char high = 0xBFU;
    if (lead >= 0xC2U && lead <= 0xDFU) {
      length = 2;
    } else if (lead >= 0xE0U && lead <= 0xEFU) {
      length = 3;
      if (lead == 0xE0U) low = 0xA0U;
      if (lead == 0xEDU) high = 0x9FU;
    } else if (lead >= 0xF0U && lead <= 0xF4U) {
      length = 4;
      if (lead == 0xF0U) low = 0x90U;
      if (lead == 0xF4U) high = 0x8FU;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if (next < (k == 1 ? low : 0x80U) || next > (k == 1 ? high : 0xBFU)) return false;
    }
    i += length;
  }
  return true;
}

std::string WithoutBom(std::string text) {
  if (text.starts_with(kUtf8Bom)) text.erase(0, kUtf8Bom.size());
  return text;
}

}  // namespace

// A page is nearly always UTF-8 already: then it is handed on as it is and never held twice.
std::string PageText(std::string body, std::string_view content_type, const TextDecoder& decoder) {
  const std::array<std::string, 4> clues = {CharsetFromContentType(content_type),
                                            CharsetFromBom(body), CharsetFromMeta(body),
                                            std::string(kUtf8)};
  for (const std::string& charset : clues) {
    if (charset.empty()) continue;
    if (IsUtf8Name(charset) && IsValidUtf8(body)) return WithoutBom(std::move(body));
    std::optional<std::string> text = decoder.ToUtf8(charset, body);
    if (text) return WithoutBom(*std::move(text));
  }
  return body;
}

}  // namespace trawlbox::platform
