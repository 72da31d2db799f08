#include "text/ListOfPairOfStrings.h"

namespace quillor {
namespace {

// std::string compares bytes as unsigned values and puts a prefix first,
// which is the order the list keeps.
const std::string& KeyOf(const TPairOfStrings* pair) {
  static const std::string kNoKey;
  return pair != nullptr ? pair->fKey : kNoKey;
}

}  // namespace

void TListOfPairOfStrings::add(const std::string& key, const std::string& data) {
  if (key.empty()) {
    Trace().TraceError("String_Manager_Unit:TListOfPairOfStrings.add: cle vide");
    return;
  }
  if (data.empty()) Trace().TraceWarning("String_Manager_Unit:TListOfPairOfStrings.add: data vide");
  const int32_t p = findPos(key);
  if (p < Count() && At(p) != nullptr && At(p)->fKey == key) {
    Trace().TraceError(
        "String_Manager_Unit:TListOfPairOfStrings.add:cl\xE9"
        " deja existante : " +
        key);
    At(p)->fData = data;
    return;
  }
  Insert(p, new TPairOfStrings(key, data));
}

std::string TListOfPairOfStrings::getData(const std::string& key) const {
  const int32_t p = findPos(key);
  if (p >= 0 && p < Count() && At(p) != nullptr && At(p)->fKey == key) return At(p)->fData;
  Trace().TraceWarning("TListOfPairOfStrings.getData: parametre n'existe pas : " + key);
  return std::string();
}

bool TListOfPairOfStrings::exists(const std::string& key) const {
  const int32_t p = findPos(key);
  return Between(p, 0, Count() - 1) && At(p) != nullptr && At(p)->fKey == key;
}

int32_t TListOfPairOfStrings::findPos(const std::string& key) const {
  return FindPos(key, 0, Count() - 1);
}

int32_t TListOfPairOfStrings::FindPos(const std::string& key, int32_t lo, int32_t hi) const {
  if (hi < lo) return lo;
  const std::string& low = KeyOf(At(lo));
  const std::string& high = KeyOf(At(hi));
  if (key == low) return lo;
  if (key == high) return hi;
  if (key < low) return lo;
  if (key > high) return hi + 1;
  const int32_t mid = (lo + hi) / 2;
  if (key < KeyOf(At(mid))) return FindPos(key, lo + 1, mid);
  return FindPos(key, mid, hi - 1);
}

}  // namespace quillor
