#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>

#include "platform/target_file.h"

namespace trawlbox::platform {

TargetFile::Creation TargetFile::CreateExclusive(const std::string& temporary) {
  const int descriptor =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (descriptor < 0) return errno == EEXIST ? Creation::kNameTaken : Creation::kFailed;
  descriptor_ = descriptor;
  return Creation::kCreated;
}

bool TargetFile::Write(const char* data, std::size_t size) {
  if (!IsOpen()) return false;
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
  if (!IsOpen()) return false;
  const bool synced = ::fdatasync(descriptor_) == 0;
  const bool closed = ::close(descriptor_) == 0;
  descriptor_ = -1;
  // rename() replaces the last component itself and never follows a link there, so a link slipped
  // in after this check is replaced by the file, not written through: nothing it points to can be
  // touched.
  if (!synced || !closed || !MayReplace() || ::rename(temporary_.c_str(), path_.c_str()) != 0) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

bool TargetFile::MayReplace() const {
  struct stat status {};
  if (::lstat(path_.c_str(), &status) != 0) return errno == ENOENT;
  return S_ISREG(status.st_mode);
}

bool TargetFile::IsOpen() const { return descriptor_ >= 0; }

void TargetFile::CloseAndRemove() {
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
