#include "tests/support/test_site_wire.h"

#include <charconv>

namespace trawlbox::testing {

namespace {

// The netstring at the front of `text`: its content and where the next one starts.
std::optional<std::pair<std::string_view, std::size_t>> Netstring(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  std::size_t length = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + colon, length);
  if (error != std::errc() || end != text.data() + colon) return std::nullopt;
  if (text.size() - colon - 1 < length + 1) return std::nullopt;
  if (text[colon + 1 + length] != ',') return std::nullopt;
  return std::pair(text.substr(colon + 1, length), colon + 2 + length);
}

}  // namespace

WireWriter& WireWriter::Field(std::string_view field) {
  text_ += FrameMessage(field);
  return *this;
}

WireWriter& WireWriter::Number(std::int64_t number) { return Field(std::to_string(number)); }

WireWriter& WireWriter::Reply(const TestReply& reply) {
  Number(reply.status).Field(reply.body).Number(static_cast<std::int64_t>(reply.headers.size()));
  for (const auto& [name, value] : reply.headers) Field(name).Field(value);
  return Number(reply.content_length.value_or(-1))
      .Number(reply.delay_before_headers_ms)
      .Number(static_cast<std::int64_t>(reply.mode))
      .Number(reply.trickle_interval_ms);
}

WireWriter& WireWriter::Requests(const std::vector<RecordedRequest>& requests) {
  Number(static_cast<std::int64_t>(requests.size()));
  for (const RecordedRequest& request : requests) {
    Field(request.method)
        .Field(request.path)
        .Number(static_cast<std::int64_t>(request.headers.size()));
    for (const auto& [name, value] : request.headers) Field(name).Field(value);
  }
  return *this;
}

std::optional<std::string> WireReader::Field() {
  const auto netstring = ok_ ? Netstring(rest_) : std::nullopt;
  ok_ = netstring.has_value();
  if (!ok_) return std::nullopt;
  std::string field(netstring->first);
  rest_.remove_prefix(netstring->second);
  return field;
}

std::optional<std::int64_t> WireReader::Number() {
  const std::optional<std::string> field = Field();
  std::int64_t number = 0;
  if (field) {
    const auto [end, error] = std::from_chars(field->data(), field->data() + field->size(), number);
    ok_ = error == std::errc() && end == field->data() + field->size();
  }
  return ok_ ? std::optional<std::int64_t>(number) : std::nullopt;
}

std::optional<TestReply> WireReader::Reply() {
  TestReply reply;
  reply.status = static_cast<int>(Number().value_or(0));
  reply.body = Field().value_or("");
  const std::int64_t headers = Number().value_or(0);
  for (std::int64_t i = 0; ok_ && i < headers; ++i) {
    std::string name = Field().value_or("");
    reply.headers.emplace_back(std::move(name), Field().value_or(""));
  }
  const std::int64_t length = Number().value_or(-1);
  if (length >= 0) reply.content_length = length;
  reply.delay_before_headers_ms = static_cast<int>(Number().value_or(0));
  reply.mode = static_cast<TestReply::Mode>(Number().value_or(0));
  reply.trickle_interval_ms = static_cast<int>(Number().value_or(0));
  return ok_ ? std::optional<TestReply>(std::move(reply)) : std::nullopt;
}

std::optional<std::vector<RecordedRequest>> WireReader::Requests() {
  std::vector<RecordedRequest> requests;
  const std::int64_t count = Number().value_or(0);
  for (std::int64_t i = 0; ok_ && i < count; ++i) {
    RecordedRequest request;
    request.method = Field().value_or("");
    request.path = Field().value_or("");
    const std::int64_t headers = Number().value_or(0);
    for (std::int64_t k = 0; ok_ && k < headers; ++k) {
      std::string name = Field().value_or("");
      request.headers.emplace_back(std::move(name), Field().value_or(""));
    }
    requests.push_back(std::move(request));
  }
  return ok_ ? std::optional(std::move(requests)) : std::nullopt;
}

std::optional<std::string> TakeMessage(std::string& buffer) {
  const auto netstring = Netstring(buffer);
  if (!netstring) return std::nullopt;
  std::string message(netstring->first);
  buffer.erase(0, netstring->second);
  return message;
}

std::string FrameMessage(std::string_view message) {
  std::string framed = std::to_string(message.size());
  framed += ':';
  framed += message;
  framed += ',';
  return framed;
}

}  // namespace trawlbox::testing
