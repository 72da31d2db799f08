#include "PackSummary.h"

#include "Abbreviations.h"
#include "Words.h"

namespace quillor::catalogue {
namespace {

// The letters before a '/' name the unit: "MBQ/ML" is measured in MBQ.
std::string_view LeadingUnit(std::string_view word) {
  const size_t slash = word.find('/');
  return slash == std::string_view::npos ? word : word.substr(0, slash);
}

struct Content {
  std::string quantity;   // empty: the label names no content
  std::string unit;       // the abbreviated unit, possibly empty
  bool measured = false;  // ML, G...: a content, not a count
};

Content FindContent(const Words& words, size_t from) {
  Content content;
  for (size_t i = from; i + 1 < words.size(); ++i) {
    if (words[i] != "DE" || !IsQuantity(words[i + 1])) continue;
    content.quantity = words[i + 1];
    if (i + 2 < words.size()) {
      const std::string& word = words[i + 2];
      if (const Abbreviation* unit = FindAbbreviation(LeadingUnit(word), AbbreviationKind::kUnit)) {
        content.measured = true;
        content.unit = std::string(unit->abbreviation) + std::string(word.substr(LeadingUnit(word).size()));
      } else if (const Abbreviation* counted = FindAbbreviation(word, AbbreviationKind::kCountUnit)) {
        content.unit = counted->abbreviation;
      }
    }
    return content;
  }
  return content;
}

}  // namespace

std::string SummarisePack(std::string_view label) {
  const Words words = SplitWords(label);
  size_t i = 0;
  std::string count;  // the label's leading number of containers
  if (i < words.size() && IsQuantity(words[i]) && words[i].find(',') == std::string::npos) {
    count = words[i++];
    // "28 (4 X 7) SACHETS": the grouping only repeats the count.
    if (i < words.size() && words[i].front() == '(') {
      while (i < words.size() && words[i].back() != ')') ++i;
      ++i;
    }
  }
  std::string container;
  if (i < words.size()) {
    if (const Abbreviation* found = FindAbbreviation(words[i], AbbreviationKind::kContainer)) {
      container = found->abbreviation;
      ++i;
    }
  }
  const bool several = !count.empty() && count != "1";
  const Content content = FindContent(words, i);

  if (content.quantity.empty()) return several ? count + container : container;
  const std::string amount = content.quantity + content.unit;
  if (content.measured) {
    if (container.empty()) return several ? count + "X" + amount : amount;
    // Several containers: the form already says what they are (SOL INJ).
    if (several) return count + "X" + amount;
    return container + "/" + amount;
  }
  if (container.empty()) container = "B";
  if (!several) return container + "/" + amount;
  if (container == "B") return count + "X" + amount;
  return count + container + "/" + amount;
}

}  // namespace quillor::catalogue
