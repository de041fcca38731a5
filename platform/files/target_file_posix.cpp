#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/target_file.h"

namespace trawlbox::platform {

namespace {

class PosixFile : public TargetFile::System::WritableFile {
 public:
  explicit PosixFile(int descriptor) : descriptor_(descriptor) {}
  ~PosixFile() override {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  bool Append(const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t written = ::write(descriptor_, data, size);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return true;
  }

  bool Sync() override { return ::fdatasync(descriptor_) == 0; }

  bool Close() override {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return ::close(descriptor) == 0;
  }

 private:
  int descriptor_;
};

class PosixSystem : public TargetFile::System {
 public:
  Creation CreateExclusive(const std::string& path, std::unique_ptr<WritableFile>* file) override {
    const int descriptor =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0) return errno == EEXIST ? Creation::kNameTaken : Creation::kFailed;
    *file = std::make_unique<PosixFile>(descriptor);
    return Creation::kCreated;
  }

  Found Look(const std::string& path) override {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
      return errno == ENOENT ? Found::kNothing : Found::kOther;
    return S_ISREG(status.st_mode) ? Found::kRegularFile : Found::kOther;
  }

  bool Replace(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }

  void Remove(const std::string& path) override { ::unlink(path.c_str()); }
};

}  // namespace

std::unique_ptr<TargetFile::System> TargetFile::SystemCalls() {
  return std::make_unique<PosixSystem>();
}

}  // namespace trawlbox::platform
