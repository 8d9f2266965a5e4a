#include "physics/random_stream.h"

#include <gtest/gtest.h>

#include <cmath>

namespace dosavia {
namespace {

template <typename Real>
class RandomStreamTest : public ::testing::Test {};
using RealTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(RandomStreamTest, RealTypes);

TYPED_TEST(RandomStreamTest, TableAfterFillingBeforeWarmUp) {
  RandomStream<TypeParam> rng;
  rng.Seed(0);
  const int expected[] = {3783, 7568, 15139, 13898, 11417};
  for (int j = 1; j <= 5; ++j) EXPECT_EQ(rng.A[j], expected[j - 1]) << "A(" << j << ")";
  EXPECT_EQ(rng.A[55], 16327);
  EXPECT_EQ(rng.J, 24);
  EXPECT_EQ(rng.K, 55);
}

TYPED_TEST(RandomStreamTest, FirstNumbersAfterSeed) {
  RandomStream<TypeParam> rng;
  rng.Seed();
  EXPECT_EQ(rng.J, 14);
  EXPECT_EQ(rng.K, 45);
  const int integers[] = {11314, 1077, 7144, 4623, 8326};
  const double uniforms[] = {0.690547, 0.065734, 0.436032, 0.282163, 0.508175};
  RandomStream<TypeParam> twin;
  for (int n = 0; n < 5; ++n) {
    EXPECT_EQ(rng.Step(), integers[n]);
    const TypeParam u = twin.Uniform();
    EXPECT_NEAR(u, uniforms[n], 1e-6);
    EXPECT_EQ(u, static_cast<TypeParam>(integers[n]) / static_cast<TypeParam>(16384.1));
  }
}

TYPED_TEST(RandomStreamTest, RangeNeverReachesOneOrHalf) {
  const TypeParam divisor = RandomStream<TypeParam>::kDivisor;
  // The largest value is 16383/16384.1, not 16383/16384.
  EXPECT_NEAR(static_cast<double>(16383 / divisor), 0.99993286, 1e-7);
  for (int i = 0; i < 16384; ++i) {
    const TypeParam u = static_cast<TypeParam>(i) / divisor;
    ASSERT_LT(u, 1) << i;
    ASSERT_NE(u, static_cast<TypeParam>(0.5)) << i;
  }
}

TYPED_TEST(RandomStreamTest, ReseedingRestartsTheSequenceAndCoversAllValues) {
  RandomStream<TypeParam> rng;
  std::vector<int> first;
  int zeros = 0;
  for (int n = 0; n < 200000; ++n) {
    const int v = rng.Step();
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 16384);
    zeros += v == 0;
    if (n < 100) first.push_back(v);
  }
  EXPECT_GT(zeros, 0) << "Uniform must be able to return exactly 0";
  rng.Seed();
  for (int n = 0; n < 100; ++n) EXPECT_EQ(rng.Step(), first[n]);
}

TEST(RandomStreamPrecision, FloatAndDoubleShareTheIntegerSequence) {
  RandomStream<float> f;
  RandomStream<double> d;
  for (int n = 0; n < 5000; ++n) {
    const float uf = f.Uniform();
    const double ud = d.Uniform();
    ASSERT_NEAR(uf, ud, 1e-6);
  }
  EXPECT_EQ(f.A, d.A);
}

}  // namespace
}  // namespace dosavia
