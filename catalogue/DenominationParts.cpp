#include "DenominationParts.h"

#include <algorithm>

#include "Abbreviations.h"

namespace quillor::catalogue {
namespace {

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

// A unit of two words at `i` ("POUR CENT", "UNITES INTERNATIONALES/ML")
// abbreviated, or "".
std::string UnitPhrase(const Words& words, size_t i) {
  if (i + 1 >= words.size()) return std::string();
  const std::string& second = words[i + 1];
  const size_t slash = second.find('/');
  const std::string head = slash == std::string::npos ? second : second.substr(0, slash);
  const Abbreviation* unit = FindAbbreviation(words[i] + " " + head, AbbreviationKind::kUnit);
  if (unit == nullptr) return std::string();
  return std::string(unit->abbreviation) +
         (slash == std::string::npos ? std::string() : AbbreviateUnits(second.substr(slash)));
}

bool StartsWithUnit(const std::string& word) {
  const size_t slash = word.find('/');
  return FindAbbreviation(slash == std::string::npos ? word : word.substr(0, slash),
                          AbbreviationKind::kUnit) != nullptr;
}

bool IsStrengthWord(const std::string& word) {
  return StartsWithDigit(word) || word.front() == '/' || word.front() == '%' ||
         (word.size() > 1 && word.front() == '(' && IsDigit(word[1]));
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
    const bool endsWord = end == denomination.size() || denomination[end] == ' ';
    if (startsWord && endsWord) return at;
    at = denomination.find(form, at + 1);
  }
  return std::string_view::npos;
}

// "8 000 UI (80 MG)/0,8 ML" -> "8 000 UI/0,8 ML": what a strength says again
// in brackets. Unbalanced brackets are left alone.
std::string WithoutParentheses(const std::string& text) {
  std::string result;
  size_t i = 0;
  while (i < text.size()) {
    const size_t close = text[i] == '(' ? text.find(')', i) : std::string::npos;
    if (close == std::string::npos) {
      result += text[i++];
      continue;
    }
    while (!result.empty() && result.back() == ' ') result.pop_back();
    i = close + 1;
    if (i < text.size() && text[i] == ' ') result += ' ';
    while (i < text.size() && text[i] == ' ') ++i;
  }
  return result;
}

bool AllDigits(std::string_view word) {
  return !word.empty() && std::all_of(word.begin(), word.end(), IsDigit);
}

}  // namespace

Words NormaliseStrength(const Words& words) {
  Words result;
  for (size_t i = 0; i < words.size(); ++i) {
    std::string word = words[i];
    if (std::string phrase = UnitPhrase(words, i); !phrase.empty()) {
      word = phrase;
      ++i;
    } else {
      word = AbbreviateUnits(word);
    }
    // "8 000" is eight thousand.
    // "8 000" is eight thousand; in "A 313 200 000 UI" the groups cannot be
    // told apart from a name's number, so a run of more than two is left as it is.
    const bool groupOfThree =
        word.size() >= 3 && AllDigits(word.substr(0, 3)) && (word.size() == 3 || !IsDigit(word[3]));
    const bool thousands = groupOfThree && !result.empty() && AllDigits(result.back()) &&
                           result.back().size() <= 3 &&
                           (result.size() < 2 || !AllDigits(result[result.size() - 2])) &&
                           (i + 1 >= words.size() || !AllDigits(words[i + 1]));
    const bool glue = !result.empty() && EndsWithDigit(result.back()) &&
                      (StartsWithUnit(word) || word[0] == '/' || thousands);
    if (glue) {
      result.back() += word;
    } else {
      result.push_back(word);
    }
  }
  return result;
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
      if (!found->abbreviation.empty() && (form.empty() || form.back() != found->abbreviation)) {
        form.emplace_back(found->abbreviation);
      }
    }
    if (lastWord) break;
  }
  return form;
}

DenominationParts ReadDenominationParts(std::string_view denomination, std::string_view formColumn) {
  formColumn = Trimmed(formColumn);
  std::string head;
  std::string tail;
  const size_t comma = denomination.find(", ");
  if (comma != std::string_view::npos) {
    head = denomination.substr(0, comma);
    std::string_view rest = denomination.substr(comma + 2);
    // Segments that start with a digit are more strength, not the form.
    while (StartsWithDigit(rest)) {
      const size_t next = rest.find(", ");
      head += ' ';
      head += rest.substr(0, next);
      rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 2);
    }
    tail = rest;
  } else if (const size_t at = FindForm(denomination, formColumn); at != std::string_view::npos) {
    head = Trimmed(denomination.substr(0, at));
    tail = denomination.substr(at);
  } else {
    head = denomination;
  }

  DenominationParts parts;
  const Words words = SplitWords(head);
  size_t i = 0;
  while (i < words.size() && (i == 0 || !StartsWithDigit(words[i]))) parts.name.push_back(words[i++]);
  const Words rest = NormaliseStrength(SplitWords(
      WithoutParentheses(JoinWords(Words(words.begin() + static_cast<std::ptrdiff_t>(i), words.end())))));
  size_t k = 0;
  while (k < rest.size() && IsStrengthWord(rest[k])) parts.strength.push_back(rest[k++]);
  parts.qualifiers.assign(rest.begin() + static_cast<std::ptrdiff_t>(k), rest.end());
  parts.form = AbbreviateForm(tail);
  if (parts.form.empty()) parts.form = AbbreviateForm(formColumn);
  return parts;
}

}  // namespace quillor::catalogue
