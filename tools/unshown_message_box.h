#pragma once

#include <string>

#include "platform/message_box.h"

namespace trawlbox::tools {

// The closing message of a run would hold a tool up; its picture shows the window only.
class UnshownMessageBox : public platform::MessageBox {
 public:
  void Show(platform::MessageIcon /*icon*/, const std::string& /*text*/) override {}
};

}  // namespace trawlbox::tools
