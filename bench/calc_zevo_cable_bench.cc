// Timing of the cut search for one cable of a looped network.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "calc/calc_zevo_cable.h"
#include "model/record_store.h"
#include "network/calc_connection.h"

namespace zevo {
namespace {

const char* const kOom = " bench: out of memory\n";

const char* stored_text(const std::string& text) {
  char* copy = alloc_array<char>(text.size() + 1, kOom);
  text.copy(copy, text.size());
  return copy;
}

// A ladder of `rungs` rungs: two rails of lcs, joined at every position, so that the network
// holds rungs - 1 loops. Half the lcs generate, half load, under two conditions. The cable
// requested is the first rung, which lies in every loop's reach.
CALC_CONNECTION* make_ladder(ZEVO_CONTEXT* context, int rungs) {
  zevo_init(context);
  for (const char* name : {"summer", "winter"}) {
    auto* cond = alloc_record<CALC_CONDITION>(kOom);
    cond->name = name;
    cond->next = context->calc_conditions;
    context->calc_conditions = cond;
    ++context->nbr_calc_conditions;
  }
  std::vector<std::string> names;
  for (int i = 0; i < rungs; ++i) {
    for (const char* rail : {"L", "R"}) {
      auto* node = alloc_record<NODE>(kOom);
      node->name = stored_text(rail + std::to_string(i));
      for (const char* name : {"summer", "winter"}) {
        auto* c = alloc_record<CONDITION>(kOom);
        c->name = name;
        c->generation = *rail == 'L' ? 100.0 + i : 0.0;
        c->load = *rail == 'R' ? 40.0 + 3 * i : 5.0;
        c->next = node->conditions;
        node->conditions = c;
      }
      node->next = context->nodes;
      context->nodes = node;
      ++context->nbr_nodes;
    }
  }
  auto cable = [&](const std::string& name, const std::string& lc1, const std::string& lc2) {
    auto* c = alloc_record<CONNECTION>(kOom);
    c->name = stored_text(name);
    c->lc1 = stored_text(lc1);
    c->lc2 = stored_text(lc2);
    c->next = context->connections;
    context->connections = c;
    ++context->nbr_connections;
  };
  for (int i = 0; i < rungs; ++i) {
    const std::string at = std::to_string(i);
    cable("RUNG" + at, "L" + at, "R" + at);
    if (i + 1 < rungs) {
      const std::string next = std::to_string(i + 1);
      cable("LEFT" + at, "L" + at, "L" + next);
      cable("RIGHT" + at, "R" + at, "R" + next);
    }
  }
  auto* cc = alloc_record<CALC_CONNECTION>(kOom);
  cc->name = "RUNG0";
  cc->results = alloc_record<ZEVO_RESULT>(kOom);
  context->calc_connections = cc;
  context->nbr_calc_connections = 1;
  calc_connection(context);
  create_base_network(context);
  return cc;
}

int count_trials(const CALC_CONNECTION* cc) {
  int n = 0;
  for (const CALC_CUT_CONNECTION_ZEVO* t = cc->cut_connections; t; t = t->next) ++n;
  return n;
}

void BM_CalcZevoCableLadder(benchmark::State& state) {
  int trials = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ZEVO_CONTEXT context;
    CALC_CONNECTION* cc = make_ladder(&context, static_cast<int>(state.range(0)));
    state.ResumeTiming();
    calc_zevo_cable(&context, cc);
    benchmark::DoNotOptimize(cc->results->val);
    state.PauseTiming();
    trials = count_trials(cc);
    release_all_records();
    state.ResumeTiming();
  }
  state.counters["trials"] = trials;
}
BENCHMARK(BM_CalcZevoCableLadder)->DenseRange(3, 5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zevo
