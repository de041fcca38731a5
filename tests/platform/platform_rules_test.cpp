#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/http/hsts.h"
#include "platform/http/location.h"
#include "platform/http/page_receipt.h"
#include "platform/http/page_text.h"
#include "platform/http/retry_after.h"
#include "platform/http/web_url.h"
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
      UrlCase{"ipv6 host without a port", "http://[::1]/x", "http://[::1]/x"},
      UrlCase{"ideographic space in the path",
              "http://example.com/a\xE3\x80\x80"
              "b",
              "http://example.com/a%E3%80%80b"},
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

// A surrogate encoded in UTF-8 is not UTF-8 and becomes U+FFFD: once for each of its three bytes
// in Qt, twice in all in Wine's MultiByteToWideChar.
#ifdef _WIN32
constexpr char kSurrogateReplaced[] =
    "a\xEF\xBF\xBD\xEF\xBF\xBD"
    "b";
#else
constexpr char kSurrogateReplaced[] =
    "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
    "b";
#endif

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
                  "ab"},
      CharsetCase{"encoded surrogate", "text/plain",
                  "a\xED\xA0\x80"
                  "b",
                  kSurrogateReplaced}};
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

using Policy = std::pair<std::int64_t, bool>;

struct StsCase {
  const char* name;
  const char* value;
  std::optional<Policy> policy;  // max-age in seconds, includeSubDomains
};

TEST(ParseStrictTransportSecurity, ReadsDirectivesAndRefusesTheWholeHeaderWhenMalformed) {
  const StsCase cases[] = {
      StsCase{"max-age", "max-age=31536000", Policy{31536000, false}},
      StsCase{"quoted max-age", "max-age=\"31536000\"", Policy{31536000, false}},
      StsCase{"escape in quotes", "max-age=\"1\\0\"", Policy{10, false}},
      StsCase{"names in any case", "Max-Age=10; INCLUDESUBDOMAINS", Policy{10, true}},
      StsCase{"includeSubDomains first", "includeSubDomains;max-age=10", Policy{10, true}},
      StsCase{"blanks and tabs around everything", " \tmax-age = 10 ;\tincludeSubDomains ; ",
              Policy{10, true}},
      StsCase{"empty directives", ";;max-age=10;;", Policy{10, false}},
      StsCase{"unknown directives ignored", "max-age=10; preload; report-uri=\"https://a/\"",
              Policy{10, false}},
      StsCase{"max-age zero", "max-age=0", Policy{0, false}},
      StsCase{"huge max-age capped", "max-age=99999999999999999999999", Policy{2147483648, false}},
      StsCase{"empty", "", std::nullopt},
      StsCase{"max-age missing", "includeSubDomains", std::nullopt},
      StsCase{"max-age without a value", "max-age", std::nullopt},
      StsCase{"max-age with an empty value", "max-age=", std::nullopt},
      StsCase{"max-age with an empty quoted value", "max-age=\"\"", std::nullopt},
      StsCase{"negative max-age", "max-age=-1", std::nullopt},
      StsCase{"fraction", "max-age=1.5", std::nullopt},
      StsCase{"letters", "max-age=ten", std::nullopt},
      StsCase{"blank inside quotes", "max-age=\"10 \"", std::nullopt},
      StsCase{"unclosed quote", "max-age=\"10", std::nullopt},
      StsCase{"max-age repeated", "max-age=10; max-age=10", std::nullopt},
      StsCase{"includeSubDomains repeated in another case",
              "max-age=10; includeSubDomains; includesubdomains", std::nullopt},
      StsCase{"unknown directive repeated", "max-age=10; preload; preload", std::nullopt},
      StsCase{"value on includeSubDomains", "max-age=10; includeSubDomains=yes", std::nullopt},
      StsCase{"second value", "max-age=10 20", std::nullopt},
      StsCase{"comma for a semicolon", "max-age=10, includeSubDomains", std::nullopt}};
  for (const StsCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<platform::HstsPolicy> policy =
        platform::ParseStrictTransportSecurity(c.value);
    EXPECT_EQ(
        policy ? std::optional<Policy>(Policy{policy->max_age.count(), policy->include_subdomains})
               : std::nullopt,
        c.policy);
  }
}

