#pragma once

// The decoder the program uses on the system the tests run on.
#ifdef _WIN32
#include "platform/win32/win32_text_decoder.h"
namespace trawlbox::testing {
using SystemTextDecoder = platform::Win32TextDecoder;
}  // namespace trawlbox::testing
#else
#include "platform/qt/qt_text_decoder.h"
namespace trawlbox::testing {
using SystemTextDecoder = platform::QtTextDecoder;
}  // namespace trawlbox::testing
#endif
