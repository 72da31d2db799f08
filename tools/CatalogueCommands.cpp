#include "tools/CatalogueCommands.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <ostream>

#include "catalogue/CatalogueImport.h"
#include "catalogue/DesignationFit.h"
#include "catalogue/ExportFile.h"
#include "catalogue/KnowledgeImport.h"
#include "database/ArticleSearch.h"
#include "database/CryptManager.h"
#include "database/Database.h"
#include "knowledge/Knowledge.h"
#include "knowledge/KnowledgeFiles.h"
#include "regex/PcreRegEx.h"
#include "text/DurableFile.h"
#include "text/FileSystem.h"
#include "text/ScannedCode.h"
#include "text/Similarity.h"
#include "text/TextLines.h"
#include "text/TrimBlanks.h"

namespace quillor::catalogue {
namespace {

constexpr char kToolName[] = "quillor-catalogue: ";

bool ReadInput(const std::string& fileName, std::string& bytes, std::ostream& err) {
  if (DirectoryExists(fileName)) {
    err << kToolName << fileName << ": is a directory, not a file\n";
    return false;
  }
  if (!FileExists(fileName)) {
    err << kToolName << fileName << ": no such file\n";
    return false;
  }
  if (!ReadFileBytes(fileName, bytes)) {
    err << kToolName << fileName << ": cannot be read\n";
    return false;
  }
  return true;
}

std::string JoinLines(const TStringList& lines) {
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::string HexByte(unsigned char b) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "0x%02X", b);
  return buffer;
}

// The position of `offset` in `bytes` as a 1-based line and column, counting
// line breaks as the file reader does (CR LF, lone LF, lone CR).
void LineAndColumn(const std::string& bytes, size_t offset, size_t& line, size_t& column) {
  line = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i < offset; ++i) {
    if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) {
      ++line;
      lineStart = i + 1;
    }
  }
  column = offset - lineStart + 1;
}

// The scrambled article file of `plainText`, written durably: whole or not at all.
bool WriteArticleFile(const std::string& dbFile, const std::string& plainText, std::ostream& err) {
  TStringList lines = SplitLines(plainText);
  TCryptManager().EncryptLines(lines);
  if (const std::optional<TFileFailure> failure = ReplaceFileDurably(dbFile, JoinLines(lines))) {
    err << kToolName << dbFile << ": " << FailureReasonInEnglish(*failure) << "\n";
    return false;
  }
  return true;
}

bool ReadExport(const std::string& fileName, catalogue::ExportFile& file, std::ostream& err) {
  switch (catalogue::ReadExportFile(fileName, file)) {
    case catalogue::ExportReadStatus::kOk:
      return true;
    case catalogue::ExportReadStatus::kMissing:
      err << kToolName << fileName << ": no such file\n";
      break;
    case catalogue::ExportReadStatus::kDirectory:
      err << kToolName << fileName << ": is a directory, not a file\n";
      break;
    case catalogue::ExportReadStatus::kUnreadable:
      err << kToolName << fileName << ": cannot be read\n";
      break;
  }
  return false;
}

void PrintNotes(const char* heading, const std::vector<catalogue::ImportNote>& notes, std::ostream& out) {
  out << heading << ": " << notes.size() << (notes.size() == 1 ? " line\n" : " lines\n");
  for (const catalogue::ImportNote& note : notes) {
    out << "  " << note.file << ":" << note.line << ": " << note.reason << "\n";
  }
}

void PrintFileInfo(const std::string& fileName, const catalogue::ExportFile& file, const char* what,
                   size_t count, std::ostream& out) {
  out << fileName << ": " << catalogue::EncodingName(file.encoding) << ", "
      << catalogue::LineEndsName(file.lineEnds) << ", " << file.lines.size() << " lines, " << count << " "
      << what << "\n";
}

// One of the publication's other files, read when it is there.
struct OptionalExport {
  std::string fileName;
  catalogue::ExportFile file;
  bool read = false;
};

OptionalExport ReadOptionalExport(const std::string& folder, const char* name, std::ostream& out) {
  OptionalExport found;
  found.fileName = KnowledgeFilePath(folder, name);
  switch (catalogue::ReadExportFile(found.fileName, found.file)) {
    case catalogue::ExportReadStatus::kOk:
      found.read = true;
      break;
    case catalogue::ExportReadStatus::kMissing:
      out << found.fileName << ": no such file\n";
      break;
    case catalogue::ExportReadStatus::kDirectory:
      out << found.fileName << ": is a directory, not a file\n";
      break;
    case catalogue::ExportReadStatus::kUnreadable:
      out << found.fileName << ": cannot be read\n";
      break;
  }
  return found;
}

