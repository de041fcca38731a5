#pragma once

#include "platform/program_location.h"

namespace trawlbox::platform {

// The running executable's folder as Qt finds it; needs a QCoreApplication. The installation
// leaves a marker file at a fixed place relative to the executable's folder, which no build or
// unpacked folder has.
class QtProgramLocation : public ProgramLocation {
 public:
  [[nodiscard]] std::string ExecutableFolder() const override;
  [[nodiscard]] bool Installed() const override;
  [[nodiscard]] std::string DownloadFolder() const override;
};

}  // namespace trawlbox::platform
