// The greedy similarity measure, computed without recounting conflicts.
//
// The measure: every pair of equal bytes (i in the query, j in the value) is a
// candidate link, listed by i then j. A link conflicts with every candidate
// that is not strictly before it or strictly after it in both texts (itself
// included). Each pass adds every candidate's current conflict count to its
// running total, chooses the first candidate in list order with the smallest
// total, and drops every candidate that conflicts with the choice.
//
// Why this can be fast: the chosen links form a chain, and the candidates
// still alive are exactly the original links that lie strictly inside one of
// the boxes between two consecutive chosen links (or before the first, or
// after the last). A link only ever conflicts with links of its own box, so
// its current count is "links in its box" minus "links strictly before it in
// the box" minus "links strictly after it in the box": three rectangle counts,
// each O(1) from one 2-D prefix table of the equal-byte grid. Choosing a link
// splits one box in two; only the links of that box get new counts.
//
// Boxes follow each other in both texts, so in list order the links of one
// box form one run: a split rewrites that run in place and leaves dead
// entries (total at the maximum, count 0) that the per-pass loops skip by
// value, which keeps those loops branch-free over small integer lanes.
//
// Only the order of positions matters, so value positions whose byte is not
// in the query are dropped before anything else: the table has one row per
// remaining position.
#include <algorithm>
#include <cstddef>
#include <limits>
#include <memory>
#include <type_traits>
#include <vector>

#include "text/Similarity.h"
#include "text/StringManager.h"

