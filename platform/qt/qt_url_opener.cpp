#include "platform/qt/qt_url_opener.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace trawlbox::platform {

void QtUrlOpener::OpenUrl(const std::string& url, const std::string& working_folder) {
  const QUrl address(QString::fromStdString(url));
  const QString scheme = address.scheme();
  if (!address.isValid() ||
      (scheme != QStringLiteral("http") && scheme != QStringLiteral("https"))) {
    return;
  }
  // Handed over in its encoded form, the address always starts with its scheme and cannot pass
  // for an option of the handler.
  [[maybe_unused]] const bool started = QProcess::startDetached(
      QStringLiteral("xdg-open"), {QString::fromLatin1(address.toEncoded())},
      QString::fromStdString(working_folder));
}

}  // namespace trawlbox::platform
