// Input validation on hand-built input models: every message, its order, and the count.
#include "input/check_zevo_input.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "model/record_store.h"
#include "support/captured_messages.h"

namespace zevo {
namespace {

// Builds an input model the way the reader does: each call adds a record in document order,
// at the head of its list.
class InputModel {
 public:
  InputModel() { zevo_init(&context_); }
  ~InputModel() { release_all_records(); }

  NODE* lc(const char* name, std::initializer_list<const char*> conditions = {}) {
    auto* node = alloc_record<NODE>("oom\n");
    node->name = name;
    node->next = context_.nodes;
    context_.nodes = node;
    ++context_.nbr_nodes;
    for (const char* condition : conditions) add_condition(&node->conditions, condition);
    return node;
  }

  static void add_condition(CONDITION** list, const char* name, double generation = 0.0,
                            double load = 0.0) {
    auto* condition = alloc_record<CONDITION>("oom\n");
    condition->name = name;
    condition->generation = generation;
    condition->load = load;
    condition->next = *list;
    *list = condition;
  }

  void cable(const char* name, const char* lc1, const char* lc2) {
    auto* cable = alloc_record<CONNECTION>("oom\n");
    cable->name = name;
    cable->lc1 = lc1;
    cable->lc2 = lc2;
    cable->next = context_.connections;
    context_.connections = cable;
    ++context_.nbr_connections;
  }

  BUS_TRANSFER* bt(const char* name, const char* lc1, const char* lc2) {
    auto* bt = alloc_record<BUS_TRANSFER>("oom\n");
    bt->name = name;
    bt->lc1 = lc1;
    bt->lc2 = lc2;
    bt->next = context_.bustransfers;
    context_.bustransfers = bt;
    ++context_.nbr_bustransfers;
    return bt;
  }

  void want_condition(const char* name) {
    auto* condition = alloc_record<CALC_CONDITION>("oom\n");
    condition->name = name;
    condition->next = context_.calc_conditions;
    context_.calc_conditions = condition;
    ++context_.nbr_calc_conditions;
  }

  void want_cable(const char* name) {
    auto* cable = alloc_record<CALC_CONNECTION>("oom\n");
    cable->name = name;
    cable->next = context_.calc_connections;
    context_.calc_connections = cable;
    ++context_.nbr_calc_connections;
  }

  // Two lcs with condition n, a cable between them, a request for n and for the cable.
  void add_valid_network() {
    lc("A", {"n"});
    lc("B", {"n"});
    cable("K", "A", "B");
    want_condition("n");
    want_cable("K");
  }

  // Runs the check; `count` receives its result, the return value is the error stream's text.
  std::string check(int* count) {
    testing::CapturedMessages messages;
    *count = check_zevo_input(&context_);
    EXPECT_EQ(messages.out(), "");
    return messages.err();
  }

 private:
  ZEVO_CONTEXT context_;
};

TEST(CheckZevoInput, InputWithoutProblemsPrintsNothing) {
  InputModel model;
  model.add_valid_network();
  model.bt("T", "A", "B");
  int count = -1;
  EXPECT_EQ(model.check(&count), "");
  EXPECT_EQ(count, 0);
}

TEST(CheckZevoInput, OneProblemEndsWithTheSingularSummary) {
  InputModel model;
  model.add_valid_network();
  model.want_cable("Q");
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " **** ERROR undefined <cable> Q </cable> in <output>\n"
            " *** DECTECTED 1 ERROR ***\n");
  EXPECT_EQ(count, 1);
}

TEST(CheckZevoInput, OutputWithoutConditionsOrCablesIsOneError) {
  InputModel model;
  model.lc("A");
  model.lc("B");
  model.cable("K", "A", "B");
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " *** ERROR: no <condition> entities in <output>\n"
            " *** DECTECTED 1 ERROR ***\n");
  EXPECT_EQ(count, 1);
}

TEST(CheckZevoInput, RequestsWithoutNameOrCableAreReportedInListOrder) {
  InputModel model;
  model.add_valid_network();
  model.want_condition(nullptr);
  model.want_cable("Q");
  model.want_cable(nullptr);
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " **** ERROR missing <condition> string in <output>\n"
            " **** ERROR missing <cable> string in <output>\n"
            " **** ERROR undefined <cable> Q </cable> in <output>\n"
            " *** DETECTED 3 ERRORS ***\n");
  EXPECT_EQ(count, 3);
}

TEST(CheckZevoInput, RepeatedRequestsAndBusTransfersToTheSameLcAreAccepted) {
  InputModel model;
  model.add_valid_network();
  model.want_condition("n");
  model.want_cable("K");
  // Joins A to itself and defines no condition at all: neither is checked.
  model.bt("T", "A", "A");
  int count = -1;
  EXPECT_EQ(model.check(&count), "");
  EXPECT_EQ(count, 0);
}

