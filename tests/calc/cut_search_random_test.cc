// The fast cut search against the search as first written, on thousands of small random networks:
// every requested cable must come out with the same side numbers and the same value: bit for bit
// where the sums are exact, else the same printed value and within the sums' error bound.
// The networks are drawn so that every way the fast search can decide a cable is taken many times,
// and the test counts them to make sure it stays so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "calc/balance.h"
#include "calc/cable_analysis.h"
#include "calc/calc_zevo_cable.h"
#include "calc/cut_positions.h"
#include "calc/cut_set_search.h"
#include "calc/exporter_search.h"
#include "calc/reference/literal_cut_search.h"
#include "calc/search_budget.h"
#include "model/record_store.h"
#include "network/copy_network.h"
#include "network/sub_networks.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

const char* const kOom = " cut search comparison: out of memory\n";

// "N3" for load centre 3, "k0" for condition 0 and so on. Built by appending: GCC 12 warns
// falsely (-Wrestrict) on "N" + std::to_string(i).
std::string numbered(const char* prefix, std::size_t index) {
  return std::string(prefix).append(std::to_string(index));
}

// One condition entry of a load centre or a bus transfer.
struct Entry {
  std::string condition;
  double generation, load;
};

struct Link {
  int a, b;                    // load centre indexes
  std::vector<Entry> entries;  // bus transfers only
};

// A network as drawn, before it is handed to the builder: load centre i is named "N<i>", cable k
// "C<k>", bus transfer t "B<t>". Cables and bus transfers are listed in document order.
struct DrawnNetwork {
  std::vector<std::string> conditions;  // requested
  std::vector<std::vector<Entry>> centres;
  std::vector<Link> cables, transfers;
  std::vector<int> requests;  // cable indexes, in the order they are requested
};

// What the figures of a network look like; chosen once per network.
enum class Family {
  kIntegers,
  kHalves,
  kDecimals,
  kLargeAndSmall,
  kLargeAndSmallExports,
  kTenths,
  kHundredths,
  kNegative,
  kExporters,
  kNonFinite,
  kMixed
};
constexpr int kNbrFamilies = 11;

class NetworkDrawer {
 public:
  explicit NetworkDrawer(unsigned seed) : random_(seed) {}

  // One to three groups of two to six load centres, each joined by a random tree of cables plus up
  // to three more (four in a group of two or three), some parallel to an earlier one; now and
  // then the first group is a ring main or a small grid instead; up to two load centres with no
  // cable; up to three bus transfers between any two load centres, the same one at times; one to
  // three requested conditions, and now and then an entry that no request names. The search as
  // first written grows its trials explosively with the loops of a group, so groups stay this
  // small.
  DrawnNetwork draw() {
    DrawnNetwork net;
    family_ = static_cast<Family>(pick(0, kNbrFamilies - 1));
    const int nbr_conditions = pick(1, 3);
    for (int ci = 0; ci < nbr_conditions; ++ci) net.conditions.push_back(numbered("k", ci));
    std::shuffle(net.conditions.begin(), net.conditions.end(), random_);

    std::vector<int> sizes(pick(1, 3));
    for (int& size : sizes) size = pick(2, 6);
    // Now and then the first group is a ring main: long chains between the ties; or a grid of
    // 2 x 3 or 2 x 4 load centres, whose small loops give many splits of one value (3 x 3 costs
    // the reference thousands of trials per cable).
    const bool ring_main = chance(0.2);
    const bool grid = !ring_main && chance(0.15);
    const int grid_cols = pick(3, 4);
    if (ring_main) sizes[0] = pick(7, 13);
    if (grid) sizes[0] = 2 * grid_cols;
    const int lone = pick(0, 2);
    const int nbr_centres = std::accumulate(sizes.begin(), sizes.end(), lone);
    std::vector<int> order(nbr_centres);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random_);

    int next = 0;
    for (int size : sizes) {
      const std::vector<int> members(order.begin() + next, order.begin() + next + size);
      std::vector<Link> group;
      if (ring_main && next == 0) {
        next += size;
        const int panels = pick(0, 3), ring = size - panels;
        for (int i = 0; i < ring; ++i)
          group.push_back(oriented(members[i], members[(i + 1) % ring]));
        // Two ties only on short rings: the reference grows its trials with the cube of the length.
        for (int tie = pick(0, ring <= 9 ? 2 : 1); tie > 0; --tie) {
          const int a = pick(0, ring - 1);
          group.push_back(oriented(members[a], members[(a + pick(2, ring - 2)) % ring]));
        }
        for (int i = ring; i < size; ++i)
          group.push_back(oriented(members[i], members[pick(0, i - 1)]));
        net.cables.insert(net.cables.end(), group.begin(), group.end());
        continue;
      }
      if (grid && next == 0) {
        next += size;
        for (int at = 0; at < size; ++at) {
          if ((at + 1) % grid_cols != 0) group.push_back(oriented(members[at], members[at + 1]));
          if (at + grid_cols < size)
            group.push_back(oriented(members[at], members[at + grid_cols]));
        }
        net.cables.insert(net.cables.end(), group.begin(), group.end());
        continue;
      }
      next += size;
      for (int i = 1; i < size; ++i) group.push_back(oriented(members[i], members[pick(0, i - 1)]));
      for (int extra = pick(0, size <= 3 ? 4 : 3); extra > 0; --extra) {
        if (chance(0.3)) {
          const Link twin = group[pick(0, static_cast<int>(group.size()) - 1)];
          group.push_back(oriented(twin.a, twin.b));
        } else {
          const int a = pick(0, size - 1);
          const int b = (a + pick(1, size - 1)) % size;  // never the same load centre
          group.push_back(oriented(members[a], members[b]));
        }
      }
      net.cables.insert(net.cables.end(), group.begin(), group.end());
    }
    std::shuffle(net.cables.begin(), net.cables.end(), random_);
    net.requests.resize(net.cables.size());
    std::iota(net.requests.begin(), net.requests.end(), 0);
    std::shuffle(net.requests.begin(), net.requests.end(), random_);

