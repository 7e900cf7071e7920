// The input check on hand-built input models: every message, its order, and the count. The
// check looks names up in indexes; it is also compared with the plain walks over the lists that
// it replaces, on many small random inputs full of missing and repeated names.
#include "input/check_zevo_input.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <random>
#include <string>

#include "model/record_store.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

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

bool same(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }
const char* shown(const char* text) { return text ? text : "NULL"; }

struct Report {
  std::string text;
  int count = 0;
  void add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    text += line;
    ++count;
  }
};

bool lc_defined(const ZEVO_CONTEXT& context, const char* name) {
  for (const NODE* n = context.nodes; n; n = n->next) {
    if (same(n->name, name)) return true;
  }
  return false;
}

void add_repeated_conditions(Report& r, const CONDITION* list, const char* owner,
                             const char* unnamed, const char* repeated) {
  for (const CONDITION* c = list; c; c = c->next) {
    if (!c->name) {
      r.add(unnamed, owner, c->generation, c->load);
      continue;
    }
    for (const CONDITION* d = c->next; d; d = d->next) {
      if (same(d->name, c->name)) r.add(repeated, c->name, owner);
    }
  }
}

// Every check by walking the lists, one query at a time.
Report check_by_walking(const ZEVO_CONTEXT& context) {
  Report r;
  if (!context.calc_conditions) r.add(" *** ERROR: no <condition> entities in <output>\n");
  for (const CALC_CONDITION* c = context.calc_conditions; c; c = c->next) {
    if (!c->name) r.add(" **** ERROR missing <condition> string in <output>\n");
  }
  for (const CALC_CONNECTION* cc = context.calc_connections; cc; cc = cc->next) {
    bool found = false;
    for (const CONNECTION* c = context.connections; c; c = c->next)
      found |= same(c->name, cc->name);
    if (!cc->name) {
      r.add(" **** ERROR missing <cable> string in <output>\n");
    } else if (!found) {
      r.add(" **** ERROR undefined <cable> %s </cable> in <output>\n", cc->name);
    }
  }
  if (context.nbr_nodes < 2) r.add(" *** ERROR: less than 2 <lc> entitities defined\n");
  for (const NODE* n = context.nodes; n; n = n->next) {
    if (!n->name) {
      r.add(" *** ERROR: <lc> entity without name\n");
      continue;
    }
    for (const NODE* m = n->next; m; m = m->next) {
      if (same(m->name, n->name)) {
        r.add(" *** ERROR: multiple <lc> entities with same name (%s)\n", n->name);
      }
    }
    add_repeated_conditions(
        r, n->conditions, n->name,
        " *** ERROR: condition entity without name exists for LC %s (%8.1f %8.1f)\n",
        " *** ERROR: condition entity \"%s\" defined multiple times for LC %s\n");
    for (const CALC_CONDITION* w = context.calc_conditions; w; w = w->next) {
      bool defined = false;
      for (const CONDITION* c = n->conditions; c; c = c->next) defined |= same(c->name, w->name);
      if (w->name && !defined) {
        r.add(" *** ERROR: condition \"%s\" not defined for <lc> entity %s\n", w->name, n->name);
      }
    }
  }
  if (context.nbr_connections < 1) r.add(" *** ERROR: no <cable> entitities defined\n");
  for (const CONNECTION* c = context.connections; c; c = c->next) {
    if (!c->name) {
      r.add(" *** ERROR: cable entity without name exists (%s %s)\n", shown(c->lc1), shown(c->lc2));
    } else {
      for (const CONNECTION* d = c->next; d; d = d->next) {
        if (same(d->name, c->name)) {
          r.add(" *** ERROR: cable entity \"%s\" defined multiple times\n", c->name);
        }
      }
    }
    for (const char* lc : {c->lc1, c->lc2}) {
      if (lc_defined(context, lc)) continue;
      if (c->name) {
        r.add(" *** ERROR: cable entity \"%s\" undefined lc (%s)\n", c->name, shown(lc));
      } else {
        r.add(" *** ERROR: cable entity (NULL) undefined lc (%s)\n", shown(lc));
      }
    }
    if (same(c->lc1, c->lc2)) {
      if (c->name) {
        r.add(" *** ERROR: cable entity \"%s\" duplicate lc (%s)\n", c->name, c->lc1);
      } else {
        r.add(" *** ERROR: cable entity (NULL) duplicate lc (%s)\n", c->lc1);
      }
    }
  }
  for (const BUS_TRANSFER* bt = context.bustransfers; bt; bt = bt->next) {
    if (!bt->name) {
      r.add(" *** ERROR: Bus Transfer has no name\n");
      continue;
    }
    for (const char* lc : {bt->lc1, bt->lc2}) {
      if (!lc_defined(context, lc)) {
        r.add(" *** ERROR: Bus Transfer (%s) node (%s) not defined\n", bt->name, shown(lc));
      }
    }
    add_repeated_conditions(
        r, bt->conditions, bt->name,
        " *** ERROR: condition entity without name exists for BT %s (%8.1f %8.1f)\n",
        " *** ERROR: condition entity \"%s\" defined multiple times for BT %s\n");
  }
  if (r.count > 1) {
    r.text += " *** DETECTED " + std::to_string(r.count) + " ERRORS ***\n";
  } else if (r.count == 1) {
    r.text += " *** DECTECTED 1 ERROR ***\n";
  }
  return r;
}

