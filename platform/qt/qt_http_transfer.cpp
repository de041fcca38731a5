#include "platform/qt/qt_http_transfer.h"

#include <QByteArrayView>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QString>
#include <QStringConverter>
#include <QStringDecoder>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <optional>

namespace trawlbox::platform {

namespace {

// How much of a page is searched for its own <meta> charset; pages declare it in their head.
constexpr qsizetype kMetaSniffBytes = 4096;

// Left unbounded, Qt keeps receiving into its own buffers ahead of the reads, on loopback a hundred
// megabytes and more for a large page; bounded, it waits for them.
constexpr qint64 kReadBufferBytes = 1024 * 1024;

bool IsWebScheme(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  return scheme == QStringLiteral("http") || scheme == QStringLiteral("https");
}

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U; }

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

QStringDecoder DecoderFor(const QByteArray& body, const QByteArray& content_type) {
  const QByteArray declared = CharsetFromContentType(content_type);
  if (!declared.isEmpty()) {
    QStringDecoder decoder(declared.constData());
    return decoder.isValid() ? std::move(decoder) : QStringDecoder(QStringConverter::Utf8);
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

// `body` as UTF-8 text. A page is nearly always UTF-8 already: then it is handed on as it is, less
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

bool IsRedirectStatus(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Qt reports an answer with an HTTP error status as one of these errors; the answer is still a
// page to deliver. Every other error means the answer never arrived whole.
bool IsHttpStatusError(QNetworkReply::NetworkError error) {
  return (error >= QNetworkReply::ContentAccessDenied &&
          error <= QNetworkReply::UnknownContentError) ||
         error == QNetworkReply::ProtocolInvalidOperationError ||
         (error >= QNetworkReply::InternalServerError &&
          error <= QNetworkReply::UnknownServerError);
}

// True when the body received falls short of the Content-Length announced. A compressed body is
// announced by its compressed size, which Qt does not show, so it is not measured.
bool ShorterThanAnnounced(const QNetworkReply& reply, int status, qint64 received) {
  if (status == 204 || status == 304 || reply.hasRawHeader("Content-Encoding")) return false;
  bool known = false;
  const qint64 announced = reply.rawHeader("Content-Length").trimmed().toLongLong(&known);
  return known && received < announced;
}

// What `reply` holds, at most `room` bytes. Asked for more than it holds, Qt allocates a buffer of
// the full size first, which for the body limit is tens of megabytes on every read.
QByteArray ReadAvailable(QNetworkReply& reply, qint64 room) {
  return reply.read(std::min(std::max<qint64>(0, room), reply.bytesAvailable()));
}

}  // namespace

QtHttpTransfer::QtHttpTransfer(QtHttpTransferLimits limits) : limits_(limits) {
  // Redirects are followed here rather than by Qt, so every hop is checked the same way.
  manager_.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
  manager_.setAutoDeleteReplies(false);
  stall_timer_.setSingleShot(true);
  stall_timer_.setInterval(limits_.stall_timeout);
  total_timer_.setSingleShot(true);
  total_timer_.setInterval(limits_.total_timeout);
  QObject::connect(&stall_timer_, &QTimer::timeout, &stall_timer_, [this] { Fail(); });
  QObject::connect(&total_timer_, &QTimer::timeout, &total_timer_, [this] { Fail(); });
}

QtHttpTransfer::~QtHttpTransfer() { DropReply(); }

bool QtHttpTransfer::Execute(const std::string& url, const std::string& operation,
                             const std::string& request_header) {
  DropReply();
  stall_timer_.stop();
  total_timer_.stop();
  body_.clear();
  text_.clear();
  read_offset_ = 0;
  state_ = State::kIdle;
  if (shut_down_ || operation != "GET") return false;

  const QUrl target(QString::fromStdString(url), QUrl::StrictMode);
  if (!target.isValid() || !IsWebScheme(target) || target.host().isEmpty()) return false;

  const std::size_t split = request_header.find(": ");
  if (split == std::string::npos || split == 0 ||
      request_header.find_first_of("\r\n") != std::string::npos) {
    return false;
  }

  header_name_ = QByteArray::fromStdString(request_header.substr(0, split));
  header_value_ = QByteArray::fromStdString(request_header.substr(split + 2));
  redirects_left_ = limits_.max_redirects;
  state_ = State::kExecuting;
  total_timer_.start();
  Send(target);
  return true;
}

void QtHttpTransfer::Send(const QUrl& target) {
  QNetworkRequest request(target);
  // Set as the raw header, it is the only User-Agent Qt sends.
  request.setRawHeader(header_name_, header_value_);
  request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
  request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);

  QNetworkReply* reply = manager_.get(request);
  reply->setReadBufferSize(kReadBufferBytes);
  reply_ = reply;
  broken_ = false;
  QObject::connect(reply, &QNetworkReply::readyRead, &manager_, [this] { OnReadyRead(); });
  QObject::connect(reply, &QNetworkReply::metaDataChanged, &manager_,
                   [this] { stall_timer_.start(); });
  QObject::connect(reply, &QNetworkReply::downloadProgress, &manager_,
                   [this] { stall_timer_.start(); });
  // Qt may report an error page cut short by its HTTP status alone; the network error that cut it
  // comes through here.
  QObject::connect(reply, &QNetworkReply::errorOccurred, &manager_,
                   [this](QNetworkReply::NetworkError error) {
                     if (!IsHttpStatusError(error)) broken_ = true;
                   });
  QObject::connect(reply, &QNetworkReply::finished, &manager_, [this] { OnFinished(); });
  stall_timer_.start();
}

bool QtHttpTransfer::StillExecuting() const { return state_ == State::kExecuting; }

bool QtHttpTransfer::GetChunk(std::size_t max_bytes, std::string& chunk) {
  chunk.clear();
  if (state_ != State::kDone) return false;
  const auto size = static_cast<std::size_t>(text_.size());
  if (read_offset_ >= size) return true;
  std::size_t end = std::min(size, read_offset_ + max_bytes);
  if (end < size) {
    while (end > read_offset_ && IsUtf8Continuation(text_[static_cast<qsizetype>(end)])) --end;
    if (end == read_offset_) {
      // Smaller than one character: hand out that character whole.
      ++end;
      while (end < size && IsUtf8Continuation(text_[static_cast<qsizetype>(end)])) ++end;
    }
  }
  chunk.assign(text_.constData() + read_offset_, end - read_offset_);
  read_offset_ = end;
  if (read_offset_ == size) {
    // Read whole: the page lives on with the reader, so the transfer lets its copy go.
    text_ = QByteArray();
    read_offset_ = 0;
  }
  return true;
}

void QtHttpTransfer::Abort() {
  shut_down_ = true;
  Fail();
}

void QtHttpTransfer::OnReadyRead() {
  if (!reply_) return;
  stall_timer_.start();
  body_.append(ReadAvailable(*reply_, limits_.max_body_bytes - body_.size()));
  if (body_.size() >= limits_.max_body_bytes) {
    const QByteArray content_type = reply_->rawHeader("Content-Type");
    DropReply();
    Complete(content_type);
  }
}

void QtHttpTransfer::OnFinished() {
  if (!reply_) return;
  const QNetworkReply::NetworkError error = reply_->error();
  const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  // Qt reports a redirect status without a Location header as an empty target, which would
  // resolve to the same URL again: such an answer is a page like any other.
  const QUrl location = reply_->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
  if (error == QNetworkReply::NoError && !location.isEmpty() && IsRedirectStatus(status.toInt())) {
    const QUrl target = reply_->url().resolved(location);
    DropReply();
    if (redirects_left_ <= 0 || !target.isValid() || !IsWebScheme(target)) {
      Fail();
      return;
    }
    --redirects_left_;
    body_.clear();
    Send(target);
    return;
  }
  const bool answered = status.isValid();
  if (broken_ || (error != QNetworkReply::NoError && !(answered && IsHttpStatusError(error))) ||
      ShorterThanAnnounced(*reply_, status.toInt(), body_.size() + reply_->bytesAvailable())) {
    Fail();
    return;
  }
  body_.append(ReadAvailable(*reply_, limits_.max_body_bytes - body_.size()));
  const QByteArray content_type = reply_->rawHeader("Content-Type");
  DropReply();
  Complete(content_type);
}

void QtHttpTransfer::Complete(const QByteArray& content_type) {
  stall_timer_.stop();
  total_timer_.stop();
  text_ = ToUtf8Text(std::move(body_), content_type);
  body_ = QByteArray();
  read_offset_ = 0;
  state_ = State::kDone;
}

void QtHttpTransfer::Fail() {
  DropReply();
  stall_timer_.stop();
  total_timer_.stop();
  body_ = QByteArray();
  text_ = QByteArray();
  read_offset_ = 0;
  state_ = State::kFailed;
}

void QtHttpTransfer::DropReply() {
  if (!reply_) return;
  QNetworkReply* reply = reply_;
  reply_ = nullptr;
  QObject::disconnect(reply, nullptr, &manager_, nullptr);
  reply->abort();
  reply->deleteLater();
}

}  // namespace trawlbox::platform
