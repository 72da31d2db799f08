// TIniManager: a settings file in INI form, read once at construction and
// answered from memory. It never writes.
//
// Grammar (that of TStringManager::GetIniLineType): "[name]" lines open a
// section, lines with ';' in the first column are comments, lines holding a
// '=' with text on both sides are key/value pairs, anything else is skipped.
// Section names are matched ignoring ASCII case and surrounding blanks; keys
// are matched exactly. A second value for a key replaces the first (reported).
//
// Faults are reported through TraceError and the lookup returns its fallback
// ("" / 0 / 0.0 / false): a missing or unreadable file, an empty file, a
// missing section or key, a value that is no integer or real. A manager built
// on a missing file keeps no section list and answers every lookup with its
// fallback. Owns its sections and their pairs. GUI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "text/ListOfPairOfStrings.h"
#include "text/TextLines.h"
#include "text/Utils.h"

namespace quillor {

// One "[name]" section and the pairs read into it.
class TIniSection {
 public:
  explicit TIniSection(std::string name) : Name(std::move(name)) {}
  // Frees the pairs.
  ~TIniSection() { Pairs.ClearAndFreeEachObject(); }
  TIniSection(const TIniSection&) = delete;
  TIniSection& operator=(const TIniSection&) = delete;

  // As written between the brackets, spaces stripped at both ends (tabs stay).
  std::string Name;
  TListOfPairOfStrings Pairs;
};

class TIniManager {
 public:
  // Reads `fileName` (see LoadFromFile).
  explicit TIniManager(const std::string& fileName);
  ~TIniManager();
  TIniManager(const TIniManager&) = delete;
  TIniManager& operator=(const TIniManager&) = delete;

  // The value, or "" when the section or the key is missing (reported:
  // "TIniManager.Get : [section]/key n'existe pas", or
  // "Ini_Manager_Unit:TIniManager.Get:Pas de sections" without a section list).
  std::string Get(const std::string& section, const std::string& key) const;
  // The value as an integer; 0 when it is missing, no integer, or outside the
  // 32-bit range (reported "Ini_Manager_Unit:TIniManager:GetInt:Can't Find "
  // + section + " " + key, after Get's own report for a missing value).
  int32_t GetInt(const std::string& section, const std::string& key) const;
  // The value as a real, written with '.' or ',' whatever the user's locale;
  // 0.0 when it is missing or no real (reported like GetInt, with GetReal).
  double GetReal(const std::string& section, const std::string& key) const;
  // Whether the section exists and holds the key. Reports nothing.
  bool KeyExists(const std::string& section, const std::string& key) const;
  // Number of sections kept (0 without a section list).
  int32_t SectionCount() const;

  // The form in which section names are compared and sorted: ASCII letters
  // lower-cased, bytes of code 32 or less removed at both ends.
  static std::string NormalizeSectionName(const std::string& name);

 private:
  // Reports "Ini_Manager_Unit:LoadFromFile:Bad filename : " + name when the
  // file is missing or cannot be read, "Ini_Manager_Unit:LoadFromFile:Fichier
  // ini vide" when it has no line; otherwise parses it.
  void LoadFromFile(const std::string& fileName);
  void ParseLines(const TStringList& lines);
  // Inserts in name order; a name already present goes before the equal one
  // the search meets. Takes ownership.
  void AddSection(std::unique_ptr<TIniSection> section);
  // Binary search over [lo, hi] by normalised name: the index of a section
  // with that name if the search meets one, else the insertion index.
  int32_t FindSectionPos(const std::string& name, int32_t lo, int32_t hi) const;
  std::string NormalizedNameAt(int32_t index) const;

  // Absent until a non-empty file has been parsed.
  std::unique_ptr<TMyList<TIniSection>> Sections;
};

}  // namespace quillor
