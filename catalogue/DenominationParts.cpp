#include "catalogue/DenominationParts.h"

#include <algorithm>

#include "catalogue/Abbreviations.h"

namespace quillor::catalogue {
namespace {

bool AllDigits(std::string_view word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), IsDigit);
}

bool HasDigit(std::string_view word) {
  return std::any_of(word.begin(), word.end(), IsDigit);
}

// Each part between '/' abbreviated as a unit where the table has it.
std::string AbbreviateUnits(const std::string& word) {
  std::string result;
  size_t start = 0;
  while (true) {
    const size_t slash = word.find('/', start);
    const std::string part = word.substr(start, slash == std::string::npos ? slash : slash - start);
    const Abbreviation* unit = FindAbbreviation(part, AbbreviationKind::kUnit);
    result += unit != nullptr ? std::string(unit->abbreviation) : part;
    if (slash == std::string::npos) break;
    result += '/';
    start = slash + 1;
  }
  return result;
}

// A unit of two to four words at `i` ("POUR CENT", "UNITES INTERNATIONALES/ML",
// "MILLIONS D'UNITES INTERNATIONALES") abbreviated, with the number of words
// it takes; or "" and 0.
std::pair<std::string, size_t> UnitPhrase(const Words& words, size_t i) {
  for (size_t count = 4; count >= 2; --count) {
    if (i + count > words.size()) continue;
    std::string phrase;
    for (size_t k = i; k + 1 < i + count; ++k) phrase += words[k] + " ";
    const std::string& last = words[i + count - 1];
    const size_t slash = last.find('/');
    phrase += slash == std::string::npos ? last : last.substr(0, slash);
    const Abbreviation* unit = FindAbbreviation(phrase, AbbreviationKind::kUnit);
    if (unit == nullptr) continue;
    return {std::string(unit->abbreviation) +
                (slash == std::string::npos ? std::string() : AbbreviateUnits(last.substr(slash))),
            count};
  }
  return {std::string(), 0};
}

bool StartsWithUnit(const std::string& word) {
  const size_t slash = word.find('/');
  return FindAbbreviation(slash == std::string::npos ? word : word.substr(0, slash),
                          AbbreviationKind::kUnit) != nullptr;
}

