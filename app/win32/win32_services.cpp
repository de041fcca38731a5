#include "app/win32/win32_services.h"

#include <memory>
#include <string>

#include "platform/win32/win32_blocking_wait.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_folder_chooser.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_program_location.h"
#include "platform/win32/win32_sleeper.h"
#include "platform/win32/win32_text_decoder.h"
#include "platform/win32/win32_timer.h"
#include "platform/win32/win32_url_opener.h"
#include "platform/win32/winhttp_request.h"

namespace trawlbox::app::win32 {

SystemServices Win32Services(HWND window, platform::WinHttpLoop& loop) {
  return {
      .sleeper = [] { return std::make_unique<platform::Win32Sleeper>(); },
      .messages = [window] { return std::make_unique<platform::Win32MessageBox>(window); },
      .chooser = [window] { return std::make_unique<platform::Win32FolderChooser>(window); },
      .opener = [] { return std::make_unique<platform::Win32UrlOpener>(); },
      .clipboard = [window] { return std::make_unique<platform::Win32Clipboard>(window); },
      .location = [] { return std::make_unique<platform::Win32ProgramLocation>(); },
      .decoder = [] { return std::make_unique<platform::Win32TextDecoder>(); },
      .request =
          [&loop](const std::string& ca_file) {
            return std::make_unique<platform::WinHttpRequest>(loop, ca_file);
          },
      .http_timer = [&loop] { return std::make_unique<platform::Win32Timer>(loop); },
      .wait = [&loop] { return std::make_unique<platform::Win32BlockingWait>(loop); },
  };
}

}  // namespace trawlbox::app::win32
