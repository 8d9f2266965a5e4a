// The rules for typed counts and fields that the desktop program and the browser edition
// share: what a teacher types must mean the same in both.
#include <gtest/gtest.h>

#include <string>

#include "models/typed_text.h"

namespace dosavia {
namespace {

struct LeadingCase {
  const char* typed;
  double value;
};

// One rule for every count box: the engine screen read "30,000" as 30000 while the visual
// screen ran 30 photons.
TEST(TypedPhotonCount, ReadsGroupedAndExponentCountsAndRefusesTheRest) {
  const LeadingCase cases[] = {
      {"500", 500}, {"30,000", 30000}, {"1,000,000", 1e6},      {"1 000", 1000},
      {"1e5", 1e5}, {"3E5", 3e5},      {"100000 photons", 1e5}, {"abc", -1},
      {"", -1},     {"1,5E6", -1},     {"1.000.000", -1},       {"1e5x", -1},
      {"-3", -1},   {"1e10", -1},
  };
  for (const LeadingCase& c : cases) EXPECT_EQ(TypedPhotonCount(c.typed), c.value) << c.typed;
}

struct FieldCase {
  const char* typed;
  const char* item;  // nullptr: refused
};

TEST(FieldChoice, TypedFieldsMeanTheItemTheyPlainlyName) {
  const FieldCase cases[] = {
      {"10x10", "10×10"}, {"10X10", "10×10"},         {"4*4", "4×4"},    {" 1 × 1 ", "1×1"},
      {"8×8", "8×8"},     {"7x7", nullptr},           {"10x1", nullptr}, {"", nullptr},
      {"ten", nullptr},   {"1x1\xE2\x80\xA8", "1×1"},  // a line separator is a blank too
  };
  for (const FieldCase& c : cases) {
    const FieldChoice* chosen = FindFieldChoice(c.typed);
    if (c.item == nullptr) {
      EXPECT_EQ(chosen, nullptr) << c.typed;
    } else {
      ASSERT_NE(chosen, nullptr) << c.typed;
      EXPECT_STREQ(chosen->item, c.item);
      EXPECT_EQ(chosen->side, std::stod(c.item));
    }
  }
}

}  // namespace
}  // namespace dosavia
