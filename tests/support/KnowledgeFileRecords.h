// The knowledge files read back whole into the records they were written
// from, so that a test can compare what the import or the writer left on disk
// with what it meant to write. The program reads them with the visitors of
// KnowledgeFiles.h and keeps no such copies. Header-only, for the test
// executables that link quillor::knowledge.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "knowledge/KnowledgeFiles.h"

namespace quillor::test {

// The records of a Medicaments.txt; `file` is left empty unless the report is
// Usable.
inline TKnowledgeFileReport ReadSpecialitiesFile(const std::string& fileName, TSpecialitiesFile& file) {
  file = TSpecialitiesFile();
  TSpecialitiesFile read;
  TSpecialitiesVisitor visitor;
  visitor.speciality = [&](const TSpecialityView& s) {
    read.specialities.push_back({std::string(s.cis), s.hospitalOnly, std::string(s.form)});
  };
  visitor.article = [&](const TArticleView& a) {
    read.articles.push_back({std::string(a.cip7), std::string(a.cis)});
  };
  visitor.member = [&](const TGroupMemberView& g) {
    read.groups.push_back({std::string(g.group), std::string(g.cis), g.type});
  };
  TKnowledgeFileReport report = VisitSpecialitiesFile(fileName, read.catalogueDate, visitor);
  if (report.Usable()) file = std::move(read);
  return report;
}

// The records of a Compositions.txt, as ReadSpecialitiesFile.
inline TKnowledgeFileReport ReadCompositionsFile(const std::string& fileName, TCompositionsFile& file) {
  file = TCompositionsFile();
  std::vector<TCompositionRecord> records;
  TKnowledgeFileReport report = VisitCompositionsFile(fileName, [&](const TCompositionView& c) {
    records.push_back({std::string(c.cis), std::string(c.element), c.link, c.fraction,
                       std::string(c.substanceCode), std::string(c.name), std::string(c.dosage),
                       std::string(c.reference)});
  });
  if (report.Usable()) file.records = std::move(records);
  return report;
}

}  // namespace quillor::test
