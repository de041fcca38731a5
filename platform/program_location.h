#pragma once

#include <string>
#include <string_view>

namespace trawlbox::platform {

// The separator the program writes into paths, and every one that ends a folder in a path it
// reads: Windows takes "/" as well, so a folder typed as "C:/EA/" is a folder there too.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
#endif

// Where the running program's executable file lies, and whether it was installed there.
class ProgramLocation {
 public:
  virtual ~ProgramLocation() = default;

  // The folder that holds the executable, as the platform reports it (the root keeps its
  // separator).
  [[nodiscard]] virtual std::string ExecutableFolder() const = 0;

  // True for a program installed into the system (a package, or an installation into any
  // prefix); false for one run from the folder it was built or unpacked in.
  [[nodiscard]] virtual bool Installed() const = 0;

  // The user's download folder as the desktop names it; the home folder when it names none or
  // that folder does not exist. May or may not end in the separator.
  [[nodiscard]] virtual std::string DownloadFolder() const = 0;
};

}  // namespace trawlbox::platform
