// The audit's rules on their own: for each kind of fault, designations that
// have it (taken from the catalogue the import once wrote) and designations
// of the same articles that read right.
#include <gtest/gtest.h>

#include <set>

#include "catalogue/DesignationAudit.h"

namespace quillor::catalogue {
namespace {

AuditedArticle Article(std::string_view designation, std::string_view denomination, std::string_view form,
                       std::string_view label, std::string_view cip = "3000001") {
  return AuditedArticle{cip, designation, denomination, form, label, true};
}

std::set<AuditFault> Faults(const AuditedArticle& article) {
  std::set<AuditFault> faults;
  for (const AuditFinding& finding : AuditArticle(article, 0)) faults.insert(finding.fault);
  return faults;
}

std::string Details(const AuditedArticle& article) {
  std::string details;
  for (const AuditFinding& finding : AuditArticle(article, 0)) {
    details += std::string(AuditFaultName(finding.fault)) + ": " + finding.detail + "\n";
  }
  return details;
}

using enum AuditFault;

TEST(DesignationAudit, ANumberCutInsideIsFound) {
  const std::string_view orabloc = "ORABLOC 40 MG/ML ADRENALINEE AU 1/100 000, SOLUTION INJECTABLE";
  const std::string_view cartridges =
      "50 CARTOUCHE(S) EN VERRE DE 1,8 ML AVEC PISTON(S) CAOUTCHOUC SOUS PLAQUETTE";
  EXPECT_EQ(Faults(Article("ORABLOC 40MG/ML SOL 50X1,8ML 1/100", orabloc, "SOLUTION INJECTABLE", cartridges)),
            std::set<AuditFault>{kCutNumber});
  EXPECT_EQ(
      Details(Article("ORABLOC 40MG/ML SOL 50X1,8ML 1/100", orabloc, "SOLUTION INJECTABLE", cartridges)),
      "cut number: 100 is a piece of a longer number\n");
  EXPECT_EQ(
      Faults(Article("ORABLOC 40MG/ML ADRE 1/100000 50X1,8ML", orabloc, "SOLUTION INJECTABLE", cartridges)),
      std::set<AuditFault>{});
  // A power of ten is the number it stands for.
  const std::string_view zolgensma =
      "ZOLGENSMA 2 X 10 000 000 000 000 DU VECTEUR/ML, SOLUTION POUR PERFUSION";
  const std::string_view vials = "1 FLACON(S) EN VERRE DE 5,5 ML - 3 FLACON(S) DE 8,3 ML";
  EXPECT_TRUE(
      Faults(Article("ZOLGENSMA 2 X 10 000 000 SOL FL/5,5ML 3", zolgensma, "", vials)).count(kCutNumber));
  EXPECT_EQ(Faults(Article("ZOLGENSMA 2X10^13VG/ML FL/5,5ML+3X8,3ML", zolgensma, "", vials)),
            std::set<AuditFault>{});
  // The pack's count cut from its thousands: "5POCHE/2" of 2 500 ml.
  EXPECT_TRUE(Faults(Article("MEDNUTRIFLEX OMEGA E EMULS PERF 5POCHE/2",
                             "MEDNUTRIFLEX OMEGA E, EMULSION POUR PERFUSION", "",
                             "5 POCHES EN POLYPROPYLENE A 3 COMPARTIMENTS DE 2 500 ML"))
                  .count(kCutNumber));
}

TEST(DesignationAudit, EveryStrengthStaysWithItsUnitAndWhatItIsPer) {
  const std::string_view zarzio =
      "ZARZIO 30 MU/0,5 ML, SOLUTION INJECTABLE OU POUR PERFUSION EN SERINGUE PREREMPLIE";
  const std::string_view syringe = "1 SERINGUE(S) PREREMPLIE(S) EN VERRE DE 0,5 ML AVEC AIGUILLE(S)";
  EXPECT_EQ(Faults(Article("ZARZIO 30 SOL SER/0,5ML AIGUILLE", zarzio, "", syringe)),
            std::set<AuditFault>{kLostUnit});
  EXPECT_EQ(Faults(Article("ZARZIO 30MU/0,5ML SOL INJ SER/0,5ML", zarzio, "", syringe)),
            std::set<AuditFault>{});
  const std::string_view sterogyl = "STEROGYL 15 \"H\" 600 000 UI/1,5 ML, SOLUTION INJECTABLE IM EN AMPOULE";
  const std::string_view ampoule = "1 AMPOULE(S) EN VERRE DE 1,5 ML";
  EXPECT_EQ(Faults(Article("STEROGYL 15 \"H\" SOL AMP/1,5ML", sterogyl, "", ampoule)),
            std::set<AuditFault>{kLostStrength});
  EXPECT_EQ(Faults(Article("STEROGYL 15 \"H\" 600000UI/1,5ML AMP/1,5ML", sterogyl, "", ampoule)),
            std::set<AuditFault>{});
  // "/ML" is part of the unit.
  const std::string_view insulin = "INSULATARD 100 UNITES INTERNATIONALES/ML, SUSPENSION INJECTABLE";
  EXPECT_EQ(Faults(Article("INSULATARD 100UI SUSP FL/10ML", insulin, "", "1 FLACON(S) DE 10 ML")),
            std::set<AuditFault>{kLostUnit});
  EXPECT_EQ(Faults(Article("INSULATARD 100UI/ML SUSP FL/10ML", insulin, "", "1 FLACON(S) DE 10 ML")),
            std::set<AuditFault>{});
  // What brackets say again is not required; "MAG 2 100 MG" is 2 and 100 mg.
  EXPECT_EQ(Faults(Article("NOVOSEVEN 1MG PDR FL", "NOVOSEVEN 1 MG (50 KUI), POUDRE ET SOLVANT", "",
                           "1 FLACON(S)")),
            std::set<AuditFault>{});
  EXPECT_EQ(
      Faults(Article("MAG 2 100MG CPR B/30", "MAG 2 100 MG, COMPRIME", "", "PLAQUETTE(S) DE 30 COMPRIME(S)")),
      std::set<AuditFault>{});
}

TEST(DesignationAudit, ACombinationKeepsEachStrengthAndNamesEachSubstance) {
  const std::string_view dorzolamide = "DORZOLAMIDE/TIMOLOL EG 20 MG/ML + 5 MG/ML, COLLYRE EN SOLUTION";
  const std::string_view bottle = "1 FLACON(S) COMPTE-GOUTTES POLYETHYLENE DE 5 ML";
  EXPECT_EQ(Faults(Article("DORZOLAMIDE/TIMOLOL EG 20MG/ML FL/5ML", dorzolamide, "", bottle)),
            std::set<AuditFault>{kLostCombination});
  EXPECT_EQ(Faults(Article("DORZOLAMIDE/TIMOLOL EG 20+5MG/ML FL/5ML", dorzolamide, "", bottle)),
            std::set<AuditFault>{});
  const std::string_view perindopril =
      "PERINDOPRIL TOSILATE/INDAPAMIDE TEVA 2,5 MG/0,625 MG, COMPRIME PELLICULE";
  const std::string_view bottles = "3 FLACON(S) POLYPROPYLENE DE 30 COMPRIME(S)";
  EXPECT_EQ(Faults(Article("PERINDO 2,5MG/0,625MG CPR 3FL/30", perindopril, "", bottles)),
            std::set<AuditFault>{kLostSubstance});
  // A documented abbreviation or the first letters of a substance name it.
  EXPECT_EQ(Faults(Article("PERINDO/INDAP TEVA 2,5/0,625MG 3FL/30", perindopril, "", bottles)),
            std::set<AuditFault>{});
  EXPECT_EQ(Faults(Article("IRBES/HCTZ ARW 150/12,5MG CPR B/30",
                           "IRBESARTAN/HYDROCHLOROTHIAZIDE ARROW 150 MG/12,5 MG, COMPRIME", "",
                           "PLAQUETTE(S) DE 30 COMPRIME(S)")),
            std::set<AuditFault>{});
  // A product named again with another strength.
  EXPECT_EQ(Faults(Article("JINARC 30MG CPR B/56", "JINARC 30 MG, COMPRIME + JINARC 60 MG, COMPRIME", "",
                           "PLAQUETTE(S) DE 56 (28X30 MG + 28X60 MG) COMPRIMES")),
            std::set<AuditFault>{kLostCombination});
  EXPECT_EQ(Faults(Article("JINARC 30+60MG CPR B/56", "JINARC 30 MG, COMPRIME + JINARC 60 MG, COMPRIME", "",
                           "PLAQUETTE(S) DE 56 (28X30 MG + 28X60 MG) COMPRIMES")),
            std::set<AuditFault>{});
}

TEST(DesignationAudit, OperatorsWithNothingOnOneSideAreFound) {
  const std::string_view cosopt = "COSOPT 20 MG/ML + 5 MG/ML, COLLYRE EN SOLUTION";
  EXPECT_TRUE(Faults(Article("COSOPT 20MG/ML + COLLY FL/5ML BASSE", cosopt, "", "1 FLACON(S) DE 5 ML"))
                  .count(kDanglingOperator));
  for (std::string_view bad :
       {"ALPHA 10MG/ B/30", "ALPHA 10MG ( B/30", "ALPHA X B/30", "ALPHA 10MG - B/30"}) {
    EXPECT_TRUE(Faults(Article(bad, "ALPHA 10 MG, COMPRIME", "", "PLAQUETTE(S) DE 30 COMPRIME(S)"))
                    .count(kDanglingOperator))
        << bad;
  }
  // The name's own first word, and X between two numbers, are no operators.
  EXPECT_EQ(
      Faults(Article("X PREP PDR ORAL SACH/5G", "X PREP, POUDRE ORALE EN SACHET", "", "1 SACHET(S) DE 5 G")),
      std::set<AuditFault>{});
}

TEST(DesignationAudit, TheReleaseAndTheWayOfTakingItStay) {
  const std::string_view clarithromycin =
      "CLARITHROMYCINE BIOGARAN 500 MG, COMPRIME PELLICULE A LIBERATION MODIFIEE";
  const std::string_view blister = "PLAQUETTE(S) PVC DE 10 COMPRIME(S)";
  EXPECT_EQ(Faults(Article("CLARITHROMYCINE BIOGARAN 500MG CPR B/10", clarithromycin, "", blister)),
            std::set<AuditFault>{kLostRelease});
  EXPECT_EQ(Faults(Article("CLARITHROMYCINE BIOGARAN 500MG LM B/10", clarithromycin, "", blister)),
            std::set<AuditFault>{});
  // The form column says it where the denomination misspells it.
  EXPECT_EQ(Faults(Article("GLICLAZIDE EG 60MG CPR B/30",
                           "GLICLAZIDE EG 60 MG, COMPRIME SECABLE A LIBERATION MOFIFIEE",
                           "COMPRIME SECABLE A LIBERATION MODIFIEE", "PLAQUETTE(S) DE 30 COMPRIME(S)")),
            std::set<AuditFault>{kLostRelease});
  // Either way of taking it is enough when the form offers both.
  EXPECT_EQ(Faults(Article("CACIT 500MG CPR SUC B/60", "CACIT 500 MG, COMPRIME A SUCER OU A CROQUER", "",
                           "PLAQUETTE(S) DE 60 COMPRIME(S)")),
            std::set<AuditFault>{});
  // "LP.8.1" names a vaccine's variant, not a release.
  EXPECT_EQ(Faults(Article("COMIRNATY LP.8.1 30MCG/DOS 10FL/6DOS",
                           "COMIRNATY LP.8.1 30 MICROGRAMMES/DOSE, DISPERSION INJECTABLE", "",
                           "10 FLACONS EN VERRE MULTIDOSES DE 6 DOSES, 60 DOSES")),
            std::set<AuditFault>{});
}

TEST(DesignationAudit, ThePackCountsTheLabelsUnits) {
  const std::string_view optidril = "OPTIDRIL 30 MICROGRAMMES/150 MICROGRAMMES, COMPRIME PELLICULE";
  const std::string_view twoBlisters =
      "1 PLAQUETTE(S) PVC PVDC ALUMINIUM DE 21 COMPRIME(S) - 1 PLAQUETTE(S) PVC PVDC ALUMINIUM DE 7 "
      "COMPRIME(S)";
  EXPECT_EQ(Details(Article("OPTIDRIL 30MCG/150MCG CPR B/21", optidril, "", twoBlisters)),
            "wrong pack: B/21 counts 21 units, the label 28\n");
  EXPECT_EQ(Faults(Article("OPTIDRIL 30MCG/150MCG CPR B/28", optidril, "", twoBlisters)),
            std::set<AuditFault>{});
  // A starter pack states its whole.
  const std::string_view starter =
      "PLAQUETTES DE 4 COMPRIMES DE 10 MG - PLAQUETTES DE 4 COMPRIMES DE 20 MG - PLAQUETTES DE 19 COMPRIMES "
      "DE 30 "
      "MG. ETUI D'INITIATION DE 27 COMPRIMES";
  EXPECT_TRUE(
      Faults(Article("APREMILAST ACCORD 10MG CPR B/4", "APREMILAST ACCORD 10 MG, COMPRIME", "", starter))
          .count(kWrongPack));
  EXPECT_FALSE(Faults(Article("APREMILAST ACCORD 10+20+30MG CPR B/27", "APREMILAST ACCORD 10 MG, COMPRIME",
                              "", starter))
                   .count(kWrongPack));
  // A vial of powder is no box of 15 units; several vials are counted.
  EXPECT_EQ(Faults(Article("PIPERACILLINE PANPHARMA 1G PDR B/15", "PIPERACILLINE PANPHARMA 1 G, POUDRE", "",
                           "1 G EN FLACON(S) VERRE DE 15 ML, BOITE DE 1 FLACON")),
            std::set<AuditFault>{kWrongPack});
  EXPECT_EQ(Faults(Article("ZOLGENSMA 2X10^13VG/ML FL/5,5ML",
                           "ZOLGENSMA 2 X 10 000 000 000 000 DU VECTEUR/ML, SOLUTION", "",
                           "1 FLACON(S) EN VERRE DE 5,5 ML - 3 FLACON(S) DE 8,3 ML")),
            std::set<AuditFault>{kWrongPack});
  // Words that tell a sibling apart may follow the pack; no pack at all is a fault.
  EXPECT_EQ(Faults(Article("REBIF 22MCG SOL INJ 12X0,5ML STYLO", "REBIF 22 MICROGRAMMES, SOLUTION INJECTABLE",
                           "", "12 STYLO(S) PREREMPLI(S) DE 0,5 ML")),
            std::set<AuditFault>{});
  EXPECT_EQ(Faults(Article("MONTELUKAST ARROW LAB 4MG GRAN 28", "MONTELUKAST ARROW LAB 4 MG, GRANULES", "",
                           "28 SACHET(S)-DOSE(S) ALUMINIUM")),
            std::set<AuditFault>{kWrongPack});
  // Two strips of 30 doses in one inhaler are 30 doses.
  EXPECT_EQ(Faults(Article("RELVAR ELLIPTA 92/22MCG PDR B/30DOS",
                           "RELVAR ELLIPTA 92 MICROGRAMMES/22 MICROGRAMMES, POUDRE", "",
                           "1 PLAQUETTE(S) DE 30 DOSE(S) - 1 PLAQUETTE(S) DE 30 DOSE(S) AVEC INHALATEUR")),
            std::set<AuditFault>{});
}

TEST(DesignationAudit, MangledTextIsFound) {
  EXPECT_EQ(Faults(Article("TRAMA/PARACET TEVA 37.5MG/325MG CPR B/20",
                           "TRAMADOL/PARACETAMOL TEVA 37.5 MG/325 MG, COMPRIME", "",
                           "PLAQUETTE(S) DE 20 COMPRIME(S)")),
            std::set<AuditFault>{kMangledText});
  EXPECT_EQ(
      Faults(Article("DICLOFENAC EG 50 MG,COMPRIME CPR B/30", "DICLOFENAC EG 50 MG,COMPRIME GASTRO-RESISTANT",
                     "", "PLAQUETTE(S) DE 30 COMPRIME(S)")),
      std::set<AuditFault>{kMangledText});
  EXPECT_EQ(
      Details(Article("GLICLAZIDE EG LABO LAB EG 30MG LM B/30",
                      "GLICLAZIDE EG LABO LABORATOIRES EUROGENERICS 30 MG, COMPRIME A LIBERATION MODIFIEE",
                      "", "PLAQUETTE(S) DE 30 COMPRIME(S)")),
      "mangled text: EG written twice\n");
  // A ratio of like units is no word written twice.
  EXPECT_EQ(Faults(Article("INOMAX 800PPM MOL/MOL GAZ BOUT/10L",
                           "INOMAX 800 PPM MOLE/MOLE, GAZ POUR INHALATION", "", "1 BOUTEILLE(S) DE 10 L")),
            std::set<AuditFault>{});
}

TEST(DesignationAudit, ArticlesSharingADesignationMustBeOneProduct) {
  // A syringe and a pen, one designation: both articles are found.
  const std::vector<AuditedArticle> merged = {
      Article("CIMZIA 200MG SOL INJ 2X1ML", "CIMZIA 200 MG, SOLUTION INJECTABLE EN STYLO PREREMPLI", "",
              "2 STYLOS PREREMPLIS EN VERRE DE 1 ML", "3007628"),
      Article("CIMZIA 200MG SOL INJ 2X1ML", "CIMZIA 200 MG SOLUTION INJECTABLE EN SERINGUE PREREMPLIE", "",
              "2 SERINGUE(S) PREREMPLIE(S) EN VERRE DE 1 ML", "3973200")};
  const AuditReport report = AuditArticles(merged, true);
  EXPECT_EQ(report.articles[static_cast<size_t>(kMergedProducts)], 2u);
  EXPECT_EQ(report.faultyArticles, 2u);
  // A parallel import, or blisters of another material, or "2%" for "2 %":
  // one product, which may share a designation.
  const std::vector<AuditedArticle> same = {
      Article("ZYPREXA 5MG CPR B/28", "ZYPREXA 5 MG, COMPRIME ENROBE", "",
              "PLAQUETTE(S) THERMOFORMEE(S) ALUMINIUM DE 28 COMPRIME(S)", "3423770"),
      Article("ZYPREXA 5MG CPR B/28", "ZYPREXA 5 MG, COMPRIME ENROBE", "",
              "PLAQUETTE(S) ALUMINIUM DE 28 COMPRIME(S)(DISTRIBUTEUR PARALLELE : INTER TRADE PHARMA)",
              "4950974"),
      Article("KETODERM 2% CREME T/15G", "KETODERM 2 %, CREME", "", "1 TUBE(S) ALUMINIUM DE 15 G", "3292492"),
      Article("KETODERM 2% CREME T/15G", "KETODERM 2%, CREME", "", "TUBE(S) ALUMINIUM DE 15 G", "4900216")};
  EXPECT_EQ(AuditArticles(same, true).faultyArticles, 0u);
}

TEST(DesignationAudit, DesignationsToldApartByNothingMeaningfulAreFound) {
  // Word order, a bare number, a word such as ABROGEE.
  for (const auto& [first, second] : std::vector<std::pair<std::string_view, std::string_view>>{
           {"ZYPREXA 5MG B/28 CPR", "ZYPREXA 5MG CPR B/28"},
           {"KETODERM 2% CREME T/15G 2", "KETODERM 2% CREME T/15G"},
           {"EMLAPATCH 5% PANS B/20 ABROGEE", "EMLAPATCH 5% PANS B/20"}}) {
    const std::vector<AuditedArticle> pair = {Article(first, "X 1 MG, COMPRIME", "", "B", "3000001"),
                                              Article(second, "X 1 MG, COMPRIME", "", "B", "3000002")};
    const AuditReport report = AuditArticles(pair, true);
    EXPECT_EQ(report.articles[static_cast<size_t>(kMeaninglessDifference)], 2u) << first;
  }
  // A number of the name, or a word, tells products apart.
  const std::vector<AuditedArticle> named = {
      Article("XENETIX 300 SOL INJ FL/20ML", "XENETIX 300, SOLUTION INJECTABLE", "", "1 FLACON DE 20 ML",
              "1"),
      Article("XENETIX 350 SOL INJ FL/20ML", "XENETIX 350, SOLUTION INJECTABLE", "", "1 FLACON DE 20 ML",
              "2"),
      Article("OCTAPLASLG SOL PERF 10X200ML A", "OCTAPLASLG, SOLUTION", "", "10 POCHE(S) DE 200 ML. GROUPE A",
              "3"),
      Article("OCTAPLASLG SOL PERF 10X200ML AB", "OCTAPLASLG, SOLUTION", "",
              "10 POCHE(S) DE 200 ML. GROUPE AB", "4")};
  EXPECT_EQ(AuditArticles(named, true).articles[static_cast<size_t>(kMeaninglessDifference)], 0u);
}

TEST(DesignationAudit, WhatCannotBeOrderedIsAFaultUnlessEveryPresentationIsAsked) {
  AuditedArticle abrogated = Article("CHAMPIX 0,5MG+1MG CPR B/25", "CHAMPIX 0,5 MG ET 1 MG, COMPRIME", "",
                                     "PLAQUETTE(S) DE 11 COMPRIME(S) - PLAQUETTE(S) DE 14 COMPRIME(S)");
  abrogated.orderable = false;
  EXPECT_EQ(AuditArticles({abrogated}, true).articles[static_cast<size_t>(kNotOrderable)], 1u);
  EXPECT_EQ(AuditArticles({abrogated}, false).faultyArticles, 0u);
}

TEST(DesignationAudit, EveryKindHasAName) {
  std::set<std::string_view> names;
  for (size_t kind = 0; kind < kAuditFaultKinds; ++kind) {
    names.insert(AuditFaultName(static_cast<AuditFault>(kind)));
  }
  EXPECT_EQ(names.size(), kAuditFaultKinds);
  EXPECT_EQ(names.count("?"), 0u);
}

}  // namespace
}  // namespace quillor::catalogue
