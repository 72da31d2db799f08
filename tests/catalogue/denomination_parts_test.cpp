#include <gtest/gtest.h>

#include "catalogue/AsciiFolding.h"
#include "catalogue/DenominationParts.h"

namespace quillor::catalogue {
namespace {

DenominationParts Read(std::u32string_view denomination, std::u32string_view form) {
  return ReadDenominationParts(FoldToUpperAscii(denomination).text, FoldToUpperAscii(form).text);
}

TEST(DenominationParts, NameStrengthQualifiersAndForm) {
  const DenominationParts doliprane = Read(U"DOLIPRANE 1000 mg, comprim\u00E9", U"comprim\u00E9");
  EXPECT_EQ(doliprane.name, Words{"DOLIPRANE"});
  EXPECT_EQ(doliprane.strength, Words{"1000MG"});
  EXPECT_TRUE(doliprane.qualifiers.empty());
  EXPECT_EQ(doliprane.form, Words{"CPR"});

  const DenominationParts nurofen = Read(
      U"NUROFENPRO 20 mg/ml ENFANTS ET NOURRISSONS SANS SUCRE, suspension buvable \u00E9dulcor\u00E9e au "
      U"maltitol",
      U"suspension buvable");
  EXPECT_EQ(nurofen.name, Words{"NUROFENPRO"});
  EXPECT_EQ(nurofen.strength, Words{"20MG/ML"});
  EXPECT_EQ(nurofen.qualifiers, (Words{"ENFANTS", "ET", "NOURRISSONS", "SANS", "SUCRE"}));
  // The form stops at the first word the table does not know.
  EXPECT_EQ(nurofen.form, (Words{"SUSP", "BUV"}));

  // A head without digits is all name.
  const DenominationParts fervex =
      Read(U"FERVEX ADULTES SANS SUCRE, granul\u00E9s pour solution buvable en sachet",
           U"granul\u00E9s pour solution buvable");
  EXPECT_EQ(fervex.name, (Words{"FERVEX", "ADULTES", "SANS", "SUCRE"}));
  EXPECT_TRUE(fervex.strength.empty());
  EXPECT_EQ(fervex.form, (Words{"GRAN", "SOL", "BUV"}));  // "en sachet": the pack says it
}

TEST(DenominationParts, UnitsAreAbbreviatedAndGluedToTheirNumbers) {
  EXPECT_EQ(Read(U"BETADINE DERMIQUE 10 POUR CENT, solution pour application locale", U"").strength,
            Words{"10%"});
  EXPECT_EQ(Read(U"PRIMPERAN 10 mg/2 ml, solution injectable en ampoule", U"").strength, Words{"10MG/2ML"});
  EXPECT_EQ(Read(U"VITAMINE B12 GERDA 1000 \u00B5g/4 ml, solution injectable", U"").strength,
            Words{"1000MCG/4ML"});
  EXPECT_EQ(Read(U"OROCAL VITAMINE D3 500 mg/400 U.I., comprim\u00E9 \u00E0 sucer", U"").strength,
            Words{"500MG/400UI"});
  EXPECT_EQ(Read(U"INSULATARD 100 unit\u00E9s internationales/ml, suspension injectable", U"").strength,
            Words{"100UI/ML"});
  // A dose is written DOS, as packs write it.
  EXPECT_EQ(Read(U"SERETIDE 125 microgrammes/25 microgrammes/dose, suspension pour inhalation", U"").strength,
            Words{"125MCG/25MCG/DOS"});
  // Thousands written with a space, and what the brackets say again, go.
  EXPECT_EQ(Read(U"ENOXAPARINE VENIPHARM 8 000 UI (80 mg)/0,8 mL, solution injectable", U"").strength,
            Words{"8000UI/0,8ML"});
  // A name of one letter takes its number; the groups after it are one number.
  const DenominationParts a313 = Read(U"A 313 200 000 UI POUR CENT, pommade", U"pommade");
  EXPECT_EQ(a313.name, (Words{"A", "313"}));
  EXPECT_EQ(a313.strength, (Words{"200000UI", "%"}));
  EXPECT_EQ(Read(U"X 1 500 MG, pommade", U"").strength, Words{"1500MG"});
  // A segment after the comma that starts with a digit is more strength.
  const DenominationParts gibiter =
      Read(U"GIBITER EASYHALER, 160 microgrammes/4,5 microgrammes/dose, poudre pour inhalation",
           U"poudre pour inhalation");
  EXPECT_EQ(gibiter.name, (Words{"GIBITER", "EASYHALER"}));
  EXPECT_EQ(gibiter.strength, Words{"160MCG/4,5MCG/DOS"});
  EXPECT_EQ(gibiter.form, (Words{"PDR", "INHAL"}));
}

TEST(DenominationParts, TheFormTakesTheFirstWayOfTakingIt) {
  EXPECT_EQ(Read(U"OROCAL 500 mg, comprim\u00E9 \u00E0 sucer/\u00E0 croquer", U"").form,
            (Words{"CPR", "SUC"}));
  EXPECT_EQ(Read(U"X 1 g, comprim\u00E9 dispersible ou \u00E0 croquer", U"").form, Words{"CPR"});
  EXPECT_EQ(Read(U"X 1 g, solution injectable/pour perfusion", U"").form, (Words{"SOL", "INJ"}));
  EXPECT_EQ(
      Read(U"X 1 g, comprim\u00E9 pellicul\u00E9 s\u00E9cable \u00E0 lib\u00E9ration prolong\u00E9e", U"")
          .form,
      (Words{"CPR", "LP"}));
  EXPECT_EQ(Read(U"X 1 g, g\u00E9lule gastro-r\u00E9sistante", U"").form, Words{"GELU"});
}

TEST(DenominationParts, WithoutACommaTheFormColumnTellsWhereTheFormStarts) {
  const DenominationParts activir = Read(U"ACTIVIR 5 % cr\u00E8me", U"cr\u00E8me");
  EXPECT_EQ(activir.name, Words{"ACTIVIR"});
  EXPECT_EQ(activir.strength, Words{"5%"});
  EXPECT_EQ(activir.form, Words{"CREME"});
  const DenominationParts atropine =
      Read(U"ATROPINE SULFATE ACCORD 0,1 mg/mL solution injectable en seringue pr\u00E9remplie",
           U"solution injectable");
  EXPECT_EQ(atropine.name, (Words{"ATROPINE", "SULFATE", "ACCORD"}));
  EXPECT_EQ(atropine.strength, Words{"0,1MG/ML"});
  EXPECT_EQ(atropine.form, (Words{"SOL", "INJ"}));
  // Neither a comma nor the form: the form comes from the form column alone.
  const DenominationParts compose = Read(U"ACIDUM PHOSPHORICUM COMPOSE", U"solution buvable en gouttes");
  EXPECT_EQ(compose.name, (Words{"ACIDUM", "PHOSPHORICUM", "COMPOSE"}));
  EXPECT_EQ(compose.form, (Words{"SOL", "BUV", "GTT"}));
  // A form the table cannot read gives the form column's.
  EXPECT_EQ(Read(U"ABIES NIGRA BOIRON, degr\u00E9 de dilution compris entre 2CH et 30CH", U"granules").form,
            Words{"GRAN"});
}

}  // namespace
}  // namespace quillor::catalogue
