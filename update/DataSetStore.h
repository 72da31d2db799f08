// TDataSetStore: the catalogues that updates wrote, in the user's data folder
// (beside the journal of orders), each whole in a folder of its own:
//
//   <data folder>/Catalogue/Actuel.txt               which set is current, which one precedes it
//   <data folder>/Catalogue/2026-12-09_16-40-29/     one set: BaseDeDonneeArticles.db, Origine.txt
//
// A new set is written whole into a new folder (every file through the
// durable writer, then the folders synced) before anything points to it; it becomes
// current in one step, when Actuel.txt is replaced by a file naming it. The
// set it replaces is kept as the previous one, so that the update can be
// undone; older sets are removed. A failure or a cancel at any step leaves
// Actuel.txt, and so the data in use, as it was; a folder left half written
// by a crash is named nowhere and is removed by the next install.
//
// The store does not lock: the caller holds TUpdateLock around any change.
// Plain file-system work; any thread, one at a time.
#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "update/CatalogueImportStep.h"

namespace quillor::update {

// What a set says about itself (Origine.txt).
struct TSetManifest {
  std::string source;              // where its files came from (an address, a folder)
  std::string updatedAt;           // when it was made: "09/12/2026 16:40" (local time)
  TDayDate databaseDay = kNoDate;  // the public database's date (TNewCatalogue::databaseDay)
  size_t articles = 0;

  bool operator==(const TSetManifest&) const = default;
};

struct TDataSet {
  std::string id;      // the folder's name
  std::string folder;  // its path
  TSetManifest manifest;
};

class TDataSetStore {
 public:
  static constexpr char kStoreFolder[] = "Catalogue";
  static constexpr char kPointerFile[] = "Actuel.txt";
  static constexpr char kManifestFile[] = "Origine.txt";

  // `dataFolder` is the user's data folder; nothing is created until Install.
  explicit TDataSetStore(std::string dataFolder);

  // <data folder>/Catalogue.
  const std::string& Folder() const { return fFolder; }

  // The current set, and the one kept to undo the last update, each only
  // when its folder holds its article file and its manifest.
  std::optional<TDataSet> Current() const;
  std::optional<TDataSet> Previous() const;

  // Writes `files` and the manifest into a new set and makes it current; the
  // current set becomes the previous one and any older set is removed.
  // `cancelled` is asked before the set is made current: a cancel then, or a
  // failure at any step, removes what was written and changes nothing else.
  // Returns the new set, or nothing with `error` (French, Windows-1252) and
  // `wasCancelled` telling why.
  std::optional<TDataSet> Install(const std::vector<TSetFile>& files, const TSetManifest& manifest,
                                  std::time_t now, std::string* error,
                                  const std::function<bool()>& cancelled = {}, bool* wasCancelled = nullptr);

  // Makes the previous set current again, or, when there is none, no set at
  // all (the data beside the program is used again); the set undone is
  // removed. False, with `error`, when there is no current set or the change
  // cannot be written (then nothing changed).
  bool Rollback(std::string* error);

 private:
  struct TPointer {
    std::string current;
    std::string previous;
  };
  TPointer ReadPointer() const;
  bool WritePointer(const TPointer& pointer, std::string* error) const;
  std::optional<TDataSet> ReadSet(const std::string& id) const;
  // Removes the sets' folders that the pointer names not.
  void RemoveUnnamedSets(const TPointer& pointer) const;

  std::string fFolder;
};

// The manifest's text and its reading back (nothing when it is not one).
std::string ManifestText(const TSetManifest& manifest);
std::optional<TSetManifest> ReadManifest(const std::string& text);

}  // namespace quillor::update
