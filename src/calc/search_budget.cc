#include "calc/search_budget.h"

namespace zevo {

SearchBudget SearchBudget::until(Clock::time_point deadline) {
  SearchBudget budget;
  budget.limited_ = true;
  budget.deadline_ = deadline;
  return budget;
}

SearchBudget SearchBudget::share_of(Clock::time_point end, int nbr_threads, int nbr_cables_left) {
  const Clock::time_point now = Clock::now();
  if (nbr_cables_left <= nbr_threads || now >= end) return until(end);
  const double share = static_cast<double>(nbr_threads) / nbr_cables_left;
  return until(now + std::chrono::duration_cast<Clock::duration>((end - now) * share));
}

SearchBudget SearchBudget::of_nodes(long nbr_nodes) {
  SearchBudget budget;
  budget.limited_ = true;
  budget.by_nodes_ = true;
  budget.nbr_left_ = nbr_nodes;
  return budget;
}

}  // namespace zevo