// A word that holds a quantity, or continues one ("/ML", "%").
bool IsStrengthWord(const std::string& word) {
  return HasDigit(word) || word.front() == '/' || word.front() == '%';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The position where the form column's text starts as whole words, or npos.
size_t FindForm(std::string_view denomination, std::string_view form) {
  if (form.empty()) return std::string_view::npos;
  size_t at = denomination.find(form);
  while (at != std::string_view::npos) {
    const bool startsWord = at > 0 && denomination[at - 1] == ' ';
    const size_t end = at + form.size();
    const bool endsWord = end == denomination.size() || denomination[end] == ' ' ||
                          denomination[end] == '.' || denomination[end] == ',';
    if (startsWord && endsWord) return at;
    at = denomination.find(form, at + 1);
  }
  return std::string_view::npos;
}

// Where a denomination without a comma before its form says the form anyway:
// the first of these nouns after the name's first word ("VAXIGRIP SUSPENSION
// INJECTABLE EN SERINGUE PREREMPLIE. VACCIN ...", whose form column says
// "solution injectable").
size_t FindFormNoun(std::string_view denomination) {
  static constexpr std::string_view kNouns[] = {"SOLUTION", "SUSPENSION", "COMPRIME",    "GELULE",  "POUDRE",
                                                "EMULSION", "DISPERSION", "LYOPHILISAT", "COLLYRE", "SIROP"};
  size_t best = std::string_view::npos;
  for (std::string_view noun : kNouns) best = std::min(best, FindForm(denomination, noun));
  return best;
}

// "5 MG / 12,5 MG" -> "5 MG/12,5 MG", "10<SUP>6</SUP>" -> "10^6".
std::string PrepareHead(std::string_view head) {
  std::string text;
  for (size_t i = 0; i < head.size(); ++i) {
    if (head.compare(i, 5, "<SUP>") == 0) {
      const size_t close = head.find("</SUP>", i);
      if (close != std::string_view::npos && AllDigits(head.substr(i + 5, close - i - 5))) {
        text += '^';
        text += head.substr(i + 5, close - i - 5);
        i = close + 5;
        continue;
      }
    }
    if (head[i] == ' ' && i + 1 < head.size() && head[i + 1] == '/') continue;
    if (head[i] == ' ' && !text.empty() && text.back() == '/') continue;
    // "18 MG/PAR ML" is "18 MG/ML".
    if (!text.empty() && text.back() == '/' && head.compare(i, 4, "PAR ") == 0) {
      i += 3;
      continue;
    }
    text += head[i];
  }
  return text;
}

// What a strength says again in brackets goes ("8 000 UI (80 MG)/0,8 ML" ->
// "8 000 UI/0,8 ML"); brackets before any quantity only lose their marks:
// "(300 UI + 150 UI)/0,48 ML" holds the strength itself. Unbalanced
// brackets are left alone.
std::string WithoutRepeatedStrengths(const std::string& text) {
  std::string result;
  bool quantitySeen = false;
  size_t i = 0;
  while (i < text.size()) {
    const size_t close = text[i] == '(' ? text.find(')', i) : std::string::npos;
    if (close == std::string::npos) {
      quantitySeen = quantitySeen || IsDigit(text[i]);
      result += text[i++];
      continue;
    }
    if (!quantitySeen) {
      result += text.substr(i + 1, close - i - 1);
      i = close + 1;
      quantitySeen = true;
      continue;
    }
    while (!result.empty() && result.back() == ' ') result.pop_back();
    i = close + 1;
    if (i < text.size() && text[i] == ' ') result += ' ';
    while (i < text.size() && text[i] == ' ') ++i;
  }
  return result;
}

std::string WrittenNumberAt(const std::string& word);

// A word's numbers as a catalogue writes them: "37.5MG" -> "37,5MG",
// "750.000" -> "750000", "1000000" -> "10^6", "MG/12,50" -> "MG/12,5".
std::string WrittenNumber(const std::string& word) {
  std::string result;
  size_t i = 0;
  while (i < word.size()) {
    if (!IsDigit(word[i]) || (i > 0 && (IsDigit(word[i - 1]) || word[i - 1] == ',' || word[i - 1] == '.'))) {
      result += word[i++];
      continue;
    }
    // The number that starts here, with its decimals or groups.
    size_t end = i;
    while (end < word.size() && (IsDigit(word[end]) || ((word[end] == ',' || word[end] == '.') &&
                                                        end + 1 < word.size() && IsDigit(word[end + 1])))) {
      ++end;
    }
    result += WrittenNumberAt(word.substr(i, end - i));
    i = end;
  }
  return result;
}

// One number: digits with a decimal comma or point, or groups after points.
std::string WrittenNumberAt(const std::string& word) {
  std::string result;
  size_t i = 0;
  while (i < word.size()) {
    const char c = word[i];
    if (c == '.' && i > 0 && IsDigit(word[i - 1]) && i + 1 < word.size() && IsDigit(word[i + 1])) {
      size_t digitsBefore = i;
      while (digitsBefore > 0 && IsDigit(word[digitsBefore - 1])) --digitsBefore;
      const std::string before = word.substr(digitsBefore, i - digitsBefore);
      const bool thousands = before != "0" && i + 3 < word.size() && AllDigits(word.substr(i + 1, 3)) &&
                             (i + 4 == word.size() || !IsDigit(word[i + 4]));
      if (!thousands) result += ',';
      ++i;
      continue;
    }
    result += c;
    ++i;
  }
  // "12,50" is 12,5.
  if (const size_t comma = result.find(','); comma != std::string::npos) {
    size_t end = comma + 1;
    while (end < result.size() && IsDigit(result[end])) ++end;
    size_t keep = end;
    while (keep > comma + 1 && result[keep - 1] == '0') --keep;
    if (keep == comma + 1) --keep;  // "2,0" is 2
    result.erase(keep, end - keep);
  }
  // Powers of ten from a million on.
  size_t digits = 0;
  while (digits < result.size() && IsDigit(result[digits])) ++digits;
  const bool decimal = digits < result.size() && result[digits] == ',';
  if (!decimal && digits >= 7 && result[0] == '1' &&
      std::all_of(result.begin() + 1, result.begin() + static_cast<std::ptrdiff_t>(digits),
                  [](char d) { return d == '0'; })) {
    result = "10^" + std::to_string(digits - 1) + result.substr(digits);
  }
  return result;
}

}  // namespace

