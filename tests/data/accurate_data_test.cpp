// The accurate transport's cross sections against NIST ESTAR (liquid water), and the shipped
// ELACC.dat as its reader holds it: the restricted losses below the unrestricted ones, the
// ranges within the CSDA ranges they must stay below.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "physics/electron_cross_sections.h"
#include "physics/electron_data.h"
#include "tools/quadrature.h"

namespace dosavia::testing {
namespace {

namespace xs = electron_xs;

double RadiativeStopping(double T) {
  const datagen::GaussLegendreRule rule(64);
  return xs::kBremsstrahlungScalePerCm *
         rule.Integrate([&](double k) { return xs::BremsstrahlungShape(T, k); }, 0.0, T);
}

// At 100 keV only the collision loss: the high-energy screening of the bremsstrahlung formula
// fails there, where radiation is 0.2 % of the loss.
TEST(AccurateDataTest, StoppingPowersAgreeWithEstar) {
  EXPECT_NEAR(xs::RestrictedCollisionStoppingPower(100.0, 100.0, false) / 1000 / 4.115, 1, 0.01);
  const struct {
    double kev, collision, radiative;  // ESTAR [MeV cm2/g]
  } rows[] = {{1000, 1.849, 0.01293}, {10000, 1.968, 0.1832}};
  for (const auto& r : rows) {
    EXPECT_NEAR(xs::RestrictedCollisionStoppingPower(r.kev, r.kev, false) / 1000 / r.collision, 1,
                0.01)
        << r.kev << " keV";
    EXPECT_NEAR(RadiativeStopping(r.kev) / 1000 / r.radiative, 1, 0.07) << r.kev << " keV";
  }
}

TEST(AccurateDataTest, ShippedTablesAreConsistent) {
  auto data = std::make_unique<ElectronData<double>>();
  LoadElectronData(*data, std::string(DOSAVIA_DATA_DIR) + "/ELACC.dat");
  ASSERT_EQ(data->rows, 100);
  EXPECT_DOUBLE_EQ(data->delta_cut, 100);
  EXPECT_DOUBLE_EQ(data->photon_cut, 10);
  // ESTAR CSDA ranges [g/cm2]: the restricted losses leave a longer residual path.
  EXPECT_GT(data->Range(1000, false), 0.4367);
  EXPECT_GT(data->Range(10000, false), 4.975);
  EXPECT_LT(data->Range(10000, false), 4.975 * 1.25);
  for (int i = 1; i <= data->rows; ++i) {
    const ElectronRow<double>& r = data->table[static_cast<std::size_t>(i)];
    EXPECT_LE(r.stopping_e,
              xs::RestrictedCollisionStoppingPower(r.energy, r.energy, false) * 1.0001)
        << i;
    EXPECT_NEAR(r.sigma_annihilation / xs::AnnihilationCrossSection(r.energy), 1, 1e-4) << i;
  }
}

}  // namespace
}  // namespace dosavia::testing
