// GuardedQuickSort: the grid's header-click sort, a Hoare quicksort whose
// order of equal keys is part of the grid's behaviour (it is not stable; the
// descending order is this result reversed).
//
// The comparator need not be a strict weak ordering (the grid's default one,
// CompareValues, is not over mixed kinds). Without guards the inner scans may
// run past the range when the comparator is not reflexive or not
// deterministic; here they stop at the range ends, which changes nothing when
// the unguarded scans would have stopped inside the range, and the sort
// always ends with every item still present exactly once.
//
// Sub-ranges are disjoint, so they are kept on an explicit stack rather than
// in recursion: the result is the same, and a degenerate input cannot
// exhaust the call stack.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace quillor {

// Sorts `items` in place. `compare(a, b)` returns <0, 0 or >0.
template <class T, class Compare>
void GuardedQuickSort(std::vector<T>& items, Compare&& compare) {
  if (items.size() < 2) return;
  std::vector<std::pair<int64_t, int64_t>> pending{{0, static_cast<int64_t>(items.size()) - 1}};
  while (!pending.empty()) {
    auto [low, high] = pending.back();
    pending.pop_back();
    while (low < high) {
      int64_t i = low;
      int64_t j = high;
      // A copy: the pivot item keeps its value while items are swapped.
      const T pivot = items[static_cast<size_t>((low + high) / 2)];
      do {
        while (i < high && compare(items[static_cast<size_t>(i)], pivot) < 0) ++i;
        while (j > low && compare(items[static_cast<size_t>(j)], pivot) > 0) --j;
        if (i <= j) {
          std::swap(items[static_cast<size_t>(i)], items[static_cast<size_t>(j)]);
          ++i;
          --j;
        }
      } while (i <= j);
      if (low < j) pending.emplace_back(low, j);
      low = i;
    }
  }
}

}  // namespace quillor
