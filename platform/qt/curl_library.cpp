#include "platform/qt/curl_library.h"

#include <curl/curl.h>

namespace trawlbox::platform {

// A failed set-up leaves nothing to report here: every transfer then fails as one.
CurlLibrary::CurlLibrary() { static_cast<void>(curl_global_init(CURL_GLOBAL_DEFAULT)); }

CurlLibrary::~CurlLibrary() { curl_global_cleanup(); }

}  // namespace trawlbox::platform
