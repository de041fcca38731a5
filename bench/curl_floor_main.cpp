// The least libcurl itself spends on the benchmark's page fetches: one easy handle, reused so that
// its connection is kept alive, fetches every URL of a list one after the other and counts the
// bytes, with nothing else in the program. Prints "curl_floor_seconds=<seconds>".
//
//   trawlbox_bench_curl_floor URL_LIST

#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

size_t CountBytes(char* /*data*/, size_t size, size_t count, void* total) {
  *static_cast<size_t*>(total) += size * count;
  return size * count;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> urls;
  if (argc == 2) {
    std::ifstream list(argv[1]);
    for (std::string line; std::getline(list, line);) {
      if (!line.empty()) urls.push_back(line);
    }
  }
  if (urls.empty()) {
    std::fputs("usage: trawlbox_bench_curl_floor URL_LIST\n", stderr);
    return 2;
  }
  curl_global_init(CURL_GLOBAL_DEFAULT);
  CURL* easy = curl_easy_init();
  size_t bytes = 0;
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, CountBytes);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &bytes);
  bool failed = false;
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& url : urls) {
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    failed = failed || curl_easy_perform(easy) != CURLE_OK;
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  curl_easy_cleanup(easy);
  curl_global_cleanup();
  std::printf("curl_floor_seconds=%.4f\n", elapsed.count());
  return failed || bytes == 0 ? 1 : 0;
}
