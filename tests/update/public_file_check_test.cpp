// The check of each downloaded file: text in the database's encodings, and
// every line shaped as a line of that file.
#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "tests/update/UpdateFixtures.h"
#include "update/PublicFileCheck.h"

namespace quillor::update::test {
namespace {

using quillor::test::TempDir;

const TPublicFile& Specialities() {
  return FileOfRole(TFileRole::kSpecialities);
}
const TPublicFile& Presentations() {
  return FileOfRole(TFileRole::kPresentations);
}

std::optional<std::string> Check(const TPublicFile& file, const std::string& bytes) {
  catalogue::ExportFile decoded;
  return CheckPublicFile(file, bytes, decoded);
}

std::string Small(const std::string& name) {
  return TempDir::Read(SmallExport() / name);
}

// One presentation line as published (13 fields), with these values.
std::string PresentationLine(const std::string& cis, const std::string& cip, const std::string& price) {
  return cis + "\t" + cip +
         "\tplaquette(s) de 8 comprim\xC3\xA9(s)\tPr\xC3\xA9sentation active\t"
         "D\xC3\xA9"
         "claration de commercialisation\t01/02/2020\t34009" +
         cip + "0\toui\t65%\t" + price + "\t" + price + "\t\t\n";
}

TEST(PublicFileCheckTest, TheFilesAsPublishedPass) {
  catalogue::ExportFile decoded;
  EXPECT_EQ(CheckPublicFile(Specialities(), Small("CIS_bdpm.txt"), decoded), std::nullopt);
  EXPECT_EQ(decoded.encoding, catalogue::ExportEncoding::kWindows1252);
  EXPECT_EQ(decoded.lines.size(), 24u);
  EXPECT_EQ(CheckPublicFile(Presentations(), Small("CIS_CIP_bdpm.txt"), decoded), std::nullopt);
  EXPECT_EQ(decoded.encoding, catalogue::ExportEncoding::kUtf8);
}

TEST(PublicFileCheckTest, EveryFileOfTheSmallExportPasses) {
  for (const TPublicFile& file : CatalogueFiles()) {
    EXPECT_EQ(Check(file, Small(std::string(file.name))), std::nullopt) << file.name;
  }
}

TEST(PublicFileCheckTest, TheWholeRealExportPasses) {
  const std::filesystem::path real = quillor::test::RawExportDir("2026-05");
  if (real.empty()) GTEST_SKIP() << "../shared/data/bdpm-raw/2026-05 is not beside the project";
  for (const TPublicFile& file : CatalogueFiles()) {
    EXPECT_EQ(Check(file, TempDir::Read(real / std::string(file.name))), std::nullopt) << file.name;
  }
  const std::filesystem::path old = quillor::test::RawExportDir("2019-03");
  if (old.empty()) return;
  EXPECT_EQ(Check(Specialities(), TempDir::Read(old / "CIS_bdpm.txt")), std::nullopt);
  EXPECT_EQ(Check(Presentations(), TempDir::Read(old / "CIS_CIP_bdpm.txt")), std::nullopt);
}

TEST(PublicFileCheckTest, AnotherEncodingIsRefused) {
  // UTF-16, as a spreadsheet saves "Unicode text".
  std::string utf16 = "\xFF\xFE";
  for (char c : Small("CIS_bdpm.txt").substr(0, 200)) {
    utf16 += c;
    utf16 += '\0';
  }
  EXPECT_EQ(Check(Specialities(), utf16),
            Fr("fichier en UTF-16 : encodage inattendu (UTF-8 ou Windows-1252 attendu)"));
  // The same without its byte-order mark still holds NUL bytes.
  EXPECT_EQ(Check(Specialities(), utf16.substr(2)), Fr("l'octet de contrôle 0x00 à la ligne 1 montre que ce "
                                                       "n'est pas un texte en UTF-8 ni en Windows-1252"));
  // A Windows-1252 line inside a UTF-8 file is read as the import reads it,
  // line by line: in a label it passes, in a code it is named.
  const std::string utf8 = Small("CIS_CIP_bdpm.txt");
  const size_t line2 = utf8.find('\n') + 1;
  std::string mixed = utf8;
  mixed.insert(mixed.find('\t', mixed.find('\t', line2) + 1) + 1, "\xE9");
  catalogue::ExportFile decoded;
  EXPECT_EQ(CheckPublicFile(Presentations(), mixed, decoded), std::nullopt);
  EXPECT_EQ(decoded.encoding, catalogue::ExportEncoding::kMixed);
  std::string damaged = utf8;
  damaged.insert(line2 + 3, "\xE9");
  EXPECT_EQ(Check(Presentations(), damaged), Fr("ligne 2 : code « 600E25054 » illisible"));
  // Binary data: a compressed file.
  EXPECT_NE(Check(Specialities(), std::string("\x1F\x8B\x08\x00\x00\x00", 6)), std::nullopt);
}

TEST(PublicFileCheckTest, AnErrorPageOrAnEmptyFileIsRefused) {
  EXPECT_EQ(Check(Specialities(), ""), Fr("fichier vide"));
  EXPECT_EQ(Check(Specialities(), "\r\n\r\n"), Fr("aucune ligne"));
  EXPECT_EQ(Check(Specialities(), "<html>\n<body>Maintenance en cours</body>\n</html>\n"),
            Fr("ligne 1 : 1 champs au lieu de 12 (et 2 autres lignes)"));
}

TEST(PublicFileCheckTest, TheFirstLineAtFaultIsNamedWithTheCountOfTheOthers) {
  // Cut inside its last line, as a download stopped halfway would leave it.
  std::string cut = Small("CIS_bdpm.txt");
  cut.resize(cut.size() - 40);
  EXPECT_EQ(Check(Specialities(), cut).value_or("").substr(0, 10), Fr("ligne 24 :"));

  std::string presentations = Small("CIS_CIP_bdpm.txt");
  presentations += PresentationLine("6000000X", "1234567", "1,20");
  presentations += PresentationLine("60000001", "12345", "1,20");
  presentations += PresentationLine("60000001", "1234567", "douze");
  presentations += PresentationLine("60000001", "1234567", "1,003,48");  // thousands, as published: fine
  EXPECT_EQ(Check(Presentations(), presentations),
            Fr("ligne 28 : code « 6000000X » illisible (et 2 autres lignes)"));
  presentations = Small("CIS_CIP_bdpm.txt") + PresentationLine("60000001", "12345", "1,20");
  EXPECT_EQ(Check(Presentations(), presentations), Fr("ligne 28 : code CIP « 12345 » illisible"));
  presentations = Small("CIS_CIP_bdpm.txt") + PresentationLine("60000001", "1234567", "douze");
  EXPECT_EQ(Check(Presentations(), presentations), Fr("ligne 28 : prix « DOUZE » illisible"));
}

TEST(PublicFileCheckTest, AConditionMayGoOnOverTheNextLinesAndNoOtherRecordMay) {
  const TPublicFile& conditions = FileOfRole(TFileRole::kConditions);
  // As published: a condition holding CR CR LF, its record going on below.
  const std::string continued =
      "60234100\tliste II\r\n60310861\tr\xE9serv\xE9 \xE0\r\r\nl'usage HOSPITALIER\r\n";
  EXPECT_EQ(Check(conditions, continued), std::nullopt);
  EXPECT_EQ(Check(conditions, "60234100\r\n"), Fr("ligne 1 : 1 champs au lieu de 2"));
  const TPublicFile& availability = FileOfRole(TFileRole::kAvailability);
  EXPECT_EQ(Check(availability, Small("CIS_CIP_Dispo_Spec.txt") + "suite d'une ligne\r\n"),
            Fr("ligne 9 : 1 champs au lieu de 8"));
}

TEST(PublicFileCheckTest, AFileServedUnderAnothersNameIsRefused) {
  // The presentations' lines have 13 fields, but their second is no CIS
  // denomination; the specialities' have 12, too few for presentations.
  EXPECT_EQ(Check(Presentations(), Small("CIS_bdpm.txt")),
            Fr("ligne 1 : 12 champs au lieu de 13 (et 23 autres lignes)"));
}

}  // namespace
}  // namespace quillor::update::test
