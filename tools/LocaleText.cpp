#include "tools/LocaleText.h"

#include <iconv.h>
#include <langinfo.h>
#include <unistd.h>

#include <cerrno>

#include "text/Cp1252.h"

namespace quillor::catalogue {
namespace {

enum class LocaleEncoding { kBytes, kUtf8, kOther };

LocaleEncoding CurrentEncoding(std::string& codeset) {
  const char* name = nl_langinfo(CODESET);
  codeset = name != nullptr ? name : "";
  if (codeset == "UTF-8" || codeset == "utf8") return LocaleEncoding::kUtf8;
  // The C and POSIX locales name plain ASCII: bytes pass through.
  if (codeset.empty() || codeset == "ANSI_X3.4-1968" || codeset == "ASCII") return LocaleEncoding::kBytes;
  return LocaleEncoding::kOther;
}

// `text` converted with iconv, unconvertible characters as '?'; false when
// iconv knows neither encoding.
bool Convert(const std::string& text, const char* from, const char* to, std::string& converted) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  converted.clear();
  std::string input = text;
  char* in = input.data();
  size_t inLeft = input.size();
  char buffer[256];
  while (inLeft > 0) {
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    const size_t done = iconv(cd, &in, &inLeft, &out, &outLeft);
    converted.append(buffer, static_cast<size_t>(out - buffer));
    if (done == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // A character without a spelling in the target, or a byte sequence
      // that is not valid in the source: one '?' for it.
      converted += '?';
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  return true;
}

}  // namespace

std::string ArgumentToCp1252(const std::string& word) {
  std::string codeset;
  switch (CurrentEncoding(codeset)) {
    // Without a locale (LANG unset, as in many containers) the terminal is
    // still most likely UTF-8, and Windows-1252 words are never valid UTF-8
    // once they hold an accent.
    case LocaleEncoding::kBytes:
    case LocaleEncoding::kUtf8: {
      std::u32string codePoints;
      return DecodeUtf8Strictly(word, codePoints) ? Utf8ToCp1252(word) : word;
    }
    case LocaleEncoding::kOther: {
      std::string converted;
      return Convert(word, codeset.c_str(), "CP1252", converted) ? converted : word;
    }
  }
  return word;
}

std::string Cp1252ToLocale(const std::string& text) {
  std::string codeset;
  switch (CurrentEncoding(codeset)) {
    case LocaleEncoding::kBytes:
      return text;
    case LocaleEncoding::kUtf8:
      return Cp1252ToUtf8(text);
    case LocaleEncoding::kOther: {
      std::string converted;
      return Convert(text, "CP1252", codeset.c_str(), converted) ? converted : text;
    }
  }
  return text;
}

bool OutputIsTerminal() {
  return isatty(STDOUT_FILENO) == 1;
}

bool ErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace quillor::catalogue