    net.centres.resize(nbr_centres);
    for (std::vector<Entry>& entries : net.centres) {
      for (const std::string& name : net.conditions) entries.push_back(entry(name));
      if (chance(0.15)) entries.push_back(entry("spare"));
      // A condition named twice adds both entries, each where the list has it.
      if (chance(0.1)) entries.push_back(entry(net.conditions[0]));
      std::shuffle(entries.begin(), entries.end(), random_);
    }
    for (int t = pick(0, 3); t > 0; --t) {
      Link bt{pick(0, nbr_centres - 1), 0, {}};
      bt.b = chance(0.15) ? bt.a : pick(0, nbr_centres - 1);
      for (const std::string& name : net.conditions) {
        if (chance(0.8)) bt.entries.push_back(entry(name));
      }
      if (chance(0.2)) bt.entries.push_back(entry("spare"));
      std::shuffle(bt.entries.begin(), bt.entries.end(), random_);
      net.transfers.push_back(bt);
    }
    return net;
  }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool chance(double p) { return std::bernoulli_distribution(p)(random_); }

  Link oriented(int a, int b) { return chance(0.5) ? Link{a, b, {}} : Link{b, a, {}}; }

  Entry entry(const std::string& name) { return {name, figure(false), figure(true)}; }

  double figure(bool load) {
    switch (family_ == Family::kMixed ? static_cast<Family>(pick(0, kNbrFamilies - 2)) : family_) {
      case Family::kIntegers:
        return chance(0.2) ? 0.0 : pick(1, 60);
      case Family::kHalves:
        return pick(0, 120) / 2.0;
      case Family::kDecimals: {
        static const double kDecimals[] = {0.1,  0.2,    0.3,  0.7,  7.7,   2.675,
                                           1e-3, 123.45, 1e16, 3e15, 1e300, 1.5e308};
        if (chance(0.25)) return pick(0, 60);
        // Now and then a figure so large that sums overflow.
        const int last = chance(0.05) ? 11 : 9;
        return kDecimals[pick(0, last)];
      }
      case Family::kLargeAndSmall: {
        // Sums near 2^52 round away the small figures in one order and not in another, and splits
        // that differ by small figures come within a rounding of each other.
        static const double kLarge[] = {3e15, 1e16, 4503599627370497.0, 6004799503160661.0};
        static const double kSmall[] = {0.25, 0.5, 0.75, 1.0, 1.5, 0.1, 0.3};
        if (chance(0.35)) return kLarge[pick(0, 3)];
        return chance(0.2) ? 0.0 : kSmall[pick(0, 6)];
      }
      case Family::kLargeAndSmallExports: {
        // The same with small exports: splits whose sides differ by small figures.
        static const double kLarge[] = {3e15, 1e16, 4503599627370497.0, 6004799503160661.0};
        static const double kSmall[] = {0.25, 0.5, -0.75, 1.0, -1.5, 0.1, -0.3};
        if (chance(0.35)) return kLarge[pick(0, 3)];
        return chance(0.2) ? 0.0 : kSmall[pick(0, 6)];
      }
      case Family::kTenths: {
        // Sums of tenths that are equal in decimals but not in binary (0.1 + 0.2 > 0.3), so splits
        // of equal worth come within a rounding of each other.
        static const double kTenths[] = {0.1, 0.2, 0.3, 0.4, 0.6, 0.7};
        return chance(0.3) ? 0.0 : kTenths[pick(0, 5)];
      }
      case Family::kHundredths: {
        // Sums that land on a rounding boundary of the printed digit (x.x5), or within a few
        // units in the last place of one, in one order of addition and not in another.
        static const double kHundredths[] = {0.05, 0.15, 0.25, 0.35, 1.45, 2.55, 0.1, 0.2, 12.3};
        return chance(0.2) ? 0.0 : kHundredths[pick(0, 8)];
      }
      case Family::kNegative:
        if (chance(0.25)) return -pick(1, 30) * (chance(0.5) ? 1.0 : 0.1);
        return chance(0.5) ? pick(0, 60) : pick(0, 600) / 10.0;
      case Family::kExporters:
        // Plants as users type them: loads, a few generators, now and then a load centre that
        // exports (a negative load).
        if (load) return chance(0.15) ? -pick(1, 60) : pick(0, 200);
        return chance(0.3) ? pick(100, 1500) : 0.0;
      case Family::kNonFinite:
        if (chance(0.15)) {
          const double odd[] = {std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity()};
          return odd[pick(0, 2)];
        }
        return pick(0, 60);
      case Family::kMixed:
        break;
    }
    return 0.0;
  }

  std::mt19937 random_;
  Family family_ = Family::kIntegers;
};

