#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "regex/PcreRegEx.h"
#include "tests/support/TraceRecorder.h"
#include "tests/text/ScopedDecimalSeparator.h"
#include "text/Locale.h"
#include "text/StringManager.h"

namespace quillor {
namespace {

using test::ScopedDecimalSeparator;

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using SM = TStringManager;

// The word scan exactly as the toolbox defines it, character by character.
std::string GetWordByScan(const std::string& text, int32_t index, char separator) {
  std::string result;
  int32_t counter = 1;
  for (char c : text) {
    if (c == separator) {
      ++counter;
    } else if (counter == index) {
      result += c;
    }
    if (counter > index) break;
  }
  return result;
}

// Replacement exactly as defined: each pass searches the rebuilt text again
// from its start.
std::string ReplaceAllByRestart(std::string text, const std::string& oldText, const std::string& newText) {
  for (size_t p = text.find(oldText); !oldText.empty() && p != std::string::npos; p = text.find(oldText)) {
    text = text.substr(0, p) + newText + text.substr(p + oldText.size());
  }
  return text;
}

std::string RandomText(std::mt19937& rng, const std::string& alphabet, size_t maxLength) {
  std::uniform_int_distribution<size_t> length(0, maxLength);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::string text(length(rng), ' ');
  for (char& c : text) c = alphabet[pick(rng)];
  return text;
}

TEST(Words, CountsAndEmptyWords) {
  EXPECT_EQ(SM::WordCount("", ';'), 0);
  EXPECT_EQ(SM::WordCount(";;", ';'), 3);
  EXPECT_EQ(SM::WordCount("a", ';'), 1);
  EXPECT_EQ(SM::WordCount("3400930000649;DOLIPRANE 500 mg;2,18", ';'), 3);
  for (int i = 0; i <= 4; ++i) EXPECT_EQ(SM::GetWord(";;", i, ';'), "") << i;
  EXPECT_EQ(SM::GetWord("a;b;c", 0, ';'), "");
  EXPECT_EQ(SM::GetWord("a;b;c", -1, ';'), "");
  EXPECT_EQ(SM::GetWord("a;b;c", 4, ';'), "");
  EXPECT_EQ(SM::GetWord("a;;c", 2, ';'), "");
  EXPECT_EQ(SM::GetWord("a;;c", 3, ';'), "c");
  EXPECT_EQ(SM::GetWord("ASPIRINE 500", 2, ' '), "500");
}

TEST(Words, GetWordAgreesWithTheCharacterScanOnRandomTexts) {
  std::mt19937 rng(7);
  for (int n = 0; n < 2000; ++n) {
    const std::string text = RandomText(rng, "ab;;\xE9 ", 12);
    const int32_t count = SM::WordCount(text, ';');
    for (int32_t i = -1; i <= count + 1; ++i) {
      ASSERT_EQ(SM::GetWord(text, i, ';'), GetWordByScan(text, i, ';')) << '"' << text << "\" " << i;
    }
  }
}

TEST(MyStrCopy, ReportsEachBadPositionAndStillCopies) {
  test::TraceRecorder recorder;
  EXPECT_EQ(SM::MyStrCopy("abc", 3, 1), "abc");
  EXPECT_THAT(recorder.Errors(),
              ElementsAre("String_Manager_Unit:TStringManager.MyStrCopy:FromPos 3 > ToPos : 1 in abc"));
  recorder.Clear();
  EXPECT_EQ(SM::MyStrCopy("abc", 2, 10), "bc");
  EXPECT_THAT(recorder.Errors(),
              ElementsAre("String_Manager_Unit:TStringManager.MyStrCopy:Bad ToPos : 10 in abc"));
  recorder.Clear();
  EXPECT_EQ(SM::MyStrCopy("abc", 0, 2), "ab");
  EXPECT_THAT(recorder.Errors(),
              ElementsAre("String_Manager_Unit:TStringManager.MyStrCopy:null or negative param in abc"));
  recorder.Clear();
  // Several faults at once are all reported, in order.
  EXPECT_EQ(SM::MyStrCopy("abc", 5, -1), "abc");
  EXPECT_THAT(recorder.Errors(),
              ElementsAre("String_Manager_Unit:TStringManager.MyStrCopy:Bad FromPos : 5 in abc",
                          "String_Manager_Unit:TStringManager.MyStrCopy:FromPos 5 > ToPos : -1 in abc",
                          "String_Manager_Unit:TStringManager.MyStrCopy:null or negative param in abc"));
  recorder.Clear();
  EXPECT_EQ(SM::MyStrCopy("", 1, 1), "");
  EXPECT_EQ(recorder.Errors().size(), 2u);  // bad FromPos, bad ToPos
  recorder.Clear();
  EXPECT_EQ(SM::MyStrCopy("abcdef", 2, 4), "bcd");
  EXPECT_EQ(SM::MyStrCopy("abcdef", 6, 6), "f");
  EXPECT_THAT(recorder.Boxes(), IsEmpty());
}

TEST(Search, MyStrPosAndReplaceAll) {
  EXPECT_EQ(SM::MyStrPos("", "abc"), 0);
  EXPECT_EQ(SM::MyStrPos("c", "abc"), 3);
  EXPECT_EQ(SM::MyStrPos("bd", "abc"), 0);
  EXPECT_EQ(SM::MyStrPos("abcd", "abc"), 0);
  EXPECT_EQ(SM::MyStrPos("b", "abab"), 2);

  test::TraceRecorder recorder;
  EXPECT_EQ(SM::ExpandNewLines("a\\nb\\n"), "a\r\nb\r\n");
  EXPECT_EQ(SM::ExpandNewLines("\\n\\n"), "\r\n\r\n");
  EXPECT_EQ(SM::ExpandNewLines("a\\b\\"), "a\\b\\");
  EXPECT_EQ(SM::ReplaceAll("abc", "", "x"), "abc");
  // A replacement that joins with what precedes it makes a new occurrence.
  EXPECT_EQ(SM::ReplaceAll("abb", "ab", "a"), "a");
  // A new text holding the old one still ends: each occurrence once.
  EXPECT_EQ(SM::ReplaceAll("a.a", "a", "aa"), "aa.aa");
  EXPECT_THAT(recorder.Boxes(), IsEmpty());
}

TEST(Search, ReplaceAllAgreesWithRestartingSearchOnRandomTexts) {
  std::mt19937 rng(11);
  int compared = 0;
  for (int n = 0; n < 5000; ++n) {
    const std::string text = RandomText(rng, "abc", 10);
    const std::string oldText = RandomText(rng, "abc", 3);
    const std::string newText = RandomText(rng, "abc", 3);
    if (oldText.empty() || newText.find(oldText) != std::string::npos) continue;
    // Rewriting may grow without end for some pairs: compare only those the
    // restarting search finishes quickly.
    std::string expected = text;
    bool finished = false;
    for (int pass = 0; pass < 50; ++pass) {
      const size_t p = expected.find(oldText);
      if (p == std::string::npos) {
        finished = true;
        break;
      }
      expected = expected.substr(0, p) + newText + expected.substr(p + oldText.size());
    }
    if (!finished) continue;
    ASSERT_EQ(SM::ReplaceAll(text, oldText, newText), ReplaceAllByRestart(text, oldText, newText))
        << text << " " << oldText << " " << newText;
    ++compared;
  }
  EXPECT_GT(compared, 1000);
}

TEST(Trimming, TrimCharAndSeparators) {
  EXPECT_EQ(SM::TrimChar("", ' '), "");
  EXPECT_EQ(SM::TrimChar("   ", ' '), "");
  EXPECT_EQ(SM::TrimChar("  a b  ", ' '), "a b");
  EXPECT_EQ(SM::TrimChar("\t a \t", ' '), "\t a \t");
  EXPECT_EQ(SM::TrimChar("xxaxx", 'x'), "a");
  EXPECT_EQ(SM::PointToComma("1.2.3,4"), "1,2,3,4");
  EXPECT_EQ(SM::CommaToPoint("1.2.3,4"), "1.2.3.4");
}

TEST(MyStrToFloat, EitherSeparatorUnderEitherLocale) {
  for (char separator : {',', '.'}) {
    ScopedDecimalSeparator scoped(separator);
    test::TraceRecorder recorder;
    EXPECT_DOUBLE_EQ(SM::MyStrToFloat("1.5"), 1.5) << separator;
    EXPECT_DOUBLE_EQ(SM::MyStrToFloat("1,5"), 1.5) << separator;
    EXPECT_DOUBLE_EQ(SM::MyStrToFloat("-0,25"), -0.25) << separator;
    EXPECT_DOUBLE_EQ(SM::MyStrToFloat("12"), 12.0) << separator;
    EXPECT_THAT(recorder.Boxes(), IsEmpty());
  }
  {
    ScopedDecimalSeparator scoped(',');
    test::TraceRecorder recorder;
    EXPECT_EQ(SM::MyStrToFloat("1.5.2"), 0.0);
    EXPECT_THAT(recorder.Errors(), ElementsAre("TStringManager.MyStrToFloat : 1,5,2 is not a real"));
  }
  {
    ScopedDecimalSeparator scoped('.');
    test::TraceRecorder recorder;
    EXPECT_EQ(SM::MyStrToFloat("1,5,2"), 0.0);
    EXPECT_EQ(SM::MyStrToFloat(""), 0.0);
    EXPECT_THAT(recorder.Errors(), ElementsAre("TStringManager.MyStrToFloat : 1.5.2 is not a real",
                                               "TStringManager.MyStrToFloat :  is not a real"));
  }
}

TEST(MyStrToFloat, TextsThatPassIsRealButCannotBeConvertedAreReportedNotThrown) {
  ScopedDecimalSeparator scoped(',');
  test::TraceRecorder recorder;
  // "$" lets a final 0x85 through the real-number test.
  ASSERT_TRUE(SM::IsReal("1,5\x85"));
  EXPECT_EQ(SM::MyStrToFloat("1,5\x85"), 0.0);
  const std::string huge = "1" + std::string(400, '0');
  ASSERT_TRUE(SM::IsReal(huge));
  EXPECT_EQ(SM::MyStrToFloat(huge), 0.0);
  EXPECT_THAT(recorder.Errors(), ElementsAre("TStringManager.MyStrToFloat : 1,5\x85 is not a real",
                                             "TStringManager.MyStrToFloat : " + huge + " is not a real"));
  // A final line feed is a blank to the conversion.
  EXPECT_DOUBLE_EQ(SM::MyStrToFloat("2,5\n"), 2.5);
}

TEST(RemoveAccents, FoldsLowerCaseOnlyAndKeepsLength) {
  EXPECT_EQ(SM::RemoveAccents("cr\xE8me br\xFBl\xE9"
                              "e"),
            "creme brulee");
  EXPECT_EQ(SM::RemoveAccents("\xE9\xE8\xEA\xEB\xE0\xE4\xE2\xEE\xEF\xF4\xF6\xFB\xFC\xF9\xFF\xE7"),
            "eeeeaaaiioouuuyc");
  EXPECT_EQ(SM::RemoveAccents("\xC9\xC8\xC7"), "\xC9\xC8\xC7");
  // Every other byte is copied: the result never changes length.
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string folded = SM::RemoveAccents(all);
  ASSERT_EQ(folded.size(), 256u);
  int changed = 0;
  for (int b = 0; b < 256; ++b) changed += folded[b] != all[b];
  EXPECT_EQ(changed, 16);
}

TEST(Predicates, AcceptAndRefuseAsTheirPatterns) {
  struct Case {
    bool (*predicate)(const std::string&);
    const char* name;
    std::vector<std::string> accepted, refused;
  };
  const Case cases[] = {
      {SM::IsDate, "IsDate", {"31/12/2005", "99/99/9999"}, {"", "1/12/2005", "31/12/05", "31-12-2005"}},
      {SM::IsReal,
       "IsReal",
       {"0", "12", "-3.5", "0,25", "0,5", "0.5", "-0.0"},
       {"", "007", "00.5", ".5", "5.", "+1", "-0", "1.5.2", "1 5"}},
      {SM::IsInteger, "IsInteger", {"0", "-42", "7"}, {"", "042", "-0", "+1", "1.0"}},
      {SM::IsNatural, "IsNatural", {"007", "0"}, {"", "-1", "1a"}},
      {SM::IsEmail, "IsEmail", {"a@b.c", "x.y@z.fr"}, {"", "@b.c", "a@.c", "a@b.", "ab.c"}},
      {SM::IsPhone, "IsPhone", {"+33 1 23 45", "01.23.45", "123456"}, {"", "12345", "++123456", "12345a"}},
      {SM::IsFaCode, "IsFaCode", {"FA12345"}, {"", "FA1234", "FA123456", "fa12345"}},
      {SM::IsAvCode, "IsAvCode", {"AV123", "AV1234"}, {"", "AV12", "AV12345"}},
      {SM::IsDeCode, "IsDeCode", {"DE1234", "DE12345"}, {"", "DE123", "DE123456"}},
      {SM::IsBoolean, "IsBoolean", {"true", "false"}, {"", "True", "FALSE", "truefalse"}},
  };
  for (const Case& c : cases) {
    for (const std::string& text : c.accepted) EXPECT_TRUE(c.predicate(text)) << c.name << " " << text;
    for (const std::string& text : c.refused) EXPECT_FALSE(c.predicate(text)) << c.name << " " << text;
  }
}

TEST(Predicates, AnchorsAcceptOneFinalLineBreak) {
  for (const std::string end : {"\n", "\r", "\r\n", "\x0B", "\x0C", "\x85"}) {
    EXPECT_TRUE(SM::IsNatural("123" + end)) << static_cast<int>(end.back());
    EXPECT_TRUE(SM::IsDate("31/12/2005" + end));
    EXPECT_FALSE(SM::IsNatural("123" + end + end));
  }
  EXPECT_FALSE(SM::IsNatural("12\n3"));
}

TEST(Predicates, IsIntegerLimitCountsSignAndFinalLineBreak) {
  const std::string digits17 = "12345678901234567";
  EXPECT_TRUE(SM::IsInteger("1" + digits17));          // 18 digits
  EXPECT_FALSE(SM::IsInteger("12" + digits17));        // 19 digits
  EXPECT_TRUE(SM::IsInteger("-" + digits17));          // 18 with the sign
  EXPECT_FALSE(SM::IsInteger("-1" + digits17));        // 19 with the sign
  EXPECT_TRUE(SM::IsInteger(digits17 + "\n"));         // 18 with the line feed
  EXPECT_FALSE(SM::IsInteger("1" + digits17 + "\n"));  // 19 with the line feed
  EXPECT_FALSE(SM::IsInteger("1" + digits17 + "\r\n"));
}

TEST(Predicates, IsCipChecksTheKeyDigitAfterTrimmingBlanks) {
  EXPECT_TRUE(SM::IsCip("1234562"));
  EXPECT_FALSE(SM::IsCip("1234567"));
  EXPECT_TRUE(SM::IsCip(" \t1234562\r\n "));
  EXPECT_FALSE(SM::IsCip("123456"));
  EXPECT_FALSE(SM::IsCip("12345620"));
  EXPECT_FALSE(SM::IsCip("12 34562"));
  EXPECT_FALSE(SM::IsCip(""));
  EXPECT_FALSE(SM::IsCip("123456\x85"));
  // s = 2*9 + 3*9 + 7*1 = 52, 52 mod 11 = 8.
  EXPECT_TRUE(SM::IsCip("9900018"));
  // s = 7*5 = 35, 35 mod 11 = 2.
  EXPECT_TRUE(SM::IsCip("0000052"));
  // s = 2*5 = 10: a remainder of 10 gives the key 0.
  EXPECT_TRUE(SM::IsCip("5000000"));
  EXPECT_FALSE(SM::IsCip("5000001"));
}

TEST(MatchRegEx, RecompilesOnlyWhenThePatternChanges) {
  const int64_t before = TPcreRegEx::CompileCountForTesting();
  EXPECT_TRUE(SM::MatchRegEx("^.*ASPIRINE.*$", "ASPIRINE 500 MG"));
  EXPECT_FALSE(SM::MatchRegEx("^.*ASPIRINE.*$", "aspirine 500 mg"));
  EXPECT_TRUE(SM::MatchRegEx("^.*ASPIRINE.*$", "UPSA ASPIRINE"));
  EXPECT_EQ(TPcreRegEx::CompileCountForTesting() - before, 1);
  EXPECT_TRUE(SM::MatchRegEx("^.*500.*$", "ASPIRINE 500 MG"));
  EXPECT_TRUE(SM::MatchRegEx("^.*ASPIRINE.*$", "ASPIRINE"));
  EXPECT_EQ(TPcreRegEx::CompileCountForTesting() - before, 3);
  EXPECT_FALSE(SM::MatchRegEx("^.*$", ""));
}

TEST(MatchRegEx, BadPatternsRaiseOnEveryCall) {
  try {
    SM::MatchRegEx("", "x");
    FAIL() << "an empty pattern must raise";
  } catch (const ERegExError& e) {
    EXPECT_STREQ(e.what(), "TPcreRegEx.Compile() - Please specify a regular expression in RegEx first");
  }
  for (int i = 0; i < 2; ++i) {
    try {
      SM::MatchRegEx("^.*(.*$", "x");
      FAIL() << "an unbalanced pattern must raise";
    } catch (const ERegExError& e) {
      EXPECT_STREQ(e.what(),
                   "TPcreRegEx.Compile() - Error in regex at offset 7: missing closing parenthesis");
    }
  }
  EXPECT_TRUE(SM::MatchRegEx("x", "x"));
}

TEST(IniLines, TypesOfLines) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "error"},
      {"   ", "error"},
      {"[EURO]", "section"},
      {"  [EURO]\t ", "section"},
      {";x", "comment"},
      {";", "comment"},
      {"  ;x=y", "keyvalue"},
      {"a=b", "keyvalue"},
      {"[]", "error"},
      {"[a] ;c", "error"},
      {"a=", "error"},
      {"=b", "error"},
      {"a\x85"
       "b=c",
       "error"},
      {"a\rb=c", "error"},
  };
  for (const auto& [line, type] : cases) EXPECT_EQ(SM::GetIniLineType(line), type) << line;
}

