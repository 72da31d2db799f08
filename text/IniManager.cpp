#include "text/IniManager.h"

#include "text/FileSystem.h"
#include "text/Locale.h"
#include "text/StringManager.h"
#include "text/TrimBlanks.h"
#include "trace/TraceUnit.h"

namespace quillor {

TIniManager::TIniManager(const std::string& fileName) {
  LoadFromFile(fileName);
}

TIniManager::~TIniManager() {
  if (Sections) Sections->ClearAndFreeEachObject();
}

std::string TIniManager::NormalizeSectionName(const std::string& name) {
  std::string result = TrimBlanksAndControls(name);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

void TIniManager::LoadFromFile(const std::string& fileName) {
  // A name that exists but cannot be read (a directory, no permission) is as
  // useless as a missing one, and is reported the same way.
  TStringList lines;
  if (!FileExists(fileName) || !ReadFileLines(fileName, lines)) {
    Trace().TraceError("Ini_Manager_Unit:LoadFromFile:Bad filename : " + fileName);
    return;
  }
  if (lines.empty()) {
    Trace().TraceError("Ini_Manager_Unit:LoadFromFile:Fichier ini vide");
    return;
  }
  ParseLines(lines);
}

void TIniManager::ParseLines(const TStringList& lines) {
  if (Sections) Sections->ClearAndFreeEachObject();
  Sections = std::make_unique<TMyList<TIniSection>>();
  // A section is kept only once complete, and only with a name: the pairs of
  // a "[ ]" section go with it.
  std::unique_ptr<TIniSection> current;
  auto closeCurrent = [this, &current] {
    if (current && !current->Name.empty()) AddSection(std::move(current));
    current.reset();
  };
  for (const std::string& line : lines) {
    const std::string type = TStringManager::GetIniLineType(line);
    if (type == "section") {
      closeCurrent();
      current =
          std::make_unique<TIniSection>(TStringManager::TrimChar(TStringManager::GetIniSection(line), ' '));
    } else if (type == "keyvalue" && current) {
      const std::string key = TStringManager::TrimChar(TStringManager::GetIniKey(line), ' ');
      const std::string value = TStringManager::TrimChar(TStringManager::GetIniValue(line), ' ');
      if (!key.empty() && !value.empty()) current->Pairs.add(key, value);
    }
  }
  closeCurrent();
}

void TIniManager::AddSection(std::unique_ptr<TIniSection> section) {
  const int32_t position = FindSectionPos(section->Name, 0, SectionCount() - 1);
  Sections->Insert(position, section.release());
}

std::string TIniManager::NormalizedNameAt(int32_t index) const {
  return NormalizeSectionName(Sections->GetItem(index)->Name);
}

int32_t TIniManager::FindSectionPos(const std::string& name, int32_t lo, int32_t hi) const {
  const std::string normalized = NormalizeSectionName(name);
  if (hi < lo) return lo;
  const std::string atLo = NormalizedNameAt(lo);
  const std::string atHi = NormalizedNameAt(hi);
  if (normalized == atLo) return lo;
  if (normalized == atHi) return hi;
  if (normalized < atLo) return lo;
  if (normalized > atHi) return hi + 1;
  const int32_t mid = (lo + hi) / 2;
  if (normalized < NormalizedNameAt(mid)) return FindSectionPos(normalized, lo + 1, mid);
  return FindSectionPos(normalized, mid, hi - 1);
}

int32_t TIniManager::SectionCount() const {
  return Sections ? Sections->Count() : 0;
}

std::string TIniManager::Get(const std::string& section, const std::string& key) const {
  std::string result;
  if (!Sections) {
    Trace().TraceError("Ini_Manager_Unit:TIniManager.Get:Pas de sections");
    return result;
  }
  const int32_t position = FindSectionPos(section, 0, SectionCount() - 1);
  if (position < SectionCount() && NormalizedNameAt(position) == NormalizeSectionName(section)) {
    result = Sections->GetItem(position)->Pairs.getData(key);
  }
  if (result.empty()) Trace().TraceError("TIniManager.Get : [" + section + "]/" + key + " n'existe pas");
  return result;
}

int32_t TIniManager::GetInt(const std::string& section, const std::string& key) const {
  const std::string value = Get(section, key);
  if (TStringManager::IsInteger(value)) {
    // IsInteger lets through up to 18 digits; only the 32-bit ones convert.
    try {
      return LocaleStrToInt(value);
    } catch (const EConvertError&) {
    }
  }
  Trace().TraceError("Ini_Manager_Unit:TIniManager:GetInt:Can't Find " + section + " " + key);
  return 0;
}

double TIniManager::GetReal(const std::string& section, const std::string& key) const {
  const std::string value = Get(section, key);
  if (TStringManager::IsReal(value)) {
    // IsReal accepts either separator, so the file may use either whatever
    // the user's locale says: read it with the user's.
    std::string converted = value;
    for (char& c : converted) {
      if (c == '.' || c == ',') c = UserDecimalSeparator();
    }
    try {
      return LocaleStrToFloat(converted);
    } catch (const EConvertError&) {
    }
  }
  Trace().TraceError("Ini_Manager_Unit:TIniManager:GetReal:Can't Find " + section + " " + key);
  return 0.0;
}

bool TIniManager::KeyExists(const std::string& section, const std::string& key) const {
  const std::string normalized = NormalizeSectionName(section);
  for (int32_t i = 0; i < SectionCount(); ++i) {
    if (NormalizedNameAt(i) == normalized) return Sections->GetItem(i)->Pairs.exists(key);
  }
  return false;
}

}  // namespace quillor