// The records of `net` in a fresh run context, the base network built.
std::vector<CALC_CONNECTION*> build(const DrawnNetwork& net, ZEVO_CONTEXT* context) {
  using testing::add_condition;
  zevo_init(context);
  for (const std::string& name : net.conditions) testing::add_calc_condition(context, name.c_str());
  for (std::size_t i = 0; i < net.centres.size(); ++i) {
    NODE* node = testing::add_node(context, numbered("N", i).c_str());
    for (const Entry& e : net.centres[i]) {
      add_condition(node, e.condition.c_str(), e.generation, e.load);
    }
  }
  for (std::size_t k = 0; k < net.cables.size(); ++k) {
    const Link& c = net.cables[k];
    testing::add_connection(context, numbered("C", k).c_str(), numbered("N", c.a).c_str(),
                            numbered("N", c.b).c_str());
  }
  for (std::size_t t = 0; t < net.transfers.size(); ++t) {
    const Link& bt = net.transfers[t];
    BUS_TRANSFER* record =
        testing::add_bus_transfer(context, numbered("B", t).c_str(), numbered("N", bt.a).c_str(),
                                  numbered("N", bt.b).c_str());
    for (const Entry& e : bt.entries) {
      add_condition(record, e.condition.c_str(), e.generation, e.load);
    }
  }
  std::vector<CALC_CONNECTION*> requests;
  for (int k : net.requests) {
    requests.push_back(testing::add_calc_connection(context, numbered("C", k).c_str()));
  }
  testing::build_network(context);
  return requests;
}

// The network as text, with every figure as it must be typed to get the same double.
std::string describe(const DrawnNetwork& net) {
  auto entries = [](const std::vector<Entry>& list) {
    std::string text;
    for (const Entry& e : list) {
      char line[128];
      std::snprintf(line, sizeof line, " [%s %.17g %.17g]", e.condition.c_str(), e.generation,
                    e.load);
      text += line;
    }
    return text;
  };
  std::string text = "requested conditions (first added first):";
  for (const std::string& name : net.conditions) text += " " + name;
  text += "\n";
  for (std::size_t i = 0; i < net.centres.size(); ++i) {
    text += "lc N" + std::to_string(i) + entries(net.centres[i]) + "\n";
  }
  for (std::size_t k = 0; k < net.cables.size(); ++k) {
    text += "cable C" + std::to_string(k) + " N" + std::to_string(net.cables[k].a) + " N" +
            std::to_string(net.cables[k].b) + "\n";
  }
  for (std::size_t t = 0; t < net.transfers.size(); ++t) {
    const Link& bt = net.transfers[t];
    text += "bt B" + std::to_string(t) + " N" + std::to_string(bt.a) + " N" + std::to_string(bt.b) +
            entries(bt.entries) + "\n";
  }
  text += "requests (first added first):";
  for (int k : net.requests) text += " C" + std::to_string(k);
  return text + "\n";
}

// The group of load centres joined by cables that each load centre belongs to (a label).
std::vector<int> groups_of(const DrawnNetwork& net) {
  std::vector<int> group(net.centres.size());
  std::iota(group.begin(), group.end(), 0);
  for (bool changed = true; changed;) {
    changed = false;
    for (const Link& c : net.cables) {
      const int low = std::min(group[c.a], group[c.b]);
      if (group[c.a] == low && group[c.b] == low) continue;
      group[c.a] = group[c.b] = low;
      changed = true;
    }
  }
  return group;
}

// Every requested figure of the group: of its load centres and of the bus transfers with a load
// centre in it.
std::vector<double> figures_of(const DrawnNetwork& net, const std::vector<int>& group, int g) {
  std::vector<double> figures;
  auto take = [&](const std::vector<Entry>& entries) {
    for (const Entry& e : entries) {
      if (std::find(net.conditions.begin(), net.conditions.end(), e.condition) ==
          net.conditions.end()) {
        continue;
      }
      figures.push_back(e.generation);
      figures.push_back(e.load);
    }
  };
  for (std::size_t i = 0; i < net.centres.size(); ++i) {
    if (group[i] == g) take(net.centres[i]);
  }
  for (const Link& bt : net.transfers) {
    if (group[bt.a] == g || group[bt.b] == g) take(bt.entries);
  }
  return figures;
}

// True when every figure is finite and a whole multiple of one power of two, the multiples adding
// up to at most 2^53: then any sum or difference of sums of them is exact.
bool exact(const std::vector<double>& figures) {
  int lowest = INT_MAX;
  for (double x : figures) {
    if (!std::isfinite(x)) return false;
    if (x == 0) continue;
    int bit = std::ilogb(x);
    while (std::fmod(x, std::ldexp(1.0, bit)) != 0) --bit;
    lowest = std::min(lowest, bit);
  }
  long double total = 0;
  for (double x : figures) total += std::ldexp(static_cast<long double>(std::fabs(x)), -lowest);
  return total <= 0x1p53L;
}

bool monotone(const std::vector<double>& figures) {
  return std::none_of(figures.begin(), figures.end(),
                      [](double x) { return std::isnan(x) || x < 0; });
}

