#include "app/qt/qt_services.h"

#include <memory>

#include "platform/qt/curl_request.h"
#include "platform/qt/qt_blocking_wait.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_folder_chooser.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_program_location.h"
#include "platform/qt/qt_sleeper.h"
#include "platform/qt/qt_text_decoder.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_url_opener.h"

namespace trawlbox::app::qt {

SystemServices QtServices(QWidget& window, platform::CurlMultiLoop& loop) {
  QWidget* parent = &window;
  return {
      .sleeper = [] { return std::make_unique<platform::QtSleeper>(); },
      .messages = [parent] { return std::make_unique<platform::QtMessageBox>(parent); },
      .chooser = [parent] { return std::make_unique<platform::QtFolderChooser>(parent); },
      .opener = [] { return std::make_unique<platform::QtUrlOpener>(); },
      .clipboard = [] { return std::make_unique<platform::QtClipboard>(); },
      .location = [] { return std::make_unique<platform::QtProgramLocation>(); },
      .decoder = [] { return std::make_unique<platform::QtTextDecoder>(); },
      .request =
          [&loop](const std::string& ca_file) {
            return std::make_unique<platform::CurlRequest>(loop, ca_file);
          },
      .http_timer = [] { return std::make_unique<platform::QtTimer>(); },
      .wait = [] { return std::make_unique<platform::QtBlockingWait>(); },
  };
}

}  // namespace trawlbox::app::qt
