#include "save/walk_targets.h"

#include "platform/program_location.h"
#include "save/file_name.h"

namespace trawlbox::save {

namespace {

constexpr int kFirstNumber = 2;

// Windows, where the files end up (MetaTrader runs there), takes "Same.mq4" and "same.mq4" for
// one file, so paths are compared without the case of their letters.
std::string FileKey(const std::string& path) {
  std::string key = path;
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

// Paths hold no NUL, so the pair cannot be confused with another.
std::string RequestKey(const std::string& asked_path, const std::string& url) {
  std::string key = FileKey(asked_path);
  key += '\0';
  key += url;
  return key;
}

}  // namespace

bool WalkTargets::FreeFor(const std::string& path, const std::string& url) const {
  const auto saved = url_by_saved_path_.find(FileKey(path));
  return saved == url_by_saved_path_.end() || saved->second == url;
}

std::string WalkTargets::Choose(const std::string& asked_path, const std::string& url) {
  if (FreeFor(asked_path, url)) return asked_path;
  if (const auto earlier = numbered_path_.find(RequestKey(asked_path, url));
      earlier != numbered_path_.end()) {
    return earlier->second;
  }
  const std::size_t name_start = asked_path.find_last_of(platform::kPathSeparators) + 1;
  const std::string folder = asked_path.substr(0, name_start);
  const std::string name = asked_path.substr(name_start);
  int& next = next_number_.try_emplace(FileKey(asked_path), kFirstNumber).first->second;
  for (;; ++next) {
    std::string candidate = folder + NumberedFileName(name, next);
    if (FreeFor(candidate, url)) return candidate;
  }
}

void WalkTargets::RecordSaved(const std::string& asked_path, const std::string& saved_path,
                              const std::string& url) {
  url_by_saved_path_.insert_or_assign(FileKey(saved_path), url);
  if (saved_path != asked_path)
    numbered_path_.insert_or_assign(RequestKey(asked_path, url), saved_path);
}

}  // namespace trawlbox::save