// Every figure finite and their sum far from overflow: bounds on sides' sums then hold.
bool bounded(const std::vector<double>& figures) {
  double total = 0.0;
  for (double x : figures) {
    if (!std::isfinite(x)) return false;
    total += std::fabs(x);
  }
  return total < DBL_MAX / 16;
}

// How the fast search decides a cable: in no loop with exact or inexact sums, in a loop by its
// bonds with exact or inexact sums, or in a loop by the splits of sets of cuts (a negative
// figure) or by balancing every set of cuts (a NaN or infinite one).
enum Path {
  kRadialExact,
  kRadialInexact,
  kBondsExact,
  kBondsInexact,
  kSplits,
  kCutSets,
  kNbrPaths
};
const char* const kPathNames[kNbrPaths] = {"in no loop, exact", "in no loop, inexact",
                                           "by bonds, exact",   "by bonds, inexact",
                                           "by splits",         "by every set of cuts"};

Path path_of(bool in_loop, const std::vector<double>& figures) {
  if (!in_loop) return exact(figures) ? kRadialExact : kRadialInexact;
  if (!monotone(figures)) return bounded(figures) ? kSplits : kCutSets;
  return exact(figures) ? kBondsExact : kBondsInexact;
}

// How far a double sum of the sub-network's figures, in any order, may lie from the exact one; 0
// when every sum is exact. Twice the classic bound, to stay independent of the search's own.
double error_bound(bool exact_sums, const std::vector<double>& figures) {
  if (exact_sums) return 0.0;
  double total = 0.0;
  for (double x : figures) total += std::isfinite(x) ? std::fabs(x) : 0.0;
  return 2.0 * (static_cast<double>(figures.size()) + 1.0) * 0x1p-53 * total;
}

std::string printed(double x) {
  char text[400];
  std::snprintf(text, sizeof text, "%8.1f", x);
  return text;
}

// Bit for bit when `error` is 0 (but for a NaN's sign, which depends on how the compiler ordered
// the operations), else within `error`.
bool agree(double x, double y, double error) {
  if (std::memcmp(&x, &y, sizeof x) == 0 || (std::isnan(x) && std::isnan(y))) return true;
  return error > 0 && std::fabs(x - y) <= error;
}

// Whether every figure of every condition agrees, as agree() takes it.
bool agree_per_condition(const ZEVO_RESULT* a, const ZEVO_RESULT* b, double error) {
  for (const auto& [x, y] : {std::pair{a->c_val, b->c_val},
                             {a->c_g1, b->c_g1},
                             {a->c_g2, b->c_g2},
                             {a->c_l1, b->c_l1},
                             {a->c_l2, b->c_l2}}) {
    for (int ci = 0; ci < a->nbr_conditions; ++ci) {
      if (!agree(x[ci], y[ci], error)) return false;
    }
  }
  return true;
}

std::string value_text(const char* who, const ZEVO_RESULT* r) {
  char text[160];
  std::snprintf(text, sizeof text, "%s: val %a (%.17g), sides %d|%d", who, r->val, r->val,
                r->sub_network1, r->sub_network2);
  return text;
}

// The governing case the fast search reports for `cc`, opened in a copy of the base network and
// balanced as a trial would be: the same figures (as `agree` has it), the same printed value and
// the same load centres on each side. Returns what differs, or an empty text.
std::string check_governing_case(const ZEVO_CONTEXT& context, CableSearch& search,
                                 const CALC_CONNECTION* cc, double error) {
  const ZEVO_RESULT* fast = cc->results;
  const GoverningCase governing = search.governing_case(cc);
  if (!governing.found) return fast->val == 0.0 ? "" : "no split for a value above zero";
  if (governing.condition >= 0 ? fast->c_val[governing.condition] != fast->val : fast->val != 0.0) {
    return "the governing condition's flow is not the value";
  }
  NETWORK* opened = copy_network(context.nw);
  for (int k = 0; k < opened->nbr_connection; ++k) {
    const bool open = std::binary_search(governing.open.begin(), governing.open.end(), k);
    if (open || (opened->nc[k] && opened->nc[k]->c == cc->c)) opened->nc[k] = nullptr;
  }
  identify_sub_networks(opened);
  ZEVO_RESULT* trial = alloc_record<ZEVO_RESULT>(kOom);
  allocate_result_arrays(trial, fast->nbr_conditions, kOom, Stream::err);
  for (int ci = 0; ci < fast->nbr_conditions; ++ci) trial->condition[ci] = fast->condition[ci];
  trial->nw = opened;
  std::vector<int> sides[2];
  for (int x = 0; x < opened->nbr_network_nodes; ++x) {
    if (opened->nn[x]->n == cc->c->n1) trial->sub_network1 = opened->nn[x]->sub_network;
    if (opened->nn[x]->n == cc->c->n2) trial->sub_network2 = opened->nn[x]->sub_network;
  }
  if (trial->sub_network1 == trial->sub_network2) return "the opening leaves the ends joined";
  for (int x = 0; x < opened->nbr_network_nodes; ++x) {
    if (opened->nn[x]->sub_network == trial->sub_network1) sides[0].push_back(x);
    if (opened->nn[x]->sub_network == trial->sub_network2) sides[1].push_back(x);
  }
  calculate_zevo(trial);
  if (printed(trial->val) != printed(fast->val)) return "the opening balances to another value";
  if (!agree_per_condition(fast, trial, error)) return "the opening balances to other figures";
  const CableSide* reported[2] = {&governing.side1, &governing.side2};
  const CableAnalysis& analysis = search.analysis(&context);
  const int base = analysis.first_position(governing.sub_network);
  for (int s = 0; s < 2; ++s) {
    std::vector<int> listed;
    for (const auto& [first, end] : reported[s]->slices) {
      for (int at = first; at < end; ++at) listed.push_back(analysis.forest().order[base + at]);
    }
    std::sort(listed.begin(), listed.end());
    if (reported[s]->nbr_nodes != static_cast<int>(sides[s].size()) || listed != sides[s]) {
      return "side " + std::to_string(s + 1) + " holds other load centres";
    }
  }
  return "";
}

