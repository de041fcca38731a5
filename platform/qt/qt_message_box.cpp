#include "platform/qt/qt_message_box.h"

#include <QMessageBox>
#include <QString>

namespace trawlbox::platform {

QtMessageBox::QtMessageBox(QWidget* parent) : parent_(parent) {}

void QtMessageBox::Show(MessageIcon icon, const std::string& text) {
  QMessageBox box(icon == MessageIcon::kWarning ? QMessageBox::Warning : QMessageBox::Information,
                  QStringLiteral("Trawlbox"), QString::fromStdString(text), QMessageBox::Ok,
                  parent_.data());
  box.exec();
}

}  // namespace trawlbox::platform
