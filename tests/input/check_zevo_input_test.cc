// Input validation on hand-built input models: every message, its order, and the count.
#include "input/check_zevo_input.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "model/record_store.h"
#include "support/captured_messages.h"

namespace zevo {
namespace {

// Builds an input model the way the reader does: each call adds a record in document order, at
// the head of its list; cond() adds a condition to the lc or bus transfer added last.
class InputModel {
 public:
  InputModel() { zevo_init(&context_); }
  ~InputModel() { release_all_records(); }

  InputModel& lc(const char* name, std::initializer_list<const char*> conditions = {}) {
    NODE* node = push(&context_.nodes, &context_.nbr_nodes);
    node->name = name;
    conditions_ = &node->conditions;
    for (const char* condition : conditions) cond(condition);
    return *this;
  }
  InputModel& cond(const char* name, double generation = 0.0, double load = 0.0) {
    CONDITION* condition = push(conditions_, nullptr);
    condition->name = name;
    condition->generation = generation;
    condition->load = load;
    return *this;
  }
  InputModel& cable(const char* name, const char* lc1, const char* lc2) {
    set_ends(push(&context_.connections, &context_.nbr_connections), name, lc1, lc2);
    return *this;
  }
  InputModel& bt(const char* name, const char* lc1, const char* lc2) {
    BUS_TRANSFER* bt = push(&context_.bustransfers, &context_.nbr_bustransfers);
    set_ends(bt, name, lc1, lc2);
    conditions_ = &bt->conditions;
    return *this;
  }
  InputModel& want(const char* condition) {
    push(&context_.calc_conditions, &context_.nbr_calc_conditions)->name = condition;
    return *this;
  }
  InputModel& want_cable(const char* cable) {
    push(&context_.calc_connections, &context_.nbr_calc_connections)->name = cable;
    return *this;
  }
  // Two lcs with condition n, a cable between them, a request for n and for the cable.
  InputModel& valid_network() {
    return lc("A", {"n"}).lc("B", {"n"}).cable("K", "A", "B").want("n").want_cable("K");
  }
  const ZEVO_CONTEXT* context() const { return &context_; }

 private:
  template <typename Record>
  static Record* push(Record** list, int* count) {
    auto* record = alloc_record<Record>("oom\n");
    record->next = *list;
    *list = record;
    if (count) ++*count;
    return record;
  }

  template <typename Record>
  static void set_ends(Record* record, const char* name, const char* lc1, const char* lc2) {
    record->name = name;
    record->lc1 = lc1;
    record->lc2 = lc2;
  }