void PrintExportReading(const OptionalExport& found, std::ostream& out) {
  out << found.fileName << ": " << catalogue::EncodingName(found.file.encoding) << ", "
      << catalogue::LineEndsName(found.file.lineEnds) << ", " << found.file.lines.size() << " lines; ";
}

// The knowledge files beside the article file, from the publication's other
// files beside CIS_bdpm.txt.
bool ImportKnowledgeFiles(const ImportCommand& command, const catalogue::ImportResult& result,
                          const catalogue::ExportFile& specialities,
                          const catalogue::ExportFile& presentations, std::ostream& out, std::ostream& err) {
  const std::string sources = KnowledgeFolderOf(command.specialitiesFile);
  const std::string target = KnowledgeFolderOf(command.articleFile);
  const OptionalExport compositions = ReadOptionalExport(sources, catalogue::kCompositionExport, out);
  const OptionalExport groups = ReadOptionalExport(sources, catalogue::kGroupExport, out);
  const OptionalExport conditions = ReadOptionalExport(sources, catalogue::kConditionExport, out);
  const OptionalExport availability = ReadOptionalExport(sources, catalogue::kAvailabilityExport, out);

  catalogue::TKnowledgeExports exports;
  exports.folder = sources;
  exports.availabilityDate = command.availabilityDate;
  if (compositions.read) exports.compositions = &compositions.file;
  if (groups.read) exports.groups = &groups.file;
  if (conditions.read) exports.conditions = &conditions.file;
  if (availability.read) exports.availability = &availability.file;
  const catalogue::TKnowledgeImport knowledge =
      catalogue::ImportKnowledge(result, specialities, presentations, exports, Today());

  if (compositions.read) {
    PrintExportReading(compositions, out);
    out << knowledge.compositions.records.size() << " kept for the articles' specialities, "
        << knowledge.compositionsOfUnknownSpecialities << " naming no speciality of "
        << command.specialitiesFile << "\n";
  }
  if (groups.read) {
    PrintExportReading(groups, out);
    out << knowledge.groups << " generic groups with an article, "
        << knowledge.groupLinesOfUnknownSpecialities << " lines naming no speciality of "
        << command.specialitiesFile << "\n";
  } else {
    out << "no generic group: equivalents are found by composition only\n";
  }
  if (conditions.read) {
    PrintExportReading(conditions, out);
    out << knowledge.conditionRecords << " conditions, " << knowledge.hospitalOnly
        << " specialities with an article reserved for hospital use, "
        << knowledge.conditionsOfUnknownSpecialities << " conditions naming no speciality of "
        << command.specialitiesFile << "\n";
  } else {
    out << "no conditions of dispensing: no speciality is marked as reserved for hospital use\n";
  }
  if (availability.read) {
    PrintExportReading(availability, out);
    out << knowledge.availability.records.size() << " kept, " << knowledge.availabilityOfUnknownSpecialities
        << " naming no speciality of " << command.specialitiesFile << ", "
        << knowledge.availabilityOfUnknownPresentations << " naming no presentation of "
        << command.presentationsFile << "; dated " << FormatDayDate(knowledge.availability.published) << "\n";
  }
  PrintNotes("skipped from the other files", knowledge.skipped, out);

  bool ok = true;
  auto write = [&](const char* name, bool source, auto writer, const auto& content, const std::string& what) {
    const std::string fileName = KnowledgeFilePath(target, name);
    if (!source) {
      out << fileName << ": not written (left as it was), " << what << "\n";
      return;
    }
    std::string why;
    if (!writer(fileName, content, &why)) {
      err << kToolName << fileName << ": " << why << "\n";
      ok = false;
      return;
    }
    out << "written: " << fileName << "\n";
  };
  write(kSpecialitiesFileName, true, WriteSpecialitiesFile, knowledge.specialities, "");
  write(kCompositionsFileName, compositions.read, WriteCompositionsFile, knowledge.compositions,
        "without " + std::string(catalogue::kCompositionExport));
  write(kAvailabilityFileName, availability.read, WriteAvailabilityFile, knowledge.availability,
        "without " + std::string(catalogue::kAvailabilityExport));
  out.flush();
  return ok;
}

