#include "platform/qt/qt_program_location.h"

#include <QCoreApplication>
#include <QDir>

namespace trawlbox::platform {

std::string QtProgramLocation::ExecutableFolder() const {
  return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
}

}  // namespace trawlbox::platform
