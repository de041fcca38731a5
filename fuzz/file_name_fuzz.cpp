// The file names of a download walk over fuzzed titles and URLs: every path a row is saved to is
// one file name directly inside the save folder, and no row replaces a file that the same walk
// saved from another URL.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "platform/program_location.h"
#include "save/file_name.h"
#include "save/target_path.h"
#include "save/walk_targets.h"

namespace {

void Check(bool property) {
  if (!property) std::abort();
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

// A name that the file system takes as one entry of the folder it is put in.
void CheckOneComponent(std::string_view name, std::string_view title) {
  Check(!name.empty());
  Check(trawlbox::save::FileNameLength(name) <= trawlbox::save::kMaxFileNameLength);
  Check(name.back() != '.' && name.back() != ' ');
  for (const char c : std::string_view("<>:\"|?*")) Check(name.find(c) == std::string_view::npos);
  Check(name.front() != '.');
  Check(name.find('/') == std::string_view::npos);
  Check(name.find('\\') == std::string_view::npos);
  Check(name.find('\0') == std::string_view::npos);
  if (IsValidUtf8(title)) Check(IsValidUtf8(name));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string folder =
      input.ConsumeBool() ? std::string("/save/folder") : std::string("/save/folder/");
  const std::string prefix = "/save/folder" + std::string(1, trawlbox::platform::kPathSeparator);

  trawlbox::save::WalkTargets targets;
  std::map<std::string, std::string> saved_from;
  while (input.remaining_bytes() > 0) {
    const std::string title = input.ConsumeRandomLengthString(400);
    const std::string url =
        "http://x.test/" + std::to_string(input.ConsumeIntegral<std::uint8_t>() % 4);
    if (title.empty()) continue;

    const std::string asked = trawlbox::save::TargetPath(folder, title);
    Check(asked.compare(0, prefix.size(), prefix) == 0);
    CheckOneComponent(std::string_view(asked).substr(prefix.size()), title);

    const std::string path = targets.Choose(asked, url);
    Check(path.compare(0, prefix.size(), prefix) == 0);
    CheckOneComponent(std::string_view(path).substr(prefix.size()), title);
    const auto earlier = saved_from.find(path);
    Check(earlier == saved_from.end() || earlier->second == url);
    saved_from[path] = url;
    targets.RecordSaved(asked, path, url);
  }
  return 0;
}