// Where a negative or NaN figure makes the fast search look at sets of cuts, it must keep, of
// the separating sets of the largest value, the split that balancing every set in the order of
// cut_set_search.h meets first: single cuts first, in descending slot order; then sets by J,
// the set less y (y: of the cuts that join the two sides, the one of the highest slot below the
// set's highest), compared cut by cut in descending slot order with a prefix first, then by y.
// The order is worked out here from the reference's trials, each set once. Returns what
// differs from the fast search's opening and figures, or an empty text.
std::string check_first_met(const ZEVO_CONTEXT& context, const CALC_CONNECTION* cc,
                            const GoverningCase& governing, const ZEVO_RESULT* fast) {
  const NETWORK* nw = context.nw;
  auto slot_of = [&](const CONNECTION* c) {
    for (int k = 0; k < nw->nbr_connection; ++k) {
      if (nw->nc[k] && nw->nc[k]->c == c) return k;
    }
    return -1;
  };
  struct Met {
    std::vector<int> j;  // negated slots, ascending
    int y;               // negated slot; INT_MIN for a single cut
    const CALC_CUT_CONNECTION_ZEVO* trial;
    bool operator<(const Met& other) const {
      if ((y == INT_MIN) != (other.y == INT_MIN)) return y == INT_MIN;
      return j != other.j ? j < other.j : y < other.y;
    }
  };
  double largest = 0.0;
  for (const CALC_CUT_CONNECTION_ZEVO* t = cc->cut_connections; t; t = t->next) {
    if (t->cut_flag == kCutSeparates && t->zevo->val > largest) largest = t->zevo->val;
  }
  const Met* first = nullptr;
  std::vector<Met> met;
  for (const CALC_CUT_CONNECTION_ZEVO* t = cc->cut_connections; t; t = t->next) {
    if (t->cut_flag != kCutSeparates || !(t->zevo->val == largest) || largest == 0.0) continue;
    const NETWORK* cut = t->zevo->nw;
    auto side_of = [&](const NODE* n) {
      for (int x = 0; x < cut->nbr_network_nodes; ++x) {
        if (cut->nn[x]->n != n) continue;
        const int sub = cut->nn[x]->sub_network;
        return sub == t->subnetwork1 ? 1 : sub == t->subnetwork2 ? 2 : 0;
      }
      return 0;
    };
    Met m{{}, INT_MIN, t};
    std::vector<std::pair<int, bool>> cuts;  // negated slot, joins the sides
    for (const CUT_CONNECTION* k = t->cuts; k; k = k->next) {
      cuts.push_back({-slot_of(k->c), (side_of(k->c->n1) | side_of(k->c->n2)) == 3});
    }
    std::sort(cuts.begin(), cuts.end());
    for (std::size_t i = 0; i < cuts.size(); ++i) {
      if (i > 0 && cuts[i].second && m.y == INT_MIN) {
        m.y = cuts[i].first;
      } else {
        m.j.push_back(cuts[i].first);
      }
    }
    if (cuts.size() > 1 && m.y == INT_MIN) return "the reference kept a set no single cut grows to";
    met.push_back(m);
  }
  for (const Met& m : met) {
    if (!first || m < *first) first = &m;
  }
  if (!first) return governing.found ? "a split where no set of cuts gives a flow" : "";
  if (!governing.found) return "no split where a set of cuts gives a flow";

  const ZEVO_RESULT* expected = first->trial->zevo;
  if (!agree_per_condition(fast, expected, 0.0)) {
    return "the figures of another split of the largest value";
  }
  std::vector<int> label(nw->nbr_network_nodes, 0);
  for (int x = 0; x < nw->nbr_network_nodes; ++x) {
    const int sub = expected->nw->nn[x]->sub_network;
    label[x] = sub == first->trial->subnetwork1 ? 1 : sub == first->trial->subnetwork2 ? 2 : 0;
  }
  auto node_slot = [&](const NODE* n) {
    for (int x = 0; x < nw->nbr_network_nodes; ++x) {
      if (nw->nn[x]->n == n) return x;
    }
    return -1;
  };
  const int own = slot_of(cc->c);
  std::vector<int> open;
  for (int k = 0; k < nw->nbr_connection; ++k) {
    if (k == own || !nw->nc[k] || nw->nc[k]->sub_network != nw->nc[own]->sub_network) continue;
    if (label[node_slot(nw->nc[k]->c->n1)] != label[node_slot(nw->nc[k]->c->n2)]) {
      open.push_back(k);
    }
  }
  return open == governing.open ? "" : "another split of the largest value is opened";
}

