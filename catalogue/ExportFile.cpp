#include "catalogue/ExportFile.h"

#include "text/Cp1252.h"
#include "text/FileSystem.h"
#include "text/TextLines.h"

namespace quillor::catalogue {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsAscii(std::string_view bytes) {
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
    case ExportEncoding::kMixed:
      return "UTF-8 and Windows-1252, line by line";
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
      return "mixed line ends";
    case ExportLineEnds::kCr:
      return "CR";
  }
  return "?";
}

ExportFile DecodeExport(const std::string& bytes) {
  ExportFile file;
  file.bytes = bytes.size();
  std::string_view text = bytes;
  const bool byteOrderMark = text.substr(0, kByteOrderMark.size()) == kByteOrderMark;

  // Lines of bytes, cut at CR LF, LF or a lone CR: none of these bytes is ever
  // part of a UTF-8 sequence, so lines can be cut before they are decoded.
  struct RawLine {
    int32_t number;
    std::string_view bytes;
  };
  std::vector<RawLine> raw;
  size_t lf = 0;
  size_t crlf = 0;
  size_t cr = 0;
  int32_t number = 0;
  size_t start = 0;
  while (start < text.size()) {
    ++number;
    size_t end = start;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    raw.push_back({number, text.substr(start, end - start)});
    if (end == text.size()) break;
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      ++crlf;
      start = end + 2;
    } else {
      ++(text[end] == '\n' ? lf : cr);
      start = end + 1;
    }
  }

  // The file's encoding, or each line's where the file mixes them.
  std::vector<bool> utf8(raw.size(), false);
  size_t utf8Lines = 0;
  size_t otherLines = 0;
  std::u32string decoded;
  for (size_t i = 0; i < raw.size(); ++i) {
    std::string_view line = raw[i].bytes;
    if (i == 0 && byteOrderMark) line.remove_prefix(kByteOrderMark.size());
    if (IsAscii(line)) continue;
    utf8[i] = DecodeUtf8Strictly(std::string(line), decoded);
    ++(utf8[i] ? utf8Lines : otherLines);
  }
  const bool nonAscii = utf8Lines + otherLines > 0;
  if (!nonAscii) {
    file.encoding = byteOrderMark ? ExportEncoding::kUtf8WithBom : ExportEncoding::kAscii;
  } else if (otherLines == 0) {
    file.encoding = byteOrderMark ? ExportEncoding::kUtf8WithBom : ExportEncoding::kUtf8;
  } else if (utf8Lines == 0) {
    file.encoding = ExportEncoding::kWindows1252;
  } else {
    file.encoding = ExportEncoding::kMixed;
    file.otherEncoding = utf8Lines >= otherLines ? ExportEncoding::kWindows1252 : ExportEncoding::kUtf8;
  }
  // A Windows-1252 file that happens to start with the three bytes of a mark keeps them.
  const bool skipMark = byteOrderMark && file.encoding != ExportEncoding::kWindows1252;

  for (size_t i = 0; i < raw.size(); ++i) {
    std::string_view line = raw[i].bytes;
    if (i == 0 && skipMark) line.remove_prefix(kByteOrderMark.size());
    if (line.empty()) {
      file.emptyLines.push_back(raw[i].number);
      continue;
    }
    const bool asUtf8 =
        file.encoding == ExportEncoding::kMixed
            ? utf8[i]
            : file.encoding == ExportEncoding::kUtf8 || file.encoding == ExportEncoding::kUtf8WithBom;
    std::u32string codePoints;
    if (!asUtf8 || !DecodeUtf8Strictly(std::string(line), codePoints)) codePoints = FromWindows1252(line);
    if (file.encoding == ExportEncoding::kMixed && !IsAscii(line) &&
        (file.otherEncoding == ExportEncoding::kUtf8) == asUtf8) {
      file.otherEncodingLines.push_back(raw[i].number);
    }
    file.lines.push_back({raw[i].number, SplitFields(codePoints)});
  }
  // Empty lines at the very end are the file's last line break repeated, not records.
  while (!file.emptyLines.empty() &&
         (file.lines.empty() || file.emptyLines.back() > file.lines.back().number)) {
    file.emptyLines.pop_back();
  }
  const size_t kinds = (lf > 0 ? 1 : 0) + (crlf > 0 ? 1 : 0) + (cr > 0 ? 1 : 0);
  file.lineEnds = kinds == 0  ? ExportLineEnds::kNone
                  : kinds > 1 ? ExportLineEnds::kMixed
                  : lf > 0    ? ExportLineEnds::kLf
                  : crlf > 0  ? ExportLineEnds::kCrLf
                              : ExportLineEnds::kCr;
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
