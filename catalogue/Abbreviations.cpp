#include "catalogue/Abbreviations.h"

#include <array>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillor::catalogue {
namespace {

using enum AbbreviationKind;

// Sorted by kind, then alphabetically; data/README.md lists the same rows.
constexpr std::array kTable = {
    // --- units ---------------------------------------------------------------------
    Abbreviation{"%", "%", kUnit},
    Abbreviation{"APPLICATION", "APPL", kUnit},
    Abbreviation{"BAR", "BAR", kUnit},
    Abbreviation{"CELL", "CELL", kUnit},
    Abbreviation{"CELLULE", "CELL", kUnit},
    Abbreviation{"CH", "CH", kUnit},
    Abbreviation{"CM", "CM", kUnit},
    Abbreviation{"CM2", "CM2", kUnit},
    Abbreviation{"COPIE DU GENOME", "GC", kUnit},
    Abbreviation{"DH", "DH", kUnit},
    Abbreviation{"DU VECTEUR", "VG", kUnit},
    Abbreviation{"G", "G", kUnit},
    Abbreviation{"GBQ", "GBQ", kUnit},
    Abbreviation{"GC", "GC", kUnit},
    Abbreviation{"GENOME DE VECTEUR", "VG", kUnit},
    Abbreviation{"GRAMME", "G", kUnit},
    Abbreviation{"H", "H", kUnit},
    Abbreviation{"HEP", "HEP", kUnit},
    Abbreviation{"HEURE", "H", kUnit},
    Abbreviation{"IR", "IR", kUnit},
    Abbreviation{"KBQ", "KBQ", kUnit},
    Abbreviation{"KG", "KG", kUnit},
    Abbreviation{"KUI", "KUI", kUnit},
    Abbreviation{"L", "L", kUnit},
    Abbreviation{"LITRE", "L", kUnit},
    Abbreviation{"M UI", "MUI", kUnit},
    Abbreviation{"M.U.I", "MUI", kUnit},
    Abbreviation{"M.U.I.", "MUI", kUnit},
    Abbreviation{"MBQ", "MBQ", kUnit},
    Abbreviation{"MCG", "MCG", kUnit},
    Abbreviation{"MCL", "MCL", kUnit},
    Abbreviation{"MEQ", "MEQ", kUnit},
    Abbreviation{"MG", "MG", kUnit},
    Abbreviation{"MICROGRAMME", "MCG", kUnit},
    Abbreviation{"MICROGRAMMESG", "MCG", kUnit},
    Abbreviation{"MICROLITRE", "MCL", kUnit},
    Abbreviation{"MILLIGRAMME", "MG", kUnit},
    Abbreviation{"MILLILITRE", "ML", kUnit},
    Abbreviation{"MILLION D'UNITE INTERNATIONALE", "MUI", kUnit},
    Abbreviation{"MILLION U", "MU", kUnit},
    Abbreviation{"MILLION U.I.", "MUI", kUnit},
    Abbreviation{"MILLION UI", "MUI", kUnit},
    Abbreviation{"ML", "ML", kUnit},
    Abbreviation{"MMOL", "MMOL", kUnit},
    Abbreviation{"MOL", "MOL", kUnit},
    Abbreviation{"MU", "MU", kUnit},
    Abbreviation{"MUI", "MUI", kUnit},
    Abbreviation{"NANOGRAMME", "NG", kUnit},
    Abbreviation{"NG", "NG", kUnit},
    Abbreviation{"POUR CENT", "%", kUnit},
    Abbreviation{"PPM", "PPM", kUnit},
    Abbreviation{"PULVERISATION", "PULV", kUnit},
    Abbreviation{"U", "U", kUnit},
    Abbreviation{"U. CEIP", "U.CEIP", kUnit},
    Abbreviation{"U.A.H.", "U.A.H.", kUnit},
    Abbreviation{"U.CEIP", "U.CEIP", kUnit},
    Abbreviation{"U.I.", "UI", kUnit},
    Abbreviation{"UI", "UI", kUnit},
    Abbreviation{"UIK", "UIK", kUnit},
    Abbreviation{"UL", "UI", kUnit},
    Abbreviation{"UNITE", "U", kUnit},
    Abbreviation{"UNITE INTERNATIONALE", "UI", kUnit},
    Abbreviation{"VG", "VG", kUnit},
    Abbreviation{"VOL", "VOL", kUnit},
    Abbreviation{"VOLUME", "VOL", kUnit},

    // --- pharmaceutical forms ------------------------------------------------------
    Abbreviation{"AMPOULE", "", kForm},
    Abbreviation{"APPLICATION", "", kForm},
    Abbreviation{"AURICULAIRE", "AURIC", kForm},
    Abbreviation{"BAIN", "BAIN", kForm},
    Abbreviation{"BOUCHE", "BOUCHE", kForm},
    Abbreviation{"BUCCAL", "BUC", kForm},
    Abbreviation{"BUVABLE", "BUV", kForm},
    Abbreviation{"CAPSULE", "CAPS", kForm},
    Abbreviation{"CARTOUCHE", "", kForm},
    Abbreviation{"COLLUTOIRE", "COLLUT", kForm},
    Abbreviation{"COLLYRE", "COLLY", kForm},
    Abbreviation{"COMPRESSE", "COMPR", kForm},
    Abbreviation{"COMPRIME", "CPR", kForm},
    Abbreviation{"CREME", "CREME", kForm},
    Abbreviation{"CROQUER", "CROQ", kForm},
    Abbreviation{"CUTANE", "", kForm},
    Abbreviation{"DENTAIRE", "DENT", kForm},
    Abbreviation{"DIALYSE", "DIAL", kForm},
    Abbreviation{"DILUER", "DIL", kForm},
    Abbreviation{"DISPERSIBLE", "", kForm},
    Abbreviation{"DISPERSION", "DISPERS", kForm},
    Abbreviation{"DISPOSITIF", "DISPO", kForm},
    Abbreviation{"EFFERVESCENT", "EFF", kForm},
    Abbreviation{"EMPLATRE", "EMPL", kForm},
    Abbreviation{"EMULSION", "EMULS", kForm},
    Abbreviation{"ENROBE", "", kForm},
    Abbreviation{"FILM", "FILM", kForm},
    Abbreviation{"FLACON", "", kForm},
    Abbreviation{"GASTRO-RESISTANT", "", kForm},
    Abbreviation{"GASTRORESISTANT", "", kForm},
    Abbreviation{"GAZ", "GAZ", kForm},
    Abbreviation{"GEL", "GEL", kForm},
    Abbreviation{"GELULE", "GELU", kForm},
    Abbreviation{"GOMME", "GOMME", kForm},
    Abbreviation{"GOUTTE", "GTT", kForm},
    Abbreviation{"GRANULE", "GRAN", kForm},
    Abbreviation{"IMPLANT", "IMPLANT", kForm},
    Abbreviation{"INHALATION", "INHAL", kForm},
    Abbreviation{"INJECTABLE", "INJ", kForm},
    Abbreviation{"INSTILLATION", "INSTIL", kForm},
    Abbreviation{"LIBERATION", "", kForm},
    Abbreviation{"LIQUIDE", "LIQ", kForm},
    Abbreviation{"LOCAL", "LOC", kForm},
    Abbreviation{"LOTION", "LOTION", kForm},
    Abbreviation{"LYOPHILISAT", "LYOPH", kForm},
    Abbreviation{"MACHER", "MACHER", kForm},
    Abbreviation{"MEDICAMENTEUSE", "MED", kForm},
    Abbreviation{"MEDICAMENTEUX", "MED", kForm},
    Abbreviation{"MICROGRANULE", "MICROGRAN", kForm},
    Abbreviation{"MODIFIE", "LM", kForm},
    Abbreviation{"MOLLE", "", kForm},
    Abbreviation{"MOUSSE", "MOUSSE", kForm},
    Abbreviation{"NASAL", "NAS", kForm},
    Abbreviation{"NEBULISEUR", "NEBUL", kForm},
    Abbreviation{"ONGLE", "ONGLE", kForm},
    Abbreviation{"OPHTALMIQUE", "OPHT", kForm},
    Abbreviation{"ORAL", "ORAL", kForm},
    Abbreviation{"ORODISPERSIBLE", "ORODISP", kForm},
    Abbreviation{"OVULE", "OVULE", kForm},
    Abbreviation{"PANSEMENT", "PANS", kForm},
    Abbreviation{"PASTILLE", "PAST", kForm},
    Abbreviation{"PATE", "PATE", kForm},
    Abbreviation{"PELLICULE", "", kForm},
    Abbreviation{"PERFUSION", "PERF", kForm},
    Abbreviation{"PERITONEAL", "PERIT", kForm},
    Abbreviation{"POCHE", "", kForm},
    Abbreviation{"POMMADE", "POM", kForm},
    Abbreviation{"POUDRE", "PDR", kForm},
    Abbreviation{"PRE-REMPLI", "", kForm},
    Abbreviation{"PREREMPLI", "", kForm},
    Abbreviation{"PRESSURISE", "PRESS", kForm},
    Abbreviation{"PROLONGE", "LP", kForm},
    Abbreviation{"PULVERISATION", "PULV", kForm},
    Abbreviation{"QUADRISECABLE", "", kForm},
    Abbreviation{"RECIPIENT", "", kForm},
    Abbreviation{"RECTAL", "RECT", kForm},
    Abbreviation{"SACHET", "", kForm},
    Abbreviation{"SACHET-DOSE", "", kForm},
    Abbreviation{"SECABLE", "", kForm},
    Abbreviation{"SERINGUE", "", kForm},
    Abbreviation{"SHAMPOOING", "SHAMP", kForm},
    Abbreviation{"SIROP", "SIROP", kForm},
    Abbreviation{"SOLUTION", "SOL", kForm},
    Abbreviation{"SOLVANT", "SOLV", kForm},
    Abbreviation{"STYLO", "", kForm},
    Abbreviation{"SUBLINGUAL", "SUBL", kForm},
    Abbreviation{"SUBLINGUAUX", "SUBL", kForm},
    Abbreviation{"SUCER", "SUC", kForm},
    Abbreviation{"SUPPOSITOIRE", "SUPPO", kForm},
    Abbreviation{"SUSPENSION", "SUSP", kForm},
    Abbreviation{"TISANE", "TISANE", kForm},
    Abbreviation{"TRANSDERMIQUE", "TRANSD", kForm},
    Abbreviation{"UNIDOSE", "", kForm},
    Abbreviation{"VAGINAL", "VAG", kForm},
    Abbreviation{"VERNIS", "VERNIS", kForm},

    Abbreviation{"A", "", kFormFiller},
    Abbreviation{"AU", "", kFormFiller},
    Abbreviation{"AUX", "", kFormFiller},
    Abbreviation{"AVEC", "", kFormFiller},
    Abbreviation{"D'", "", kFormFiller},
    Abbreviation{"DE", "", kFormFiller},
    Abbreviation{"DES", "", kFormFiller},
    Abbreviation{"DU", "", kFormFiller},
    Abbreviation{"EN", "", kFormFiller},
    Abbreviation{"ET", "", kFormFiller},
    Abbreviation{"L'", "", kFormFiller},
    Abbreviation{"LA", "", kFormFiller},
    Abbreviation{"LE", "", kFormFiller},
    Abbreviation{"OU", "", kFormFiller},
    Abbreviation{"PAR", "", kFormFiller},
    Abbreviation{"POUR", "", kFormFiller},
    Abbreviation{"USAGE", "", kFormFiller},

    // --- packs ---------------------------------------------------------------------
    Abbreviation{"AMPOULE", "AMP", kContainer},
    Abbreviation{"APPLICATEUR", "APPLIC", kContainer},
    Abbreviation{"BANDE", "BANDE", kContainer},
    Abbreviation{"BOITE", "B", kContainer},
    Abbreviation{"BOUTEILLE", "BOUT", kContainer},
    Abbreviation{"CARTOUCHE", "CART", kContainer},
    Abbreviation{"CONDITIONNEMENT", "COND", kContainer},
    Abbreviation{"DISPOSITIF", "DISPO", kContainer},
    Abbreviation{"ENVELOPPE", "ENV", kContainer},
    Abbreviation{"ETUI", "B", kContainer},
    Abbreviation{"EVAPORATEUR", "EVAP", kContainer},
    Abbreviation{"FILM", "B", kContainer},
    Abbreviation{"FLACON", "FL", kContainer},
    Abbreviation{"FUT", "FUT", kContainer},
    Abbreviation{"GENERATEUR", "GENER", kContainer},
    Abbreviation{"INHALATEUR", "INHAL", kContainer},
    Abbreviation{"KIT", "KIT", kContainer},
    Abbreviation{"PILULIER", "PIL", kContainer},
    Abbreviation{"PLAQUETTE", "B", kContainer},
    Abbreviation{"POCHE", "POCHE", kContainer},
    Abbreviation{"POT", "POT", kContainer},
    Abbreviation{"RECIPIENT", "RECIP", kContainer},
    Abbreviation{"SACHET", "SACH", kContainer},
    Abbreviation{"SACHET-DOSE", "SACH", kContainer},
    Abbreviation{"SERINGUE", "SER", kContainer},
    Abbreviation{"STYLO", "STYLO", kContainer},
    Abbreviation{"TUBE", "T", kContainer},

    Abbreviation{"ANNEAU", "", kCountUnit},
    Abbreviation{"BOUFFEE", "BOUF", kCountUnit},
    Abbreviation{"CAPSULE", "", kCountUnit},
    Abbreviation{"COMPRESSE", "", kCountUnit},
    Abbreviation{"COMPRIME", "", kCountUnit},
    Abbreviation{"DISPOSITIF", "", kCountUnit},
    Abbreviation{"DOSE", "DOS", kCountUnit},
    Abbreviation{"EMPLATRE", "", kCountUnit},
    Abbreviation{"EPONGE", "", kCountUnit},
    Abbreviation{"FILM", "", kCountUnit},
    Abbreviation{"GELULE", "", kCountUnit},
    Abbreviation{"GOMME", "", kCountUnit},
    Abbreviation{"IMPLANT", "", kCountUnit},
    Abbreviation{"INSERT", "", kCountUnit},
    Abbreviation{"LYOPHILISAT", "", kCountUnit},
    Abbreviation{"OVULE", "", kCountUnit},
    Abbreviation{"PANSEMENT", "", kCountUnit},
    Abbreviation{"PASTILLE", "", kCountUnit},
    Abbreviation{"PATCH", "", kCountUnit},
    Abbreviation{"PATE", "", kCountUnit},
    Abbreviation{"PIECE", "", kCountUnit},
    Abbreviation{"SACHET", "", kCountUnit},
    Abbreviation{"SUPPOSITOIRE", "", kCountUnit},
    Abbreviation{"TAMPON", "", kCountUnit},

    Abbreviation{"ACIER", "ACIER", kMaterial},
    Abbreviation{"ALUMINIUM", "ALU", kMaterial},
    Abbreviation{"OPAQUE", "OPAQ", kMaterial},
    Abbreviation{"PAPIER", "PAP", kMaterial},
    Abbreviation{"PLASTIQUE", "PLAST", kMaterial},
    Abbreviation{"POLYAMIDE", "PA", kMaterial},
    Abbreviation{"POLYCHLORTRIFLUOROETHYLENE", "PCTFE", kMaterial},
    Abbreviation{"POLYESTER", "POLYEST", kMaterial},
    Abbreviation{"POLYETHYLENE", "PE", kMaterial},
    Abbreviation{"POLYOLEFINE", "PO", kMaterial},
    Abbreviation{"POLYPROPYLENE", "PP", kMaterial},
    Abbreviation{"POLYSTYRENE", "PS", kMaterial},
    Abbreviation{"POLYTEREPHTALATE", "PET", kMaterial},
    Abbreviation{"POLYTRIFLUOROCHLOROETHYLENE", "PCTFE", kMaterial},
    Abbreviation{"TRANSPARENT", "TRANSP", kMaterial},
    Abbreviation{"VERRE", "VER", kMaterial},

    // --- names and qualifiers, when a designation is too long ---------------------
    Abbreviation{"ABACAVIR", "ABAC", kNameWord},
    Abbreviation{"ACCORD", "ACC", kNameWord},
    Abbreviation{"ACETYLSALICYLIQUE", "ACETYLSAL", kNameWord},
    Abbreviation{"ACIDE", "AC", kNameWord},
    Abbreviation{"ADRENALINE", "ADRE", kNameWord},
    Abbreviation{"ADULTE", "AD", kNameWord},
    Abbreviation{"AGUETTANT", "AGT", kNameWord},
    Abbreviation{"ALCOOL", "ALC", kNameWord},
    Abbreviation{"ALENDRONIQUE", "ALENDR", kNameWord},
    Abbreviation{"ALUMINIUM", "ALU", kNameWord},
    Abbreviation{"AMBULATOIRE", "AMBUL", kNameWord},
    Abbreviation{"AMLODIPINE", "AMLO", kNameWord},
    Abbreviation{"AMOXICILLINE", "AMOX", kNameWord},
    Abbreviation{"AMYLMETACRESOL", "AMYLMETA", kNameWord},
    Abbreviation{"ANTILLES", "ANT", kNameWord},
    Abbreviation{"ARGININE", "ARG", kNameWord},
    Abbreviation{"ARROW", "ARW", kNameWord},
    Abbreviation{"ATORVASTATINE", "ATORVA", kNameWord},
    Abbreviation{"BECLOMETASONE", "BECLO", kNameWord},
    Abbreviation{"BENZALKONIUM", "BENZALK", kNameWord},
    Abbreviation{"BENZYLIQUE", "BENZYL", kNameWord},
    Abbreviation{"BETAMETHASONE", "BETAMETH", kNameWord},
    Abbreviation{"BICARBONATE", "BICARB", kNameWord},
    Abbreviation{"BIOGARAN", "BGR", kNameWord},
    Abbreviation{"BISOPROLOL", "BISOPRO", kNameWord},
    Abbreviation{"BOIRON", "BOI", kNameWord},
    Abbreviation{"BRIMONIDINE", "BRIMO", kNameWord},
    Abbreviation{"BUDESONIDE", "BUDESO", kNameWord},
    Abbreviation{"CALCIPOTRIOL", "CALCIPO", kNameWord},
    Abbreviation{"CALCIUM", "CA", kNameWord},
    Abbreviation{"CANDESARTAN", "CANDES", kNameWord},
    Abbreviation{"CARBIDOPA", "CARB", kNameWord},
    Abbreviation{"CHLORHEXIDINE", "CHLORHEX", kNameWord},
    Abbreviation{"CHLORHYDRATE", "CHLORH", kNameWord},
    Abbreviation{"CHLOROBUTANOL", "CHLOROBUT", kNameWord},
    Abbreviation{"CHLORURE", "CHLOR", kNameWord},
    Abbreviation{"CHOLECALCIFEROL", "CHOLECALC", kNameWord},
    Abbreviation{"CLAVULANIQUE", "CLAV", kNameWord},
    Abbreviation{"CODEINE", "COD", kNameWord},
    Abbreviation{"CONSEIL", "CSL", kNameWord},
    Abbreviation{"CONTINU", "CONT", kNameWord},
    Abbreviation{"COOPER", "COOP", kNameWord},
    Abbreviation{"CRISTERS", "CRT", kNameWord},
    Abbreviation{"CURIUMPHARMA", "CURIUM", kNameWord},
    Abbreviation{"DAPAGLIFLOZINE", "DAPA", kNameWord},
    Abbreviation{"DICHLOROBENZYLIQUE", "DICHLOROBENZ", kNameWord},
    Abbreviation{"DISOPROXIL", "", kNameWord},
    Abbreviation{"DISTRIBUTEUR", "DISTRIB", kNameWord},
    Abbreviation{"DORZOLAMIDE", "DORZO", kNameWord},
    Abbreviation{"EFAVIRENZ", "EFAV", kNameWord},
    Abbreviation{"EMPAGLIFLOZINE", "EMPA", kNameWord},
    Abbreviation{"EMTRICITABINE", "EMTRI", kNameWord},
    Abbreviation{"ENFANT", "ENF", kNameWord},
    Abbreviation{"ENOXAPARINE", "ENOXA", kNameWord},
    Abbreviation{"ENTACAPONE", "ENTA", kNameWord},
    Abbreviation{"ESTOMAC", "EST", kNameWord},
    Abbreviation{"ETHINYLESTRADIOL", "EE", kNameWord},
    Abbreviation{"EUROGENERICS", "EG", kNameWord},
    Abbreviation{"EVOLUGEN", "EVG", kNameWord},
    Abbreviation{"EZETIMIBE", "EZETI", kNameWord},
    Abbreviation{"FLUTICASONE", "FLUTI", kNameWord},
    Abbreviation{"FORMOTEROL", "FORMO", kNameWord},
    Abbreviation{"FRANCE", "FR", kNameWord},
    Abbreviation{"FRESENIUS", "FRES", kNameWord},
    Abbreviation{"GENERIQUE", "GEN", kNameWord},
    Abbreviation{"GILBERT", "GILB", kNameWord},
    Abbreviation{"GLYCEROL", "GLYC", kNameWord},
    Abbreviation{"GUYANE", "GUY", kNameWord},
    Abbreviation{"HEALTHCARE", "HC", kNameWord},
    Abbreviation{"HYDROCHLOROTHIAZIDE", "HCTZ", kNameWord},
    Abbreviation{"HYDROCHLOROTIAZIDE", "HCTZ", kNameWord},
    Abbreviation{"HYDROXYDE", "HYDROX", kNameWord},
    Abbreviation{"INDAPAMIDE", "INDAP", kNameWord},
    Abbreviation{"INJECTABLE", "INJ", kNameWord},
    Abbreviation{"INTERNATIONAL", "INTL", kNameWord},
    Abbreviation{"IPRATROPIUM", "IPRA", kNameWord},
    Abbreviation{"IRBESARTAN", "IRBES", kNameWord},
    Abbreviation{"LABORATOIRE", "LAB", kNameWord},
    Abbreviation{"LAMIVUDINE", "LAMI", kNameWord},
    Abbreviation{"LATANOPROST", "LATANO", kNameWord},
    Abbreviation{"LAVOISIER", "LAV", kNameWord},
    Abbreviation{"LEVODOPA", "LEVO", kNameWord},
    Abbreviation{"LIDOCAINE", "LIDO", kNameWord},
    Abbreviation{"LIMITED", "LTD", kNameWord},
    Abbreviation{"LIQUIDE", "LIQ", kNameWord},
    Abbreviation{"LOSARTAN", "LOSAR", kNameWord},
    Abbreviation{"MAGNESIUM", "MAGN", kNameWord},
    Abbreviation{"MEDICAL", "MED", kNameWord},
    Abbreviation{"MEDICINAL", "", kNameWord},
    Abbreviation{"MEDICINE", "MED", kNameWord},
    Abbreviation{"METFORMINE", "METFOR", kNameWord},
    Abbreviation{"METRONIDAZOLE", "METRO", kNameWord},
    Abbreviation{"NOURRISSON", "NOUR", kNameWord},
    Abbreviation{"NOVOLIZER", "NOVOL", kNameWord},
    Abbreviation{"OLMESARTAN", "OLME", kNameWord},
    Abbreviation{"OXYGENE", "O2", kNameWord},
    Abbreviation{"PANPHARMA", "PANPH", kNameWord},
    Abbreviation{"PARACETAMOL", "PARACET", kNameWord},
    Abbreviation{"PARAFFINE", "PARAF", kNameWord},
    Abbreviation{"PERINDOPRIL", "PERINDO", kNameWord},
    Abbreviation{"PHARMA", "PHA", kNameWord},
    Abbreviation{"PHLOROGLUCINOL", "PHLORO", kNameWord},
    Abbreviation{"PIPERACILLINE", "PIPERA", kNameWord},
    Abbreviation{"POTASSIUM", "K", kNameWord},
    Abbreviation{"PREPARATION", "PREP", kNameWord},
    Abbreviation{"PRODUCTS", "PROD", kNameWord},
    Abbreviation{"PROPIONATE", "", kNameWord},
    Abbreviation{"RAMIPRIL", "RAMI", kNameWord},
    Abbreviation{"RENAUDIN", "REN", kNameWord},
    Abbreviation{"REUNION", "REUN", kNameWord},
    Abbreviation{"ROSUVASTATINE", "ROSUVA", kNameWord},
    Abbreviation{"SALBUTAMOL", "SALBU", kNameWord},
    Abbreviation{"SALMETEROL", "SALM", kNameWord},
    Abbreviation{"SANDOZ", "SDZ", kNameWord},
    Abbreviation{"SANS", "SS", kNameWord},
    Abbreviation{"SANTE", "STE", kNameWord},
    Abbreviation{"SAXAGLIPTINE", "SAXA", kNameWord},
    Abbreviation{"SIMVASTATINE", "SIMVA", kNameWord},
    Abbreviation{"SITAGLIPTINE", "SITA", kNameWord},
    Abbreviation{"SODIUM", "NA", kNameWord},
    Abbreviation{"SPIRAMYCINE", "SPIRA", kNameWord},
    Abbreviation{"SUBSTIPHARM", "SUBST", kNameWord},
    Abbreviation{"TAZOBACTAM", "TAZO", kNameWord},
    Abbreviation{"TELMISARTAN", "TELMI", kNameWord},
    Abbreviation{"TENOFOVIR", "TENO", kNameWord},
    Abbreviation{"TIMOLOL", "TIMO", kNameWord},
    Abbreviation{"TOSILATE", "", kNameWord},
    Abbreviation{"TRAMADOL", "TRAMA", kNameWord},
    Abbreviation{"TRIMETHYLPHLOROGLUCINOL", "TRIMETHPHLORO", kNameWord},
    Abbreviation{"VALSARTAN", "VALS", kNameWord},
    Abbreviation{"VASELINE", "VASEL", kNameWord},
    Abbreviation{"VIATRIS", "VTS", kNameWord},
    Abbreviation{"VILDAGLIPTINE", "VILDA", kNameWord},
    Abbreviation{"VITAMINE", "VIT", kNameWord},
    Abbreviation{"ZENTIVA", "ZTV", kNameWord},
    Abbreviation{"ZIDOVUDINE", "ZIDO", kNameWord},
    Abbreviation{"ZYDUS", "ZYD", kNameWord},
};

bool EndsWith(std::string_view s, char c) {
  return !s.empty() && s.back() == c;
}

// "COMPRIME(S)" -> "COMPRIME", "BICOMPARTIMENTE(E)(S)" -> "BICOMPARTIMENTE".
std::string_view WithoutParenthesisedMarks(std::string_view word) {
  while (EndsWith(word, ')')) {
    const size_t open = word.rfind('(');
    if (open == std::string_view::npos || open == 0 || word.size() - open > 5) break;
    word.remove_suffix(word.size() - open);
  }
  return word;
}

// The word as written, without "(S)" and the like, then without a final S,
// then without a final E, in that order.
std::vector<std::string_view> Spellings(std::string_view word) {
  std::vector<std::string_view> spellings{word};
  word = WithoutParenthesisedMarks(word);
  if (word != spellings.back()) spellings.push_back(word);
  if (word.size() > 2 && EndsWith(word, 'S')) {
    word.remove_suffix(1);
    spellings.push_back(word);
  }
  if (word.size() > 2 && EndsWith(word, 'E')) {
    word.remove_suffix(1);
    spellings.push_back(word);
  }
  return spellings;
}

// Phrases of several words are looked up in every spelling of each word, and
// the import looks up every word of 16,000 denominations: a table by word.
const Abbreviation* FindExactly(std::string_view word, AbbreviationKind kind) {
  static const auto* const kByWord = [] {
    auto* byWord = new std::unordered_map<std::string_view, std::vector<const Abbreviation*>>();
    for (const Abbreviation& entry : kTable) (*byWord)[entry.word].push_back(&entry);
    return byWord;
  }();
  const auto found = kByWord->find(word);
  if (found == kByWord->end()) return nullptr;
  for (const Abbreviation* entry : found->second) {
    if (entry->kind == kind) return entry;
  }
  return nullptr;
}

}  // namespace

std::span<const Abbreviation> AbbreviationTable() {
  return kTable;
}

const Abbreviation* FindAbbreviation(std::string_view word, AbbreviationKind kind) {
  if (word.empty()) return nullptr;
  // Each word of a phrase may carry its own plural or feminine marks.
  std::vector<std::vector<std::string_view>> spellings;
  size_t start = 0;
  while (start <= word.size()) {
    size_t end = word.find(' ', start);
    if (end == std::string_view::npos) end = word.size();
    spellings.push_back(Spellings(word.substr(start, end - start)));
    start = end + 1;
  }
  std::vector<size_t> choice(spellings.size(), 0);
  std::string candidate;
  while (true) {
    candidate.clear();
    for (size_t i = 0; i < spellings.size(); ++i) {
      if (i > 0) candidate += ' ';
      candidate += spellings[i][choice[i]];
    }
    if (const Abbreviation* found = FindExactly(candidate, kind)) return found;
    size_t i = spellings.size();
    while (i > 0 && ++choice[i - 1] == spellings[i - 1].size()) choice[--i] = 0;
    if (i == 0) return nullptr;
  }
}

}  // namespace quillor::catalogue