struct HstsLesson {
  const char* url;
  const char* value;
  int at_seconds;
};

struct HstsCase {
  const char* name;
  std::vector<HstsLesson> lessons;
  const char* url;
  int at_seconds;
  const char* wire;
};

TEST(HstsStore, UpgradesHttpToHostsLearnedOverHttpsUntilTheyExpire) {
  const HstsLesson example{"https://example.com/", "max-age=100", 0};
  const HstsLesson example_and_subdomains{"https://example.com/", "max-age=100; includeSubDomains",
                                          0};
  const HstsCase cases[] = {
      HstsCase{"learned over https",
               {example},
               "http://example.com/a?b#c",
               50,
               "https://example.com/a?b#c"},
      HstsCase{"host alone", {example}, "http://example.com", 50, "https://example.com"},
      HstsCase{
          "query after the host", {example}, "http://example.com?q", 50, "https://example.com?q"},
      HstsCase{"nothing learned", {}, "http://example.com/", 50, "http://example.com/"},
      HstsCase{"https stays", {example}, "https://example.com/", 50, "https://example.com/"},
      HstsCase{"other host", {example}, "http://example.org/", 50, "http://example.org/"},
      HstsCase{"learned over http",
               {{"http://example.com/", "max-age=100", 0}},
               "http://example.com/",
               50,
               "http://example.com/"},
      HstsCase{"malformed header",
               {{"https://example.com/", "max-age=100; max-age=100", 0}},
               "http://example.com/",
               50,
               "http://example.com/"},
      HstsCase{"ipv4 address",
               {{"https://127.0.0.1/", "max-age=100", 0}},
               "http://127.0.0.1/",
               50,
               "http://127.0.0.1/"},
      HstsCase{"ipv6 address",
               {{"https://[::1]:8443/", "max-age=100", 0}},
               "http://[::1]/",
               50,
               "http://[::1]/"},
      HstsCase{"known until just before now + max-age",
               {example},
               "http://example.com/",
               99,
               "https://example.com/"},
      HstsCase{
          "expired at now + max-age", {example}, "http://example.com/", 100, "http://example.com/"},
      HstsCase{"max-age counted from the latest answer",
               {example, {"https://example.com/", "max-age=100", 60}},
               "http://example.com/",
               150,
               "https://example.com/"},
      HstsCase{"max-age zero forgets",
               {example, {"https://example.com/", "max-age=0", 10}},
               "http://example.com/",
               50,
               "http://example.com/"},
      HstsCase{"subdomain covered with includeSubDomains",
               {example_and_subdomains},
               "http://a.b.example.com/",
               50,
               "https://a.b.example.com/"},
      HstsCase{"subdomain not covered without includeSubDomains",
               {example},
               "http://a.example.com/",
               50,
               "http://a.example.com/"},
      HstsCase{"newer policy drops includeSubDomains",
               {example_and_subdomains, example},
               "http://a.example.com/",
               50,
               "http://a.example.com/"},
      HstsCase{"superdomain never covered",
               {{"https://a.example.com/", "max-age=100; includeSubDomains", 0}},
               "http://example.com/",
               50,
               "http://example.com/"},
      HstsCase{"name merely ending alike",
               {example_and_subdomains},
               "http://badexample.com/",
               50,
               "http://badexample.com/"},
      HstsCase{"expired host gives way to its superdomain",
               {example_and_subdomains, {"https://a.example.com/", "max-age=10", 0}},
               "http://a.example.com/",
               50,
               "https://a.example.com/"},
      HstsCase{"host in any case and with a trailing dot",
               {{"https://u@Example.COM.:8443/p", "max-age=100", 0}},
               "http://EXAMPLE.com/x",
               50,
               "https://EXAMPLE.com/x"},
      HstsCase{
          "port 80 dropped", {example}, "http://example.com:80/x", 50, "https://example.com/x"},
      HstsCase{
          "empty port dropped", {example}, "http://example.com:/x", 50, "https://example.com/x"},
      HstsCase{"other port kept",
               {example},
               "http://example.com:8080/x",
               50,
               "https://example.com:8080/x"},
      HstsCase{
          "port 443 kept", {example}, "http://example.com:443/", 50, "https://example.com:443/"},
      HstsCase{"userinfo kept",
               {example},
               "http://user:pw@example.com:80/",
               50,
               "https://user:pw@example.com/"}};
  const platform::HstsStore::Clock::time_point start(std::chrono::hours(1));
  for (const HstsCase& c : cases) {
    SCOPED_TRACE(c.name);
    platform::HstsStore store;
    for (const HstsLesson& lesson : c.lessons) {
      store.Learn(lesson.url, lesson.value, start + std::chrono::seconds(lesson.at_seconds));
    }
    EXPECT_EQ(store.Upgrade(c.url, start + std::chrono::seconds(c.at_seconds)), c.wire);
  }
}

