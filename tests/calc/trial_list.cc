#include "trial_list.h"

#include <cstring>

namespace zevo::testing {
namespace {

std::string cut_set_text(const CALC_CUT_CONNECTION_ZEVO* trial) {
  std::string text = "{";
  for (const CUT_CONNECTION* cut = trial->cuts; cut; cut = cut->next) {
    if (cut != trial->cuts) text += ",";
    text += cut->c->name;
  }
  return text + "}";
}

}  // namespace

std::vector<std::string> describe_trials(const CALC_CONNECTION* cc) {
  std::vector<std::string> texts;
  for (const CALC_CUT_CONNECTION_ZEVO* t = cc->cut_connections; t; t = t->next) {
    texts.push_back(cut_set_text(t) + ":" + std::to_string(t->cut_flag));
  }
  return texts;
}

const CALC_CUT_CONNECTION_ZEVO* find_trial(const CALC_CONNECTION* cc, const std::string& cuts) {
  for (const CALC_CUT_CONNECTION_ZEVO* t = cc->cut_connections; t; t = t->next) {
    if (cut_set_text(t) == cuts) return t;
  }
  return nullptr;
}

int sub_network_of(const CALC_CUT_CONNECTION_ZEVO* trial, const std::string& name) {
  const NETWORK* nw = trial->zevo->nw;
  for (int i = 0; i < nw->nbr_network_nodes; ++i) {
    if (nw->nn[i] && name == nw->nn[i]->n->name) return nw->nn[i]->sub_network;
  }
  return -1;
}

}  // namespace zevo::testing
