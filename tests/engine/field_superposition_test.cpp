#include "engine/field_superposition.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine_test_support.h"

namespace dosavia {
namespace {

TEST(FieldSuperpositionTest, RingCountsAndArcFractionsInsideTheSquare) {
  const int rings[kFields + 1] = {0, 3, 7, 10, 14, 17, 21, 28, 35, 53, 70};
  for (int i = 1; i <= kFields; ++i)
    EXPECT_EQ(RingCount(kFieldSideCm[i]), rings[i]) << "field " << i;
  const struct {
    float side;
    int ring;
    float weight;
  } cases[] = {{10, 30, 0.2875f}, {10, 26, 0.7474f}, {10, 25, 1}, {2, 7, 0.1174f}, {1, 3, 1}};
  for (const auto& c : cases)
    EXPECT_NEAR(RingWeight(c.side, c.ring), c.weight, 1e-4f) << c.side << " cm, ring " << c.ring;
}

TEST(FieldSuperpositionTest, FieldsSumTheirRingsWithTheirWeights) {
  auto tally = std::make_unique<DoseTally>(testing::EngineSlabWidths());
  // 1 keV of primary dose in the middle of every ring of slab 5, 2 keV of scatter in slab 7.
  for (int j = 1; j <= kRings; ++j) {
    const float rho = 0.2f * static_cast<float>(j) - 0.1f;
    tally->ScoreLocal({25.0f + rho, 25.0f, 0.45f}, 1.0f, kPrimary);
    tally->ScoreLocal({25.0f, 25.0f - rho, 0.65f}, 2.0f, kScatter);
  }
  auto field = std::make_unique<FieldDoseTable>();
  Superpose(*tally, *field);
  for (int i = 1; i <= kFields; ++i) {
    double sum = 0;
    for (int j = 1; j <= RingCount(kFieldSideCm[i]); ++j) sum += RingWeight(kFieldSideCm[i], j);
    EXPECT_NEAR(field->at(kPrimary, i, 5), sum, 1e-4 * sum) << "field " << i;
    EXPECT_NEAR(field->at(kScatter, i, 7), 2 * sum, 2e-4 * sum) << "field " << i;
    EXPECT_EQ(field->at(kPrimary, i, 7) + field->at(kScatter, i, 5), 0.0f);
  }
  EXPECT_EQ(field->at(kPrimary, 1, 5), 3.0f);  // 1 x 1: rings 1..3, all of weight 1
}

}  // namespace
}  // namespace dosavia
