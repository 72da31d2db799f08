// The knowledge files' format: what is written reads back the same, and a
// file that was cut, edited, re-encoded or replaced is told apart from a
// whole one.
#include <gtest/gtest.h>

#include <filesystem>

#include "knowledge/DayDate.h"
#include "knowledge/KnowledgeFiles.h"
#include "tests/support/KnowledgeFileRecords.h"
#include "tests/support/TempDir.h"

namespace quillor {
namespace {

using test::ReadCompositionsFile;
using test::ReadSpecialitiesFile;
using test::TempDir;

TAvailabilityFile SampleAvailability() {
  TAvailabilityFile file;
  file.published = *ParseDayDate("19/05/2026");
  file.records.push_back({"61436304", "", TAvailabilityStatus::kShortage, *ParseDayDate("14/04/2026"),
                          *ParseDayDate("18/05/2026"), kNoDate, "https://ansm.sante.fr/a"});
  file.records.push_back({"67876901", "3091500", TAvailabilityStatus::kTension, *ParseDayDate("21/03/2024"),
                          *ParseDayDate("12/05/2026"), kNoDate, ""});
  file.records.push_back({"68572748", "", TAvailabilityStatus::kBackInStock, *ParseDayDate("18/05/2026"),
                          *ParseDayDate("18/05/2026"), *ParseDayDate("18/05/2026"),
                          "https://ansm.sante.fr/b"});
  return file;
}

TSpecialitiesFile SampleSpecialities() {
  TSpecialitiesFile file;
  file.catalogueDate = *ParseDayDate("27/05/2026");
  file.specialities = {{"60234100", false, "COMPRIME"}, {"60004505", true, "SOLUTION A DILUER"}};
  file.articles = {{"3595583", "60234100"}, {"5500051", "60004505"}};
  file.groups = {{"1227", "64296341", 0}, {"1227", "60078765", 1}};
  return file;
}

TCompositionsFile SampleCompositions() {
  TCompositionsFile file;
  file.records = {{"60234100", "COMPRIME", 1, false, "02202", "PARACETAMOL", "1000 MG", "UN COMPRIME"},
                  {"62731574", "COMPRIME", 1, true, "38524", "PANTOPRAZOLE", "40 MG", "UN COMPRIME"},
                  {"62731574", "COMPRIME", 1, false, "67373", "PANTOPRAZOLE SODIQUE", "45,1 MG", ""}};
  return file;
}

std::string Written(const TempDir& dir, const std::string& name, const std::string& text) {
  return dir.Write(name, text).string();
}

TEST(KnowledgeFiles, EachFileReadsBackWhatWasWritten) {
  TempDir dir;
  std::string error;
  const std::string availabilityName = (dir.Path() / kAvailabilityFileName).string();
  ASSERT_TRUE(WriteAvailabilityFile(availabilityName, SampleAvailability(), &error)) << error;
  TAvailabilityFile availability;
  TKnowledgeFileReport report = ReadAvailabilityFile(availabilityName, availability);
  EXPECT_TRUE(report.Usable());
  EXPECT_TRUE(report.badLines.empty());
  EXPECT_EQ(availability.published, SampleAvailability().published);
  EXPECT_EQ(availability.records, SampleAvailability().records);

  const std::string specialitiesName = (dir.Path() / kSpecialitiesFileName).string();
  ASSERT_TRUE(WriteSpecialitiesFile(specialitiesName, SampleSpecialities(), &error)) << error;
  TSpecialitiesFile specialities;
  EXPECT_TRUE(ReadSpecialitiesFile(specialitiesName, specialities).Usable());
  EXPECT_EQ(specialities.catalogueDate, SampleSpecialities().catalogueDate);
  EXPECT_EQ(specialities.specialities, SampleSpecialities().specialities);
  EXPECT_EQ(specialities.articles, SampleSpecialities().articles);
  EXPECT_EQ(specialities.groups, SampleSpecialities().groups);

  const std::string compositionsName = (dir.Path() / kCompositionsFileName).string();
  ASSERT_TRUE(WriteCompositionsFile(compositionsName, SampleCompositions(), &error)) << error;
  TCompositionsFile compositions;
  EXPECT_TRUE(ReadCompositionsFile(compositionsName, compositions).Usable());
  EXPECT_EQ(compositions.records, SampleCompositions().records);
}

TEST(KnowledgeFiles, TheTextIsHeaderRecordsAndCountWithCrLf) {
  EXPECT_EQ(AvailabilityFileText(SampleAvailability()),
            "QUILLOR;DISPONIBILITES;1;19/05/2026\r\n"
            "D;61436304;;1;14/04/2026;18/05/2026;;https://ansm.sante.fr/a\r\n"
            "D;67876901;3091500;2;21/03/2024;12/05/2026;;\r\n"
            "D;68572748;;4;18/05/2026;18/05/2026;18/05/2026;https://ansm.sante.fr/b\r\n"
            "FIN;3\r\n");
}

TEST(KnowledgeFiles, SeparatorsAndLineBreaksInTextsCannotSplitARecord) {
  TCompositionsFile file;
  file.records = {{"60234100", "COMPRIME", 1, false, "1", "A;B", "1\r\nMG", "X\tY"}};
  const std::string text = CompositionsFileText(file);
  EXPECT_NE(text.find("C;60234100;COMPRIME;1;SA;1;A,B;1  MG;X Y\r\n"), std::string::npos) << text;
  TempDir dir;
  TCompositionsFile read;
  const TKnowledgeFileReport report = ReadCompositionsFile(Written(dir, "c.txt", text), read);
  ASSERT_TRUE(report.Usable());
  ASSERT_EQ(read.records.size(), 1u);
  EXPECT_EQ(read.records[0].name, "A,B");
}

TEST(KnowledgeFiles, AFileCutShortIsNotUsedAtAll) {
  const std::string whole = AvailabilityFileText(SampleAvailability());
  TempDir dir;
  // Cut anywhere after the header: at a line end (the count is gone) or
  // inside a line; and a record line lost from the middle.
  const size_t secondLine = whole.find("\r\n") + 2;
  for (size_t cut : {secondLine, whole.find("FIN"), whole.size() - 4, secondLine + 20}) {
    TAvailabilityFile file;
    file.published = 1;
    const TKnowledgeFileReport report =
        ReadAvailabilityFile(Written(dir, "d.txt", whole.substr(0, cut)), file);
    EXPECT_EQ(report.state, TKnowledgeFileState::kTruncated) << "cut at " << cut;
    EXPECT_TRUE(file.records.empty());
    EXPECT_EQ(file.published, kNoDate) << "nothing of a file that is not used";
  }
  std::string holed = whole;
  const size_t line = holed.find("D;67876901");
  holed.erase(line, holed.find("\r\n", line) + 2 - line);
  TAvailabilityFile file;
  EXPECT_EQ(ReadAvailabilityFile(Written(dir, "d.txt", holed), file).state, TKnowledgeFileState::kTruncated);
}

TEST(KnowledgeFiles, MalformedRecordLinesAreLeftOutAndNumbered) {
  std::string text = AvailabilityFileText(SampleAvailability());
  // Line 2: a status the agency does not use; line 3: a day that does not
  // exist; line 4 stays.
  text.replace(text.find(";1;14/04/2026"), 13, ";7;14/04/2026");
  text.replace(text.find("21/03/2024"), 10, "31/02/2024");
  TempDir dir;
  TAvailabilityFile file;
  const TKnowledgeFileReport report = ReadAvailabilityFile(Written(dir, "d.txt", text), file);
  ASSERT_TRUE(report.Usable());
  EXPECT_EQ(report.badLines, (std::vector<int32_t>{2, 3}));
  ASSERT_EQ(file.records.size(), 1u);
  EXPECT_EQ(file.records[0].cis, "68572748");

  // A record line of another file's kind is malformed here too.
  std::string mixed = SpecialitiesFileText(SampleSpecialities());
  mixed.replace(mixed.find("A;3595583;60234100"), 18, "D;3595583;60234100");
  TSpecialitiesFile specialities;
  const TKnowledgeFileReport mixedReport = ReadSpecialitiesFile(Written(dir, "s.txt", mixed), specialities);
  EXPECT_TRUE(mixedReport.Usable());
  EXPECT_EQ(mixedReport.badLines, (std::vector<int32_t>{4}));
  EXPECT_EQ(specialities.articles.size(), 1u);
}

TEST(KnowledgeFiles, LinesAfterTheCountAreNotPartOfTheFile) {
  const std::string text = AvailabilityFileText(SampleAvailability()) + "D;1;;1;01/01/2026;01/01/2026;;\r\n";
  TempDir dir;
  TAvailabilityFile file;
  const TKnowledgeFileReport report = ReadAvailabilityFile(Written(dir, "d.txt", text), file);
  ASSERT_TRUE(report.Usable());
  EXPECT_EQ(report.badLines, (std::vector<int32_t>{6}));
  EXPECT_EQ(file.records.size(), 3u);
}

TEST(KnowledgeFiles, OtherFilesAndEncodingsAreRefusedWithTheirReason) {
  TempDir dir;
  TAvailabilityFile file;
  const std::string specialities = SpecialitiesFileText(SampleSpecialities());
  EXPECT_EQ(ReadAvailabilityFile(Written(dir, "a.txt", specialities), file).state,
            TKnowledgeFileState::kNotThisFile)
      << "another kind of knowledge file";
  std::string newer = AvailabilityFileText(SampleAvailability());
  newer.replace(newer.find(";1;"), 3, ";2;");
  EXPECT_EQ(ReadAvailabilityFile(Written(dir, "b.txt", newer), file).state, TKnowledgeFileState::kNotThisFile)
      << "a version this program does not know";
  EXPECT_EQ(ReadAvailabilityFile(Written(dir, "c.txt", "CIP;Designation;Prix\r\n"), file).state,
            TKnowledgeFileState::kNotThisFile);
  EXPECT_EQ(ReadAvailabilityFile(Written(dir, "e.txt", ""), file).state, TKnowledgeFileState::kNotThisFile);

  // The same text in UTF-16 (little-endian, with its mark).
  std::string wide = "\xFF\xFE";
  for (char c : AvailabilityFileText(SampleAvailability())) {
    wide += c;
    wide += '\0';
  }
  EXPECT_EQ(ReadAvailabilityFile(Written(dir, "f.txt", wide), file).state,
            TKnowledgeFileState::kOtherEncoding);

  EXPECT_EQ(ReadAvailabilityFile((dir.Path() / "none.txt").string(), file).state,
            TKnowledgeFileState::kMissing);
  std::filesystem::create_directory(dir.Path() / "folder.txt");
  EXPECT_EQ(ReadAvailabilityFile((dir.Path() / "folder.txt").string(), file).state,
            TKnowledgeFileState::kUnreadable);
}

TEST(KnowledgeFiles, AUtf8CopyIsReadAsTheWindows1252ItSpells) {
  TCompositionsFile accented;
  accented.records = {{"60234100", "COMPRIM\xC9", 1, false, "02202", "PARAC\xC9TAMOL", "1000 MG", ""}};
  const std::string cp1252 = CompositionsFileText(accented);
  std::string utf8 = "\xEF\xBB\xBF";
  for (char c : cp1252) {
    if (c == '\xC9') {
      utf8 += "\xC3\x89";
    } else {
      utf8 += c;
    }
  }
  TempDir dir;
  for (const std::string& text : {cp1252, utf8, utf8.substr(3)}) {
    TCompositionsFile read;
    ASSERT_TRUE(ReadCompositionsFile(Written(dir, "c.txt", text), read).Usable());
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].name, "PARAC\xC9TAMOL");
  }
}

