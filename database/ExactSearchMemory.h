// The exact search as the user types it: the results of the last few queries
// on a table are kept, so that typing on narrows the closest kept result
// instead of searching the whole catalogue again, and rubbing a character out
// gives back a result already found.
//
//   TExactSearchMemory searches;
//   searches.Search(table, "DOLIPRANE 100");   // the whole catalogue
//   searches.Search(table, "DOLIPRANE 1000");  // within the result above
//   searches.Search(table, "DOLIPRANE 100");   // the kept result, at once
//
// Every search leaves the table's selection exactly as
// SearchArticles(table, query, false) does, and raises what it raises. A
// kept result serves only while the table is unchanged (see
// TMyDatabase::SaveSelection), so one memory may serve several tables.
// GUI thread only, as the table's queries are.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "database/Database.h"

namespace quillor {

class TExactSearchMemory {
 public:
  // How many results are kept, most recent first.
  static constexpr size_t kKeptResults = 8;

  // The exact search of an already normalised query. An empty query does
  // nothing and gives false; otherwise true, or ERegExError as
  // SearchArticles throws it, after which nothing new is kept.
  bool Search(TMyDatabase& table, const std::string& normalisedQuery);

 private:
  struct TKept {
    std::string query;
    TSelectionSnapshot result;
  };
  // Makes the best kept result current: the query's own, else the smallest
  // one the query's result lies within. Null when none serves.
  const TKept* RestoreClosest(TMyDatabase& table, const std::string& query) const;
  void Keep(const std::string& query, TSelectionSnapshot result);

  std::deque<TKept> fKept;
};

}  // namespace quillor
