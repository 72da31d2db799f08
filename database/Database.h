// TMyDatabase: the in-memory article table. Column-oriented strings addressed
// [field][record], a deleted flag per record, one sorted index per field, and
// the current selection that queries compute.
//
// Ownership: the table owns its values, indexes and selection; it keeps no
// reference to the line list it was built from. Every inconsistency (a bad
// field or record number, an unknown field name) is reported through the
// trace facility and the operation returns its fallback (empty string, false,
// -1, nothing stored). Exceptions come only from building a table out of no
// line at all or an unreadable file (EDatabaseError) and from query patterns
// that do not compile (ERegExError, see Query*).
//
// Record and field numbers are 0-based. GUI thread only: queries share the
// pattern object of TStringManager::MatchRegEx.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "grid/SharedTexts.h"
#include "text/TextLines.h"
#include "text/Utils.h"

namespace quillor {

class TMyStringGrid;

// A selection and step result as they stood, tied to the table's content at
// that moment (see TMyDatabase::SaveSelection).
struct TSelectionSnapshot {
  uint64_t contentStamp = 0;
  std::vector<int32_t> selection;
  std::vector<int32_t> stepResult;
};

// A table cannot be built: no header line, or a file that cannot be read.
class EDatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One field's index: entries sorted by fString in the type-aware value order
// (TStringManager::CompareValues), fInt = record number.
using TIndexList = std::vector<TPairOfStringInt>;

class TMyDatabase {
 public:
  // An empty table: no field, no record.
  TMyDatabase() = default;
  ~TMyDatabase();
  TMyDatabase(const TMyDatabase&) = delete;
  TMyDatabase& operator=(const TMyDatabase&) = delete;

  // A table built from plain lines (header first) with LoadFromList.
  // Throws EDatabaseError when `lines` holds no line.
  static std::unique_ptr<TMyDatabase> CreateFromList(const TStringList& lines);
  // A table built from a plain (not scrambled) file with LoadFromFile; a
  // missing file gives an empty table, silently. Throws EDatabaseError for a
  // file that exists but cannot be read or holds no line.
  static std::unique_ptr<TMyDatabase> CreateFromFile(const std::string& fileName);

  // --- loading ---------------------------------------------------------------
  // Replaces the whole content: header, records, all indexes rebuilt; the
  // selection and step result are emptied, since they could name records the
  // new content lacks. In values (not the header) every backslash-n becomes
  // CR LF. Throws EDatabaseError, changing nothing, for an empty list.
  void LoadFromList(const TStringList& lines);
  // LoadFromList of the file's lines; does nothing when the file is missing.
  // Throws EDatabaseError as CreateFromFile does.
  void LoadFromFile(const std::string& fileName);
  // The names between ';' of the header line, in order. On a loaded table the
  // columns follow the names: a new field gets empty values (and a stale
  // index), a field beyond the new names is dropped.
  void SetFieldNames(const std::string& headerLine);

  // --- fields and records ------------------------------------------------------
  int32_t FieldCount() const { return static_cast<int32_t>(fFieldNames.size()); }
  // Entries of the first column; 0 without fields.
  int32_t RecordCount() const { return fDatas.empty() ? 0 : static_cast<int32_t>(fDatas.front().size()); }
  // REQUIRES: 0 <= field < FieldCount() (std::out_of_range otherwise).
  const std::string& FieldName(int32_t field) const { return fFieldNames.at(static_cast<size_t>(field)); }
  // Stores one value, clears the record's deleted flag and marks the field's
  // index stale. Out of range: reports "TMyDatabase.SetData: Bad Field / pos
  // : <field> <record>" and stores nothing.
  void SetData(int32_t field, int32_t record, const std::string& value);
  // One value, or "" after reporting a deleted record, a missing column, a
  // field or record out of range.
  std::string DBGetString(int32_t field, int32_t record) const;
  // The record's deleted flag; false after reporting a bad record number.
  bool IsDeleted(int32_t record) const;
  // The field's values in record order as one shared, unchanging list, made
  // on first use and kept until a value of the field changes; nullptr for a
  // field out of range. Grids show selections through it without copying.
  std::shared_ptr<const TSharedTexts> FieldTexts(int32_t field) const;
  // First field with exactly that name (case-sensitive, untrimmed), or -1
  // after reporting "TMyDatabase.GetFieldPos:impossible de trouver le champ ".
  int32_t GetFieldPos(const std::string& name) const;

  // --- indexes -------------------------------------------------------------------
  // Frees and rebuilds every field's index.
  void BuildIndexes();
  // Rebuilds one field's index from the live records and marks it valid.
  void BuildIndex(int32_t field);
  void FreeIndexes();
  // The field's index list, or nullptr when it has none.
  const TIndexList* IndexList(int32_t field) const;
  bool IndexValid(int32_t field) const;