Words WholeNumbers(const Words& input) {
  // Numbers written in groups of three digits become one word.
  Words words;
  std::vector<bool> grouped;  // the word is a number made of groups
  for (const std::string& word : input) {
    const bool group =
        word.size() >= 3 && AllDigits(word.substr(0, 3)) && (word.size() == 3 || !IsDigit(word[3]));
    if (group && !words.empty() && EndsWithDigit(words.back())) {
      // The digits the word before ends with, after '/', 'X' or '+' ("1/100 000", "70MG/2 800UI").
      const std::string& last = words.back();
      size_t run = last.size();
      while (run > 0 && IsDigit(last[run - 1])) --run;
      const bool starts = run == 0 || last[run - 1] == '/' || last[run - 1] == 'X' || last[run - 1] == '+' ||
                          last[run - 1] == '-';
      // "MAG 2 100 MG", "MIXTARD 30 100 UI/ML": a product's number then 100 mg,
      // 100 UI/ml; no quantity of the export is written "2 100".
      const bool hundred = word.compare(0, 3, "100") == 0 && !grouped.back();
      if (starts && !hundred && (grouped.back() || last.size() - run <= 3)) {
        words.back() += word;
        grouped.back() = true;
        continue;
      }
    }
    words.push_back(word);
    grouped.push_back(false);
  }
  for (std::string& word : words) {
    if (HasDigit(word)) word = WrittenNumber(word);
  }
  return words;
}

Words NormaliseStrength(const Words& input) {
  const Words words = WholeNumbers(input);

  // Units abbreviated and glued to their numbers.
  Words glued;
  for (size_t i = 0; i < words.size(); ++i) {
    std::string word = words[i];
    if (const auto [phrase, count] = UnitPhrase(words, i); count > 0) {
      word = phrase;
      i += count - 1;
    } else {
      word = AbbreviateUnits(word);
    }
    const bool glue = !glued.empty() && (EndsWithDigit(glued.back()) || glued.back().back() == '%') &&
                      (StartsWithUnit(word) || word[0] == '/' || word[0] == '%');
    if (glue && !(glued.back().back() == '%' && word[0] != '/')) {
      glued.back() += word;
    } else {
      glued.push_back(word);
    }
  }

  // "PAR ML", "POUR 100 ML": what the quantity before is per.
  Words per;
  for (size_t i = 0; i < glued.size(); ++i) {
    const std::string& word = glued[i];
    if ((word == "PAR" || word == "POUR" || word == "DANS") && i + 1 < glued.size() && !per.empty() &&
        HasDigit(per.back()) &&
        (StartsWithUnit(glued[i + 1]) || (StartsWithDigit(glued[i + 1]) && !AllDigits(glued[i + 1])))) {
      per.back() += "/" + glued[++i];
      continue;
    }
    per.push_back(word);
  }

  // A dose is written as packs write it: "25MCG/DOSE" -> "25MCG/DOS".
  for (std::string& word : per) {
    if (word.size() > 5 && HasDigit(word) && word.compare(word.size() - 5, 5, "/DOSE") == 0) word.pop_back();
  }

  // Quantities joined by "+", "ET", "&" or "X" make one word: "20MG/ML+5MG/ML", "2X10^13VG/ML".
  Words joined;
  for (size_t i = 0; i < per.size(); ++i) {
    const std::string& word = per[i];
    const bool operatorWord = word == "+" || word == "ET" || word == "&" || word == "X" || word == "-";
    if (operatorWord && !joined.empty() && StartsWithDigit(joined.back()) && i + 1 < per.size() &&
        StartsWithDigit(per[i + 1])) {
      const char op = word == "X" ? 'X' : word == "-" ? '-' : '+';
      joined.back() += op;
      joined.back() += per[++i];
      continue;
    }
    if (word.size() > 1 && word.front() == '+' && !joined.empty() && StartsWithDigit(joined.back()) &&
        IsDigit(word[1])) {
      joined.back() += word;
      continue;
    }
    joined.push_back(word);
  }
  return joined;
}

