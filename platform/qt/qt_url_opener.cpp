#include "platform/qt/qt_url_opener.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/http/web_url.h"

namespace trawlbox::platform {

void QtUrlOpener::OpenUrl(const std::string& url, const std::string& working_folder) {
  const std::optional<std::string> address = WebUrl(url);
  if (!address) return;
  // Handed over as it goes on the wire, the address always starts with its scheme and cannot pass
  // for an option of the handler.
  [[maybe_unused]] const bool started =
      QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromStdString(*address)},
                              QString::fromStdString(working_folder));
}

}  // namespace trawlbox::platform
