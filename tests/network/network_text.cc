#include "network_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "support/network_builder.h"

namespace zevo::testing {
namespace {

const char* name_of(const std::string& word) { return word == "~" ? nullptr : word.c_str(); }

// Adds one record per word "name=lc1-lc2" with `add`.
template <typename Add>
void add_links(ZEVO_CONTEXT* context, const std::string& part, Add add) {
  for (std::string word : words(part)) {
    std::replace(word.begin(), word.end(), '=', ' ');
    std::replace(word.begin(), word.end(), '-', ' ');
    const std::vector<std::string> names = words(word);
    add(context, name_of(names.at(0)), name_of(names.at(1)), name_of(names.at(2)));
  }
}

template <typename Entry, typename Text>
void list_slots(std::ostringstream& out, const char* label, Entry* const* slots, int count,
                Text text) {
  out << label;
  if (!slots) out << " (no array)";
  for (int i = 0; slots && i < count; ++i) out << ' ' << (slots[i] ? text(slots[i]) : "-");
}

std::string shown(const char* name) { return name ? name : "~"; }
std::string named(const NETWORK_CONNECTION* e) { return shown(e->c->name); }
std::string named(const NETWORK_NODE* e) { return shown(e->n->name); }
std::string named(const NETWORK_BUS_TRANSFER* e) { return shown(e->bt->name); }

template <typename Entry>
int empty_named(Entry** slots, int count, const std::string& name) {
  int emptied = 0;
  for (int i = 0; i < count; ++i) {
    if (slots[i] && named(slots[i]) == name) {
      slots[i] = nullptr;
      ++emptied;
    }
  }
  return emptied;
}

}  // namespace

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> list;
  for (std::string word; in >> word;) list.push_back(word);
  return list;
}

void add_records(ZEVO_CONTEXT* context, const std::string& text) {
  std::istringstream in(text);
  std::string part[4];
  for (std::string& p : part) std::getline(in, p, '|');
  for (const std::string& word : words(part[0])) add_node(context, name_of(word));
  add_links(context, part[1], add_connection);
  add_links(context, part[2], add_bus_transfer);
  for (const std::string& word : words(part[3])) add_calc_connection(context, name_of(word));
}

std::string numbering(const NETWORK* nw) {
  std::ostringstream out;
  auto number = [](const auto* entry) { return std::to_string(entry->sub_network); };
  list_slots(out, "nc", nw->nc, nw->nbr_connection, number);
  list_slots(out, " / nn", nw->nn, nw->nbr_network_nodes, number);
  list_slots(out, " / bt", nw->nbt, nw->nbr_bustransfers, [](const NETWORK_BUS_TRANSFER* e) {
    return std::to_string(e->sub_network1) + ":" + std::to_string(e->sub_network2);
  });
  out << " / loops";
  for (int s = 1; nw->nbr_loops && s <= nw->nbr_sub_networks; ++s) out << ' ' << nw->nbr_loops[s];
  return out.str();
}

std::string slot_names(const NETWORK* nw) {
  std::ostringstream out;
  auto name = [](const auto* entry) { return named(entry); };
  list_slots(out, "nc", nw->nc, nw->nbr_connection + 1, name);
  list_slots(out, " / nn", nw->nn, nw->nbr_network_nodes + 1, name);
  list_slots(out, " / bt", nw->nbt, nw->nbr_bustransfers + 1, name);
  return out.str();
}

void empty_slot(NETWORK* nw, const std::string& name) {
  const int emptied = empty_named(nw->nc, nw->nbr_connection, name) +
                      empty_named(nw->nn, nw->nbr_network_nodes, name) +
                      empty_named(nw->nbt, nw->nbr_bustransfers, name);
  EXPECT_GT(emptied, 0) << "no slot named " << name;
}

}  // namespace zevo::testing
