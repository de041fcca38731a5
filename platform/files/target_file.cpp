#include "platform/files/target_file.h"

#include <random>
#include <string_view>
#include <utility>

#include "platform/program_location.h"

namespace trawlbox::platform {

namespace {

// Saved names never start with a dot, so a temporary file cannot take the name of a saved one.
constexpr std::string_view kTemporaryPrefix = ".trawlbox-";
constexpr int kNameLength = 12;
// A name taken this often in a row is not chance.
constexpr int kAttempts = 100;

}  // namespace

std::string TargetFile::System::TemporaryName() {
  constexpr std::string_view kLetters =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  std::string name(kTemporaryPrefix);
  for (int i = 0; i < kNameLength; ++i) name += kLetters[pick(random)];
  return name;
}

TargetFile::TargetFile(std::string path)
    : own_system_(SystemCalls()), system_(*own_system_), path_(std::move(path)) {}

TargetFile::TargetFile(std::string path, System& system)
    : system_(system), path_(std::move(path)) {}

TargetFile::~TargetFile() { Discard(); }

std::size_t TargetFile::NameStart() const {
  const std::size_t separator = path_.find_last_of(kPathSeparators);
  const std::size_t start = separator == std::string::npos ? 0 : separator + 1;
  return start == path_.size() ? std::string::npos : start;
}

bool TargetFile::MayReplace() const {
  const System::Found found = system_.Look(path_);
  return found == System::Found::kNothing || found == System::Found::kRegularFile;
}

bool TargetFile::Open() {
  const std::size_t name_start = NameStart();
  if (file_ || name_start == std::string::npos || !MayReplace()) return false;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    // Beside the target, so that the rename stays inside one folder and one file system.
    std::string temporary = path_.substr(0, name_start) + system_.TemporaryName();
    switch (system_.CreateExclusive(temporary, &file_)) {
      case System::Creation::kCreated:
        temporary_ = std::move(temporary);
        return true;
      case System::Creation::kNameTaken:
        continue;
      case System::Creation::kFailed:
        return false;
    }
  }
  return false;
}

bool TargetFile::Write(const char* data, std::size_t size) {
  return file_ && file_->Append(data, size);
}

bool TargetFile::Commit() {
  if (!file_) return false;
  const bool synced = file_->Sync();
  const bool closed = file_->Close();
  file_.reset();
  // The rename replaces the last component itself and never follows a link there, so a link
  // slipped in after this check is replaced by the file, not written through: nothing it points
  // to can be touched.
  if (!synced || !closed || !MayReplace() || !system_.Replace(temporary_, path_)) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void TargetFile::Discard() {
  file_.reset();
  if (!temporary_.empty()) {
    system_.Remove(temporary_);
    temporary_.clear();
  }
}

}  // namespace trawlbox::platform
