#pragma once

#include <algorithm>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/http_transfer.h"

namespace trawlbox::testing {

// Serves scripted pages by URL and records every request. A URL without a page fails the way a
// network failure does: the request ends and nothing can be read.
class ScriptedTransfer : public platform::HttpTransfer {
 public:
  struct Request {
    std::string url;
    std::string operation;
    std::string header;
  };

  bool Execute(const std::string& url, const std::string& operation,
               const std::string& request_header) override {
    requests.push_back({url, operation, request_header});
    const auto page = pages.find(url);
    body_ = page == pages.end() ? std::nullopt : std::optional<std::string>(page->second);
    offset_ = 0;
    polls_left_ = busy_polls;
    return !refuse_requests;
  }

  bool StillExecuting() const override {
    ++polls;
    if (polls_left_ == 0) return false;
    --polls_left_;
    return true;
  }

  bool GetChunk(std::size_t max_bytes, std::string& chunk) override {
    ++reads;
    chunk.clear();
    if (!body_ || reads == failing_read) return false;
    chunk = body_->substr(offset_, max_bytes);
    offset_ += chunk.size();
    return true;
  }

  void DropPendingRepeat() override { ++dropped_repeats; }

  [[nodiscard]] std::vector<std::string> RequestedUrls() const {
    std::vector<std::string> urls;
    for (const Request& r : requests) urls.push_back(r.url);
    return urls;
  }

  std::map<std::string, std::string> pages;
  // How often StillExecuting answers true after each Execute.
  int busy_polls = 2;
  bool refuse_requests = false;
  // The GetChunk call (counted over the transfer's life, from 1) that fails; 0 for none.
  int failing_read = 0;

  std::vector<Request> requests;
  mutable int polls = 0;
  int reads = 0;
  int dropped_repeats = 0;

 private:
  std::optional<std::string> body_;
  std::size_t offset_ = 0;
  mutable int polls_left_ = 0;
};

}  // namespace trawlbox::testing
