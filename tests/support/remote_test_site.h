#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_site.h"

namespace trawlbox::testing {

// A TestSite of the Windows tests, run by trawlbox_test_server, a Linux process beside Wine that
// CTest starts (see tests/CMakeLists.txt); every call is a message to it, answered before the
// call returns. The file named by the environment variable TRAWLBOX_TEST_SITE_FILE holds that
// process's control port. A test that cannot reach it cannot test anything: every failure to talk
// to it prints why on stderr and aborts the test.
class RemoteTestSite : public TestSite {
 public:
  // Opens a fresh server of `scheme`, with no routes and nothing recorded, in place of the one a
  // previous test left there.
  explicit RemoteTestSite(TestScheme scheme);
  ~RemoteTestSite() override;
  RemoteTestSite(const RemoteTestSite&) = delete;
  RemoteTestSite& operator=(const RemoteTestSite&) = delete;

  // "http://127.0.0.1:PORT…" for kHttp; "https://localhost:PORT…" for the https schemes, since
  // Wine's TLS takes no certificate whose only name is an IP address.
  [[nodiscard]] std::string Url(std::string_view path) const override;
  void Serve(const std::string& path, TestReply reply) override;
  [[nodiscard]] std::vector<RecordedRequest> Requests() const override;

  // Makes a symbolic link at `link` to `target` (both Windows paths) on the system Wine runs on:
  // Wine's CreateSymbolicLinkW reports success and makes nothing.
  static void LinkOnHost(const std::string& target, const std::string& link);

 private:
  class Channel;

  const TestScheme scheme_;
  const std::unique_ptr<Channel> channel_;
  int port_ = 0;
};

}  // namespace trawlbox::testing
