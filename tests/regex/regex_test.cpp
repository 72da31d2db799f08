#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "regex/PcreRegEx.h"

namespace quillor {
namespace {

using ::testing::HasSubstr;

const char kSectionPattern[] = "^[ \\t]*\\[(.+)\\][ \\t]*$";

bool Matches(const std::string& pattern, const std::string& subject) {
  TPcreRegEx re;
  re.SetRegEx(pattern);
  re.Study();
  re.SetSubject(subject);
  return re.Match();
}

std::string CompileMessage(const std::string& pattern) {
  TPcreRegEx re;
  re.SetRegEx(pattern);
  try {
    re.Compile();
  } catch (const ERegExError& e) {
    return e.what();
  }
  return "compiled";
}

TEST(PcreRegExGroups, SectionLineGivesOneBasedOffsetsAndGroups) {
  TPcreRegEx re;
  re.SetRegEx(kSectionPattern);
  re.Study();
  re.SetSubject("[EURO]");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.Offset(0), 1);
  EXPECT_EQ(re.Offset(1), 7);
  EXPECT_EQ(re.Offset(2), 2);
  EXPECT_EQ(re.Offset(3), 6);
  EXPECT_EQ(re.OffsetCount(), 2);
  EXPECT_EQ(re.GroupCount(), 1);
  EXPECT_EQ(re.Groups(0), "[EURO]");
  EXPECT_EQ(re.Groups(1), "EURO");
  EXPECT_EQ(re.Groups(2), "");
  EXPECT_EQ(re.Groups(-1), "");
}

TEST(PcreRegExGroups, GroupThatTookNoPartIsZeroZeroAndEmpty) {
  TPcreRegEx re;
  re.SetRegEx("(a)|(b)(c)?");
  re.SetSubject("xb");
  ASSERT_TRUE(re.Match());
  // The highest group that took part is 2, so 3 is not reported at all.
  EXPECT_EQ(re.GroupCount(), 2);
  EXPECT_EQ(re.Offset(2), 0);
  EXPECT_EQ(re.Offset(3), 0);
  EXPECT_EQ(re.Groups(1), "");
  EXPECT_EQ(re.Groups(2), "b");
  EXPECT_EQ(re.Offset(4), 2);
  EXPECT_EQ(re.Offset(5), 3);
  EXPECT_EQ(re.Groups(3), "");
}

TEST(PcreRegExGroups, NinetyNineGroupsFitAHundredNeedMoreRoom) {
  std::string pattern99, pattern100, subject99, subject100;
  for (int i = 0; i < 99; ++i) pattern99 += "(a)";
  pattern100 = pattern99 + "(a)";
  subject99.assign(99, 'a');
  subject100.assign(100, 'a');
  TPcreRegEx re;
  re.SetRegEx(pattern99);
  re.SetSubject(subject99);
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.GroupCount(), 99);
  EXPECT_EQ(re.Offset(198), 99);
  EXPECT_EQ(re.Offset(199), 100);
  // Too many groups for the offsets: counted as no match.
  re.SetRegEx(pattern100);
  re.SetSubject(subject100);
  EXPECT_FALSE(re.Match());
  EXPECT_FALSE(re.FoundMatch());
}

TEST(PcreRegExGroups, ReadingGroupsWithoutAMatchIsAnAssertion) {
  TPcreRegEx re;
  re.SetRegEx("a(b)");
  EXPECT_THROW(re.GroupCount(), ERegExAssertion);
  re.SetSubject("ab");
  ASSERT_TRUE(re.Match());
  EXPECT_TRUE(re.FoundMatch());
  // A new subject drops the last match.
  re.SetSubject("ab");
  EXPECT_FALSE(re.FoundMatch());
  try {
    re.Groups(1);
    FAIL() << "Groups without a match must fail";
  } catch (const ERegExAssertion& e) {
    EXPECT_THAT(e.what(), HasSubstr("REQUIRE: There must be a successful match first"));
  }
  re.SetSubject("xx");
  EXPECT_FALSE(re.Match());
  EXPECT_THROW(re.Groups(0), ERegExAssertion);
  EXPECT_THROW(re.Groups(-1), ERegExAssertion);
}

TEST(PcreRegExMatch, EmptyMatchesAreNeverAccepted) {
  EXPECT_FALSE(Matches(".*", ""));
  EXPECT_FALSE(Matches("^$", ""));
  EXPECT_FALSE(Matches("x?", ""));
  // NOTEMPTY refuses only empty matches: a longer one is still found.
  EXPECT_TRUE(Matches("x?", "x"));
  // An empty match at the start does not stop the search further on.
  TPcreRegEx re;
  re.SetRegEx("b*");
  re.SetSubject("abb");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.Groups(0), "bb");
}

