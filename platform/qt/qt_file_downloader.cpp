#include "platform/qt/qt_file_downloader.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/qt/target_file.h"
#include "platform/user_agent.h"

namespace trawlbox::platform {

namespace {

enum Result : int {
  kSaved = 0,
  kNotWebUrl,
  kCannotWrite,
  kBusy,
  kNetworkError,
  kErrorStatus,
  kBadRedirect,
  kStalled,
  kTimedOut,
  kAborted,
  kIncomplete,
  kTooLarge,
};

bool IsWebUrl(const QUrl& url) {
  const QString scheme = url.scheme();
  return url.isValid() && !url.host().isEmpty() &&
         (scheme == QStringLiteral("http") || scheme == QStringLiteral("https"));
}

// The name and the value of the shared "Name: value" User-Agent header.
QByteArray UserAgentName() {
  const std::string_view header = kUserAgentHeader;
  return QByteArray::fromStdString(std::string(header.substr(0, header.find(':'))));
}

QByteArray UserAgentValue() {
  const std::string_view header = kUserAgentHeader;
  return QByteArray::fromStdString(std::string(header.substr(header.find(':') + 1))).trimmed();
}

bool IsRedirectStatus(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool IsInputEvent(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

// For as long as it lives, keeps mouse, keyboard and other input away from the program's windows
// and hands it back, in order, when it goes: no handler then runs in the middle of a transfer,
// while painting and the window manager's close request still get through.
class InputHold : public QObject {
 public:
  InputHold() { QCoreApplication::instance()->installEventFilter(this); }
  ~InputHold() override {
    QCoreApplication::instance()->removeEventFilter(this);
    for (auto& [receiver, event] : held_) {
      if (receiver) QCoreApplication::postEvent(receiver, event.release());
    }
  }
  InputHold(const InputHold&) = delete;
  InputHold& operator=(const InputHold&) = delete;

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    // Input reaches a window before its widgets; an input method talks to the focus widget.
    const bool addressed_to_window =
        receiver->isWindowType() || event->type() == QEvent::InputMethod;
    if (!addressed_to_window || !IsInputEvent(event->type())) return false;
    // A posted key press asks for its shortcut again, so the override query is not kept; it is
    // answered "taken" so that no shortcut fires now (a dialog opened here would wait for input
    // that is held back).
    if (event->type() != QEvent::ShortcutOverride) {
      held_.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
    }
    event->accept();
    return true;
  }

 private:
  std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held_;
};

}  // namespace

// One call of DownloadToFile: the requests along the redirects, written into one target file.
class QtFileDownloader::Transfer {
 public:
  Transfer(QNetworkAccessManager& network, const QtDownloadLimits& limits, TargetFile& file)
      : network_(network), limits_(limits), file_(file) {
    for (QTimer* timer : {&stall_timer_, &total_timer_}) {
      timer->setSingleShot(true);
    }
    stall_timer_.setInterval(limits_.stall_timeout);
    total_timer_.setInterval(limits_.total_timeout);
    QObject::connect(&stall_timer_, &QTimer::timeout, &loop_, [this] { Finish(kStalled); });
    QObject::connect(&total_timer_, &QTimer::timeout, &loop_, [this] { Finish(kTimedOut); });
  }

  ~Transfer() { delete reply_; }
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  int Run(const QUrl& url) {
    total_timer_.start();
    Start(url);
    if (!result_) loop_.exec();
    return *result_;
  }

  void Abort() { Finish(kAborted); }

 private:
  void Start(const QUrl& url) {
    url_ = url;
    QNetworkRequest request(url);
    request.setRawHeader(UserAgentName(), UserAgentValue());
    // Asking for the plain body keeps Qt from unpacking it: the file gets the bytes as sent.
    request.setRawHeader(QByteArrayLiteral("Accept-Encoding"), QByteArrayLiteral("identity"));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    reply_ = network_.get(request);
    QObject::connect(reply_, &QNetworkReply::metaDataChanged, &loop_,
                     [this] { stall_timer_.start(); });
    QObject::connect(reply_, &QNetworkReply::readyRead, &loop_, [this] { OnReadyRead(); });
    QObject::connect(reply_, &QNetworkReply::finished, &loop_, [this] { OnFinished(); });
    stall_timer_.start();
  }

  [[nodiscard]] int Status() const {
    return reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  }

  void OnReadyRead() {
    stall_timer_.start();
    const QByteArray data = reply_->readAll();
    // Only a success carries the file; the body of a redirect or an error page is dropped.
    const int status = Status();
    if (status < 200 || status >= 300) return;
    if (written_ + data.size() > limits_.max_file_bytes) {
      Finish(kTooLarge);
      return;
    }
    if (!file_.Write(data.constData(), static_cast<std::size_t>(data.size()))) {
      Finish(kCannotWrite);
      return;
    }
    written_ += data.size();
  }

  void OnFinished() {
    if (result_) return;
    const int status = Status();
    if (IsRedirectStatus(status)) {
      FollowRedirect();
      return;
    }
    if (status >= 400) {
      Finish(kErrorStatus);
      return;
    }
    if (reply_->error() != QNetworkReply::NoError) {
      Finish(kNetworkError);
      return;
    }
    if (status < 200 || status >= 300) {
      Finish(kErrorStatus);
      return;
    }
    OnReadyRead();
    if (result_) return;
    const QVariant announced = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (announced.isValid() && announced.toLongLong() != written_) {
      Finish(kIncomplete);
      return;
    }
    Finish(file_.Commit() ? kSaved : kCannotWrite);
  }

  void FollowRedirect() {
    const QUrl location = reply_->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    const QUrl target = url_.resolved(location);
    if (++redirects_ > limits_.max_redirects || location.isEmpty() || !IsWebUrl(target)) {
      Finish(kBadRedirect);
      return;
    }
    reply_->disconnect(&loop_);
    reply_->deleteLater();
    Start(target);
  }

  // Ends the transfer with `result`; the first result stands.
  void Finish(int result) {
    if (result_) return;
    result_ = result;
    stall_timer_.stop();
    total_timer_.stop();
    if (result != kSaved) {
      file_.Discard();
      if (reply_) reply_->abort();
    }
    loop_.quit();
  }

  QNetworkAccessManager& network_;
  const QtDownloadLimits& limits_;
  TargetFile& file_;
  QEventLoop loop_;
  QTimer stall_timer_;
  QTimer total_timer_;
  QPointer<QNetworkReply> reply_;
  QUrl url_;
  int redirects_ = 0;
  qint64 written_ = 0;
  std::optional<int> result_;
};

QtFileDownloader::QtFileDownloader(QtDownloadLimits limits) : limits_(limits) {}

QtFileDownloader::~QtFileDownloader() = default;

void QtFileDownloader::Abort() {
  if (running_ != nullptr) running_->Abort();
}

int QtFileDownloader::DownloadToFile(const std::string& url, const std::string& path) {
  if (running_ != nullptr) return kBusy;
  const QUrl source(QString::fromStdString(url));
  if (!IsWebUrl(source)) return kNotWebUrl;
  TargetFile file(path);
  if (!file.Open()) return kCannotWrite;

  const InputHold input_hold;
  Transfer transfer(network_, limits_, file);
  running_ = &transfer;
  const int result = transfer.Run(source);
  running_ = nullptr;
  return result;
}

}  // namespace trawlbox::platform
