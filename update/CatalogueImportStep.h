// The step of an update that turns the public database's files, as fetched,
// into a new data set: each file checked (PublicFileCheck.h), the import run
// as `quillor-catalogue import` runs it, and the files of the set made in
// memory. This is the one place where the fetched files become the set's
// files: a file the import learns to read is read here.
//
// Pure work on its arguments, meant for a worker thread: no file is read or
// written. Any thread.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "ArticleRows.h"

namespace quillor::update {

// A day as yyyymmdd (20260527), which compares as days do.
using TDay = int32_t;

struct TSetFile {
  std::string name;   // the file's name inside the set's folder
  std::string bytes;  // its content, whole
};

struct TNewCatalogue {
  std::vector<TSetFile> files;        // the article file first
  std::vector<TArticleRow> articles;  // what the article file holds, by CIP
  // The public database's date: its newest presentation date that is not
  // after the day of the update (the files hold a few dates in the future),
  // 0 when none.
  TDay databaseDay = 0;
  size_t specialities = 0;   // specialities read
  size_t presentations = 0;  // presentation lines read
  size_t linesLeftOut = 0;   // lines the import left out, as published (a speciality missing)
};

struct TImportOutcome {
  bool ok = false;
  std::string reason;  // when not ok: in French (Windows-1252), naming the file
  TNewCatalogue catalogue;
};

// Imports `files` (published name -> bytes; every file of CatalogueFiles()
// must be there). Fails on a file missing from `files`, a file that does not
// pass its check, and an import that gives no article.
TImportOutcome ImportPublicFiles(const std::map<std::string, std::string>& files, TDay today);

// "27/05/2026" for 20260527; "" for 0.
std::string DayText(TDay day);
// The day of "27/05/2026" (day/month/year, as the database writes dates);
// 0 when it is not one.
TDay ReadDay(const std::string& text);

}  // namespace quillor::update
