#include "bench_networks.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "model/record_store.h"
#include "network/base_network.h"

namespace zevo::bench {
namespace {

const char* const kOom = " bench: out of memory\n";
const char* const kConditionNames[kMaxConditions] = {"normal", "peak", "light", "maintenance"};

// Generation and load under each condition, by condition index.
struct Figures {
  double generation[kMaxConditions] = {};
  double load[kMaxConditions] = {};
};

const char* stored_text(const std::string& text) {
  char* copy = alloc_array<char>(text.size() + 1, kOom);
  text.copy(copy, text.size());
  return copy;
}

// Puts records at the heads of the context's lists, as the reader does, and draws the figures.
class NetworkWriter {
 public:
  NetworkWriter(ZEVO_CONTEXT* context, std::uint64_t seed, int conditions, FigureKind kind)
      : context_(context),
        state_(seed),
        conditions_(std::clamp(conditions, 1, kMaxConditions)),
        kind_(kind) {
    zevo_init(context);
    for (int ci = conditions_ - 1; ci >= 0; --ci) {
      auto* cond = alloc_record<CALC_CONDITION>(kOom);
      cond->name = kConditionNames[ci];
      cond->next = context->calc_conditions;
      context->calc_conditions = cond;
      ++context->nbr_calc_conditions;
    }
  }

  // A whole number in [lo, hi] (splitmix64 steps).
  double draw(int lo, int hi) {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return lo + static_cast<double>(z % static_cast<std::uint64_t>(hi - lo + 1));
  }

  // A figure of the range [lo, hi] as the kind of figures asks; one draw whatever the kind.
  double figure(int lo, int hi) {
    const int mid = (lo + hi) / 2;
    switch (kind_) {
      case FigureKind::one_decimal:
        return draw(10 * lo, 10 * hi) / 10.0;
      case FigureKind::equal:
        draw(lo, hi);
        return mid;
      case FigureKind::near_equal:
        return draw(mid - mid / 20, mid + mid / 20);
      case FigureKind::integer:
      case FigureKind::exporters:
        break;
    }
    return draw(lo, hi);
  }

  // A switchboard generates 500..3000 and, under every condition but the first, stands idle
  // one time in four (with random figures); every switchboard carries a load of its own.
  void add_switchboard(const std::string& name, bool generating) {
    Figures figures;
    for (int ci = 0; ci < conditions_; ++ci) figures.load[ci] = figure(0, 60);
    if (generating) {
      figures.generation[0] = figure(500, 3000);
      const bool may_idle = kind_ != FigureKind::equal && kind_ != FigureKind::near_equal;
      for (int ci = 1; ci < conditions_; ++ci) {
        const bool idle = draw(0, 3) == 0 && may_idle;
        figures.generation[ci] = idle ? 0.0 : figure(500, 3000);
      }
    }
    add_lc(name, figures);
  }

  void add_load(const std::string& name) {
    Figures figures;
    for (int ci = 0; ci < conditions_; ++ci) figures.load[ci] = figure(20, 200);
    add_lc(name, figures);
  }

  void add_lc(const std::string& name, Figures figures) {
    if (kind_ == FigureKind::exporters && nbr_lcs_ % 7 == 6) {
      for (int ci = 0; ci < conditions_; ++ci) figures.load[ci] = -40.0;
    }
    ++nbr_lcs_;
    auto* node = alloc_record<NODE>(kOom);
    node->name = stored_text(name);
    for (int ci = conditions_ - 1; ci >= 0; --ci) {
      auto* c = alloc_record<CONDITION>(kOom);
      c->name = kConditionNames[ci];
      c->generation = figures.generation[ci];
      c->load = figures.load[ci];
      c->next = node->conditions;
      node->conditions = c;
    }
    node->next = context_->nodes;
    context_->nodes = node;
    ++context_->nbr_nodes;
  }

  // Sets the load of the newest lc under condition index ci.
  void set_load(int ci, double load) {
    CONDITION* c = context_->nodes->conditions;
    for (int i = 0; i < ci; ++i) c = c->next;
    c->load = load;
  }

  void add_cable(const std::string& name, const std::string& lc1, const std::string& lc2) {
    auto* c = alloc_record<CONNECTION>(kOom);
    c->name = stored_text(name);
    c->lc1 = stored_text(lc1);
    c->lc2 = stored_text(lc2);
    c->next = context_->connections;
    context_->connections = c;
    ++context_->nbr_connections;
  }

  // Requests every cable, then resolves the names and builds the base network.
  void finish() {
    for (CONNECTION* c = context_->connections; c; c = c->next) {
      auto* cc = alloc_record<CALC_CONNECTION>(kOom);
      cc->name = c->name;
      cc->results = alloc_record<ZEVO_RESULT>(kOom);
      cc->next = context_->calc_connections;
      context_->calc_connections = cc;
      ++context_->nbr_calc_connections;
    }
    calc_connection(context_);
    create_base_network(context_);
  }

