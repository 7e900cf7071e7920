#include "search_network.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "calc/calc_zevo_cable.h"
#include "calc/reference/literal_cut_search.h"
#include "model/record_store.h"
#include "support/network_builder.h"

namespace zevo::testing {
namespace {

std::string number_text(double x) {
  if (std::isnan(x)) return "nan";
  std::ostringstream text;
  text.precision(17);
  text << x;
  return text.str();
}

std::istringstream words(std::string text) {
  std::replace(text.begin(), text.end(), ',', ' ');
  return std::istringstream(text);
}

}  // namespace

std::string describe_figures(const ZEVO_RESULT* r, int ci) {
  return number_text(r->c_g1[ci]) + " " + number_text(r->c_l1[ci]) + " " +
         number_text(r->c_g2[ci]) + " " + number_text(r->c_l2[ci]) + " = " +
         number_text(r->c_val[ci]);
}

void SearchNetwork::SetUp() {
  zevo_init(&context_);
  add_calc_condition(&context_, "normal");
}

void SearchNetwork::TearDown() { release_all_records(); }

std::vector<CALC_CONNECTION*> SearchNetwork::build(const std::string& lcs,
                                                   const std::string& cables,
                                                   const std::vector<std::string>& requested) {
  std::string name, lc1, lc2;
  double generation, load;
  for (std::istringstream in = words(lcs); in >> name >> generation >> load;) {
    add_condition(add_node(&context_, name.c_str()), "normal", generation, load);
  }
  for (std::istringstream in = words(cables); in >> name >> lc1 >> lc2;) {
    add_connection(&context_, name.c_str(), lc1.c_str(), lc2.c_str());
  }
  std::vector<CALC_CONNECTION*> requests;
  for (const std::string& c : requested)
    requests.push_back(add_calc_connection(&context_, c.c_str()));
  build_network(&context_);
  return requests;
}

void SearchNetwork::compute_all() {
  for (CALC_CONNECTION* cc = context_.calc_connections; cc; cc = cc->next) {
    literal_calc_zevo_cable(&context_, cc);
  }
}

ZEVO_RESULT* SearchNetwork::fast_result(CALC_CONNECTION* cc) {
  ZEVO_RESULT* kept = cc->results;
  cc->results = alloc_record<ZEVO_RESULT>("oom\n");
  calc_zevo_cable(&context_, cc);
  std::swap(kept, cc->results);
  return kept;
}

}  // namespace zevo::testing
