#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/qt/curl_library.h"

// libcurl is set up once, before the application, and torn down after it, as the program's own
// main does; the application gives the adapters their event loop.
int main(int argc, char** argv) {
  const trawlbox::platform::CurlLibrary curl_library;
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
