#include "platform/files/target_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/scratch_folder.h"

namespace trawlbox::testing {
namespace {

namespace fs = std::filesystem;
using System = platform::TargetFile::System;

enum class Fault { kNone, kSyncFails, kCloseFails };

// A file of the system's own that reports `fault`.
class FaultyFile : public System::WritableFile {
 public:
  FaultyFile(std::unique_ptr<WritableFile> real, Fault fault)
      : real_(std::move(real)), fault_(fault) {}

  bool Append(const char* data, std::size_t size) override { return real_->Append(data, size); }
  bool Sync() override { return fault_ != Fault::kSyncFails && real_->Sync(); }
  bool Close() override { return real_->Close() && fault_ != Fault::kCloseFails; }

 private:
  std::unique_ptr<WritableFile> real_;
  Fault fault_;
};

// The system's own file calls, except that the first temporary names handed out are
// `first_names` and that the files created report `fault`. Records every path it is asked to
// create.
class ObstructingSystem : public System {
 public:
  ObstructingSystem(std::vector<std::string> first_names, Fault fault)
      : first_names_(std::move(first_names)), fault_(fault) {}

  std::string TemporaryName() override {
    if (handed_out_ < first_names_.size()) return first_names_[handed_out_++];
    return real_->TemporaryName();
  }
  Creation CreateExclusive(const std::string& path, std::unique_ptr<WritableFile>* file) override {
    asked_to_create_.push_back(path);
    const Creation creation = real_->CreateExclusive(path, file);
    if (creation == Creation::kCreated)
      *file = std::make_unique<FaultyFile>(std::move(*file), fault_);
    return creation;
  }
  Found Look(const std::string& path) override { return real_->Look(path); }
  bool Replace(const std::string& from, const std::string& to) override {
    return real_->Replace(from, to);
  }
  void Remove(const std::string& path) override { real_->Remove(path); }

  [[nodiscard]] const std::vector<std::string>& AskedToCreate() const { return asked_to_create_; }

 private:
  std::unique_ptr<System> real_ = platform::TargetFile::SystemCalls();
  std::vector<std::string> first_names_;
  std::size_t handed_out_ = 0;
  Fault fault_;
  std::vector<std::string> asked_to_create_;
};

TEST(TargetFile, SavesOnlyWhatReachedTheDiskThroughAFreshFileInTheTargetsFolder) {
  const std::string kSquatter = "squatter";
  const std::string kNew = "new content";
  struct Case {
    const char* name;
    // Files that stand in the folder before, holding kSquatter, and the first temporary names.
    std::vector<std::string> taken_names;
    // What the target holds before; nothing when null.
    const char* old_target;
    Fault fault;
    bool saved;
    std::string target_after;
    std::vector<std::string> entries_after;
  };
  const std::vector<Case> cases = {
      {"nothing in the way: the old file replaced", {}, "old", Fault::kNone, true, kNew, {"x.mq4"}},
      {"first temporary name taken: saved under a second, the squatter untouched",
       {".trawlbox-taken"},
       nullptr,
       Fault::kNone,
       true,
       kNew,
       {".trawlbox-taken", "x.mq4"}},
      {"two temporary names taken",
       {".trawlbox-a", ".trawlbox-b"},
       "old",
       Fault::kNone,
       true,
       kNew,
       {".trawlbox-a", ".trawlbox-b", "x.mq4"}},
      {"sync fails: not saved, the old file intact",
       {},
       "old",
       Fault::kSyncFails,
       false,
       "old",
       {"x.mq4"}},
      {"closing fails: not saved, the old file intact",
       {},
       "old",
       Fault::kCloseFails,
       false,
       "old",
       {"x.mq4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ScratchFolder scratch;
    const fs::path folder = scratch.Path() / "save";
    fs::create_directory(folder);
    for (const std::string& name : c.taken_names) scratch.Write("save/" + name, kSquatter);
    if (c.old_target != nullptr) scratch.Write("save/x.mq4", c.old_target);
    std::vector<std::string> entries_before = ScratchFolder::EntriesOf(folder);
    ObstructingSystem system(c.taken_names, c.fault);

    platform::TargetFile file(Utf8(folder / "x.mq4"), system);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write(kNew.data(), kNew.size()));

    // The rename that saves the file must stay inside the folder; and a name that stands
    // already is another's, never written over.
    ASSERT_FALSE(system.AskedToCreate().empty());
    for (const std::string& path : system.AskedToCreate()) {
      EXPECT_EQ(FromUtf8(path).parent_path(), folder) << path;
    }
    std::vector<std::string> entries_writing = std::move(entries_before);
    entries_writing.push_back(Utf8(FromUtf8(system.AskedToCreate().back()).filename()));
    std::sort(entries_writing.begin(), entries_writing.end());
    EXPECT_EQ(ScratchFolder::EntriesOf(folder), entries_writing);
    EXPECT_EQ(scratch.Entries(), std::vector<std::string>{"save"});

    EXPECT_EQ(file.Commit(), c.saved);
    EXPECT_EQ(scratch.Read("save/x.mq4"), c.target_after);
    EXPECT_EQ(ScratchFolder::EntriesOf(folder), c.entries_after);
    for (const std::string& name : c.taken_names) {
      EXPECT_EQ(scratch.Read("save/" + name), kSquatter) << name;
    }
  }
}

}  // namespace
}  // namespace trawlbox::testing
