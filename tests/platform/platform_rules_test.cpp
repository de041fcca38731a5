#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/page_receipt.h"
#include "platform/page_text.h"
#include "platform/web_url.h"
#include "tests/platform/system_text_decoder.h"

namespace trawlbox::testing {
namespace {

using platform::PageText;
using platform::WebUrl;

struct UrlCase {
  const char* name;
  const char* url;
  std::optional<std::string> wire;
};

TEST(WebUrl, TakesHttpAndHttpsWithAHostOnly) {
  const UrlCase cases[] = {
      UrlCase{"http", "http://127.0.0.1/x", "http://127.0.0.1/x"},
      UrlCase{"https with port and query", "https://example.com:8443/a?b=c#d",
              "https://example.com:8443/a?b=c#d"},
      UrlCase{"scheme in capitals", "HTTPS://example.com/", "https://example.com/"},
      UrlCase{"japanese in the path", "http://example.com/移動?q=平均",
              "http://example.com/%E7%A7%BB%E5%8B%95?q=%E5%B9%B3%E5%9D%87"},
      UrlCase{"host alone", "http://example.com", "http://example.com"},
      UrlCase{"user before the host", "http://user@example.com/", "http://user@example.com/"},
      UrlCase{"local file", "file:///etc/hostname", std::nullopt},
      UrlCase{"ftp", "ftp://127.0.0.1/ea.mq4", std::nullopt},
      UrlCase{"script", "javascript:alert(1)", std::nullopt},
      UrlCase{"empty", "", std::nullopt},
      UrlCase{"no host", "http:///ea.mq4", std::nullopt},
      UrlCase{"port without a host", "http://:80/", std::nullopt},
      UrlCase{"port of letters", "http://example.com:http/", std::nullopt},
      UrlCase{"blank", "http://127.0.0.1/a b", std::nullopt},
      UrlCase{"line end", "http://127.0.0.1/a\r\nX-Evil: 1", std::nullopt},
      UrlCase{"non-ascii host", "http://例え.jp/", std::nullopt},
      UrlCase{"scheme only", "http://", std::nullopt}};
  for (const UrlCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WebUrl(c.url), c.wire);
  }
}

// "日本語のタイトル" in the charsets of Japanese pages.
constexpr char kTitle[] = "日本語のタイトル";
constexpr char kSjisTitle[] = "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x5E\x83\x43\x83\x67\x83\x8B";
constexpr char kEucTitle[] = "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xBF\xA5\xA4\xA5\xC8\xA5\xEB";
const std::string kUtf16LeTitle(
    "\xFF\xFE\xE5\x65\x2C\x67\x9E\x8A\x6E\x30\xBF\x30\xA4\x30\xC8\x30\xEB\x30", 18);

struct CharsetCase {
  const char* name;
  std::string content_type;
  std::string body;
  std::string text;
};

// Compared as bytes: reading the text back as UTF-8 would hide a mark or a byte left undecoded.
TEST(PageText, DecodesByHeaderThenMarkThenMetaThenUtf8) {
  const CharsetCase cases[] = {
      CharsetCase{"quoted header charset", "text/html; Charset=\"shift_jis\"", kSjisTitle, kTitle},
      CharsetCase{"meta charset", "text/html",
                  std::string("<html><head><META CHARSET=\"Shift_JIS\">") + kSjisTitle,
                  std::string("<html><head><META CHARSET=\"Shift_JIS\">") + kTitle},
      CharsetCase{"single-quoted meta charset", "",
                  std::string("<meta charset='euc-jp'>") + kEucTitle,
                  std::string("<meta charset='euc-jp'>") + kTitle},
      CharsetCase{"meta http-equiv", "",
                  std::string("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                              "charset=euc-jp\">") +
                      kEucTitle,
                  std::string("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                              "charset=euc-jp\">") +
                      kTitle},
      CharsetCase{"header beats meta", "text/html; charset=utf-8",
                  std::string("<meta charset=\"shift_jis\">") + kTitle,
                  std::string("<meta charset=\"shift_jis\">") + kTitle},
      CharsetCase{"byte-order mark", "text/html", kUtf16LeTitle, kTitle},
      // Valid UTF-8 is passed on undecoded; its mark is dropped all the same.
      CharsetCase{"utf-8 byte-order mark", "text/html; charset=utf-8",
                  std::string("\xEF\xBB\xBF") + kTitle, kTitle},
      CharsetCase{"no charset at all", "", kTitle, kTitle},
      CharsetCase{"unknown charset is utf-8", "text/html; charset=x-no-such-charset", kTitle,
                  kTitle},
      CharsetCase{"unknown charset gives way to the meta charset",
                  "text/html; charset=x-no-such-charset",
                  std::string("<meta charset=\"shift_jis\">") + kSjisTitle,
                  std::string("<meta charset=\"shift_jis\">") + kTitle},
      CharsetCase{"invalid utf-8 replaced", "text/plain",
                  "a\xff"
                  "b",
                  "a\xEF\xBF\xBD"
                  "b"},
      CharsetCase{"shift_jis cut inside a character", "text/html; charset=Shift_JIS", "ab\x88",
                  "ab"}};
  const SystemTextDecoder decoder;
  for (const CharsetCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PageText(c.body, c.content_type, decoder), c.text);
  }
}

struct PieceCase {
  const char* name;
  std::string page;
  std::size_t max_bytes;
  std::vector<std::string> pieces;
};

TEST(PageReceipt, HandsOutPiecesThatNeverSplitACharacter) {
  const PieceCase cases[] = {PieceCase{"character across the boundary",
                                       std::string(4095, 'a') + "移動",
                                       4096,
                                       {std::string(4095, 'a'), "移動"}},
                             PieceCase{"character ending at the boundary",
                                       std::string(4093, 'a') + "移動",
                                       4096,
                                       {std::string(4093, 'a') + "移", "動"}},
                             PieceCase{"piece smaller than a character", "移動", 1, {"移", "動"}},
                             PieceCase{"empty page", "", 4096, {}}};
  const SystemTextDecoder decoder;
  for (const PieceCase& c : cases) {
    SCOPED_TRACE(c.name);
    platform::PageReceipt receipt(1024 * 1024);
    receipt.Start();
    ASSERT_TRUE(receipt.Append(c.page));
    receipt.End(true, "text/html; charset=utf-8", decoder);
    std::vector<std::string> pieces;
    std::string piece;
    while (receipt.GetChunk(c.max_bytes, piece) && !piece.empty()) pieces.push_back(piece);
    EXPECT_EQ(pieces, c.pieces);
  }
}

}  // namespace
}  // namespace trawlbox::testing
