// The input check looks names up in indexes; here it is compared with the plain walks over
// the lists that it replaces, on many small random inputs full of missing and repeated names.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "input/check_zevo_input.h"
#include "support/captured_messages.h"
#include "support/network_builder.h"

namespace zevo {
namespace {

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
