// The check of one downloaded file before the import reads it: it must be
// text in one of the encodings the database publishes in (UTF-8 or
// Windows-1252, one per file) and every line must have the shape of a line
// of that file. What the check catches is a file that is not the one
// expected: an error page, a file cut inside a line, another encoding (UTF-16,
// UTF-8 with stray bytes), a damaged line. The import's own notes (a
// presentation whose speciality is missing) are how the database is
// published, and pass.
//
// Stateless; any thread.
#pragma once

#include <optional>
#include <string>

#include "catalogue/ExportFile.h"
#include "update/PublicFiles.h"

namespace quillor::update {

// Decodes `bytes` into `decoded` and checks them. Nothing when the file
// passes; otherwise the reason in French (Windows-1252), naming the first
// line at fault and how many others are, without the file's name.
std::optional<std::string> CheckPublicFile(const TPublicFile& file, const std::string& bytes,
                                           catalogue::ExportFile& decoded);

}  // namespace quillor::update