// Where the figures are finite, the search over splits must keep what balancing every set of
// cuts keeps, whichever of the two the cable's computation picks: the same split, the same
// figures, bit for bit. Both are run here on the cable's sub-network. Returns what differs.
std::string check_splits(const ZEVO_CONTEXT& context, const CALC_CONNECTION* cc) {
  const NETWORK* nw = context.nw;
  std::vector<const char*> names;
  for (const CALC_CONDITION* c = context.calc_conditions; c; c = c->next) names.push_back(c->name);
  SideFigures figures;
  figures.gather(nw, names.data(), static_cast<int>(names.size()));
  int own = -1;
  for (int k = 0; k < nw->nbr_connection && own < 0; ++k) {
    if (nw->nc[k] && nw->nc[k]->c == cc->c) own = k;
  }
  const int sub = nw->nc[own]->sub_network;
  const std::vector<int>& nodes = figures.nodes_of(sub);
  std::vector<int> local(nw->nbr_network_nodes, -1);
  for (std::size_t i = 0; i < nodes.size(); ++i) local[nodes[i]] = static_cast<int>(i);
  auto local_of = [&](const NODE* n) {
    for (int x = 0; x < nw->nbr_network_nodes; ++x) {
      if (nw->nn[x]->n == n) return local[x];
    }
    return -1;
  };
  std::vector<int> a, b;
  int nbr_cables = 0;
  for (int k = nw->nbr_connection - 1; k >= 0; --k) {
    if (!nw->nc[k] || nw->nc[k]->sub_network != sub) continue;
    ++nbr_cables;
    if (k == own) continue;
    a.push_back(local_of(nw->nc[k]->c->n1));
    b.push_back(local_of(nw->nc[k]->c->n2));
  }
  ExporterProblem problem;
  problem.graph.build(static_cast<int>(nodes.size()), a, b);
  problem.s = local_of(cc->c->n1);
  problem.t = local_of(cc->c->n2);
  problem.nbr_loops = nbr_cables - 1 - static_cast<int>(nodes.size()) + 1;
  if (!gather_exporter_figures(figures, sub, local, &problem)) return "";

  std::vector<signed char> by_slot(nw->nbr_network_nodes, 0);
  auto balance = [&](const std::vector<signed char>& side, SideBalance* out) {
    for (std::size_t i = 0; i < nodes.size(); ++i) by_slot[nodes[i]] = side[i];
    figures.balance(sub, by_slot, out);
  };
  SideBalance kept, candidate;
  kept.resize(figures.nbr_conditions());
  candidate.resize(figures.nbr_conditions());
  std::vector<signed char> kept_side;
  search_cut_sets(
      problem.graph, problem.s, problem.t, problem.nbr_loops,
      [&](const std::vector<signed char>& side) {
        balance(side, &candidate);
        if (!(candidate.val > kept.val)) return;
        kept = candidate;
        kept_side = side;
      },
      nullptr);
  // Ties settled from the splits kept, and by searching again when none may be kept.
  for (int max_ties : {4096, 0}) {
    problem.max_ties = max_ties;
    const std::string way = max_ties > 0 ? " (ties from the list)" : " (ties by searching)";
    SideBalance best;
    best.resize(figures.nbr_conditions());
    std::vector<signed char> best_side;
    const SplitOutcome outcome =
        search_exporter_splits(problem, balance, HUGE_VAL, &best, &best_side);
    if ((outcome == SplitOutcome::found) != !kept_side.empty()) {
      return "found by one search only" + way;
    }
    if (outcome != SplitOutcome::found) continue;
    if (best_side != kept_side) return "another split than every set of cuts gives" + way;
    for (const auto& [x, y] : {std::pair{&best.c_val, &kept.c_val},
                               {&best.c_g1, &kept.c_g1},
                               {&best.c_g2, &kept.c_g2},
                               {&best.c_l1, &kept.c_l1},
                               {&best.c_l2, &kept.c_l2}}) {
      for (std::size_t ci = 0; ci < x->size(); ++ci) {
        if (!agree((*x)[ci], (*y)[ci], 0.0)) return "other figures than every set of cuts" + way;
      }
    }
  }
  return "";
}

