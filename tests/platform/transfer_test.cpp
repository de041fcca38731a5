#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "collect/page_fetcher.h"
#include "platform/http/user_agent.h"
#include "results/window_state.h"
#include "tests/platform/scratch_folder.h"
#include "tests/platform/transfer_rig.h"

namespace trawlbox::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr platform::HttpTransferLimits kPageLimits{.stall_timeout = 5s, .total_timeout = 10s};
constexpr platform::DownloadLimits kDownloadLimits{.stall_timeout = 5s, .total_timeout = 10s};
constexpr char kHeaderName[] = "User-Agent: ";

std::string UserAgent() {
  return std::string(platform::kUserAgentHeader).substr(sizeof kHeaderName - 1);
}

std::string AllByteValues(int times) {
  std::string bytes;
  for (int time = 0; time < times; ++time) {
    for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
  }
  return bytes;
}

TestReply Trickle(std::string body, int interval_ms) {
  return {.body = std::move(body),
          .mode = TestReply::Mode::kTrickle,
          .trickle_interval_ms = interval_ms};
}

std::string Fetch(TransferRig& rig, platform::HttpTransfer& transfer, const std::string& url) {
  const results::WindowState state;
  return collect::FetchPage(url, transfer, rig.Events(), state);
}

TEST(Transfer, SendsTheOneUserAgentAndAsksDownloadsForTheIdentityEncoding) {
  for (const bool download : {false, true}) {
    SCOPED_TRACE(download ? "download" : "page");
    TransferRig rig;
    const auto site = rig.Site();
    site->Serve("/p", {.body = "page"});
    const ScratchFolder folder;
    if (download) {
      EXPECT_EQ(
          rig.Downloader(kDownloadLimits)->DownloadToFile(site->Url("/p"), folder.PathOf("ea.mq4")),
          0);
    } else {
      EXPECT_EQ(Fetch(rig, *rig.Transfer(kPageLimits), site->Url("/p")), "page");
    }
    const std::vector<RecordedRequest> requests = site->Requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/p");
    const auto user_agents = std::count_if(
        requests[0].headers.begin(), requests[0].headers.end(), [](const auto& header) {
          std::string name = header.first;
          std::transform(name.begin(), name.end(), name.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
          return name == "user-agent";
        });
    EXPECT_EQ(user_agents, 1);
    EXPECT_EQ(requests[0].Header("User-Agent"), UserAgent());
    // A compressing server would otherwise send the file packed, and it would be saved so.
    if (download) {
      EXPECT_EQ(requests[0].Header("Accept-Encoding"), "identity");
    }
  }
}

TEST(Transfer, RefusesAnythingButAGetToAWebUrlWithOneHeaderLine) {
  struct Case {
    const char* name;
    std::string path;
    std::string operation;
    std::string header;
  };
  TransferRig rig;
  const auto site = rig.Site();
  const std::string header = platform::kUserAgentHeader;
  const Case cases[] = {
      {"post", site->Url("/p"), "POST", header},
      {"header with a line end", site->Url("/p"), "GET", header + "\r\nX-Evil: 1"},
      {"header with an empty name", site->Url("/p"), "GET", ": x"},
      {"not a web url", "ftp://127.0.0.1/p", "GET", header}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto transfer = rig.Transfer(kPageLimits);
    std::string piece = "left over";
    EXPECT_FALSE(transfer->Execute(c.path, c.operation, c.header));
    EXPECT_FALSE(transfer->StillExecuting());
    EXPECT_FALSE(transfer->GetChunk(4096, piece));
    EXPECT_TRUE(piece.empty());
  }
  EXPECT_TRUE(site->Requests().empty());
}

TEST(Transfer, AbortEndsTheRequestAndRefusesLaterOnes) {
  TransferRig rig;
  const auto site = rig.Site();
  site->Serve("/hang", {.mode = TestReply::Mode::kNeverAnswer});
  site->Serve("/p", {.body = "page"});
  const auto transfer = rig.Transfer({});  // the program's long limits: only the abort can end it
  results::WindowState state;
  // As the window does when it is closed during a run.
  rig.After(100ms, [&] {
    state.StopRequested = true;
    state.Closing = true;
    transfer->Abort();
  });
  EXPECT_EQ(collect::FetchPage(site->Url("/hang"), *transfer, rig.Events(), state), "");
  EXPECT_FALSE(transfer->StillExecuting());
  std::string piece;
  EXPECT_FALSE(transfer->GetChunk(4096, piece));
  EXPECT_FALSE(transfer->Execute(site->Url("/p"), "GET", platform::kUserAgentHeader));
}

// The same URL over plain http: the same host and port, which an https server holds.
std::string OverHttp(const std::string& https_url) {
  return "http" + https_url.substr(std::string("https").size());
}

// A page fetch, or a download whose file's content is returned: the empty text when it failed.
std::string FetchOrDownload(TransferRig& rig, bool download, const std::string& url) {
  if (!download) return Fetch(rig, *rig.Transfer(kPageLimits, TestCaFile()), url);
  const ScratchFolder folder;
  const int result =
      rig.Downloader(kDownloadLimits, TestCaFile())->DownloadToFile(url, folder.PathOf("ea.mq4"));
  return result == 0 ? folder.Read("ea.mq4") : std::string();
}

// A host that an https answer named https-only is reached over https from then on, for pages and
// downloads alike, also where a redirect points; the http URL that the server, which speaks TLS
// only, gets as sent fails.
TEST(Transfer, SendsHttpUrlsOfHostsKnownAsHttpsOnlyOverHttps) {
  struct Case {
    const char* name;
    // The Strict-Transport-Security headers of the https answers before, in order.
    std::vector<std::string> policies;
    bool via_redirect;
    bool download;
    bool upgraded;
  };
  const Case cases[] = {
      {"learned from an https answer", {"max-age=60"}, false, false, true},
      {"a download upgraded", {"max-age=60; includeSubDomains"}, false, true, true},
      {"a redirect's target upgraded", {"max-age=60"}, true, false, true},
      {"forgotten with max-age=0", {"max-age=60", "max-age=0"}, false, false, false},
      {"a malformed header ignored", {"max-age=sixty"}, false, true, false},
      {"no header", {}, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    const auto https = rig.Site(TestScheme::kHttpsSignedByTestCa);
    https->Serve("/p", {.body = "secure"});
    const auto http = rig.Site();
    http->Serve("/go", {.status = 302, .headers = {{"Location", OverHttp(https->Url("/p"))}}});
    for (const std::string& policy : c.policies) {
      https->Serve("/learn",
                   {.body = "taught", .headers = {{"Strict-Transport-Security", policy}}});
      ASSERT_EQ(Fetch(rig, *rig.Transfer(kPageLimits, TestCaFile()), https->Url("/learn")),
                "taught");
    }
    const std::string url = c.via_redirect ? http->Url("/go") : OverHttp(https->Url("/p"));
    EXPECT_EQ(FetchOrDownload(rig, c.download, url), c.upgraded ? "secure" : "");
  }
}

// The header teaches nothing over plain http, where anyone on the way could have added it: the
// host is still reached over http.
TEST(Transfer, LearnsNothingFromAnHttpAnswer) {
  TransferRig rig;
  const auto site = rig.Site();
  site->Serve("/p", {.body = "plain", .headers = {{"Strict-Transport-Security", "max-age=60"}}});
  // By name, as a site is: a host that is an IP address learns nothing anyway.
  std::string url = site->Url("/p");
  url.replace(url.find("127.0.0.1"), std::string("127.0.0.1").size(), "localhost");
  EXPECT_EQ(Fetch(rig, *rig.Transfer(kPageLimits), url), "plain");
  EXPECT_EQ(Fetch(rig, *rig.Transfer(kPageLimits), url), "plain");
  EXPECT_EQ(site->Requests().size(), 2U);
}

// A 429 or 503 whose Retry-After asks for at most a minute is asked again after that wait, up to
// three more times; any other is the answer: a page is its body, a download fails.
TEST(Transfer, ComesBackLaterWhenTheServerAsksTo) {
  struct Case {
    const char* name;
    TestReply reply;
    // The server answers with the page from this long after the first request on.
    std::optional<std::chrono::milliseconds> page_after;
    std::string page;
    std::size_t requests;
  };
  const auto busy = [](int status, std::vector<std::pair<std::string, std::string>> headers) {
    return TestReply{.status = status, .body = "busy", .headers = std::move(headers)};
  };
  const Case cases[] = {
      {"503, Retry-After in seconds", busy(503, {{"Retry-After", "1"}}), 300ms, "page", 2},
      {"429, an HTTP-date already past: three repeats, then the answer",
       busy(429, {{"Retry-After", "Sun, 06 Nov 1994 08:49:37 GMT"}}), std::nullopt, "busy", 4},
      {"503, Retry-After 0: three repeats, then the answer", busy(503, {{"Retry-After", "0"}}),
       std::nullopt, "busy", 4},
      {"503 without Retry-After", busy(503, {}), std::nullopt, "busy", 1},
      {"429 asking for more than a minute", busy(429, {{"Retry-After", "61"}}), std::nullopt,
       "busy", 1},
      {"a 500 is no request to come back", busy(500, {{"Retry-After", "0"}}), std::nullopt, "busy",
       1},
  };
  for (const Case& c : cases) {
    for (const bool download : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (download ? ", download" : ", page"));
      TransferRig rig;
      const auto site = rig.Site();
      site->Serve("/p", c.reply);
      if (c.page_after) rig.After(*c.page_after, [&] { site->Serve("/p", {.body = "page"}); });
      const std::string expected = download && c.page == "busy" ? "" : c.page;
      EXPECT_EQ(FetchOrDownload(rig, download, site->Url("/p")), expected);
      EXPECT_EQ(site->Requests().size(), c.requests);
    }
  }
}

// Nothing is on the wire while the program waits to come back, so a stop request drops the repeat
// (the page is then no page), and closing the window ends the wait at once.
TEST(Transfer, AStopOrACloseDuringTheWaitToComeBackSendsNothingMore) {
  for (const bool closing : {false, true}) {
    for (const bool download : {false, true}) {
      if (download && !closing) continue;  // the download walk tests no stop request
      SCOPED_TRACE(std::string(closing ? "closing" : "stop") + (download ? ", download" : ""));
      TransferRig rig;
      const auto site = rig.Site();
      site->Serve("/p", {.status = 503, .body = "busy", .headers = {{"Retry-After", "30"}}});
      const ScratchFolder folder;
      results::WindowState state;
      const auto transfer = rig.Transfer(kPageLimits);
      const auto downloader = rig.Downloader(kDownloadLimits);
      rig.After(200ms, [&] {
        state.StopRequested = true;
        state.Closing = closing;
        if (closing) {
          transfer->Abort();
          downloader->Abort();
        }
      });
      const auto start = std::chrono::steady_clock::now();
      if (download) {
        EXPECT_NE(downloader->DownloadToFile(site->Url("/p"), folder.PathOf("ea.mq4")), 0);
      } else {
        EXPECT_EQ(collect::FetchPage(site->Url("/p"), *transfer, rig.Events(), state), "");
      }
      EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
      EXPECT_FALSE(transfer->StillExecuting());
      EXPECT_EQ(site->Requests().size(), 1U);
      EXPECT_TRUE(folder.Entries().empty());
    }
  }
}

TEST(Download, WritesTheBodyExactlyAsReceived) {
  struct Case {
    const char* name;
    TestReply reply;
  };
  const Case cases[] = {
      {"every byte value", {.body = AllByteValues(3)}},
      {"empty body", {.body = ""}},
      {"byte-order mark and CR LF", {.body = "\xEF\xBB\xBF//+\r\n#property\r\n"}},
      {"a megabyte and one", {.body = AllByteValues(4096) + "!"}},
      {"no content", {.status = 204}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    const auto site = rig.Site();
    site->Serve("/ea.mq4", c.reply);
    const ScratchFolder folder;
    folder.Write("ea.mq4", "an older file");
    EXPECT_EQ(rig.Downloader(kDownloadLimits)
                  ->DownloadToFile(site->Url("/ea.mq4"), folder.PathOf("ea.mq4")),
              0);
    EXPECT_EQ(folder.Read("ea.mq4"), c.reply.body);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"ea.mq4"});
  }
}

