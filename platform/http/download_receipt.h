#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/files/target_file.h"

namespace trawlbox::platform {

// How one download ended; DownloadToFile returns it, kSaved (0) alone meaning a saved file.
enum DownloadResult : int {
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

// What one download has received, whatever HTTP stack fetched it: only the body of a final 2xx
// answer, at most the size limit, written to the target file, which is committed only when the
// whole answer arrived. The first result decided stands; every other one leaves no file.
class DownloadReceipt {
 public:
  // `file` must be open and outlive the receipt.
  DownloadReceipt(std::int64_t max_bytes, TargetFile& file);

  // The final answer's status and the body length it announces (nothing when none). False, with
  // the result decided, when the download has failed already: a status other than 2xx (an error
  // page is never written) or a length over the limit (refused before a byte of it arrives).
  // Only the first call counts: later ones return what it returned.
  [[nodiscard]] bool OnHeaders(long status, std::optional<std::int64_t> announced_length);
  // Writes the next piece of the body, which follows OnHeaders. False, with the result decided,
  // when the body grows over the limit or the file refuses it: the transfer should end.
  [[nodiscard]] bool OnBody(std::string_view piece);
  // The transfer has ended: with `failure`, or with nothing when the whole answer arrived, in
  // which case the file is committed (an answer whose headers were never told fails).
  void End(std::optional<DownloadResult> failure);

  // The result, once decided.
  [[nodiscard]] std::optional<DownloadResult> Result() const;

 private:
  void Decide(DownloadResult result);

  std::int64_t max_bytes_;
  TargetFile& file_;
  std::optional<bool> headers_accepted_;
  std::int64_t written_ = 0;
  std::optional<DownloadResult> result_;
};

}  // namespace trawlbox::platform
