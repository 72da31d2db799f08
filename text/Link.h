// TLink: one candidate pairing of equal characters inside a similarity
// computation: 1-based positions in the first and second text, and a conflict
// counter.
#pragma once

#include <cstdint>

namespace quillor {

struct TLink {
  int32_t fPosA = 0;
  int32_t fPosB = 0;
  int32_t fConflicts = 0;
};

}  // namespace quillor
