#pragma once

#include <QMetaType>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_site.h"

namespace trawlbox::testing {

// A TestSite in the test's own process, answering from its own thread so that a client that
// blocks the test's thread is still served. Safe to call from any thread. A QCoreApplication must
// exist: without it Qt runs no event loop, on this thread or any other.
class TestHttpServer : public TestSite {
 public:
  using Scheme = TestScheme;

  explicit TestHttpServer(Scheme scheme = Scheme::kHttp);
  ~TestHttpServer() override;
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  // "http://127.0.0.1:PORT" ("https://…" for https), no trailing slash.
  [[nodiscard]] std::string Root() const;
  [[nodiscard]] std::string Url(std::string_view path) const override;
  void Serve(const std::string& path, TestReply reply) override;
  [[nodiscard]] std::vector<RecordedRequest> Requests() const override;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace trawlbox::testing

// Lets data-driven Qt tests take replies as a column.
Q_DECLARE_METATYPE(trawlbox::testing::TestReply)
