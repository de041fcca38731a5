// The Windows window's counterpart of tools/screenshot.cpp: shows the main window as the program
// starts, gathers MAXIMUM entries from the local MQL5-style site at MQL5_SITE_ROOT with the mq4
// box unticked, and saves what the screen then shows of the window to the PNG file named first.
// The save folder is whatever the program's own start-up finds for the folder this tool lies in.
#include <chrono>
#include <cstdio>
#include <string>

#include "app/win32/common_controls.h"
#include "app/win32/main_window.h"
#include "platform/files/wide_text.h"
#include "platform/win32/com_resources.h"
#include "platform/win32/message_pump.h"
#include "tools/unshown_message_box.h"
#include "tools/win32/window_driver.h"
#include "tools/win32/window_picture.h"

int wmain(int argc, wchar_t* argv[]) {
  namespace driver = trawlbox::tools::win32;
  using trawlbox::app::Control;
  if (argc != 4) {
    std::fputs("usage: trawlbox_screenshot OUTPUT.png MQL5_SITE_ROOT MAXIMUM\n", stderr);
    return 2;
  }
  trawlbox::app::win32::StartCommonControls();
  const trawlbox::platform::ComApartment apartment;

  trawlbox::tools::UnshownMessageBox messages;
  trawlbox::app::MainWindowDependencies deps;
  deps.messages = &messages;
  deps.site_roots = driver::Mql5Only(trawlbox::platform::Narrow(argv[2]));
  trawlbox::app::win32::MainWindow window(std::move(deps));
  if (window.Handle() == nullptr) {
    std::fputs("the window was not made: is there a display?\n", stderr);
    return 1;
  }
  window.Show(SW_SHOWNORMAL);
  driver::UntickMql4(window);
  SetWindowTextW(window.HandleOf(Control::kCboMaxCount), argv[3]);
  driver::Click(window, Control::kCmdSubmit);
  if (window.State().CollectedCount == 0) {
    std::fprintf(stderr, "nothing was gathered from %ls\n", argv[2]);
    return 1;
  }
  // The window paints at most once a frame, so the last changes of the run show only after it.
  static_cast<void>(trawlbox::platform::MessagePump().RunUntil(std::chrono::milliseconds(500)));
  if (!driver::SaveWindowPicture(window.Handle(), argv[1])) {
    std::fprintf(stderr, "cannot write %ls\n", argv[1]);
    return 1;
  }
  return 0;
}
