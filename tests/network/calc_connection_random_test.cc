// Name resolution looks names up in an index; here it is compared with the walk from the head
// of the nodes list that it replaces, on random inputs with repeated and missing names.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "model/messages.h"
#include "network/calc_connection.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

bool same(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

// Every node named like an end sets it; the walk stops once both ends are set.
bool resolve_by_walking(NODE* nodes, const char* lc1, NODE** n1, const char* lc2, NODE** n2) {
  for (NODE* node = nodes; node && !(*n1 && *n2); node = node->next) {
    if (same(lc1, node->name)) *n1 = node;
    if (same(lc2, node->name)) *n2 = node;
  }
  return *n1 && *n2;
}

// One of three names, or none; the builder copies the text.
const char* random_name(std::mt19937& random) {
  static const char* const kNames[] = {nullptr, "a", "b", "c"};
  return kNames[random() % 4];
}

TEST(CalcConnectionRandom, ResolvesEveryEndAsTheWalkFromTheHeadDoes) {
  std::mt19937 random(8122026);
  int nbr_resolved = 0;
  for (int round = 0; round < 5000; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    ZEVO_CONTEXT context;
    zevo_init(&context);
    for (int i = static_cast<int>(random() % 6); i > 0; --i) {
      testing::add_node(&context, random_name(random));
    }
    CONNECTION* cable =
        testing::add_connection(&context, "C", random_name(random), random_name(random));
    NODE* preset = context.nodes && random() % 4 == 0 ? context.nodes : nullptr;
    cable->n1 = preset;

    NODE* n1 = preset;
    NODE* n2 = nullptr;
    const bool resolves = resolve_by_walking(context.nodes, cable->lc1, &n1, cable->lc2, &n2);
    testing::CapturedMessages messages;
    if (resolves) {
      calc_connection(&context);
      EXPECT_EQ(cable->n1, n1);
      EXPECT_EQ(cable->n2, n2);
      ++nbr_resolved;
    } else {
      EXPECT_THROW(calc_connection(&context), RunEnded);
      EXPECT_NE(messages.out().find(" node not found ("), std::string::npos);
    }
  }
  EXPECT_GT(nbr_resolved, 1000);  // both outcomes are exercised
}

}  // namespace
}  // namespace zevo
