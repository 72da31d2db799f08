#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "text/FileSystem.h"
#include "text/TextLines.h"

namespace quillor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SplitLines, EveryKindOfLineBreakEndsOneLine) {
  EXPECT_THAT(SplitLines("a\r\nb\nc\rd"), ElementsAre("a", "b", "c", "d"));
  EXPECT_THAT(SplitLines("a\r\r\nb"), ElementsAre("a", "", "b"));  // lone CR, then CR LF
  EXPECT_THAT(SplitLines("a\n\rb"), ElementsAre("a", "", "b"));    // LF then lone CR: two breaks
}

TEST(SplitLines, FinalBreakAddsNoLineButEmptyLinesInsideStay) {
  EXPECT_THAT(SplitLines("a\r\n"), ElementsAre("a"));
  EXPECT_THAT(SplitLines("a\r\n\r\n"), ElementsAre("a", ""));
  EXPECT_THAT(SplitLines(""), IsEmpty());
  EXPECT_THAT(SplitLines("\n"), ElementsAre(""));
}

TEST(SplitLines, NulEndsTheText) {
  EXPECT_THAT(SplitLines(std::string("ab\r\ncd\0ef\r\ngh", 14)), ElementsAre("ab", "cd"));
  EXPECT_THAT(SplitLines(std::string("\0abc", 4)), IsEmpty());
}

TEST(SplitLines, KeepsHighBytes) {
  EXPECT_THAT(SplitLines("cr\xE8me\r\nbr\xFBl\xE9" "e"), ElementsAre("cr\xE8me", "br\xFBl\xE9" "e"));
}

TEST(ReadFileLines, MissingFileAndDirectoryAreNotReadable) {
  test::TempDir dir;
  TStringList lines{"stale"};
  EXPECT_FALSE(ReadFileLines((dir.Path() / "missing.txt").string(), lines));
  EXPECT_THAT(lines, IsEmpty());
  EXPECT_FALSE(ReadFileLines(dir.Path().string(), lines));
  EXPECT_TRUE(DirectoryExists(dir.Path().string()));
  EXPECT_FALSE(FileExists(dir.Path().string()));
}

}  // namespace
}  // namespace quillor
