// Shows the main window as the program starts and saves what it draws to the PNG file named on the
// command line.
#include <QApplication>
#include <QPixmap>
#include <QString>
#include <QTest>
#include <cstdio>

#include "app/fonts.h"
#include "app/main_window.h"
#include "platform/qt/curl_library.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argc > 0 ? argv[0] : "trawlbox_screenshot");
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);
  const trawlbox::platform::CurlLibrary curl;
  int qt_argc = 1;
  QApplication application(qt_argc, argv);
  trawlbox::app::InstallFontSubstitutions();

  trawlbox::app::MainWindow window;
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) {
    std::fprintf(stderr, "the window was never shown\n");
    return 1;
  }
  if (!window.grab().save(output, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
