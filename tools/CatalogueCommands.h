// The commands of quillor-catalogue, each writing its output and its
// messages to the given streams and returning the process exit status
// (kExitOk, kExitFailure). Argument parsing lives in CatalogueMain.cpp.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace quillor::catalogue {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Writes the descrambled lines of `dbFile`, each followed by CR LF. Refuses,
// writing nothing, a file holding a stored byte that would descramble to a
// CR, LF or NUL (reported with its 1-based line and column): its text would
// read back as other records. A stored NUL is refused too, since the window
// stops reading the file there.
int Decode(const std::string& dbFile, std::ostream& out, std::ostream& err);

// Scrambles the plain file into `dbFile` (written atomically). Refuses, and
// writes nothing, a file with no line or holding a byte that cannot be stored
// (reported with its 1-based line and column).
int Encode(const std::string& plainFile, const std::string& dbFile, std::ostream& err);

struct ImportCommand {
  std::string specialitiesFile;   // CIS_bdpm.txt
  std::string presentationsFile;  // CIS_CIP_bdpm.txt
  std::string articleFile;        // written atomically
  bool allPresentations = false;  // also those that cannot be ordered
  // The availability's publication date (the download page's); 0: the
  // newest date the file holds.
  int32_t availabilityDate = 0;
  bool listAudit = false;  // list every finding of the audit, not only its counts
};

// Imports the public drug database's two export files into a scrambled
// article file and prints a summary to `out`: how each file was read, the
// articles written, every line skipped or mended with its file and line, and
// the audit of the designations (its counts per kind of fault with an example
// of each; with `listAudit`, every finding).
// Fails, writing nothing, when a file is missing or unreadable or when no
// article results. An article file far smaller than its source is written
// with a warning on `err` (ImportResult::warnings).
//
// Then the publication's other files found beside CIS_bdpm.txt (composition,
// generic groups, dispensing conditions, availability) become the knowledge
// files beside the article file (KnowledgeFiles.h). One that is missing or
// unreadable leaves the others, and the summary says which knowledge file
// was left as it was; a knowledge file that cannot be written fails the
// command after the article file was written.
int Import(const ImportCommand& command, std::ostream& out, std::ostream& err);

struct SearchOptions {
  std::string dbFile;  // the article file
  // The availability to read instead of the one beside the article file
  // (empty: that one).
  std::string availabilityFile;
  bool approximate = false;
  bool scores = false;
  std::vector<std::string> words;  // Windows-1252
  // Each output line passes through this conversion when set (the terminal's
  // encoding); otherwise the article file's bytes are written as they are.
  std::string (*toOutput)(const std::string& line) = nullptr;
  // Messages in Windows-1252 (a code's French reason) pass through this
  // conversion when set, before they go to the error stream.
  std::string (*toMessage)(const std::string& message) = nullptr;
};

// Loads the article file as the window does and runs the window's search on
// the words joined by one space; prints "CIP;Designation;Price" per selected
// record, in selection order, with the similarity as a 4th field if asked.
// Words that make a box's code (CIP7, CIP13, a GS1 DataMatrix string) select
// the article of that code instead, in either mode; an unreadable code fails
// with its reason. Fails on a file whose header has no "Designation" field.
int Search(const SearchOptions& options, std::ostream& out, std::ostream& err);

// The search by substance of the words joined by one space, as the window's
// "Substance" mode runs it: "CIP;Designation;Price" per article found, in
// designation order. Needs Medicaments.txt and Compositions.txt beside the
// article file; fails, naming the one that cannot be used, without them.
int Substance(const SearchOptions& options, std::ostream& out, std::ostream& err);

// The equivalents of the article whose code is the words joined by one
// space (a box's code as search reads it, or a CIP7): "CIP;Designation;
// Price;STATUS" per article, in the order the window lists them, STATUS
// being rupture, tension, arret, remise or disponible. Fails on a code that
// is unreadable or of no article, and without Medicaments.txt.
int Equivalents(const SearchOptions& options, std::ostream& out, std::ostream& err);

// "CIP;STATUS;SINCE;PAGE" for the article of each word (a code, as for
// Equivalents): its status, since when (dd/mm/yyyy, empty when available)
// and the agency's page. A code that is unreadable or of no article is
// named on the error stream, the others still printed, and the command
// fails. Needs Medicaments.txt and Disponibilites.txt.
int Availability(const SearchOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quillor::catalogue
