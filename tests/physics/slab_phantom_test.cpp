// The accurate transport through the layers of a slab phantom: energy kept at every
// boundary, and the Fano test, the strictest check of steps that stop at boundaries: a
// source uniform per unit mass in layers of one composition and different densities must
// give the same dose in every layer.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "physics/photon_transport.h"
#include "physics/physics_loader.h"
#include "transport_test_support.h"

namespace dosavia::testing {
namespace {

const std::string kDataDir = DOSAVIA_DATA_DIR;

// `photons_leave` false keeps each bremsstrahlung photon's energy on its track: the Fano
// test's source must be uniform per mass in the charged particles alone.
std::unique_ptr<PhysicsTables<float>> LoadTables(bool photons_leave) {
  auto t = std::make_unique<PhysicsTables<float>>();
  LoadPhysicsTables(*t, kDataDir + "/water20.dat", kDataDir + "/ELDAT.dat");
  LoadElectronData(t->electrons, kDataDir + "/ELACC.dat");
  t->electrons.controls.photons_leave = photons_leave;
  return t;
}

// A material's own data (its photon file and electron file beside water's).
std::unique_ptr<PhysicsTables<float>> LoadMaterial(const std::string& name) {
  auto t = std::make_unique<PhysicsTables<float>>();
  LoadPhysicsTables(*t, kDataDir + "/" + name + "20.dat", kDataDir + "/ELDAT.dat");
  LoadElectronData(t->electrons, kDataDir + "/ELACC-" + name + ".dat");
  return t;
}

SlabLayers<float> Layers(const std::vector<std::pair<float, float>>& thickness_density) {
  SlabLayers<float> s;
  float z = 0;
  for (const auto& [t, rho] : thickness_density) {
    s.z[static_cast<std::size_t>(s.count)] = z;
    s.density[static_cast<std::size_t>(s.count)] = rho;
    s.mass_density[static_cast<std::size_t>(s.count)] = rho;
    z += t;
    ++s.count;
  }
  s.z[static_cast<std::size_t>(s.count)] = z;
  return s;
}

// Energy per layer: a charged step never crosses a boundary, so its middle tells its layer.
struct LayerScore : NullObserver<float> {
  const SlabLayers<float>* layers;
  std::vector<double> energy;
  explicit LayerScore(const SlabLayers<float>& l) : layers(&l), energy(l.count, 0.0) {}
  void OnLocalAbsorption(const Vec3<float>& p, float e, AbsorptionCause, int) {
    energy[layers->LayerAt(p.z)] += e;
  }
  void OnChargedStep(const ChargedStep<float>& s, int) {
    if (!s.left_phantom) energy[layers->LayerAt((s.start.z + s.end.z) / 2)] += s.energy_lost;
  }
};

// Every keV of a photon stays in the books across layers of very different density
// (lung, bone, air gap), as water of their electron density and with their own data:
// nothing is lost or made where a step or a flight stops, or where the material changes.
TEST(SlabPhantomTest, HistoriesConserveEnergyAcrossLayers) {
  const auto tables = LoadTables(true);
  const auto lung = LoadMaterial("lung");
  const auto air = LoadMaterial("air");
  const auto bone = LoadMaterial("bone");
  const SlabLayers<float> scaled =
      Layers({{2, 1}, {3, 0.26f}, {0.5f, 0.001205f}, {1, 1.92f}, {23.5f, 1}});
  SlabLayers<float> own = Layers({{2, 1}, {3, 0.26f}, {0.5f, 0.001205f}, {1, 1.92f}, {23.5f, 1}});
  own.tables[1] = lung.get();
  own.tables[2] = air.get();
  own.tables[3] = bone.get();
  for (const SlabLayers<float>* layers : {&scaled, static_cast<const SlabLayers<float>*>(&own)}) {
    RandomStream<float> random;
    random.SeedFromKey(44);
    PhysicsSwitches physics;
    physics.accurate_transport = true;
    TransportContext<float> ctx{*tables, random, {-25, 25, -25, 25, 30}, physics, layers};
    for (const float energy : {1975.0f, 5975.0f, 14975.0f}) {
      for (int h = 0; h < 300; ++h) {
        EnergyLedger<float> ledger;
        TrackHistory(ctx, Vec3<float>{0, 0, 0}, Direction<float>{}, energy, ledger);
        ASSERT_NEAR(ledger.Total(), energy, 2e-4 * energy)
            << energy << " keV, history " << h << (layers == &own ? ", own data" : "");
      }
    }
  }
}

// Where a source photon first interacts.
struct FirstInteraction : NullObserver<float> {
  float z = -1;
  void OnInteraction(InteractionKind, const Vec3<float>& p, float, int) {
    if (z < 0) z = p.z;
  }
};

// A photon crosses water and then bone with each one's own attenuation: the share that
// passes both without interacting is exp(-mu_w t_w - mu_b rho_b t_b). At 100 keV the
// photoelectric effect of calcium and phosphorus makes bone's mu/rho 17 % more than water
// of its electron density would have.
TEST(SlabPhantomTest, PhotonsAttenuateByEachLayersOwnCoefficients) {
  const auto tables = LoadTables(true);
  const auto bone = LoadMaterial("bone");
  SlabLayers<float> layers = Layers({{1, 1}, {1, 1.92f}, {28, 1}});
  layers.tables[1] = bone.get();
  RandomStream<float> random;
  random.SeedFromKey(3);
  PhysicsSwitches physics;
  physics.accurate_transport = true;
  TransportContext<float> ctx{*tables, random, {-25, 25, -25, 25, 30}, physics, &layers};
  constexpr float kEnergy = 100;
  constexpr int kPhotons = 40000;
  int passed = 0;
  for (int h = 0; h < kPhotons; ++h) {
    FirstInteraction first;
    TrackHistory(ctx, Vec3<float>{0, 0, 0}, Direction<float>{}, kEnergy, first);
    passed += first.z < 0 || first.z >= 2;
  }
  const double expected = std::exp(-tables->PhotonCoefficients(kEnergy).mu -
                                   bone->PhotonCoefficients(kEnergy).mu * 1.92);
  // 1 sigma about 0.0025 here; water of bone's electron density would give 0.040 more.
  EXPECT_NEAR(static_cast<double>(passed) / kPhotons, expected, 0.01);
}

// Electrons of 1 MeV started uniformly per unit mass and isotropically in a stack of thin
// layers of density 1, 0.26 and 1.92 (each of the order of the electrons' range), between
// buffers of several ranges: under charged-particle equilibrium every inner layer gets the
// source's energy per mass, whatever its density.
TEST(SlabPhantomTest, FanoDoseIndependentOfDensity) {
  const auto tables = LoadTables(false);
  std::vector<std::pair<float, float>> thickness_density{{2.5f, 1}};
  for (int r = 0; r < 6; ++r) {
    thickness_density.push_back({0.2f, 1});
    thickness_density.push_back({0.6f, 0.26f});
    thickness_density.push_back({0.15f, 1.92f});
  }
  thickness_density.push_back({2.5f, 1});
  const SlabLayers<float> layers = Layers(thickness_density);
  std::vector<double> mass_below(static_cast<std::size_t>(layers.count) + 1, 0.0);
  for (int k = 0; k < layers.count; ++k)
    mass_below[k + 1] = mass_below[k] + layers.density[k] * (layers.z[k + 1] - layers.z[k]);
  const double total_mass = mass_below.back();
  RandomStream<float> random;
  random.SeedFromKey(1957);
  PhysicsSwitches physics;
  physics.accurate_transport = true;
  const float zmax = layers.z[static_cast<std::size_t>(layers.count)];
  TransportContext<float> ctx{*tables, random, {-1e4f, 1e4f, -1e4f, 1e4f, zmax}, physics, &layers};
  LayerScore score(layers);
  // 3e5 electrons hold each pooled dose to about 0.4 % (1 sigma), enough to catch a
  // boundary that loses or doubles energy; bench/phantom_validation.sh runs 3e6 (FANO_ELECTRONS)
  // for the 0.5 % bound.
  const char* more = std::getenv("FANO_ELECTRONS");
  const int kElectrons = more != nullptr ? std::atoi(more) : 300000;
  const double tolerance = kElectrons >= 3000000 ? 0.005 : 0.012;
  constexpr double kEnergy = 1000;
  for (int i = 0; i < kElectrons; ++i) {
    const double m = total_mass * accurate_detail::FineUniform(random);
    int k = 0;
    while (mass_below[k + 1] < m) ++k;
    const float z = layers.z[k] + static_cast<float>((m - mass_below[k]) / layers.density[k]);
    const float c = 2 * accurate_detail::FineUniform(random) - 1;
    const float phi = 6.2831853f * accurate_detail::FineUniform(random);
    const Direction<float> d{c, std::sqrt(1 - c * c), std::cos(phi), std::sin(phi)};
    accurate_detail::AccurateCharged(ctx, Vec3<float>{0, 0, z}, d, static_cast<float>(kEnergy),
                                     ChargedKind::kComptonElectron, 1, score);
  }
  // Dose of each inner layer relative to the source's energy per mass, pooled by density.
  const double expected = kElectrons * kEnergy / total_mass;
  std::array<double, 3> energy{};
  std::array<double, 3> mass{};
  for (int k = 1; k + 1 < layers.count; ++k) {
    const int kind = layers.density[k] == 1 ? 0 : layers.density[k] < 1 ? 1 : 2;
    energy[kind] += score.energy[k];
    mass[kind] += mass_below[k + 1] - mass_below[k];
  }
  for (int kind = 0; kind < 3; ++kind)
    EXPECT_NEAR(energy[kind] / mass[kind] / expected, 1.0, tolerance) << "density kind " << kind;
  std::printf("Fano: dose per source energy per mass at density 1, 0.26, 1.92: %.4f %.4f %.4f\n",
              energy[0] / mass[0] / expected, energy[1] / mass[1] / expected,
              energy[2] / mass[2] / expected);
}

}  // namespace
}  // namespace dosavia::testing
