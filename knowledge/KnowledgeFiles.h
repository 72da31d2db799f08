// The knowledge files that the catalogue import writes beside the article
// file, and that the window and the catalogue tool read from the article
// file's folder. This is the one definition of their format (documented in
// data/README.md):
//
//   Medicaments.txt   the speciality of each article, each speciality's form
//                     and whether it is reserved for hospital use, and the
//                     members of the register's generic groups
//   Compositions.txt  the substances and dosages of each speciality
//   Disponibilites.txt  the availability published by the medicines agency
//
// Each is Windows-1252 text, lines ended by CR LF, fields separated by ';'
// (a text never holds ';', CR or LF: the writer turns ';' into ',' and the
// controls into spaces). The first line names the file and its date,
//   QUILLOR;<KIND>;1;<dd/mm/yyyy or empty>
// the last one counts the record lines between them,
//   FIN;<count>
// so that a file cut short is told from a whole one. Each record line starts
// with its kind's letter.
//
// Reading never throws: a file that is missing, unreadable, of another
// encoding (UTF-16...), of another kind or version, or cut short is not used
// at all (its report says which); in a whole file, a malformed record line is
// left out and its number kept in the report. A UTF-8 file (with or without
// its byte-order mark) is read as the Windows-1252 text it spells.
//
// Writing goes through WriteFileDurably: the old file stays whole until the
// new one replaces it.
//
// Plain functions and values; any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "knowledge/DayDate.h"

