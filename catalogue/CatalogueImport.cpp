#include "catalogue/CatalogueImport.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <unordered_map>

#include "catalogue/AsciiFolding.h"
#include "catalogue/DenominationParts.h"
#include "catalogue/DesignationFit.h"
#include "catalogue/PackSummary.h"
#include "catalogue/PriceText.h"
#include "catalogue/SiblingDistinctness.h"

namespace quillor::catalogue {
namespace {

// Columns of the two files (0-based).
constexpr size_t kCisCode = 0;
constexpr size_t kCisDenomination = 1;
constexpr size_t kCisForm = 2;
constexpr size_t kCisMarketing = 6;
constexpr size_t kCisFieldsNeeded = 3;
constexpr size_t kCipCis = 0;
constexpr size_t kCipCode = 1;
constexpr size_t kCipLabel = 2;
constexpr size_t kCipStatus = 3;
constexpr size_t kCipMarketing = 4;
constexpr size_t kCipPrice = 9;
constexpr size_t kCipFieldsNeeded = 10;

constexpr std::string_view kOrderable = "DECLARATION DE COMMERCIALISATION";
constexpr std::string_view kAbrogated = "PRESENTATION ABROGEE";
constexpr std::string_view kNotMarketed = "NON COMMERCIALISEE";

bool AllDigits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Folds one field and notes what had to be mended in it.
class FieldFolder {
 public:
  FieldFolder(ImportResult& result, const std::string& file) : fResult(result), fFile(file) {}

  std::string Fold(const ExportLine& line, size_t column, const char* what) {
    FoldedText folded = FoldToUpperAscii(line.fields[column]);
    for (char32_t cp : folded.unmapped) {
      Note(line, std::string("the character ") + CodePointName(cp) + " of the " + what +
                     " has no ASCII spelling; written '?'");
    }
    if (folded.text.find(';') != std::string::npos) {
      std::replace(folded.text.begin(), folded.text.end(), ';', ',');
      Note(line, std::string("';' in the ") + what + " written ',' (the article file's separator)");
    }
    return std::move(folded.text);
  }

 private:
  void Note(const ExportLine& line, std::string reason) {
    fResult.changed.push_back({fFile, line.number, std::move(reason)});
  }
  ImportResult& fResult;
  const std::string& fFile;
};

// Longer fields are no export's (theirs hold at most 255 characters): such a
// line is refused before its words are read, so that no line costs more
// than its size.
constexpr size_t kLongestField = 1000;

struct Speciality {
  std::string denomination;
  std::string form;
  bool marketed = true;
  bool kit = false;  // a powder or a concentrate with its solvent
  DenominationParts parts;
  int32_t line = 0;
};

// The first field of `columns` longer than kLongestField, as a note, or "".
std::string TooLong(const ExportLine& line, std::initializer_list<std::pair<size_t, const char*>> columns) {
  for (const auto& [column, what] : columns) {
    if (line.fields[column].size() > kLongestField) {
      return std::string("the ") + what + " has " + std::to_string(line.fields[column].size()) +
             " characters, more than " + std::to_string(kLongestField);
    }
  }
  return std::string();
}

// Designations already fitted, by name and pack: the passes that tell
// articles apart ask for the same ones many times over.
class FittedDesignations {
 public:
  explicit FittedDesignations(const std::vector<DenominationParts>& names) : fNames(names) {}
  FittedDesignations(const FittedDesignations&) = delete;
  FittedDesignations& operator=(const FittedDesignations&) = delete;

  const FittedDesignation& Fit(size_t name, const std::string& pack) {
    auto [entry, inserted] = fFitted.try_emplace(std::to_string(name) + '|' + pack);
    if (inserted) entry->second = FitDesignation(fNames[name], pack);
    return entry->second;
  }
  // As FitDesignationNoWorse.
  const FittedDesignation& FitNoWorse(size_t name, const std::string& pack, const std::string& basePack) {
    const FittedDesignation& base = Fit(name, basePack);
    return NoWorse(Fit(name, pack), base);
  }

