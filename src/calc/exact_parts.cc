#include "calc/exact_parts.h"

#include <cmath>

namespace zevo {

void ExactParts::build(const SideFigures& figures, const CableGraph& graph,
                       const DepthFirst& forest, const std::vector<int>& component,
                       const std::vector<int>& tree_root) {
  figures_ = &figures;
  graph_ = &graph;
  dfs_ = &forest;
  component_ = &component;
  tree_root_ = &tree_root;
  nbr_nodes_ = figures.nbr_nodes();
  const int nc = figures.nbr_conditions();

  subtree_g_.assign(static_cast<std::size_t>(nc) * nbr_nodes_, 0);
  subtree_l_.assign(static_cast<std::size_t>(nc) * nbr_nodes_, 0);
  if (figures.scale().usable()) {
    for (int ci = 0; ci < nc; ++ci) {
      for (int x = 0; x < nbr_nodes_; ++x) {
        subtree_g_[at(ci, x)] = figures.node_fixed_g(x, ci);
        subtree_l_[at(ci, x)] = figures.node_fixed_l(x, ci);
      }
      for (auto x = forest.order.rbegin(); x != forest.order.rend(); ++x) {
        const int e = forest.parent_edge[*x];
        if (e < 0) continue;
        const int parent = graph.other_end(e, *x);
        subtree_g_[at(ci, parent)] += subtree_g_[at(ci, *x)];
        subtree_l_[at(ci, parent)] += subtree_l_[at(ci, *x)];
      }
    }
  }

  int nbr_components = 0;
  for (int c : component) nbr_components = c + 1 > nbr_components ? c + 1 : nbr_components;
  // Counting sorts: members in preorder, so that a part's first member is its topmost node;
  // cables in slot order.
  member_first_.assign(nbr_components + 1, 0);
  cable_first_.assign(nbr_components + 1, 0);
  for (int x : forest.order) ++member_first_[component[x] + 1];
  auto within = [&](int k) {
    const int a = graph.end1(k), b = graph.end2(k);
    return a >= 0 && b >= 0 && component[a] == component[b] ? component[a] : -1;
  };
  for (int k = 0; k < graph.nbr_edges(); ++k) {
    if (within(k) >= 0) ++cable_first_[within(k) + 1];
  }
  for (int c = 0; c < nbr_components; ++c) {
    member_first_[c + 1] += member_first_[c];
    cable_first_[c + 1] += cable_first_[c];
  }
  member_nodes_.assign(member_first_[nbr_components], -1);
  cable_slots_.assign(cable_first_[nbr_components], -1);
  local_.assign(nbr_nodes_, -1);
  std::vector<int> fill(member_first_.begin(), member_first_.end() - 1);
  for (int x : forest.order) {
    local_[x] = fill[component[x]] - member_first_[component[x]];
    member_nodes_[fill[component[x]]++] = x;
  }
  fill.assign(cable_first_.begin(), cable_first_.end() - 1);
  for (int k = 0; k < graph.nbr_edges(); ++k) {
    if (within(k) >= 0) cable_slots_[fill[within(k)]++] = k;
  }
}

void ExactParts::split_radial(int slot, int end1, int sub, ExactSplit* out) const {
  const int nc = figures_->nbr_conditions();
  const int below = dfs_->tree_child(*graph_, slot);
  const int root = (*tree_root_)[below];
  const bool below1 = end1 == below;
  for (std::vector<Fixed>* v : {&out->g1, &out->l1, &out->g2, &out->l2}) v->assign(nc, 0);
  for (int ci = 0; ci < nc; ++ci) {
    Fixed g_below = subtree_g_[at(ci, below)], l_below = subtree_l_[at(ci, below)];
    Fixed g_above = subtree_g_[at(ci, root)] - g_below;
    Fixed l_above = subtree_l_[at(ci, root)] - l_below;
    for (int b : figures_->bus_transfers_of(sub)) {
      bool on_below = false, on_above = false;
      for (int which : {1, 2}) {
        const int end = figures_->bus_end(b, which);
        if (end < 0 || figures_->sub_network_of(end) != sub) continue;
        (dfs_->holds(below, end) ? on_below : on_above) = true;
      }
      const Fixed g = figures_->bus_fixed_g(b, ci), l = figures_->bus_fixed_l(b, ci);
      if (on_below) g_below += g, l_below += l;
      if (on_above) g_above += g, l_above += l;
    }
    out->g1[ci] = below1 ? g_below : g_above;
    out->l1[ci] = below1 ? l_below : l_above;
    out->g2[ci] = below1 ? g_above : g_below;
    out->l2[ci] = below1 ? l_above : l_below;
  }
}

// The node of the part that `x` hangs from: itself in the part, the part's topmost node for
// whatever lies outside its subtree, else the first ancestor in the part.
int ExactParts::hang_of(int x, int component, int top) const {
  while ((*component_)[x] != component) {
    if (!dfs_->holds(top, x)) return top;
    x = graph_->other_end(dfs_->parent_edge[x], x);
  }
  return x;
}

void ExactParts::make_part(int component, int sub, ExactPart* part) const {
  const std::span<const int> nodes = members(component);
  const int n = static_cast<int>(nodes.size());
  const int nc = figures_->nbr_conditions();
  const int top = nodes[0];
  const int root = (*tree_root_)[top];
  part->nbr_nodes = n;
  part->nbr_conditions = nc;
  part->g.assign(static_cast<std::size_t>(nc) * n, 0);
  part->l.assign(static_cast<std::size_t>(nc) * n, 0);
  for (int i = 0; i < n; ++i) {
    const int y = nodes[i];
    for (int ci = 0; ci < nc; ++ci) {
      Fixed g = figures_->node_fixed_g(y, ci), l = figures_->node_fixed_l(y, ci);
      if (y == top) {
        g += subtree_g_[at(ci, root)] - subtree_g_[at(ci, top)];
        l += subtree_l_[at(ci, root)] - subtree_l_[at(ci, top)];
      }
      for (int h = graph_->first(y); h < graph_->first(y + 1); ++h) {
        const int z = graph_->neighbour(h);
        if (z == y || dfs_->parent_edge[z] != graph_->edge(h) || (*component_)[z] == component) {
          continue;
        }
        g += subtree_g_[at(ci, z)];
        l += subtree_l_[at(ci, z)];
      }
      part->g[static_cast<std::size_t>(ci) * n + i] = g;
      part->l[static_cast<std::size_t>(ci) * n + i] = l;
    }
  }
  part->end1.clear();
  part->end2.clear();
  for (int k : cables(component)) {
    part->end1.push_back(local_[graph_->end1(k)]);
    part->end2.push_back(local_[graph_->end2(k)]);
  }

  const std::vector<int>& buses = figures_->bus_transfers_of(sub);
  const int nb = static_cast<int>(buses.size());
  part->bus_a.assign(nb, -1);
  part->bus_b.assign(nb, -1);
  part->bus_g.assign(static_cast<std::size_t>(nc) * nb, 0);
  part->bus_l.assign(static_cast<std::size_t>(nc) * nb, 0);
  for (int i = 0; i < nb; ++i) {
    for (int which : {1, 2}) {
      const int end = figures_->bus_end(buses[i], which);
      if (end < 0 || figures_->sub_network_of(end) != sub) continue;
      (which == 1 ? part->bus_a : part->bus_b)[i] = local_[hang_of(end, component, top)];
    }
    for (int ci = 0; ci < nc; ++ci) {
      part->bus_g[static_cast<std::size_t>(ci) * nb + i] = figures_->bus_fixed_g(buses[i], ci);
      part->bus_l[static_cast<std::size_t>(ci) * nb + i] = figures_->bus_fixed_l(buses[i], ci);
    }
  }
}

bool settle_figures(const SideFigures& figures, int sub, const ExactSplit& split,
                    SideBalance* out) {
  const FixedScale& scale = figures.scale();
  out->val = 0.0;
  for (int ci = 0; ci < figures.nbr_conditions(); ++ci) {
    const double g1 = scale.to_double(split.g1[ci]), l1 = scale.to_double(split.l1[ci]);
    const double g2 = scale.to_double(split.g2[ci]), l2 = scale.to_double(split.l2[ci]);
    out->c_g1[ci] = g1, out->c_l1[ci] = l1, out->c_g2[ci] = g2, out->c_l2[ci] = l2;
    out->c_val[ci] = std::fmax(std::fmin(g1, l2), std::fmin(g2, l1));
    if (out->c_val[ci] > out->val) out->val = out->c_val[ci];
  }
  // Exact figures: the prescribed sums are these, bit for bit.
  if (figures.exact(sub)) return true;
  return printed_alike(out->val, figures.sum_error(sub));
}

}  // namespace zevo
