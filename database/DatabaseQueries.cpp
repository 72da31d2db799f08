// The queries of TMyDatabase: the current selection and the six step modes.
#include <algorithm>

#include "database/Database.h"
#include "database/LiteralPattern.h"
#include "database/RankingScores.h"
#include "database/SafeSort.h"
#include "text/StringManager.h"
#include "trace/TraceUnit.h"

namespace quillor {
namespace {

bool Wanted(const std::vector<uint8_t>* onlyRecords, int32_t record) {
  return onlyRecords == nullptr || (record >= 0 && static_cast<size_t>(record) < onlyRecords->size() &&
                                    (*onlyRecords)[static_cast<size_t>(record)] != 0);
}

std::vector<uint8_t> MarkRecords(const std::vector<int32_t>& records, int32_t recordCount) {
  std::vector<uint8_t> marks(static_cast<size_t>(recordCount > 0 ? recordCount : 0), 0);
  for (int32_t r : records) {
    if (r >= 0 && r < recordCount) marks[static_cast<size_t>(r)] = 1;
  }
  return marks;
}

}  // namespace

void TMyDatabase::RebuildStaleIndex(int32_t field) {
  if (!IndexValid(field)) BuildIndex(field);
}

void TMyDatabase::ResetSelection() {
  for (int32_t f = 0; f < FieldCount(); ++f) RebuildStaleIndex(f);
  fSelection.clear();
  fStepResult.clear();
}

void TMyDatabase::QueryAll(int32_t field) {
  ResetSelection();
  const TIndexList* list = field != -1 ? IndexList(field) : nullptr;
  if (list != nullptr) {
    fStepResult.reserve(list->size());
    for (const TPairOfStringInt& entry : *list) fStepResult.push_back(entry.fInt);
  } else if (RecordCount() > 0) {
    for (int32_t i = 0; i < RecordCount(); ++i) {
      if (!IsDeleted(i)) fStepResult.push_back(i);
    }
  } else {
    Trace().TraceLine("TMyDatabase.QueryAll: Requete sur base vide");
  }
  fSelection = fStepResult;
}

void TMyDatabase::QueryAll(const std::string& fieldName) {
  QueryAll(GetFieldPos(fieldName));
}

void TMyDatabase::SelectRecords(const std::vector<int32_t>& records) {
  ResetSelection();
  fSelection.reserve(records.size());
  for (int32_t record : records) {
    const bool deleted = record >= 0 && static_cast<size_t>(record) < fDeleted.size() &&
                         fDeleted[static_cast<size_t>(record)] != 0;
    if (record < 0 || record >= RecordCount() || deleted) {
      Trace().TraceWarningInt("TMyDatabase.SelectRecords: bad record", record);
      continue;
    }
    fSelection.push_back(record);
  }
  fStepResult = fSelection;
}

TSelectionSnapshot TMyDatabase::SaveSelection() const {
  return TSelectionSnapshot{fContentStamp, fSelection, fStepResult};
}

bool TMyDatabase::RestoreSelection(const TSelectionSnapshot& snapshot) {
  if (snapshot.contentStamp != fContentStamp || fContentStamp == 0) return false;
  fSelection = snapshot.selection;
  fStepResult = snapshot.stepResult;
  return true;
}

void TMyDatabase::QueryStep(const std::string& fieldName, const std::string& text, uint8_t mode) {
  RunStep(fieldName, text, mode, nullptr);
}

void TMyDatabase::Query(const std::string& fieldName, const std::string& text, uint8_t mode) {
  ResetSelection();
  QueryStep(fieldName, text, mode);
  fSelection = fStepResult;
}

void TMyDatabase::QueryAnd(const std::string& fieldName, const std::string& text, uint8_t mode) {
  if (fSelection.empty()) return;
  // Only the selected records can survive the intersection, so the step need
  // not look at the others.
  const std::vector<uint8_t> selected = MarkRecords(fSelection, RecordCount());
  RunStep(fieldName, text, mode, &selected);
  const std::vector<uint8_t> found = MarkRecords(fStepResult, RecordCount());
  std::vector<int32_t> narrowed;
  narrowed.reserve(std::min(fSelection.size(), fStepResult.size()));
  for (int32_t r : fSelection) {
    if (r >= 0 && static_cast<size_t>(r) < found.size() && found[static_cast<size_t>(r)] != 0)
      narrowed.push_back(r);
  }
  fSelection = std::move(narrowed);
}

void TMyDatabase::RunStep(const std::string& fieldName, const std::string& text, uint8_t mode,
                          const std::vector<uint8_t>* onlyRecords) {
  fStepResult.clear();
  const int32_t field = GetFieldPos(fieldName);
  if (field == -1) return;
  RebuildStaleIndex(field);
  const TIndexList* list = IndexList(field);
  if (list == nullptr) return;
  static const std::vector<uint64_t> kNoSummaries;
  const std::vector<uint64_t>& summaries = static_cast<size_t>(field) < fIndexSummaries.size()
                                               ? fIndexSummaries[static_cast<size_t>(field)]
                                               : kNoSummaries;
  const auto n = static_cast<int32_t>(list->size());
  switch (mode) {
    case 0:
      StepMatchingValues(*list, summaries, "^" + text + "$", onlyRecords);
      break;
    case 1: {
      const auto [first, last] = DichotomicFindFirst(list, text, 0, n - 1);
      if (first == -1) break;
      for (int32_t p = first; p <= last; ++p) {
        const int32_t record = (*list)[static_cast<size_t>(p)].fInt;
        if (Wanted(onlyRecords, record)) fStepResult.push_back(record);
      }
      break;
    }
    case 2:
      StepMatchingValues(*list, summaries, text, onlyRecords);
      break;
    case 3:
      StepRanking(*list, text, onlyRecords);
      break;
    case 4:
      StepMatchingValues(*list, summaries, "^.*" + text + ".*$", onlyRecords);
      break;
    case 5:
      // Every value is its own pattern, and one that does not compile must
      // raise its error wherever its record is: no record may be skipped.
      StepValuesInText(*list, text, nullptr);
      break;
    default:
      break;
  }
}

void TMyDatabase::StepMatchingValues(const TIndexList& list, const std::vector<uint64_t>& summaries,
                                     const std::string& pattern, const std::vector<uint8_t>* onlyRecords) {
  std::string word;
  const bool literal = fLiteralShortcut && SplitContainsPattern(pattern, word);
  const TByteSummary wordBytes = literal ? SummariseBytes(word) : 0;
  for (size_t k = 0; k < list.size(); ++k) {
    const TPairOfStringInt& entry = list[k];
    if (!Wanted(onlyRecords, entry.fInt)) continue;
    const TByteSummary valueBytes = k < summaries.size() ? summaries[k] : SummariseBytes(entry.fString);
    bool hit = false;
    if (literal && (valueBytes & kLineBreakBit) == 0) {
      hit = MayContain(valueBytes, wordBytes) && LiteralContainsMatch(word, entry.fString);
    } else {
      hit = TStringManager::MatchRegEx(pattern, entry.fString);
    }
    if (hit) fStepResult.push_back(entry.fInt);
  }
}

void TMyDatabase::StepValuesInText(const TIndexList& list, const std::string& text,
                                   const std::vector<uint8_t>* onlyRecords) {
  const bool textPlain = fLiteralShortcut && !HoldsLineBreakByte(text);
  std::string word;
  for (const TPairOfStringInt& entry : list) {
    if (!Wanted(onlyRecords, entry.fInt)) continue;
    const std::string pattern = "^.*" + entry.fString + ".*$";
    const bool hit = textPlain && SplitContainsPattern(pattern, word)
                         ? LiteralContainsMatch(word, text)
                         : TStringManager::MatchRegEx(pattern, text);
    if (hit) fStepResult.push_back(entry.fInt);
  }
}

void TMyDatabase::StepRanking(const TIndexList& list, const std::string& text,
                              const std::vector<uint8_t>* onlyRecords) {
  if (onlyRecords != nullptr) {
    // Narrowing keeps the selection's order, so the scores cannot change
    // the outcome: every indexed record is found.
    for (const TPairOfStringInt& entry : list) {
      if (Wanted(onlyRecords, entry.fInt)) fStepResult.push_back(entry.fInt);
    }
    return;
  }
  struct Ranked {
    double score;
    int32_t record;
  };
  const std::vector<double> scores = ScoreIndexEntries(list, text);
  std::vector<Ranked> ranking;
  ranking.reserve(list.size());
  // Inserting each entry before the first one whose score is not greater
  // puts equal scores in reverse index order: a stable sort by decreasing
  // score of the entries taken from the last to the first gives the same.
  for (size_t k = list.size(); k-- > 0;) ranking.push_back({scores[k], list[k].fInt});
  StableMergeSort(ranking, [](const Ranked& a, const Ranked& b) {
    return a.score > b.score ? -1 : (a.score < b.score ? 1 : 0);
  });
  fStepResult.reserve(ranking.size());
  for (const Ranked& r : ranking) fStepResult.push_back(r.record);
}

std::pair<int32_t, int32_t> TMyDatabase::DichotomicFindFirst(const TIndexList* list, const std::string& key,
                                                             int32_t start, int32_t finish) const {
  if (list == nullptr) {
    Trace().TraceError("TMyDatabase.DichotomicFindFirst:liste index non assignee");
    return {-1, -1};
  }
  const auto n = static_cast<int32_t>(list->size());
  if (start < 0 || start >= n || finish < 0 || finish >= n || finish < start) {
    Trace().TraceError("TMyDatabase.DichotomicFindFirst:Paire Start / Finish non valide : " +
                       std::to_string(start) + "," + std::to_string(finish));
    return {-1, -1};
  }
  auto c = [&](int32_t p) {
    return TStringManager::ComparePrefix(key, (*list)[static_cast<size_t>(p)].fString);
  };
  // The halving of the written recursion, as a loop: each round keeps the
  // half the middle entry points to, until a hit or a range of two entries.
  int32_t found = -1;
  while (true) {
    const int32_t a = c(start);
    const int32_t b = c(finish);
    if (a < 0 || b > 0) return {-1, -1};
    if (a == 0) found = start;
    if (b == 0) found = finish;
    const int32_t mid = start + (finish - start) / 2;
    const int32_t d = c(mid);
    if (d == 0) found = mid;
    if (found != -1) break;
    if (finish - start < 2) return {-1, -1};
    if (d < 0) {
      finish = mid;
    } else {
      start = mid;
    }
  }
  int32_t first = found;
  while (first - 1 >= 0 && c(first - 1) == 0) --first;
  int32_t last = found;
  while (last + 1 < n && c(last + 1) == 0) ++last;
  return {first, last};
}

}  // namespace quillor
