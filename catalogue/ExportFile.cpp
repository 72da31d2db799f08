#include "ExportFile.h"

#include "Cp1252.h"
#include "TextLines.h"

namespace quillor::catalogue {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsAscii(const std::string& bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

std::u32string FromWindows1252(std::string_view bytes) {
  std::u32string text;
  text.reserve(bytes.size());
  for (char c : bytes) text += Cp1252ToCodePoint(static_cast<unsigned char>(c));
  return text;
}

std::vector<std::u32string> SplitFields(std::u32string_view line) {
  std::vector<std::u32string> fields;
  size_t start = 0;
  while (true) {
    const size_t tab = line.find(U'\t', start);
    fields.emplace_back(
        line.substr(start, tab == std::u32string_view::npos ? std::u32string_view::npos : tab - start));
    if (tab == std::u32string_view::npos) break;
    start = tab + 1;
  }
  return fields;
}

}  // namespace

const char* EncodingName(ExportEncoding encoding) {
  switch (encoding) {
    case ExportEncoding::kAscii:
      return "ASCII";
    case ExportEncoding::kUtf8:
      return "UTF-8";
    case ExportEncoding::kUtf8WithBom:
      return "UTF-8 with BOM";
    case ExportEncoding::kWindows1252:
      return "Windows-1252";
  }
  return "?";
}

const char* LineEndsName(ExportLineEnds lineEnds) {
  switch (lineEnds) {
    case ExportLineEnds::kNone:
      return "no line break";
    case ExportLineEnds::kLf:
      return "LF";
    case ExportLineEnds::kCrLf:
      return "CR LF";
    case ExportLineEnds::kMixed:
      return "LF and CR LF";
  }
  return "?";
}

ExportFile DecodeExport(const std::string& bytes) {
  ExportFile file;
  std::u32string text;
  if (bytes.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0 &&
      DecodeUtf8Strictly(bytes.substr(kByteOrderMark.size()), text)) {
    file.encoding = ExportEncoding::kUtf8WithBom;
  } else if (IsAscii(bytes)) {
    file.encoding = ExportEncoding::kAscii;
    text = FromWindows1252(bytes);
  } else if (DecodeUtf8Strictly(bytes, text)) {
    file.encoding = ExportEncoding::kUtf8;
  } else {
    file.encoding = ExportEncoding::kWindows1252;
    text = FromWindows1252(bytes);
  }

  size_t lf = 0;
  size_t crlf = 0;
  int32_t number = 0;
  size_t start = 0;
  while (start < text.size()) {
    ++number;
    size_t end = text.find(U'\n', start);
    const size_t next = end == std::u32string::npos ? text.size() : end + 1;
    if (end == std::u32string::npos) end = text.size();
    size_t stop = end;
    if (end < text.size()) {
      if (stop > start && text[stop - 1] == U'\r') {
        --stop;
        ++crlf;
      } else {
        ++lf;
      }
    }
    if (stop == start) {
      file.emptyLines.push_back(number);
    } else {
      file.lines.push_back({number, SplitFields(std::u32string_view(text).substr(start, stop - start))});
    }
    start = next;
  }
  // Empty lines at the very end are the file's last line break repeated, not records.
  while (!file.emptyLines.empty() &&
         (file.lines.empty() || file.emptyLines.back() > file.lines.back().number)) {
    file.emptyLines.pop_back();
  }
  file.lineEnds = crlf == 0 && lf == 0 ? ExportLineEnds::kNone
                  : crlf == 0          ? ExportLineEnds::kLf
                  : lf == 0            ? ExportLineEnds::kCrLf
                                       : ExportLineEnds::kMixed;
  return file;
}

ExportReadStatus ReadExportFile(const std::string& fileName, ExportFile& file) {
  file = ExportFile();
  if (DirectoryExists(fileName)) return ExportReadStatus::kDirectory;
  if (!FileExists(fileName)) return ExportReadStatus::kMissing;
  std::string bytes;
  if (!ReadFileBytes(fileName, bytes)) return ExportReadStatus::kUnreadable;
  file = DecodeExport(bytes);
  return ExportReadStatus::kOk;
}

}  // namespace quillor::catalogue
