#include "platform/http/download_receipt.h"

namespace trawlbox::platform {

namespace {

bool IsSuccessStatus(long status) { return status >= 200 && status < 300; }

}  // namespace

DownloadReceipt::DownloadReceipt(std::int64_t max_bytes, TargetFile& file)
    : max_bytes_(max_bytes), file_(file) {}

bool DownloadReceipt::OnHeaders(long status, std::optional<std::int64_t> announced_length) {
  if (headers_accepted_) return *headers_accepted_;
  if (!IsSuccessStatus(status)) {
    Decide(kErrorStatus);
  } else if (announced_length && *announced_length > max_bytes_) {
    Decide(kTooLarge);
  }
  headers_accepted_ = !result_;
  return *headers_accepted_;
}

bool DownloadReceipt::OnBody(std::string_view piece) {
  if (result_ || !headers_accepted_.value_or(false)) return false;
  if (written_ + static_cast<std::int64_t>(piece.size()) > max_bytes_) {
    Decide(kTooLarge);
  } else if (!file_.Write(piece.data(), piece.size())) {
    Decide(kCannotWrite);
  } else {
    written_ += static_cast<std::int64_t>(piece.size());
  }
  return !result_;
}

void DownloadReceipt::End(std::optional<DownloadResult> failure) {
  if (result_) return;
  if (failure) {
    Decide(*failure);
  } else if (!headers_accepted_) {
    Decide(kNetworkError);
  } else {
    Decide(file_.Commit() ? kSaved : kCannotWrite);
  }
}

std::optional<DownloadResult> DownloadReceipt::Result() const { return result_; }

// The first result stands: a failure that follows a refusal (curl's write error, a closed
// handle) says nothing new.
void DownloadReceipt::Decide(DownloadResult result) {
  if (result_) return;
  result_ = result;
  if (result != kSaved) file_.Discard();
}

}  // namespace trawlbox::platform
