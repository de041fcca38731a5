#pragma once

#include <QtTest>

#include "platform/qt/curl_library.h"

// QTEST_MAIN for a test that reaches libcurl: libcurl is set up once, before the application and
// the test object, and torn down after both have gone, as the program's own main does.
#define TRAWLBOX_CURL_TEST_MAIN(TestObject)                                          \
  QTEST_MAIN_WRAPPER(TestObject, const trawlbox::platform::CurlLibrary curl_library; \
                     QTEST_MAIN_SETUP())
