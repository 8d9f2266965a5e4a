// The X-ray target's physics in the spectrum generator: the stopping power of tungsten for
// the beam's electrons against closed forms and the programs' own water formula, and the
// thick-target spectrum against an independent quadrature and its physical end point.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "physics/stopping_power.h"
#include "tools/bremsstrahlung.h"
#include "tools/quadrature.h"
#include "tools/target_stopping_power.h"

namespace dosavia::testing {
namespace {

using namespace dosavia::datagen;

constexpr double kMc2 = 0.51099895;  // [MeV]

// Kinetic energy [MeV] at which log10(beta gamma) = x.
double KineticAtX(double x) {
  const double beta_gamma = std::pow(10.0, x);
  return (std::sqrt(1 + beta_gamma * beta_gamma) - 1) * kMc2;
}

// Sternheimer's pieces join: at X1 by construction, at X0 to within his tabulated delta0 for
// conductors. A mistyped parameter breaks one of the two joins.
TEST(TungstenStoppingPower, DensityEffectPiecesJoin) {
  const StoppingMedium& w = kTungstenMedium;
  const double eps = 1e-9;
  EXPECT_NEAR(DensityEffect(w, KineticAtX(w.x0 - eps)), w.delta0, 1e-6);
  EXPECT_NEAR(DensityEffect(w, KineticAtX(w.x0 + eps)), w.delta0, 0.01);
  EXPECT_NEAR(DensityEffect(w, KineticAtX(w.x1 - eps)), DensityEffect(w, KineticAtX(w.x1 + eps)),
              1e-6);
  // Far above X1 the density effect is 2 ln(beta gamma) - C.
  EXPECT_NEAR(DensityEffect(w, KineticAtX(4)), 4.6052 * 4 - w.c_bar, 1e-9);
}

// The same Bethe formula with water's constants as the programs hold them (Z/A 0.5551,
// I from 30807000 = 1 / (2 (I / 511 keV)^2), density-effect fit C 3.22, X0 0.2, X1 2.0,
// a 0.39417, m 3, an insulator) reproduces the programs' StoppingPower to the rounding of
// their constants (153.6 and 4.606).
TEST(TungstenStoppingPower, BetheFormulaMatchesTheProgramsWaterStoppingPower) {
  const StoppingMedium water{
      10, 10 / 0.5551, 511000 / std::sqrt(2 * 30807000.0), 3.22, 0.2, 2.0, 0.39417, 3, 0};
  for (double t_mev : {0.4, 1.0, 3.0, 10.0, 20.0}) {
    const double program = StoppingPower<double>(1000 * t_mev) / 1000;  // [MeV cm^2/g]
    EXPECT_NEAR(CollisionStoppingPower(water, t_mev) / program, 1, 2e-3) << t_mev << " MeV";
  }
}

// Far above the screening energy the radiative stopping power is E / X0 with Schiff's
// complete-screening radiation length: (N_A/A) Z (Z + 1) 4 alpha r0^2 (ln(183 Z^-1/3) + 1/18).
// The unscreened tip (k near E) keeps it a little below.
TEST(TungstenStoppingPower, RadiativeStoppingPowerReachesTheRadiationLength) {
  const StoppingMedium& w = kTungstenMedium;
  const double per_x0 = 6.02214076e23 / w.atomic_weight * w.Z * (w.Z + 1) * 4 * 7.2973525693e-3 *
                        7.9407877e-26 * (std::log(183 / std::cbrt(w.Z)) + 1.0 / 18);
  const double t = 5000;
  const double ratio = RadiativeStoppingPower(w, t) / ((t + kMc2) * per_x0);
  EXPECT_GT(ratio, 0.97);
  EXPECT_LT(ratio, 1.0);
}

// In the megavoltage range the two losses of tungsten cross near 10 MeV, as the textbook
// rule S_rad / S_col = Z T / 800 (T in MeV) has them; the rule is rough, so 20 %.
TEST(TungstenStoppingPower, RadiativeToCollisionRatioFollowsTheRuleOfThumb) {
  for (double t : {2.0, 4.0, 10.0, 15.0}) {
    const double ratio =
        RadiativeStoppingPower(kTungstenMedium, t) / CollisionStoppingPower(kTungstenMedium, t);
    EXPECT_NEAR(ratio / (kTungstenMedium.Z * t / 800), 1, 0.2) << t << " MeV";
  }
}

struct EmissionCase {
  double t0;  // electron kinetic energy [MeV]
  double k;   // photon energy [MeV]
};

void PrintTo(const EmissionCase& c, std::ostream* os) { *os << c.t0 << " MeV, k " << c.k; }

class ThickTargetEmissionTest : public ::testing::TestWithParam<EmissionCase> {};

// The panel sums of TargetEmission equal an independent 64-point rule on 40 equal panels from
// k to T0, whatever panel k falls in (the first, a middle one, the last).
TEST_P(ThickTargetEmissionTest, EqualsTheSlowingDownIntegral) {
  const auto [t0, k] = GetParam();
  const GaussLegendreRule rule(64);
  double expected = 0;
  const int panels = 40;
  for (int p = 0; p < panels; ++p) {
    const double lo = k + (t0 - k) * p / panels, hi = k + (t0 - k) * (p + 1) / panels;
    expected += rule.Integrate(
        [k = k](double t) {
          return SchiffCrossSection(t, k, kTungstenZ) / TotalStoppingPower(kTungstenMedium, t);
        },
        lo, hi);
  }
  const TargetEmission thick(TargetModel::kThick, t0);
  EXPECT_NEAR(thick(k) / expected, 1, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Energies, ThickTargetEmissionTest,
                         ::testing::Values(EmissionCase{10, 0.03}, EmissionCase{10, 1.234},
                                           EmissionCase{10, 5.05}, EmissionCase{10, 9.97},
                                           EmissionCase{4, 3.999}, EmissionCase{15, 7.5}));

// A thin target emits up to its end point (still a few per cent of its mid-spectrum value at
// the tip); a thick one runs out of electrons that can still give the photon, so its
// spectrum falls to 0 there (1e-5 of mid-spectrum a ten-thousandth below the tip) and is
// softer throughout.
TEST(ThickTargetEmission, FallsToZeroAtTheEndPoint) {
  for (double t0 : {4.0, 6.0, 10.0, 15.0}) {
    const TargetEmission thin(TargetModel::kThin, t0), thick(TargetModel::kThick, t0);
    const double half = 0.5 * t0, tip = t0 * (1 - 1e-4);
    EXPECT_GT(thin(tip) / thin(half), 0.02) << t0;
    EXPECT_LT(thick(tip) / thick(half), 1e-3) << t0;
    EXPECT_LT(thick(0.9 * t0) / thick(0.1 * t0), thin(0.9 * t0) / thin(0.1 * t0)) << t0;
    EXPECT_EQ(thick(t0), 0);
    EXPECT_EQ(thick(0), 0);
  }
}

}  // namespace
}  // namespace dosavia::testing
