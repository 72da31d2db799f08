// The public drug database's files that an update fetches, by the names they
// are published under (base-donnees-publique.medicaments.gouv.fr), with what
// each one must look like to be taken. This list is the one place that says
// what an update downloads: a file the import learns to read is added here.
//
// Constant data; any thread.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace quillor::update {

// What a file holds, which says how the import uses it.
enum class TFileRole {
  kSpecialities,   // CIS_bdpm.txt: one line per speciality
  kPresentations,  // CIS_CIP_bdpm.txt: one line per presentation, with its CIP and price
  kCompositions,   // CIS_COMPO_bdpm.txt: the substances of each speciality
  kGroups,         // CIS_GENER_bdpm.txt: the register of generic groups
  kConditions,     // CIS_CPD_bdpm.txt: the conditions of dispensing
  kAvailability,   // CIS_CIP_Dispo_Spec.txt: the medicines agency's availability
};

struct TPublicFile {
  std::string_view name;  // the published name, also the name on the server
  TFileRole role;
  // Tab-separated fields on every line as published, the first a number (a
  // code); a line with fewer is not a line of this file (a file cut inside a
  // line, another file)...
  size_t fields;
  // ...unless the file lets a record go on over the next lines: such a line
  // does not start with a number.
  bool continuedLines = false;
};

// Every file a whole update fetches, in the order they are fetched.
const std::vector<TPublicFile>& CatalogueFiles();

// The file of that role.
const TPublicFile& FileOfRole(TFileRole role);

}  // namespace quillor::update
