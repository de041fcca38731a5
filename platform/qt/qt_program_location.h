#pragma once

#include "platform/program_location.h"

namespace trawlbox::platform {

// The folder of the running executable as Qt finds it; needs a QCoreApplication.
class QtProgramLocation : public ProgramLocation {
 public:
  [[nodiscard]] std::string ExecutableFolder() const override;
};

}  // namespace trawlbox::platform
