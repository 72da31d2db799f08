// TPcreRegEx: one compiled PCRE2 pattern (8-bit, never UTF mode) together with
// the subject it is applied to and the result of the last match.
//
// Calling order: construct; SetRegEx; Study (which compiles); then for each
// text: SetSubject, Match, and only after a successful Match, Groups.
//
// Every pattern is compiled with PCRE2_NEWLINE_ANY plus the options of
// Options(), against character tables built once per object by
// pcre2_maketables. Study() is a JIT compile when the library has a JIT;
// otherwise it silently learns nothing. Every match runs with PCRE2_NOTEMPTY,
// so no pattern ever matches the empty subject.
//
// Every match is bounded: a pattern that backtracks without end (search words
// are patterns, so "(.+)+#" is a text a user may type) stops at a match limit
// and a depth limit that grow with the subject's length, and raises an error
// instead of holding the window for minutes. Ordinary patterns on catalogue
// designations stay two orders of magnitude below the limits.
//
// Not copyable. Not thread-safe: subject and offsets belong to the object.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace quillor {

// Raised by Compile, Study and Match (which compiles on demand).
class ERegExError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raised by GroupCount and Groups without a successful last match.
class ERegExAssertion : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

enum class TPcreRegExOption : uint8_t {
  preCaseLess,
  preMultiLine,
  preSingleLine,
  preExtended,
  preAnchored,
  preUnGreedy,
  preNoAutoCapture,
};

// A set of TPcreRegExOption, stored in one byte (bit i = member i).
class TPcreRegExOptions {
 public:
  constexpr TPcreRegExOptions() = default;
  constexpr TPcreRegExOptions(std::initializer_list<TPcreRegExOption> members) {
    for (TPcreRegExOption m : members) bits_ |= Bit(m);
  }
  constexpr bool Contains(TPcreRegExOption m) const { return (bits_ & Bit(m)) != 0; }
  constexpr uint8_t Bits() const { return bits_; }
  friend constexpr bool operator==(TPcreRegExOptions, TPcreRegExOptions) = default;

 private:
  static constexpr uint8_t Bit(TPcreRegExOption m) {
    return static_cast<uint8_t>(1u << static_cast<unsigned>(m));
  }
  uint8_t bits_ = 0;
};

class TPcreRegEx {
 public:
  // Number of offset pairs handed to the library (group 0 and 99 groups).
  static constexpr int kOffsetPairs = 100;

  TPcreRegEx();
  ~TPcreRegEx();
  TPcreRegEx(const TPcreRegEx&) = delete;
  TPcreRegEx& operator=(const TPcreRegEx&) = delete;

  const std::string& RegEx() const { return fRegEx; }
  // A different text is stored and drops the compiled pattern; the same text
  // (exact comparison) keeps it.
  void SetRegEx(const std::string& pattern);

  TPcreRegExOptions Options() const { return fOptions; }
  // A different set recomputes the compile options and drops the compiled pattern.
  void SetOptions(TPcreRegExOptions options);

  const std::string& Subject() const { return fSubject; }
  // Stores the text and forgets the last match (FoundMatch() becomes false).
  void SetSubject(const std::string& subject);

  // Compiles RegEx now. Throws ERegExError with
  //   "TPcreRegEx.Compile() - Please specify a regular expression in RegEx first"
  // for an empty pattern, or
  //   "TPcreRegEx.Compile() - Error in regex at offset %d: %s"
  // with the library's 0-based offset and error text; the object is then
  // left without a compiled pattern and keeps RegEx.
  void Compile();
  // Compiles if needed, then JIT-compiles (where available). A library
  // without a JIT, or one refused executable memory, keeps interpreting.
  // Throws ERegExError ("TPcreRegEx.Study() - Error studying the regex: " + text)
  // only for any other JIT failure.
  void Study();
  // Searches Subject from its first byte (compiling first if needed; compile
  // errors propagate). A match that reaches its limits throws ERegExError
  //   "TPcreRegEx.Match() - Motif trop complexe (limite de recherche atteinte) : " + RegEx
  // and forgets the last match; any other library error reads as no match.
  bool Match();

  // The limits of a match on a subject of `length` bytes, in the library's
  // units: backtracking steps (match limit) and nested backtracking points
  // (depth limit). Both are kMatchLimitBase + kMatchLimitPerByte x length.
  static constexpr uint32_t kMatchLimitBase = 10000;
  static constexpr uint32_t kMatchLimitPerByte = 200;
  static uint32_t MatchLimitFor(size_t length);

  bool FoundMatch() const { return fOffsetCount > 0; }
  // REQUIRES: FoundMatch(); otherwise throws ERegExAssertion
  // "REQUIRE: There must be a successful match first (PcreRegEx)".
  int32_t GroupCount() const;
  // Text of group i of the last match (0 = whole match); empty for a group
  // above GroupCount(), below 0, or one that did not take part.
  // REQUIRES: FoundMatch(); otherwise throws ERegExAssertion.
  std::string Groups(int32_t i) const;

  // 1-based offset entry i (entry 2g is the start of group g, 2g+1 the
  // position just after it; 0, 0 for a group that did not take part).
  int32_t Offset(int32_t i) const;
  // Value returned by the last match call (0 before any match).
  int32_t OffsetCount() const { return fOffsetCount; }

  // Test hook: how many successful compiles all objects have done so far.
  static int64_t CompileCountForTesting();

 private:
  void CleanUp();

  bool fCompiled = false;
  TPcreRegExOptions fOptions;
  std::string fRegEx;
  std::string fSubject;
  int32_t fSubjectLength = 0;
  int32_t fOffsets[2 * kOffsetPairs + 1] = {};
  int32_t fOffsetCount = 0;
  uint32_t fCompileOptions = 0;
  // Library handles, released exactly once (opaque here so that users of this
  // header need not see pcre2.h).
  void* fPattern = nullptr;                // pcre2_code_8*
  void* fMatchData = nullptr;              // pcre2_match_data_8*
  const unsigned char* fTables = nullptr;  // from pcre2_maketables
  void* fCompileContext = nullptr;         // pcre2_compile_context_8*
  void* fMatchContext = nullptr;           // pcre2_match_context_8*
};

}  // namespace quillor
