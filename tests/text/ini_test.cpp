#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TraceRecorder.h"
#include "tests/text/ScopedDecimalSeparator.h"
#include "text/IniManager.h"
#include "text/Locale.h"

namespace quillor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Writes `content` to a fresh file and reads it with a TIniManager; the trace
// recorder starts after construction unless asked otherwise.
class IniFile {
 public:
  explicit IniFile(const std::string& content) : path_(dir_.Write("settings.ini", content).string()) {}
  const std::string& Path() const { return path_; }

 private:
  test::TempDir dir_;
  std::string path_;
};

const char* const kVersions =
    "; Quillor settings\r\n"
    "[euro]\r\n"
    "CoeffMonnaie = 6,55957\r\n"
    "NbDecimales=2\r\n"
    "\r\n"
    "[ FRANCAIS ]\r\n"
    "Titre=Commande en ligne\r\n"
    "Envoyer=Envoyer la Commande\r\n";

TEST(IniManager, SectionsIgnoreCaseAndBlanksButKeysDoNot) {
  IniFile file(kVersions);
  test::TraceRecorder trace;
  TIniManager ini(file.Path());
  EXPECT_EQ(ini.SectionCount(), 2);
  EXPECT_EQ(ini.Get("EURO", "NbDecimales"), "2");
  EXPECT_EQ(ini.Get(" Euro\t", "CoeffMonnaie"), "6,55957");
  EXPECT_EQ(ini.Get("francais", "Envoyer"), "Envoyer la Commande");
  EXPECT_TRUE(ini.KeyExists("FRANCAIS", "Titre"));
  EXPECT_TRUE(trace.Boxes().empty());

  EXPECT_FALSE(ini.KeyExists("EURO", "coeffmonnaie"));
  EXPECT_TRUE(trace.Boxes().empty()) << "KeyExists reports nothing";
  EXPECT_EQ(ini.Get("EURO", "coeffmonnaie"), "");
  EXPECT_THAT(trace.Warnings(),
              ElementsAre("TListOfPairOfStrings.getData: parametre n'existe pas : coeffmonnaie"));
  EXPECT_THAT(trace.Errors(), ElementsAre("TIniManager.Get : [EURO]/coeffmonnaie n'existe pas"));
}

TEST(IniManager, MissingValuesReportInOrder) {
  IniFile file(kVersions);
  TIniManager ini(file.Path());
  test::TraceRecorder trace;
  // A missing section: no pair list is asked, so no warning.
  EXPECT_EQ(ini.GetInt("DOLLAR", "NbDecimales"), 0);
  EXPECT_THAT(trace.Warnings(), IsEmpty());
  EXPECT_THAT(trace.Errors(),
              ElementsAre("TIniManager.Get : [DOLLAR]/NbDecimales n'existe pas",
                          "Ini_Manager_Unit:TIniManager:GetInt:Can't Find DOLLAR NbDecimales"));
  trace.Clear();
  // A missing key: the warning comes before both errors.
  EXPECT_EQ(ini.GetReal("EURO", "Taux"), 0.0);
  const std::vector<std::string> lines = trace.Lines();
  const auto warning = std::find(lines.begin(), lines.end(),
                                 "Warning : TListOfPairOfStrings.getData: parametre n'existe pas : Taux");
  const auto error = std::find(lines.begin(), lines.end(), "TIniManager.Get : [EURO]/Taux n'existe pas");
  ASSERT_NE(warning, lines.end());
  ASSERT_NE(error, lines.end());
  EXPECT_LT(warning, error);
  EXPECT_THAT(trace.Errors(), ElementsAre("TIniManager.Get : [EURO]/Taux n'existe pas",
                                          "Ini_Manager_Unit:TIniManager:GetReal:Can't Find EURO Taux"));
}

