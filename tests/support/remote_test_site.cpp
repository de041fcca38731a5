#include "tests/support/remote_test_site.h"

#include <winsock2.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "tests/support/test_site_wire.h"

namespace trawlbox::testing {

namespace {

// Longer than any answer takes: the server answers from memory. Without a limit a server that
// hangs would hold the test until CTest's own limit, with no word of why.
constexpr DWORD kAnswerTimeoutMs = 30'000;

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "RemoteTestSite: %s\n", why.c_str());
  std::fflush(stderr);
  std::abort();
}

std::uint16_t ReadControlPort() {
  const char* const name = std::getenv("TRAWLBOX_TEST_SITE_FILE");
  if (name == nullptr || *name == '\0') {
    Fail(
        "TRAWLBOX_TEST_SITE_FILE is not set. CTest sets it, and starts the test server, when the "
        "Windows tree is configured with -DTRAWLBOX_TEST_SERVER=<the Linux tree's "
        "trawlbox_test_server>; TRAWLBOX_TEST_SERVER was not given at configure time, or the "
        "test was run outside CTest.");
  }
  std::ifstream file(name);
  int port = 0;
  if (!(file >> port) || port <= 0 || port > 0xFFFF) {
    Fail(std::string("no control port of the test server in ") + name);
  }
  return static_cast<std::uint16_t>(port);
}

// Winsock counts its users: each WSAStartup needs its WSACleanup.
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    const int error = WSAStartup(MAKEWORD(2, 2), &data);
    if (error != 0) Fail("WSAStartup failed with " + std::to_string(error));
  }
  ~WinsockSession() { WSACleanup(); }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
};

SOCKET ConnectToLoopback(std::uint16_t port) {
  const SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (connection == INVALID_SOCKET) {
    Fail("no socket: error " + std::to_string(WSAGetLastError()));
  }
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = WSAGetLastError();
    closesocket(connection);
    Fail("cannot reach the test server at 127.0.0.1:" + std::to_string(port) + ": error " +
         std::to_string(error));
  }
  const DWORD timeout = kAnswerTimeoutMs;
  setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
             sizeof timeout);
  return connection;
}

// Reads the "ok" that starts every answer the server agrees to.
void ExpectOk(WireReader& answer, std::string_view command) {
  const std::optional<std::string> status = answer.Field();
  if (status != "ok") {
    Fail("the test server answered \"" + status.value_or("?") + "\" to \"" + std::string(command) +
         "\"");
  }
}

void ExpectEnd(const WireReader& answer, std::string_view command) {
  if (!answer.AtEnd())
    Fail("a broken answer of the test server to \"" + std::string(command) + "\"");
}

}  // namespace

// The connection to the test server, one message and its answer at a time.
class RemoteTestSite::Channel {
 public:
  Channel() : socket_(ConnectToLoopback(ReadControlPort())) {}
  ~Channel() { closesocket(socket_); }
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  // Sends `message` and returns the server's answer.
  [[nodiscard]] std::string Ask(const WireWriter& message) const {
    const std::string framed = FrameMessage(message.Text());
    for (std::size_t sent = 0; sent < framed.size();) {
      const int result =
          send(socket_, framed.data() + sent, static_cast<int>(framed.size() - sent), 0);
      if (result <= 0) Fail("lost the test server: error " + std::to_string(WSAGetLastError()));
      sent += static_cast<std::size_t>(result);
    }
    std::string received;
    for (;;) {
      if (std::optional<std::string> answer = TakeMessage(received)) return std::move(*answer);
      char block[4096];
      const int result = recv(socket_, block, static_cast<int>(sizeof block), 0);
      if (result <= 0) {
        Fail("no answer from the test server: error " + std::to_string(WSAGetLastError()));
      }
      received.append(block, static_cast<std::size_t>(result));
    }
  }

 private:
  const WinsockSession winsock_;
  const SOCKET socket_;
};

RemoteTestSite::RemoteTestSite(TestScheme scheme)
    : scheme_(scheme), channel_(std::make_unique<Channel>()) {
  const std::string text =
      channel_->Ask(WireWriter().Field("open").Number(static_cast<std::int64_t>(scheme_)));
  WireReader answer(text);
  ExpectOk(answer, "open");
  const std::optional<std::int64_t> port = answer.Number();
  ExpectEnd(answer, "open");
  if (!port || *port <= 0 || *port > 0xFFFF) Fail("the test server opened no port");
  port_ = static_cast<int>(*port);
}

RemoteTestSite::~RemoteTestSite() = default;

std::string RemoteTestSite::Url(std::string_view path) const {
  const char* const root =
      scheme_ == TestScheme::kHttp ? "http://127.0.0.1:" : "https://localhost:";
  return root + std::to_string(port_) + std::string(path);
}

void RemoteTestSite::Serve(const std::string& path, TestReply reply) {
  const std::string text = channel_->Ask(WireWriter()
                                             .Field("serve")
                                             .Number(static_cast<std::int64_t>(scheme_))
                                             .Field(path)
                                             .Reply(reply));
  WireReader answer(text);
  ExpectOk(answer, "serve");
  ExpectEnd(answer, "serve");
}

std::vector<RecordedRequest> RemoteTestSite::Requests() const {
  const std::string text =
      channel_->Ask(WireWriter().Field("requests").Number(static_cast<std::int64_t>(scheme_)));
  WireReader answer(text);
  ExpectOk(answer, "requests");
  std::optional<std::vector<RecordedRequest>> requests = answer.Requests();
  ExpectEnd(answer, "requests");
  return std::move(*requests);
}

namespace {

// The Linux path of a Windows path under Wine, from Wine's own export.
std::string UnixPath(const std::string& windows_path) {
  using UnixFileName = char*(__cdecl*)(const wchar_t*);
  const auto unix_file_name = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unix_file_name == nullptr) Fail("not running under Wine: no wine_get_unix_file_name");
  const std::wstring wide(windows_path.begin(), windows_path.end());
  char* const unix_path = unix_file_name(wide.c_str());
  if (unix_path == nullptr) Fail("Wine knows no Linux path for " + windows_path);
  std::string path(unix_path);
  HeapFree(GetProcessHeap(), 0, unix_path);
  return path;
}

}  // namespace

void RemoteTestSite::LinkOnHost(const std::string& target, const std::string& link) {
  const Channel channel;
  const std::string text =
      channel.Ask(WireWriter().Field("link").Field(UnixPath(target)).Field(UnixPath(link)));
  WireReader answer(text);
  ExpectOk(answer, "link");
  ExpectEnd(answer, "link");
}

std::string TestCaFile() { return TRAWLBOX_TEST_TLS_DIR "/test_ca.pem"; }

}  // namespace trawlbox::testing
