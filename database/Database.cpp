// Loading, record and field access, and index building of TMyDatabase.
#include "database/Database.h"

#include <atomic>
#include <cstring>

#include "database/LiteralPattern.h"
#include "database/SafeSort.h"
#include "text/FileSystem.h"
#include "text/StringManager.h"
#include "text/ValueOrder.h"
#include "trace/TraceUnit.h"

namespace quillor {
namespace {

// The first `fieldCount` ';'-separated words of `line`, missing ones empty:
// what GetWord(line, 1 .. fieldCount, ';') gives, in one pass.
void SplitRecord(const std::string& line, size_t fieldCount, std::vector<std::string>& words) {
  words.assign(fieldCount, std::string());
  size_t field = 0;
  size_t start = 0;
  while (field < fieldCount) {
    const size_t end = line.find(';', start);
    if (end == std::string::npos) {
      words[field].assign(line, start, std::string::npos);
      break;
    }
    words[field].assign(line, start, end - start);
    ++field;
    start = end + 1;
  }
}

bool HoldsEscapedNewLine(const std::string& value) {
  return value.size() >= 2 && std::memchr(value.data(), '\\', value.size()) != nullptr &&
         value.find("\\n") != std::string::npos;
}

}  // namespace

TMyDatabase::~TMyDatabase() {
  fDatas.clear();
  fFieldNames.clear();
  fDeleted.clear();
  FreeIndexes();
}

std::unique_ptr<TMyDatabase> TMyDatabase::CreateFromList(const TStringList& lines) {
  auto table = std::make_unique<TMyDatabase>();
  table->LoadFromList(lines);
  return table;
}

std::unique_ptr<TMyDatabase> TMyDatabase::CreateFromFile(const std::string& fileName) {
  auto table = std::make_unique<TMyDatabase>();
  table->LoadFromFile(fileName);
  return table;
}

void TMyDatabase::LoadFromFile(const std::string& fileName) {
  if (!FileExists(fileName)) return;
  TStringList lines;
  if (!ReadFileLines(fileName, lines))
    throw EDatabaseError("TMyDatabase.LoadFromFile: cannot read " + fileName);
  if (lines.empty()) throw EDatabaseError("TMyDatabase.LoadFromFile: no header line in " + fileName);
  LoadFromList(lines);
}

void TMyDatabase::LoadFromList(const TStringList& lines) {
  if (lines.empty()) throw EDatabaseError("TMyDatabase.LoadFromList: no header line (empty list)");
  SetFieldNames(lines[0]);
  const size_t fieldCount = fFieldNames.size();
  const size_t recordCount = lines.size() - 1;
  fDeleted.assign(recordCount, 0);
  fDatas.assign(fieldCount, std::vector<std::string>(recordCount));
  fFieldTexts.clear();
  fIndexValid.assign(fieldCount, 0);
  StampNewContent();
  // A selection of the previous content could name records that no longer
  // exist; it would then be read out of range.
  fSelection.clear();
  fStepResult.clear();
  std::vector<std::string> words;
  for (size_t d = 0; d < recordCount; ++d) {
    SplitRecord(lines[d + 1], fieldCount, words);
    for (size_t g = 0; g < fieldCount; ++g) {
      std::string& value = words[g];
      if (HoldsEscapedNewLine(value)) value = TStringManager::ExpandNewLines(value);
      fDatas[g][d] = std::move(value);
    }
  }
  BuildIndexes();
}

void TMyDatabase::SetFieldNames(const std::string& headerLine) {
  const int32_t count = TStringManager::WordCount(headerLine, ';');
  fFieldNames.clear();
  fFieldNames.reserve(static_cast<size_t>(count));
  for (int32_t i = 1; i <= count; ++i) fFieldNames.push_back(TStringManager::GetWord(headerLine, i, ';'));
  StampNewContent();
  // Renaming the fields of a loaded table must keep one column, one index
  // slot and one validity flag per name, or every access by field number
  // would run past the columns. New fields hold empty values; their indexes
  // are stale until the next query rebuilds them.
  if (!fDatas.empty()) {
    const size_t fieldCount = fFieldNames.size();
    fDatas.resize(fieldCount, std::vector<std::string>(fDatas.front().size()));
    fFieldTexts.clear();
    fIndexes.resize(fieldCount);
    fIndexSummaries.resize(fieldCount);
    fIndexValid.resize(fieldCount, 0);
  }
}

void TMyDatabase::SetData(int32_t field, int32_t record, const std::string& value) {
  if (field < 0 || field >= FieldCount() || record < 0 || record >= RecordCount()) {
    Trace().TraceErrorIntInt("TMyDatabase.SetData: Bad Field / pos : ", field, record);
    return;
  }
  if (static_cast<size_t>(record) < fDeleted.size()) fDeleted[static_cast<size_t>(record)] = 0;
  fDatas[static_cast<size_t>(field)][static_cast<size_t>(record)] = value;
  fIndexValid[static_cast<size_t>(field)] = 0;
  if (static_cast<size_t>(field) < fFieldTexts.size()) fFieldTexts[static_cast<size_t>(field)].reset();
  StampNewContent();
}

std::shared_ptr<const TSharedTexts> TMyDatabase::FieldTexts(int32_t field) const {
  if (field < 0 || static_cast<size_t>(field) >= fDatas.size()) return nullptr;
  if (fFieldTexts.size() != fDatas.size()) fFieldTexts.resize(fDatas.size());
  std::shared_ptr<const TSharedTexts>& texts = fFieldTexts[static_cast<size_t>(field)];
  if (!texts) texts = std::make_shared<const TSharedTexts>(fDatas[static_cast<size_t>(field)]);
  return texts;
}

std::string TMyDatabase::DBGetString(int32_t field, int32_t record) const {
  if (record >= 0 && static_cast<size_t>(record) < fDeleted.size() &&
      fDeleted[static_cast<size_t>(record)] != 0) {
    Trace().TraceErrorInt("TMyDatabase.DBGetString:Trying to Get deleted Data at pos ", record);
    return std::string();
  }
  if (fDatas.empty()) {
    Trace().TraceError("TMyDatabase.DBGetString: fDatas not assigned");
    return std::string();
  }
  if (field < 0 || field >= FieldCount()) {
    Trace().TraceErrorInt("TMyDatabase.DBGetString: champ hors limites", field);
    return std::string();
  }
  const std::vector<std::string>& column = fDatas[static_cast<size_t>(field)];
  if (column.empty()) {
    Trace().TraceErrorIntText("TMyDatabase.DBGetString: fDatas[", field, "] not assigned");
    return std::string();
  }
  if (record < 0 || static_cast<size_t>(record) >= column.size()) {
    Trace().TraceErrorInt("TMyDatabase.DBGetString: index hors limites ", record);
    return std::string();
  }
  return column[static_cast<size_t>(record)];
}

bool TMyDatabase::IsDeleted(int32_t record) const {
  if (fDeleted.empty()) {
    Trace().TraceError("TMyDatabase.IsDeleted:trying to acces a non assigned dynamic array");
    return false;
  }
  if (record < 0 || static_cast<size_t>(record) >= fDeleted.size()) {
    Trace().TraceErrorIntText("TMyDatabase.IsDeleted:Index ", record,
                              " en dehors des limites du dynamic array");
    return false;
  }
  return fDeleted[static_cast<size_t>(record)] != 0;
}

int32_t TMyDatabase::GetFieldPos(const std::string& name) const {
  for (size_t i = 0; i < fFieldNames.size(); ++i) {
    if (fFieldNames[i] == name) return static_cast<int32_t>(i);
  }
  Trace().TraceError("TMyDatabase.GetFieldPos:impossible de trouver le champ " + name);
  return -1;
}

void TMyDatabase::BuildIndexes() {
  FreeIndexes();
  const size_t fieldCount = fFieldNames.size();
  fIndexes.resize(fieldCount);
  fIndexSummaries.resize(fieldCount);
  fIndexValid.assign(fieldCount, 0);
  for (size_t f = 0; f < fieldCount; ++f) BuildIndex(static_cast<int32_t>(f));
}

void TMyDatabase::BuildIndex(int32_t field) {
  if (field < 0 || field >= FieldCount() || static_cast<size_t>(field) >= fIndexes.size()) {
    Trace().TraceErrorInt("TMyDatabase.BuildIndex: champ hors limites ", field);
    return;
  }
  const std::vector<std::string>& column = fDatas[static_cast<size_t>(field)];
  const int32_t recordCount = RecordCount();
  // Each value is classified once; the sort then compares kinds and numbers
  // instead of running the type patterns at every comparison.
  std::vector<TClassifiedValue> keys(static_cast<size_t>(recordCount));
  std::vector<int32_t> order;
  order.reserve(static_cast<size_t>(recordCount));
  for (int32_t i = 0; i < recordCount; ++i) {
    if (static_cast<size_t>(i) < fDeleted.size() && fDeleted[static_cast<size_t>(i)] != 0) continue;
    keys[static_cast<size_t>(i)] = ClassifyValue(column[static_cast<size_t>(i)]);
    order.push_back(i);
  }
  StableMergeSort(order, [&keys](int32_t a, int32_t b) {
    return CompareClassified(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)]);
  });
  auto list = std::make_unique<TIndexList>(order.size());
  std::vector<uint64_t> summaries(order.size());
  for (size_t k = 0; k < order.size(); ++k) {
    (*list)[k].fInt = order[k];
    (*list)[k].fString = column[static_cast<size_t>(order[k])];
    summaries[k] = SummariseBytes((*list)[k].fString);
  }
  fIndexes[static_cast<size_t>(field)] = std::move(list);
  if (fIndexSummaries.size() < fIndexes.size()) fIndexSummaries.resize(fIndexes.size());
  fIndexSummaries[static_cast<size_t>(field)] = std::move(summaries);
  fIndexValid[static_cast<size_t>(field)] = 1;
}

void TMyDatabase::FreeIndexes() {
  fIndexes.clear();
  fIndexSummaries.clear();
  StampNewContent();
}

void TMyDatabase::StampNewContent() {
  // One counter for every table, so that a snapshot of one table is stale
  // on any other.
  static std::atomic<uint64_t> lastStamp{0};
  fContentStamp = ++lastStamp;
}

const TIndexList* TMyDatabase::IndexList(int32_t field) const {
  if (field < 0 || static_cast<size_t>(field) >= fIndexes.size()) return nullptr;
  return fIndexes[static_cast<size_t>(field)].get();
}

bool TMyDatabase::IndexValid(int32_t field) const {
  return field >= 0 && static_cast<size_t>(field) < fIndexValid.size() &&
         fIndexValid[static_cast<size_t>(field)] != 0;
}

}  // namespace quillor