// Computes every requested cable of one drawn network both ways (the fast search reusing one search
// for the whole network, as the driver does) and compares them; counts the paths taken.
void compare_on(unsigned seed, int* counts) {
  NetworkDrawer drawer(seed);
  const DrawnNetwork net = drawer.draw();
  ZEVO_CONTEXT context;
  const std::vector<CALC_CONNECTION*> requests = build(net, &context);

  const std::vector<int> group = groups_of(net);
  auto error_of = [&](std::size_t request) {
    const std::vector<double> figures =
        figures_of(net, group, group[net.cables[net.requests[request]].a]);
    return error_bound(exact(figures), figures);
  };
  std::vector<ZEVO_RESULT*> fast(requests.size());
  std::vector<GoverningCase> governing(requests.size());
  CableSearch search;
  for (CALC_CONNECTION* cc = context.calc_connections; cc; cc = cc->next) {
    ZEVO_RESULT* reference_record = cc->results;
    cc->results = alloc_record<ZEVO_RESULT>(kOom);
    calc_zevo_cable(&context, cc, &search);
    const auto at = std::find(requests.begin(), requests.end(), cc) - requests.begin();
    fast[at] = cc->results;
    governing[at] = search.governing_case(cc);
    const std::string wrong = check_governing_case(context, search, cc, error_of(at));
    if (!wrong.empty()) ADD_FAILURE() << "seed " << seed << ", cable " << cc->name << ": " << wrong;
    cc->results = reference_record;
  }

  for (std::size_t i = 0; i < requests.size(); ++i) {
    CALC_CONNECTION* cc = requests[i];
    literal_calc_zevo_cable(&context, cc);
    const ZEVO_RESULT* expected = cc->results;
    const bool in_loop = expected->sub_network1 == expected->sub_network2;
    const Link& cable = net.cables[net.requests[i]];
    const Path path = path_of(in_loop, figures_of(net, group, group[cable.a]));
    ++counts[path];

    const ZEVO_RESULT* actual = fast[i];
    if (!agree(actual->val, expected->val, error_of(i)) ||
        printed(actual->val) != printed(expected->val) ||
        actual->sub_network1 != expected->sub_network1 ||
        actual->sub_network2 != expected->sub_network2) {
      ADD_FAILURE() << "seed " << seed << ", cable " << cc->name << " (" << kPathNames[path]
                    << ")\n  " << value_text("reference", expected) << "\n  "
                    << value_text("fast", actual) << "\n"
                    << describe(net);
    }
    if (path == kSplits || path == kCutSets) {
      std::string wrong = check_first_met(context, cc, governing[i], actual);
      if (wrong.empty() && path == kSplits) wrong = check_splits(context, cc);
      if (!wrong.empty()) {
        ADD_FAILURE() << "seed " << seed << ", cable " << cc->name << ": " << wrong << "\n"
                      << describe(net);
      }
    }
  }
}

TEST(CutSearchAgainstTheReference, AgreesOnRandomNetworks) {
  constexpr unsigned kFirstSeed = 20250412;
  constexpr int kNbrNetworks = 2500;
  int counts[kNbrPaths] = {};
  for (int n = 0; n < kNbrNetworks && !::testing::Test::HasFailure(); ++n) {
    compare_on(kFirstSeed + n, counts);
    release_all_records();
  }
  if (::testing::Test::HasFailure()) return;  // the counts stopped at the mismatch
  // Enough cables of every kind that a change to the drawing cannot silently drop one.
  const int minimum[kNbrPaths] = {1000, 2500, 2000, 3000, 2500, 1000};
  for (int p = 0; p < kNbrPaths; ++p) {
    EXPECT_GE(counts[p], minimum[p]) << "cables decided " << kPathNames[p];
  }
}

// The cut positions along one to four chains against every position vector, and along three with
// two of them combined into their frontier: the best flow is found, and every position weighed
// beats the best as it then stands. Node figures are drawn
// small, often zero and often repeated, so that crossings, flat runs and ties are common.
TEST(CutPositionsAgainstEveryPosition, FindTheBestFlow) {
  std::mt19937 random(20261208);
  auto draw = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  CutPositions positions;
  for (int round = 0; round < 3000 && !::testing::Test::HasFailure(); ++round) {
    const std::size_t k = static_cast<std::size_t>(draw(1, 4));
    const int widest = k >= 3 ? 7 : 14;
    std::vector<std::vector<Fixed>> pre_r(k), pre_f(k);
    std::vector<PositionAxis> axes(k);
    Fixed all_rise = 0, all_fall = 0;
    for (std::size_t i = 0; i < k; ++i) {
      const int len = draw(0, widest);
      pre_r[i].assign(1, 0);
      pre_f[i].assign(1, 0);
      for (int j = 0; j < len; ++j) {
        pre_r[i].push_back(pre_r[i].back() + (draw(0, 2) == 0 ? 0 : draw(0, 9)));
        pre_f[i].push_back(pre_f[i].back() + draw(0, 9));
      }
      axes[i] = {pre_r[i].data(), pre_f[i].data(), len, draw(0, 1) == 1};
      all_rise += axes[i].rise(len);
      all_fall += axes[i].fall(len);
    }
    const Fixed rise0 = draw(0, 20), fall0 = all_fall + draw(0, 20);
    auto flow_at = [&](const std::vector<int>& at) {
      Fixed rise = rise0, fall = fall0;
      for (std::size_t i = 0; i < k; ++i) rise += axes[i].rise(at[i]), fall -= axes[i].fall(at[i]);
      return rise < fall ? rise : fall;
    };
    Fixed most = -1;
    std::vector<int> at(k, 0);
    for (;;) {
      most = std::max(most, flow_at(at));
      std::size_t i = 0;
      while (i < k && at[i] == axes[i].len) at[i++] = 0;
      if (i == k) break;
      ++at[i];
    }
    const Fixed start = draw(0, 3) == 0 ? Fixed{draw(0, 30)} : Fixed{0};
    Fixed best = start;
    const Fixed expected = std::max(start, most);
    bool weighed_worse = false;
    positions.search(rise0, fall0, axes, &best, [&](const std::vector<int>& where) {
      const Fixed flow = flow_at(where);
      weighed_worse = weighed_worse || !(flow > best);
      best = std::max(best, flow);
    });
    EXPECT_EQ(static_cast<long long>(best), static_cast<long long>(expected))
        << "round " << round << ", " << k << " chains, rising " << static_cast<long long>(all_rise);
    EXPECT_FALSE(weighed_worse) << "round " << round;
    if (k != 3) continue;
    // The same with the two other chains combined into their frontier, halving each in turn.
    const std::size_t a = static_cast<std::size_t>(draw(0, 2));
    const std::size_t b = a == 0 ? 1 : 0, c = a == 2 ? 1 : 2;
    PairFrontier pairs;
    build_pair_frontier(axes[b], axes[c], &pairs);
    best = start;
    positions.search_three(rise0, fall0, axes, a, b, c, pairs, &best,
                           [&](const std::vector<int>& where) {
                             const Fixed flow = flow_at(where);
                             weighed_worse = weighed_worse || !(flow > best);
                             best = std::max(best, flow);
                           });
    EXPECT_EQ(static_cast<long long>(best), static_cast<long long>(expected))
        << "round " << round << ", by the frontier of chains " << b << " and " << c;
    EXPECT_FALSE(weighed_worse) << "round " << round << ", by the frontier";
  }
}