namespace quillor {

inline constexpr char kSpecialitiesFileName[] = "Medicaments.txt";
inline constexpr char kCompositionsFileName[] = "Compositions.txt";
inline constexpr char kAvailabilityFileName[] = "Disponibilites.txt";

// --- the reading of any of them ------------------------------------------------------

enum class TKnowledgeFileState {
  kRead,           // used, perhaps without some malformed lines (badLines)
  kMissing,        // no such file
  kUnreadable,     // a directory, or no permission
  kOtherEncoding,  // UTF-16 or UTF-32, or NUL bytes
  kNotThisFile,    // no header line of this kind and version
  kTruncated,      // no final count line, or fewer lines than it counts
};

struct TKnowledgeFileReport {
  std::string fileName;
  TKnowledgeFileState state = TKnowledgeFileState::kMissing;
  std::vector<int32_t> badLines;  // 1-based numbers of the record lines left out
  bool Usable() const { return state == TKnowledgeFileState::kRead; }
};

// --- Disponibilites.txt -----------------------------------------------------------------
//   QUILLOR;DISPONIBILITES;1;<the publication's date>
//   D;<CIS>;<CIP7 or empty>;<status 1-4>;<start>;<last update>;<back in stock>;<agency's page>
// One D line per line of the agency's file: an empty CIP7 covers every
// presentation of the speciality. Dates are dd/mm/yyyy; start and last
// update are required, back in stock only for status 4.

// The agency's codes; kAvailable is what an article with no line has.
enum class TAvailabilityStatus : uint8_t {
  kAvailable = 0,
  kShortage = 1,     // "Rupture de stock"
  kTension = 2,      // "Tension d'approvisionnement"
  kEnded = 3,        // "Arrêt de commercialisation"
  kBackInStock = 4,  // "Remise à disposition"
};

struct TAvailabilityRecord {
  std::string cis;
  std::string cip7;  // empty: every presentation of the speciality
  TAvailabilityStatus status = TAvailabilityStatus::kShortage;
  TDayDate start = kNoDate;
  TDayDate update = kNoDate;
  TDayDate back = kNoDate;
  std::string page;
  friend bool operator==(const TAvailabilityRecord&, const TAvailabilityRecord&) = default;
};

struct TAvailabilityFile {
  TDayDate published = kNoDate;
  std::vector<TAvailabilityRecord> records;  // in the agency's order
};

std::string AvailabilityFileText(const TAvailabilityFile& file);
TKnowledgeFileReport ReadAvailabilityFile(const std::string& fileName, TAvailabilityFile& file);
// False, with the reason in `error`, when it cannot be written; the old file
// then stays as it was.
bool WriteAvailabilityFile(const std::string& fileName, const TAvailabilityFile& file, std::string* error);

// --- Medicaments.txt ------------------------------------------------------------------
//   QUILLOR;SPECIALITES;1;<the catalogue's date>
//   S;<CIS>;<H when reserved for hospital use, else empty>;<pharmaceutical form>
//   A;<CIP7>;<CIS>                      one per article of the article file
//   G;<group>;<CIS>;<type>              one per member of a generic group
// Types of group members: 0 princeps, 1 generic, 2 generic by dosage
// complementarity, 4 substitutable generic. Texts are folded to upper-case
// ASCII as designations are.

struct TSpecialityRecord {
  std::string cis;
  bool hospitalOnly = false;
  std::string form;
  friend bool operator==(const TSpecialityRecord&, const TSpecialityRecord&) = default;
};

struct TArticleSpeciality {
  std::string cip7;
  std::string cis;
  friend bool operator==(const TArticleSpeciality&, const TArticleSpeciality&) = default;
};

struct TGroupMember {
  std::string group;
  std::string cis;
  int32_t type = 0;
  friend bool operator==(const TGroupMember&, const TGroupMember&) = default;
};

struct TSpecialitiesFile {
  TDayDate catalogueDate = kNoDate;
  std::vector<TSpecialityRecord> specialities;
  std::vector<TArticleSpeciality> articles;
  std::vector<TGroupMember> groups;
};

std::string SpecialitiesFileText(const TSpecialitiesFile& file);

// The records as they are read, for a reader that keeps them its own way
// without copying texts; the views are valid only during the call. Records
// are visited before the file is known to be whole: when the report is not
// Usable, whatever was kept of them must be dropped.
struct TSpecialityView {
  std::string_view cis;
  bool hospitalOnly = false;
  std::string_view form;
};
struct TArticleView {
  std::string_view cip7;
  std::string_view cis;
};
struct TGroupMemberView {
  std::string_view group;
  std::string_view cis;
  int32_t type = 0;
};
struct TSpecialitiesVisitor {
  std::function<void(const TSpecialityView&)> speciality;
  std::function<void(const TArticleView&)> article;
  std::function<void(const TGroupMemberView&)> member;
};
TKnowledgeFileReport VisitSpecialitiesFile(const std::string& fileName, TDayDate& catalogueDate,
                                           const TSpecialitiesVisitor& visitor);
bool WriteSpecialitiesFile(const std::string& fileName, const TSpecialitiesFile& file, std::string* error);

// --- Compositions.txt ---------------------------------------------------------------------
//   QUILLOR;COMPOSITIONS;1;
//   C;<CIS>;<element>;<link>;<SA|FT>;<substance code>;<substance>;<dosage>;<dosage refers to>
// One line per substance of an element of a speciality (the element is the
// part the dosage is given for: "COMPRIME", "SOLVANT"). SA is an active
// substance; FT the therapeutic fraction its dosage is expressed in; an SA
// and an FT of the same element and link number are one substance. Texts are
// folded to upper-case ASCII ("BESILATE D'AMLODIPINE", "1000 MG").

struct TCompositionRecord {
  std::string cis;
  std::string element;
  int32_t link = 0;
  bool fraction = false;  // FT; SA otherwise
  std::string substanceCode;
  std::string name;
  std::string dosage;
  std::string reference;
  friend bool operator==(const TCompositionRecord&, const TCompositionRecord&) = default;
};

struct TCompositionsFile {
  std::vector<TCompositionRecord> records;
};

std::string CompositionsFileText(const TCompositionsFile& file);

// As VisitSpecialitiesFile.
struct TCompositionView {
  std::string_view cis;
  std::string_view element;
  int32_t link = 0;
  bool fraction = false;
  std::string_view substanceCode;
  std::string_view name;
  std::string_view dosage;
  std::string_view reference;
};
TKnowledgeFileReport VisitCompositionsFile(const std::string& fileName,
                                           const std::function<void(const TCompositionView&)>& visit);
bool WriteCompositionsFile(const std::string& fileName, const TCompositionsFile& file, std::string* error);

// The name of `fileName` in `folder` ("Data/Medicaments.txt"); the folder of
// an article file is KnowledgeFolderOf(articleFile).
std::string KnowledgeFilePath(const std::string& folder, const char* fileName);
std::string KnowledgeFolderOf(const std::string& articleFile);

}  // namespace quillor
