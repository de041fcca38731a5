#include "platform/target_file.h"

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

TargetFile::TargetFile(std::string path) : path_(std::move(path)) {}

TargetFile::~TargetFile() { Discard(); }

std::size_t TargetFile::NameStart() const {
  const std::size_t separator = path_.find_last_of(kPathSeparators);
  const std::size_t start = separator == std::string::npos ? 0 : separator + 1;
  return start == path_.size() ? std::string::npos : start;
}

std::string TargetFile::TemporaryPath(std::size_t name_start, std::random_device& random) const {
  constexpr std::string_view kLetters =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  std::string temporary = path_.substr(0, name_start);
  temporary += kTemporaryPrefix;
  for (int i = 0; i < kNameLength; ++i) temporary += kLetters[pick(random)];
  return temporary;
}

bool TargetFile::Open() {
  const std::size_t name_start = NameStart();
  if (IsOpen() || name_start == std::string::npos || !MayReplace()) return false;
  std::random_device random;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string temporary = TemporaryPath(name_start, random);
    switch (CreateExclusive(temporary)) {
      case Creation::kCreated:
        temporary_ = std::move(temporary);
        return true;
      case Creation::kNameTaken:
        continue;
      case Creation::kFailed:
        return false;
    }
  }
  return false;
}

void TargetFile::Discard() { CloseAndRemove(); }

}  // namespace trawlbox::platform
