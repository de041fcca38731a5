#include "platform/qt/qt_folder_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QString>

namespace trawlbox::platform {

QtFolderChooser::QtFolderChooser(QWidget* parent) : parent_(parent) {}

std::optional<std::string> QtFolderChooser::ChooseFolder(const std::string& title) {
  const QString folder = QFileDialog::getExistingDirectory(parent_, QString::fromStdString(title),
                                                           QString(), QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return std::nullopt;
  // cleanPath drops a trailing separator but keeps the root's.
  return QDir::toNativeSeparators(QDir::cleanPath(folder)).toStdString();
}

}  // namespace trawlbox::platform
