#include "platform/qt/qt_program_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>

namespace trawlbox::platform {

std::string QtProgramLocation::ExecutableFolder() const {
  return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
}

bool QtProgramLocation::Installed() const {
  return QFileInfo(QDir(QCoreApplication::applicationDirPath())
                       .filePath(QStringLiteral(TRAWLBOX_INSTALLED_MARKER)))
      .isFile();
}

std::string QtProgramLocation::DownloadFolder() const {
  const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  // Qt names ~/Downloads even where the desktop never made it; saving there would fail row by row.
  const QString folder =
      !downloads.isEmpty() && QFileInfo(downloads).isDir() ? downloads : QDir::homePath();
  return QDir::toNativeSeparators(folder).toStdString();
}

}  // namespace trawlbox::platform