  // --- queries (the current selection) ---------------------------------------------
  // Selection := every record in the order of that field's index; for field -1
  // (or one without an index) every live record in record order; on a table
  // without records an empty selection and the trace line
  // "TMyDatabase.QueryAll: Requete sur base vide".
  void QueryAll(int32_t field);
  void QueryAll(const std::string& fieldName);
  // Rebuilds stale indexes, empties the selection and the step result.
  void ResetSelection();
  // Fills the step result from the field's index; the selection is untouched.
  //   0: value matches "^" + text + "$"      1: prefix run (DichotomicFindFirst)
  //   2: value matches text as a pattern     3: every entry, by decreasing
  //   4: value matches "^.*" + text + ".*$"     StringSimilarity(text, value),
  //   5: text matches "^.*" + value + ".*$"     ties: later index entry first
  // Any other mode gives an empty result. Throws ERegExError for a pattern
  // that does not compile or is too complex for a value, with the entries
  // found before it in the result.
  void QueryStep(const std::string& fieldName, const std::string& text, uint8_t mode);
  // ResetSelection, QueryStep, then selection := step result.
  void Query(const std::string& fieldName, const std::string& text, uint8_t mode);
  // Narrows the selection, keeping its order, to the records the step finds.
  // An empty selection stays empty and nothing is searched. On ERegExError
  // the selection stays as it was. The step result then holds only what the
  // step found among the selected records (the others are not searched).
  void QueryAnd(const std::string& fieldName, const std::string& text, uint8_t mode);
  // Selection := these records, in this order: for searches that the field
  // queries cannot express (by substance, the equivalents of an article).
  // Stale indexes are rebuilt as by ResetSelection; the step result becomes
  // the selection. A record that is out of range or deleted is left out
  // after a warning ("TMyDatabase.SelectRecords: bad record 12").
  void SelectRecords(const std::vector<int32_t>& records);
  int32_t SelectionCount() const { return static_cast<int32_t>(fSelection.size()); }
  const std::vector<int32_t>& Selection() const { return fSelection; }
  const std::vector<int32_t>& StepResult() const { return fStepResult; }
  // The selection and step result, to be given back by RestoreSelection as
  // long as the table's content, fields and indexes are unchanged: every
  // change of them (loading, SetFieldNames, SetData, FreeIndexes) makes the
  // snapshots taken before it stale, on this table and on any other.
  TSelectionSnapshot SaveSelection() const;
  // Makes the snapshot's selection and step result current and gives true;
  // a stale snapshot changes nothing and gives false.
  bool RestoreSelection(const TSelectionSnapshot& snapshot);
  // Changes with every change of the content, fields or indexes (see
  // SaveSelection): what is worked out from the content may be kept as long
  // as it stays the same.
  uint64_t ContentStamp() const { return fContentStamp; }

  // Positions (first, last) of the run of entries of `list` between `start`
  // and `finish` that agree with `key` by prefix (TStringManager::ComparePrefix),
  // widened to the whole run; (-1, -1) when none. Reports a null list or a bad
  // start/finish pair. REQUIRES: byte order of the visited values agrees with
  // the list order; otherwise any in-range result may come back.
  std::pair<int32_t, int32_t> DichotomicFindFirst(const TIndexList* list, const std::string& key,
                                                  int32_t start, int32_t finish) const;

  // Writes the selection into the grid, one row per selected record under
  // the fixed rows, with at least one data row. `columnList` names fields
  // separated by ';' (empty: all fields); `titles` writes them in the title row.
  void SelectionToGrid(TMyStringGrid& grid, const std::string& columnList, bool titles) const;

  // Test seam: the plain-substring shortcut of the "^.*word.*$" patterns can
  // be switched off to compare it with the pattern path. On by default.
  void SetLiteralShortcutForTesting(bool enabled) { fLiteralShortcut = enabled; }

 private:
  // The step, searching only the records flagged in `onlyRecords` when given
  // (indexed by record number).
  void RunStep(const std::string& fieldName, const std::string& text, uint8_t mode,
               const std::vector<uint8_t>* onlyRecords);
  void StepMatchingValues(const TIndexList& list, const std::vector<uint64_t>& summaries,
                          const std::string& pattern, const std::vector<uint8_t>* onlyRecords);
  void StepValuesInText(const TIndexList& list, const std::string& text,
                        const std::vector<uint8_t>* onlyRecords);
  void StepRanking(const TIndexList& list, const std::string& text, const std::vector<uint8_t>* onlyRecords);
  void RebuildStaleIndex(int32_t field);

  std::vector<std::vector<std::string>> fDatas;
  std::vector<std::string> fFieldNames;
  std::vector<uint8_t> fDeleted;
  std::vector<std::unique_ptr<TIndexList>> fIndexes;
  // Per field, the summary of each index entry's bytes (SummariseBytes),
  // made when the index is built, so that the exact search need neither scan
  // every value for line breaks nor search a word in values that cannot
  // hold it.
  std::vector<std::vector<uint64_t>> fIndexSummaries;
  std::vector<int32_t> fSelection;
  std::vector<int32_t> fStepResult;
  std::vector<uint8_t> fIndexValid;
  // FieldTexts per field; an empty slot is made on demand.
  mutable std::vector<std::shared_ptr<const TSharedTexts>> fFieldTexts;
  // Changes with every change that can change what a query selects; unique
  // across tables (see SaveSelection).
  uint64_t fContentStamp = 0;
  void StampNewContent();
  bool fLiteralShortcut = true;
};

}  // namespace quillor
