// Hostile and huge inputs: deep nesting, random bytes, nothing but '<', tens of megabytes.
// Each must be read without a crash and give the codes the reading rules give.
#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "xml/xml_entity.h"
#include "xml_reading.h"

namespace zevo {
namespace {

using testing::describe;
using testing::read_xml_text;
using Robustness = testing::XmlReaderTest;

constexpr std::size_t kLargeText = 50u << 20;
constexpr int kDeep = 1000000;

std::string repeated(const std::string& piece, int times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// Follows the chain of first children that are elements from *entity, checking that each has
// the name and data given and no sibling; returns the number of levels and leaves *entity at
// what follows the innermost level (null, or its first child that is not an element).
int count_levels(XMLENTITY** entity, const char* name, const char* data) {
  int levels = 0;
  for (; *entity && (*entity)->kind == XMLENTITY_ELEMENT; *entity = (*entity)->children) {
    ++levels;
    EXPECT_STREQ((*entity)->name, name);
    EXPECT_STREQ((*entity)->data, data);
    EXPECT_EQ((*entity)->next, nullptr);
    if (::testing::Test::HasFailure()) break;
  }
  return levels;
}

TEST_F(Robustness, MillionDeepClosedNestingIsReadAndLowerCased) {
  const auto read = read_xml_text(repeated("<A>", kDeep) + repeated("</A>", kDeep));
  EXPECT_EQ(read.code, XMLERR_NONE);
  XMLENTITY* walk = read.first;
  EXPECT_EQ(count_levels(&walk, "A", ""), kDeep);
  EXPECT_EQ(walk, nullptr);
  lowercase_XMLENTITY(read.first, 1);
  walk = read.first;
  EXPECT_EQ(count_levels(&walk, "a", ""), kDeep);
}

TEST_F(Robustness, MillionDeepNestingCutOffReturnsEveryLevelWithCodeOne) {
  const auto read = read_xml_text(repeated("<a> t", kDeep));
  EXPECT_EQ(read.code, XMLERR_EOF);
  ASSERT_NE(read.first, nullptr);
  EXPECT_EQ(read.first->errflag, XMLERR_EOF);
  XMLENTITY* walk = read.first;
  EXPECT_EQ(count_levels(&walk, "a", " t"), kDeep);  // untrimmed at every level
}

TEST_F(Robustness, CodeClimbsThroughAMillionLevels) {
  const auto read = read_xml_text(repeated("<a>", kDeep) + "<!D>" + repeated("</a>", kDeep));
  EXPECT_EQ(read.code, XMLERR_SYNTAX);
  XMLENTITY* walk = read.first;
  EXPECT_EQ(count_levels(&walk, "a", ""), kDeep);
  EXPECT_EQ(describe(walk), R"(UNKNOWN^0="D")");
}

// Checks, without recursion, that only top-level entities carry a code and that the read's
// code is the last nonzero one among them.
void expect_consistent_codes(const testing::XmlRead& read) {
  int last_nonzero = 0;
  std::vector<XMLENTITY*> pending;
  for (XMLENTITY* top = read.first; top; top = top->next) {
    EXPECT_GE(top->errflag, XMLERR_NONE);
    EXPECT_LE(top->errflag, XMLERR_OVERRUN);
    if (top->errflag != 0) last_nonzero = top->errflag;
    if (top->children) pending.push_back(top->children);
  }
  EXPECT_EQ(read.code, last_nonzero);
  while (!pending.empty()) {
    XMLENTITY* e = pending.back();
    pending.pop_back();
    ASSERT_NE(e->name, nullptr);
    EXPECT_EQ(e->errflag, 0);
    EXPECT_GE(e->kind, XMLENTITY_UNKNOWN);
    EXPECT_LE(e->kind, XMLENTITY_ELEMENT);
    if (e->next) pending.push_back(e->next);
    if (e->children) pending.push_back(e->children);
  }
}

TEST_F(Robustness, RandomBytesAreReadWithConsistentCodes) {
  std::mt19937 random(20250412);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 4; ++round) {
    std::string text(1 << 20, '\0');
    for (char& c : text) c = static_cast<char>(byte(random));
    expect_consistent_codes(read_xml_text(text));
  }
  // Drawn from the characters the reader reacts to, so that every construct and error shows.
  const std::string alphabet = "<<<<>>>//!!--??[]]CDAT\"= \nab";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  random.seed(7);
  for (int round = 0; round < 200; ++round) {
    std::string text(5000, ' ');
    for (char& c : text) c = alphabet[pick(random)];
    expect_consistent_codes(read_xml_text(text));
  }
}

TEST_F(Robustness, NothingButLessThansGivesNoEntityAndCodeZero) {
  // Each '<' starts a tag whose text is all '<': it overruns (or meets the end of input)
  // without an entity, and a code without an entity is dropped at top level.
  for (std::size_t size : {1, 2, 65537, 65538, 1000000}) {
    SCOPED_TRACE(size);
    const auto read = read_xml_text(std::string(size, '<'));
    EXPECT_EQ(read.first, nullptr);
    EXPECT_EQ(read.code, XMLERR_NONE);
  }
}

TEST_F(Robustness, HugeTextsAreReadWithoutCrash) {
  // Inside an element the text overruns and the rest is dropped; outside, it is all dropped.
  const std::string text(kLargeText, 'x');
  const auto element = read_xml_text("<zevo>" + text + "</zevo>");
  EXPECT_EQ(element.code, XMLERR_OVERRUN);
  EXPECT_EQ(describe(element.first), "zevo!3");
  const auto stray = read_xml_text(text);
  EXPECT_EQ(stray.first, nullptr);
  EXPECT_EQ(stray.code, XMLERR_NONE);
}

TEST_F(Robustness, HugeDocumentOfSmallElementsIsReadInOrder) {
  // A reader that appended each child by walking the list, or copied what it had read, would
  // take hours here instead of a second.
  constexpr int kItems = 400000;
  std::string text = "<zevo>";
  for (int i = 0; i < kItems; ++i) text += "<lc>" + std::to_string(i) + "</lc>";
  text += "</zevo>";
  const auto read = read_xml_text(text);
  EXPECT_EQ(read.code, XMLERR_NONE);
  ASSERT_NE(read.first, nullptr);
  EXPECT_STREQ(read.first->data, "");
  int i = 0;
  for (XMLENTITY* lc = read.first->children; lc; lc = lc->next, ++i) {
    if (lc->data != std::to_string(i)) {
      ADD_FAILURE() << "child " << i << " holds " << lc->data;
      break;
    }
  }
  EXPECT_EQ(i, kItems);
}

}  // namespace
}  // namespace zevo