TEST(CheckZevoInput, EveryPairOfLcsWithOneNameIsReportedOnce) {
  InputModel two;
  two.add_valid_network();
  two.lc("A", {"n"});
  int count = 0;
  EXPECT_EQ(two.check(&count),
            " *** ERROR: multiple <lc> entities with same name (A)\n"
            " *** DECTECTED 1 ERROR ***\n");

  InputModel three;
  three.add_valid_network();
  three.lc("A", {"n"});
  three.lc("A", {"n"});
  EXPECT_EQ(three.check(&count),
            " *** ERROR: multiple <lc> entities with same name (A)\n"
            " *** ERROR: multiple <lc> entities with same name (A)\n"
            " *** ERROR: multiple <lc> entities with same name (A)\n"
            " *** DETECTED 3 ERRORS ***\n");
  EXPECT_EQ(count, 3);
}

TEST(CheckZevoInput, LcWithoutNameGivesOnlyItsOwnLine) {
  InputModel model;
  model.add_valid_network();
  NODE* unnamed = model.lc(nullptr, {"x", "x"});  // lacks n and repeats x: neither is reported
  InputModel::add_condition(&unnamed->conditions, nullptr);
  model.lc(nullptr);  // two lcs without name are no pair with the same name
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " *** ERROR: <lc> entity without name\n"
            " *** ERROR: <lc> entity without name\n"
            " *** DETECTED 2 ERRORS ***\n");
  EXPECT_EQ(count, 2);
}

TEST(CheckZevoInput, LcChecksRunNameThenConditionsThenRequests) {
  InputModel model;
  model.lc("B", {"n"});
  NODE* first = model.lc("A", {"x", "x"});
  InputModel::add_condition(&first->conditions, nullptr, 100.0, 20.5);
  model.lc("A", {"n"});
  model.cable("K", "A", "B");
  model.want_condition("n");
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " *** ERROR: multiple <lc> entities with same name (A)\n"
            " *** ERROR: condition entity without name exists for LC A (   100.0     20.5)\n"
            " *** ERROR: condition entity \"x\" defined multiple times for LC A\n"
            " *** ERROR: condition \"n\" not defined for <lc> entity A\n"
            " *** DETECTED 4 ERRORS ***\n");
  EXPECT_EQ(count, 4);
}

TEST(CheckZevoInput, EveryLcMustDefineEveryRequestedCondition) {
  InputModel model;
  model.lc("A", {"n"});
  model.lc("B", {"n"});
  model.lc("C", {"n"});
  model.cable("K", "A", "B");
  model.want_condition("n");
  model.want_condition("p");
  model.want_condition("q");
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " *** ERROR: condition \"q\" not defined for <lc> entity C\n"
            " *** ERROR: condition \"p\" not defined for <lc> entity C\n"
            " *** ERROR: condition \"q\" not defined for <lc> entity B\n"
            " *** ERROR: condition \"p\" not defined for <lc> entity B\n"
            " *** ERROR: condition \"q\" not defined for <lc> entity A\n"
            " *** ERROR: condition \"p\" not defined for <lc> entity A\n"
            " *** DETECTED 6 ERRORS ***\n");
  EXPECT_EQ(count, 6);
}

TEST(CheckZevoInput, CablesWithoutNameAreNoPair) {
  InputModel model;
  model.add_valid_network();
  model.cable(nullptr, "A", "B");
  model.cable(nullptr, "B", "A");
  model.cable("K", "B", "A");
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " *** ERROR: cable entity \"K\" defined multiple times\n"
            " *** ERROR: cable entity without name exists (B A)\n"
            " *** ERROR: cable entity without name exists (A B)\n"
            " *** DETECTED 3 ERRORS ***\n");
  EXPECT_EQ(count, 3);
}

TEST(CheckZevoInput, CableWhoseEndsNameOneUndefinedLcGivesThreeLines) {
  InputModel model;
  model.add_valid_network();
  model.cable("K2", "Z", "Z");
  model.cable(nullptr, "A", "A");
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " *** ERROR: cable entity without name exists (A A)\n"
            " *** ERROR: cable entity (NULL) duplicate lc (A)\n"
            " *** ERROR: cable entity \"K2\" undefined lc (Z)\n"
            " *** ERROR: cable entity \"K2\" undefined lc (Z)\n"
            " *** ERROR: cable entity \"K2\" duplicate lc (Z)\n"
            " *** DETECTED 5 ERRORS ***\n");
  EXPECT_EQ(count, 5);
}