bool IsEssentialFormWord(std::string_view word) {
  return word == "LP" || word == "LM" || word == "EFF" || word == "ORODISP" || word == "CROQ" ||
         word == "LYOPH" || word == "FILM" || word == "SUBL";
}

Words AbbreviateForm(std::string_view text) {
  Words form;
  for (std::string word : SplitWords(text)) {
    // "A SUCER OU A CROQUER", "A SUCER/A CROQUER": the first way of taking
    // it is enough.
    if (word == "OU" && !form.empty()) break;
    bool lastWord = false;
    while (!word.empty() && (word.back() == ',' || word.back() == '.' || word.back() == ';')) {
      word.pop_back();
      lastWord = true;
    }
    const size_t slash = word.find('/');
    if (slash != std::string::npos) {
      word.resize(slash);
      lastWord = lastWord || !form.empty() || !word.empty();
    }
    if (!word.empty() && FindAbbreviation(word, AbbreviationKind::kFormFiller) == nullptr) {
      const Abbreviation* found = FindAbbreviation(word, AbbreviationKind::kForm);
      if (found == nullptr) return form;
      // A word once: "GRANULES ET SOLUTION BUVABLE EN GOUTTES" is GRAN SOL BUV GTT.
      if (!found->abbreviation.empty() &&
          std::find(form.begin(), form.end(), found->abbreviation) == form.end()) {
        form.emplace_back(found->abbreviation);
      }
    }
    if (lastWord) break;
  }
  return form;
}

