#include "platform/win32/win32_text_decoder.h"

#include <windows.h>

#include <array>
#include <climits>
#include <cstddef>

#include "platform/files/wide_text.h"

namespace trawlbox::platform {

namespace {

// Windows' own numbers for UTF-16, which MultiByteToWideChar does not take, and for US-ASCII,
// which it reads by dropping the eighth bit (a stray "é" would become an "i"): these are read here.
constexpr UINT kUtf16Le = 1200;
constexpr UINT kUtf16Be = 1201;
constexpr UINT kUsAscii = 20127;
constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr wchar_t kReplacement = L'\xFFFD';

struct Charset {
  std::string_view name;  // lower case, without "-" and "_"
  UINT code_page;
};

// EUC-JP is 20932: MultiByteToWideChar does not take 51932, which only MLang knows. ISO-2022-JP
// (50220) is left out: Wine has no converter for it, so it could not be checked.
constexpr std::array kCharsets = {
    Charset{"utf8", CP_UTF8},     Charset{"shiftjis", 932},     Charset{"sjis", 932},
    Charset{"xsjis", 932},        Charset{"mskanji", 932},      Charset{"csshiftjis", 932},
    Charset{"windows31j", 932},   Charset{"cp932", 932},        Charset{"eucjp", 20932},
    Charset{"xeucjp", 20932},     Charset{"usascii", kUsAscii}, Charset{"ascii", kUsAscii},
    Charset{"iso88591", 28591},   Charset{"latin1", 28591},     Charset{"iso88592", 28592},
    Charset{"iso88593", 28593},   Charset{"iso88594", 28594},   Charset{"iso88595", 28595},
    Charset{"iso88596", 28596},   Charset{"iso88597", 28597},   Charset{"iso88598", 28598},
    Charset{"iso88599", 28599},   Charset{"iso885913", 28603},  Charset{"iso885915", 28605},
    Charset{"windows1250", 1250}, Charset{"windows1251", 1251}, Charset{"windows1252", 1252},
    Charset{"windows1253", 1253}, Charset{"windows1254", 1254}, Charset{"windows1255", 1255},
    Charset{"windows1256", 1256}, Charset{"windows1257", 1257}, Charset{"windows1258", 1258},
    Charset{"koi8r", 20866},      Charset{"koi8u", 21866},      Charset{"gb2312", 936},
    Charset{"gbk", 936},          Charset{"gb18030", 54936},    Charset{"big5", 950},
    Charset{"euckr", 949},        Charset{"utf16", kUtf16Le},   Charset{"utf16le", kUtf16Le},
    Charset{"utf16be", kUtf16Be},
};

// Pages spell a name in any case and often drop or swap its "-" and "_".
bool NameMatches(std::string_view declared, std::string_view known) {
  std::size_t at = 0;
  for (const char c : declared) {
    if (c == '-' || c == '_') continue;
    const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (at == known.size() || known[at] != lower) return false;
    ++at;
  }
  return at == known.size();
}

std::optional<UINT> CodePageFor(std::string_view charset) {
  for (const Charset& known : kCharsets) {
    if (NameMatches(charset, known.name)) return known.code_page;
  }
  return std::nullopt;
}

std::string AsciiToUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) < 0x80) {
      text += c;
    } else {
      text += kUtf8Replacement;
    }
  }
  return text;
}

// A byte-order mark says more than the declared name, as it does in browsers; "utf-16" without
// one is little-endian, Windows' own order.
std::wstring Utf16ToWide(UINT code_page, std::string_view bytes) {
  bool big_endian = code_page == kUtf16Be;
  if (bytes.size() >= 2) {
    const auto first = static_cast<unsigned char>(bytes[0]);
    const auto second = static_cast<unsigned char>(bytes[1]);
    if (first == 0xFE && second == 0xFF) big_endian = true;
    if (first == 0xFF && second == 0xFE) big_endian = false;
  }
  std::wstring wide;
  wide.reserve(bytes.size() / 2 + 1);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto low = static_cast<unsigned char>(bytes[big_endian ? i + 1 : i]);
    const auto high = static_cast<unsigned char>(bytes[big_endian ? i : i + 1]);
    wide += static_cast<wchar_t>(high << 8 | low);
  }
  return wide;
}

// A page cut at the size limit may end inside a character. That unfinished character is dropped,
// not shown as a replacement, so the text ends with the last whole character, as on Linux.
std::string_view WithoutUnfinishedCharacter(UINT code_page, std::string_view bytes) {
  if (code_page == CP_UTF8) {
    std::size_t lead = bytes.size();
    while (lead > 0 && bytes.size() - lead < 4 &&
           (static_cast<unsigned char>(bytes[lead - 1]) & 0xC0U) == 0x80U) {
      --lead;
    }
    if (lead == 0) return bytes;
    const auto first = static_cast<unsigned char>(bytes[lead - 1]);
    const std::size_t length = first >= 0xF0U ? 4 : first >= 0xE0U ? 3 : first >= 0xC0U ? 2 : 1;
    return bytes.size() - (lead - 1) < length ? bytes.substr(0, lead - 1) : bytes;
  }
  CPINFO info{};
  if (GetCPInfo(code_page, &info) == FALSE || info.MaxCharSize != 2) return bytes;
  std::size_t at = 0;
  while (at < bytes.size()) {
    at += IsDBCSLeadByteEx(code_page, static_cast<BYTE>(bytes[at])) != FALSE ? 2U : 1U;
  }
  return at > bytes.size() ? bytes.substr(0, bytes.size() - 1) : bytes;
}

// Without MB_ERR_INVALID_CHARS Windows puts U+FFFD (or the code page's own default character) in
// place of a sequence the code page does not allow, instead of failing the whole page.
std::optional<std::wstring> CodePageToWide(UINT code_page, std::string_view bytes) {
  // A page's size is capped far below what MultiByteToWideChar can count.
  if (bytes.size() > INT_MAX) return std::nullopt;
  if (bytes.empty()) {
    if (IsValidCodePage(code_page) == FALSE) return std::nullopt;
    return std::wstring();
  }
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  if (MultiByteToWideChar(code_page, 0, bytes.data(), size, wide.data(), length) != length) {
    return std::nullopt;
  }
  return wide;
}

}  // namespace

std::optional<std::string> Win32TextDecoder::ToUtf8(std::string_view charset,
                                                    std::string_view bytes) const {
  const std::optional<UINT> code_page = CodePageFor(charset);
  if (!code_page) return std::nullopt;
  if (*code_page == kUsAscii) return AsciiToUtf8(bytes);
  const std::optional<std::wstring> wide =
      *code_page == kUtf16Le || *code_page == kUtf16Be
          ? Utf16ToWide(*code_page, bytes)
          : CodePageToWide(*code_page, WithoutUnfinishedCharacter(*code_page, bytes));
  if (!wide) return std::nullopt;
  return Narrow(*wide);
}

}  // namespace trawlbox::platform
