// TListOfPairOfStrings: a TMyList of TPairOfStrings kept sorted by key (byte
// order, unsigned; a prefix sorts first), so no key occurs twice and the empty
// key never occurs. The owner frees the pairs with ClearAndFreeEachObject.
#pragma once

#include <cstdint>
#include <string>

#include "text/MyTypes.h"
#include "text/Utils.h"

namespace quillor {

class TListOfPairOfStrings : public TMyList<TPairOfStrings> {
 public:
  // Inserts a new pair in key order, or replaces the data of the pair with
  // that key (reported). An empty key is reported and stores nothing; an
  // empty data is stored with a warning.
  void add(const std::string& key, const std::string& data);
  // The data for `key`, or the empty string (with a warning).
  std::string getData(const std::string& key) const;
  // Whether a pair with that key is present. Reports nothing.
  bool exists(const std::string& key) const;
  // Position of the pair with that key, or where it would be inserted.
  int32_t findPos(const std::string& key) const;

 private:
  int32_t FindPos(const std::string& key, int32_t lo, int32_t hi) const;
};

}  // namespace quillor
