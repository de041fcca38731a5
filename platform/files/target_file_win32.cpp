#include "platform/files/target_file.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/files/long_path.h"

namespace trawlbox::platform {

namespace {

// WriteFile counts in a DWORD; a piece this size keeps every count well inside it.
constexpr std::size_t kMostBytesPerWrite = std::size_t{1} << 24;

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

// A handle that only tells what the path names: no data access, the link itself rather than
// what it points to, and a folder as well as a file.
OwnedHandle OpenForInspection(const std::wstring& path) {
  HANDLE handle = CreateFileW(
      path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  return OwnedHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

class Win32File : public TargetFile::System::WritableFile {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}

  bool Append(const char* data, std::size_t size) override {
    while (size > 0) {
      const auto piece = static_cast<DWORD>(std::min(size, kMostBytesPerWrite));
      DWORD written = 0;
      if (WriteFile(handle_.get(), data, piece, &written, nullptr) == FALSE || written == 0) {
        return false;
      }
      data += written;
      size -= written;
    }
    return true;
  }

  bool Sync() override { return FlushFileBuffers(handle_.get()) != FALSE; }

  bool Close() override { return CloseHandle(handle_.release()) != FALSE; }

 private:
  OwnedHandle handle_;
};

class Win32System : public TargetFile::System {
 public:
  // CREATE_NEW fails on any name already taken, a link's included, so nothing is opened through
  // one; no sharing keeps others out of the half-written file.
  Creation CreateExclusive(const std::string& path, std::unique_ptr<WritableFile>* file) override {
    HANDLE handle = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      return GetLastError() == ERROR_FILE_EXISTS ? Creation::kNameTaken : Creation::kFailed;
    }
    *file = std::make_unique<Win32File>(handle);
    return Creation::kCreated;
  }

  // The attributes tell a folder and a link (a symbolic link or a junction) apart from a file;
  // only an open handle tells a device, which has no attributes of its own to show.
  Found Look(const std::string& utf8_path) override {
    const std::wstring path = LongPath(utf8_path);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      return GetLastError() == ERROR_FILE_NOT_FOUND ? Found::kNothing : Found::kOther;
    }
    constexpr DWORD kNotAFile =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    if ((attributes & kNotAFile) != 0) return Found::kOther;
    const OwnedHandle inspected = OpenForInspection(path);
    return inspected && GetFileType(inspected.get()) == FILE_TYPE_DISK ? Found::kRegularFile
                                                                       : Found::kOther;
  }

  // MoveFileExW replaces the last component itself and never follows a link there; a folder
  // there makes it fail.
  bool Replace(const std::string& from, const std::string& to) override {
    return MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  }

  void Remove(const std::string& path) override { DeleteFileW(LongPath(path).c_str()); }
};

}  // namespace

std::unique_ptr<TargetFile::System> TargetFile::SystemCalls() {
  return std::make_unique<Win32System>();
}

}  // namespace trawlbox::platform
