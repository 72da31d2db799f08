// A stable merge sort that stays in bounds for any three-way comparator,
// consistent or not. The type-aware value order is not a strict weak ordering
// when a field mixes kinds of values (2 < 10 as integers, 10 < 1a and 1a < 2
// byte-wise), and std::sort is undefined (and may read out of bounds) for
// such a comparator; this sort only ever compares two elements it holds.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace quillor {

namespace detail {

inline constexpr size_t kInsertionRun = 16;

template <class T, class Compare>
void InsertionSortRange(std::vector<T>& items, size_t lo, size_t hi, Compare& compare) {
  for (size_t i = lo + 1; i < hi; ++i) {
    T moving = std::move(items[i]);
    size_t j = i;
    while (j > lo && compare(moving, items[j - 1]) < 0) {
      items[j] = std::move(items[j - 1]);
      --j;
    }
    items[j] = std::move(moving);
  }
}

template <class T, class Compare>
void MergeSortRange(std::vector<T>& items, std::vector<T>& buffer, size_t lo, size_t hi, Compare& compare) {
  if (hi - lo <= kInsertionRun) {
    InsertionSortRange(items, lo, hi, compare);
    return;
  }
  const size_t mid = lo + (hi - lo) / 2;
  MergeSortRange(items, buffer, lo, mid, compare);
  MergeSortRange(items, buffer, mid, hi, compare);
  // Already in order across the seam: nothing to merge.
  if (compare(items[mid], items[mid - 1]) >= 0) return;
  size_t left = lo;
  size_t right = mid;
  size_t out = lo;
  while (left < mid && right < hi) {
    // Take from the right only when strictly smaller: equal elements keep
    // their order.
    if (compare(items[right], items[left]) < 0) {
      buffer[out++] = std::move(items[right++]);
    } else {
      buffer[out++] = std::move(items[left++]);
    }
  }
  while (left < mid) buffer[out++] = std::move(items[left++]);
  while (right < hi) buffer[out++] = std::move(items[right++]);
  for (size_t i = lo; i < hi; ++i) items[i] = std::move(buffer[i]);
}

}  // namespace detail

// Sorts `items` so that compare(a, b) < 0 puts a before b; elements that
// compare >= 0 keep their relative order. `compare` returns an int sign.
template <class T, class Compare>
void StableMergeSort(std::vector<T>& items, Compare compare) {
  if (items.size() < 2) return;
  std::vector<T> buffer(items.size());
  detail::MergeSortRange(items, buffer, 0, items.size(), compare);
}

}  // namespace quillor
