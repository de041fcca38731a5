#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "collect/page_fetcher.h"
#include "results/window_state.h"
#include "tests/platform/scratch_folder.h"
#include "tests/platform/transfer_rig.h"

#ifndef _WIN32
#include <zlib.h>

#include "tests/reliability/process_memory.h"
#endif

namespace trawlbox::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The program's limits, scaled down so that every row ends within a few seconds; what ends a
// transfer is the same as at full size.
constexpr std::int64_t kSizeLimit = 1024 * 1024;
constexpr auto kStall = 300ms;
constexpr auto kTotal = 2000ms;
constexpr int kRedirects = 10;
// However a row ends, it ends this soon after the total limit.
constexpr auto kHangMargin = 5000ms;
// A download that must end at once ends well before the total limit, where a dropped rule ends it.
constexpr auto kAtOnce = kTotal / 2;

constexpr platform::DownloadLimits kDownloadLimits{.stall_timeout = kStall,
                                                   .total_timeout = kTotal,
                                                   .max_redirects = kRedirects,
                                                   .max_file_bytes = kSizeLimit};

std::string Letters(std::int64_t length) {
  std::string body(static_cast<std::size_t>(length), '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>('a' + i % 26);
  return body;
}

TestReply Whole(int status, std::string body) {
  return {.status = status, .body = std::move(body)};
}

TestReply With(TestReply reply, std::string name, std::string value) {
  reply.headers.emplace_back(std::move(name), std::move(value));
  return reply;
}

TestReply InMode(TestReply reply, TestReply::Mode mode, int trickle_interval_ms = 1000) {
  reply.mode = mode;
  reply.trickle_interval_ms = trickle_interval_ms;
  return reply;
}

TestReply Announcing(TestReply reply, std::int64_t content_length) {
  reply.content_length = content_length;
  return reply;
}

#ifndef _WIN32
std::string Gzip(const std::string& data) {
  z_stream stream{};
  // 15 window bits plus 16: a gzip wrapper rather than a zlib one.
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) !=
      Z_OK) {
    return {};
  }
  std::string packed(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(packed.data());
  stream.avail_out = static_cast<uInt>(packed.size());
  const int result = deflate(&stream, Z_FINISH);
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  return result == Z_STREAM_END ? packed : std::string();
}
#endif

constexpr char kOldContent[] = "an older file";

// One way a server can misbehave, and what the page fetch and the download each make of it.
struct Fault {
  const char* name;
  TestReply reply;
  // What the fetch returns: the body (cut at the size limit), or the empty text on failure.
  std::string page;
  // Whether the download succeeds; on success the file holds the body exactly as sent.
  bool saved;
  // Requests the server sees, the fetch's and the download's together: one each, unless a
  // redirect is followed.
  int requests = 2;
  // The page transfer's size limit, where the row needs another than the scaled-down one.
  std::int64_t page_limit = kSizeLimit;
  // The download ends at once, long before any time limit.
  bool download_at_once = false;
  // More paths the server answers, for redirect chains, and the body of the last.
  std::vector<std::pair<std::string, TestReply>> also_served = {};
};

