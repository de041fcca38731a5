#pragma once

#include <string>

#include "collect/site_roots.h"
#include "platform/clipboard.h"
#include "platform/folder_chooser.h"
#include "platform/http/transfer_limits.h"
#include "platform/message_box.h"
#include "platform/program_location.h"
#include "platform/sleeper.h"
#include "platform/url_opener.h"

namespace trawlbox::app {

// What a main window is built with, on either system. The defaults give the program: the real
// code-base sites and the window's own services. Tests replace any of them; an injected service
// must outlive the window.
struct MainWindowDependencies {
  collect::SiteRootPair site_roots;
  // Each service left null is the window's own.
  platform::Sleeper* sleeper = nullptr;
  platform::MessageBox* messages = nullptr;
  platform::FolderChooser* chooser = nullptr;
  platform::UrlOpener* opener = nullptr;
  platform::Clipboard* clipboard = nullptr;
  platform::ProgramLocation* location = nullptr;
  platform::HttpTransferLimits transfer_limits;
  platform::DownloadLimits download_limits;
  // The certificate authorities trusted instead of the system's store; tests only.
  std::string ca_file;
};

}  // namespace trawlbox::app