struct DateCase {
  const char* name;
  const char* text;
  std::optional<std::int64_t> seconds;  // since 1970-01-01 00:00:00 UTC
};

TEST(ParseHttpDate, ReadsTheThreeFormsAndNothingElse) {
  // 2025-01-01 00:00:00 UTC: two-digit years up to 75 fall within the next 50 years.
  const std::chrono::system_clock::time_point now(std::chrono::seconds(1735689600));
  const DateCase cases[] = {
      DateCase{"imf-fixdate", "Sun, 06 Nov 1994 08:49:37 GMT", 784111777},
      DateCase{"rfc 850", "Sunday, 06-Nov-94 08:49:37 GMT", 784111777},
      DateCase{"asctime", "Sun Nov  6 08:49:37 1994", 784111777},
      DateCase{"asctime with a two-digit day", "Sun Nov 16 08:49:37 1994", 784975777},
      DateCase{"asctime with a leading zero", "Sun Nov 06 08:49:37 1994", 784111777},
      DateCase{"weekday not checked", "Mon, 06 Nov 1994 08:49:37 GMT", 784111777},
      DateCase{"leap day", "Thu, 29 Feb 2024 00:00:00 GMT", 1709164800},
      DateCase{"leap second", "Wed, 31 Dec 2025 23:59:60 GMT", 1767225600},
      DateCase{"two-digit year in this century", "Sunday, 01-Dec-24 00:00:00 GMT", 1733011200},
      DateCase{"two-digit year 49 years ahead", "Monday, 01-Jan-74 00:00:00 GMT", 3281990400},
      DateCase{"two-digit year exactly 50 years ahead", "Tuesday, 01-Jan-75 00:00:00 GMT",
               3313526400},
      DateCase{"two-digit year a second past 50 years ahead", "Wednesday, 01-Jan-75 00:00:01 GMT",
               157766401},
      DateCase{"two-digit year 51 years ahead", "Thursday, 01-Jan-76 00:00:00 GMT", 189302400},
      DateCase{"two-digit leap day read in its century", "Tuesday, 29-Feb-00 00:00:00 GMT",
               951782400},
      DateCase{"no leap day", "Wed, 29 Feb 2023 00:00:00 GMT", std::nullopt},
      DateCase{"31 April", "Thu, 31 Apr 2025 00:00:00 GMT", std::nullopt},
      DateCase{"day 0", "Wed, 00 Jan 2025 00:00:00 GMT", std::nullopt},
      DateCase{"hour 24", "Wed, 01 Jan 2025 24:00:00 GMT", std::nullopt},
      DateCase{"minute 60", "Wed, 01 Jan 2025 00:60:00 GMT", std::nullopt},
      DateCase{"second 61", "Wed, 01 Jan 2025 00:00:61 GMT", std::nullopt},
      DateCase{"month in lower case", "Sun, 06 nov 1994 08:49:37 GMT", std::nullopt},
      DateCase{"weekday in upper case", "SUN, 06 Nov 1994 08:49:37 GMT", std::nullopt},
      DateCase{"unknown month", "Sun, 06 Noe 1994 08:49:37 GMT", std::nullopt},
      DateCase{"utc for gmt", "Sun, 06 Nov 1994 08:49:37 UTC", std::nullopt},
      DateCase{"single-digit day", "Sun, 6 Nov 1994 08:49:37 GMT", std::nullopt},
      DateCase{"two-digit year in imf-fixdate", "Sun, 06 Nov 94 08:49:37 GMT", std::nullopt},
      DateCase{"four-digit year in rfc 850", "Sunday, 06-Nov-1994 08:49:37 GMT", std::nullopt},
      DateCase{"short weekday in rfc 850", "Sun, 06-Nov-94 08:49:37 GMT", std::nullopt},
      DateCase{"asctime with one blank before one digit", "Sun Nov 6 08:49:37 1994", std::nullopt},
      DateCase{"leading blank", " Sun, 06 Nov 1994 08:49:37 GMT", std::nullopt},
      DateCase{"trailing junk", "Sun, 06 Nov 1994 08:49:37 GMT+1", std::nullopt},
      DateCase{"cut short", "Sun, 06 Nov 1994 08:49", std::nullopt},
      DateCase{"empty", "", std::nullopt}};
  for (const DateCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto date = platform::ParseHttpDate(c.text, now);
    EXPECT_EQ(date ? std::optional<std::int64_t>(
                         std::chrono::floor<std::chrono::seconds>(date->time_since_epoch()).count())
                   : std::nullopt,
              c.seconds);
  }
}

