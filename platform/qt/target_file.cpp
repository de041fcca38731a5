#include "platform/qt/target_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string_view>
#include <utility>

namespace trawlbox::platform {

namespace {

// Saved names never start with a dot, so a temporary file cannot take the name of a saved one.
constexpr std::string_view kTemporaryPrefix = ".trawlbox-";
constexpr int kNameLength = 12;
constexpr int kAttempts = 100;

std::string RandomName(std::random_device& random) {
  constexpr std::string_view kLetters =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  std::string name(kTemporaryPrefix);
  for (int i = 0; i < kNameLength; ++i) name += kLetters[pick(random)];
  return name;
}

// A download may replace a regular file, or create one where there is nothing. A link, a folder,
// a device, a pipe or a socket is left alone, and so is a path that cannot be looked at.
bool MayReplace(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) return errno == ENOENT;
  return S_ISREG(status.st_mode);
}

}  // namespace

TargetFile::TargetFile(std::string path) : path_(std::move(path)) {}

TargetFile::~TargetFile() { Discard(); }

bool TargetFile::Open() {
  const std::size_t slash = path_.rfind('/');
  const std::size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  if (descriptor_ >= 0 || name_start == path_.size() || !MayReplace(path_)) return false;
  std::random_device random;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string temporary = path_.substr(0, name_start) + RandomName(random);
    const int descriptor =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor >= 0) {
      descriptor_ = descriptor;
      temporary_ = std::move(temporary);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool TargetFile::Write(const char* data, std::size_t size) {
  if (descriptor_ < 0) return false;
  while (size > 0) {
    const ssize_t written = ::write(descriptor_, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool TargetFile::Commit() {
  if (descriptor_ < 0) return false;
  const bool synced = ::fdatasync(descriptor_) == 0;
  const bool closed = ::close(descriptor_) == 0;
  descriptor_ = -1;
  // rename() replaces the last component itself and never follows a link there, so a link slipped
  // in after this check is replaced by the file, not written through: nothing it points to can be
  // touched.
  if (!synced || !closed || !MayReplace(path_) ||
      ::rename(temporary_.c_str(), path_.c_str()) != 0) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void TargetFile::Discard() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
    descriptor_ = -1;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

}  // namespace trawlbox::platform
