#include "catalogue/PriceText.h"

#include <vector>

namespace quillor::catalogue {
namespace {

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> NormalisePrice(const std::string& text) {
  // Spaces around go; inside, a space separates thousands like a point does.
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  const std::string compact = text.substr(first, text.find_last_not_of(' ') - first + 1);

  // The decimal part: after the last comma, one or two digits.
  std::string whole = compact;
  std::string decimals;
  const size_t comma = compact.rfind(',');
  if (comma != std::string::npos) {
    whole = compact.substr(0, comma);
    decimals = compact.substr(comma + 1);
    if (decimals.size() > 2 || !AllDigits(decimals)) return std::nullopt;
  }

  // What is left is digits in groups: the first of one to three digits, the
  // others of exactly three, all joined by the same separator.
  std::vector<std::string> groups;
  char separator = 0;
  size_t start = 0;
  for (size_t i = 0; i <= whole.size(); ++i) {
    if (i == whole.size() || whole[i] == ',' || whole[i] == '.' || whole[i] == ' ') {
      if (i < whole.size()) {
        if (separator != 0 && separator != whole[i]) return std::nullopt;
        separator = whole[i];
      }
      groups.push_back(whole.substr(start, i - start));
      start = i + 1;
    }
  }
  std::string digits;
  for (size_t g = 0; g < groups.size(); ++g) {
    if (!AllDigits(groups[g])) return std::nullopt;
    if (g > 0 && groups[g].size() != 3) return std::nullopt;
    if (g == 0 && groups.size() > 1 && groups[g].size() > 3) return std::nullopt;
    // "01,003,48", "012": no price starts with a zero but 0 itself.
    if (g == 0 && groups[g].size() > 1 && groups[g][0] == '0') return std::nullopt;
    digits += groups[g];
  }
  return decimals.empty() ? digits : digits + "," + decimals;
}

}  // namespace quillor::catalogue
