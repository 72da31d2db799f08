// The grid's titles are written after every search from the settings file:
// whatever is kept between two searches, each change of the file shows at
// the next one, and a file that reports reports every time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "app/GridTitles.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceRecorder.h"

namespace quillor {
namespace {

using test::TempDir;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Settings(const std::string& cip, const std::string& designation, const std::string& price) {
  return "[FRANCAIS]\r\nColCIP=" + cip + "\r\nColDesignation=" + designation + "\r\nColTarif=" + price +
         "\r\n";
}

// A file is kept only once it has been left alone for a second.
void LetSettle() {
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
}

TEST(GridTitlesFile, EveryChangeOfTheFileShowsAtTheNextRead) {
  TempDir dir;
  const std::string file = dir.Write("Versions.ini", Settings("CIP", "Designation", "Prix")).string();
  const std::string incomplete = dir.Write("Incomplete.ini", "[FRANCAIS]\r\nColCIP=CIP\r\n").string();
  LetSettle();
  test::TraceRecorder trace;
  TGridTitlesFile titles(file);
  EXPECT_THAT(titles.Read(), ElementsAre("CIP", "Designation", "Prix"));
  EXPECT_THAT(titles.Read(), ElementsAre("CIP", "Designation", "Prix"));
  // Rewritten in place at once, to the same size: its stamp changes anyway.
  dir.Write("Versions.ini", Settings("Cod", "Designation", "Prix"));
  EXPECT_THAT(titles.Read(), ElementsAre("Cod", "Designation", "Prix"));
  dir.Write("Versions.ini", Settings("Cip", "Designation", "Prix"));
  EXPECT_THAT(titles.Read(), ElementsAre("Cip", "Designation", "Prix"));
  LetSettle();
  EXPECT_THAT(titles.Read(), ElementsAre("Cip", "Designation", "Prix"));
  dir.Write("Versions.ini", Settings("CIP", "Article", "Prix"));
  EXPECT_THAT(titles.Read(), ElementsAre("CIP", "Article", "Prix"));
  // Another file renamed over it, as an atomic save does.
  std::filesystem::rename(dir.Write("New.ini", Settings("Code", "Libelle", "Tarif")), file);
  EXPECT_THAT(titles.Read(), ElementsAre("Code", "Libelle", "Tarif"));
  EXPECT_THAT(trace.Errors(), IsEmpty());

  // Reports are made at every read, however settled the file is.
  TGridTitlesFile partial(incomplete);
  for (int read = 0; read < 2; ++read) EXPECT_THAT(partial.Read(), ElementsAre("CIP", "", ""));
  EXPECT_THAT(trace.Errors(), ElementsAre("TIniManager.Get : [FRANCAIS]/ColDesignation n'existe pas",
                                          "TIniManager.Get : [FRANCAIS]/ColTarif n'existe pas",
                                          "TIniManager.Get : [FRANCAIS]/ColDesignation n'existe pas",
                                          "TIniManager.Get : [FRANCAIS]/ColTarif n'existe pas"));
  trace.Clear();
  std::filesystem::remove(file);
  for (int read = 0; read < 2; ++read) EXPECT_THAT(titles.Read(), ElementsAre("", "", ""));
  EXPECT_EQ(trace.Errors().size(), 2u * 4u) << "the file, then each title, at each read";
}

}  // namespace
}  // namespace quillor
