#pragma once

#include <QByteArray>

namespace trawlbox::platform {

// `body` as UTF-8 text, decoded from the charset the Content-Type header `content_type` names;
// when it names none or one the decoder does not know, from the charset a byte-order mark gives,
// else the page's own <meta> charset near its start, else UTF-8. A broken sequence becomes U+FFFD
// and a character left unfinished at the very end is dropped; a byte-order mark is never part of
// the text.
[[nodiscard]] QByteArray ToUtf8Text(QByteArray body, const QByteArray& content_type);

}  // namespace trawlbox::platform
