// The durable writer: a file is replaced whole or not at all, and a failure
// at any step (injected through the test seam, or a real one) leaves the old
// file, no temporary file and no open descriptor behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "tests/support/TempDir.h"
#include "text/DurableFile.h"

namespace quillor {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Fails `step` with `number` while it lives, and counts the steps asked.
class ScopedFault {
 public:
  ScopedFault(TDurableStep step, int number) {
    SetDurableFaultForTesting([this, step, number](TDurableStep asked) {
      fAsked.insert(asked);
      return asked == step ? number : 0;
    });
  }
  ~ScopedFault() { SetDurableFaultForTesting({}); }
  ScopedFault(const ScopedFault&) = delete;
  ScopedFault& operator=(const ScopedFault&) = delete;

  bool Asked(TDurableStep step) const { return fAsked.count(step) > 0; }

 private:
  std::set<TDurableStep> fAsked;
};

int OpenDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

constexpr TDurableStep kWriteSteps[] = {
    TDurableStep::kCreateTemporary, TDurableStep::kWrite,      TDurableStep::kSyncFile,
    TDurableStep::kCloseFile,       TDurableStep::kOpenFolder, TDurableStep::kKeepOld,
    TDurableStep::kRename,          TDurableStep::kSyncFolder,
};

TEST(DurableFile, ReplacesTheFileWholeAndLeavesNothingElse) {
  test::TempDir dir;
  const std::string file = (dir.Path() / "address.txt").string();
  ASSERT_TRUE(WriteFileDurably(file, "old"));
  const std::string big(3 << 20, 'x');  // more than one write() may take
  ASSERT_TRUE(WriteFileDurably(file, big));
  EXPECT_EQ(test::TempDir::Read(file), big);
  ASSERT_TRUE(WriteFileDurably(file, "line 1\r\nline 2"));
  EXPECT_EQ(test::TempDir::Read(file), "line 1\r\nline 2");
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"address.txt"});
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

TEST(DurableFile, AFailureAtAnyStepLeavesTheOldFileAndNoDescriptor) {
  for (const TDurableStep step : kWriteSteps) {
    SCOPED_TRACE(static_cast<int>(step));
    test::TempDir dir;
    const std::string file = (dir.Path() / "Brouillon.txt").string();
    ASSERT_TRUE(WriteFileDurably(file, "old content"));
    const int descriptors = OpenDescriptors();
    std::optional<TFileFailure> failure;
    {
      ScopedFault fault(step, EIO);
      failure = ReplaceFileDurably(file, "new content");
      EXPECT_TRUE(fault.Asked(step)) << "the step was never reached";
    }
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->step, step);
    EXPECT_EQ(failure->number, EIO);
    EXPECT_EQ(test::TempDir::Read(file), "old content");
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"Brouillon.txt"});
    EXPECT_EQ(OpenDescriptors(), descriptors);
    // The next write goes through.
    ASSERT_TRUE(WriteFileDurably(file, "new content"));
    EXPECT_EQ(test::TempDir::Read(file), "new content");
  }
}

TEST(DurableFile, AFailedFirstWriteLeavesNoFile) {
  for (const TDurableStep step : kWriteSteps) {
    if (step == TDurableStep::kKeepOld) continue;  // nothing old to keep
    SCOPED_TRACE(static_cast<int>(step));
    test::TempDir dir;
    const std::string file = (dir.Path() / "EnvoiEnCours.txt").string();
    const int descriptors = OpenDescriptors();
    ScopedFault fault(step, ENOSPC);
    std::string error;
    EXPECT_FALSE(WriteFileDurably(file, "bytes", &error));
    EXPECT_THAT(error, HasSubstr(std::strerror(ENOSPC)));
    EXPECT_TRUE(Names(dir.Path()).empty());
    EXPECT_EQ(OpenDescriptors(), descriptors);
  }
}