namespace quillor {
namespace {

// The links strictly inside (loA, hiA) x (loB, hiB); they occupy [begin, end)
// of the link arrays, which a split leaves followed by dead entries.
struct Box {
  int32_t loA;
  int32_t loB;
  int32_t hiA;
  int32_t hiB;
  size_t begin;
  size_t end;
};

// What every counter width shares: the query's bytes and the current value
// reduced to them.
struct ReducedPair {
  // Row of each byte value in the cumulative tables (0: not in the query).
  int32_t rowOfByte[256] = {};
  int32_t distinctBytes = 0;
  // The value reduced to the bytes the query holds, as their rows.
  std::vector<int32_t> keptRows;
  // Kept value positions (1-based, after the reduction) grouped by row.
  std::vector<int32_t> bucketStart;
  std::vector<int32_t> bucketNext;
  std::vector<int32_t> bucket;
};

// Table rows are padded to whole vector registers, and to a power of two so
// that a link's place in the table gives back its query position as a mask.
constexpr size_t kLanePadding = 16;

size_t PaddedWidth(size_t queryLength) {
  size_t width = kLanePadding;
  while (width < queryLength + 1) width *= 2;
  return width;
}

template <class Count>
struct Workspace {
  bool prepared = false;
  // Row r (r >= 1) holds, for i = 0..la, how many of the first i query bytes
  // equal the r-th distinct query byte.
  std::vector<Count> cumulative;
  // table[k * width + i]: links with query position <= i and kept value
  // position <= k.
  std::vector<Count> table;
  // Each link as its place in the table: value position x width + query
  // position.
  std::vector<int32_t> linkAt;
  std::vector<Count> conflicts;
  std::vector<Count> totals;
  std::vector<Box> boxes;
};

template <class Count>
void Prepare(Workspace<Count>& ws, const std::string& query, const ReducedPair& shared) {
  const size_t width = PaddedWidth(query.size());
  ws.cumulative.assign(static_cast<size_t>(shared.distinctBytes + 1) * width, 0);
  for (size_t i = 1; i <= query.size(); ++i) {
    const int32_t row = shared.rowOfByte[static_cast<unsigned char>(query[i - 1])];
    for (size_t k = i; k < width; ++k) ++ws.cumulative[static_cast<size_t>(row) * width + k];
  }
  ws.prepared = true;
}

// Adds each count to its running total and returns the position of the
// first smallest total. Where a total and its position fit together in a
// wider integer, one minimum over (total, position) keys finds both, and the
// loop vectorises; otherwise a second scan finds the first smallest.
template <class Count>
size_t AddAndFindFirstSmallest(Count* totals, const Count* conflicts, size_t links) {
  using Key = std::conditional_t<sizeof(Count) == 2, uint32_t, uint64_t>;
  if constexpr (sizeof(Count) < sizeof(Key)) {
    constexpr unsigned kShift = 8 * sizeof(Count);
    Key smallest = std::numeric_limits<Key>::max();
    for (size_t k = 0; k < links; ++k) {
      const Count total = static_cast<Count>(totals[k] + conflicts[k]);
      totals[k] = total;
      smallest =
          std::min(smallest, static_cast<Key>(static_cast<Key>(total) << kShift | static_cast<Key>(k)));
    }
    return static_cast<size_t>(smallest & ((Key{1} << kShift) - 1));
  } else {
    Count smallest = std::numeric_limits<Count>::max();
    for (size_t k = 0; k < links; ++k) {
      const Count total = static_cast<Count>(totals[k] + conflicts[k]);
      totals[k] = total;
      smallest = std::min(smallest, total);
    }
    size_t s = 0;
    while (totals[s] != smallest) ++s;
    return s;
  }
}

template <class Count>
int32_t ChainLength(Workspace<Count>& ws, const std::string& query, const ReducedPair& shared) {
  constexpr Count kDead = std::numeric_limits<Count>::max();
  const int32_t la = static_cast<int32_t>(query.size());
  const int32_t lb = static_cast<int32_t>(shared.keptRows.size());
  const size_t width = PaddedWidth(query.size());
  if (!ws.prepared) Prepare(ws, query, shared);

  // Prefix table: each row is the previous one plus the running count of the
  // query positions that hold this byte.
  ws.table.resize((static_cast<size_t>(lb) + 1) * width);
  Count* table = ws.table.data();
  std::fill(table, table + width, Count{0});
  for (int32_t k = 1; k <= lb; ++k) {
    const Count* add =
        ws.cumulative.data() + static_cast<size_t>(shared.keptRows[static_cast<size_t>(k - 1)]) * width;
    const Count* previous = table + static_cast<size_t>(k - 1) * width;
    Count* current = table + static_cast<size_t>(k) * width;
    for (size_t i = 0; i < width; i += kLanePadding) {
      for (size_t lane = 0; lane < kLanePadding; ++lane) {
        current[i + lane] = static_cast<Count>(previous[i + lane] + add[i + lane]);
      }
    }
  }
  const size_t links = table[static_cast<size_t>(lb) * width + static_cast<size_t>(la)];

  // A link's conflicts in its box are the links of the box in its two
  // crossing quadrants (at or after it in the query and at or before it in
  // the value, or the reverse), itself counted once. Written with the prefix
  // table, the terms that depend only on the box are kept in BoxCounts.
  struct BoxCounts {
    const Count* rowLo;  // table row loB
    const Count* rowHi;  // table row hiB - 1
    ptrdiff_t columnLo;  // loA - width: column loA of the row before
    size_t columnHi;     // hiA - 1
    Count constant;
  };
  auto countsOf = [table, width](const Box& box) {
    const Count* rowLo = table + static_cast<size_t>(box.loB) * width;
    const Count* rowHi = table + static_cast<size_t>(box.hiB - 1) * width;
    const size_t columnLo = static_cast<size_t>(box.loA);
    const size_t columnHi = static_cast<size_t>(box.hiA - 1);
    return BoxCounts{rowLo, rowHi, static_cast<ptrdiff_t>(columnLo) - static_cast<ptrdiff_t>(width), columnHi,
                     static_cast<Count>(0u - rowLo[columnHi] - rowHi[columnLo])};
  };
  const size_t mask = width - 1;
  auto conflictsOf = [table, width, mask](const BoxCounts& box, int32_t at) {
    const size_t place = static_cast<size_t>(at);
    const size_t a = place & mask;
    const Count* rowB = table + (place - a);
    return static_cast<Count>(box.constant + box.rowLo[a - 1] + box.rowHi[a] + rowB[box.columnLo] +
                              rowB[box.columnHi] - table[place] - table[place - width - 1]);
  };

  // Links in candidate-list order (for each query position, the kept value
  // positions holding its byte, ascending), with their first counts.
  ws.linkAt.resize(links);
  ws.conflicts.resize(links);
  ws.totals.assign(links, 0);
  {
    const BoxCounts whole = countsOf(Box{0, 0, la + 1, lb + 1, 0, links});
    size_t k = 0;
    for (int32_t a = 1; a <= la; ++a) {
      const size_t byteRow = static_cast<size_t>(
          shared.rowOfByte[static_cast<unsigned char>(query[static_cast<size_t>(a - 1)])]);
      for (int32_t b = shared.bucketStart[byteRow]; b < shared.bucketStart[byteRow + 1]; ++b) {
        const int32_t at = shared.bucket[static_cast<size_t>(b)] * static_cast<int32_t>(width) + a;
        ws.linkAt[k] = at;
        ws.conflicts[k] = conflictsOf(whole, at);
        ++k;
      }
    }
  }
  ws.boxes.assign(1, Box{0, 0, la + 1, lb + 1, 0, links});

  int32_t* linkAt = ws.linkAt.data();
  Count* conflicts = ws.conflicts.data();
  Count* totals = ws.totals.data();
  size_t alive = links;
  int32_t chosen = 0;
  while (alive > 0) {
    // Dead entries stay at kDead: their count is 0. Beyond the last box
    // there are only dead entries.
    const size_t s = AddAndFindFirstSmallest(totals, conflicts, ws.boxes.back().end);
    ++chosen;

    const int32_t sAt = linkAt[s];
    const int32_t sA = static_cast<int32_t>(static_cast<size_t>(sAt) & mask);
    const int32_t sRow = sAt - sA;
    const int32_t sB = sRow / static_cast<int32_t>(width);
    const int32_t nextRow = sRow + static_cast<int32_t>(width);
    // Boxes are kept in list order: the one holding s is the last that
    // begins at or before it.
    const auto split = std::prev(std::upper_bound(ws.boxes.begin(), ws.boxes.end(), s,
                                                  [](size_t k, const Box& box) { return k < box.begin; }));
    const Box whole = *split;
    const Box before{whole.loA, whole.loB, sA, sB, whole.begin, whole.begin};
    const Box after{sA, sB, whole.hiA, whole.hiB, whole.begin, whole.begin};
    const BoxCounts sides[2] = {countsOf(before), countsOf(after)};

    // In list order the box's links with a smaller query position come
    // first, then those at the choice's, then those after it; only the first
    // and the last group hold survivors, each for one side. Every entry is
    // written and only survivors advance the cursor: whether a link survives
    // is as good as random, and a branch on it would be mispredicted often.
    size_t kept = whole.begin;
    size_t k = whole.begin;
    auto keep = [&](const BoxCounts& side, int32_t at, bool survives) {
      const Count total = totals[k];
      // Every link lies inside the table, so a dropped one is counted too,
      // harmlessly.
      conflicts[kept] = conflictsOf(side, at);
      linkAt[kept] = at;
      totals[kept] = total;
      kept += survives ? 1 : 0;
    };
    auto queryPosition = [mask](int32_t at) { return static_cast<int32_t>(static_cast<size_t>(at) & mask); };
    for (; queryPosition(linkAt[k]) < sA; ++k) keep(sides[0], linkAt[k], linkAt[k] < sRow);
    const size_t keptBefore = kept - whole.begin;
    while (k < whole.end && queryPosition(linkAt[k]) == sA) ++k;
    for (; k < whole.end; ++k) keep(sides[1], linkAt[k], linkAt[k] >= nextRow);
    for (size_t hole = kept; hole < whole.end; ++hole) {
      totals[hole] = kDead;
      conflicts[hole] = 0;
    }
    alive -= whole.end - kept;
    *split = Box{before.loA, before.loB, before.hiA, before.hiB, whole.begin, whole.begin + keptBefore};
    ws.boxes.insert(split + 1,
                    Box{after.loA, after.loB, after.hiA, after.hiB, whole.begin + keptBefore, kept});
  }
  return chosen;
}

// The largest running total a pair can reach: at most min(la, lb) passes,
// each adding at most la x lb. It must stay below `limit`.
bool FitsIn(uint64_t limit, size_t la, size_t lb) {
  const uint64_t a = la;
  const uint64_t b = lb;
  const uint64_t passes = std::min(a, b) + 1;
  if (a != 0 && b > limit / a) return false;
  return a * b < limit / passes;
}

}  // namespace

struct SimilarityScorer::Workspaces {
  ReducedPair pair;
  Workspace<uint16_t> narrow;
  Workspace<uint32_t> medium;
  Workspace<uint64_t> wide;
};

SimilarityScorer::SimilarityScorer(std::string query, Counters counters)
    : query_(std::move(query)), counters_(counters), workspaces_(std::make_unique<Workspaces>()) {
  for (char c : query_) {
    ReducedPair& pair = workspaces_->pair;
    int32_t& row = pair.rowOfByte[static_cast<unsigned char>(c)];
    if (row == 0) row = ++pair.distinctBytes;
  }
}

SimilarityScorer::~SimilarityScorer() = default;

int32_t SimilarityScorer::ChosenLinks(const std::string& value) {
  Workspaces& workspaces = *workspaces_;
  ReducedPair& ws = workspaces.pair;
  if (query_.empty() || value.empty()) return 0;

  // Keep the value positions whose byte the query holds, bucketed by row.
  ws.keptRows.resize(value.size());
  ws.bucketStart.assign(static_cast<size_t>(ws.distinctBytes) + 2, 0);
  size_t kept = 0;
  for (char c : value) {
    const int32_t row = ws.rowOfByte[static_cast<unsigned char>(c)];
    ws.keptRows[kept] = row;
    kept += row != 0 ? 1 : 0;
  }
  ws.keptRows.resize(kept);
  if (kept == 0) return 0;
  for (size_t k = 0; k < kept; ++k) ++ws.bucketStart[static_cast<size_t>(ws.keptRows[k]) + 1];
  for (size_t r = 1; r < ws.bucketStart.size(); ++r) ws.bucketStart[r] += ws.bucketStart[r - 1];
  ws.bucketNext.assign(ws.bucketStart.begin(), ws.bucketStart.end());
  ws.bucket.resize(kept);
  for (size_t k = 0; k < kept; ++k) {
    ws.bucket[static_cast<size_t>(ws.bucketNext[static_cast<size_t>(ws.keptRows[k])]++)] =
        static_cast<int32_t>(k + 1);
  }

  // The maximum of each type marks dead entries.
  Counters counters = counters_;
  if (counters == Counters::kAutomatic) {
    counters = FitsIn(std::numeric_limits<uint16_t>::max(), query_.size(), kept)   ? Counters::k16
               : FitsIn(std::numeric_limits<uint32_t>::max(), query_.size(), kept) ? Counters::k32
                                                                                   : Counters::k64;
  }
  switch (counters) {
    case Counters::k16:
      return ChainLength(workspaces.narrow, query_, ws);
    case Counters::k32:
      return ChainLength(workspaces.medium, query_, ws);
    default:
      return ChainLength(workspaces.wide, query_, ws);
  }
}

double SimilarityScorer::Score(const std::string& value) {
  const size_t lengths = query_.size() + value.size();
  if (lengths == 0) return 100.0;
  return static_cast<double>(ChosenLinks(value)) * 200.0 / static_cast<double>(lengths);
}

double TStringManager::StringSimilarity(const std::string& a, const std::string& b) {
  // Callers score one text against many: keep the last scorer, whose tables
  // and buffers then serve the next call with the same first text.
  thread_local std::unique_ptr<SimilarityScorer> last;
  if (!last || last->Query() != a) last = std::make_unique<SimilarityScorer>(a);
  return last->Score(b);
}

}  // namespace quillor
