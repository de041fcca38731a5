#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QtGlobal>
#include <chrono>
#include <cstddef>
#include <string>

#include "platform/http_transfer.h"

class QNetworkReply;

namespace trawlbox::platform {

// What one request may cost before the transfer gives up on it.
struct QtHttpTransferLimits {
  // A request that receives nothing for this long fails.
  std::chrono::milliseconds stall_timeout{30000};
  // A request that has not ended after this long fails.
  std::chrono::milliseconds total_timeout{120000};
  // A longer body is cut here and delivered up to this size.
  qint64 max_body_bytes = 64 * 1024 * 1024;
  // A request redirected more often than this fails.
  int max_redirects = 10;
};

// HttpTransfer over QNetworkAccessManager, for the GUI thread. Sends GET requests to http and
// https URLs only, follows redirects to http and https URLs only, and sends the request header as
// the only User-Agent. The body is collected whole, then decoded to UTF-8 from the charset the
// Content-Type header names, else a byte-order mark, else the page's own <meta> charset, else UTF-8
// (also when the named charset is unknown). A response with an HTTP error status is a response like
// any other; a request that ends in a network failure, a time-out or a body shorter than announced
// delivers nothing. No cache, no cookies, no HTTP/2.
class QtHttpTransfer : public HttpTransfer {
 public:
  explicit QtHttpTransfer(QtHttpTransferLimits limits = {});
  ~QtHttpTransfer() override;
  QtHttpTransfer(const QtHttpTransfer&) = delete;
  QtHttpTransfer& operator=(const QtHttpTransfer&) = delete;

  // False for any operation but "GET", a URL that is not a valid http or https URL, a header that
  // is not one "Name: value" line, or after Abort.
  [[nodiscard]] bool Execute(const std::string& url, const std::string& operation,
                             const std::string& request_header) override;
  [[nodiscard]] bool StillExecuting() const override;
  // False, with an empty piece, when no body can be read: nothing was started, the request is
  // still under way, or it failed.
  [[nodiscard]] bool GetChunk(std::size_t max_bytes, std::string& chunk) override;

  // Shuts the transfer down for good, as the window closes: the request in flight ends as a failed
  // one (nothing delivered) and every later Execute is refused.
  void Abort();

 private:
  enum class State { kIdle, kExecuting, kDone, kFailed };

  // Requests `target` with the header of the current Execute.
  void Send(const QUrl& target);
  void OnReadyRead();
  void OnFinished();
  // Decodes the collected body by `content_type` and what the body says, and makes it readable.
  void Complete(const QByteArray& content_type);
  void Fail();
  // Detaches from the reply in flight and cancels it, so its last signals reach nobody.
  void DropReply();

  QtHttpTransferLimits limits_;
  QNetworkAccessManager manager_;
  QPointer<QNetworkReply> reply_;
  QTimer stall_timer_;
  QTimer total_timer_;
  QByteArray header_name_;
  QByteArray header_value_;
  int redirects_left_ = 0;
  // A network error was reported for the reply in flight.
  bool broken_ = false;
  State state_ = State::kIdle;
  bool shut_down_ = false;
  QByteArray body_;
  // The decoded body as UTF-8, handed out from `read_offset_` on and released once read whole.
  QByteArray text_;
  std::size_t read_offset_ = 0;
};

}  // namespace trawlbox::platform
