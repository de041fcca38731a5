#pragma once

#include <string>

#include "platform/program_location.h"

namespace trawlbox::platform {

// The running executable's folder as Windows reports it. A program counts as installed when it
// lies in a Program Files folder (the machine's, the 32-bit one, or the user's own); one unpacked
// anywhere else is run from where it was unpacked.
class Win32ProgramLocation : public ProgramLocation {
 public:
  // No trailing separator, except for a drive's root ("C:\"); empty when Windows gives no path.
  [[nodiscard]] std::string ExecutableFolder() const override;
  [[nodiscard]] bool Installed() const override;
  // The shell's Downloads folder, or the user's profile folder; empty when the shell names
  // neither.
  [[nodiscard]] std::string DownloadFolder() const override;
};

}  // namespace trawlbox::platform