TEST(IniManager, UnusableFilesAreReportedAndEveryLookupFallsBack) {
  test::TempDir dir;
  const std::string missing = (dir.Path() / "absent.ini").string();
  const std::string directory = (dir.Path() / "folder.ini").string();
  std::filesystem::create_directory(directory);
  const std::string empty = dir.Write("empty.ini", "").string();

  for (const std::string& path : {missing, directory}) {
    test::TraceRecorder trace;
    {
      TIniManager ini(path);
      EXPECT_THAT(trace.Errors(), ElementsAre("Ini_Manager_Unit:LoadFromFile:Bad filename : " + path));
      trace.Clear();
      EXPECT_EQ(ini.SectionCount(), 0);
      EXPECT_FALSE(ini.KeyExists("EURO", "NbDecimales"));
      EXPECT_EQ(ini.Get("EURO", "NbDecimales"), "");
      EXPECT_EQ(ini.GetInt("EURO", "NbDecimales"), 0);
      EXPECT_EQ(ini.GetReal("EURO", "CoeffMonnaie"), 0.0);
      EXPECT_THAT(trace.Errors(),
                  ElementsAre("Ini_Manager_Unit:TIniManager.Get:Pas de sections",
                              "Ini_Manager_Unit:TIniManager.Get:Pas de sections",
                              "Ini_Manager_Unit:TIniManager:GetInt:Can't Find EURO NbDecimales",
                              "Ini_Manager_Unit:TIniManager.Get:Pas de sections",
                              "Ini_Manager_Unit:TIniManager:GetReal:Can't Find EURO CoeffMonnaie"));
      trace.Clear();
    }
    EXPECT_THAT(trace.Errors(), IsEmpty()) << "destroying a manager without sections reports nothing";
  }

  test::TraceRecorder trace;
  TIniManager ini(empty);
  EXPECT_THAT(trace.Errors(), ElementsAre("Ini_Manager_Unit:LoadFromFile:Fichier ini vide"));
  EXPECT_EQ(ini.SectionCount(), 0);
}

TEST(IniManager, CommentOnlyFileHasAnEmptySectionList) {
  IniFile file("; nothing but a comment\n");
  test::TraceRecorder trace;
  TIniManager ini(file.Path());
  EXPECT_EQ(ini.SectionCount(), 0);
  EXPECT_EQ(ini.Get("EURO", "NbDecimales"), "");
  EXPECT_THAT(trace.Errors(), ElementsAre("TIniManager.Get : [EURO]/NbDecimales n'existe pas"));
}

TEST(IniManager, LinesThatAreNoPairAreSkipped) {
  IniFile file(
      "orphan=before any section\n"
      "[S]\n"
      "k = v ; note\n"
      "empty=\n"
      "=novalue\n"
      "a=b=c\n"
      "tab\t=x\n"
      "  ;indented=comment\n"
      "\tpadded\t=\tkeeps tabs\t\n"
      "just text\n"
      "[Opened] ; not a header\n"
      "after=still S\n"
      "ends=with ellipsis\x85\n"
      "mid=vertical\x0Btab\n");
  test::TraceRecorder trace;
  TIniManager ini(file.Path());
  EXPECT_TRUE(trace.Boxes().empty());
  EXPECT_EQ(ini.SectionCount(), 1);
  EXPECT_FALSE(ini.KeyExists("S", "orphan"));
  EXPECT_EQ(ini.Get("S", "k"), "v ; note");
  EXPECT_FALSE(ini.KeyExists("S", "empty"));
  EXPECT_FALSE(ini.KeyExists("S", ""));
  EXPECT_EQ(ini.Get("S", "a=b"), "c");
  EXPECT_FALSE(ini.KeyExists("S", "tab"));
  EXPECT_EQ(ini.Get("S", "tab\t"), "x");
  EXPECT_EQ(ini.Get("S", ";indented"), "comment");
  EXPECT_EQ(ini.Get("S", "padded\t"), "keeps tabs\t");
  EXPECT_FALSE(ini.KeyExists("Opened", "after"));
  EXPECT_EQ(ini.Get("S", "after"), "still S");
  EXPECT_EQ(ini.Get("S", "ends"), "with ellipsis");
  EXPECT_FALSE(ini.KeyExists("S", "mid"));
}

TEST(IniManager, EveryKindOfLineBreakEndsALine) {
  IniFile file("[A]\rx=1\ny=2\r\nz=3");
  TIniManager ini(file.Path());
  EXPECT_EQ(ini.Get("A", "x"), "1");
  EXPECT_EQ(ini.Get("A", "y"), "2");
  EXPECT_EQ(ini.Get("A", "z"), "3");
}

