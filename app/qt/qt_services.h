#pragma once

#include <QWidget>

#include "app/window_services.h"
#include "platform/qt/curl_multi_loop.h"

namespace trawlbox::app::qt {

// The Qt services of `window` (its boxes and dialogs stand over it), HTTP over libcurl on `loop`;
// both must outlive what is made.
[[nodiscard]] SystemServices QtServices(QWidget& window, platform::CurlMultiLoop& loop);

}  // namespace trawlbox::app::qt
