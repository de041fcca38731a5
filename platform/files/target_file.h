#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace trawlbox::platform {

// The file a download writes: a fresh temporary file beside the target, renamed over the target
// only when whole and flushed to the disk; never written through a link. Only the last component
// of the path is guarded: a folder reached through a link is the user's choice and is written
// into as usual. Paths are UTF-8; on Windows they may be longer than 260 characters.
class TargetFile {
 public:
  // The file calls a TargetFile makes, and where its temporary names come from, so that a test
  // can put a taken name or a failing call in its way. Paths are UTF-8, as TargetFile's own.
  class System {
   public:
    // A file open for writing; closed, if Close was not called, when destroyed.
    class WritableFile {
     public:
      virtual ~WritableFile() = default;
      // Appends `size` bytes. Returns false when they could not all be written.
      [[nodiscard]] virtual bool Append(const char* data, std::size_t size) = 0;
      // Flushes what was appended to the disk. Returns false when that is not confirmed.
      [[nodiscard]] virtual bool Sync() = 0;
      // Closes the file; call once, and nothing after it. Returns false when closing reports an
      // error, after which what was appended may be lost.
      [[nodiscard]] virtual bool Close() = 0;
    };

    enum class Creation { kCreated, kNameTaken, kFailed };
    // What stands at a path: kOther for anything that is not a regular file (a link, a
    // junction, a folder, a device, a pipe, a socket) and for a path that cannot be looked at.
    enum class Found { kNothing, kRegularFile, kOther };

    virtual ~System() = default;

    // A fresh file name, without a folder, for a temporary file: random at each call, and
    // starting with a dot, which no saved name does.
    [[nodiscard]] virtual std::string TemporaryName();
    // Creates `path` for writing and sets `*file` to it, only where nothing of that name stands
    // yet (a link there, even a dangling one, is not followed). kNameTaken when something stands
    // there; kFailed on any other failure. `*file` is left alone unless created.
    [[nodiscard]] virtual Creation CreateExclusive(const std::string& path,
                                                   std::unique_ptr<WritableFile>* file) = 0;
    // What stands at `path` itself; a link there is looked at, not followed.
    [[nodiscard]] virtual Found Look(const std::string& path) = 0;
    // Renames the closed file `from` over `to`, replacing what stands at `to` itself (a link
    // there is replaced, not written through). Returns false, both paths unchanged, on failure.
    [[nodiscard]] virtual bool Replace(const std::string& from, const std::string& to) = 0;
    // Removes the closed file at `path`; does nothing when it cannot.
    virtual void Remove(const std::string& path) = 0;
  };

  // The system's own file calls.
  [[nodiscard]] static std::unique_ptr<System> SystemCalls();

  // Writes through SystemCalls().
  explicit TargetFile(std::string path);
  // Writes through `system`, which must outlive the file.
  TargetFile(std::string path, System& system);
  // Removes the temporary file unless committed.
  ~TargetFile();
  TargetFile(const TargetFile&) = delete;
  TargetFile& operator=(const TargetFile&) = delete;

  // Creates the temporary file in the target's folder (on Linux mode 0666 less the umask, like
  // any new file), trying fresh names while the ones tried are taken. Returns false, creating
  // nothing, when the path has no file name, when something that is not a regular file already
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
  // A download may replace a regular file, or create one where there is nothing; anything else,
  // and a path that cannot be looked at, is left alone.
  [[nodiscard]] bool MayReplace() const;

  std::unique_ptr<System> own_system_;
  System& system_;
  std::string path_;
  std::string temporary_;
  std::unique_ptr<System::WritableFile> file_;
};

}  // namespace trawlbox::platform