struct RetryCase {
  const char* name;
  const char* value;
  std::optional<std::int64_t> seconds;
};

TEST(RetryAfterDelay, ReadsSecondsOrADateAsTheWaitFromNow) {
  // Half a second into Sun, 06 Nov 1994 08:49:37 GMT, so a wait until a date is rounded up.
  const std::chrono::system_clock::time_point now =
      std::chrono::system_clock::time_point(std::chrono::seconds(784111777)) +
      std::chrono::milliseconds(500);
  const RetryCase cases[] = {
      RetryCase{"seconds", "120", 120},
      RetryCase{"zero", "0", 0},
      RetryCase{"leading zeros", "007", 7},
      RetryCase{"blanks and tabs around", " \t120\t ", 120},
      RetryCase{"huge number capped", "99999999999999999999999", 2147483648},
      RetryCase{"imf-fixdate ahead", "Sun, 06 Nov 1994 08:49:47 GMT", 10},
      RetryCase{"rfc 850 ahead", "Sunday, 06-Nov-94 08:50:37 GMT", 60},
      RetryCase{"asctime ahead", "Sun Nov  6 09:49:37 1994", 3600},
      RetryCase{"date with blanks around", " Sun, 06 Nov 1994 08:49:47 GMT\t", 10},
      RetryCase{"date within the current second", "Sun, 06 Nov 1994 08:49:37 GMT", 0},
      RetryCase{"date passed", "Sat, 05 Nov 1994 08:49:37 GMT", 0},
      RetryCase{"date past the clock's end", "Fri, 31 Dec 9999 23:59:59 GMT", 2147483648},
      RetryCase{"date before the clock's start", "Sat, 01 Jan 0000 00:00:00 GMT", 0},
      RetryCase{"negative", "-1", std::nullopt},
      RetryCase{"plus sign", "+1", std::nullopt},
      RetryCase{"fraction", "1.5", std::nullopt},
      RetryCase{"blank inside", "1 2", std::nullopt},
      RetryCase{"unit", "120s", std::nullopt},
      RetryCase{"malformed date", "Sun, 06 Nov 1994 08:49:37", std::nullopt},
      RetryCase{"blanks only", " \t", std::nullopt},
      RetryCase{"empty", "", std::nullopt}};
  for (const RetryCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<std::chrono::seconds> delay = platform::RetryAfterDelay(c.value, now);
    EXPECT_EQ(delay ? std::optional<std::int64_t>(delay->count()) : std::nullopt, c.seconds);
  }
}