TEST(IniManager, DuplicateKeyIsReportedAndTheLaterValueWins) {
  IniFile file("[S]\nk=1\nk=2\n");
  test::TraceRecorder trace;
  TIniManager ini(file.Path());
  EXPECT_THAT(trace.Errors(), ElementsAre("String_Manager_Unit:TListOfPairOfStrings.add:cl\xE9"
                                          " deja existante : k"));
  EXPECT_EQ(ini.Get("S", "k"), "2");
}

TEST(IniManager, NamelessSectionIsDroppedWithItsPairs) {
  IniFile file("[ ]\nlost=1\n[A]\nkept=2\n");
  test::TraceRecorder trace;
  TIniManager ini(file.Path());
  EXPECT_EQ(ini.SectionCount(), 1);
  EXPECT_FALSE(ini.KeyExists(" ", "lost"));
  EXPECT_FALSE(ini.KeyExists("A", "lost"));
  EXPECT_EQ(ini.Get("A", "kept"), "2");
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(IniManager, RepeatedHeaderOpensASecondSectionThatTheSearchMeetsFirst) {
  // The second [a] is inserted before the equal [A], so both lookups reach it.
  IniFile file("[A]\nfirst=1\nboth=old\n[a]\nboth=new\n");
  TIniManager ini(file.Path());
  EXPECT_EQ(ini.SectionCount(), 2);
  EXPECT_EQ(ini.Get("A", "both"), "new");
  EXPECT_FALSE(ini.KeyExists("A", "first"));
}

TEST(IniManager, ManySectionsInAnyOrderAreAllFound) {
  // Insertion through the recursive search must keep the list sorted, or
  // later lookups miss sections.
  std::vector<std::string> names;
  for (int n = 0; n < 40; ++n) names.push_back("Section" + std::to_string(n * 7919 % 1000));
  std::shuffle(names.begin(), names.end(), std::mt19937(5));
  std::string content;
  for (const std::string& name : names) content += "[" + name + "]\nname=" + name + "\n";
  IniFile file(content);
  test::TraceRecorder trace;
  TIniManager ini(file.Path());
  EXPECT_EQ(ini.SectionCount(), 40);
  for (const std::string& name : names) {
    EXPECT_EQ(ini.Get(name, "name"), name);
    EXPECT_TRUE(ini.KeyExists(name, "name"));
  }
  EXPECT_TRUE(trace.Boxes().empty());
}

TEST(IniManager, GetIntTakesOnlyThirtyTwoBitIntegers) {
  IniFile file(
      "[N]\nplain=-17\nmax=2147483647\nmin=-2147483648\nleadingZero=042\n"
      "tooBig=2147483648\nfarTooBig=999999999999999999\nword=douze\n");
  TIniManager ini(file.Path());
  EXPECT_EQ(ini.GetInt("N", "plain"), -17);
  EXPECT_EQ(ini.GetInt("N", "max"), 2147483647);
  EXPECT_EQ(ini.GetInt("N", "min"), -2147483647 - 1);
  test::TraceRecorder trace;
  for (const char* key : {"leadingZero", "tooBig", "farTooBig", "word"}) {
    trace.Clear();
    EXPECT_EQ(ini.GetInt("N", key), 0) << key;
    EXPECT_THAT(trace.Errors(),
                ElementsAre(std::string("Ini_Manager_Unit:TIniManager:GetInt:Can't Find N ") + key));
  }
}

TEST(IniManager, GetRealAcceptsEitherSeparatorWhateverTheLocale) {
  IniFile file("[R]\ncomma=0,5\npoint=0.5\ncoeff=6,55957\nnegative=-3.25\nleadingZero=00.5\n");
  TIniManager ini(file.Path());
  for (char separator : {',', '.'}) {
    test::ScopedDecimalSeparator locale(separator);
    test::TraceRecorder trace;
    EXPECT_EQ(ini.GetReal("R", "comma"), 0.5) << separator;
    EXPECT_EQ(ini.GetReal("R", "point"), 0.5) << separator;
    EXPECT_EQ(ini.GetReal("R", "coeff"), 6.55957) << separator;
    EXPECT_EQ(ini.GetReal("R", "negative"), -3.25) << separator;
    EXPECT_TRUE(trace.Boxes().empty());
    EXPECT_EQ(ini.GetReal("R", "leadingZero"), 0.0);
    EXPECT_THAT(trace.Errors(), ElementsAre("Ini_Manager_Unit:TIniManager:GetReal:Can't Find R leadingZero"));
  }
}

}  // namespace
}  // namespace quillor
