#pragma once

#include <string>
#include <string_view>

#include "platform/text_decoder.h"

namespace trawlbox::platform {

// A page's body as UTF-8. Its charset is, in this order, the one the Content-Type header names,
// the one its byte-order mark shows, the one a <meta> tag near its start names (charset="…",
// charset='…' or the content of an http-equiv tag), else UTF-8; a name `decoder` does not know
// counts as none, so the next clue decides. A body that is valid UTF-8 already is handed back as
// it is, less its byte-order mark.
[[nodiscard]] std::string PageText(std::string body, std::string_view content_type,
                                   const TextDecoder& decoder);

}  // namespace trawlbox::platform