TEST(PcreRegExMatch, StudiedAndPlainPatternsAgreeOnLongSubjects) {
  // A repeated group on a long subject outgrows the JIT's own stack; studying
  // must never change the answer.
  const std::string longRun(300000, 'a');
  for (const std::string& pattern :
       {std::string("^(a|b)*$"), std::string("^.*a.*$"), std::string("^(?:a|b)+c$")}) {
    TPcreRegEx plain, studied;
    plain.SetRegEx(pattern);
    studied.SetRegEx(pattern);
    studied.Study();
    plain.SetSubject(longRun);
    studied.SetSubject(longRun);
    EXPECT_EQ(studied.Match(), plain.Match()) << pattern;
    EXPECT_EQ(studied.OffsetCount(), plain.OffsetCount()) << pattern;
  }
  TPcreRegEx re;
  re.SetRegEx("^(a|b)*$");
  re.Study();
  re.SetSubject(longRun);
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.Offset(1), 300001);
}

TEST(PcreRegExMatch, RunawayBacktrackingStopsWithAnErrorSayingThePatternIsTooComplex) {
  // Search words become "^.*" + word + ".*$"; these two backtrack without end
  // on a designation that holds neither '#' nor '@'.
  const std::string designation =
      "DOLIPRANE 1000 MG, COMPRIME PLAQUETTE(S) THERMOFORMEE(S) PVC-ALUMINIUM DE 8 COMPRIME(S)";
  for (const std::string pattern : {"^.*(.+)+[#@].*$", "^.*(.*)*[#@].*$"}) {
    for (const bool studied : {true, false}) {
      TPcreRegEx re;
      re.SetRegEx(pattern);
      if (studied) re.Study();
      re.SetSubject(designation);
      try {
        re.Match();
        ADD_FAILURE() << pattern << " matched or failed without reaching its limit";
      } catch (const ERegExError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "TPcreRegEx.Match() - Motif trop complexe (limite de recherche atteinte) : " + pattern);
      }
      EXPECT_FALSE(re.FoundMatch());
      // The object goes on matching other subjects.
      re.SetSubject(designation + " #");
      EXPECT_TRUE(re.Match()) << pattern;
    }
  }
}

TEST(PcreRegExMatch, OrdinaryPatternsStayFarBelowTheLimits) {
  // The limits grow with the subject: a linear pattern on a subject of
  // 300,000 bytes (see the test above) and the busiest word patterns on
  // designations still give their answer.
  EXPECT_TRUE(Matches("^.*A.*B.*C.*D.*$", "ABCD " + std::string(95, 'A')));
  EXPECT_FALSE(Matches("^.*A.*B.*C.*D.*$", std::string(50, 'A') + std::string(50, 'B') + "C"));
  EXPECT_TRUE(Matches("^.*(COMPRIME|GELULE).*$", "AMOXICILLINE 500 MG, GELULE"));
  EXPECT_EQ(TPcreRegEx::MatchLimitFor(0), TPcreRegEx::kMatchLimitBase);
  EXPECT_EQ(TPcreRegEx::MatchLimitFor(size_t{1} << 40), UINT32_MAX);
}

TEST(PcreRegExMatch, DollarMatchesBeforeAnyFinalLineBreak) {
  for (const std::string end : {"\n", "\r", "\r\n", "\x0B", "\x0C", "\x85"}) {
    EXPECT_TRUE(Matches("^abc$", "abc" + end)) << static_cast<int>(end.back());
  }
  EXPECT_FALSE(Matches("^abc$", "abc\n\n"));
  EXPECT_FALSE(Matches("^abc$", "abc "));
}

TEST(PcreRegExMatch, DotMatchesNoLineBreakOfTheAnyConvention) {
  for (const std::string brk : {"\n", "\r", "\x0B", "\x0C", "\x85"}) {
    EXPECT_FALSE(Matches("^a.b$", "a" + brk + "b")) << static_cast<int>(brk.back());
  }
  EXPECT_TRUE(Matches("^a.b$", "a\tb"));
  EXPECT_TRUE(Matches("^a.b$",
                      "a\xE9"
                      "b"));
}

TEST(PcreRegExMatch, BytesAreSingleCharactersAndCaseCounts) {
  // Not UTF mode: a lone Windows-1252 byte is one character, not an error.
  EXPECT_TRUE(Matches("^cr.me$", "cr\xE8me"));
  EXPECT_TRUE(Matches("^[\\x80-\\xFF]{3}$", "\x80\x9D\xFF"));
  EXPECT_FALSE(Matches("^abc$", "ABC"));
  // Embedded NUL bytes are part of the subject.
  EXPECT_TRUE(Matches("^a\\x00b$", std::string("a\0b", 3)));
}

