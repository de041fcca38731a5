#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace trawlbox::testing {

// Paths as the program writes them: UTF-8 on every system (a path's plain string() is in the
// system's code page on Windows).
inline std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

inline std::filesystem::path FromUtf8(const std::string& text) {
  return {std::u8string(text.begin(), text.end())};
}

// A fresh, empty folder for one test, removed with everything in it when the test ends.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("trawlbox-test-" + std::to_string(random()));
    std::filesystem::create_directory(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }
  // `name` in the folder, as the program's paths are written.
  [[nodiscard]] std::string PathOf(const std::string& name) const {
    return Utf8(path_ / FromUtf8(name));
  }

  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(path_ / name, std::ios::binary) << content;
  }
  // What the file holds; "(missing)" when there is none.
  [[nodiscard]] std::string Read(const std::string& name) const {
    std::ifstream file(path_ / name, std::ios::binary);
    if (!file) return "(missing)";
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  // Everything in the folder (a link is not followed), hidden temporary files included, sorted.
  [[nodiscard]] std::vector<std::string> Entries() const { return EntriesOf(path_); }

  [[nodiscard]] static std::vector<std::string> EntriesOf(const std::filesystem::path& folder) {
    std::vector<std::string> names;
#ifdef _WIN32
    // The C++ library's listing stops at 260 characters; Windows' own goes on with the prefix.
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((LR"(\\?\)" + folder.native() + LR"(\*)").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(Utf8(std::filesystem::path(name)));
      } while (FindNextFileW(search, &found) != FALSE);
      FindClose(search);
    }
#else
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      names.push_back(Utf8(entry.path().filename()));
    }
#endif
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace trawlbox::testing