std::vector<Fault> Faults() {
  const std::string body = Letters(20000);
  TestReply late = Whole(200, "late");
  late.delay_before_headers_ms = 1500;
  // The headers count as an arrival: each byte then comes within the stall limit of the last.
  TestReply late_trickle = InMode(Whole(200, "abc"), TestReply::Mode::kTrickle, 200);
  late_trickle.delay_before_headers_ms = 200;
  const std::string error_page = "<html><body>gone</body></html>";
  std::vector<std::pair<std::string, TestReply>> chain;
  for (int hop = 1; hop <= kRedirects; ++hop) {
    chain.emplace_back("/h" + std::to_string(hop),
                       hop < kRedirects
                           ? With(Whole(302, "on"), "Location", "/h" + std::to_string(hop + 1))
                           : Whole(200, "arrived"));
  }
  std::vector<Fault> faults = {
      {"delay before headers past the stall limit", late, "", false},
      {"headers late, then each byte within the stall limit of the last arrival", late_trickle,
       "abc", true},
      {"one byte per interval, slower than the stall limit",
       InMode(Whole(200, "abcdef"), TestReply::Mode::kTrickle, 600), "", false},
      {"trickle that never pauses as long as the stall limit",
       InMode(Whole(200, Letters(10)), TestReply::Mode::kTrickle, 100), Letters(10), true},
      {"steady trickle past the total limit",
       InMode(Whole(200, Letters(1000)), TestReply::Mode::kTrickle, 20), "", false},
      {"connection reset mid-body", InMode(Whole(200, body), TestReply::Mode::kResetMidBody), "",
       false},
      {"endless body", InMode(Whole(200, "abcdefghijklmnopqrstuvwxyz"), TestReply::Mode::kEndless),
       Letters(kSizeLimit), false},
      {"body one byte over the size limit", Whole(200, Letters(kSizeLimit + 1)),
       Letters(kSizeLimit), false},
      {"body at the size limit", Whole(200, Letters(kSizeLimit)), Letters(kSizeLimit), true},
      {"more than the size limit announced, then a trickle",
       Announcing(InMode(Whole(200, Letters(40)), TestReply::Mode::kTrickle, 100), 2 * kSizeLimit),
       "", false, 2, kSizeLimit, true},
      {"redirect loop", With(Whole(302, "again"), "Location", "/p"), "", false,
       2 * (kRedirects + 1)},
      {"redirects up to the limit", With(Whole(302, "on"), "Location", "/h1"), "arrived", true,
       2 * (kRedirects + 1), kSizeLimit, false, chain},
      {"redirect to a local file", With(Whole(302, "moved"), "Location", "file:///etc/hostname"),
       "", false},
      {"redirect to another scheme", With(Whole(301, "moved"), "Location", "ftp://127.0.0.1/p"), "",
       false},
      {"404 with a body", Whole(404, error_page), error_page, false},
      {"500 with a body", Whole(500, error_page), error_page, false},
      {"301 without a location, with a body", Whole(301, error_page), error_page, false},
      {"300 without a location, with a body", Whole(300, error_page), error_page, false},
      {"redirect to a location holding a blank", With(Whole(302, "moved"), "Location", "/a b"), "",
       false},
      // Some servers send a file's name raw: it reaches the server percent-encoded, as from a
      // browser.
      {"redirect to a location holding raw utf-8",
       With(Whole(302, "moved"), "Location", "/移動平均.mq4"),
       "arrived",
       true,
       4,
       kSizeLimit,
       false,
       {{"/%E7%A7%BB%E5%8B%95%E5%B9%B3%E5%9D%87.mq4", Whole(200, "arrived")}}},
      {"error page trickling past the total limit",
       InMode(Whole(404, Letters(40)), TestReply::Mode::kTrickle, 100), "", false, 2, kSizeLimit,
       true},
      {"body shorter than its Content-Length", Announcing(Whole(200, "0123456789"), 5000), "",
       false},
      {"body longer than its Content-Length", Announcing(Whole(200, "0123456789"), 4), "0123",
       true},
      {"connection closed before the headers",
       InMode(Whole(200, "unsent"), TestReply::Mode::kCloseBeforeHeaders), "", false},
      // Each broken sequence becomes U+FFFD; a character left unfinished at the very end of the
      // body is dropped by the decoder.
      {"invalid utf-8",
       With(Whole(200, "a\xff\xfe\xc3(b\xe3\x81"), "Content-Type", "text/html; charset=utf-8"),
       "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD(b", true},
      {"body declared as Shift_JIS",
       With(Whole(200, "\x88\xDA\x93\xAE\x95\xBD\x8B\xCF\x90\xFC EA"), "Content-Type",
            "text/html; charset=Shift_JIS"),
       "移動平均線 EA", true},
  };
#ifndef _WIN32
  // Wine's WinHTTP refuses to unpack, so there a packed page arrives as sent.
  faults.push_back(
      {"gzip body inflating past the size limit",
       With(Whole(200, Gzip(std::string(8 * kSizeLimit, 'a'))), "Content-Encoding", "gzip"),
       std::string(kSizeLimit, 'a'), true});
  // Unpacked however far it inflates, up to the size limit: here the program's own 64 MiB.
  faults.push_back(
      {"gzip bomb under the program's own size limit",
       With(Whole(200, Gzip(std::string(32 * 1024 * 1024, 'a'))), "Content-Encoding", "gzip"),
       std::string(32 * 1024 * 1024, 'a'), true, 2, 64 * 1024 * 1024});
#endif
  return faults;
}

// What a successful download holds: the body of the final answer, up to the length announced.
std::string SavedBody(const Fault& fault) {
  const TestReply& reply =
      fault.also_served.empty() ? fault.reply : fault.also_served.back().second;
  const auto length = static_cast<std::size_t>(std::min<std::int64_t>(
      static_cast<std::int64_t>(reply.body.size()),
      reply.content_length.value_or(static_cast<std::int64_t>(reply.body.size()))));
  return reply.body.substr(0, length);
}

