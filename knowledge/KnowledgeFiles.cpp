#include "knowledge/KnowledgeFiles.h"

#include <algorithm>
#include <functional>
#include <string_view>

#include "text/Cp1252.h"
#include "text/DurableFile.h"
#include "text/FileSystem.h"
#include "text/TextLines.h"

namespace quillor {
namespace {

constexpr std::string_view kMagic = "QUILLOR";
constexpr std::string_view kVersion = "1";
constexpr std::string_view kEnd = "FIN";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A field as the file can hold it.
void AppendField(std::string& line, std::string_view text) {
  line += ';';
  for (char c : text) {
    if (c == ';') {
      line += ',';
    } else if (static_cast<unsigned char>(c) < 32) {
      line += ' ';
    } else {
      line += c;
    }
  }
}

class TFileText {
 public:
  TFileText(std::string_view kind, TDayDate date) {
    fText.append(kMagic);
    AppendField(fText, kind);
    AppendField(fText, kVersion);
    AppendField(fText, FormatDayDate(date));
    fText += "\r\n";
  }
  // A record line: its kind's letter, then the fields.
  void Record(char kind, std::initializer_list<std::string_view> fields) {
    fText += kind;
    for (std::string_view field : fields) AppendField(fText, field);
    fText += "\r\n";
    ++fRecords;
  }
  std::string Finish() {
    fText.append(kEnd);
    AppendField(fText, std::to_string(fRecords));
    fText += "\r\n";
    return std::move(fText);
  }

 private:
  std::string fText;
  size_t fRecords = 0;
};

void Split(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  size_t start = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != ';') continue;
    fields.push_back(line.substr(start, i - start));
    start = i + 1;
  }
  fields.push_back(line.substr(start));
}

bool LooksLikeWideText(const std::string& bytes) {
  if (bytes.size() >= 2) {
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) return true;
  }
  return bytes.find('\0') != std::string::npos;
}

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The file's Windows-1252 text, or a state saying why there is none.
TKnowledgeFileState ReadText(const std::string& fileName, std::string& text) {
  if (DirectoryExists(fileName)) return TKnowledgeFileState::kUnreadable;
  if (!FileExists(fileName)) return TKnowledgeFileState::kMissing;
  if (!ReadFileBytes(fileName, text)) return TKnowledgeFileState::kUnreadable;
  if (LooksLikeWideText(text)) return TKnowledgeFileState::kOtherEncoding;
  if (text.compare(0, kUtf8Mark.size(), kUtf8Mark) == 0) text.erase(0, kUtf8Mark.size());
  if (!IsAscii(text)) {
    std::u32string ignored;
    if (DecodeUtf8Strictly(text, ignored)) text = Utf8ToCp1252(text);
  }
  return TKnowledgeFileState::kRead;
}

// Reads the header, the record lines (each handed to `onRecord`, which says
// whether it could use it) and the final count of a file of `kind`.
using TRecordReader = std::function<bool(const std::vector<std::string_view>& fields)>;

TKnowledgeFileReport ReadRecords(const std::string& fileName, std::string_view kind, TDayDate* date,
                                 const TRecordReader& onRecord) {
  TKnowledgeFileReport report;
  report.fileName = fileName;
  std::string text;
  report.state = ReadText(fileName, text);
  if (report.state != TKnowledgeFileState::kRead) return report;

  std::vector<std::string_view> fields;
  std::string_view rest(text);
  int32_t number = 0;
  bool headerRead = false;
  bool ended = false;
  int64_t records = 0;
  int64_t counted = -1;
  std::vector<int32_t> bad;
  while (!rest.empty()) {
    size_t stop = 0;
    while (stop < rest.size() && rest[stop] != '\n' && rest[stop] != '\r') ++stop;
    const std::string_view line = rest.substr(0, stop);
    if (stop == rest.size()) {
      rest = {};
    } else {
      const size_t next =
          rest[stop] == '\r' && stop + 1 < rest.size() && rest[stop + 1] == '\n' ? stop + 2 : stop + 1;
      rest.remove_prefix(next);
    }
    ++number;
    if (!headerRead) {
      Split(line, fields);
      if (fields.size() != 4 || fields[0] != kMagic || fields[1] != kind || fields[2] != kVersion) {
        report.state = TKnowledgeFileState::kNotThisFile;
        return report;
      }
      std::optional<TDayDate> parsed = ParseDayDate(fields[3]);
      if (date != nullptr) *date = parsed.value_or(kNoDate);
      headerRead = true;
      continue;
    }
    if (line.empty()) continue;
    if (ended) {
      // Whatever follows the count was not written with the file.
      bad.push_back(number);
      continue;
    }
    Split(line, fields);
    if (fields[0] == kEnd) {
      ended = true;
      counted = fields.size() == 2 && AllDigits(fields[1]) && fields[1].size() < 12
                    ? std::stoll(std::string(fields[1]))
                    : -1;
      continue;
    }
    ++records;
    if (!onRecord(fields)) bad.push_back(number);
  }
  if (!headerRead) {
    report.state = TKnowledgeFileState::kNotThisFile;
  } else if (!ended || counted != records) {
    report.state = TKnowledgeFileState::kTruncated;
  } else {
    report.badLines = std::move(bad);
  }
  return report;
}

std::string ToString(std::string_view text) {
  return std::string(text);
}

bool ReadLink(std::string_view text, int32_t& link) {
  if (!AllDigits(text) || text.size() > 6) return false;
  link = 0;
  for (char c : text) link = link * 10 + (c - '0');
  return true;
}

bool WriteText(const std::string& fileName, const std::string& text, std::string* error) {
  return WriteFileDurably(fileName, text, error);
}

}  // namespace

