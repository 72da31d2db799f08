#include "database/LiteralPattern.h"

#include <cstring>

namespace quillor {
namespace {

constexpr char kPrefix[] = "^.*";
constexpr char kSuffix[] = ".*$";
constexpr size_t kAffixLength = 3;

bool IsOrdinaryByte(char c) {
  // Everything that is syntax somewhere in a pattern outside a class, and a
  // few that are only syntax in some contexts, to stay on the safe side.
  return c != '\0' && std::strchr("\\^$.|?*+()[]{}#", c) == nullptr;
}

}  // namespace

bool SplitContainsPattern(const std::string& pattern, std::string& word) {
  if (pattern.size() < 2 * kAffixLength) return false;
  if (pattern.compare(0, kAffixLength, kPrefix) != 0) return false;
  if (pattern.compare(pattern.size() - kAffixLength, kAffixLength, kSuffix) != 0) return false;
  const size_t wordLength = pattern.size() - 2 * kAffixLength;
  for (size_t i = kAffixLength; i < kAffixLength + wordLength; ++i) {
    if (!IsOrdinaryByte(pattern[i])) return false;
  }
  word.assign(pattern, kAffixLength, wordLength);
  return true;
}

bool HoldsLineBreakByte(const std::string& text) {
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 0x0A && b <= 0x0D) || b == 0x85) return true;
  }
  return false;
}

TByteSummary SummariseBytes(const std::string& text) {
  TByteSummary summary = 0;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    // Upper-case letters and digits, what search words are made of, have a
    // bit each; other bytes share the rest.
    const unsigned bit = b >= 'A' && b <= 'Z' ? b - 'A' : b >= '0' && b <= '9' ? 26 + (b - '0') : 36 + b % 27;
    summary |= TByteSummary{1} << bit;
    if ((b >= 0x0A && b <= 0x0D) || b == 0x85) summary |= kLineBreakBit;
  }
  return summary;
}

bool LiteralContainsMatch(const std::string& word, const std::string& value) {
  return !value.empty() && value.find(word) != std::string::npos;
}

}  // namespace quillor
