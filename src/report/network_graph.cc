#include "report/network_graph.h"

#include <nlohmann/json.hpp>
#include <string>
#include <unordered_map>
#include <vector>

#include "calc/cable_analysis.h"
#include "model/program_identity.h"

namespace zevo {
namespace {

// The text as valid UTF-8 (U+FFFD for each invalid byte), through the JSON library's own check,
// then quoted for dot: quotes and backslashes escaped, control characters shown as blanks.
std::string dot_quoted(const char* text) {
  const std::string valid =
      nlohmann::json::parse(nlohmann::json(text ? text : "(NULL)")
                                .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace))
          .get<std::string>();
  std::string quoted = "\"";
  for (char ch : valid) {
    if (ch == '"' || ch == '\\') quoted += '\\';
    quoted += static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f ? ' ' : ch;
  }
  return quoted + '"';
}

// A label's second line, written as dot's own line break.
std::string two_lines(const char* name, const std::string& second) {
  std::string label = dot_quoted(name);
  label.pop_back();
  return label + "\\n" + second + '"';
}

void write_clusters(FILE* stream, const NETWORK* nw) {
  std::vector<std::vector<int>> members(nw->nbr_sub_networks + 1);
  for (int x = 0; x < nw->nbr_network_nodes; ++x) {
    const NETWORK_NODE* entry = nw->nn[x];
    if (!entry) continue;
    const int s = entry->sub_network;
    members[s >= 1 && s <= nw->nbr_sub_networks ? s : 0].push_back(x);
  }
  for (int s = 0; s <= nw->nbr_sub_networks; ++s) {
    if (members[s].empty()) continue;
    const char* indent = s > 0 ? "    " : "  ";
    if (s > 0) {
      const int loops = nw->nbr_loops ? nw->nbr_loops[s] : 0;
      std::fprintf(stream, "  subgraph cluster_%d {\n    label=\"sub-network %d, %d loop%s\";\n", s,
                   s, loops, loops == 1 ? "" : "s");
    }
    for (int x : members[s]) {
      std::fprintf(stream, "%sn%d [label=%s];\n", indent, x,
                   dot_quoted(nw->nn[x]->n->name).c_str());
    }
    if (s > 0) std::fprintf(stream, "  }\n");
  }
}

}  // namespace

void print_zevo_graph(FILE* stream, const ZEVO_CONTEXT* context, CableSearch* search) {
  const NETWORK* nw = context->nw;
  const CableAnalysis& analysis = search->analysis(context);
  std::unordered_map<const CONNECTION*, double> values;
  for (const CALC_CONNECTION* cc = context->calc_connections; cc; cc = cc->next) {
    if (cc->c && cc->results) values[cc->c] = cc->results->val;
  }

  std::fprintf(stream, "graph zevo {\n");
  std::string title = "zevo ";
  title.append(kVersion).append(": ").append(context->xmlfile ? context->xmlfile : "");
  std::fprintf(stream,
               "  graph [label=%s, labelloc=t, fontname=\"Helvetica\"];\n"
               "  node [shape=box, style=rounded, fontname=\"Helvetica\"];\n"
               "  edge [fontname=\"Helvetica\", fontsize=10];\n",
               two_lines(title.c_str(),
                         "bold blue: cable in a loop; dotted: bus transfer; figure: Zevo value")
                   .c_str());
  write_clusters(stream, nw);

  for (int k = 0; k < nw->nbr_connection; ++k) {
    const NETWORK_CONNECTION* entry = nw->nc[k];
    if (!entry || !entry->c) continue;
    const int a = analysis.node_slot(entry->c->n1), b = analysis.node_slot(entry->c->n2);
    if (a < 0 || b < 0) continue;
    auto value = values.find(entry->c);
    std::string label = dot_quoted(entry->c->name);
    if (value != values.end()) {
      char figure[64];
      std::snprintf(figure, sizeof figure, "%.1f", value->second);
      label = two_lines(entry->c->name, figure);
    }
    std::fprintf(stream, "  n%d -- n%d [label=%s%s];\n", a, b, label.c_str(),
                 analysis.in_loop(k) ? ", penwidth=2, color=\"blue\"" : "");
  }
  for (int k = 0; k < nw->nbr_bustransfers; ++k) {
    const NETWORK_BUS_TRANSFER* entry = nw->nbt[k];
    if (!entry || !entry->bt) continue;
    const int a = analysis.node_slot(entry->bt->n1), b = analysis.node_slot(entry->bt->n2);
    if (a < 0 || b < 0) continue;
    std::fprintf(stream, "  n%d -- n%d [label=%s, style=dotted, color=\"gray40\"];\n", a, b,
                 dot_quoted(entry->bt->name).c_str());
  }
  std::fprintf(stream, "}\n");
}

}  // namespace zevo
