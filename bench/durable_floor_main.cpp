// The least a durable download walk has to spend on the file system: writes COUNT files of BYTES
// bytes into DIR, each through a temporary file that is flushed to disk and then renamed over its
// target, one after the other, with the calls the program itself makes (fdatasync and rename on
// Linux; CreateFileW, WriteFile, FlushFileBuffers and MoveFileExW on Windows). Prints
// "floor_seconds=<seconds>".
//
//   trawlbox_bench_durable_floor DIR COUNT BYTES

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

bool WriteDurably(const std::filesystem::path& path, const std::vector<char>& content) {
  std::filesystem::path temporary = path;
  temporary += ".tmp";
#ifdef _WIN32
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  const bool written = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &done,
                                 nullptr) != FALSE &&
                       done == content.size() && FlushFileBuffers(file) != FALSE;
  return CloseHandle(file) != FALSE && written &&
         MoveFileExW(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
#else
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written =
      write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size()) &&
      fdatasync(fd) == 0;
  return close(fd) == 0 && written && rename(temporary.c_str(), path.c_str()) == 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: trawlbox_bench_durable_floor DIR COUNT BYTES\n", stderr);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  const long count = std::strtol(argv[2], nullptr, 10);
  const std::vector<char> content(static_cast<std::size_t>(std::strtol(argv[3], nullptr, 10)), 'x');
  const auto start = std::chrono::steady_clock::now();
  for (long i = 1; i <= count; ++i) {
    const std::filesystem::path path = dir / (std::to_string(i) + ".mq5");
    if (!WriteDurably(path, content)) {
      std::fprintf(stderr, "trawlbox_bench_durable_floor: could not write %s\n",
                   path.string().c_str());
      return 1;
    }
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("floor_seconds=%.4f\n", elapsed.count());
  return 0;
}
