#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_site.h"

namespace trawlbox::testing {

// The messages between a Windows test and the test server that runs beside it as a Linux
// process: each a sequence of netstrings ("5:hello,"), which carry any bytes.
class WireWriter {
 public:
  WireWriter& Field(std::string_view field);
  WireWriter& Number(std::int64_t number);
  WireWriter& Reply(const TestReply& reply);
  WireWriter& Requests(const std::vector<RecordedRequest>& requests);
  [[nodiscard]] const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// Reads what a WireWriter wrote, field by field; every read fails once one has failed.
class WireReader {
 public:
  explicit WireReader(std::string_view text) : rest_(text) {}

  [[nodiscard]] std::optional<std::string> Field();
  [[nodiscard]] std::optional<std::int64_t> Number();
  [[nodiscard]] std::optional<TestReply> Reply();
  [[nodiscard]] std::optional<std::vector<RecordedRequest>> Requests();
  // True when everything was read and nothing failed.
  [[nodiscard]] bool AtEnd() const { return ok_ && rest_.empty(); }

 private:
  std::string_view rest_;
  bool ok_ = true;
};

// A whole message, framed as one netstring, cut from the front of `buffer`; nothing, leaving
// `buffer` alone, while it is incomplete.
[[nodiscard]] std::optional<std::string> TakeMessage(std::string& buffer);
[[nodiscard]] std::string FrameMessage(std::string_view message);

}  // namespace trawlbox::testing
