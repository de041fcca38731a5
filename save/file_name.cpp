#include "save/file_name.h"

#include <string>

namespace trawlbox::save {

namespace {

// An extension longer than this is more likely part of the title ("v1.2 with many words") than
// a file type, and is not worth keeping at the cost of the title.
constexpr std::size_t kMaxExtensionBytes = 16;

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

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

// The longest prefix of `text` of at most `max_bytes` bytes that ends on a character boundary.
// A UTF-8 character has at most three continuation bytes; in text that is no UTF-8 the cut falls
// at `max_bytes`, so a run of stray continuation bytes never shortens the name to nothing.
std::string_view PrefixOfAtMost(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  std::size_t end = max_bytes;
  while (end > 0 && max_bytes - end < 3 && IsContinuationByte(text[end])) --end;
  if (IsContinuationByte(text[end])) end = max_bytes;
  return text.substr(0, end);
}

// stem + middle + extension, the stem shortened so that the whole fits kMaxFileNameBytes.
std::string Assemble(std::string_view stem, std::string_view middle, std::string_view extension) {
  const std::size_t fixed = middle.size() + extension.size();
  std::string name(PrefixOfAtMost(stem, kMaxFileNameBytes - fixed));
  name.append(middle);
  name.append(extension);
  return name;
}

}  // namespace

std::string SafeFileName(std::string_view title) {
  std::string name(title);
  for (char& c : name) {
    if (c == '/' || c == '\\' || IsControl(c)) c = '_';
  }
  if (!name.empty() && name.front() == '.') name.front() = '_';
  if (name.size() <= kMaxFileNameBytes) return name;
  const NameParts parts = Split(name);
  return Assemble(parts.stem, {}, parts.extension);
}

std::string NumberedFileName(std::string_view name, int number) {
  const NameParts parts = Split(name);
  return Assemble(parts.stem, " (" + std::to_string(number) + ")", parts.extension);
}

}  // namespace trawlbox::save
