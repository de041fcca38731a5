#include "platform/target_file.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/win32/long_path.h"

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

}  // namespace

// CREATE_NEW fails on any name already taken, a link's included, so nothing is opened through
// one; no sharing keeps others out of the half-written file.
TargetFile::Creation TargetFile::CreateExclusive(const std::string& temporary) {
  HANDLE handle = CreateFileW(LongPath(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_FILE_EXISTS ? Creation::kNameTaken : Creation::kFailed;
  }
  handle_ = handle;
  return Creation::kCreated;
}

bool TargetFile::Write(const char* data, std::size_t size) {
  if (!IsOpen()) return false;
  while (size > 0) {
    const auto piece = static_cast<DWORD>(std::min(size, kMostBytesPerWrite));
    DWORD written = 0;
    if (WriteFile(handle_, data, piece, &written, nullptr) == FALSE || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

bool TargetFile::Commit() {
  if (!IsOpen()) return false;
  const bool flushed = FlushFileBuffers(handle_) != FALSE;
  const bool closed = CloseHandle(handle_) != FALSE;
  handle_ = nullptr;
  // MoveFileExW replaces the last component itself and never follows a link there, so a link
  // slipped in after this check is replaced by the file, not written through; a folder there
  // makes it fail.
  if (!flushed || !closed || !MayReplace() ||
      MoveFileExW(LongPath(temporary_).c_str(), LongPath(path_).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == FALSE) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

// The attributes tell a folder and a link (a symbolic link or a junction) apart from a file; only
// an open handle tells a device, which has no attributes of its own to show.
bool TargetFile::MayReplace() const {
  const std::wstring path = LongPath(path_);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
  constexpr DWORD kNotAFile =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
  if ((attributes & kNotAFile) != 0) return false;
  const OwnedHandle inspected = OpenForInspection(path);
  return inspected && GetFileType(inspected.get()) == FILE_TYPE_DISK;
}

bool TargetFile::IsOpen() const { return handle_ != nullptr; }

void TargetFile::CloseAndRemove() {
  if (IsOpen()) {
    CloseHandle(handle_);
    handle_ = nullptr;
  }
  if (!temporary_.empty()) {
    DeleteFileW(LongPath(temporary_).c_str());
    temporary_.clear();
  }
}

}  // namespace trawlbox::platform
