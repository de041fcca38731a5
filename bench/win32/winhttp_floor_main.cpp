// The Windows counterpart of bench/curl_floor_main.cpp: the least WinHTTP itself spends on the
// benchmark's fetches. One synchronous session, and one connection to the server for as long as
// the URLs stay on it, fetches every URL of a list one after the other, reads each body whole into
// one reused buffer and counts the bytes, with nothing else in the program. Prints
// "winhttp_floor_seconds=<seconds>".
//
//   trawlbox_bench_winhttp_floor URL_LIST

#include <windows.h>

#include <winhttp.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Fetches the URL of `parts` over `connection` into `body`; false unless the server answered 200.
bool Fetch(HINTERNET connection, const URL_COMPONENTS& parts, std::string& body) {
  const std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength);
  HINTERNET request = WinHttpOpenRequest(
      connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
      parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
  if (request == nullptr) return false;
  DWORD status = 0;
  DWORD status_size = sizeof(status);
  bool fetched = WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                    WINHTTP_NO_REQUEST_DATA, 0, 0, 0) != FALSE &&
                 WinHttpReceiveResponse(request, nullptr) != FALSE &&
                 WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                     WINHTTP_HEADER_NAME_BY_INDEX, &status, &status_size,
                                     WINHTTP_NO_HEADER_INDEX) != FALSE &&
                 status == 200;
  constexpr std::size_t kPiece = 64 * 1024;
  body.clear();
  for (DWORD read = 1; fetched && read > 0;) {
    const std::size_t size = body.size();
    body.resize(size + kPiece);
    fetched = WinHttpReadData(request, body.data() + size, kPiece, &read) != FALSE;
    body.resize(size + read);
  }
  WinHttpCloseHandle(request);
  return fetched;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::wstring> urls;
  if (argc == 2) {
    std::ifstream list{std::filesystem::path(argv[1])};
    // The list's URLs are ASCII.
    for (std::string line; std::getline(list, line);) {
      if (!line.empty()) urls.emplace_back(line.begin(), line.end());
    }
  }
  if (urls.empty()) {
    std::fputs("usage: trawlbox_bench_winhttp_floor URL_LIST\n", stderr);
    return 2;
  }
  HINTERNET session = WinHttpOpen(L"trawlbox_bench_winhttp_floor", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                  WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  HINTERNET connection = nullptr;
  std::wstring server;
  INTERNET_PORT port = 0;
  std::string body;
  std::size_t bytes = 0;
  bool failed = session == nullptr;
  const auto start = std::chrono::steady_clock::now();
  for (const std::wstring& url : urls) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength =
        static_cast<DWORD>(-1);
    if (failed || WinHttpCrackUrl(url.c_str(), 0, 0, &parts) == FALSE) {
      failed = true;
      break;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    if (connection == nullptr || host != server || parts.nPort != port) {
      if (connection != nullptr) WinHttpCloseHandle(connection);
      server = host;
      port = parts.nPort;
      connection = WinHttpConnect(session, server.c_str(), port, 0);
    }
    failed = connection == nullptr || !Fetch(connection, parts, body);
    bytes += body.size();
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  if (connection != nullptr) WinHttpCloseHandle(connection);
  if (session != nullptr) WinHttpCloseHandle(session);
  std::printf("winhttp_floor_seconds=%.4f\n", elapsed.count());
  return failed || bytes == 0 ? 1 : 0;
}
