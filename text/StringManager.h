// TStringManager: Quillor's toolbox of static text operations. It has no
// instances. Its only state is the compiled patterns below and, per thread,
// the scorer of StringSimilarity's last first text; neither changes any
// result, they only spare recompiling and re-preparing.
//
// Text is a std::string of Windows-1252 bytes; positions are 1-based; an empty
// string and an absent one are the same value.
//
// The type predicates are the one definition of what kind of value a text
// holds. Each fixed-pattern predicate owns one TPcreRegEx, created and studied
// on first use and kept for the life of the process; MatchRegEx shares one
// more object that recompiles only when its pattern text changes; the four
// INI-line functions share three more. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

namespace quillor {

class TStringManager {
 public:
  TStringManager() = delete;

  // --- words -------------------------------------------------------------
  // 0 for the empty text, otherwise 1 + the number of separators.
  static int32_t WordCount(const std::string& text, char separator);
  // The index-th word (1-based); adjacent separators delimit an empty word;
  // an index outside 1..WordCount gives the empty string.
  static std::string GetWord(const std::string& text, int32_t index, char separator);

  // --- substrings and replacement ------------------------------------------
  // Characters between two 1-based positions, both inclusive, reversed
  // positions swapped and out-of-range ones clamped; bad positions are
  // reported through TraceError first.
  static std::string MyStrCopy(const std::string& text, int32_t from, int32_t to);
  // 1-based position of the first occurrence of `sought` in `text`; 0 if none
  // or if `sought` is empty.
  static int32_t MyStrPos(const std::string& sought, const std::string& text);
  // Every occurrence of `oldText` replaced by `newText`, searching the rebuilt
  // text again after each replacement (so "abb", "ab" -> "a" gives "a"). When
  // newText contains oldText, that search would never end: each occurrence of
  // the original text is then replaced once. An empty oldText changes nothing.
  static std::string ReplaceAll(const std::string& text, const std::string& oldText, const std::string& newText);
  // The two characters backslash and n become CR LF.
  static std::string ExpandNewLines(const std::string& text);
  // `c` stripped from both ends.
  static std::string TrimChar(const std::string& text, char c);
  static std::string PointToComma(const std::string& text);
  static std::string CommaToPoint(const std::string& text);

  // --- numbers -------------------------------------------------------------
  // A real number written with either decimal separator. A text that is not a
  // real after switching to the user's separator, or that passes as one but
  // cannot be converted (beyond the range of a double), is reported
  // ("TStringManager.MyStrToFloat : " + text + " is not a real") and gives 0.0.
  static double MyStrToFloat(const std::string& text);

  // --- accents -------------------------------------------------------------
  // Accented lower-case letters (é è ê ë à ä â î ï ô ö û ü ù ÿ ç) folded to
  // their base letter; everything else, upper-case accented letters included,
  // copied. Same length as the input.
  static std::string RemoveAccents(const std::string& text);

  // --- type predicates (the empty text never passes) ------------------------
  static bool IsDate(const std::string& text);     // ^[0-9]{2}/[0-9]{2}/[0-9]{4}$
  static bool IsReal(const std::string& text);     // no leading zeros, '.' or ','
  static bool IsInteger(const std::string& text);  // ^0$|^-?[1-9][0-9]*$, at most 18 chars
  static bool IsNatural(const std::string& text);  // ^[0-9]+$
  static bool IsEmail(const std::string& text);
  static bool IsPhone(const std::string& text);
  static bool IsCip(const std::string& text);      // 7 digits with a valid check digit
  static bool IsFaCode(const std::string& text);
  static bool IsAvCode(const std::string& text);
  static bool IsDeCode(const std::string& text);
  static bool IsBoolean(const std::string& text);

  // Does `pattern` match `text`? Recompiles only when the pattern text
  // differs from the last one. Throws ERegExError for a pattern that does not
  // compile (an empty pattern included) and for a match that reaches the
  // backtracking limits (TPcreRegEx::Match).
  static bool MatchRegEx(const std::string& pattern, const std::string& text);

  // --- INI lines -----------------------------------------------------------
  // "section", "comment", "keyvalue" or "error".
  static std::string GetIniLineType(const std::string& line);
  static std::string GetIniSection(const std::string& line);
  static std::string GetIniKey(const std::string& line);
  static std::string GetIniValue(const std::string& line);

  // --- comparison and similarity --------------------------------------------
  // Three-way comparison by the kind of value both texts hold: integers and
  // reals by value, dates by date, FA/AV/DE codes by their number, anything
  // else byte-wise. Not a strict weak ordering over mixed kinds: sort with it
  // only through a sort that is safe for any comparator.
  static int32_t CompareValues(const std::string& a, const std::string& b);
  // One text is a prefix of the other; false if either is empty.
  static bool SamePrefix(const std::string& a, const std::string& b);
  // 0 when either is a prefix of the other (both non-empty), else byte order.
  static int32_t ComparePrefix(const std::string& a, const std::string& b);
  // 200 x (links of a greedily built common subsequence) / (len a + len b);
  // 100 for two empty texts. Exactly the greedy measure, not the LCS.
  // Keeps, in a thread_local slot, a SimilarityScorer for `a` (its tables and
  // scratch buffers, which grow to the longest `b` scored) until a call with
  // another `a` replaces it or the thread ends; so consecutive calls with the
  // same `a` prepare it once. Unlike the rest of the class, callable from any
  // thread: each thread has its own scorer.
  static double StringSimilarity(const std::string& a, const std::string& b);
};

}  // namespace quillor
