#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/ExportFile.h"
#include "tests/catalogue/ExportFixtures.h"

namespace quillor::catalogue {
namespace {

using test::FixtureBytes;

TEST(ExportFile, EachFileOfOneExportIsDecodedInItsOwnEncoding) {
  // 2026-05: the specialities in Windows-1252 with CR LF, the presentations in UTF-8 with LF.
  const ExportFile specialities = DecodeExport(FixtureBytes("2026-05", "CIS_bdpm.txt"));
  EXPECT_EQ(specialities.encoding, ExportEncoding::kWindows1252);
  EXPECT_EQ(specialities.lineEnds, ExportLineEnds::kCrLf);
  const ExportFile presentations = DecodeExport(FixtureBytes("2026-05", "CIS_CIP_bdpm.txt"));
  EXPECT_EQ(presentations.encoding, ExportEncoding::kUtf8);
  EXPECT_EQ(presentations.lineEnds, ExportLineEnds::kLf);
  // The same accented word read from both files.
  bool found = false;
  for (const ExportLine& line : specialities.lines) {
    if (line.fields[0] == U"60234100") {
      EXPECT_EQ(line.fields[1], U"DOLIPRANE 1000 mg, comprim\u00E9");
      EXPECT_EQ(line.fields.size(), 12u);
      EXPECT_EQ(line.fields[10], U" OPELLA HEALTHCARE FRANCE");  // nothing trimmed
      found = true;
    }
  }
  EXPECT_TRUE(found);
  ASSERT_FALSE(presentations.lines.empty());
  for (const ExportLine& line : presentations.lines) {
    if (line.fields[1] == U"3595583") {
      EXPECT_EQ(line.fields[2], U"plaquette(s) thermoform\u00E9e(s) PVC-aluminium de 8  comprim\u00E9(s)");
      EXPECT_EQ(line.fields[4], U"D\u00E9claration de commercialisation");
    }
  }
  // 2019-03: both in Windows-1252, the presentations with LF.
  EXPECT_EQ(DecodeExport(FixtureBytes("2019-03", "CIS_CIP_bdpm.txt")).encoding, ExportEncoding::kWindows1252);
  EXPECT_EQ(DecodeExport(FixtureBytes("2019-03", "CIS_CIP_bdpm.txt")).lineEnds, ExportLineEnds::kLf);
}

TEST(ExportFile, AByteOrderMarkMakesUtf8AndIsNotPartOfTheFirstField) {
  const std::string utf8 = "60234100\tcomprim\xC3\xA9\r\n";
  const ExportFile withBom = DecodeExport("\xEF\xBB\xBF" + utf8);
  EXPECT_EQ(withBom.encoding, ExportEncoding::kUtf8WithBom);
  ASSERT_EQ(withBom.lines.size(), 1u);
  EXPECT_EQ(withBom.lines[0].fields, (std::vector<std::u32string>{U"60234100", U"comprim\u00E9"}));
  EXPECT_EQ(DecodeExport(utf8).lines[0].fields, withBom.lines[0].fields);
  // A Windows-1252 file that happens to start with those three bytes is still read.
  const ExportFile notUtf8 = DecodeExport("\xEF\xBB\xBF\xE9t\xE9");
  EXPECT_EQ(notUtf8.encoding, ExportEncoding::kWindows1252);
  EXPECT_EQ(notUtf8.lines[0].fields[0], U"\u00EF\u00BB\u00BF\u00E9t\u00E9");
}

TEST(ExportFile, PlainAsciiAndWindows1252PunctuationAreToldApart) {
  EXPECT_EQ(DecodeExport("a\tb\n").encoding, ExportEncoding::kAscii);
  // 0x92 is the typographic apostrophe in Windows-1252.
  const ExportFile quote = DecodeExport("D\x92INDIGO\n");
  EXPECT_EQ(quote.encoding, ExportEncoding::kWindows1252);
  EXPECT_EQ(quote.lines[0].fields[0], U"D\u2019INDIGO");
}

TEST(ExportFile, LinesAreNumberedFromOneAndEmptyOnesAreListedExceptAtTheEnd) {
  const ExportFile file = DecodeExport("a\n\nb\r\nc\n\n\n");
  EXPECT_EQ(file.lineEnds, ExportLineEnds::kMixed);
  ASSERT_EQ(file.lines.size(), 3u);
  EXPECT_EQ(file.lines[0].number, 1);
  EXPECT_EQ(file.lines[1].number, 3);
  EXPECT_EQ(file.lines[1].fields[0], U"b");  // the CR of CR LF is not kept
  EXPECT_EQ(file.lines[2].number, 4);
  EXPECT_EQ(file.emptyLines, std::vector<int32_t>{2});
  // No final line break: the last line still counts.
  const ExportFile last = DecodeExport("x\ty");
  ASSERT_EQ(last.lines.size(), 1u);
  EXPECT_EQ(last.lines[0].fields, (std::vector<std::u32string>{U"x", U"y"}));
  EXPECT_EQ(last.lineEnds, ExportLineEnds::kNone);
  EXPECT_TRUE(DecodeExport("").lines.empty());
}

// As every file of Quillor is read: a lone CR ends a line too.
TEST(ExportFile, LinesEndedByALoneCrAreReadLikeTheOthers) {
  const std::string lf = FixtureBytes("2026-05", "CIS_CIP_bdpm.txt");
  std::string cr = lf;
  std::replace(cr.begin(), cr.end(), '\n', '\r');
  const ExportFile byLf = DecodeExport(lf);
  const ExportFile byCr = DecodeExport(cr);
  EXPECT_EQ(byCr.lineEnds, ExportLineEnds::kCr);
  ASSERT_EQ(byCr.lines.size(), byLf.lines.size());
  ASSERT_GT(byCr.lines.size(), 20u);
  for (size_t i = 0; i < byLf.lines.size(); ++i) {
    EXPECT_EQ(byCr.lines[i].number, byLf.lines[i].number);
    EXPECT_EQ(byCr.lines[i].fields, byLf.lines[i].fields);
  }
  const ExportFile mixed = DecodeExport("x\ry\nz\r\nw");
  EXPECT_EQ(mixed.lineEnds, ExportLineEnds::kMixed);
  ASSERT_EQ(mixed.lines.size(), 4u);
  EXPECT_EQ(mixed.lines[3].fields[0], U"w");
  EXPECT_EQ(mixed.bytes, 8u);
}

// A line mended in an editor of the other encoding: the file is read line by
// line, and the lines of the rarer encoding are listed.
TEST(ExportFile, AFileMixingUtf8AndWindows1252IsDecodedLineByLine) {
  const std::string utf8Line = "60000001\tcomprim\xC3\xA9\n";
  const std::string cp1252Line = "60000002\tg\xE9lule\n";
  const ExportFile mostlyUtf8 = DecodeExport(utf8Line + cp1252Line + utf8Line + "60000003\tascii\n");
  EXPECT_EQ(mostlyUtf8.encoding, ExportEncoding::kMixed);
  EXPECT_EQ(mostlyUtf8.otherEncoding, ExportEncoding::kWindows1252);
  EXPECT_EQ(mostlyUtf8.otherEncodingLines, std::vector<int32_t>{2});
  ASSERT_EQ(mostlyUtf8.lines.size(), 4u);
  EXPECT_EQ(mostlyUtf8.lines[0].fields[1], U"comprim\u00E9");
  EXPECT_EQ(mostlyUtf8.lines[1].fields[1], U"g\u00E9lule");
  EXPECT_EQ(mostlyUtf8.lines[2].fields[1], U"comprim\u00E9");
  const ExportFile mostly1252 = DecodeExport(cp1252Line + utf8Line + cp1252Line);
  EXPECT_EQ(mostly1252.otherEncoding, ExportEncoding::kUtf8);
  EXPECT_EQ(mostly1252.otherEncodingLines, std::vector<int32_t>{2});
  EXPECT_EQ(mostly1252.lines[1].fields[1], U"comprim\u00E9");
  // One encoding throughout lists nothing.
  EXPECT_TRUE(DecodeExport(utf8Line + utf8Line).otherEncodingLines.empty());
}

TEST(ExportFile, MissingFilesAndDirectoriesAreToldApart) {
  quillor::test::TempDir dir;
  ExportFile file;
  EXPECT_EQ(ReadExportFile((dir.Path() / "none.txt").string(), file), ExportReadStatus::kMissing);
  EXPECT_EQ(ReadExportFile(dir.Path().string(), file), ExportReadStatus::kDirectory);
  const auto empty = dir.Write("empty.txt", "");
  EXPECT_EQ(ReadExportFile(empty.string(), file), ExportReadStatus::kOk);
  EXPECT_TRUE(file.lines.empty());
}

}  // namespace
}  // namespace quillor::catalogue