  ZEVO_CONTEXT context_;
  CONDITION** conditions_ = nullptr;
};

struct CheckCase {
  const char* name;
  int count;  // the number of problems found
  void (*build)(InputModel&);
  const char* err;
};

void expect_checks(std::initializer_list<CheckCase> cases) {
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    InputModel model;
    c.build(model);
    testing::CapturedMessages messages;
    EXPECT_EQ(check_zevo_input(model.context()), c.count);
    EXPECT_EQ(messages.err(), c.err);
    EXPECT_EQ(messages.out(), "");
  }
}

TEST(CheckZevoInput, OutputRequestsAndTheSummary) {
  expect_checks({
      // A bus transfer may join A to itself and define no condition at all: neither is checked.
      {"no problems, repeated requests, bt to the same lc", 0,
       [](auto& m) { m.valid_network().want("n").want_cable("K").bt("T", "A", "A"); }, ""},
      {"output without conditions or cables is one error", 1,
       [](auto& m) { m.lc("A").lc("B").cable("K", "A", "B"); },
       " *** ERROR: no <condition> entities in <output>\n"
       " *** DECTECTED 1 ERROR ***\n"},
      {"requests without name or cable, in list order", 3,
       [](auto& m) { m.valid_network().want(nullptr).want_cable("Q").want_cable(nullptr); },
       " **** ERROR missing <condition> string in <output>\n"
       " **** ERROR missing <cable> string in <output>\n"
       " **** ERROR undefined <cable> Q </cable> in <output>\n"
       " *** DETECTED 3 ERRORS ***\n"},
  });
}

TEST(CheckZevoInput, LoadCentres) {
  expect_checks({
      {"two lcs with one name", 1, [](auto& m) { m.valid_network().lc("A", {"n"}); },
       " *** ERROR: multiple <lc> entities with same name (A)\n"
       " *** DECTECTED 1 ERROR ***\n"},
      {"three lcs with one name: every pair once", 3,
       [](auto& m) { m.valid_network().lc("A", {"n"}).lc("A", {"n"}); },
       " *** ERROR: multiple <lc> entities with same name (A)\n"
       " *** ERROR: multiple <lc> entities with same name (A)\n"
       " *** ERROR: multiple <lc> entities with same name (A)\n"
       " *** DETECTED 3 ERRORS ***\n"},
      // The first unnamed lc lacks n and repeats x: neither is reported. Two lcs without name
      // are no pair with the same name.
      {"lc without name gives only its own line", 2,
       [](auto& m) {
         m.valid_network().lc(nullptr, {"x", "x"}).cond(nullptr).lc(nullptr);
       },
       " *** ERROR: <lc> entity without name\n"
       " *** ERROR: <lc> entity without name\n"
       " *** DETECTED 2 ERRORS ***\n"},
      {"name, then conditions, then requests", 4,
       [](auto& m) {
         m.lc("B", {"n"}).lc("A", {"x", "x"}).cond(nullptr, 100.0, 20.5).lc("A", {"n"});
         m.cable("K", "A", "B").want("n");
       },
       " *** ERROR: multiple <lc> entities with same name (A)\n"
       " *** ERROR: condition entity without name exists for LC A (   100.0     20.5)\n"
       " *** ERROR: condition entity \"x\" defined multiple times for LC A\n"
       " *** ERROR: condition \"n\" not defined for <lc> entity A\n"
       " *** DETECTED 4 ERRORS ***\n"},
      {"every lc must define every requested condition", 6,
       [](auto& m) {
         m.lc("A", {"n"}).lc("B", {"n"}).lc("C", {"n"}).cable("K", "A", "B");
         m.want("n").want("p").want("q");
       },
       " *** ERROR: condition \"q\" not defined for <lc> entity C\n"
       " *** ERROR: condition \"p\" not defined for <lc> entity C\n"
       " *** ERROR: condition \"q\" not defined for <lc> entity B\n"
       " *** ERROR: condition \"p\" not defined for <lc> entity B\n"
       " *** ERROR: condition \"q\" not defined for <lc> entity A\n"
       " *** ERROR: condition \"p\" not defined for <lc> entity A\n"
       " *** DETECTED 6 ERRORS ***\n"},
      {"names differing in case are different names", 1,
       [](auto& m) {
         m.lc("LC1", {"n"}).lc("lc1", {"N", "n"});
         m.cable("K", "LC1", "lc1").cable("k", "Lc1", "lc1").want("n");
       },
       " *** ERROR: cable entity \"k\" undefined lc (Lc1)\n"
       " *** DECTECTED 1 ERROR ***\n"},
  });
}

TEST(CheckZevoInput, CablesAndBusTransfers) {
  expect_checks({
      {"cables without name are no pair", 3,
       [](auto& m) {
         m.valid_network().cable(nullptr, "A", "B").cable(nullptr, "B", "A").cable("K", "B", "A");
       },
       " *** ERROR: cable entity \"K\" defined multiple times\n"
       " *** ERROR: cable entity without name exists (B A)\n"
       " *** ERROR: cable entity without name exists (A B)\n"
       " *** DETECTED 3 ERRORS ***\n"},
      {"ends naming one undefined lc give three lines", 5,
       [](auto& m) { m.valid_network().cable("K2", "Z", "Z").cable(nullptr, "A", "A"); },
       " *** ERROR: cable entity without name exists (A A)\n"
       " *** ERROR: cable entity (NULL) duplicate lc (A)\n"
       " *** ERROR: cable entity \"K2\" undefined lc (Z)\n"
       " *** ERROR: cable entity \"K2\" undefined lc (Z)\n"
       " *** ERROR: cable entity \"K2\" duplicate lc (Z)\n"
       " *** DETECTED 5 ERRORS ***\n"},
      {"missing end names are undefined lcs but no duplicate", 8,
       [](auto& m) {
         m.valid_network().cable("C1", "A", nullptr).cable("C2", nullptr, nullptr);
         m.cable(nullptr, nullptr, nullptr).cable(nullptr, "Z", "B");
       },
       " *** ERROR: cable entity without name exists (Z B)\n"
       " *** ERROR: cable entity (NULL) undefined lc (Z)\n"
       " *** ERROR: cable entity without name exists (NULL NULL)\n"
       " *** ERROR: cable entity (NULL) undefined lc (NULL)\n"
       " *** ERROR: cable entity (NULL) undefined lc (NULL)\n"
       " *** ERROR: cable entity \"C2\" undefined lc (NULL)\n"
       " *** ERROR: cable entity \"C2\" undefined lc (NULL)\n"
       " *** ERROR: cable entity \"C1\" undefined lc (NULL)\n"
       " *** DETECTED 8 ERRORS ***\n"},
      {"bus transfers", 6,
       [](auto& m) {
         m.valid_network().bt("T4", "A", "B").cond(nullptr, 1.0, -2.0).cond("m").cond("m");
         m.bt("T3", nullptr, nullptr).bt("T2", "A", "Z").bt(nullptr, "Z", "Z").cond(nullptr);
       },
       " *** ERROR: Bus Transfer has no name\n"
       " *** ERROR: Bus Transfer (T2) node (Z) not defined\n"
       " *** ERROR: Bus Transfer (T3) node (NULL) not defined\n"
       " *** ERROR: Bus Transfer (T3) node (NULL) not defined\n"
       " *** ERROR: condition entity \"m\" defined multiple times for BT T4\n"
       " *** ERROR: condition entity without name exists for BT T4 (     1.0     -2.0)\n"
       " *** DETECTED 6 ERRORS ***\n"},
      {"without lcs every end is undefined after the too-few line", 8,
       [](auto& m) { m.want("n").cable("K1", "A", "B").cable("K2", "C", "C").bt("T1", "A", "B"); },
       " *** ERROR: less than 2 <lc> entitities defined\n"
       " *** ERROR: cable entity \"K2\" undefined lc (C)\n"
       " *** ERROR: cable entity \"K2\" undefined lc (C)\n"
       " *** ERROR: cable entity \"K2\" duplicate lc (C)\n"
       " *** ERROR: cable entity \"K1\" undefined lc (A)\n"
       " *** ERROR: cable entity \"K1\" undefined lc (B)\n"
       " *** ERROR: Bus Transfer (T1) node (A) not defined\n"
       " *** ERROR: Bus Transfer (T1) node (B) not defined\n"
       " *** DETECTED 8 ERRORS ***\n"},
      {"the steps run in their order", 6,
       [](auto& m) { m.lc("A").cond(nullptr).bt("T", "A", "B").want(nullptr).want_cable("Q"); },
       " **** ERROR missing <condition> string in <output>\n"
       " **** ERROR undefined <cable> Q </cable> in <output>\n"
       " *** ERROR: less than 2 <lc> entitities defined\n"
       " *** ERROR: condition entity without name exists for LC A (     0.0      0.0)\n"
       " *** ERROR: no <cable> entitities defined\n"
       " *** ERROR: Bus Transfer (T) node (B) not defined\n"
       " *** DETECTED 6 ERRORS ***\n"},
  });
}

}  // namespace
}  // namespace zevo
