// The catalogue tool's boundary with the user's terminal: command-line words
// arrive in the locale's encoding (UTF-8 on today's systems) and the article
// file's text is Windows-1252, so words are converted on the way in and,
// when standard output is a terminal, designations on the way out. Output
// sent to a file or a pipe keeps the article file's own bytes.
//
// REQUIRES: setlocale(LC_CTYPE, "") called first, or the C locale applies.
#pragma once

#include <string>

namespace quillor::catalogue {

// A command-line word as Windows-1252: converted from the locale's encoding;
// characters Windows-1252 lacks become '?'. Bytes that are not valid in the
// locale's encoding are kept as they are. Under the C locale a word that is
// valid UTF-8 is taken as UTF-8, any other as Windows-1252 bytes.
std::string ArgumentToCp1252(const std::string& word);

// Windows-1252 text in the locale's encoding (unchanged under the C locale;
// characters the locale's encoding lacks become '?').
std::string Cp1252ToLocale(const std::string& text);

// Whether standard output, standard error is a terminal.
bool OutputIsTerminal();
bool ErrorIsTerminal();

}  // namespace quillor::catalogue