namespace {

// The essential words of a whole form text, where the table knows them,
// leaving out a second way of taking it ("A SUCER OU A CROQUER").
Words EssentialWordsOf(std::string_view text) {
  Words essential;
  for (std::string word : SplitWords(text)) {
    if (word == "OU") break;
    while (!word.empty() && (word.back() == ',' || word.back() == '.' || word.back() == ';')) word.pop_back();
    const size_t slash = word.find('/');
    if (slash != std::string::npos) word.resize(slash);
    const Abbreviation* found = FindAbbreviation(word, AbbreviationKind::kForm);
    if (found != nullptr && IsEssentialFormWord(found->abbreviation) &&
        std::find(essential.begin(), essential.end(), found->abbreviation) == essential.end()) {
      essential.emplace_back(found->abbreviation);
    }
    if (slash != std::string::npos) break;
  }
  return essential;
}

// Whether the bracket that starts at `words[i]` ("(300") holds a unit: then
// it is a strength, and the name ends before it; "(123 I)" is part of a name.
bool BracketHoldsUnit(const Words& words, size_t i) {
  for (size_t k = i; k < words.size(); ++k) {
    const std::string& word = words[k];
    const bool last = word.find(')') != std::string::npos || word.find(']') != std::string::npos;
    // The letters of the word: "MICROGRAMMES)/DOSE" -> "MICROGRAMMES".
    size_t start = 0;
    while (start < word.size() && !(word[start] >= 'A' && word[start] <= 'Z') && word[start] != '%') ++start;
    size_t end = start;
    while (end < word.size() &&
           ((word[end] >= 'A' && word[end] <= 'Z') || word[end] == '%' || word[end] == '.')) {
      ++end;
    }
    if (end > start && StartsWithUnit(word.substr(start, end - start))) return true;
    if (last) break;
  }
  return false;
}

// "OMEGA 3 EG LABO", "PROFIL 30 KWIKPEN", "STEROGYL 15 "H"": a bare number
// followed by another word of the name (not a unit, an operator or a little
// word) names the product.
bool NumberOfTheName(const Words& words, size_t i) {
  // "A 313", a name of one letter, takes its number (of more than one digit:
  // "X 1 500 MG" is 1500 mg).
  if (i == 1 && words[0].size() == 1 && AllDigits(words[i]) && words[i].size() > 1) return true;
  if (!AllDigits(words[i]) || i + 1 >= words.size()) return false;
  const std::string& next = words[i + 1];
  if (StartsWithDigit(next) || next == "X" || next == "+" || next == "-" || next == "ET" || next == "&" ||
      next.front() == '/' || next.front() == '(' || next.front() == '%') {
    return false;
  }
  if (StartsWithUnit(next) || UnitPhrase(words, i + 1).second > 0) return false;
  return FindAbbreviation(next, AbbreviationKind::kFormFiller) == nullptr;
}

// "JINARC 30 MG, COMPRIME + JINARC 60 MG, COMPRIME", "ORYLMYTE 100 IR,
// COMPRIME SUBLINGUAL. ORYLMYTE 300 IR, ...": a pack of one product's
// strengths names it again with each; the strengths that follow the name
// again in `tail`.
std::vector<Words> StrengthsNamedAgain(std::string_view tail, const Words& name) {
  std::vector<Words> strengths;
  if (name.empty() || name.front().size() < 3) return strengths;
  const Words words = SplitWords(tail);
  for (size_t i = 0; i + name.size() < words.size(); ++i) {
    bool named = true;
    for (size_t k = 0; k < name.size() && named; ++k) named = words[i + k] == name[k];
    if (!named || !StartsWithDigit(words[i + name.size()])) continue;
    Words strength;
    for (size_t k = i + name.size(); k < words.size(); ++k) {
      std::string word = words[k];
      const bool last = word.back() == ',' || word.back() == '.';
      while (!word.empty() && (word.back() == ',' || word.back() == '.')) word.pop_back();
      if (!word.empty()) strength.push_back(word);
      if (last) break;
    }
    Words read = NormaliseStrength(strength);
    while (!read.empty() && !IsStrengthWord(read.back())) read.pop_back();
    if (!read.empty()) strengths.push_back(read);
    i += name.size();
  }
  return strengths;
}

}  // namespace

