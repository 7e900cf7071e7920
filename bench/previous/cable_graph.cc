#include "previous/cable_graph.h"

#include <algorithm>

namespace zevo::previous {

void CableGraph::build(int nbr_nodes, const std::vector<int>& end1, const std::vector<int>& end2) {
  end1_ = end1;
  end2_ = end2;
  first_.assign(nbr_nodes + 1, 0);
  const int edges = static_cast<int>(end1.size());
  auto usable = [&](int e) { return end1[e] >= 0 && end2[e] >= 0; };
  for (int e = 0; e < edges; ++e) {
    if (!usable(e)) continue;
    ++first_[end1[e] + 1];
    ++first_[end2[e] + 1];
  }
  for (int x = 0; x < nbr_nodes; ++x) first_[x + 1] += first_[x];
  edge_.assign(first_[nbr_nodes], -1);
  to_.assign(first_[nbr_nodes], -1);
  std::vector<int> fill(first_.begin(), first_.end() - 1);
  for (int e = 0; e < edges; ++e) {
    if (!usable(e)) continue;
    edge_[fill[end1[e]]] = e;
    to_[fill[end1[e]]++] = end2[e];
    edge_[fill[end2[e]]] = e;
    to_[fill[end2[e]]++] = end1[e];
  }
}

void DepthFirst::run(const CableGraph& graph, const std::vector<char>* cut, int root) {
  const int n = graph.nbr_nodes();
  tin.assign(n, -1);
  tout.assign(n, -1);
  parent_edge.assign(n, -1);
  low.assign(n, -1);
  next_half_.assign(n, 0);
  order.clear();
  int clock = 0;
  if (root >= 0) {
    visit_from(graph, cut, root, &clock);
    return;
  }
  for (int x = 0; x < n; ++x) {
    if (tin[x] < 0) visit_from(graph, cut, x, &clock);
  }
}

// Iterative, so that a long feeder costs memory rather than call stack. low[x] is the lowest
// tin reachable from x's subtree over one edge other than the tree edge x came in by.
void DepthFirst::visit_from(const CableGraph& graph, const std::vector<char>* cut, int root,
                            int* clock) {
  auto enter = [&](int x) {
    tin[x] = low[x] = (*clock)++;
    next_half_[x] = graph.first(x);
    order.push_back(x);
    stack_.push_back(x);
  };
  stack_.clear();
  enter(root);
  while (!stack_.empty()) {
    const int x = stack_.back();
    if (next_half_[x] < graph.first(x + 1)) {
      const int h = next_half_[x]++;
      const int e = graph.edge(h);
      if (e == parent_edge[x] || (cut && (*cut)[e])) continue;
      const int y = graph.neighbour(h);
      if (tin[y] < 0) {
        parent_edge[y] = e;
        enter(y);
      } else {
        low[x] = std::min(low[x], tin[y]);
      }
      continue;
    }
    stack_.pop_back();
    tout[x] = *clock;
    if (parent_edge[x] >= 0) {
      const int parent = graph.other_end(parent_edge[x], x);
      low[parent] = std::min(low[parent], low[x]);
    }
  }
}

int DepthFirst::tree_child(const CableGraph& graph, int e) const {
  for (int x : {graph.end1(e), graph.end2(e)}) {
    if (x >= 0 && tin[x] >= 0 && parent_edge[x] == e) return x;
  }
  return -1;
}

bool DepthFirst::bridge(const CableGraph& graph, int e) const {
  const int child = tree_child(graph, e);
  return child >= 0 && low[child] == tin[child];
}

}  // namespace zevo::previous