TEST(PcreRegExOptions, EachMemberChangesMatching) {
  struct Case {
    TPcreRegExOption option;
    std::string pattern, subject;
  };
  const Case cases[] = {
      {TPcreRegExOption::preCaseLess, "^abc$", "ABC"},
      {TPcreRegExOption::preMultiLine, "^b$", "a\nb\nc"},
      {TPcreRegExOption::preSingleLine, "^a.b$", "a\nb"},
      {TPcreRegExOption::preExtended, "^a b c$", "abc"},
  };
  for (const Case& c : cases) {
    TPcreRegEx re;
    re.SetRegEx(c.pattern);
    re.SetSubject(c.subject);
    EXPECT_FALSE(re.Match()) << c.pattern;
    re.SetOptions({c.option});
    EXPECT_TRUE(re.Options().Contains(c.option));
    re.SetSubject(c.subject);
    EXPECT_TRUE(re.Match()) << c.pattern;
  }

  TPcreRegEx re;
  re.SetRegEx("b");
  re.SetSubject("ab");
  EXPECT_TRUE(re.Match());
  re.SetOptions({TPcreRegExOption::preAnchored});
  re.SetSubject("ab");
  EXPECT_FALSE(re.Match());

  re.SetOptions({});
  re.SetRegEx("a+");
  re.SetSubject("aaa");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.Groups(0), "aaa");
  re.SetOptions({TPcreRegExOption::preUnGreedy});
  re.SetSubject("aaa");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.Groups(0), "a");

  re.SetOptions({TPcreRegExOption::preNoAutoCapture});
  re.SetRegEx("(a)(b)");
  re.SetSubject("ab");
  ASSERT_TRUE(re.Match());
  EXPECT_EQ(re.GroupCount(), 0);
}

TEST(PcreRegExCompile, ErrorsCarryTheLibraryOffsetAndText) {
  EXPECT_EQ(CompileMessage(""), "TPcreRegEx.Compile() - Please specify a regular expression in RegEx first");
  EXPECT_EQ(CompileMessage("("),
            "TPcreRegEx.Compile() - Error in regex at offset 1: missing closing parenthesis");
  EXPECT_EQ(CompileMessage("ab)"),
            "TPcreRegEx.Compile() - Error in regex at offset 2: unmatched closing parenthesis");
  EXPECT_EQ(CompileMessage("a{2,1}"),
            "TPcreRegEx.Compile() - Error in regex at offset 5: numbers out of order in {} quantifier");
}

TEST(PcreRegExCompile, BadPatternRaisesAgainOnEveryMatchUntilChanged) {
  TPcreRegEx re;
  re.SetRegEx("(");
  re.SetSubject("(");
  for (int i = 0; i < 3; ++i) EXPECT_THROW(re.Match(), ERegExError);
  EXPECT_THROW(re.Study(), ERegExError);
  EXPECT_EQ(re.RegEx(), "(");
  EXPECT_FALSE(re.FoundMatch());
  re.SetRegEx("\\(");
  EXPECT_TRUE(re.Match());
}

TEST(PcreRegExCompile, CompilesOnlyWhenThePatternOrOptionsChange) {
  TPcreRegEx re;
  const int64_t before = TPcreRegEx::CompileCountForTesting();
  re.SetRegEx("^a+$");
  re.Study();
  re.SetRegEx("^a+$");
  re.Study();
  for (const char* subject : {"a", "aa", "b"}) {
    re.SetSubject(subject);
    re.Match();
  }
  EXPECT_EQ(TPcreRegEx::CompileCountForTesting() - before, 1);

  re.SetOptions({});  // the same (empty) set: nothing dropped
  re.SetSubject("a");
  EXPECT_TRUE(re.Match());
  EXPECT_EQ(TPcreRegEx::CompileCountForTesting() - before, 1);

  re.SetRegEx("^b+$");
  re.SetSubject("bb");
  EXPECT_TRUE(re.Match());  // compiles on demand
  EXPECT_EQ(TPcreRegEx::CompileCountForTesting() - before, 2);

  re.SetOptions({TPcreRegExOption::preCaseLess});
  re.SetSubject("BB");
  EXPECT_TRUE(re.Match());
  EXPECT_EQ(TPcreRegEx::CompileCountForTesting() - before, 3);

  // An explicit Compile always compiles.
  re.Compile();
  EXPECT_EQ(TPcreRegEx::CompileCountForTesting() - before, 4);
}

TEST(PcreRegExCompile, ObjectsAreIndependent) {
  TPcreRegEx a, b;
  a.SetRegEx("^x$");
  b.SetRegEx("^y$");
  a.SetSubject("x");
  b.SetSubject("x");
  EXPECT_TRUE(a.Match());
  EXPECT_FALSE(b.Match());
  EXPECT_TRUE(a.FoundMatch());
}

}  // namespace
}  // namespace quillor
