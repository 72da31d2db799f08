// The step of an update that turns the public database's files, as fetched,
// into a new data set: each file checked (PublicFileCheck.h), the import run
// as `quillor-catalogue import` runs it (the article file, then the knowledge
// files beside it), and the files of the set made in memory. This is the one
// place where the fetched files become the set's files: a file the import
// learns to read is read here.
//
// Pure work on its arguments, meant for a worker thread: no file is read or
// written. Any thread.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "knowledge/DayDate.h"
#include "knowledge/KnowledgeFiles.h"
#include "update/ArticleRows.h"

namespace quillor::update {

struct TSetFile {
  std::string name;   // the file's name inside the set's folder
  std::string bytes;  // its content, whole
};

struct TNewCatalogue {
  // The article file first, then Specialites.txt, Compositions.txt and
  // Disponibilites.txt.
  std::vector<TSetFile> files;
  std::vector<TArticleRow> articles;  // what the article file holds, by CIP
  // What the knowledge files hold, for comparing with the data in use.
  std::vector<TArticleSpeciality> specialityOfArticle;
  TAvailabilityFile availability;
  // The public database's date: its newest presentation date that is not
  // after the day of the update (the files hold a few dates in the future).
  TDayDate databaseDay = kNoDate;
  size_t specialities = 0;   // specialities read
  size_t presentations = 0;  // presentation lines read
  size_t linesLeftOut = 0;   // lines the imports left out, as published (a speciality missing)
};

struct TImportOutcome {
  bool ok = false;
  std::string reason;  // when not ok: in French (Windows-1252), naming the file
  TNewCatalogue catalogue;
};

// Imports `files` (published name -> bytes; every file of CatalogueFiles()
// must be there). Fails on a file missing from `files`, a file that does not
// pass its check, and an import that gives no article.
TImportOutcome ImportPublicFiles(const std::map<std::string, std::string>& files, TDayDate today);

}  // namespace quillor::update