// --- Disponibilites.txt -----------------------------------------------------------------------

std::string AvailabilityFileText(const TAvailabilityFile& file) {
  TFileText text("DISPONIBILITES", file.published);
  for (const TAvailabilityRecord& r : file.records) {
    const std::string status(1, static_cast<char>('0' + static_cast<int>(r.status)));
    text.Record('D', {r.cis, r.cip7, status, FormatDayDate(r.start), FormatDayDate(r.update),
                      FormatDayDate(r.back), r.page});
  }
  return text.Finish();
}

TKnowledgeFileReport ReadAvailabilityFile(const std::string& fileName, TAvailabilityFile& file) {
  file = TAvailabilityFile();
  std::vector<TAvailabilityRecord> records;
  TDayDate published = kNoDate;
  TKnowledgeFileReport report =
      ReadRecords(fileName, "DISPONIBILITES", &published, [&](const std::vector<std::string_view>& f) {
        if (f.size() != 8 || f[0] != "D" || !AllDigits(f[1]) || f[3].size() != 1 || f[3][0] < '1' ||
            f[3][0] > '4')
          return false;
        if (!f[2].empty() && (f[2].size() != 7 || !AllDigits(f[2]))) return false;
        const std::optional<TDayDate> start = ParseDayDate(f[4]);
        const std::optional<TDayDate> update = ParseDayDate(f[5]);
        const std::optional<TDayDate> back = ParseDayDate(f[6]);
        if (!start || !update || (!f[6].empty() && !back)) return false;
        records.push_back({ToString(f[1]), ToString(f[2]), static_cast<TAvailabilityStatus>(f[3][0] - '0'),
                           *start, *update, back.value_or(kNoDate), ToString(f[7])});
        return true;
      });
  if (report.Usable()) {
    file.published = published;
    file.records = std::move(records);
  }
  return report;
}

bool WriteAvailabilityFile(const std::string& fileName, const TAvailabilityFile& file, std::string* error) {
  return WriteText(fileName, AvailabilityFileText(file), error);
}

// --- Medicaments.txt --------------------------------------------------------------------------

std::string SpecialitiesFileText(const TSpecialitiesFile& file) {
  TFileText text("SPECIALITES", file.catalogueDate);
  for (const TSpecialityRecord& s : file.specialities)
    text.Record('S', {s.cis, s.hospitalOnly ? "H" : "", s.form});
  for (const TArticleSpeciality& a : file.articles) text.Record('A', {a.cip7, a.cis});
  for (const TGroupMember& g : file.groups) text.Record('G', {g.group, g.cis, std::to_string(g.type)});
  return text.Finish();
}

TKnowledgeFileReport VisitSpecialitiesFile(const std::string& fileName, TDayDate& catalogueDate,
                                           const TSpecialitiesVisitor& visitor) {
  catalogueDate = kNoDate;
  return ReadRecords(fileName, "SPECIALITES", &catalogueDate, [&](const std::vector<std::string_view>& f) {
    if (f[0] == "S") {
      if (f.size() != 4 || !AllDigits(f[1]) || (f[2] != "H" && !f[2].empty())) return false;
      if (visitor.speciality) visitor.speciality({f[1], f[2] == "H", f[3]});
      return true;
    }
    if (f[0] == "A") {
      if (f.size() != 3 || f[1].size() != 7 || !AllDigits(f[1]) || !AllDigits(f[2])) return false;
      if (visitor.article) visitor.article({f[1], f[2]});
      return true;
    }
    if (f[0] == "G") {
      int32_t type = 0;
      if (f.size() != 4 || !AllDigits(f[1]) || !AllDigits(f[2]) || !ReadLink(f[3], type)) return false;
      if (visitor.member) visitor.member({f[1], f[2], type});
      return true;
    }
    return false;
  });
}

bool WriteSpecialitiesFile(const std::string& fileName, const TSpecialitiesFile& file, std::string* error) {
  return WriteText(fileName, SpecialitiesFileText(file), error);
}

// --- Compositions.txt -------------------------------------------------------------------------

std::string CompositionsFileText(const TCompositionsFile& file) {
  TFileText text("COMPOSITIONS", kNoDate);
  for (const TCompositionRecord& c : file.records) {
    text.Record('C', {c.cis, c.element, std::to_string(c.link), c.fraction ? "FT" : "SA", c.substanceCode,
                      c.name, c.dosage, c.reference});
  }
  return text.Finish();
}

TKnowledgeFileReport VisitCompositionsFile(const std::string& fileName,
                                           const std::function<void(const TCompositionView&)>& visit) {
  return ReadRecords(fileName, "COMPOSITIONS", nullptr, [&](const std::vector<std::string_view>& f) {
    int32_t link = 0;
    if (f.size() != 9 || f[0] != "C" || !AllDigits(f[1]) || !ReadLink(f[3], link) ||
        (f[4] != "SA" && f[4] != "FT") || f[6].empty())
      return false;
    visit({f[1], f[2], link, f[4] == "FT", f[5], f[6], f[7], f[8]});
    return true;
  });
}

bool WriteCompositionsFile(const std::string& fileName, const TCompositionsFile& file, std::string* error) {
  return WriteText(fileName, CompositionsFileText(file), error);
}

std::string KnowledgeFilePath(const std::string& folder, const char* fileName) {
  if (folder.empty()) return fileName;
  return folder.back() == '/' ? folder + fileName : folder + "/" + fileName;
}

std::string KnowledgeFolderOf(const std::string& articleFile) {
  const size_t slash = articleFile.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return articleFile.substr(0, slash);
}

}  // namespace quillor
