#pragma once

#include <string>

namespace trawlbox::platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Where the running program's executable file lies.
class ProgramLocation {
 public:
  virtual ~ProgramLocation() = default;

  // The folder that holds the executable, as the platform reports it (the root keeps its
  // separator).
  [[nodiscard]] virtual std::string ExecutableFolder() const = 0;
};

}  // namespace trawlbox::platform
