#pragma once

#include <cstddef>
#include <string>

namespace trawlbox::platform {

// The file a download writes: a fresh temporary file beside the target, renamed over the target
// only when whole and synced; never written through a link. Only the last component of the path
// is guarded: a folder reached through a link is the user's choice and is written into as usual.
class TargetFile {
 public:
  explicit TargetFile(std::string path);
  // Removes the temporary file unless committed.
  ~TargetFile();
  TargetFile(const TargetFile&) = delete;
  TargetFile& operator=(const TargetFile&) = delete;

  // Creates the temporary file (mode 0666 less the umask, like any new file). Returns false,
  // creating nothing, when the path has no file name, when something that is not a regular file
  // (a symbolic link, a folder, a device, a pipe, a socket) already stands at the path, or when
  // the temporary file cannot be created. Call once.
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
  std::string path_;
  std::string temporary_;
  int descriptor_ = -1;
};

}  // namespace trawlbox::platform
