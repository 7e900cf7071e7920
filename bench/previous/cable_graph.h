// Frozen copy, in namespace zevo::previous, of the cut search as it stood before the search on
// reduced graphs, kept so that the benchmarks can state their ratios to it in the same run.
// Change nothing here but what keeps it building.
//
// The cables of a network as an undirected multigraph, and a depth-first search over it that
// finds the cables whose removal splits their part of the network (bridges).
//
// Entry points:
// - CableGraph::build(nbr_nodes, end1, end2): edge e joins end1[e] and end2[e] (node indexes
//   below nbr_nodes; an edge with a negative end is left out). Parallel edges and edges from a
//   node to itself are kept. Owns its arrays.
// - DepthFirst::run(graph, cut, root): visits, from `root` (or, with root < 0, from every
//   unvisited node in index order), the nodes reached over edges not marked in `cut` (may be
//   null). Afterwards tin/tout give each reached node's preorder interval (tin -1: not
//   reached), parent_edge its tree edge (-1 at a root), and bridge(e) tells whether a tree
//   edge is a bridge. Scratch arrays are kept between runs; run them as often as needed.
// Nothing here prints or ends the run; the standard containers throw std::bad_alloc.
#pragma once

#include <vector>

namespace zevo::previous {

class CableGraph {
 public:
  void build(int nbr_nodes, const std::vector<int>& end1, const std::vector<int>& end2);

  int nbr_nodes() const { return static_cast<int>(first_.size()) - 1; }
  int nbr_edges() const { return static_cast<int>(end1_.size()); }
  int end1(int e) const { return end1_[e]; }
  int end2(int e) const { return end2_[e]; }
  // The end of edge e that is not x (x itself for an edge from x to x).
  int other_end(int e, int x) const { return end1_[e] == x ? end2_[e] : end1_[e]; }
  // Half-edges of node x: for h in [first(x), first(x + 1)), edge(h) leads to neighbour(h).
  int first(int x) const { return first_[x]; }
  int edge(int h) const { return edge_[h]; }
  int neighbour(int h) const { return to_[h]; }

 private:
  std::vector<int> first_, edge_, to_, end1_, end2_;
};

class DepthFirst {
 public:
  void run(const CableGraph& graph, const std::vector<char>* cut, int root);

  std::vector<int> tin, tout, parent_edge, low;
  std::vector<int> order;  // reached nodes in preorder

  bool reached(int x) const { return tin[x] >= 0; }
  // True when x lies in the subtree of `top` (both reached).
  bool holds(int top, int x) const { return tin[top] <= tin[x] && tin[x] < tout[top]; }
  // The tree child of edge e, or -1 when e is no tree edge of the last run.
  int tree_child(const CableGraph& graph, int e) const;
  // A tree edge whose removal disconnects its child's subtree from the rest.
  bool bridge(const CableGraph& graph, int e) const;

 private:
  void visit_from(const CableGraph& graph, const std::vector<char>* cut, int root, int* clock);
  std::vector<int> stack_, next_half_;
};

}  // namespace zevo::previous