std::string Percent(size_t part, size_t whole) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f %%",
                whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / whole);
  std::string text = buffer;
  std::replace(text.begin(), text.end(), '.', ',');
  return text;
}

void PrintFinding(const catalogue::ImportResult& result, const catalogue::AuditFinding& finding,
                  std::ostream& out) {
  const catalogue::Article& article = result.articles[finding.article];
  out << "  " << article.cip << " " << article.designation << ": " << catalogue::AuditFaultName(finding.fault)
      << ": " << finding.detail << "\n";
}

void PrintAudit(const catalogue::ImportResult& result, bool allPresentations, bool listAll,
                std::ostream& out) {
  const catalogue::AuditReport& audit = result.audit;
  out << "audit: " << audit.faultyArticles << " of " << result.articles.size() << " articles ("
      << Percent(audit.faultyArticles, result.articles.size()) << ") with a fault\n";
  for (size_t kind = 0; kind < catalogue::kAuditFaultKinds; ++kind) {
    const auto fault = static_cast<catalogue::AuditFault>(kind);
    // With --all, what cannot be ordered is kept on purpose.
    if (allPresentations && fault == catalogue::AuditFault::kNotOrderable) continue;
    out << "  " << catalogue::AuditFaultName(fault) << ": " << audit.articles[kind] << "\n";
    if (listAll) continue;
    // An example or three, of different articles.
    std::vector<size_t> shown;
    for (const catalogue::AuditFinding& finding : audit.findings) {
      if (finding.fault != fault || shown.size() == 3 ||
          std::find(shown.begin(), shown.end(), finding.article) != shown.end()) {
        continue;
      }
      shown.push_back(finding.article);
      out << "  ";
      PrintFinding(result, finding, out);
    }
  }
  if (!listAll) {
    if (!audit.findings.empty()) out << "  (--audit lists every finding)\n";
    return;
  }
  out << "audit findings: " << audit.findings.size() << "\n";
  for (const catalogue::AuditFinding& finding : audit.findings) PrintFinding(result, finding, out);
}

// The article file as the window loads it; null after saying why it cannot
// be searched.
std::unique_ptr<TMyDatabase> LoadArticleTable(const std::string& dbFile, std::ostream& err) {
  std::string bytes;
  if (!ReadInput(dbFile, bytes, err)) return nullptr;
  TStringList lines = SplitLines(bytes);
  if (lines.empty()) {
    err << kToolName << dbFile << ": empty article file\n";
    return nullptr;
  }
  TCryptManager().DecryptLines(lines);
  std::unique_ptr<TMyDatabase> table = TMyDatabase::CreateFromList(lines);
  lines.clear();
  if (table->FieldCount() < 3) {
    err << kToolName << dbFile << ": not an article file (expected CIP;Designation;Price)\n";
    return nullptr;
  }
  bool hasDesignation = false;
  for (int32_t field = 0; field < table->FieldCount(); ++field) {
    hasDesignation = hasDesignation || table->FieldName(field) == kDesignationField;
  }
  if (!hasDesignation) {
    err << kToolName << dbFile << ": no \"" << kDesignationField
        << "\" field in its header, nothing to search (expected CIP;Designation;Price)\n";
    return nullptr;
  }
  return table;
}

std::string SpaceJoined(const std::vector<std::string>& words) {
  std::string joined;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) joined += ' ';
    joined += words[i];
  }
  return joined;
}

std::string Converted(std::string (*conversion)(const std::string&), const std::string& text) {
  return conversion != nullptr ? conversion(text) : text;
}

bool Flushed(std::ostream& out, std::ostream& err) {
  out.flush();
  if (!out) {
    err << kToolName << "cannot write the output\n";
    return false;
  }
  return true;
}