 private:
  const std::vector<DenominationParts>& fNames;
  std::unordered_map<std::string, FittedDesignation> fFitted;  // nodes stay put as it grows
};

void NoteEmptyLines(const ExportFile& file, const std::string& name, ImportResult& result) {
  for (int32_t number : file.emptyLines) result.skipped.push_back({name, number, "empty line"});
  // A line mended in another editor, in the other encoding than the rest.
  for (int32_t number : file.otherEncodingLines) {
    result.changed.push_back(
        {name, number,
         std::string("read as ") + EncodingName(file.otherEncoding) + ", unlike the rest of the file"});
  }
}

// No line of the exports is longer than this: a file whose lines are, on
// average, was not cut where its lines end.
constexpr size_t kLongestExportLine = 4000;

void WarnOfLinesNotCut(const ExportFile& file, const std::string& name, ImportResult& result) {
  if (file.lines.empty() || file.bytes / file.lines.size() <= kLongestExportLine) return;
  result.warnings.push_back(name + " has " + std::to_string(file.lines.size()) + " line" +
                            (file.lines.size() == 1 ? "" : "s") + " for " + std::to_string(file.bytes) +
                            " bytes: its lines may not end as an export's do");
}

std::unordered_map<std::string, Speciality> ReadSpecialities(const ExportFile& file, const std::string& name,
                                                             ImportResult& result) {
  std::unordered_map<std::string, Speciality> specialities;
  FieldFolder folder(result, name);
  NoteEmptyLines(file, name, result);
  for (const ExportLine& line : file.lines) {
    if (line.fields.size() < kCisFieldsNeeded) {
      result.skipped.push_back({name, line.number,
                                "too few fields (" + std::to_string(line.fields.size()) + ", at least " +
                                    std::to_string(kCisFieldsNeeded) + " needed)"});
      continue;
    }
    const std::string cis = FoldToUpperAscii(line.fields[kCisCode]).text;
    if (cis.empty()) {
      result.skipped.push_back({name, line.number, "empty CIS code"});
      continue;
    }
    if (!AllDigits(cis)) {
      result.skipped.push_back({name, line.number, "CIS code '" + cis + "' is not a number"});
      continue;
    }
    if (auto known = specialities.find(cis); known != specialities.end()) {
      result.skipped.push_back(
          {name, line.number, "CIS code " + cis + " already on line " + std::to_string(known->second.line)});
      continue;
    }
    if (std::string tooLong = TooLong(line, {{kCisDenomination, "denomination"}, {kCisForm, "form"}});
        !tooLong.empty()) {
      result.skipped.push_back({name, line.number, std::move(tooLong)});
      continue;
    }
    Speciality speciality;
    speciality.denomination = folder.Fold(line, kCisDenomination, "denomination");
    if (speciality.denomination.empty()) {
      result.skipped.push_back({name, line.number, "empty denomination"});
      continue;
    }
    speciality.form = folder.Fold(line, kCisForm, "form");
    speciality.parts = ReadDenominationParts(speciality.denomination, speciality.form);
    if (speciality.parts.name.empty()) {
      result.skipped.push_back(
          {name, line.number,
           "no name before the form in the denomination '" + speciality.denomination + "'"});
      continue;
    }
    speciality.marketed = line.fields.size() <= kCisMarketing ||
                          FoldToUpperAscii(line.fields[kCisMarketing]).text != kNotMarketed;
    const std::string both = speciality.denomination + " " + speciality.form;
    speciality.kit =
        both.find(" ET SOLVANT") != std::string::npos || both.find("POUDRE ET ") != std::string::npos;
    speciality.line = line.number;
    specialities.emplace(cis, std::move(speciality));
  }
  result.specialities = specialities.size();
  return specialities;
}

}  // namespace

ImportResult ImportExports(const ExportFile& specialityFile, const ExportFile& presentationFile,
                           const ImportOptions& options) {
  ImportResult result;
  const std::unordered_map<std::string, Speciality> specialities =
      ReadSpecialities(specialityFile, options.specialitiesName, result);

  const std::string& name = options.presentationsName;
  FieldFolder folder(result, name);
  NoteEmptyLines(presentationFile, name, result);
  std::unordered_map<std::string, int32_t> lineOfCip;
  // Presentations grouped by speciality, in file order.
  std::map<std::string, std::vector<Article>> bySpeciality;
  for (const ExportLine& line : presentationFile.lines) {
    ++result.presentations;
    auto skip = [&](std::string reason) { result.skipped.push_back({name, line.number, std::move(reason)}); };
    if (line.fields.size() < kCipFieldsNeeded) {
      skip("too few fields (" + std::to_string(line.fields.size()) + ", at least " +
           std::to_string(kCipFieldsNeeded) + " needed)");
      continue;
    }
    Article article;
    article.cip = FoldToUpperAscii(line.fields[kCipCode]).text;
    if (article.cip.empty()) {
      skip("empty CIP code");
      continue;
    }
    if (article.cip.size() != 7 || !AllDigits(article.cip)) {
      skip("CIP7 '" + article.cip + "' is not 7 digits");
      continue;
    }
    const std::string rawPrice = FoldToUpperAscii(line.fields[kCipPrice]).text;
    const std::optional<std::string> price = NormalisePrice(rawPrice);
    if (!price) {
      skip("unreadable price '" + rawPrice + "'");
      continue;
    }
    article.price = *price;
    article.cis = FoldToUpperAscii(line.fields[kCipCis]).text;
    if (specialities.find(article.cis) == specialities.end()) {
      skip("no speciality " + article.cis + " in " + options.specialitiesName + " (CIP " + article.cip + ")");
      continue;
    }
    if (auto seen = lineOfCip.find(article.cip); seen != lineOfCip.end()) {
      skip("CIP " + article.cip + " already on line " + std::to_string(seen->second));
      continue;
    }
    if (std::string tooLong = TooLong(line, {{kCipLabel, "label"}}); !tooLong.empty()) {
      skip(std::move(tooLong));
      continue;
    }
    const bool abrogated = FoldToUpperAscii(line.fields[kCipStatus]).text == kAbrogated;
    const bool marketed = specialities.at(article.cis).marketed;
    if (!options.allPresentations) {
      if (FoldToUpperAscii(line.fields[kCipMarketing]).text != kOrderable) {
        ++result.notMarketed;
        continue;
      }
      if (abrogated) {
        ++result.abrogated;
        continue;
      }
      if (!marketed) {
        ++result.specialityNotMarketed;
        continue;
      }
    }
    lineOfCip.emplace(article.cip, line.number);
    article.label = folder.Fold(line, kCipLabel, "label");
    article.orderable = marketed && !abrogated;
    bySpeciality[article.cis].push_back(std::move(article));
  }

  // Each article with its pack and the parts of its speciality's name.
  std::vector<DenominationParts> names;
  std::vector<size_t> nameOf;
  std::vector<std::string> packs;
  FittedDesignations fitted(names);
  for (auto& [cis, siblings] : bySpeciality) {
    const Speciality& speciality = specialities.at(cis);
    names.push_back(speciality.parts);
    const size_t name = names.size() - 1;
    std::vector<std::string> siblingPacks;
    std::vector<std::string> labels;
    for (Article& article : siblings) {
      siblingPacks.push_back(SummarisePack(ProductLabel(article.label), speciality.kit));
      labels.push_back(ProductLabel(article.label));
    }
    // What tells siblings apart may cost the name abbreviations, never its words.
    const std::vector<std::string> siblingBase = siblingPacks;
    result.siblingsMadeDistinct +=
        MakeDistinct(labels, siblingPacks, [&](size_t sibling, const std::string& pack) {
          return fitted.FitNoWorse(name, pack, siblingBase[sibling]).text;
        });
    for (size_t i = 0; i < siblings.size(); ++i) {
      siblings[i].denomination = speciality.denomination;
      siblings[i].form = speciality.form;
      result.articles.push_back(std::move(siblings[i]));
      packs.push_back(std::move(siblingPacks[i]));
      nameOf.push_back(names.size() - 1);
    }
  }

  // Shortened, two specialities may read alike (a pen and a syringe, two
  // forms of one tablet, two laboratories): tell them apart by what their
  // denominations and labels say, where that costs no word of the name, no
  // strength and no essential word of the form. Units are written alike
  // first ("2 POUR CENT" and "2 %" say the same), and what a blister is made
  // of, or the name of a parallel distributor, makes no other product.
  std::vector<std::string> sources;
  for (const Article& article : result.articles) {
    // "150 MG,SOLUTION" and "150 MG, SOLUTION" say the same: commas go, the
    // words they separate stay apart.
    std::string denomination = article.denomination;
    std::replace(denomination.begin(), denomination.end(), ',', ' ');
    sources.push_back(JoinWords(NormaliseStrength(SplitWords(denomination))) + " " +
                      WithoutMaterials(ProductLabel(article.label)));
  }
  const std::vector<std::string> basePacks = packs;
  result.madeDistinctAcrossSpecialities =
      MakeDistinct(sources, packs, [&](size_t article, const std::string& pack) {
        return fitted.FitNoWorse(nameOf[article], pack, basePacks[article]).text;
      });

  std::vector<bool> whole(names.size(), true);
  std::vector<bool> cut(names.size(), false);
  for (size_t i = 0; i < result.articles.size(); ++i) {
    const FittedDesignation& designation = fitted.FitNoWorse(nameOf[i], packs[i], basePacks[i]);
    result.articles[i].designation = designation.text;
    whole[nameOf[i]] = whole[nameOf[i]] && designation.nameWhole;
    cut[nameOf[i]] = cut[nameOf[i]] || designation.nameCut;
    if (!designation.lost.empty()) {
      result.notFitting.push_back({result.articles[i].cip, designation.text, designation.lost});
    }
  }
  std::sort(result.notFitting.begin(), result.notFitting.end(),
            [](const ArticleLoss& a, const ArticleLoss& b) { return a.cip < b.cip; });
  WarnOfLinesNotCut(specialityFile, options.specialitiesName, result);
  WarnOfLinesNotCut(presentationFile, name, result);
  // Far fewer articles than presentations that could be ordered: say so.
  const size_t orderable =
      result.presentations - result.notMarketed - result.abrogated - result.specialityNotMarketed;
  if (orderable >= 20 && result.articles.size() < orderable / 2) {
    result.warnings.push_back("only " + std::to_string(result.articles.size()) + " articles from " +
                              std::to_string(orderable) + " presentations that could be ordered");
  }
  result.namesShortened = static_cast<size_t>(std::count(whole.begin(), whole.end(), false));
  result.namesCut = static_cast<size_t>(std::count(cut.begin(), cut.end(), true));
  std::sort(result.articles.begin(), result.articles.end(),
            [](const Article& a, const Article& b) { return a.cip < b.cip; });
  std::vector<AuditedArticle> audited;
  audited.reserve(result.articles.size());
  for (const Article& article : result.articles) {
    audited.push_back({article.cip, article.designation, article.denomination, article.form, article.label,
                       article.orderable});
  }
  result.audit = AuditArticles(audited, !options.allPresentations);
  std::stable_sort(result.skipped.begin(), result.skipped.end(),
                   [&](const ImportNote& a, const ImportNote& b) {
                     return a.file != b.file ? a.file == options.specialitiesName : a.line < b.line;
                   });
  std::stable_sort(result.changed.begin(), result.changed.end(),
                   [&](const ImportNote& a, const ImportNote& b) {
                     return a.file != b.file ? a.file == options.specialitiesName : a.line < b.line;
                   });
  return result;
}

std::string PlainArticleText(const std::vector<Article>& articles) {
  std::string text = "CIP;Designation;Prix\r\n";
  for (const Article& article : articles) {
    text += article.cip;
    text += ';';
    text += article.designation;
    text += ';';
    text += article.price;
    text += "\r\n";
  }
  return text;
}

}  // namespace quillor::catalogue
