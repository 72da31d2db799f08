#include <gtest/gtest.h>

#include "catalogue/AsciiFolding.h"
#include "catalogue/PackSummary.h"

namespace quillor::catalogue {
namespace {

// Labels as the export writes them, folded as the import folds them.
std::string Pack(std::u32string_view label) {
  return SummarisePack(FoldToUpperAscii(label).text);
}

TEST(PackSummary, CountedUnitsInOneContainer) {
  EXPECT_EQ(Pack(U"plaquette(s) thermoform\u00E9e(s) PVC-aluminium de 8  comprim\u00E9(s)"), "B/8");
  EXPECT_EQ(Pack(U"plaquette(s) thermoform\u00E9e(s) PVC poly\u00E9thyl\u00E8ne de 10 suppositoire(s)"),
            "B/10");
  EXPECT_EQ(Pack(U"tube(s) polypropyl\u00E8ne de 16  comprim\u00E9(s)"), "T/16");
  EXPECT_EQ(Pack(U"1 flacon(s) poly\u00E9thyl\u00E8ne haute densit\u00E9 (PEHD) avec fermeture de "
                 U"s\u00E9curit\u00E9 "
                 U"enfant de 28 comprim\u00E9(s)"),
            "FL/28");
  EXPECT_EQ(Pack(U"1 flacon(s) pressuris\u00E9(s) aluminium de 200 dose(s) avec valve(s) doseuse(s)"),
            "FL/200DOS");
  EXPECT_EQ(
      Pack(U"sachet(s) polyt\u00E9r\u00E9phtalate (PET) poly\u00E9thyl\u00E8ne basse densit\u00E9 (PEBD) "
           U"aluminium de 4 empl\u00E2tre(s)"),
      "SACH/4");
}

TEST(PackSummary, SeveralContainersOfCountedUnits) {
  EXPECT_EQ(Pack(U"2 plaquette(s) PVC PVDC aluminium de 28 comprim\u00E9(s)"), "2X28");
  EXPECT_EQ(Pack(U"60 plaquette(s) thermoform\u00E9e(s) PVC-Aluminium de 1 comprim\u00E9(s)"), "60X1");
  EXPECT_EQ(Pack(U"3 flacon(s) en verre de 30 g\u00E9lule(s)"), "3FL/30");
}

TEST(PackSummary, MeasuredContents) {
  EXPECT_EQ(Pack(U"1 flacon(s) poly\u00E9thyl\u00E8ne de 125 ml"), "FL/125ML");
  EXPECT_EQ(Pack(U"1 tube(s) aluminium verni de 93 g"), "T/93G");
  EXPECT_EQ(Pack(U"20 sachet(s) polyt\u00E9r\u00E9phtalate (PET) aluminium poly\u00E9thyl\u00E8ne de 4,3 ml"),
            "20X4,3ML");
  EXPECT_EQ(Pack(U"10 r\u00E9cipient(s) unidose(s) poly\u00E9thyl\u00E8ne de 5  ml"), "10X5ML");
  // "7,5 a 15 MBQ/ML": no unit after the number, no content read.
  EXPECT_EQ(Pack(U"1 flacon(s) en verre de 7,5 \u00E0 15 MBq/ml"), "FL");
  EXPECT_EQ(Pack(U"1 flacon(s) en verre de 74 MBq/mL"), "FL/74MBQ/ML");
  // The grouping in brackets only repeats the count.
  EXPECT_EQ(Pack(U"4 (2 \u00D7 2) seringues pr\u00E9remplies  en verre de 1 ml (conditionnement multiple)"),
            "4X1ML");
}

TEST(PackSummary, NoContentOrNoKnownContainer) {
  EXPECT_EQ(Pack(U"1 flacon(s) en verre"), "FL");
  EXPECT_EQ(Pack(U"5 flacon(s) en verre"), "5FL");
  EXPECT_EQ(Pack(U"12 sachet(s) papier aluminium poly\u00E9thyl\u00E8ne"), "12SACH");
  // A content, then its container and how many the box holds.
  EXPECT_EQ(Pack(U"0,5 g en flacon(s) en verre de 15 ml ; bo\u00EEte de 25"), "25X0,5G");
  EXPECT_EQ(Pack(U"1 g en flacon(s) verre de 15 ml, bo\u00EEte de 1 flacon"), "FL/1G");
  EXPECT_EQ(Pack(U"comprim\u00E9s de 30"), "B/30");
  EXPECT_EQ(Pack(U""), "");
  EXPECT_EQ(Pack(U"conditionnement hospitalier"), "COND");
}

}  // namespace
}  // namespace quillor::catalogue