// The knowledge files beside the article file; false after naming the first
// of `needed` that cannot be used.
bool LoadKnowledge(const SearchOptions& options, TKnowledge& knowledge,
                   std::initializer_list<const char*> needed, std::ostream& err) {
  knowledge.Load(KnowledgeFolderOf(options.dbFile), options.availabilityFile);
  for (const char* name : needed) {
    const TKnowledgeFileReport& report =
        name == std::string(kSpecialitiesFileName)   ? knowledge.SpecialitiesReport()
        : name == std::string(kAvailabilityFileName) ? knowledge.AvailabilityReport()
                                                     : knowledge.CompositionsReport();
    const char* why = nullptr;
    switch (report.state) {
      case TKnowledgeFileState::kRead:
        continue;
      case TKnowledgeFileState::kMissing:
        why = "no such file";
        break;
      case TKnowledgeFileState::kUnreadable:
        why = "cannot be read";
        break;
      case TKnowledgeFileState::kOtherEncoding:
        why = "not Windows-1252 text (UTF-16?)";
        break;
      case TKnowledgeFileState::kNotThisFile:
        why = "not a knowledge file of this kind and version";
        break;
      case TKnowledgeFileState::kTruncated:
        why = "cut short (its last line does not count its lines)";
        break;
    }
    err << kToolName << report.fileName << ": " << why << "; run quillor-catalogue import again\n";
    return false;
  }
  return true;
}

// The article code that a CODE names: a box's code as search reads it, or
// any 7 digits (the oldest CIP7 have no check digit). Empty after saying why
// there is none.
std::string ArticleCode(const std::string& raw, const SearchOptions& options, std::ostream& err) {
  const TScannedCode code = ReadScannedCode(raw);
  const std::string trimmed = TrimBlanksAndControls(raw);
  switch (code.kind) {
    case TScannedCode::TKind::kCip7:
      return code.cip7;
    case TScannedCode::TKind::kUnreadable: {
      const std::string message =
          "Code illisible : " + ShowGroupSeparators(trimmed) + " (" + code.reason + ")";
      err << kToolName << Converted(options.toMessage, message) << "\n";
      return {};
    }
    case TScannedCode::TKind::kOtherGoods:
      err << kToolName << Converted(options.toMessage, trimmed) << ": a product code of no medicine\n";
      return {};
    case TScannedCode::TKind::kNotACode:
      break;
  }
  if (trimmed.size() == 7 &&
      std::all_of(trimmed.begin(), trimmed.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return trimmed;
  err << kToolName << Converted(options.toMessage, trimmed)
      << ": not a box's code (CIP7, CIP13 or DataMatrix)\n";
  return {};
}

// The record of the article `cip7`; -1 after saying there is none.
int32_t RecordOfCode(TMyDatabase& table, const std::string& cip7, const std::string& dbFile,
                     std::ostream& err) {
  SearchArticleByCip(table, cip7);
  if (table.SelectionCount() > 0) return table.Selection().front();
  err << kToolName << cip7 << ": no article of that code in " << dbFile << "\n";
  return -1;
}

std::string ArticleLine(const TMyDatabase& table, int32_t record) {
  return table.DBGetString(0, record) + ";" + table.DBGetString(1, record) + ";" +
         table.DBGetString(2, record);
}

}  // namespace

int Import(const ImportCommand& command, std::ostream& out, std::ostream& err) {
  catalogue::ExportFile specialities;
  catalogue::ExportFile presentations;
  if (!ReadExport(command.specialitiesFile, specialities, err)) return kExitFailure;
  if (!ReadExport(command.presentationsFile, presentations, err)) return kExitFailure;
  catalogue::ImportOptions options;
  options.allPresentations = command.allPresentations;
  options.specialitiesName = command.specialitiesFile;
  options.presentationsName = command.presentationsFile;
  const catalogue::ImportResult result = catalogue::ImportExports(specialities, presentations, options);

  PrintFileInfo(command.specialitiesFile, specialities, "specialities", result.specialities, out);
  PrintFileInfo(command.presentationsFile, presentations, "presentations", result.presentations, out);
  if (!command.allPresentations) {
    out << "presentations that cannot be ordered, left out (--all keeps them): "
        << result.notMarketed + result.abrogated + result.specialityNotMarketed << "\n";
    out << "  not declared marketed: " << result.notMarketed << "\n";
    out << "  \"Presentation abrogee\": " << result.abrogated << "\n";
    out << "  of a speciality \"Non commercialisee\": " << result.specialityNotMarketed << "\n";
  }
  out << "specialities whose name was shortened to fit " << catalogue::kDesignationMaxLength
      << " characters: " << result.namesShortened << " (of which " << result.namesCut << " lost words)\n";
  out << "articles told apart from a sibling by more of their label: " << result.siblingsMadeDistinct << "\n";
  out << "articles told apart from another speciality's by more of their text: "
      << result.madeDistinctAcrossSpecialities << "\n";
  out << "articles whose designation cannot hold everything in " << catalogue::kDesignationMaxLength
      << " characters: " << result.notFitting.size() << "\n";
  for (const catalogue::ArticleLoss& loss : result.notFitting) {
    out << "  " << loss.cip << " " << loss.designation << ": without " << loss.lost << "\n";
  }
  PrintNotes("skipped", result.skipped, out);
  PrintNotes("changed", result.changed, out);
  PrintAudit(result, command.allPresentations, command.listAudit, out);
  out.flush();
  for (const std::string& warning : result.warnings) err << kToolName << "WARNING: " << warning << "\n";
  if (result.articles.empty()) {
    err << kToolName << "no article results; nothing written\n";
    return kExitFailure;
  }
  if (!WriteArticleFile(command.articleFile, catalogue::PlainArticleText(result.articles), err)) {
    return kExitFailure;
  }
  out << "articles written: " << result.articles.size() << " to " << command.articleFile << "\n";
  out.flush();
  return ImportKnowledgeFiles(command, result, specialities, presentations, out, err) ? kExitOk
                                                                                      : kExitFailure;
}

int Decode(const std::string& dbFile, std::ostream& out, std::ostream& err) {
  std::string bytes;
  if (!ReadInput(dbFile, bytes, err)) return kExitFailure;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto stored = static_cast<unsigned char>(bytes[i]);
    if (stored == '\r' || stored == '\n') continue;
    const auto plain = static_cast<unsigned char>(stored - kScrambleKey);
    if (stored != 0 && plain != 0 && plain != '\r' && plain != '\n') continue;
    size_t line = 0;
    size_t column = 0;
    LineAndColumn(bytes, i, line, column);
    err << kToolName << dbFile << ":" << line << ":" << column << ": ";
    if (stored == 0) {
      err << "a NUL byte, where the program stops reading the file; nothing written\n";
    } else {
      err << "the stored byte " << HexByte(stored) << " stands for "
          << (plain == 0      ? "NUL"
              : plain == '\r' ? "CR"
                              : "LF")
          << ", which the plain text cannot hold inside a line; nothing written\n";
    }
    return kExitFailure;
  }
  TStringList lines = SplitLines(bytes);
  TCryptManager().DecryptLines(lines);
  out << JoinLines(lines);
  out.flush();
  if (!out) {
    err << kToolName << "cannot write the output\n";
    return kExitFailure;
  }
  return kExitOk;
}