// What stands at a target's name, planted before or during a download.
struct Plant {
  const char* name;
  // Puts something at `target`; `outside` holds victim.txt.
  std::function<void(const fs::path& target, const fs::path& outside)> plant;
};

// A title is chosen by the site, so whatever stands at its path in the save folder must neither be
// written through nor replaced unless it is a regular file.
std::vector<Plant> ThingsThatAreNoRegularFile() {
  std::vector<Plant> plants = {
      {"folder", [](const fs::path& target, const fs::path&) { fs::create_directory(target); }},
      {"link to a folder",
       [](const fs::path& target, const fs::path& outside) { LinkFolder(outside, target); }},
  };
#ifndef _WIN32
  // Windows shows a link to a file as such; Wine, which the Windows tests run under, shows it as
  // the file it points to, and replacing it there replaces the link, not the file.
  plants.push_back(
      {"link to a file outside the folder", [](const fs::path& target, const fs::path& outside) {
         fs::create_symlink(outside / "victim.txt", target);
       }});
  plants.push_back({"dangling link", [](const fs::path& target, const fs::path& outside) {
                      fs::create_symlink(outside / "missing.txt", target);
                    }});
  plants.push_back({"pipe", [](const fs::path& target, const fs::path&) {
                      ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
                    }});
#endif
  return plants;
}