 private:
  ZEVO_CONTEXT* context_;
  std::uint64_t state_;
  int conditions_;
  FigureKind kind_;
  int nbr_lcs_ = 0;
};

std::string numbered(const char* prefix, int i) { return prefix + std::to_string(i); }

std::string numbered(const char* prefix, int i, int j) {
  return numbered(prefix, i) + "." + std::to_string(j);
}

}  // namespace

// Switchboards, panels and ring cables are numbered across the rings, so a single ring keeps
// the names it has always had.
void build_ring(ZEVO_CONTEXT* context, const RingShape& shape) {
  NetworkWriter writer(context, 0x5EED0000u + shape.switchboards, shape.conditions, shape.figures);
  const int n = shape.switchboards;
  const int fanout = shape.panel_fanout;
  for (int ring = 0; ring < shape.rings; ++ring) {
    const int first = ring * n;
    for (int i = first; i < first + n; ++i) {
      const std::string sb = numbered("SB", i);
      writer.add_switchboard(sb, i % 3 == 0);
      for (int j = 0; j < shape.panels; ++j) {
        const std::string panel = numbered("PP", i, j);
        writer.add_load(panel);
        if (shape.negative && i == n / 2 && j == 0) writer.set_load(0, -writer.draw(20, 200));
        const bool from_sb = fanout <= 0 || j < fanout;
        writer.add_cable(numbered("F", i, j), from_sb ? sb : numbered("PP", i, j / fanout - 1),
                         panel);
      }
    }
    for (int i = 0; i < n; ++i) {
      writer.add_cable(numbered("R", first + i), numbered("SB", first + i),
                       numbered("SB", first + (i + 1) % n));
    }
    // Ties start at evenly spread switchboards of one half and end opposite them.
    const int step = shape.ties > 0 ? std::max(1, n / (2 * shape.ties)) : 1;
    for (int k = 0; k < shape.ties; ++k) {
      const int from = (k * step) % n;
      writer.add_cable(numbered("T", ring * shape.ties + k), numbered("SB", first + from),
                       numbered("SB", first + (from + n / 2) % n));
    }
    // Away from the ties' ends.
    if (ring > 0) {
      writer.add_cable(numbered("L", ring), numbered("SB", first - n + n / 4),
                       numbered("SB", first + 3 * n / 4));
    }
  }
  writer.finish();
}

void build_grid(ZEVO_CONTEXT* context, const GridShape& shape) {
  NetworkWriter writer(context, 0x6121D000u + 100u * shape.rows + shape.cols, shape.conditions,
                       shape.figures);
  for (int g = 0; g < shape.grids; ++g) {
    // The first grid keeps the names it had when there was only one.
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "G" + std::to_string(g).
    const std::string grid = g == 0 ? "" : std::string("G").append(std::to_string(g)).append(".");
    auto name = [&](const char* prefix, int r, int c) { return grid + numbered(prefix, r, c); };
    for (int r = 0; r < shape.rows; ++r) {
      for (int c = 0; c < shape.cols; ++c) {
        const int at = r * shape.cols + c;
        if (at % 4 == 0) {
          writer.add_switchboard(name("SB", r, c), true);
        } else {
          writer.add_load(name("SB", r, c));
        }
        if (shape.negative && r == shape.rows / 2 && c == shape.cols / 2) {
          writer.set_load(1, -writer.draw(20, 200));
        }
      }
    }
    for (int r = 0; r < shape.rows; ++r) {
      for (int c = 0; c < shape.cols; ++c) {
        const std::string here = name("SB", r, c);
        if (c + 1 < shape.cols) writer.add_cable(name("H", r, c), here, name("SB", r, c + 1));
        if (r + 1 < shape.rows) writer.add_cable(name("V", r, c), here, name("SB", r + 1, c));
      }
    }
  }
  writer.finish();
}

// Each lc hangs from one of the 64 lcs made before it, so feeders run long and branch often;
// about one lc in forty generates.
void build_tree(ZEVO_CONTEXT* context, const TreeShape& shape) {
  NetworkWriter writer(context, 0x76EE0000u, shape.conditions, shape.figures);
  for (int i = 0; i < shape.lcs; ++i) {
    const std::string lc = numbered("LC", i);
    if (writer.draw(0, 39) == 0) {
      writer.add_switchboard(lc, true);
    } else {
      writer.add_load(lc);
    }
    if (i == 0) continue;
    const int parent = i - 1 - static_cast<int>(writer.draw(0, std::min(i, 64) - 1));
    writer.add_cable(numbered("F", i), numbered("LC", parent), lc);
  }
  writer.finish();
}

int nbr_independent_loops(const ZEVO_CONTEXT& context) {
  return context.nbr_connections - context.nbr_nodes + context.nw->nbr_sub_networks;
}

}  // namespace zevo::bench
