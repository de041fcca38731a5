#include <QApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include "app/qt/fonts.h"
#include "app/qt/main_window.h"
#include "platform/qt/curl_library.h"

int main(int argc, char* argv[]) {
  const trawlbox::platform::CurlLibrary curl;
  // The program takes no command line: Qt sees the program's name only, none of its own options.
  int qt_argc = argc > 0 ? 1 : 0;
  QApplication application(qt_argc, argv);
  QApplication::setApplicationName(QStringLiteral("Trawlbox"));
  QGuiApplication::setDesktopFileName(QStringLiteral("trawlbox"));
  trawlbox::app::qt::InstallFontSubstitutions();

  // The window speaks Japanese whatever the desktop's language, and so do Qt's own dialogs.
  QTranslator qt_translations;
  if (qt_translations.load(QStringLiteral("qtbase_ja"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_translations);
  }

  trawlbox::app::qt::MainWindow window;
  window.show();
  return QApplication::exec();
}
