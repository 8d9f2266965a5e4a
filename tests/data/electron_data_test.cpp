// The shipped "ELDAT.dat" against the multiple-scattering model it was built from
// (Goudsmit–Saunderson, screened Rutherford, Molière screening) and against Highland's
// empirical width, through the programs' own loader and DeflectionCosine.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <type_traits>

#include "data_test_support.h"
#include "tools/multiple_scattering.h"

namespace dosavia::testing {
namespace {

using datagen::HighlandTheta0;
using datagen::MidStepEnergy;
using datagen::StepMeanCosine;
using datagen::StepPathLength;

constexpr double kLastStepKeV = 305;           // at or below, the step is the last one
constexpr double kHighestElectronKeV = 19975;  // top spectrum bin: no electron is faster

// Mean of DeflectionCosine(T, r1) over r1 uniform in [0, 1).
template <typename Real>
double SampledMeanCosine(const PhysicsTables<Real>& t, double kev) {
  constexpr int kPoints = 64 * 64;
  double sum = 0;
  for (int k = 0; k < kPoints; ++k)
    sum += t.DeflectionCosine(static_cast<Real>(kev), static_cast<Real>((k + 0.5) / kPoints));
  return sum / kPoints;
}

template <typename Real>
class ElectronDataTest : public ::testing::Test {
 protected:
  void SetUp() override { tables_ = LoadShippedTables<Real>(); }
  std::unique_ptr<PhysicsTables<Real>> tables_;
};
using Precisions = ::testing::Types<float, double>;
TYPED_TEST_SUITE(ElectronDataTest, Precisions);

// Row 3 lies above every electron energy (no extrapolation) and row 24 below 305 keV, so
// every step that starts above 305 keV is deflected with interpolated quantiles.
TYPED_TEST(ElectronDataTest, RowsBracketEveryDeflectedStep) {
  const auto& t = *this->tables_;
  EXPECT_GE(t.ScatterEnergies[3], TypeParam(kHighestElectronKeV));
  EXPECT_LE(t.ScatterEnergies[24], TypeParam(kLastStepKeV));
  EXPECT_NE(t.DeflectionRow(std::nextafter(TypeParam(kLastStepKeV), TypeParam(1e9))), 0);
  EXPECT_EQ(t.DeflectionRow(TypeParam(kHighestElectronKeV)), 3);
}

// Each row starts at cosine 1 (probability 0, no deflection) and falls with probability.
TYPED_TEST(ElectronDataTest, QuantilesFallFromStraightAhead) {
  const auto& t = *this->tables_;
  for (int i = 1; i <= 24; ++i) {
    EXPECT_EQ(t.ScatterAngleTable[i][1], 16384) << "row " << i;
    for (int j = 2; j <= 65; ++j)
      EXPECT_LE(t.ScatterAngleTable[i][j], t.ScatterAngleTable[i][j - 1])
          << "row " << i << " j " << j;
  }
}

// 1 - <cos> of what DeflectionCosine samples at each row energy, and half-way between rows,
// against 1 - exp(-s G1) of the model at the mid-step energy.
TYPED_TEST(ElectronDataTest, SampledMeanCosineMatchesTheTransportCrossSection) {
  const auto& t = *this->tables_;
  double worst_row = 0, worst_between = 0;
  for (int i = 3; i <= 24; ++i) {
    const double kev = t.ScatterEnergies[i];
    if (!(kev > kLastStepKeV)) continue;
    const double model = 1 - StepMeanCosine(kev);
    const double ratio = (1 - SampledMeanCosine(t, kev)) / model;
    EXPECT_NEAR(ratio, 1, 0.03) << "row " << i << ", " << kev << " keV";
    if constexpr (std::is_same_v<TypeParam, double>)
      std::printf("[ ELDAT ] row %2d %7.0f keV  s %.4f cm  1-<cos> %.5f  model %.5f  ratio %.4f\n",
                  i, kev, StepPathLength(kev), ratio * model, model, ratio);
    worst_row = std::max(worst_row, std::fabs(ratio - 1));
    if (i < 24 && t.ScatterEnergies[i + 1] > kLastStepKeV) {
      const double mid = std::sqrt(kev * t.ScatterEnergies[i + 1]);
      const double between = (1 - SampledMeanCosine(t, mid)) / (1 - StepMeanCosine(mid));
      EXPECT_NEAR(between, 1, 0.03) << "between rows " << i << " and " << i + 1;
      worst_between = std::max(worst_between, std::fabs(between - 1));
    }
  }
  std::printf("[ ELDAT ] 1-<cos> sampled / model: worst %.3f %% at the rows, %.3f %% between\n",
              100 * worst_row, 100 * worst_between);
}

// Rows 1 and 2 are never sampled, but hold the same physics: the piecewise-linear mean of
// the raw quantiles.
TYPED_TEST(ElectronDataTest, UnusedRowsHoldTheSameModel) {
  const auto& t = *this->tables_;
  for (int i = 1; i <= 2; ++i) {
    const auto& q = t.ScatterAngleTable[i];
    double sum = q[1] + q[65];
    for (int j = 2; j <= 64; ++j) sum += 2.0 * q[j];
    const double mean = sum / (128.0 * 16384);
    const double kev = t.ScatterEnergies[i];
    EXPECT_NEAR((1 - mean) / (1 - StepMeanCosine(kev)), 1, 0.03) << "row " << i;
  }
}

// The median deflection against 1.177 theta_0 (the median of a Gaussian in two dimensions)
// with Highland's theta_0, wherever the step is within Highland's range 1e-3..100 X0.
TYPED_TEST(ElectronDataTest, MedianDeflectionFollowsHighland) {
  const auto& t = *this->tables_;
  int checked = 0;
  for (int i = 3; i <= 24; ++i) {
    const double kev = t.ScatterEnergies[i];
    const double s = StepPathLength(kev);
    if (!(kev > kLastStepKeV) || s / datagen::kWaterRadiationLengthCm < 1e-3) continue;
    const double median = std::acos(double(t.DeflectionCosine(TypeParam(kev), TypeParam(0.5))));
    const double highland = 1.177 * HighlandTheta0(MidStepEnergy(kev), s);
    EXPECT_NEAR(median / highland, 1, 0.2) << "row " << i << ", " << kev << " keV";
    if constexpr (std::is_same_v<TypeParam, double>)
      std::printf(
          "[ ELDAT ] row %2d %7.0f keV  s/X0 %.2e  median %.4f rad  1.177 theta0 %.4f rad"
          "  ratio %.3f\n",
          i, kev, s / datagen::kWaterRadiationLengthCm, median, highland, median / highland);
    ++checked;
  }
  EXPECT_GE(checked, 10);
}

TEST(ElectronDataFile, ColumnsServeTheFixedAndTheFreeFormatReader) {
  const CrLfText text = ReadCrLfLines(ShippedFile(kElectronDataFile));
  EXPECT_TRUE(text.all_crlf);
  ASSERT_EQ(text.lines.size(), 24u * 9 + 6);
  const FixedFormat quantiles("(1X,8I6)"), energies("(1X,4E15.7)");
  for (std::size_t i = 0; i < 24 * 9; ++i) {
    EXPECT_EQ(text.lines[i].size(), i % 9 == 8 ? 7u : 49u) << text.lines[i];
    EXPECT_EQ(text.lines[i][0], ' ');
    EXPECT_EQ(CrowdedField(text.lines[i], quantiles), "");
  }
  for (std::size_t i = 24 * 9; i < text.lines.size(); ++i) {
    EXPECT_EQ(text.lines[i].size(), 61u) << text.lines[i];
    EXPECT_EQ(CrowdedField(text.lines[i], energies), "");
  }
}

}  // namespace
}  // namespace dosavia::testing
