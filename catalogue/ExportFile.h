// One export file of the public drug database, read as it is published:
// tab-separated fields, no header, no quoting, lines ended by LF, CR LF or a
// lone CR (as every file of Quillor is read). Each file is decoded on its
// own: UTF-8 when it starts with a byte-order mark or when all of it is valid
// UTF-8, Windows-1252 otherwise (French text in Windows-1252 is never valid
// UTF-8 once it holds an accent). A file that mixes lines of both (a line
// mended in another editor) is decoded line by line, and the lines of the
// rarer encoding are listed so that the import can say so.
//
// Stateless reader; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillor::catalogue {

enum class ExportEncoding { kAscii, kUtf8, kUtf8WithBom, kWindows1252, kMixed };
enum class ExportLineEnds { kNone, kLf, kCrLf, kMixed, kCr };

// "Windows-1252", "UTF-8 with BOM", "LF", "CR LF"... for the summary.
const char* EncodingName(ExportEncoding encoding);
const char* LineEndsName(ExportLineEnds lineEnds);

struct ExportLine {
  int32_t number = 0;                  // 1-based line number in the file
  std::vector<std::u32string> fields;  // split on TAB, nothing trimmed
};

struct ExportFile {
  ExportEncoding encoding = ExportEncoding::kAscii;
  ExportLineEnds lineEnds = ExportLineEnds::kNone;
  std::vector<ExportLine> lines;    // every line that holds something
  std::vector<int32_t> emptyLines;  // line numbers of empty lines before the end
  size_t bytes = 0;                 // the file's size
  // kMixed: the lines of the rarer encoding, and which it is.
  std::vector<int32_t> otherEncodingLines;
  ExportEncoding otherEncoding = ExportEncoding::kAscii;
};

enum class ExportReadStatus { kOk, kMissing, kDirectory, kUnreadable };

// Reads and decodes a whole file. Anything but kOk leaves `file` empty.
ExportReadStatus ReadExportFile(const std::string& fileName, ExportFile& file);

// Decodes bytes already read, as ReadExportFile does.
ExportFile DecodeExport(const std::string& bytes);

}  // namespace quillor::catalogue