int Encode(const std::string& plainFile, const std::string& dbFile, std::ostream& err) {
  std::string bytes;
  if (!ReadInput(plainFile, bytes, err)) return kExitFailure;
  // A NUL would end the text for the reader, silently dropping the rest.
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const bool lineBreak = b == '\r' || b == '\n';
    if (b == 0 || (!lineBreak && TCryptManager::UnstorableByte(b))) {
      size_t line = 0;
      size_t column = 0;
      LineAndColumn(bytes, i, line, column);
      err << kToolName << plainFile << ":" << line << ":" << column << ": the character " << HexByte(b)
          << " cannot be stored in an article file; nothing written\n";
      return kExitFailure;
    }
  }
  TStringList lines = SplitLines(bytes);
  if (lines.empty()) {
    err << kToolName << plainFile << ": no line (an article file needs a header); nothing written\n";
    return kExitFailure;
  }
  return WriteArticleFile(dbFile, JoinLines(lines), err) ? kExitOk : kExitFailure;
}

int Search(const SearchOptions& options, std::ostream& out, std::ostream& err) {
  std::unique_ptr<TMyDatabase> table = LoadArticleTable(options.dbFile, err);
  if (!table) return kExitFailure;
  const std::string raw = SpaceJoined(options.words);
  // A scanned box's code finds its article, in either mode, as in the
  // window; any other text is searched as words.
  const TScannedCode code = ReadScannedCode(raw);
  if (code.kind == TScannedCode::TKind::kUnreadable) {
    const std::string message =
        "Code illisible : " + ShowGroupSeparators(TrimBlanksAndControls(raw)) + " (" + code.reason + ")";
    err << kToolName << (options.toMessage != nullptr ? options.toMessage(message) : message) << "\n";
    return kExitFailure;
  }
  const std::string query = NormaliseSearchText(raw);
  // As at start-up: the whole catalogue in designation order, which an empty
  // query leaves in place.
  table->QueryAll(kDesignationField);
  if (code.kind != TScannedCode::TKind::kNotACode) {
    SearchArticleByCip(*table, code.cip7);
  } else {
    try {
      SearchArticles(*table, query, options.approximate);
    } catch (const ERegExError& e) {
      err << kToolName << e.what() << "\n";
      return kExitFailure;
    }
  }

  SimilarityScorer scorer(query);
  std::string line;
  for (int32_t record : table->Selection()) {
    line.clear();
    line += table->DBGetString(0, record);
    line += ';';
    const std::string designation = table->DBGetString(1, record);
    line += designation;
    line += ';';
    line += table->DBGetString(2, record);
    if (options.scores) {
      char score[40];
      std::snprintf(score, sizeof score, ";%.17g", scorer.Score(designation));
      line += score;
    }
    out << (options.toOutput != nullptr ? options.toOutput(line) : line) << '\n';
  }
  out.flush();
  if (!out) {
    err << kToolName << "cannot write the output\n";
    return kExitFailure;
  }
  return kExitOk;
}

