// The accurate transport's cross sections against NIST ESTAR (liquid water), and the shipped
// ELACC.dat as its reader holds it: the restricted losses below the unrestricted ones, the
// ranges within the CSDA ranges they must stay below. The slab phantoms' materials likewise,
// and their photon files against XCOM.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "physics/electron_cross_sections.h"
#include "physics/electron_data.h"
#include "physics/physics_loader.h"
#include "tools/phantom_materials.h"
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

// The materials' unrestricted collision stopping powers against ESTAR's [MeV cm2/g]: ESTAR's
// values are Bethe's formula with its own I and its density effect, computed for each
// material at its density from an oscillator model (these from ESTAR's density-effect
// tables for lung ICRU 44 inflated, bone cortical ICRU 44, air dry near sea level).
TEST(AccurateDataTest, MaterialStoppingPowersAgreeWithEstar) {
  const struct {
    const datagen::MaterialComposition* material;
    double kev, collision;
  } rows[] = {
      {&datagen::kLungComposition, 1000, 1.8565},  {&datagen::kLungComposition, 10000, 2.0416},
      {&datagen::kBoneComposition, 100, 3.6058},   {&datagen::kBoneComposition, 1000, 1.6302},
      {&datagen::kBoneComposition, 10000, 1.7730}, {&datagen::kAirComposition, 100, 3.6331},
      {&datagen::kAirComposition, 1000, 1.6609},   {&datagen::kAirComposition, 10000, 1.9793}};
  for (const auto& r : rows) {
    std::vector<xs::MediumAtom> atoms;
    const xs::Medium medium = datagen::MediumOf(*r.material, atoms);
    EXPECT_NEAR(
        xs::RestrictedCollisionStoppingPower(r.kev, r.kev, false, medium) / 1000 / r.collision, 1,
        0.02)
        << r.material->name << " " << r.kev << " keV";
    // The shipped file's restricted loss stays below the unrestricted one, and its range
    // beyond the CSDA range (restricted losses leave a longer residual path).
    auto data = std::make_unique<ElectronData<double>>();
    LoadElectronData(
        *data, std::string(DOSAVIA_DATA_DIR) + "/ELACC-" + std::string(r.material->name) + ".dat");
    int i;
    double f;
    data->Locate(r.kev, i, f);
    EXPECT_LE(data->table[static_cast<std::size_t>(i)].stopping_e,
              xs::RestrictedCollisionStoppingPower(data->table[static_cast<std::size_t>(i)].energy,
                                                   data->table[static_cast<std::size_t>(i)].energy,
                                                   false, medium) *
                  1.0001)
        << r.material->name << " " << r.kev << " keV";
  }
}

// The materials' photon files as the programs read them: dry air against XCOM's mixture
// values, and every material at 1 MeV, where Compton scattering is nearly all, at water's
// attenuation per electron (its electrons per gram relative to water's).
TEST(AccurateDataTest, MaterialPhotonCoefficientsAgreeWithXcom) {
  const std::string dir = DOSAVIA_DATA_DIR;
  auto water = std::make_unique<PhysicsTables<double>>();
  LoadPhysicsTables(*water, dir + "/water20.dat", dir + "/ELDAT.dat");
  const double water_electrons = datagen::kWaterComposition.ElectronsPerGram();
  for (const datagen::MaterialComposition* m : datagen::kPhantomCompositions) {
    auto t = std::make_unique<PhysicsTables<double>>();
    LoadPhysicsTables(*t, dir + "/" + std::string(m->name) + "20.dat", dir + "/ELDAT.dat");
    EXPECT_NEAR(t->PhotonCoefficients(1000).mu / water->PhotonCoefficients(1000).mu /
                    (m->ElectronsPerGram() / water_electrons),
                1, 0.005)
        << m->name;
    if (m != &datagen::kAirComposition) continue;
    // XCOM, air (dry, near sea level) [cm2/g].
    for (const auto& [kev, mu] : {std::pair{100.0, 0.1541}, {1000.0, 0.06358}, {10000.0, 0.02045}})
      EXPECT_NEAR(t->PhotonCoefficients(kev).mu / mu, 1, 0.01) << kev << " keV";
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