void ExpectLeftAlone(const ScratchFolder& folder, const ScratchFolder& outside) {
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"ea.mq4"});
  EXPECT_EQ(outside.Entries(), std::vector<std::string>{"victim.txt"});
  EXPECT_EQ(outside.Read("victim.txt"), "untouched");
}

TEST(Download, LeavesAloneWhatIsNoRegularFile) {
  for (const Plant& plant : ThingsThatAreNoRegularFile()) {
    SCOPED_TRACE(plant.name);
    TransferRig rig;
    const auto site = rig.Site();
    site->Serve("/ea.mq4", {.body = "planted"});
    const ScratchFolder folder;
    const ScratchFolder outside;
    outside.Write("victim.txt", "untouched");
    plant.plant(folder.Path() / "ea.mq4", outside.Path());
    EXPECT_NE(rig.Downloader(kDownloadLimits)
                  ->DownloadToFile(site->Url("/ea.mq4"), folder.PathOf("ea.mq4")),
              0);
    ExpectLeftAlone(folder, outside);
    EXPECT_TRUE(site->Requests().empty());
  }
}

TEST(Download, FailsWhenSomethingTakesTheTargetsNameDuringTheTransfer) {
  for (const Plant& plant : ThingsThatAreNoRegularFile()) {
    SCOPED_TRACE(plant.name);
    TransferRig rig;
    const auto site = rig.Site();
    site->Serve("/ea.mq4", Trickle("abcdef", 50));
    const ScratchFolder folder;
    const ScratchFolder outside;
    outside.Write("victim.txt", "untouched");
    rig.After(100ms, [&] { plant.plant(folder.Path() / "ea.mq4", outside.Path()); });
    EXPECT_NE(rig.Downloader(kDownloadLimits)
                  ->DownloadToFile(site->Url("/ea.mq4"), folder.PathOf("ea.mq4")),
              0);
    ExpectLeftAlone(folder, outside);
  }
}

