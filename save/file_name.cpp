#include "save/file_name.h"

#include <array>
#include <string>

namespace trawlbox::save {

namespace {

// An extension longer than this is more likely part of the title ("v1.2 with many words") than
// a file type, and is not worth keeping at the cost of the title.
constexpr std::size_t kMaxExtensionBytes = 16;

// Names that Windows opens as a device in every folder, whatever follows their first dot.
constexpr std::array<std::string_view, 22> kDeviceNames = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

bool IsReservedCharacter(char c) {
  return std::string_view("/\\<>:\"|?*").find(c) != std::string_view::npos || IsControl(c);
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows takes "con", "Nul.mq4" and "COM1 .txt" for devices.
bool IsDeviceName(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (std::string_view device : kDeviceNames) {
    if (base.size() != device.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < base.size() && same; ++i) same = AsciiUpper(base[i]) == device[i];
    if (same) return true;
  }
  return false;
}

// The bytes of the character that starts at `text[i]`: a lead byte and the continuation bytes it
// announces, or one byte for a byte that starts no character.
std::size_t CharacterBytes(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  const std::size_t announced = lead < 0x80           ? 1
                                : (lead >> 5) == 0x6  ? 2
                                : (lead >> 4) == 0xE  ? 3
                                : (lead >> 3) == 0x1E ? 4
                                                      : 1;
  std::size_t length = 1;
  while (length < announced && i + length < text.size() && IsContinuationByte(text[i + length])) {
    ++length;
  }
  return length == announced ? length : 1;
}

// What one character of `bytes` UTF-8 bytes costs against the file-name limit.
std::size_t CharacterLength(std::size_t bytes) {
#ifdef _WIN32
  return bytes == 4 ? 2 : 1;
#else
  return bytes;
#endif
}

struct NameParts {
  std::string_view stem;
  std::string_view extension;  // from the dot on, or empty
};

NameParts Split(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || name.size() - dot > kMaxExtensionBytes) {
    return {name, {}};
  }
  return {name.substr(0, dot), name.substr(dot)};
}

// The longest prefix of `text` that is at most `max_length` long and ends on a character
// boundary; a byte that starts no character counts as a character of its own, so a run of stray
// bytes never shortens the name to nothing.
std::string_view PrefixOfAtMost(std::string_view text, std::size_t max_length) {
  std::size_t end = 0;
  std::size_t length = 0;
  while (end < text.size()) {
    const std::size_t bytes = CharacterBytes(text, end);
    length += CharacterLength(bytes);
    if (length > max_length) break;
    end += bytes;
  }
  return text.substr(0, end);
}

// stem + middle + extension, the stem shortened so that the whole fits kMaxFileNameLength.
std::string Assemble(std::string_view stem, std::string_view middle, std::string_view extension) {
  const std::size_t fixed = FileNameLength(middle) + FileNameLength(extension);
  std::string name(PrefixOfAtMost(stem, kMaxFileNameLength - fixed));
  name.append(middle);
  name.append(extension);
  return name;
}

}  // namespace

std::size_t FileNameLength(std::string_view name) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t bytes = CharacterBytes(name, i);
    length += CharacterLength(bytes);
    i += bytes;
  }
  return length;
}

std::string SafeFileName(std::string_view title) {
  std::string name(title);
  for (char& c : name) {
    if (IsReservedCharacter(c)) c = '_';
  }
  if (!name.empty() && name.front() == '.') name.front() = '_';
  if (IsDeviceName(name)) name.insert(0, 1, '_');
  if (FileNameLength(name) > kMaxFileNameLength) {
    const NameParts parts = Split(name);
    name = Assemble(parts.stem, {}, parts.extension);
  }
  // Shortening may have left the dot or space that now ends the name.
  for (auto c = name.rbegin(); c != name.rend() && (*c == '.' || *c == ' '); ++c) *c = '_';
  return name;
}

std::string NumberedFileName(std::string_view name, int number) {
  const NameParts parts = Split(name);
  return Assemble(parts.stem, " (" + std::to_string(number) + ")", parts.extension);
}

}  // namespace trawlbox::save