// Memory stays bounded however a row ends: measured as growth, not as the process's total,
// because a sanitizer's allocator keeps what earlier rows freed.
class MemoryBound {
 public:
#ifndef _WIN32
  MemoryBound() {
    if (!ResetPeakMemory()) ADD_FAILURE() << "the peak resident memory cannot be reset";
    start_ = ResidentMemoryBytes();
  }
  void Check() const {
    // Far above what the test itself needs, far below what a body held whole would take.
    constexpr qint64 kRowMemoryBound = 256 * 1024 * 1024;
    EXPECT_LT(PeakMemoryBytes() - start_, kRowMemoryBound) << PeakMemoryText().toStdString();
  }

 private:
  qint64 start_ = 0;
#else
  // Windows offers no reset of the peak working set, so a row cannot be measured on its own.
  void Check() const {}
#endif
};

// Every way a server can misbehave, each met by the page fetch (FetchPage over the transfer) and
// by the download: what each delivers, that neither outlasts its time limits, that memory stays
// bounded, and that a failed download leaves the folder as it was.
TEST(FaultMatrix, EachFaultEndsAsStated) {
  for (const Fault& fault : Faults()) {
    SCOPED_TRACE(fault.name);
    TransferRig rig;
    const auto site = rig.Site();
    site->Serve("/p", fault.reply);
    for (const auto& [path, reply] : fault.also_served) site->Serve(path, reply);
    const std::string url = site->Url("/p");

    {
      const MemoryBound memory;
      const auto start = Clock::now();
      const auto transfer = rig.Transfer({.stall_timeout = kStall,
                                          .total_timeout = kTotal,
                                          .max_body_bytes = fault.page_limit,
                                          .max_redirects = kRedirects});
      const results::WindowState state;
      const std::string fetched = collect::FetchPage(url, *transfer, rig.Events(), state);
      EXPECT_EQ(fetched.size(), fault.page.size());
      EXPECT_TRUE(fetched == fault.page);
      EXPECT_LT(Clock::now() - start, kTotal + kHangMargin);
      memory.Check();
    }

    const ScratchFolder folder;
    folder.Write("ea.mq4", kOldContent);
    const MemoryBound memory;
    const auto start = Clock::now();
    const int result =
        rig.Downloader(kDownloadLimits)->DownloadToFile(url, folder.PathOf("ea.mq4"));
    EXPECT_LT(Clock::now() - start, fault.download_at_once ? kAtOnce : kTotal + kHangMargin);
    memory.Check();
    EXPECT_EQ(result == 0, fault.saved);
    EXPECT_TRUE(folder.Read("ea.mq4") == (fault.saved ? SavedBody(fault) : kOldContent));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"ea.mq4"});
    EXPECT_EQ(static_cast<int>(site->Requests().size()), fault.requests);
  }
}

// https only from a server whose certificate the trusted authority signed for the name it is
// reached by, directly or through a redirect from http.
TEST(FaultMatrix, HttpsDeliversOnlyFromAVerifiedServer) {
  struct Case {
    const char* name;
    TestScheme scheme;
    bool via_http;
    bool trusted;
  };
  const Case cases[] = {
      {"signed by the trusted authority", TestScheme::kHttpsSignedByTestCa, false, true},
      {"redirected there from http", TestScheme::kHttpsSignedByTestCa, true, true},
      {"self-signed", TestScheme::kHttpsSelfSigned, false, false},
      {"signed for another name", TestScheme::kHttpsSignedForAnotherName, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    const auto https = rig.Site(c.scheme);
    https->Serve("/p", Whole(200, "secure"));
    const auto http = rig.Site();
    http->Serve("/p", With(Whole(302, "moved"), "Location", https->Url("/p")));
    const std::string url = (c.via_http ? *http : *https).Url("/p");

    // What is judged here is the certificate, not the time: a handshake on a busy machine (under
    // Wine above all) may well take longer than the matrix's scaled-down stall limit.
    const auto transfer =
        rig.Transfer({.stall_timeout = kTotal, .total_timeout = kTotal}, TestCaFile());
    const results::WindowState state;
    EXPECT_EQ(collect::FetchPage(url, *transfer, rig.Events(), state), c.trusted ? "secure" : "");

    const ScratchFolder folder;
    const int result =
        rig.Downloader({.stall_timeout = kTotal, .total_timeout = kTotal}, TestCaFile())
            ->DownloadToFile(url, folder.PathOf("ea.mq4"));
    EXPECT_EQ(result == 0, c.trusted);
    EXPECT_EQ(folder.Entries(),
              c.trusted ? std::vector<std::string>{"ea.mq4"} : std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace trawlbox::testing
