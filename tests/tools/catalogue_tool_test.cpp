#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

#include "tests/support/TempDir.h"
#include "tests/support/TestPaths.h"
#include "tests/tools/ToolRun.h"
#include "text/ScannedCode.h"
#include "text/StringManager.h"
#include "text/TextLines.h"

namespace quillor {
namespace {

using test::Fixture;
using test::Records;
using test::RunTool;
using test::ToolRun;
using ::testing::HasSubstr;

TEST(CatalogueTool, BadUsageExitsWithTwoAndExplains) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"frobnicate"},
                                             {"search"},
                                             {"search", "--approx"},
                                             {"search", "--fast", "x"},
                                             {"encode", "a.csv"},
                                             {"encode", "a.csv", "-o"},
                                             {"decode"},
                                             {"decode", "a.db", "b.db"},
                                             {"search", "--db"},
                                             {"import"},
                                             {"import", "a.txt"},
                                             {"import", "a.txt", "b.txt"},
                                             {"import", "a.txt", "b.txt", "-o"},
                                             {"import", "a.txt", "b.txt", "c.txt", "-o", "x.db"},
                                             {"import", "a.txt", "b.txt", "-o", "x.db", "--every"}}) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
    EXPECT_THAT(run.err, HasSubstr("usage: quillor-catalogue"));
    EXPECT_EQ(run.out, "");
  }
  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, HasSubstr("quillor-catalogue import CIS_bdpm.txt CIS_CIP_bdpm.txt -o "
                                  "data/BaseDeDonneeArticles.db"));
}

TEST(CatalogueTool, MissingFilesAreNamedAndFail) {
  test::TempDir dir;
  const std::string missing = (dir.Path() / "nothing.db").string();
  const std::string output = (dir.Path() / "x.db").string();
  const std::string fixtures = (test::SourceDir() / "tests" / "catalogue" / "exports" / "2026-05").string();
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"decode", missing},
           {"encode", missing, "-o", output},
           {"search", "--db", missing, "aspirine"},
           {"import", missing, fixtures + "/CIS_CIP_bdpm.txt", "-o", output},
           {"import", fixtures + "/CIS_bdpm.txt", missing, "-o", output}}) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 1) << ::testing::PrintToString(args);
    EXPECT_THAT(run.err, HasSubstr(missing + ": no such file"));
  }
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST(CatalogueTool, ADirectoryGivenAsAFileIsSaidToBeOne) {
  test::TempDir dir;
  const std::string folder = dir.Path().string();
  const std::string fixtures = (test::SourceDir() / "tests" / "catalogue" / "exports" / "2026-05").string();
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"decode", folder},
           {"encode", folder, "-o", folder + "/x.db"},
           {"search", "--db", folder, "aspirine"},
           {"import", folder, fixtures + "/CIS_CIP_bdpm.txt", "-o", folder + "/x.db"}}) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 1) << ::testing::PrintToString(args);
    EXPECT_THAT(run.err, HasSubstr(folder + ": is a directory, not a file"))
        << ::testing::PrintToString(args);
    EXPECT_THAT(run.err, ::testing::Not(HasSubstr("no such file")));
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "x.db"));
}

TEST(CatalogueTool, EncodeThenDecodeGivesThePlainLinesBackWithCrLf) {
  test::TempDir dir;
  const auto plain =
      dir.Write("plain.csv", "CIP;Designation;Prix\n1;cr\xE8me \xC9T\xC9;1,00\r\n\r2;\\n;\r\n");
  const std::string db = (dir.Path() / "out.db").string();
  const ToolRun encode = RunTool({"encode", plain.string(), "-o", db});
  ASSERT_EQ(encode.status, 0) << encode.err;
  const std::string stored = test::TempDir::Read(db);
  EXPECT_EQ(stored.find("CIP"), std::string::npos);  // scrambled
  EXPECT_EQ(std::count(stored.begin(), stored.end(), '\n'), 4);
  const ToolRun decode = RunTool({"decode", db});
  ASSERT_EQ(decode.status, 0) << decode.err;
  EXPECT_EQ(decode.out, "CIP;Designation;Prix\r\n1;cr\xE8me \xC9T\xC9;1,00\r\n\r\n2;\\n;\r\n");
}

