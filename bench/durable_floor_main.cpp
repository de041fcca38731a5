// The least a durable download walk has to spend on the file system: writes COUNT files of BYTES
// bytes into DIR, each through a temporary file that is flushed to disk (fdatasync) and then
// renamed over its target, one after the other. Prints "floor_seconds=<seconds>".
//
//   trawlbox_bench_durable_floor DIR COUNT BYTES

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool WriteDurably(const std::string& path, const std::vector<char>& content) {
  const std::string temporary = path + ".tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written =
      write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size()) &&
      fdatasync(fd) == 0;
  return close(fd) == 0 && written && rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: trawlbox_bench_durable_floor DIR COUNT BYTES\n", stderr);
    return 2;
  }
  const std::string dir = argv[1];
  const long count = std::strtol(argv[2], nullptr, 10);
  const std::vector<char> content(static_cast<std::size_t>(std::strtol(argv[3], nullptr, 10)), 'x');
  const auto start = std::chrono::steady_clock::now();
  for (long i = 1; i <= count; ++i) {
    if (!WriteDurably(dir + "/" + std::to_string(i) + ".mq5", content)) {
      std::perror("trawlbox_bench_durable_floor");
      return 1;
    }
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("floor_seconds=%.4f\n", elapsed.count());
  return 0;
}
