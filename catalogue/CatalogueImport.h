// The import of the public drug database into an article file: the two
// export files (CIS_bdpm.txt, one line per speciality, and CIS_CIP_bdpm.txt,
// one line per presentation) become one article per presentation, with its
// CIP7 code, a designation in the style of a pharmacy catalogue and the price
// with a decimal comma (or no price), sorted by CIP.
//
// Kept by default: the presentations that can be ordered, those whose
// marketing declaration is "Déclaration de commercialisation", unless the
// presentation is "Présentation abrogée" or its speciality "Non
// commercialisée"; with `allPresentations` every one. Malformed lines (too
// few fields, an empty code, a CIP7 that is not 7 digits, an unreadable price,
// a presentation whose speciality is missing, a code seen twice, a field
// longer than any export's, a denomination without a name) are skipped and
// noted with their file and line; a character without an ASCII spelling, or
// a ';' (the article file's separator), is mended and noted as a change.
//
// Within one speciality, presentations whose labels differ by a word that
// tells them apart get different designations; so do articles of different
// specialities whose denominations differ (see MakeDistinct). Each
// designation is then checked against its sources (DesignationAudit.h).
//
// Stateless functions; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/DesignationAudit.h"
#include "catalogue/ExportFile.h"

namespace quillor::catalogue {

struct ImportOptions {
  bool allPresentations = false;
  std::string specialitiesName = "CIS_bdpm.txt";  // how notes name the files
  std::string presentationsName = "CIS_CIP_bdpm.txt";
};

struct Article {
  std::string cip;           // 7 digits
  std::string designation;   // upper-case printable ASCII, no ';', at most kDesignationMaxLength
  std::string price;         // "1003,48", "12" or ""
  std::string cis;           // the speciality, for checks; not written
  std::string denomination;  // the speciality's denomination, folded; not written
  std::string label;         // the presentation's label, folded; not written
  std::string form;          // the speciality's form column, folded; not written
  bool orderable = true;     // false: an abrogated presentation, or a speciality not marketed
};

struct ImportNote {
  std::string file;
  int32_t line = 0;
  std::string reason;
};

// An article whose designation could not hold everything in
// kDesignationMaxLength characters.
struct ArticleLoss {
  std::string cip;
  std::string designation;
  std::string lost;  // what it leaves out, in words
};

struct ImportResult {
  std::vector<Article> articles;              // sorted by CIP
  std::vector<ImportNote> skipped;            // lines left out, in file and line order
  std::vector<ImportNote> changed;            // lines whose text was mended
  size_t specialities = 0;                    // specialities read
  size_t presentations = 0;                   // presentation lines read
  size_t notMarketed = 0;                     // presentations left out as not orderable
  size_t abrogated = 0;                       // ... as "Presentation abrogee"
  size_t specialityNotMarketed = 0;           // ... as of a speciality "Non commercialisee"
  size_t namesShortened = 0;                  // specialities written whose name is not whole
  size_t namesCut = 0;                        // ... of which words were left out
  size_t siblingsMadeDistinct = 0;            // articles that needed more of their label
  size_t madeDistinctAcrossSpecialities = 0;  // ... to differ from another speciality's
  std::vector<ArticleLoss> notFitting;        // by CIP
  // What the import's caller must not miss: an article file far smaller than
  // its source (lines not cut where the export's are), in words.
  std::vector<std::string> warnings;
  AuditReport audit;  // the designations checked against their sources
};

ImportResult ImportExports(const ExportFile& specialities, const ExportFile& presentations,
                           const ImportOptions& options);

// The plain article file: "CIP;Designation;Prix", then one line per article,
// each line ended by CR LF.
std::string PlainArticleText(const std::vector<Article>& articles);

}  // namespace quillor::catalogue