TEST(IniLines, SectionsKeysAndValues) {
  EXPECT_EQ(SM::GetIniSection("[EURO]"), "EURO");
  EXPECT_EQ(SM::GetIniSection("[ EURO ]"), "EURO");
  EXPECT_EQ(SM::GetIniSection("[a]b]"), "a]b");
  EXPECT_EQ(SM::GetIniSection("a=b"), "");
  EXPECT_EQ(SM::GetIniKey("a=b=c"), "a=b");
  EXPECT_EQ(SM::GetIniValue("a=b=c"), "c");
  EXPECT_EQ(SM::GetIniKey("k==v"), "k=");
  EXPECT_EQ(SM::GetIniValue("k==v"), "v");
  EXPECT_EQ(SM::GetIniKey("  CoeffMonnaie = 6,55957  "), "CoeffMonnaie");
  EXPECT_EQ(SM::GetIniValue("  CoeffMonnaie = 6,55957  "), "6,55957");
  EXPECT_EQ(SM::GetIniKey("key\t=v"), "key\t");
  EXPECT_EQ(SM::GetIniValue("k=v\t"), "v\t");
  EXPECT_EQ(SM::GetIniKey("  ;x=y"), ";x");
  EXPECT_EQ(SM::GetIniValue("k=v\n"), "v");
  EXPECT_EQ(SM::GetIniValue("k=v\x85"), "v");
  EXPECT_EQ(SM::GetIniKey("[EURO]x"), "");
  EXPECT_EQ(SM::GetIniValue(""), "");
}

}  // namespace
}  // namespace quillor
