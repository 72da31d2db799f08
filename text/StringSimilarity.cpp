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
// Counters use the narrowest unsigned type that cannot overflow, so the
// per-pass updates run on as many vector lanes as possible.
#include <algorithm>
#include <limits>
#include <vector>

#include "Similarity.h"
#include "StringManager.h"

namespace quillor {
namespace {

// The links strictly inside (loA, hiA) x (loB, hiB).
struct Box {
  int32_t loA;
  int32_t loB;
  int32_t hiA;
  int32_t hiB;
};

template <class Count>
struct Workspace {
  bool prepared = false;
  // Row r (r >= 1) holds, for i = 0..la, how many of the first i query bytes
  // equal the r-th distinct query byte; row 0 is zeros for bytes not in the query.
  std::vector<Count> cumulative;
  // table[j * width + i]: links with position in the query <= i and in the value <= j.
  std::vector<Count> table;
  std::vector<int32_t> bucketStart;
  std::vector<int32_t> bucket;
  std::vector<int32_t> linkA;
  std::vector<int32_t> linkB;
  std::vector<int32_t> linkBox;
  std::vector<Count> conflicts;
  std::vector<Count> totals;
  std::vector<Box> boxes;
  std::vector<Count> boxLinks;
};

}  // namespace

struct SimilarityScorer::Workspaces {
  // Row of each byte value in the cumulative tables (0: not in the query).
  int32_t rowOfByte[256] = {};
  int32_t distinctBytes = 0;
  Workspace<uint16_t> narrow;
  Workspace<uint32_t> medium;
  Workspace<uint64_t> wide;
};

namespace {

template <class Count>
void Prepare(Workspace<Count>& ws, const std::string& query, const int32_t (&rowOfByte)[256],
             int32_t distinctBytes) {
  const size_t width = query.size() + 1;
  ws.cumulative.assign(static_cast<size_t>(distinctBytes + 1) * width, 0);
  for (size_t i = 1; i < width; ++i) {
    const int32_t row = rowOfByte[static_cast<unsigned char>(query[i - 1])];
    for (size_t k = i; k < width; ++k) ++ws.cumulative[static_cast<size_t>(row) * width + k];
  }
  ws.prepared = true;
}

template <class Count>
int32_t ChainLength(Workspace<Count>& ws, const std::string& query, const std::string& value,
                    const int32_t (&rowOfByte)[256], int32_t distinctBytes) {
  const int32_t la = static_cast<int32_t>(query.size());
  const int32_t lb = static_cast<int32_t>(value.size());
  const size_t width = static_cast<size_t>(la) + 1;
  if (!ws.prepared) Prepare(ws, query, rowOfByte, distinctBytes);

  // Prefix table, one row per value position: the previous row plus the
  // running count of the query positions that hold this byte.
  ws.table.resize((static_cast<size_t>(lb) + 1) * width);
  Count* table = ws.table.data();
  std::fill(table, table + width, Count{0});
  for (int32_t j = 1; j <= lb; ++j) {
    const int32_t row = rowOfByte[static_cast<unsigned char>(value[static_cast<size_t>(j - 1)])];
    const Count* add = ws.cumulative.data() + static_cast<size_t>(row) * width;
    const Count* previous = table + static_cast<size_t>(j - 1) * width;
    Count* current = table + static_cast<size_t>(j) * width;
    for (size_t i = 0; i < width; ++i) current[i] = static_cast<Count>(previous[i] + add[i]);
  }
  const Count linkCount = table[static_cast<size_t>(lb) * width + static_cast<size_t>(la)];
  if (linkCount == 0) return 0;

  // Links in candidate-list order (query position, then value position):
  // bucket the value positions by query byte, then walk the query.
  ws.bucketStart.assign(static_cast<size_t>(distinctBytes) + 2, 0);
  for (int32_t j = 1; j <= lb; ++j) {
    ++ws.bucketStart[static_cast<size_t>(
                         rowOfByte[static_cast<unsigned char>(value[static_cast<size_t>(j - 1)])]) +
                     1];
  }
  for (size_t r = 1; r < ws.bucketStart.size(); ++r) ws.bucketStart[r] += ws.bucketStart[r - 1];
  ws.bucket.resize(static_cast<size_t>(lb));
  {
    std::vector<int32_t>& next = ws.linkBox;  // borrowed as fill cursors
    next.assign(ws.bucketStart.begin(), ws.bucketStart.end());
    for (int32_t j = 1; j <= lb; ++j) {
      const int32_t row = rowOfByte[static_cast<unsigned char>(value[static_cast<size_t>(j - 1)])];
      ws.bucket[static_cast<size_t>(next[static_cast<size_t>(row)]++)] = j;
    }
  }
  const size_t links = linkCount;
  ws.linkA.resize(links);
  ws.linkB.resize(links);
  ws.linkBox.assign(links, 0);
  ws.conflicts.resize(links);
  ws.totals.assign(links, 0);
  {
    size_t k = 0;
    for (int32_t i = 1; i <= la; ++i) {
      const int32_t row = rowOfByte[static_cast<unsigned char>(query[static_cast<size_t>(i - 1)])];
      const int32_t first = ws.bucketStart[static_cast<size_t>(row)];
      const int32_t last = ws.bucketStart[static_cast<size_t>(row) + 1];
      for (int32_t b = first; b < last; ++b) {
        ws.linkA[k] = i;
        ws.linkB[k] = ws.bucket[static_cast<size_t>(b)];
        ++k;
      }
    }
  }

  // Links in (a0, a1] x (b0, b1]; every call below has a0 <= a1 and b0 <= b1.
  auto rectangle = [table, width](int32_t a0, int32_t b0, int32_t a1, int32_t b1) -> Count {
    const size_t r0 = static_cast<size_t>(b0) * width;
    const size_t r1 = static_cast<size_t>(b1) * width;
    return static_cast<Count>(table[r1 + static_cast<size_t>(a1)] - table[r0 + static_cast<size_t>(a1)] -
                              table[r1 + static_cast<size_t>(a0)] + table[r0 + static_cast<size_t>(a0)]);
  };
  auto linksIn = [&rectangle](const Box& box) {
    return rectangle(box.loA, box.loB, box.hiA - 1, box.hiB - 1);
  };
  // Links of `box` that conflict with the link (a, b) of that box.
  auto conflictsInBox = [&rectangle](const Box& box, Count boxLinks, int32_t a, int32_t b) {
    const Count before = rectangle(box.loA, box.loB, a - 1, b - 1);
    const Count after = rectangle(a, b, box.hiA - 1, box.hiB - 1);
    return static_cast<Count>(boxLinks - before - after);
  };

  ws.boxes.assign(1, Box{0, 0, la + 1, lb + 1});
  ws.boxLinks.assign(1, linkCount);
  for (size_t k = 0; k < links; ++k) {
    ws.conflicts[k] = conflictsInBox(ws.boxes[0], linkCount, ws.linkA[k], ws.linkB[k]);
  }

  int32_t* linkA = ws.linkA.data();
  int32_t* linkB = ws.linkB.data();
  int32_t* linkBox = ws.linkBox.data();
  Count* conflicts = ws.conflicts.data();
  Count* totals = ws.totals.data();
  size_t alive = links;
  int32_t chosen = 0;
  while (alive > 0) {
    for (size_t k = 0; k < alive; ++k) totals[k] = static_cast<Count>(totals[k] + conflicts[k]);
    Count smallest = std::numeric_limits<Count>::max();
    for (size_t k = 0; k < alive; ++k) smallest = std::min(smallest, totals[k]);
    size_t s = 0;
    while (totals[s] != smallest) ++s;
    ++chosen;

    const int32_t sA = linkA[s];
    const int32_t sB = linkB[s];
    const int32_t split = linkBox[s];
    const Box whole = ws.boxes[static_cast<size_t>(split)];
    const Box before{whole.loA, whole.loB, sA, sB};
    const Box after{sA, sB, whole.hiA, whole.hiB};
    const int32_t afterId = static_cast<int32_t>(ws.boxes.size());
    ws.boxes[static_cast<size_t>(split)] = before;
    ws.boxes.push_back(after);
    const Count beforeLinks = linksIn(before);
    const Count afterLinks = linksIn(after);
    ws.boxLinks[static_cast<size_t>(split)] = beforeLinks;
    ws.boxLinks.push_back(afterLinks);

    // Keep the survivors in list order so that the first minimum stays the
    // first candidate in list order.
    size_t kept = 0;
    for (size_t k = 0; k < alive; ++k) {
      const int32_t a = linkA[k];
      const int32_t b = linkB[k];
      int32_t box = linkBox[k];
      Count count = conflicts[k];
      if (box == split) {
        if (a < sA && b < sB) {
          count = conflictsInBox(before, beforeLinks, a, b);
        } else if (a > sA && b > sB) {
          box = afterId;
          count = conflictsInBox(after, afterLinks, a, b);
        } else {
          continue;
        }
      }
      linkA[kept] = a;
      linkB[kept] = b;
      linkBox[kept] = box;
      conflicts[kept] = count;
      totals[kept] = totals[k];
      ++kept;
    }
    alive = kept;
  }
  return chosen;
}

// The largest running total a pair can reach: at most min(la, lb) passes,
// each adding at most la x lb.
bool FitsIn(uint64_t limit, size_t la, size_t lb) {
  const uint64_t a = la;
  const uint64_t b = lb;
  const uint64_t passes = std::min(a, b) + 1;
  if (a != 0 && b > limit / a) return false;
  return a * b <= limit / passes;
}

}  // namespace

SimilarityScorer::SimilarityScorer(std::string query)
    : query_(std::move(query)), workspaces_(std::make_unique<Workspaces>()) {
  for (char c : query_) {
    int32_t& row = workspaces_->rowOfByte[static_cast<unsigned char>(c)];
    if (row == 0) row = ++workspaces_->distinctBytes;
  }
}

SimilarityScorer::~SimilarityScorer() = default;

int32_t SimilarityScorer::ChosenLinks(const std::string& value) {
  Workspaces& ws = *workspaces_;
  if (query_.empty() || value.empty()) return 0;
  // One below the maximum: it serves as the "no minimum yet" start value.
  if (FitsIn(std::numeric_limits<uint16_t>::max() - 1, query_.size(), value.size())) {
    return ChainLength(ws.narrow, query_, value, ws.rowOfByte, ws.distinctBytes);
  }
  if (FitsIn(std::numeric_limits<uint32_t>::max() - 1, query_.size(), value.size())) {
    return ChainLength(ws.medium, query_, value, ws.rowOfByte, ws.distinctBytes);
  }
  return ChainLength(ws.wide, query_, value, ws.rowOfByte, ws.distinctBytes);
}

double SimilarityScorer::Score(const std::string& value) {
  const size_t lengths = query_.size() + value.size();
  if (lengths == 0) return 100.0;
  return static_cast<double>(ChosenLinks(value)) * 200.0 / static_cast<double>(lengths);
}

double TStringManager::StringSimilarity(const std::string& a, const std::string& b) {
  SimilarityScorer scorer(a);
  return scorer.Score(b);
}

}  // namespace quillor
