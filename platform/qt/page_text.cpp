#include "platform/qt/page_text.h"

#include <QByteArrayView>
#include <QString>
#include <QStringConverter>
#include <QStringDecoder>
#include <algorithm>
#include <optional>

namespace trawlbox::platform {

namespace {

// How much of a page is searched for its own <meta> charset; pages declare it in their head.
constexpr qsizetype kMetaSniffBytes = 4096;

bool IsCharsetNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == ':';
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The charset name that follows "charset" at `pos` ("charset=utf-8", "charset = 'sjis'"), empty
// when no "=" follows.
QByteArray CharsetValueAt(QByteArrayView text, qsizetype pos) {
  qsizetype i = pos + static_cast<qsizetype>(sizeof("charset") - 1);
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i >= text.size() || text[i] != '=') return {};
  ++i;
  while (i < text.size() && (IsBlank(text[i]) || text[i] == '"' || text[i] == '\'')) ++i;
  const qsizetype start = i;
  while (i < text.size() && IsCharsetNameChar(text[i])) ++i;
  return text.sliced(start, i - start).toByteArray();
}

QByteArray CharsetFromContentType(const QByteArray& content_type) {
  const QByteArray lowered = content_type.toLower();
  const qsizetype at = lowered.indexOf("charset");
  return at < 0 ? QByteArray() : CharsetValueAt(content_type, at);
}

// The charset a page names in a <meta charset> or <meta http-equiv ... content="...; charset=">
// tag near its start.
QByteArray CharsetFromMeta(const QByteArray& body) {
  const QByteArray head = body.first(std::min(body.size(), kMetaSniffBytes)).toLower();
  qsizetype from = 0;
  while (true) {
    const qsizetype tag = head.indexOf("<meta", from);
    if (tag < 0) return {};
    qsizetype tag_end = head.indexOf('>', tag);
    if (tag_end < 0) tag_end = head.size();
    const QByteArrayView tag_text = QByteArrayView(head).sliced(tag, tag_end - tag);
    const qsizetype at = tag_text.indexOf(QByteArrayView("charset"));
    if (at >= 0) {
      QByteArray name = CharsetValueAt(tag_text, at);
      if (!name.isEmpty()) return name;
    }
    from = tag_end;
  }
}

// A charset the decoder does not know counts as none, so the page's own clues still decide.
QStringDecoder DecoderFor(const QByteArray& body, const QByteArray& content_type) {
  const QByteArray declared = CharsetFromContentType(content_type);
  if (!declared.isEmpty()) {
    QStringDecoder decoder(declared.constData());
    if (decoder.isValid()) return decoder;
  }
  if (const std::optional<QStringConverter::Encoding> bom =
          QStringConverter::encodingForData(body)) {
    return QStringDecoder(*bom);
  }
  const QByteArray meta = CharsetFromMeta(body);
  if (!meta.isEmpty()) {
    QStringDecoder decoder(meta.constData());
    if (decoder.isValid()) return decoder;
  }
  return QStringDecoder(QStringConverter::Utf8);
}

bool IsUtf8(const QStringDecoder& decoder) {
  return qstrcmp(decoder.name(), QStringConverter::nameForEncoding(QStringConverter::Utf8)) == 0;
}

}  // namespace

// A page is nearly always UTF-8 already: then it is handed on as it is, less
// the byte-order mark the decoder would drop, and never held a second time. Otherwise only the
// decoded text outlives the decoding, and the raw bytes go before it is re-encoded.
QByteArray ToUtf8Text(QByteArray body, const QByteArray& content_type) {
  QStringDecoder decoder = DecoderFor(body, content_type);
  if (IsUtf8(decoder) && body.isValidUtf8()) {
    if (body.startsWith("\xEF\xBB\xBF")) body.remove(0, 3);
    return body;
  }
  QString text = decoder.decode(body);
  body = QByteArray();
  return text.toUtf8();
}

}  // namespace trawlbox::platform
