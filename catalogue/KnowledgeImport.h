// The import of the public drug database's other files of one publication,
// read beside CIS_bdpm.txt, into the knowledge files written beside the
// article file (KnowledgeFiles.h):
//
//   CIS_COMPO_bdpm.txt      composition               -> Compositions.txt
//   CIS_GENER_bdpm.txt      register of generic groups -> Specialites.txt (G)
//   CIS_CPD_bdpm.txt        conditions of dispensing   -> Specialites.txt (S: H)
//   CIS_CIP_Dispo_Spec.txt  availability (the agency)  -> Disponibilites.txt
//
// Each file is decoded on its own (ExportFile: its encoding, its line ends).
// Their quirks: the conditions file holds CR CR LF inside some conditions,
// so that a record may go on over the next lines (a line that does not
// start with a speciality's code continues the record before it); the
// register names specialities whose authorisation ended (no longer in
// CIS_bdpm.txt); the availability file names a presentation by its CIP13
// on a few lines, and the speciality alone on the others.
//
// Lines that cannot be read are skipped and noted with their file and line;
// lines naming a speciality or presentation that the exports lack are
// counted and not fatal (the availability lines are kept all the same: the
// window looks up only what it has). The knowledge files hold only the
// specialities that have an article.
//
// Stateless functions; any thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "catalogue/CatalogueImport.h"
#include "catalogue/ExportFile.h"
#include "knowledge/DayDate.h"
#include "knowledge/KnowledgeFiles.h"

namespace quillor::catalogue {

// The file names of the publication, in the folder of CIS_bdpm.txt.
inline constexpr char kCompositionExport[] = "CIS_COMPO_bdpm.txt";
inline constexpr char kGroupExport[] = "CIS_GENER_bdpm.txt";
inline constexpr char kConditionExport[] = "CIS_CPD_bdpm.txt";
inline constexpr char kAvailabilityExport[] = "CIS_CIP_Dispo_Spec.txt";

struct TAvailabilityImport {
  TAvailabilityFile file;
  size_t lines = 0;  // lines read
  std::vector<ImportNote> skipped;
};

// The agency's availability file as Disponibilites.txt holds it. A line
// with too few fields, a speciality code that is not a number, a CIP13 that
// is not "34009", a CIP7 and its check digit, a status other than 1 to 4,
// or a start or update that is no date is skipped. The file's date is
// `published` when given, else the newest date it holds that is not after
// `today` (the download page's date is a day or so later).
TAvailabilityImport ImportAvailability(const ExportFile& exportFile, const std::string& name,
                                       TDayDate published, TDayDate today);

// The other files, each null when it is not there.
struct TKnowledgeExports {
  const ExportFile* compositions = nullptr;
  const ExportFile* groups = nullptr;
  const ExportFile* conditions = nullptr;
  const ExportFile* availability = nullptr;
  std::string folder;                   // how notes name the files: folder/CIS_...txt
  TDayDate availabilityDate = kNoDate;  // the availability's publication date, if known
};

struct TKnowledgeImport {
  TSpecialitiesFile specialities;
  TCompositionsFile compositions;
  TAvailabilityFile availability;
  std::vector<ImportNote> skipped;  // in file and line order

  size_t compositionLines = 0;
  size_t compositionsOfUnknownSpecialities = 0;  // lines naming no speciality of CIS_bdpm.txt
  size_t groupLines = 0;
  size_t groups = 0;  // groups with a member that has an article
  size_t groupLinesOfUnknownSpecialities = 0;
  size_t conditionRecords = 0;  // records, continuation lines joined
  size_t hospitalOnly = 0;      // specialities with an article reserved for hospital use
  size_t conditionsOfUnknownSpecialities = 0;
  size_t availabilityLines = 0;
  size_t availabilityOfUnknownSpecialities = 0;
  size_t availabilityOfUnknownPresentations = 0;  // a CIP13 that CIS_CIP_bdpm.txt lacks
};

// The knowledge of the imported articles. The catalogue's date is the newest
// date of a presentation's declaration in CIS_CIP_bdpm.txt that is not after
// `today` (the 2026 export holds 29/11/2924).
TKnowledgeImport ImportKnowledge(const ImportResult& imported, const ExportFile& specialityFile,
                                 const ExportFile& presentationFile, const TKnowledgeExports& exports,
                                 TDayDate today);

}  // namespace quillor::catalogue