int Substance(const SearchOptions& options, std::ostream& out, std::ostream& err) {
  std::unique_ptr<TMyDatabase> table = LoadArticleTable(options.dbFile, err);
  if (!table) return kExitFailure;
  TKnowledge knowledge;
  if (!LoadKnowledge(options, knowledge, {kSpecialitiesFileName, kCompositionsFileName}, err))
    return kExitFailure;
  const std::string query = NormaliseSearchText(SpaceJoined(options.words));
  table->QueryAll(kDesignationField);
  knowledge.SearchBySubstance(*table, query);
  for (int32_t record : table->Selection())
    out << Converted(options.toOutput, ArticleLine(*table, record)) << '\n';
  return Flushed(out, err) ? kExitOk : kExitFailure;
}

int Equivalents(const SearchOptions& options, std::ostream& out, std::ostream& err) {
  std::unique_ptr<TMyDatabase> table = LoadArticleTable(options.dbFile, err);
  if (!table) return kExitFailure;
  const std::string cip7 = ArticleCode(SpaceJoined(options.words), options, err);
  if (cip7.empty() || RecordOfCode(*table, cip7, options.dbFile, err) < 0) return kExitFailure;
  TKnowledge knowledge;
  if (!LoadKnowledge(options, knowledge, {kSpecialitiesFileName}, err)) return kExitFailure;
  const TEquivalents equivalents = knowledge.EquivalentsOf(*table, cip7);
  if (equivalents.basis == TEquivalents::TBasis::kUnknown) {
    err << kToolName << cip7 << ": not in "
        << KnowledgeFilePath(KnowledgeFolderOf(options.dbFile), kSpecialitiesFileName)
        << "; run quillor-catalogue import again\n";
    return kExitFailure;
  }
  for (int32_t record : equivalents.records) {
    const std::string status = StatusWord(knowledge.AvailabilityOf(table->DBGetString(0, record)).status);
    out << Converted(options.toOutput, ArticleLine(*table, record) + ";" + status) << '\n';
  }
  return Flushed(out, err) ? kExitOk : kExitFailure;
}

int Availability(const SearchOptions& options, std::ostream& out, std::ostream& err) {
  std::unique_ptr<TMyDatabase> table = LoadArticleTable(options.dbFile, err);
  if (!table) return kExitFailure;
  TKnowledge knowledge;
  if (!LoadKnowledge(options, knowledge, {kSpecialitiesFileName, kAvailabilityFileName}, err))
    return kExitFailure;
  bool allFound = true;
  for (const std::string& word : options.words) {
    const std::string cip7 = ArticleCode(word, options, err);
    if (cip7.empty() || RecordOfCode(*table, cip7, options.dbFile, err) < 0) {
      allFound = false;
      continue;
    }
    const TArticleAvailability availability = knowledge.AvailabilityOf(cip7);
    out << cip7 << ';' << StatusWord(availability.status) << ';' << FormatDayDate(availability.since) << ';'
        << availability.page << '\n';
  }
  return Flushed(out, err) && allFound ? kExitOk : kExitFailure;
}

}  // namespace quillor::catalogue
