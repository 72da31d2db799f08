#include "SortKey.h"

#include "StringManager.h"

namespace quillor {

TSortKey TSortKey::Classify(const std::string& text) {
  return TSortKey{text};
}

int32_t CompareSortKeys(const TSortKey& a, const TSortKey& b) {
  return TStringManager::CompareValues(a.text, b.text);
}

}  // namespace quillor
