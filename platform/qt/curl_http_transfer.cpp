#include "platform/qt/curl_http_transfer.h"

#include <QString>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "platform/qt/page_text.h"

namespace trawlbox::platform {

namespace {

bool IsWebScheme(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  return scheme == QStringLiteral("http") || scheme == QStringLiteral("https");
}

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U; }

}  // namespace

CurlHttpTransfer::CurlHttpTransfer(CurlMultiLoop& loop, HttpTransferLimits limits,
                                   std::string ca_file)
    : limits_(limits),
      options_{.stall_timeout = limits.stall_timeout,
               .total_timeout = limits.total_timeout,
               .max_redirects = limits.max_redirects,
               .unpack = true,
               .max_announced_bytes = 0,
               .ca_file = std::move(ca_file)},
      request_(loop) {}

bool CurlHttpTransfer::Execute(const std::string& url, const std::string& operation,
                               const std::string& request_header) {
  request_.Cancel();
  body_ = QByteArray();
  text_ = QByteArray();
  read_offset_ = 0;
  cut_ = false;
  state_ = State::kIdle;
  if (shut_down_ || operation != "GET") return false;

  const QUrl target(QString::fromStdString(url), QUrl::StrictMode);
  if (!target.isValid() || !IsWebScheme(target) || target.host().isEmpty()) return false;

  const std::size_t split = request_header.find(": ");
  if (split == std::string::npos || split == 0 ||
      request_header.find_first_of("\r\n") != std::string::npos) {
    return false;
  }

  if (!request_.Start(target.toEncoded().toStdString(), {request_header}, options_, *this)) {
    return false;
  }
  state_ = State::kExecuting;
  return true;
}

bool CurlHttpTransfer::StillExecuting() const { return state_ == State::kExecuting; }

bool CurlHttpTransfer::GetChunk(std::size_t max_bytes, std::string& chunk) {
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

void CurlHttpTransfer::Abort() {
  shut_down_ = true;
  request_.Cancel();
  Fail();
}

bool CurlHttpTransfer::OnBody(const char* data, std::size_t size) {
  const auto room = static_cast<std::size_t>(limits_.max_body_bytes - body_.size());
  body_.append(data, static_cast<qsizetype>(std::min(size, room)));
  cut_ = size > room;
  return !cut_;
}

// A body cut at the size limit ends the request with a write error, and is a page all the same.
void CurlHttpTransfer::OnEnd(CURLcode result) {
  if (result != CURLE_OK && !(cut_ && result == CURLE_WRITE_ERROR)) {
    Fail();
    return;
  }
  text_ = ToUtf8Text(std::exchange(body_, QByteArray()),
                     QByteArray::fromStdString(request_.ContentType()));
  read_offset_ = 0;
  state_ = State::kDone;
}

void CurlHttpTransfer::Fail() {
  body_ = QByteArray();
  text_ = QByteArray();
  read_offset_ = 0;
  state_ = State::kFailed;
}

}  // namespace trawlbox::platform
