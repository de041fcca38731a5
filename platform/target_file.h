#pragma once

#include <cstddef>
#include <random>
#include <string>

namespace trawlbox::platform {

// The file a download writes: a fresh temporary file beside the target, renamed over the target
// only when whole and flushed to the disk; never written through a link. Only the last component
// of the path is guarded: a folder reached through a link is the user's choice and is written
// into as usual. Paths are UTF-8; on Windows they may be longer than 260 characters.
class TargetFile {
 public:
  explicit TargetFile(std::string path);
  // Removes the temporary file unless committed.
  ~TargetFile();
  TargetFile(const TargetFile&) = delete;
  TargetFile& operator=(const TargetFile&) = delete;

  // Creates the temporary file (on Linux mode 0666 less the umask, like any new file). Returns
  // false, creating nothing, when the path has no file name, when something that is not a
  // regular file (a symbolic link, a junction, a folder, a device, a pipe, a socket) already
  // stands at the path, or when the temporary file cannot be created. Call once.
  [[nodiscard]] bool Open();

  // Appends `size` bytes to the temporary file. Returns false when they could not all be written.
  [[nodiscard]] bool Write(const char* data, std::size_t size);

  // Flushes the data to the disk, checks the path again and renames the temporary file over it.
  // Returns true only when the target now holds everything written; on any failure the temporary
  // file is removed and the path keeps what it held.
  [[nodiscard]] bool Commit();

  // Drops the temporary file; the path keeps what it held. Does nothing after Commit.
  void Discard();

 private:
  // Where the file name starts in `path_`; npos when the path has none.
  [[nodiscard]] std::size_t NameStart() const;
  // A fresh name for the temporary file in the target's folder.
  [[nodiscard]] std::string TemporaryPath(std::size_t name_start, std::random_device& random) const;
  enum class Creation { kCreated, kNameTaken, kFailed };
  // Creates `temporary` for writing, only where no file or link of that name stands yet, and
  // keeps it open as the file being written.
  [[nodiscard]] Creation CreateExclusive(const std::string& temporary);
  // A download may replace a regular file, or create one where there is nothing; anything else,
  // and a path that cannot be looked at, is left alone.
  [[nodiscard]] bool MayReplace() const;
  [[nodiscard]] bool IsOpen() const;
  void CloseAndRemove();

  std::string path_;
  std::string temporary_;
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int descriptor_ = -1;
#endif
};

}  // namespace trawlbox::platform