TEST(Download, FailsWhenTheSaveFolderIsMovedAwayDuringTheTransfer) {
  TransferRig rig;
  const auto site = rig.Site();
  site->Serve("/ea.mq4", Trickle("abcdef", 50));
  const ScratchFolder parent;
  const fs::path folder = parent.Path() / "EA";
  fs::create_directory(folder);
  rig.After(100ms, [&] { fs::rename(folder, parent.Path() / "moved"); });
  EXPECT_NE(rig.Downloader(kDownloadLimits)
                ->DownloadToFile(site->Url("/ea.mq4"), Utf8(folder / "ea.mq4")),
            0);
  EXPECT_FALSE(fs::exists(folder));
}

TEST(Download, RefusesAPathWithoutAFileName) {
  TransferRig rig;
  const auto site = rig.Site();
  site->Serve("/ea.mq4", {.body = "the file"});
  const ScratchFolder folder;
  EXPECT_NE(
      rig.Downloader(kDownloadLimits)->DownloadToFile(site->Url("/ea.mq4"), folder.PathOf("")), 0);
  EXPECT_TRUE(folder.Entries().empty());
  EXPECT_TRUE(site->Requests().empty());
}

// Windows' old limit of 260 characters to a path is not the program's: a deep save folder works.
TEST(Download, SavesUnderAPathLongerThan260Characters) {
  TransferRig rig;
  const auto site = rig.Site();
  site->Serve("/ea.mq4", {.body = "deep"});
  const ScratchFolder folder;
  const fs::path deep = folder.Path() / std::string(120, 'd') / std::string(120, 'e');
  fs::create_directories(deep);
  const std::string target = Utf8(deep / FromUtf8("移動平均.mq4"));
  ASSERT_GT(target.size(), 260U);
  EXPECT_EQ(rig.Downloader(kDownloadLimits)->DownloadToFile(site->Url("/ea.mq4"), target), 0);
  EXPECT_EQ(ScratchFolder::EntriesOf(deep), std::vector<std::string>{"移動平均.mq4"});
}

TEST(Download, AbortEndsTheTransferInFlightLeavingNoFile) {
  TransferRig rig;
  const auto site = rig.Site();
  site->Serve("/ea.mq4", Trickle(std::string(1000, 'x'), 20));
  const ScratchFolder folder;
  folder.Write("old.mq4", "an older file");
  const auto downloader = rig.Downloader(kDownloadLimits);
  rig.After(200ms, [&] { downloader->Abort(); });
  EXPECT_NE(downloader->DownloadToFile(site->Url("/ea.mq4"), folder.PathOf("old.mq4")), 0);
  EXPECT_EQ(folder.Read("old.mq4"), "an older file");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"old.mq4"});
}

}  // namespace
}  // namespace trawlbox::testing