struct LocationCase {
  const char* name;
  const char* base;
  const char* location;
  std::optional<std::string> resolved;
};

TEST(ResolveLocation, ResolvesAgainstTheRequestAndEncodesBytesOutsideAscii) {
  constexpr char kBase[] = "http://a/b/c/d;p?q";
  const LocationCase cases[] = {
      LocationCase{"relative", kBase, "g", "http://a/b/c/g"},
      LocationCase{"dot", kBase, "./g", "http://a/b/c/g"},
      LocationCase{"trailing slash", kBase, "g/", "http://a/b/c/g/"},
      LocationCase{"absolute path", kBase, "/g", "http://a/g"},
      LocationCase{"scheme-relative", kBase, "//g", "http://g"},
      LocationCase{"query only", kBase, "?y", "http://a/b/c/d;p?y"},
      LocationCase{"fragment only", kBase, "#s", "http://a/b/c/d;p?q#s"},
      LocationCase{"relative with query and fragment", kBase, "g?y#s", "http://a/b/c/g?y#s"},
      LocationCase{"lone dot", kBase, ".", "http://a/b/c/"},
      LocationCase{"lone dot dot", kBase, "..", "http://a/b/"},
      LocationCase{"parent", kBase, "../g", "http://a/b/g"},
      LocationCase{"grandparent", kBase, "../../g", "http://a/g"},
      LocationCase{"never above the root", kBase, "../../../g", "http://a/g"},
      LocationCase{"dots in an absolute path", kBase, "/./g/../h", "http://a/h"},
      LocationCase{"dots after parameters", kBase, "g;x=1/../y", "http://a/b/c/y"},
      LocationCase{"dots in the query kept", kBase, "g?y/./x", "http://a/b/c/g?y/./x"},
      LocationCase{"other scheme", kBase, "g:h", "g:h"},
      LocationCase{"absolute url", kBase, "https://b:8443/x/../y?z", "https://b:8443/y?z"},
      LocationCase{"own scheme without slashes", kBase, "http:g", "http://a/b/c/g"},
      LocationCase{"colon after a slash", kBase, "./g:h", "http://a/b/c/g:h"},
      LocationCase{"base without a path", "http://a", "g", "http://a/g"},
      LocationCase{"base's userinfo and port kept", "https://u@a:8443/b/c", "d",
                   "https://u@a:8443/b/d"},
      LocationCase{"base's fragment dropped", "http://a/b?q#f", "?y", "http://a/b?y"},
      LocationCase{"base's fragment dropped for a fragment", "http://a/b#f", "#g", "http://a/b#g"},
      LocationCase{"raw utf-8", kBase, "/移動平均.mq4",
                   "http://a/%E7%A7%BB%E5%8B%95%E5%B9%B3%E5%9D%87.mq4"},
      LocationCase{"raw utf-8 in query and fragment", kBase, "x?平#均",
                   "http://a/b/c/x?%E5%B9%B3#%E5%9D%87"},
      LocationCase{"percent-encoding kept", kBase, "/%e7%a7%bb", "http://a/%e7%a7%bb"},
      LocationCase{"host outside ascii left for the url check", kBase, "//例.jp/x",
                   "http://例.jp/x"},
      LocationCase{"blanks and tabs around dropped", kBase, " \t/g\t ", "http://a/g"},
      LocationCase{"blank inside kept", kBase, "/a b", "http://a/a b"},
      LocationCase{"line end kept", kBase, "/g\r\n", "http://a/g\r\n"},
      LocationCase{"blanks only", kBase, " \t ", std::nullopt},
      LocationCase{"empty", kBase, "", std::nullopt}};
  for (const LocationCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(platform::ResolveLocation(c.base, c.location), c.resolved);
  }
}

}  // namespace
}  // namespace trawlbox::testing
