#include "calc/calc_zevo_cable.h"

#include <vector>

#include "calc/balance.h"
#include "calc/cable_analysis.h"
#include "model/messages.h"

namespace zevo {
namespace {

constexpr char kResultOutOfMemory[] = " *** ERROR: Out of memory in calc_zevo_cable\n";

// The condition index of every figure of a cable is the position in calc_conditions.
void name_result_conditions(const ZEVO_CONTEXT* context, ZEVO_RESULT* r) {
  const CALC_CONDITION* entry = context->calc_conditions;
  int index = 0;
  for (; index < context->nbr_calc_conditions && entry; ++index, entry = entry->next) {
    r->condition[index] = entry->name;
  }
  if (index != context->nbr_calc_conditions || entry) {
    exit_with_message(Stream::out, "*** ERROR: number of calc_conditions not correct (%d)",
                      context->nbr_calc_conditions);
  }
}

}  // namespace

CableSearch::CableSearch() = default;
CableSearch::~CableSearch() = default;

CableAnalysis& CableSearch::analysis(const ZEVO_CONTEXT* context, const char* const* names) {
  if (!analysis_) {
    analysis_ = std::make_unique<CableAnalysis>();
    analysis_->build(context->nw, names, context->nbr_calc_conditions);
  }
  return *analysis_;
}

const CableAnalysis& CableSearch::analysis(const ZEVO_CONTEXT* context) {
  if (analysis_) return *analysis_;
  std::vector<const char*> names;
  for (const CALC_CONDITION* entry = context->calc_conditions; entry; entry = entry->next) {
    names.push_back(entry->name);
  }
  names.push_back(nullptr);
  return analysis(context, names.data());
}

void CableSearch::remember(const CALC_CONNECTION* cc, int slot, Opening opening) {
  if (computed_.size() <= static_cast<std::size_t>(slot)) {
    computed_.resize(static_cast<std::size_t>(analysis_->graph().nbr_edges()) + 1, 0);
  }
  computed_[slot] = 1;
  if (analysis_->in_loop(slot)) loop_openings_[cc] = std::move(opening);
}

GoverningCase CableSearch::governing_case(const CALC_CONNECTION* cc) {
  const int slot = analysis_ && cc->c ? analysis_->cable_slot(cc->c) : -1;
  if (slot < 0 || static_cast<std::size_t>(slot) >= computed_.size() || !computed_[slot]) {
    return GoverningCase{};
  }
  const int end1 = analysis_->node_slot(cc->c->n1), end2 = analysis_->node_slot(cc->c->n2);
  if (!analysis_->in_loop(slot)) {
    return cases_.describe(*analysis_, slot, end1, end2, Opening{true, {}}, cc->results);
  }
  return cases_.describe(*analysis_, slot, end1, end2, loop_openings_[cc], cc->results);
}

const Opening* CableSearch::loop_opening(const CALC_CONNECTION* cc) const {
  const auto found = loop_openings_.find(cc);
  return found == loop_openings_.end() ? nullptr : &found->second;
}

CablePlace place_cable(ZEVO_CONTEXT* context, CALC_CONNECTION* cc, CableSearch* search) {
  if (!context || !cc || !cc->results || !search) {
    exit_with_message(Stream::err, " *** ERROR: NULL POINTER in calc_zevo_cable\n");
  }
  ZEVO_RESULT* r = cc->results;
  allocate_result_arrays(r, context->nbr_calc_conditions, kResultOutOfMemory, Stream::out);
  name_result_conditions(context, r);

  CableAnalysis& analysis = search->analysis(context, r->condition);
  CablePlace place;
  place.slot = cc->c ? analysis.cable_slot(cc->c) : -1;
  if (place.slot < 0) {
    exit_with_message(Stream::out, " *** ERROR: cannot find cable %s in network (%d) (%d)\n",
                      shown_text(cc->name), context->nw->nbr_connection,
                      context->nw->nbr_connection);
  }
  place.end1 = analysis.node_slot(cc->c->n1);
  place.end2 = analysis.node_slot(cc->c->n2);
  if (place.end1 < 0 || place.end2 < 0) {
    exit_with_message(Stream::out,
                      " ERROR: cannot find one of the nodes for cable %s in network \n",
                      shown_text(cc->name));
  }
  return place;
}

void calc_zevo_cable(ZEVO_CONTEXT* context, CALC_CONNECTION* cc, CableSearch* search,
                     SearchBudget* budget) {
  const CablePlace place = place_cable(context, cc, search);
  Opening opening;
  search->analysis(context, cc->results->condition)
      .compute(place.slot, place.end1, place.end2, cc->results, &opening, budget);
  search->remember(cc, place.slot, std::move(opening));
}

void calc_zevo_cable(ZEVO_CONTEXT* context, CALC_CONNECTION* cc) {
  CableSearch search;
  calc_zevo_cable(context, cc, &search);
}

}  // namespace zevo