TEST(CatalogueTool, UnstorableCharacterIsRefusedWithItsPlaceAndNothingIsWritten) {
  test::TempDir dir;
  const auto target = dir.Write("kept.db", "old content");
  const auto plain = dir.Write("bad.csv",
                               "CIP;Designation\r\n1;AB\x8B"
                               "C\r\n");
  const ToolRun run = RunTool({"encode", plain.string(), "-o", target.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("bad.csv:2:5:"));
  EXPECT_THAT(run.err, HasSubstr("0x8B"));
  EXPECT_EQ(test::TempDir::Read(target), "old content");

  const auto withNul = dir.Write("nul.csv", std::string("A\rB\0C", 5));
  const ToolRun nul = RunTool({"encode", withNul.string(), "-o", target.string()});
  EXPECT_EQ(nul.status, 1);
  EXPECT_THAT(nul.err, HasSubstr("nul.csv:2:2:"));
  EXPECT_EQ(test::TempDir::Read(target), "old content");
  EXPECT_EQ(
      std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
      3);
}

TEST(CatalogueTool, BundledFileDecodesAsAnIndependentReadingOfItDoes) {
  const ToolRun run = RunTool({"decode", "Data/BaseDeDonneeArticles.db"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, test::TempDir::Read(test::RealCatalogue()));
}

// The articles whose designation holds every word, read straight from the
// plain catalogue: an oracle independent of the table.
std::vector<std::vector<std::string>> CatalogueWith(const std::vector<std::string>& words) {
  std::vector<std::vector<std::string>> found;
  TStringList lines = SplitLines(test::TempDir::Read(test::RealCatalogue()));
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string designation = TStringManager::GetWord(lines[i], 2, ';');
    if (std::all_of(words.begin(), words.end(),
                    [&](const std::string& w) { return designation.find(w) != std::string::npos; })) {
      found.push_back({TStringManager::GetWord(lines[i], 1, ';'), designation,
                       TStringManager::GetWord(lines[i], 3, ';')});
    }
  }
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a[1] < b[1]; });
  return found;
}