TEST(DurableFile, RealFailuresAreReportedWithTheirStep) {
  test::TempDir dir;
  const auto missingFolder = ReplaceFileDurably((dir.Path() / "no" / "such.txt").string(), "x");
  ASSERT_TRUE(missingFolder);
  EXPECT_EQ(missingFolder->step, TDurableStep::kCreateTemporary);
  EXPECT_EQ(missingFolder->number, ENOENT);
  // A folder where the file should go: the rename cannot replace it.
  fs::create_directories(dir.Path() / "folder.txt");
  const auto overFolder = ReplaceFileDurably((dir.Path() / "folder.txt").string(), "x");
  ASSERT_TRUE(overFolder);
  EXPECT_EQ(overFolder->step, TDurableStep::kRename);
  EXPECT_TRUE(fs::is_directory(dir.Path() / "folder.txt"));
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"folder.txt"});
  EXPECT_THAT(FailureReason(*overFolder), HasSubstr("remplacement du fichier impossible : "));
  EXPECT_THAT(FailureReasonInEnglish(*missingFolder), HasSubstr("cannot create a temporary file: "));
}

TEST(DurableFile, CreatedFilesNeverReplaceAnotherAndFailuresLeaveNone) {
  test::TempDir dir;
  const std::string folder = dir.Path().string();
  auto nameFor = [](int attempt) {
    return attempt == 1 ? std::string("order.eml") : "order_" + std::to_string(attempt) + ".eml";
  };
  std::string first, second, third;
  ASSERT_FALSE(CreateFileDurably(folder, nameFor, 3, "one", &first));
  ASSERT_FALSE(CreateFileDurably(folder, nameFor, 3, "two", &second));
  ASSERT_FALSE(CreateFileDurably(folder, nameFor, 3, "three", &third));
  EXPECT_EQ(first, folder + "/order.eml");
  EXPECT_EQ(second, folder + "/order_2.eml");
  EXPECT_EQ(test::TempDir::Read(first), "one");
  EXPECT_EQ(test::TempDir::Read(third), "three");
  const auto full = CreateFileDurably(folder, nameFor, 3, "four", nullptr);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->step, TDurableStep::kRename);
  EXPECT_EQ(full->number, EEXIST);
  EXPECT_EQ(Names(dir.Path()).size(), 3u);

  for (const TDurableStep step : kWriteSteps) {
    if (step == TDurableStep::kKeepOld) continue;  // a new file replaces nothing
    SCOPED_TRACE(static_cast<int>(step));
    test::TempDir empty;
    const int descriptors = OpenDescriptors();
    ScopedFault fault(step, EIO);
    std::string created;
    const auto failure = CreateFileDurably(empty.Path().string(), nameFor, 3, "x", &created);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, step);
    EXPECT_TRUE(created.empty());
    EXPECT_TRUE(Names(empty.Path()).empty());
    EXPECT_EQ(OpenDescriptors(), descriptors);
  }
}

TEST(DurableFile, RemovalAndRenamingAreDurableAndReported) {
  test::TempDir dir;
  const std::string file = dir.Write("mark.txt", "m").string();
  EXPECT_FALSE(RemoveFileDurably((dir.Path() / "absent.txt").string())) << "nothing to remove is no failure";
  EXPECT_FALSE(RemoveFileDurably((dir.Path() / "no" / "absent.txt").string()));
  {
    ScopedFault fault(TDurableStep::kRemove, EACCES);
    const auto failure = RemoveFileDurably(file);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, TDurableStep::kRemove);
  }
  EXPECT_TRUE(fs::exists(file));
  EXPECT_FALSE(RemoveFileDurably(file));
  EXPECT_FALSE(fs::exists(file));

  const std::string from = dir.Write("draft.txt", "d").string();
  const std::string taken = dir.Write("taken.txt", "t").string();
  const auto refused = RenameFileDurably(from, taken);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->number, EEXIST);
  EXPECT_EQ(test::TempDir::Read(taken), "t");
  const std::string aside = (dir.Path() / "aside.txt").string();
  {
    ScopedFault fault(TDurableStep::kSyncFolder, EIO);
    ASSERT_TRUE(RenameFileDurably(from, aside));
  }
  EXPECT_EQ(test::TempDir::Read(from), "d") << "back under its old name";
  EXPECT_FALSE(fs::exists(aside));
  EXPECT_FALSE(RenameFileDurably(from, aside));
  EXPECT_EQ(test::TempDir::Read(aside), "d");
  EXPECT_FALSE(fs::exists(from));
}

}  // namespace
}  // namespace quillor
