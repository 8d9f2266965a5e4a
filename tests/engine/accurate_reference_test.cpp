// The accurate transport against an independent reference code: the energy deposited per
// photon at each depth of a beam as wide as the phantom (all rings of the pencil beam), in
// 1 mm slabs through the build-up and 1 cm means beyond, at the two reference energies.
// The tolerance of each value is four standard uncertainties of the difference (this run's
// own, from ten batches, and the reference's) plus 0.5 % of the maximum for the reference's
// own physics (atomic relaxation, photoelectron transport, which this program leaves out).
// It catches a wrong range, energy lost or counted twice, or a wrong bremsstrahlung yield;
// the 10 x 10 cm field's tighter bounds, which need millions of histories, are checked by
// bench/accurate_validation.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>

#include "egsnrc_water_reference.h"
#include "engine/pencil_beam.h"
#include "physics/physics_loader.h"

namespace dosavia::testing {
namespace {

const std::string kDataDir = DOSAVIA_DATA_DIR;
constexpr int kBatches = 10;
constexpr int kHistoriesPerBatch = 8000;

struct Profile {
  std::array<double, kSlabs + 1> mean{};   // [MeV per photon per slab]
  std::array<double, kSlabs + 1> sigma{};  // standard uncertainty of the mean
};

// Energy per photon in each slab, summed over every ring, from kBatches independent runs.
Profile RunBatches(double energy_mev, bool accurate) {
  auto tables = std::make_unique<PhysicsTables<float>>();
  LoadPhysicsTables(*tables, kDataDir + "/water20.dat", kDataDir + "/ELDAT.dat");
  tables->SetPhantomConstants(kPhantomWidthCm, kPhantomWidthCm, kPhantomDepthCm);
  LoadElectronData(tables->electrons, kDataDir + "/ELACC.dat");
  PhysicsSwitches physics;
  physics.accurate_transport = accurate;
  std::array<std::array<double, kSlabs + 1>, kBatches> batch{};
  for (int b = 0; b < kBatches; ++b) {
    auto tally =
        std::make_unique<DoseTally>(std::span<const float, kSlabs + 1>(tables->DepthBinWidth));
    RandomStream<float> random;
    random.SeedFromKey(4300 + static_cast<std::uint64_t>(b));
    {
      PencilBeam beam(*tables, random, *tally, physics);
      for (int h = 0; h < kHistoriesPerBatch; ++h)
        beam.RunHistory(static_cast<float>(energy_mev * 1000));
    }
    for (int k = 1; k <= kSlabs; ++k) {
      double sum = 0;
      for (int c = 1; c <= kComponents; ++c)
        for (int j = 1; j <= kRings; ++j) sum += tally->RingDose(c, j, k);
      batch[static_cast<std::size_t>(b)][static_cast<std::size_t>(k)] =
          sum / 1000 / kHistoriesPerBatch;
    }
  }
  Profile p;
  for (int k = 1; k <= kSlabs; ++k) {
    double s = 0, s2 = 0;
    for (const auto& d : batch) {
      s += d[static_cast<std::size_t>(k)];
      s2 += d[static_cast<std::size_t>(k)] * d[static_cast<std::size_t>(k)];
    }
    const double m = s / kBatches;
    p.mean[static_cast<std::size_t>(k)] = m;
    p.sigma[static_cast<std::size_t>(k)] =
        std::sqrt(std::max(0.0, s2 / kBatches - m * m) / (kBatches - 1));
  }
  return p;
}

// The worst deviation in units of its tolerance (above 1 fails), and where.
struct Worst {
  double ratio = 0;
  std::string where;
};

Worst Compare(const Profile& p, const ReferenceDepthDose& ref) {
  const double maximum = *std::max_element(ref.slabs.begin(), ref.slabs.end());
  Worst w;
  auto check = [&](double ours, double sigma, double theirs, const std::string& where) {
    const double tolerance = 4 * std::hypot(sigma, 0.003 * theirs) + 0.005 * maximum;
    const double r = std::fabs(ours - theirs) / tolerance;
    if (r > w.ratio) w = {r, where};
  };
  for (int k = 1; k <= 30; ++k)
    check(p.mean[static_cast<std::size_t>(k)], p.sigma[static_cast<std::size_t>(k)],
          ref.slabs[static_cast<std::size_t>(k - 1)], "slab " + std::to_string(k));
  for (int c = 3; c < 25; ++c) {
    double m = 0, v = 0;
    for (int k = c * 10 + 1; k <= c * 10 + 10; ++k) {
      m += p.mean[static_cast<std::size_t>(k)] / 10;
      v += p.sigma[static_cast<std::size_t>(k)] * p.sigma[static_cast<std::size_t>(k)] / 100;
    }
    // Neighbouring slabs share electron tracks: their noise adds as if fully correlated.
    check(m, std::sqrt(v) * std::sqrt(10.0), ref.cm_means[static_cast<std::size_t>(c - 3)],
          std::to_string(c) + "-" + std::to_string(c + 1) + " cm");
  }
  return w;
}

TEST(AccurateReferenceTest, BroadBeamDepthDoseAgreesWithTheReferenceCode) {
  for (const ReferenceDepthDose& ref : kEgsnrcWaterReference) {
    const Worst w = Compare(RunBatches(ref.energy_mev, true), ref);
    EXPECT_LE(w.ratio, 1.0) << ref.energy_mev << " MeV: worst at " << w.where;
  }
}

}  // namespace
}  // namespace dosavia::testing
