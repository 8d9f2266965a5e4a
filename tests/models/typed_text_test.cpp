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

TEST(LeadingNumber, ReadsTheNumberAtTheStartAsTheFormsDo) {
  // A character beyond ASCII ends the number (an em space after "12"); full-width digits
  // are not a number.
  const LeadingCase cases[] = {
      {"500", 500},      {" 1 000 ", 1000}, {"1.5E6", 1.5e6}, {"2.0D3", 2000},
      {"2e", 2},         {"2e+", 2},        {"-3", -3},       {".5", 0.5},
      {"abc", 0},        {"", 0},           {"1e5x", 1e5},    {"50000000 photons", 5e7},
      {"12\u20033", 12}, {"100", 100},      {"   250", 250},  {"1 000", 1000},
      {"12abc", 12},     {"-", 0},          {"-5", -5},       {"2.5", 2.5},
      {"1D2", 100},      {"2e3", 2000},     {"0", 0},         {"\uFF11\uFF10\uFF10", 0}};
  for (const LeadingCase& c : cases) EXPECT_EQ(LeadingNumber(c.typed), c.value) << c.typed;
}

// One rule for every count box: the engine screen read "30,000" as 30000 while the visual
// screen ran 30 photons.
TEST(TypedPhotonCount, ReadsGroupedAndExponentCountsAndRefusesTheRest) {
  const LeadingCase cases[] = {
      {"500", 500},       {"30,000", 30000},    {"1,000,000", 1e6}, {"1 000", 1000},
      {"1e5", 1e5},       {"3E5", 3e5},         {"100000 photons", 1e5},
      {"abc", -1},        {"", -1},             {"1,5E6", -1},      {"1.000.000", -1},
      {"1e5x", -1},       {"-3", -1},           {"1e10", -1},
  };
  for (const LeadingCase& c : cases) EXPECT_EQ(TypedPhotonCount(c.typed), c.value) << c.typed;
}

struct FieldCase {
  const char* typed;
  const char* item;  // nullptr: refused
};

TEST(FieldChoice, TypedFieldsMeanTheItemTheyPlainlyName) {
  const FieldCase cases[] = {
      {"10x10", "10×10"}, {"10X10", "10×10"},   {"4*4", "4×4"},       {" 1 × 1 ", "1×1"},
      {"8×8", "8×8"},     {"7x7", nullptr},     {"10x1", nullptr},    {"", nullptr},
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
