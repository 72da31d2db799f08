// The pack part of a designation, read from a presentation's label in the
// export ("plaquette(s) PVC-aluminium de 8 comprimé(s)" -> "B/8"):
//
//   units counted (tablets, capsules, patches...)
//     one container        B/30  (a box of blisters)   FL/30  T/16  FL/200DOS
//     N containers of Q    2X28  28X1 (blisters)       3FL/30 (other containers)
//   a content measured (ML, G, UI...)
//     one container        FL/150ML  T/30G
//     N containers         20X2ML  12X4G
//   no content             FL  5FL  12SACH
//
// The count, container and content are the label's leading count, its first
// container word and its first "DE <quantity> <unit>"; containers and units
// are those of the abbreviation table. A label of several parts (" - ", " + ")
// counts every unit of them: 21 + 7 tablets make B/28, two bottles of 90 make
// 2FL/90, a vial of 5,5 ml and 3 of 8,3 ml make FL/5,5ML+3X8,3ML; a figure
// that is the sum of all the others ("a starter pack of 27 tablets") is the
// whole. Parts that are not the product (swabs, a syringe to give it, and for
// a powder with its solvent, the solvent) are left out. A label where nothing
// of that is found gives "". Stateless; any thread.
#pragma once

#include <string>
#include <string_view>

namespace quillor::catalogue {

// REQUIRES: `label` folded to upper-case ASCII with single spaces. `kit`: the
// product is a powder (or a concentrate) with its solvent, whose pack is the
// label's first part.
std::string SummarisePack(std::string_view label, bool kit = false);

}  // namespace quillor::catalogue