TEST(CatalogueTool, ExactSearchOnTheBundledCatalogue) {
  const ToolRun run = RunTool({"search", "aspirine", "500"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = Records(run.out);
  const auto expected = CatalogueWith({"ASPIRINE", "500"});
  ASSERT_GE(expected.size(), 3u);
  EXPECT_EQ(records, expected);
  EXPECT_EQ(Records(RunTool({"search", "500", "ASPIRINE"}).out), expected);
  EXPECT_EQ(Records(RunTool({"search", "  \xE2spirine ", "500"}).out), expected);
}

TEST(CatalogueTool, ApproximateSearchWithScoresOnTheBundledCatalogue) {
  const ToolRun run = RunTool({"search", "--approx", "--scores", "doliprane"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto records = Records(run.out);
  ASSERT_EQ(records.size(), SplitLines(test::TempDir::Read(test::RealCatalogue())).size() - 1);
  double previous = 101.0;
  std::string previousDesignation;
  for (size_t i = 0; i < records.size(); ++i) {
    ASSERT_EQ(records[i].size(), 4u) << i;
    const double score = std::strtod(records[i][3].c_str(), nullptr);
    ASSERT_LE(score, previous) << i;
    // Equal scores: the later designation in index order comes first.
    if (score == previous) {
      ASSERT_GE(previousDesignation, records[i][1]) << i;
    }
    if (i % 97 == 0) {
      char expected[40];
      std::snprintf(expected, sizeof expected, "%.17g",
                    TStringManager::StringSimilarity("DOLIPRANE", records[i][1]));
      EXPECT_EQ(records[i][3], expected) << records[i][1];
    }
    previous = score;
    previousDesignation = records[i][1];
  }
}

// --- box codes ------------------------------------------------------------------------------

// `digits` followed by its GS1 check digit.
std::string WithCheckDigit(const std::string& digits) {
  for (char check = '0'; check <= '9'; ++check) {
    if (HasValidGs1CheckDigit(digits + check)) return digits + check;
  }
  return digits;
}

TEST(CatalogueTool, ABoxCodeInAnyFormPrintsItsArticleInEitherMode) {
  const auto dolipranes = CatalogueWith({"DOLIPRANE", "1000"});
  ASSERT_FALSE(dolipranes.empty());
  const std::vector<std::string> article = dolipranes.back();
  const std::string cip13 = WithCheckDigit("34009" + article[0]);
  const std::string gtin = "0" + cip13;
  const std::vector<std::string> codes = {
      article[0],
      cip13,
      "]d201" + gtin + "17281231" + "10LOT42\x1d" + "21SER9",
      "01" + gtin + "10LOT42~21SER9",
      "]d2"
      "17281231"
      "10LOT42<GS>01" +
          gtin,  // the product code last
      "  " + cip13 + " ",
  };
  for (const std::string& code : codes) {
    for (const bool approximate : {false, true}) {
      std::vector<std::string> args = {"search"};
      if (approximate) args.push_back("--approx");
      args.push_back(code);
      const ToolRun run = RunTool(args);
      EXPECT_EQ(run.status, 0) << code << " " << run.err;
      EXPECT_EQ(Records(run.out), std::vector<std::vector<std::string>>{article})
          << code << " " << approximate;
    }
  }
}

TEST(CatalogueTool, AnUnreadableCodeFailsWithItsReasonAndAnUnheldOneFindsNothing) {
  const std::string cip13 = WithCheckDigit("34009" + CatalogueWith({"DOLIPRANE"}).front()[0]);
  std::string wrong = cip13;
  wrong.back() = wrong.back() == '9' ? '0' : static_cast<char>(wrong.back() + 1);
  for (const std::string& code : {wrong, std::string("]d217281231") + "10LOT42"}) {
    const ToolRun run = RunTool({"search", code});
    EXPECT_EQ(run.status, 1) << code;
    EXPECT_THAT(run.err, HasSubstr("Code illisible : "));
    EXPECT_EQ(run.out, "");
  }
  EXPECT_THAT(RunTool({"search", wrong}).err, HasSubstr("cl\u00E9 de contr\u00F4le"));  // in the UTF-8 locale

  // A valid product code that is not a medicine's, and a CIP7 no article holds.
  const ToolRun goods = RunTool({"search", WithCheckDigit("340123456789")});
  EXPECT_EQ(goods.status, 0) << goods.err;
  EXPECT_EQ(goods.out, "");
  std::set<std::string> held;
  for (const auto& record : CatalogueWith({})) held.insert(record[0]);
  std::string absent = "3400000";
  for (int i = 0; i < 1000000 && (!TStringManager::IsCip(absent) || held.count(absent) != 0); ++i) {
    absent = std::to_string(3400000 + i);
  }
  ASSERT_TRUE(TStringManager::IsCip(absent));
  const ToolRun unheld = RunTool({"search", absent});
  EXPECT_EQ(unheld.status, 0) << unheld.err;
  EXPECT_EQ(unheld.out, "");
}

TEST(CatalogueTool, InvalidPatternFails) {
  const ToolRun run = RunTool({"search", "aspirine", "(500"});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("TPcreRegEx.Compile() - Error in regex"));
  EXPECT_EQ(run.out, "");
}

// --- import -------------------------------------------------------------------------------

TEST(CatalogueTool, ImportWritesTheArticleFileAndPrintsASummary) {
  test::TempDir dir;
  const std::string db = (dir.Path() / "articles.db").string();
  const std::string cis = Fixture("2026-05", "CIS_bdpm.txt");
  const std::string cip = Fixture("2026-05", "CIS_CIP_bdpm.txt");
  const ToolRun run = RunTool({"import", cis, cip, "-o", db});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_THAT(run.out, HasSubstr(cis + ": Windows-1252, CR LF, 24 lines, 24 specialities\n"));
  EXPECT_THAT(run.out, HasSubstr(cip + ": UTF-8, LF, 27 lines, 27 presentations\n"));
  EXPECT_THAT(run.out, HasSubstr("presentations that cannot be ordered, left out (--all keeps them): 4\n"));
  EXPECT_THAT(run.out, HasSubstr("skipped: 1 line\n  " + cip + ":17: no speciality 62969013 in " + cis +
                                 " (CIP 3032870)\n"));
  EXPECT_THAT(run.out, HasSubstr("specialities whose name was shortened to fit 40 characters: 2 (of which 2 "
                                 "lost words)\n"));
  EXPECT_THAT(run.out, HasSubstr("articles told apart from another speciality's by more of their text: 2\n"));
  EXPECT_THAT(run.out, HasSubstr("changed: 0 lines\n"));
  EXPECT_THAT(run.out, HasSubstr("articles written: 22 to " + db + "\n"));
  // What the designations could not hold, and the audit's count of each kind
  // of fault with an example; --audit lists them all.
  EXPECT_THAT(run.out, HasSubstr("articles whose designation cannot hold everything in 40 characters: 3\n"
                                 "  3000794 MAALOX MAUX D'EST 460/400MG 20X4,3ML PET: without the words "
                                 "HYDROX D'ALU/HYDROX MAGN of the name\n"));
  EXPECT_THAT(run.out, HasSubstr("audit: 3 of 22 articles (13,64 %) with a fault\n  cut number: 0\n"));
  EXPECT_THAT(run.out,
              HasSubstr("  lost substance of a combination: 3\n    3000794 MAALOX MAUX D'EST 460/400MG "
                        "20X4,3ML PET: lost substance of a combination: the substance HYDROXYDE DE "
                        "MAGNESIUM is not named\n"));
  EXPECT_THAT(run.out, HasSubstr("  cannot be ordered: 0\n  (--audit lists every finding)\n"));
  const ToolRun listed = RunTool({"import", "--audit", cis, cip, "-o", db});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_THAT(listed.out, HasSubstr("audit findings: 3\n  3000794 MAALOX"));

  // The round trip: what decode gives back is the article file, sorted by CIP.
  const ToolRun decode = RunTool({"decode", db});
  ASSERT_EQ(decode.status, 0) << decode.err;
  const auto records = Records(decode.out);
  ASSERT_EQ(records.size(), 23u);
  EXPECT_EQ(records[0], (std::vector<std::string>{"CIP", "Designation", "Prix"}));
  EXPECT_TRUE(std::is_sorted(records.begin() + 1, records.end()));
  EXPECT_NE(std::find(records.begin(), records.end(),
                      std::vector<std::string>{"3595583", "DOLIPRANE 1000MG CPR B/8", "1,16"}),
            records.end());
  EXPECT_NE(std::find(records.begin(), records.end(),
                      std::vector<std::string>{"2784980", "ADEMPAS 1,5MG CPR B/90", "1466,29"}),
            records.end());
  // And the window's search finds in it what was imported.
  const ToolRun search = RunTool({"search", "--db", db, "doliprane", "1000"});
  EXPECT_EQ(Records(search.out),
            (std::vector<std::vector<std::string>>{{"5636955", "DOLIPRANE 1000MG CPR B/100", ""},
                                                   {"3595583", "DOLIPRANE 1000MG CPR B/8", "1,16"}}));

  const ToolRun all = RunTool({"import", "--all", cis, cip, "-o", db});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_THAT(all.out, ::testing::Not(HasSubstr("cannot be ordered")));
  EXPECT_EQ(Records(RunTool({"decode", db}).out).size(), 27u);
}

TEST(CatalogueTool, AnImportThatGivesNoArticleWritesNothing) {
  test::TempDir dir;
  const auto target = dir.Write("kept.db", "old content");
  const auto empty = dir.Write("empty.txt", "");
  const ToolRun run =
      RunTool({"import", empty.string(), Fixture("2026-05", "CIS_CIP_bdpm.txt"), "-o", target.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("no article results; nothing written"));
  // Each presentation is reported: its speciality is missing.
  EXPECT_THAT(run.out, HasSubstr("skipped: 27 lines"));
  EXPECT_EQ(test::TempDir::Read(target), "old content");
  EXPECT_EQ(
      std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
      2);
  // An output that cannot be written: nothing half written either.
  const ToolRun unwritable =
      RunTool({"import", Fixture("2026-05", "CIS_bdpm.txt"), Fixture("2026-05", "CIS_CIP_bdpm.txt"), "-o",
               (dir.Path() / "no" / "such" / "dir.db").string()});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_THAT(unwritable.out, ::testing::Not(HasSubstr("articles written")));
}

// --- decode and search refuse what they cannot give back ------------------------------------

TEST(CatalogueTool, DecodeRefusesStoredBytesThatStandForLineBreaksOrNul) {
  test::TempDir dir;
  // Stored 0x8C, 0x89 and 0x7F descramble to CR, LF and NUL; the plain "AB" is stored as 0xC0 0xC1.
  for (const auto& [stored, what] :
       std::vector<std::pair<char, std::string>>{{'\x8C', "CR"}, {'\x89', "LF"}, {'\x7F', "NUL"}}) {
    const auto db = dir.Write("bad.db", std::string("\xC0\xC1\r\n\xC0") + stored + "\xC1\r\n");
    const ToolRun run = RunTool({"decode", db.string()});
    EXPECT_EQ(run.status, 1) << what;
    EXPECT_THAT(run.err, HasSubstr(db.string() + ":2:2: "));
    EXPECT_THAT(run.err, HasSubstr("stands for " + what));
    EXPECT_EQ(run.out, "") << what;
  }
  const auto nul = dir.Write("nul.db", std::string("\xC0\n\xC0\xC1\0\xC1", 6));
  const ToolRun run = RunTool({"decode", nul.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr(nul.string() + ":2:3: a NUL byte"));
  EXPECT_EQ(run.out, "");
  // Every other byte decodes.
  std::string all;
  for (int b = 0; b < 256; ++b) {
    if (b != 0 && b != 0x7F && b != 0x89 && b != 0x8C && b != '\r' && b != '\n') all += static_cast<char>(b);
  }
  const auto good = dir.Write("good.db", all + "\r\n");
  EXPECT_EQ(RunTool({"decode", good.string()}).status, 0);
}

TEST(CatalogueTool, SearchOnAFileWithoutDesignationFailsAndSaysSo) {
  test::TempDir dir;
  const auto plain = dir.Write("plain.csv", "CIP;Nom;Prix\r\n1;ASPIRINE;2\r\n");
  const std::string db = (dir.Path() / "x.db").string();
  ASSERT_EQ(RunTool({"encode", plain.string(), "-o", db}).status, 0);
  const ToolRun run = RunTool({"search", "--db", db, "aspirine"});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr(db + ": no \"Designation\" field"));
  EXPECT_EQ(run.out, "");
}

// --- the user's locale --------------------------------------------------------------------------

TEST(CatalogueTool, SearchWordsAreReadInTheUtf8Locale) {
  const auto expected = CatalogueWith({"EFFERALGAN"});
  ASSERT_FALSE(expected.empty());
  const ToolRun utf8 = RunTool({"search",
                                "\xC3\xA9"
                                "fferalgan"},
                               "C.UTF-8");
  ASSERT_EQ(utf8.status, 0) << utf8.err;
  EXPECT_EQ(Records(utf8.out), expected);
  // Without a locale a UTF-8 word is still understood, and a Windows-1252 byte kept.
  EXPECT_EQ(Records(RunTool({"search",
                             "\xC3\xA9"
                             "fferalgan"},
                            "C")
                        .out),
            expected);
  EXPECT_EQ(Records(RunTool({"search",
                             "\xE9"
                             "fferalgan"},
                            "C")
                        .out),
            expected);
}

// Runs the tool on a terminal of its own; what the terminal received.
std::string RunOnTerminal(const std::vector<std::string>& args, const std::string& locale) {
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid == 0) {
    setenv("LC_ALL", locale.c_str(), 1);
    setenv("XDG_DATA_HOME", "/nonexistent", 1);
    std::vector<char*> argv{const_cast<char*>(QUILLOR_CATALOGUE_TOOL)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(QUILLOR_CATALOGUE_TOOL, argv.data());
    _exit(127);
  }
  EXPECT_GT(pid, 0);
  std::string shown;
  char buffer[4096];
  while (true) {
    const ssize_t n = read(terminal, buffer, sizeof buffer);
    if (n <= 0) break;  // EIO once the tool has closed its side
    shown.append(buffer, static_cast<size_t>(n));
  }
  int status = 0;
  waitpid(pid, &status, 0);
  close(terminal);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;
  return shown;
}

TEST(CatalogueTool, OnATerminalDesignationsAreShownInTheLocalesEncoding) {
  test::TempDir dir;
  const auto plain = dir.Write("plain.csv", "CIP;Designation;Prix\r\n1;CR\xC8ME \x80;2\r\n");
  const std::string db = (dir.Path() / "x.db").string();
  ASSERT_EQ(RunTool({"encode", plain.string(), "-o", db}).status, 0);
  const std::vector<std::string> args = {"search", "--db", db, "me"};
  EXPECT_THAT(RunOnTerminal(args, "C.UTF-8"), HasSubstr("1;CR\xC3\x88ME \xE2\x82\xAC;2"));
  // Sent to a file, the line keeps the article file's own bytes.
  EXPECT_EQ(RunTool(args, "C.UTF-8").out, "1;CR\xC8ME \x80;2\n");
  // decode always writes the file's bytes.
  EXPECT_THAT(RunOnTerminal({"decode", db}, "C.UTF-8"), HasSubstr("1;CR\xC8ME \x80;2"));
}

}  // namespace
}  // namespace quillor
