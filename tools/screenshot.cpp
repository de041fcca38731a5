// Shows the main window as the program starts and saves what it draws to the PNG file named on the
// command line. Given the root of a local MQL5-style site and a maximum, it first gathers that
// many entries from the site, with the mq4 box unticked, so the picture shows the program at
// work. The save folder is whatever the program's own start-up finds for the folder this tool
// lies in: placed beside an installed program, it shows what that program starts with.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPixmap>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <cstdio>
#include <string>

#include "app/frame_pacing.h"
#include "app/qt/fonts.h"
#include "app/qt/main_window.h"
#include "platform/qt/curl_library.h"
#include "tools/unshown_message_box.h"

int main(int argc, char* argv[]) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: %s OUTPUT.png [MQL5_SITE_ROOT MAXIMUM]\n",
                 argc > 0 ? argv[0] : "trawlbox_screenshot");
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);
  const trawlbox::platform::CurlLibrary curl;
  int qt_argc = 1;
  QApplication application(qt_argc, argv);
  trawlbox::app::qt::InstallFontSubstitutions();

  trawlbox::tools::UnshownMessageBox messages;
  trawlbox::app::MainWindowDependencies deps;
  deps.messages = &messages;
  // The MQL4 slot is never asked for: its box is unticked.
  if (argc == 4) deps.site_roots = {"http://127.0.0.1:9", argv[2]};
  trawlbox::app::qt::MainWindow window(deps);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) {
    std::fprintf(stderr, "the window was never shown\n");
    return 1;
  }
  if (argc == 4) {
    window.findChild<QCheckBox*>(QStringLiteral("chkSEngines(0)"))->setChecked(false);
    window.findChild<QComboBox*>(QStringLiteral("cboMaxCount"))
        ->setEditText(QString::fromLocal8Bit(argv[3]));
    // The whole run happens inside the click.
    window.findChild<QPushButton*>(QStringLiteral("cmdSubmit"))->click();
    if (window.State().CollectedCount == 0) {
      std::fprintf(stderr, "nothing was gathered from %s\n", argv[2]);
      return 1;
    }
  }
  // The window shows the program's last moves at the end of a frame, as a user sees them.
  QTest::qWait(4 * trawlbox::app::kFrameMs);
  if (!window.grab().save(output, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
