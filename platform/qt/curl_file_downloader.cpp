#include "platform/qt/curl_file_downloader.h"

#include <QEventLoop>
#include <QString>
#include <QUrl>
#include <optional>
#include <utility>

#include "platform/qt/input_hold.h"
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

bool IsSuccessStatus(long status) { return status >= 200 && status < 300; }

Result ResultOf(CURLcode failure) {
  switch (failure) {
    case CURLE_FILESIZE_EXCEEDED:
      return kTooLarge;
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return kBadRedirect;
    case CURLE_OPERATION_TIMEDOUT:
      return kTimedOut;
    case CURLE_PARTIAL_FILE:
      return kIncomplete;
    default:
      return kNetworkError;
  }
}

}  // namespace

// One call of DownloadToFile: the request, written into one target file while a nested event
// loop runs.
class CurlFileDownloader::Transfer : private CurlRequest::Receiver {
 public:
  Transfer(CurlRequest& request, qint64 max_bytes, TargetFile& file)
      : request_(request), max_bytes_(max_bytes), file_(file) {}
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  int Run(const std::string& url, const CurlRequestOptions& options) {
    if (!request_.Start(url, {kUserAgentHeader}, options, *this)) return kNetworkError;
    if (!result_) loop_.exec();
    return *result_;
  }

  void Abort() {
    request_.Cancel();
    Finish(kAborted);
  }

 private:
  // Only a success carries the file; curl drops the bodies of the redirects it follows, and an
  // error page is refused at its first byte.
  bool OnBody(const char* data, std::size_t size) override {
    if (!IsSuccessStatus(request_.Status())) {
      refused_ = kErrorStatus;
    } else if (written_ + static_cast<qint64>(size) > max_bytes_) {
      refused_ = kTooLarge;
    } else if (!file_.Write(data, size)) {
      refused_ = kCannotWrite;
    } else {
      written_ += static_cast<qint64>(size);
    }
    return !refused_;
  }

  void OnEnd(CURLcode result) override {
    if (refused_) {
      Finish(*refused_);
    } else if (result != CURLE_OK) {
      Finish(ResultOf(result));
    } else if (!IsSuccessStatus(request_.Status())) {
      Finish(kErrorStatus);
    } else {
      Finish(file_.Commit() ? kSaved : kCannotWrite);
    }
  }

  // Ends the transfer with `result`; the first result stands.
  void Finish(Result result) {
    if (result_) return;
    result_ = result;
    if (result != kSaved) file_.Discard();
    loop_.quit();
  }

  CurlRequest& request_;
  const qint64 max_bytes_;
  TargetFile& file_;
  QEventLoop loop_;
  qint64 written_ = 0;
  std::optional<Result> refused_;
  std::optional<Result> result_;
};

CurlFileDownloader::CurlFileDownloader(CurlMultiLoop& loop, DownloadLimits limits,
                                       std::string ca_file)
    : options_{.stall_timeout = limits.stall_timeout,
               .total_timeout = limits.total_timeout,
               .max_redirects = limits.max_redirects,
               .unpack = false,
               .max_announced_bytes = limits.max_file_bytes,
               .ca_file = std::move(ca_file)},
      request_(loop) {}

CurlFileDownloader::~CurlFileDownloader() = default;

void CurlFileDownloader::Abort() {
  if (running_ != nullptr) running_->Abort();
}

int CurlFileDownloader::DownloadToFile(const std::string& url, const std::string& path) {
  if (running_ != nullptr) return kBusy;
  const QUrl source(QString::fromStdString(url));
  if (!IsWebUrl(source)) return kNotWebUrl;
  TargetFile file(path);
  if (!file.Open()) return kCannotWrite;

  const InputHold input_hold;
  Transfer transfer(request_, options_.max_announced_bytes, file);
  running_ = &transfer;
  const int result = transfer.Run(source.toEncoded().toStdString(), options_);
  running_ = nullptr;
  return result;
}

}  // namespace trawlbox::platform