// A search stopped after a few nodes, on the same networks: every cable gets either the value of
// the whole search, bit for bit, or (bounded) a value at or above it, the value of its best split
// found at or below it (within the sums' error bound), and a governing case that opens that split.
void stop_searches_on(unsigned seed, int (*bounded)[kNbrPaths]) {
  static const long kNodeBudgets[] = {0, 1, 2, 5, 20, 100};
  NetworkDrawer drawer(seed);
  const DrawnNetwork net = drawer.draw();
  ZEVO_CONTEXT context;
  const std::vector<CALC_CONNECTION*> requests = build(net, &context);
  const std::vector<int> group = groups_of(net);

  CableSearch whole;
  for (CALC_CONNECTION* cc = context.calc_connections; cc; cc = cc->next) {
    calc_zevo_cable(&context, cc, &whole);
  }
  for (std::size_t b = 0; b < std::size(kNodeBudgets); ++b) {
    CableSearch search;
    for (std::size_t i = 0; i < requests.size(); ++i) {
      CALC_CONNECTION* cc = requests[i];
      const ZEVO_RESULT* exact_result = cc->results;
      const std::vector<double> figures =
          figures_of(net, group, group[net.cables[net.requests[i]].a]);
      const double error = error_bound(exact(figures), figures);
      cc->results = alloc_record<ZEVO_RESULT>(kOom);
      SearchBudget budget = SearchBudget::of_nodes(kNodeBudgets[b]);
      calc_zevo_cable(&context, cc, &search, &budget);
      const ZEVO_RESULT* stopped = cc->results;
      const Opening* opening = search.loop_opening(cc);
      const bool in_loop = exact_result->sub_network1 == exact_result->sub_network2;
      const Path path = path_of(in_loop, figures);
      std::string wrong;
      if (!opening || !opening->bounded) {
        if (!agree(stopped->val, exact_result->val, 0.0)) wrong = "an unbounded value differs";
      } else {
        ++(*bounded)[path];
        const double found = opening->found_val;
        if (!(stopped->val >= exact_result->val) || std::isnan(exact_result->val)) {
          wrong = "the bound lies below the value";
        } else if (!(found <= exact_result->val + error) || !(found < stopped->val)) {
          wrong = "the best split found lies above the value or the bound";
        } else {
          const GoverningCase governing = search.governing_case(cc);
          const bool opens =
              governing.bounded && governing.found_val == found &&
              (governing.condition >= 0 ? stopped->c_val[governing.condition] == found
                                        : found == 0.0);
          if (!opens) wrong = "the governing case is not the best split found";
        }
      }
      if (!wrong.empty()) {
        ADD_FAILURE() << "seed " << seed << ", cable " << cc->name << " (" << kPathNames[path]
                      << "), " << kNodeBudgets[b] << " nodes: " << wrong << "\n  "
                      << value_text("whole search", exact_result) << "\n  "
                      << value_text("stopped", stopped) << ", found "
                      << (opening ? opening->found_val : 0.0) << "\n"
                      << describe(net);
      }
      cc->results = const_cast<ZEVO_RESULT*>(exact_result);
    }
  }
}

TEST(CutSearchAgainstTheReference, StoppedSearchesBoundTheValue) {
  constexpr unsigned kFirstSeed = 20250601;
  constexpr int kNbrNetworks = 1500;
  int bounded[kNbrPaths] = {};
  for (int n = 0; n < kNbrNetworks && !::testing::Test::HasFailure(); ++n) {
    stop_searches_on(kFirstSeed + n, &bounded);
    release_all_records();
  }
  if (::testing::Test::HasFailure()) return;
  // Every search in a loop is stopped with something left to bound, many times over.
  for (Path p : {kBondsExact, kBondsInexact, kCutSets}) {
    EXPECT_GE(bounded[p], 2000) << "bounded cables decided " << kPathNames[p];
  }
}

}  // namespace
}  // namespace zevo
