// TPairOfStrings: one key/data pair of a TListOfPairOfStrings.
#pragma once

#include <string>
#include <utility>

namespace quillor {

struct TPairOfStrings {
  TPairOfStrings(std::string key, std::string data) : fKey(std::move(key)), fData(std::move(data)) {}
  std::string fKey;
  std::string fData;
};

}  // namespace quillor