TEST(CheckZevoInput, MissingEndNamesAreUndefinedLcsButNoDuplicate) {
  InputModel model;
  model.add_valid_network();
  model.cable("C1", "A", nullptr);
  model.cable("C2", nullptr, nullptr);
  model.cable(nullptr, nullptr, nullptr);
  model.cable(nullptr, "Z", "B");
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " *** ERROR: cable entity without name exists (Z B)\n"
            " *** ERROR: cable entity (NULL) undefined lc (Z)\n"
            " *** ERROR: cable entity without name exists (NULL NULL)\n"
            " *** ERROR: cable entity (NULL) undefined lc (NULL)\n"
            " *** ERROR: cable entity (NULL) undefined lc (NULL)\n"
            " *** ERROR: cable entity \"C2\" undefined lc (NULL)\n"
            " *** ERROR: cable entity \"C2\" undefined lc (NULL)\n"
            " *** ERROR: cable entity \"C1\" undefined lc (NULL)\n"
            " *** DETECTED 8 ERRORS ***\n");
  EXPECT_EQ(count, 8);
}

TEST(CheckZevoInput, BusTransferChecks) {
  InputModel model;
  model.add_valid_network();
  BUS_TRANSFER* t4 = model.bt("T4", "A", "B");
  InputModel::add_condition(&t4->conditions, nullptr, 1.0, -2.0);
  InputModel::add_condition(&t4->conditions, "m");
  InputModel::add_condition(&t4->conditions, "m");
  model.bt("T3", nullptr, nullptr);
  model.bt("T2", "A", "Z");
  BUS_TRANSFER* unnamed = model.bt(nullptr, "Z", "Z");
  InputModel::add_condition(&unnamed->conditions, nullptr);
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " *** ERROR: Bus Transfer has no name\n"
            " *** ERROR: Bus Transfer (T2) node (Z) not defined\n"
            " *** ERROR: Bus Transfer (T3) node (NULL) not defined\n"
            " *** ERROR: Bus Transfer (T3) node (NULL) not defined\n"
            " *** ERROR: condition entity \"m\" defined multiple times for BT T4\n"
            " *** ERROR: condition entity without name exists for BT T4 (     1.0     -2.0)\n"
            " *** DETECTED 6 ERRORS ***\n");
  EXPECT_EQ(count, 6);
}

TEST(CheckZevoInput, WithoutLcsEveryEndIsUndefinedAfterTheTooFewLine) {
  InputModel model;
  model.want_condition("n");
  model.cable("K1", "A", "B");
  model.cable("K2", "C", "C");
  model.bt("T1", "A", "B");
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " *** ERROR: less than 2 <lc> entitities defined\n"
            " *** ERROR: cable entity \"K2\" undefined lc (C)\n"
            " *** ERROR: cable entity \"K2\" undefined lc (C)\n"
            " *** ERROR: cable entity \"K2\" duplicate lc (C)\n"
            " *** ERROR: cable entity \"K1\" undefined lc (A)\n"
            " *** ERROR: cable entity \"K1\" undefined lc (B)\n"
            " *** ERROR: Bus Transfer (T1) node (A) not defined\n"
            " *** ERROR: Bus Transfer (T1) node (B) not defined\n"
            " *** DETECTED 8 ERRORS ***\n");
  EXPECT_EQ(count, 8);
}

TEST(CheckZevoInput, StepsRunInTheirOrder) {
  InputModel model;
  NODE* a = model.lc("A");
  InputModel::add_condition(&a->conditions, nullptr);
  model.bt("T", "A", "B");
  model.want_condition(nullptr);
  model.want_cable("Q");
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " **** ERROR missing <condition> string in <output>\n"
            " **** ERROR undefined <cable> Q </cable> in <output>\n"
            " *** ERROR: less than 2 <lc> entitities defined\n"
            " *** ERROR: condition entity without name exists for LC A (     0.0      0.0)\n"
            " *** ERROR: no <cable> entitities defined\n"
            " *** ERROR: Bus Transfer (T) node (B) not defined\n"
            " *** DETECTED 6 ERRORS ***\n");
  EXPECT_EQ(count, 6);
}

TEST(CheckZevoInput, NamesDifferingInCaseAreDifferentNames) {
  InputModel model;
  model.lc("LC1", {"n"});
  model.lc("lc1", {"N", "n"});
  model.cable("K", "LC1", "lc1");
  model.cable("k", "Lc1", "lc1");
  model.want_condition("n");
  int count = 0;
  EXPECT_EQ(model.check(&count),
            " *** ERROR: cable entity \"k\" undefined lc (Lc1)\n"
            " *** DECTECTED 1 ERROR ***\n");
  EXPECT_EQ(count, 1);
}

}  // namespace
}  // namespace zevo
