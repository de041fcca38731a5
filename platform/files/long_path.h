#pragma once

#include <string>
#include <string_view>

namespace trawlbox::platform {

// `utf8_path` as a wide path for the Windows file functions. An absolute path ("C:\…", "C:/…",
// "\\server\share\…") comes back made whole as Windows would read it ("/" as "\", "." and ".."
// resolved) and with the "\\?\" (or "\\?\UNC\") prefix, so that it may be longer than 260
// characters; a path that already has a prefix, a relative one, and one that Windows reads as a
// device ("\\.\…") keep their own form.
[[nodiscard]] std::wstring LongPath(std::string_view utf8_path);

}  // namespace trawlbox::platform
