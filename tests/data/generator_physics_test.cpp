// The generators' physics against closed forms: the Goudsmit–Saunderson machinery against
// the screened Rutherford transport cross section, Schiff's formula against its
// complete-screening limit.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/bremsstrahlung.h"
#include "tools/multiple_scattering.h"

namespace dosavia::testing {
namespace {

using namespace dosavia::datagen;

class GoudsmitSaundersonTest : public ::testing::TestWithParam<double> {};

// G_0 = 0 and the quadrature's G_1 equals the closed form; the distribution is normalised
// and its mean cosine is exp(-s G_1).
TEST_P(GoudsmitSaundersonTest, AgreesWithTheClosedForms) {
  const double kev = GetParam();
  const ScreenedRutherfordWater model(MidStepEnergy(kev));
  const std::vector<double> g = model.TransportCoefficients(8);
  EXPECT_NEAR(g[0], 0, 1e-12 * model.FirstTransportInverseMfp());
  EXPECT_NEAR(g[1] / model.FirstTransportInverseMfp(), 1, 1e-10);
  for (int l = 2; l <= 8; ++l) EXPECT_GT(g[l], g[l - 1]) << l;
  EXPECT_LT(g[8], model.TotalInverseMfp());

  const double s = StepPathLength(kev);
  const GoudsmitSaunderson gs(model, s);
  EXPECT_NEAR(gs.Cumulative(0), 0, 1e-12);
  EXPECT_NEAR(gs.Cumulative(std::acos(-1.0)), 1, 1e-12);
  EXPECT_NEAR(gs.MeanCosine(), std::exp(-s * model.FirstTransportInverseMfp()), 1e-12);
  // Quantiles invert the cumulative distribution.
  for (double p : {0.1, 0.5, 0.9}) EXPECT_NEAR(gs.Cumulative(gs.QuantileAngle(p)), p, 1e-9) << p;
}

INSTANTIATE_TEST_SUITE_P(Energies, GoudsmitSaundersonTest,
                         ::testing::Values(300.0, 1000.0, 5000.0, 20000.0));

// The mean cosine of a quantile row (piecewise linear in probability) is the model's.
TEST(DeflectionQuantiles, LastEntryKeepsTheMeanCosine) {
  for (double kev : {300.0, 2000.0, 20000.0}) {
    const auto q = DeflectionQuantiles(kev);
    double sum = q[0] + q[64];
    for (int j = 1; j < 64; ++j) sum += 2.0 * q[j];
    EXPECT_NEAR(sum / (128.0 * kCosineScale), StepMeanCosine(kev), 1e-6) << kev;
    EXPECT_EQ(q[0], kCosineScale);
    EXPECT_LT(q[64], q[63]);
  }
}

// Far above the end point's neighbourhood and for soft photons (b >> 1) Schiff's formula
// reaches complete screening: (1/k) 2 [(1 + r^2 - 2r/3) ln(183 Z^(-1/3)) + r/9], r = E/E0.
TEST(SchiffCrossSection, ReachesCompleteScreeningForSoftPhotons) {
  const double t0 = 15, k = 0.05, mc2 = 0.51099895;
  const double r = (t0 + mc2 - k) / (t0 + mc2);
  const double expected =
      2 * ((1 + r * r - 2 * r / 3) * std::log(183 / std::cbrt(kTungstenZ)) + r / 9) / k;
  EXPECT_NEAR(SchiffCrossSection(t0, k, kTungstenZ) / expected, 1, 0.01);
  EXPECT_EQ(SchiffCrossSection(t0, t0, kTungstenZ), 0);
  EXPECT_EQ(SchiffCrossSection(t0, 0, kTungstenZ), 0);
  EXPECT_GT(SchiffCrossSection(t0, t0 * 0.999, kTungstenZ), 0);
}

}  // namespace
}  // namespace dosavia::testing