DenominationParts ReadDenominationParts(std::string_view denomination, std::string_view formColumn) {
  formColumn = Trimmed(formColumn);
  std::string head;
  std::string tail;
  // ", " ends the head, and so does a comma glued to a word ("50 MG,COMPRIME").
  // A comma inside brackets ("(13-VALENT, ADSORBE)") is not one.
  size_t comma = std::string_view::npos;
  for (size_t at = denomination.find(','); at != std::string_view::npos;
       at = denomination.find(',', at + 1)) {
    const std::string_view before = denomination.substr(0, at);
    if (std::count(before.begin(), before.end(), '(') > std::count(before.begin(), before.end(), ')'))
      continue;
    const bool spaced = at + 1 < denomination.size() && denomination[at + 1] == ' ';
    const bool glued =
        at + 1 < denomination.size() && denomination[at + 1] >= 'A' && denomination[at + 1] <= 'Z';
    if (spaced || glued) {
      comma = at;
      break;
    }
  }
  // "FLUCELVAX SUSPENSION INJECTABLE EN SERINGUE PREREMPLIE. VACCIN ... (ANTIGENE
  // DE SURFACE, PREPARE ...)": the form column's text before the first comma.
  size_t formAt = FindForm(denomination, formColumn);
  if (formAt == std::string_view::npos && comma == std::string_view::npos)
    formAt = FindFormNoun(denomination);
  if (formAt != std::string_view::npos && (comma == std::string_view::npos || formAt < comma)) {
    comma = std::string_view::npos;
  }
  if (comma != std::string_view::npos) {
    head = denomination.substr(0, comma);
    const size_t restStart = denomination[comma + 1] == ' ' ? comma + 2 : comma + 1;
    std::string_view rest = denomination.substr(std::min(restStart, denomination.size()));
    // Segments that start with a digit are more strength, not the form.
    while (StartsWithDigit(rest)) {
      const size_t next = rest.find(", ");
      head += ' ';
      head += rest.substr(0, next);
      rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 2);
    }
    tail = rest;
  } else if (formAt != std::string_view::npos) {
    head = Trimmed(denomination.substr(0, formAt));
    tail = denomination.substr(formAt);
  } else {
    head = denomination;
  }

  DenominationParts parts;
  const Words words = SplitWords(PrepareHead(head));
  size_t i = 0;
  while (i < words.size()) {
    const std::string& word = words[i];
    const bool bracketedStrength = word.size() > 1 && (word[0] == '(' || word[0] == '[') &&
                                   IsDigit(word[1]) && BracketHoldsUnit(words, i);
    if (i > 0 && (StartsWithDigit(word) || bracketedStrength) && !NumberOfTheName(words, i)) break;
    parts.name.push_back(words[i++]);
  }
  // "APREPITANT EG 125 MG ET APREPITANT EG 80 MG": the name said again goes.
  Words afterName;
  for (size_t k = i; k < words.size(); ++k) {
    bool named = !parts.name.empty() && k + parts.name.size() < words.size() &&
                 StartsWithDigit(words[k + parts.name.size()]) && parts.name.front().size() >= 3;
    for (size_t n = 0; n < parts.name.size() && named; ++n) named = words[k + n] == parts.name[n];
    if (named) {
      k += parts.name.size() - 1;
      continue;
    }
    afterName.push_back(words[k]);
  }
  const Words rest = NormaliseStrength(SplitWords(WithoutRepeatedStrengths(JoinWords(afterName))));
  // The strength runs to its last quantity; what follows qualifies it.
  size_t last = rest.size();
  while (last > 0 && !IsStrengthWord(rest[last - 1])) --last;
  parts.strength.assign(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(last));
  parts.qualifiers.assign(rest.begin() + static_cast<std::ptrdiff_t>(last), rest.end());
  for (const Words& more : StrengthsNamedAgain(tail, parts.name)) {
    if (parts.strength.empty()) continue;
    parts.strength.back() += "+" + JoinWords(more);
    std::replace(parts.strength.back().begin(), parts.strength.back().end(), ' ', '+');
  }
  parts.form = AbbreviateForm(tail);
  if (parts.form.empty()) parts.form = AbbreviateForm(formColumn);
  // "RYTHMODAN 250 MG A LIBERATION PROLONGEE, COMPRIME": the release in the head.
  const Words released = EssentialWordsOf(JoinWords(parts.qualifiers));
  if (!released.empty()) {
    Words kept;
    for (const std::string& word : parts.qualifiers) {
      if (FindAbbreviation(word, AbbreviationKind::kForm) == nullptr &&
          FindAbbreviation(word, AbbreviationKind::kFormFiller) == nullptr) {
        kept.push_back(word);
      }
    }
    parts.qualifiers = kept;
    for (const std::string& word : released) {
      if (std::find(parts.form.begin(), parts.form.end(), word) == parts.form.end())
        parts.form.push_back(word);
    }
  }
  // What tells how the product is taken, wherever the export says it.
  for (std::string_view text : {std::string_view(tail), formColumn}) {
    for (const std::string& word : EssentialWordsOf(text)) {
      if (std::find(parts.form.begin(), parts.form.end(), word) == parts.form.end())
        parts.form.push_back(word);
    }
  }
  for (const std::string& word : parts.form) {
    if (IsEssentialFormWord(word)) parts.essential.push_back(word);
  }
  return parts;
}

}  // namespace quillor::catalogue
