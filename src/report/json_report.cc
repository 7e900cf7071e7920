#include "report/json_report.h"

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "calc/cable_analysis.h"
#include "model/program_identity.h"

namespace zevo {
namespace {

using Json = nlohmann::ordered_json;

// Invalid UTF-8 becomes U+FFFD rather than failing the whole document.
std::string dump(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void write(FILE* stream, const Json& value) { std::fputs(dump(value).c_str(), stream); }

Json text(const char* name) { return name ? Json(name) : Json(nullptr); }

// JSON has no NaN or infinity: such a figure is null, and "<key>_nonfinite" says which it was.
void put_figure(Json& object, const std::string& key, double figure) {
  if (std::isfinite(figure)) {
    object[key] = figure;
    return;
  }
  object[key] = nullptr;
  object[key + "_nonfinite"] = std::isnan(figure) ? "NaN" : figure > 0 ? "Infinity" : "-Infinity";
}

const char* node_name(const NETWORK* nw, int slot) { return nw->nn[slot]->n->name; }
const char* cable_name(const NETWORK* nw, int slot) { return nw->nc[slot]->c->name; }

// A side as slices [first, end) of its sub-network's load centres in depth-first order.
Json side_of(const CableSide& side) {
  Json object = Json::object();
  object["nbr_load_centres"] = side.nbr_nodes;
  Json slices = Json::array();
  for (const auto& [first, end] : side.slices) slices.push_back(Json::array({first, end}));
  object["load_centre_slices"] = std::move(slices);
  return object;
}

Json cable_of(const ZEVO_CONTEXT* context, const CALC_CONNECTION& requested, CableSearch* search) {
  static const ZEVO_RESULT kZeroResult{};
  const CONNECTION* cable = requested.c;
  const ZEVO_RESULT& r = requested.results ? *requested.results : kZeroResult;
  Json object = Json::object();
  object["name"] = text(cable ? cable->name : requested.name);
  object["node_1"] = text(cable ? cable->lc1 : nullptr);
  object["node_2"] = text(cable ? cable->lc2 : nullptr);
  const GoverningCase governing = search->governing_case(&requested);
  put_figure(object, "zevo", r.val);
  // A search stopped by the time limit: "zevo" is its upper bound, the figures below are those
  // of the best opening it found.
  if (governing.bounded) {
    object["exact"] = false;
    put_figure(object, "zevo_found", governing.found_val);
  }
  object["loop"] = r.sub_network1 == r.sub_network2;
  object["sub_network"] = governing.sub_network;
  object["governing_condition"] =
      governing.condition >= 0 ? text(r.condition[governing.condition]) : Json(nullptr);
  Json conditions = Json::array();
  for (int ci = 0; ci < r.nbr_conditions; ++ci) {
    Json figures = Json::object();
    figures["condition"] = text(r.condition[ci]);
    put_figure(figures, "flow", r.c_val[ci]);
    put_figure(figures, "generation_1", r.c_g1[ci]);
    put_figure(figures, "load_1", r.c_l1[ci]);
    put_figure(figures, "generation_2", r.c_g2[ci]);
    put_figure(figures, "load_2", r.c_l2[ci]);
    conditions.push_back(std::move(figures));
  }
  object["conditions"] = std::move(conditions);

  if (!governing.found) {
    object["open_cables"] = nullptr;
    object["side_1"] = nullptr;
    object["side_2"] = nullptr;
    return object;
  }
  Json open = Json::array();
  for (int k : governing.open) open.push_back(text(cable_name(context->nw, k)));
  object["open_cables"] = std::move(open);
  object["side_1"] = side_of(governing.side1);
  object["side_2"] = side_of(governing.side2);
  return object;
}

// Every sub-network of the base network with its loop count, its load centres in depth-first
// order (the order the sides' slices count in) and its cables in the network's order.
std::vector<Json> sub_networks_of(const NETWORK* nw, const CableAnalysis& analysis) {
  std::vector<Json> subs;
  for (int s = 1; s <= nw->nbr_sub_networks; ++s) {
    Json sub = Json::object();
    sub["number"] = s;
    sub["loops"] = nw->nbr_loops ? nw->nbr_loops[s] : 0;
    Json centres = Json::array();
    const int first = analysis.first_position(s);
    const int size = static_cast<int>(analysis.nodes_of(s).size());
    for (int at = first; at < first + size; ++at) {
      centres.push_back(text(node_name(nw, analysis.forest().order[at])));
    }
    sub["load_centres"] = std::move(centres);
    sub["cables"] = Json::array();
    subs.push_back(std::move(sub));
  }
  for (int k = 0; k < nw->nbr_connection; ++k) {
    const NETWORK_CONNECTION* entry = nw->nc[k];
    const int s = entry ? entry->sub_network : 0;
    if (s >= 1 && s <= nw->nbr_sub_networks) subs[s - 1]["cables"].push_back(text(entry->c->name));
  }
  return subs;
}

// Writes the members of `items` one to a line, as the value of `key`.
template <typename Items, typename Write>
void write_array(FILE* stream, const char* key, const Items& items, Write write_item) {
  std::fprintf(stream, "%s:[", dump(Json(key)).c_str());
  bool first = true;
  for (const auto& item : items) {
    std::fputs(first ? "\n" : ",\n", stream);
    write_item(item);
    first = false;
  }
  std::fputs(first ? "]" : "\n]", stream);
}

}  // namespace

void print_zevo_json(FILE* stream, const ZEVO_CONTEXT* context, CableSearch* search,
                     bool results_opened) {
  // The head is written as one object without its closing brace, so that the long arrays
  // after it can be written a cable at a time instead of held whole.
  Json head = Json::object();
  head["program"] = "zevo";
  head["version"] = kVersion;
  head["input"] = text(context->xmlfile);
  head["output"] = text(context->outfile);
  head["output_opened"] = results_opened;
  Json conditions = Json::array();
  for (const CALC_CONDITION* entry = context->calc_conditions; entry; entry = entry->next) {
    conditions.push_back(text(entry->name));
  }
  head["conditions"] = std::move(conditions);
  std::string opening = dump(head);
  opening.pop_back();
  std::fprintf(stream, "%s,\n", opening.c_str());

  std::vector<const CALC_CONNECTION*> requested;
  for (const CALC_CONNECTION* cc = context->calc_connections; cc; cc = cc->next) {
    requested.push_back(cc);
  }
  write_array(stream, "cables", requested,
              [&](const CALC_CONNECTION* cc) { write(stream, cable_of(context, *cc, search)); });
  std::fputs(",\n", stream);
  write_array(stream, "sub_networks", sub_networks_of(context->nw, search->analysis(context)),
              [&](const Json& sub) { write(stream, sub); });
  std::fputs("}\n", stream);
}

}  // namespace zevo
