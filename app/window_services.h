#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/main_window_dependencies.h"
#include "app/main_window_logic.h"
#include "platform/blocking_wait.h"
#include "platform/clipboard.h"
#include "platform/event_yield.h"
#include "platform/folder_chooser.h"
#include "platform/http/file_download.h"
#include "platform/http/hsts.h"
#include "platform/http/http_request.h"
#include "platform/http/page_transfer.h"
#include "platform/message_box.h"
#include "platform/program_location.h"
#include "platform/sleeper.h"
#include "platform/text_decoder.h"
#include "platform/timer.h"
#include "platform/url_opener.h"

namespace trawlbox::app {

// How one system makes the services of its window; each is called at most once, while the window
// is being built.
struct SystemServices {
  std::function<std::unique_ptr<platform::Sleeper>()> sleeper;
  std::function<std::unique_ptr<platform::MessageBox>()> messages;
  std::function<std::unique_ptr<platform::FolderChooser>()> chooser;
  std::function<std::unique_ptr<platform::UrlOpener>()> opener;
  std::function<std::unique_ptr<platform::Clipboard>()> clipboard;
  std::function<std::unique_ptr<platform::ProgramLocation>()> location;
  std::function<std::unique_ptr<platform::TextDecoder>()> decoder;
  // One HTTP exchange at a time on the system's stack, trusting the authorities in `ca_file`
  // instead of the system's store when it names one (tests only).
  std::function<std::unique_ptr<platform::HttpRequest>(const std::string& ca_file)> request;
  // Times the waits before a server is asked again, inside the program's yields and waits.
  std::function<std::unique_ptr<platform::Timer>()> http_timer;
  std::function<std::unique_ptr<platform::BlockingWait>()> wait;
};

// The services a main window is built with, the same way on every system: each service a test
// injected through the dependencies, else the window's own, made by its system; and the page
// transfer and the downloader over the system's HTTP stack, sharing one HSTS store. Whatever the
// window holds back of its painting is shown before the program blocks without painting (the
// pause between listing pages) or a message box opens, so the box never stands over an older
// text.
class WindowServices {
 public:
  // `flush_frames` shows at once what the window's frames hold back.
  WindowServices(const MainWindowDependencies& deps, const SystemServices& system,
                 std::function<void()> flush_frames);
  ~WindowServices();
  WindowServices(const WindowServices&) = delete;
  WindowServices& operator=(const WindowServices&) = delete;

  // What the window's logic uses, with `yield` the window's; valid as long as the services are.
  [[nodiscard]] MainWindowServices ForLogic(platform::EventYield& yield);
  // Ends the page fetch and the download in flight, and refuses every later one: the window is
  // closing.
  void AbortTransfers();

 private:
  class FlushFirst;

  std::unique_ptr<platform::Sleeper> own_sleeper_;
  std::unique_ptr<platform::MessageBox> own_messages_;
  std::unique_ptr<platform::FolderChooser> own_chooser_;
  std::unique_ptr<platform::UrlOpener> own_opener_;
  std::unique_ptr<platform::Clipboard> own_clipboard_;
  std::unique_ptr<platform::ProgramLocation> own_location_;
  std::unique_ptr<platform::TextDecoder> decoder_;
  // What https answers taught of their hosts, for the page fetches and the downloads alike, for as
  // long as the window lives.
  platform::HstsStore hsts_;
  platform::PageTransfer transfer_;
  platform::FileDownload downloader_;
  std::unique_ptr<FlushFirst> flush_first_;
  platform::FolderChooser& chooser_;
  platform::UrlOpener& opener_;
  platform::Clipboard& clipboard_;
  platform::ProgramLocation& location_;
};

}  // namespace trawlbox::app