TEST(KnowledgeFiles, LineEndsOfAnyKindAreRead) {
  std::string text = SpecialitiesFileText(SampleSpecialities());
  std::string lf;
  for (char c : text) {
    if (c != '\r') lf += c;
  }
  TempDir dir;
  TSpecialitiesFile file;
  ASSERT_TRUE(ReadSpecialitiesFile(Written(dir, "s.txt", lf), file).Usable());
  EXPECT_EQ(file.articles, SampleSpecialities().articles);
}

TEST(KnowledgeFiles, TheFilesLieInTheArticleFilesFolder) {
  EXPECT_EQ(KnowledgeFolderOf("./Data/BaseDeDonneeArticles.db"), "./Data");
  EXPECT_EQ(KnowledgeFolderOf("BaseDeDonneeArticles.db"), ".");
  EXPECT_EQ(KnowledgeFolderOf("/BaseDeDonneeArticles.db"), "/");
  EXPECT_EQ(KnowledgeFilePath("./Data", kAvailabilityFileName), "./Data/Disponibilites.txt");
  EXPECT_EQ(KnowledgeFilePath("/", kAvailabilityFileName), "/Disponibilites.txt");
}

TEST(DayDate, OnlyDaysThatExistAreRead) {
  EXPECT_EQ(ParseDayDate("19/05/2026"), 20260519);
  EXPECT_EQ(ParseDayDate("29/02/2024"), 20240229);
  EXPECT_EQ(ParseDayDate("29/02/2026"), std::nullopt);
  EXPECT_EQ(ParseDayDate("31/04/2026"), std::nullopt);
  EXPECT_EQ(ParseDayDate("1/05/2026"), std::nullopt);
  EXPECT_EQ(ParseDayDate(" 19/05/2026"), std::nullopt);
  EXPECT_EQ(ParseDayDate("19-05-2026"), std::nullopt);
  EXPECT_EQ(ParseDayDate(""), std::nullopt);
  EXPECT_EQ(FormatDayDate(20260519), "19/05/2026");
  EXPECT_EQ(FormatDayDate(kNoDate), "");
  EXPECT_GT(*ParseDayDate("01/01/2027"), *ParseDayDate("31/12/2026"));
}

}  // namespace
}  // namespace quillor
