#include "text/StringManager.h"

#include <algorithm>
#include <array>

#include "regex/PcreRegEx.h"
#include "text/Locale.h"
#include "text/TrimBlanks.h"
#include "trace/TraceUnit.h"

namespace quillor {
namespace {

// One fixed pattern, compiled and studied once on first use and kept for the
// life of the process; every call only changes the subject.
class StudiedPattern {
 public:
  explicit StudiedPattern(const char* pattern) {
    fRegEx.SetRegEx(pattern);
    fRegEx.Study();
  }
  StudiedPattern(const StudiedPattern&) = delete;
  StudiedPattern& operator=(const StudiedPattern&) = delete;

  bool Matches(const std::string& text) {
    fRegEx.SetSubject(text);
    return fRegEx.Match();
  }
  // The group of the last successful Matches. REQUIRES: it succeeded.
  std::string Group(int32_t i) const { return fRegEx.Groups(i); }

 private:
  TPcreRegEx fRegEx;
};

StudiedPattern& IniSectionPattern() {
  static StudiedPattern pattern("^[ \\t]*\\[(.+)\\][ \\t]*$");
  return pattern;
}
StudiedPattern& IniKeyValuePattern() {
  static StudiedPattern pattern("^[ \\t]*(.+)[ \\t]*=[ \\t]*(.+)[ \\t]*$");
  return pattern;
}
StudiedPattern& IniCommentPattern() {
  static StudiedPattern pattern("^\\;.*$");
  return pattern;
}

std::string Decimal(int32_t n) {
  return std::to_string(n);
}

// Byte -> byte: the accented lower-case letters to their base letter, every
// other byte (upper-case accented letters included) to itself.
constexpr auto kAccentFolding = [] {
  std::array<char, 256> table{};
  for (int b = 0; b < 256; ++b) table[b] = static_cast<char>(b);
  const struct {
    const char* accented;
    char base;
  } folds[] = {{"\xE9\xE8\xEA\xEB", 'e'}, {"\xE0\xE4\xE2", 'a'}, {"\xEE\xEF", 'i'}, {"\xF4\xF6", 'o'},
               {"\xFB\xFC\xF9", 'u'},     {"\xFF", 'y'},         {"\xE7", 'c'}};
  for (const auto& fold : folds) {
    for (const char* p = fold.accented; *p != '\0'; ++p) table[static_cast<unsigned char>(*p)] = fold.base;
  }
  return table;
}();

}  // namespace

// --- words -------------------------------------------------------------------

int32_t TStringManager::WordCount(const std::string& text, char separator) {
  if (text.empty()) return 0;
  int32_t count = 1;
  for (char c : text) {
    if (c == separator) ++count;
  }
  return count;
}

std::string TStringManager::GetWord(const std::string& text, int32_t index, char separator) {
  if (index < 1) return std::string();
  size_t start = 0;
  for (int32_t word = 1; word < index; ++word) {
    const size_t next = text.find(separator, start);
    if (next == std::string::npos) return std::string();
    start = next + 1;
  }
  const size_t end = text.find(separator, start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// --- substrings and replacement ------------------------------------------------

std::string TStringManager::MyStrCopy(const std::string& text, int32_t from, int32_t to) {
  const int64_t length = static_cast<int64_t>(text.size());
  if (length < from) {
    Trace().TraceError("String_Manager_Unit:TStringManager.MyStrCopy:Bad FromPos : " + Decimal(from) +
                       " in " + text);
  }
  if (to < from) {
    Trace().TraceError("String_Manager_Unit:TStringManager.MyStrCopy:FromPos " + Decimal(from) +
                       " > ToPos : " + Decimal(to) + " in " + text);
  }
  if (length < to) {
    Trace().TraceError("String_Manager_Unit:TStringManager.MyStrCopy:Bad ToPos : " + Decimal(to) + " in " +
                       text);
  }
  if (to <= 0 || from <= 0) {
    Trace().TraceError("String_Manager_Unit:TStringManager.MyStrCopy:null or negative param in " + text);
  }
  const int64_t first = std::max<int64_t>(1, std::min(from, to));
  const int64_t last = std::min<int64_t>(length, std::max(from, to));
  if (last < first) return std::string();
  return text.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
}

int32_t TStringManager::MyStrPos(const std::string& sought, const std::string& text) {
  if (sought.empty()) return 0;
  const size_t p = text.find(sought);
  return p == std::string::npos ? 0 : static_cast<int32_t>(p + 1);
}

std::string TStringManager::ReplaceAll(const std::string& text, const std::string& oldText,
                                       const std::string& newText) {
  std::string result = text;
  if (oldText.empty()) return result;
  if (newText.find(oldText) != std::string::npos) {
    // Searching the rebuilt text again would never end here: replace the
    // occurrences of the original text once, left to right.
    result.clear();
    size_t from = 0;
    for (size_t p = text.find(oldText); p != std::string::npos; p = text.find(oldText, from)) {
      result.append(text, from, p - from).append(newText);
      from = p + oldText.size();
    }
    return result.append(text, from, std::string::npos);
  }
  // Every pass finds the first occurrence in the rebuilt text, so a
  // replacement may join with what precedes it into a new occurrence ("abb",
  // "ab" -> "a" gives "a"). Nothing before the last replacement can start
  // one that does not reach into it, so the search resumes just before it.
  size_t p = result.find(oldText);
  while (p != std::string::npos) {
    result.replace(p, oldText.size(), newText);
    const size_t resume = p + 1 >= oldText.size() ? p + 1 - oldText.size() : 0;
    p = result.find(oldText, resume);
  }
  return result;
}

std::string TStringManager::ExpandNewLines(const std::string& text) {
  return ReplaceAll(text, "\\n", "\r\n");
}

std::string TStringManager::TrimChar(const std::string& text, char c) {
  const size_t first = text.find_first_not_of(c);
  if (first == std::string::npos) return std::string();
  const size_t last = text.find_last_not_of(c);
  return text.substr(first, last - first + 1);
}

std::string TStringManager::PointToComma(const std::string& text) {
  std::string result = text;
  for (char& c : result) {
    if (c == '.') c = ',';
  }
  return result;
}

std::string TStringManager::CommaToPoint(const std::string& text) {
  std::string result = text;
  for (char& c : result) {
    if (c == ',') c = '.';
  }
  return result;
}

// --- numbers -------------------------------------------------------------------

double TStringManager::MyStrToFloat(const std::string& text) {
  const char separator = UserDecimalSeparator();
  std::string converted = text;
  if (separator == ',') {
    converted = PointToComma(text);
  } else if (separator == '.') {
    converted = CommaToPoint(text);
  }
  if (IsReal(converted)) {
    // A few texts pass IsReal yet are no number the conversion can hold (one
    // ending in the byte 0x85, a value beyond the range of a double): they are
    // reported like any other non-real rather than thrown at the caller.
    try {
      return LocaleStrToFloat(converted);
    } catch (const EConvertError&) {
    }
  }
  Trace().TraceError("TStringManager.MyStrToFloat : " + converted + " is not a real");
  return 0.0;
}

// --- accents -------------------------------------------------------------------

std::string TStringManager::RemoveAccents(const std::string& text) {
  std::string result = text;
  for (char& c : result) c = kAccentFolding[static_cast<unsigned char>(c)];
  return result;
}

// --- type predicates -----------------------------------------------------------

bool TStringManager::IsDate(const std::string& text) {
  static StudiedPattern pattern("^[0-9]{2}/[0-9]{2}/[0-9]{4}$");
  return pattern.Matches(text);
}

bool TStringManager::IsReal(const std::string& text) {
  static StudiedPattern pattern("^-?0[\\.\\,][0-9]+$|^0$|^-?[1-9][0-9]*([\\.\\,][0-9]+)?$");
  return pattern.Matches(text);
}

bool TStringManager::IsInteger(const std::string& text) {
  static StudiedPattern pattern("^0$|^-?[1-9][0-9]*$");
  // The limit keeps every accepted text within a 64-bit integer; a final line
  // break, which "$" lets through, counts towards it.
  return pattern.Matches(text) && text.size() <= 18;
}

bool TStringManager::IsNatural(const std::string& text) {
  static StudiedPattern pattern("^[0-9]+$");
  return pattern.Matches(text);
}

bool TStringManager::IsEmail(const std::string& text) {
  static StudiedPattern pattern("^.+@.+\\..+$");
  return pattern.Matches(text);
}

bool TStringManager::IsPhone(const std::string& text) {
  static StudiedPattern pattern("^\\+?[ \\.0-9]{6}[ \\.0-9]*$");
  return pattern.Matches(text);
}

bool TStringManager::IsCip(const std::string& text) {
  const std::string code = TrimBlanksAndControls(text);
  if (!IsNatural(code) || code.size() != 7) return false;
  int sum = 0;
  for (int i = 0; i < 6; ++i) {
    if (code[i] < '0' || code[i] > '9') return false;
    sum += (i + 2) * (code[i] - '0');
  }
  // IsNatural lets a final 0x85 through ("$" before a line break), so the
  // last byte is checked as a digit here.
  return code[6] >= '0' && code[6] <= '9' && code[6] - '0' == (sum % 11) % 10;
}

bool TStringManager::IsFaCode(const std::string& text) {
  static StudiedPattern pattern("^FA[0-9]{5}$");
  return pattern.Matches(text);
}

bool TStringManager::IsAvCode(const std::string& text) {
  static StudiedPattern pattern("^AV[0-9]{3}[0-9]?$");
  return pattern.Matches(text);
}

bool TStringManager::IsDeCode(const std::string& text) {
  static StudiedPattern pattern("^DE[0-9]{4}[0-9]?$");
  return pattern.Matches(text);
}

bool TStringManager::IsBoolean(const std::string& text) {
  static StudiedPattern pattern("^true$|^false$");
  return pattern.Matches(text);
}

bool TStringManager::MatchRegEx(const std::string& pattern, const std::string& text) {
  static TPcreRegEx shared;
  if (shared.RegEx() != pattern) {
    shared.SetRegEx(pattern);
    shared.Study();
  }
  shared.SetSubject(text);
  return shared.Match();
}

// --- INI lines -----------------------------------------------------------------

std::string TStringManager::GetIniLineType(const std::string& line) {
  if (IniSectionPattern().Matches(line)) return "section";
  if (IniCommentPattern().Matches(line)) return "comment";
  if (IniKeyValuePattern().Matches(line)) return "keyvalue";
  return "error";
}

std::string TStringManager::GetIniSection(const std::string& line) {
  StudiedPattern& pattern = IniSectionPattern();
  if (!pattern.Matches(line)) return std::string();
  return TrimChar(pattern.Group(1), ' ');
}

std::string TStringManager::GetIniKey(const std::string& line) {
  StudiedPattern& pattern = IniKeyValuePattern();
  if (!pattern.Matches(line)) return std::string();
  return TrimChar(pattern.Group(1), ' ');
}

std::string TStringManager::GetIniValue(const std::string& line) {
  StudiedPattern& pattern = IniKeyValuePattern();
  if (!pattern.Matches(line)) return std::string();
  return TrimChar(pattern.Group(2), ' ');
}

}  // namespace quillor
