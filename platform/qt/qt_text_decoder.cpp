#include "platform/qt/qt_text_decoder.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace trawlbox::platform {

std::optional<std::string> QtTextDecoder::ToUtf8(std::string_view charset,
                                                 std::string_view bytes) const {
  const QByteArray name(charset.data(), static_cast<qsizetype>(charset.size()));
  QStringDecoder decoder(name.constData());
  if (!decoder.isValid()) return std::nullopt;
  const QString text =
      decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return text.toStdString();
}

}  // namespace trawlbox::platform