// Names from a small alphabet, so that repeats and misses are frequent; sometimes none.
const char* random_name(std::mt19937& random, char kind) {
  static const char* const kNames[][4] = {{"La", "Lb", "Lc", "Ld"},
                                          {"Ca", "Cb", "Cc", "Cd"},
                                          {"Ba", "Bb", "Bc", "Bd"},
                                          {"na", "nb", "nc", "nd"}};
  const int row = kind == 'L' ? 0 : kind == 'C' ? 1 : kind == 'B' ? 2 : 3;
  const int pick = static_cast<int>(random() % 5);
  return pick == 0 ? nullptr : kNames[row][pick - 1];
}

TEST(CheckZevoInputRandom, ReportsExactlyWhatWalkingTheListsReports) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 3000; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    ZEVO_CONTEXT context;
    zevo_init(&context);
    for (int i = static_cast<int>(random() % 6); i > 0; --i) {
      NODE* node = testing::add_node(&context, random_name(random, 'L'));
      for (int k = static_cast<int>(random() % 4); k > 0; --k) {
        testing::add_condition(node, random_name(random, 'n'), 1.5, 2.0);
      }
    }
    for (int i = static_cast<int>(random() % 5); i > 0; --i) {
      testing::add_connection(&context, random_name(random, 'C'), random_name(random, 'L'),
                              random_name(random, 'L'));
    }
    for (int i = static_cast<int>(random() % 3); i > 0; --i) {
      BUS_TRANSFER* bt = testing::add_bus_transfer(
          &context, random_name(random, 'B'), random_name(random, 'L'), random_name(random, 'L'));
      for (int k = static_cast<int>(random() % 3); k > 0; --k) {
        testing::add_condition(bt, random_name(random, 'n'), 0.0, 4.25);
      }
    }
    for (int i = static_cast<int>(random() % 3); i > 0; --i) {
      testing::add_calc_condition(&context, random_name(random, 'n'));
    }
    for (int i = static_cast<int>(random() % 3); i > 0; --i) {
      testing::add_calc_connection(&context, random_name(random, 'C'));
    }

    const Report expected = check_by_walking(context);
    testing::CapturedMessages messages;
    EXPECT_EQ(check_zevo_input(&context), expected.count);
    ASSERT_EQ(messages.err(), expected.text);
  }
}

}  // namespace
}  // namespace zevo
