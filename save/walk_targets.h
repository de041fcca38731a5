#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

namespace trawlbox::save {

// The files one download walk has saved, so that a later row of the same walk never replaces a
// file that an earlier row fetched from another URL (two entries with one title). Paths are
// compared without the case of their ASCII letters, as Windows compares file names. A later walk
// starts afresh and overwrites as before.
class WalkTargets {
 public:
  // The path to save `url` to when its row asks for `asked_path`: `asked_path` itself while this
  // walk has saved nothing there or saved this same URL there; otherwise the numbered path this
  // URL was saved to before, or else "name (2).ext", "name (3).ext", ... beside it, the first that
  // this walk has not saved from another URL.
  [[nodiscard]] std::string Choose(const std::string& asked_path, const std::string& url);

  // `url`, asked for `asked_path`, was saved to `saved_path` (what Choose returned).
  void RecordSaved(const std::string& asked_path, const std::string& saved_path,
                   const std::string& url);

  // Distinct files this walk has saved.
  [[nodiscard]] std::size_t SavedCount() const { return url_by_saved_path_.size(); }

 private:
  [[nodiscard]] bool FreeFor(const std::string& path, const std::string& url) const;

  std::unordered_map<std::string, std::string> url_by_saved_path_;
  // Keyed by asked path and URL: where that URL went when its path was taken.
  std::unordered_map<std::string, std::string> numbered_path_;
  // Per asked path, the lowest number that may still be free; the numbers below it are taken by
  // other URLs, so many rows with one title never count up from 2 again.
  std::unordered_map<std::string, int> next_number_;
};

}  // namespace trawlbox::save
