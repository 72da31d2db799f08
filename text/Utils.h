// The owning object list TMyList, the small pair records used for index
// entries, rankings and sort keys, and the integer helpers.
//
// TMyList<T> holds pointers to T. It does not free its items on its own: the
// owner frees them with ClearAndFreeEachObject before destroying the list, and
// destroying a list that still holds items is reported (the items stay alive).
// Faults are reported through the trace facility and the operation returns its
// fallback. GUI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "trace/TraceUnit.h"

namespace quillor {

// --- integer helpers ----------------------------------------------------------
inline int32_t MaxOf(int32_t a, int32_t b) { return a < b ? b : a; }
inline int32_t MinOf(int32_t a, int32_t b) { return a < b ? a : b; }
// MinOf(b1, b2) <= v <= MaxOf(b1, b2): bounds in either order, inclusive.
inline bool InBounds(int32_t v, int32_t b1, int32_t b2) { return MinOf(b1, b2) <= v && v <= MaxOf(b1, b2); }
// low <= v <= high; false whenever high < low.
inline bool Between(int32_t v, int32_t low, int32_t high) { return low <= v && v <= high; }

// --- pair records ---------------------------------------------------------------
struct TPairSomethingInt {
  int32_t fInt = 0;
};
// A ranking entry: fInt = record number, fReal = score.
struct TPairOfRealInt : TPairSomethingInt {
  double fReal = 0.0;
};
// An index entry or sort key: fInt = record or row number, fString = value.
struct TPairOfStringInt : TPairSomethingInt {
  std::string fString;
};

// --- the object list --------------------------------------------------------------
template <class T>
class TMyList {
 public:
  TMyList() = default;
  // Reports "Utils_Unit:TMyList.Destroy:Freeing non empty List" when items
  // remain; they are not freed.
  virtual ~TMyList() {
    if (Count() != 0) Trace().TraceError("Utils_Unit:TMyList.Destroy:Freeing non empty List");
  }
  TMyList(const TMyList&) = delete;
  TMyList& operator=(const TMyList&) = delete;

  int32_t Count() const { return static_cast<int32_t>(fList.size()); }

  // The item at a 0-based position, or nullptr (reported) for a bad index or
  // an absent item.
  T* GetItem(int32_t index) const {
    T* result = nullptr;
    if (index < 0 || index >= Count()) {
      Trace().TraceErrorIntText("TMyList.GetItem[", index, "] : index hors limites");
    } else {
      result = fList[static_cast<size_t>(index)];
    }
    if (result == nullptr) Trace().TraceError("TMyList.GetItem : resultat nil");
    return result;
  }

  // Inserts `item` before `index` (index == Count() appends). The list then
  // refers to the item; ClearAndFreeEachObject frees it. A null item is
  // reported and still inserted; a bad index is reported and nothing is
  // inserted.
  void Insert(int32_t index, T* item) {
    if (item == nullptr) Trace().TraceError("Utils_Unit:TMyList.Insert:Non Assigned Item");
    if (index >= 0 && index <= Count()) {
      fList.insert(fList.begin() + index, item);
    } else {
      Trace().TraceErrorInt("Utils_Unit:TMyList.Insert: bad index ", index);
    }
  }

  // Frees every item (reporting absent ones) and empties the list.
  void ClearAndFreeEachObject() {
    for (T* item : fList) {
      if (item == nullptr) {
        Trace().TraceError("Utils_Unit:TMyList.ClearAndFreeEachObject : Item not assigned");
        continue;
      }
      delete item;
    }
    fList.clear();
  }

 protected:
  // Unchecked access for subclasses that have already checked the index.
  T* At(int32_t index) const { return fList[static_cast<size_t>(index)]; }

  std::vector<T*> fList;
};

}  // namespace quillor
