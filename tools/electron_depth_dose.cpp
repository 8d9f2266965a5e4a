// Depth dose of a broad parallel electron beam in water, run through the programs' own
// electron transport (straight steps, the collision stopping power, the residual-range last
// step and the deflection table of ELDAT.dat) in the engine's float precision. It checks how
// deep the condensed-history electrons penetrate, which sets the depth of the photon beams'
// dose maximum, against the range-energy relations of electron dosimetry [MeV, cm]:
//   E0 = 0.656 + 2.059 R50 + 0.022 R50^2 (D. W. O. Rogers, A. F. Bielajew, Med. Phys. 13
//     (1986) 687: monoenergetic broad parallel beams in water, as here);
//   E0 = 2.33 R50 (the clinical rule of IAEA TRS-398, for beams at 100 cm SSD);
//   E0 = 0.22 + 1.98 Rp + 0.0025 Rp^2 (ICRU Report 35, the practical range Rp).
// By reciprocity the laterally integrated dose of a pencil is the central-axis dose of a
// broad beam, so every step's energy loss is spread over the 1 mm depth bins it crosses.
//
// Usage: electron_depth_dose <folder with water20.dat and ELDAT.dat> <histories> <E0 [MeV]>...
// Prints per energy the CSDA range of the programs' steps (the sum of their lengths, to set
// beside ESTAR's), R50 and Rp and the energies the three relations give from them; with
// --curve, the depth dose too.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "physics/charged_transport.h"
#include "physics/physics_loader.h"

namespace {

using Real = float;
using namespace dosavia;

constexpr int kBins = 300;         // 1 mm bins down to 30 cm
constexpr Real kBinCm = 0.1f;      // [cm]
constexpr Real kHalfWidthCm = 25;  // the engine's block: 50 x 50 x 30 cm, beam at its centre
constexpr Real kDepthCm = 30;

// Energy deposited per depth bin [keV], each step's loss shared by the length of depth it
// spans in each bin (a step that stays at one depth goes into that bin).
struct DepthTally : NullObserver<Real> {
  std::vector<double> bin = std::vector<double>(kBins, 0.0);

  void OnLocalAbsorption(const Vec3<Real>& p, Real e, AbsorptionCause, int) { Add(p.z, p.z, e); }
  void OnChargedStep(const ChargedStep<Real>& step, int) {
    if (!step.left_phantom) Add(step.start.z, step.end.z, step.energy_lost);
  }

  void Add(double z0, double z1, double e) {
    if (z1 < z0) std::swap(z0, z1);
    const int k0 = static_cast<int>(z0 / kBinCm), k1 = static_cast<int>(z1 / kBinCm);
    if (k0 == k1) {
      if (k0 >= 0 && k0 < kBins) bin[static_cast<std::size_t>(k0)] += e;
      return;
    }
    for (int k = k0; k <= k1; ++k) {
      const double lo = std::max(z0, k * double{kBinCm}),
                   hi = std::min(z1, (k + 1) * double{kBinCm});
      if (k >= 0 && k < kBins && hi > lo)
        bin[static_cast<std::size_t>(k)] += e * (hi - lo) / (z1 - z0);
    }
  }
};

// Depth [cm] beyond the maximum where the curve (5-bin running mean) falls through `level`
// of the maximum, interpolated linearly between bin centres.
double DepthAtLevel(const std::vector<double>& d, double level) {
  std::vector<double> s(d.size());
  for (std::size_t j = 0; j < d.size(); ++j) {
    double sum = 0;
    int n = 0;
    for (int k = static_cast<int>(j) - 2; k <= static_cast<int>(j) + 2; ++k) {
      if (k >= 0 && k < static_cast<int>(d.size())) sum += d[static_cast<std::size_t>(k)], ++n;
    }
    s[j] = sum / n;
  }
  std::size_t peak = 0;
  for (std::size_t j = 0; j < s.size(); ++j)
    if (s[j] > s[peak]) peak = j;
  const double target = level * s[peak];
  for (std::size_t j = peak; j + 1 < s.size(); ++j) {
    if (s[j + 1] < target) {
      const double f = (s[j] - target) / (s[j] - s[j + 1]);
      return (j + 0.5 + f) * kBinCm;
    }
  }
  return kDepthCm;
}

// Practical range: where the tangent through the steepest point of the fall-off (the 80 %
// to 20 % stretch, straight-line fit) meets the bremsstrahlung-free background of zero.
double PracticalRange(const std::vector<double>& d) {
  const double r80 = DepthAtLevel(d, 0.8), r20 = DepthAtLevel(d, 0.2);
  double peak = 0;
  for (double v : d) peak = std::max(peak, v);
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  int n = 0;
  for (int j = 0; j < kBins; ++j) {
    const double z = (j + 0.5) * kBinCm;
    if (z < r80 || z > r20) continue;
    const double y = d[static_cast<std::size_t>(j)] / peak;
    sx += z, sy += y, sxx += z * z, sxy += z * y, ++n;
  }
  const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
  const double intercept = (sy - slope * sx) / n;
  return -intercept / slope;
}

// Path length of a whole track: the programs' steps from T [keV] down to the last one.
double StepRange(const PhysicsTables<Real>& tables, Real t) {
  double path = 0;
  for (;;) {
    const StepSize<Real> step = ChargedStepSize(tables, t);
    path += step.length;
    if (step.last) return path;
    t -= step.energy_lost;
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool curve = false;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--curve")
      curve = true;
    else
      args.emplace_back(argv[i]);
  }
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: %s [--curve] <data folder> <histories> <E0 [MeV]>...\n", argv[0]);
    return 2;
  }
  try {
    auto tables = std::make_unique<PhysicsTables<Real>>();
    LoadPhysicsTables(*tables, args[0] + "/" + kWaterDataFile, args[0] + "/" + kElectronDataFile);
    const long histories = std::atol(args[1].c_str());
    std::printf("%8s %10s %8s %8s %15s %9s %11s\n", "E0[MeV]", "CSDA[cm]", "R50[cm]", "Rp[cm]",
                "E(R50) Rogers", "2.33 R50", "E(Rp) ICRU");
    for (std::size_t a = 2; a < args.size(); ++a) {
      const Real e0_mev = static_cast<Real>(std::atof(args[a].c_str()));
      RandomStream<Real> random;
      const TransportContext<Real> ctx{
          *tables, random, {0, 2 * kHalfWidthCm, 0, 2 * kHalfWidthCm, kDepthCm}};
      DepthTally tally;
      const Direction<Real> along_z{1, 0, 1, 0};
      for (long h = 0; h < histories; ++h) {
        TransportCharged(ctx, Vec3<Real>{kHalfWidthCm, kHalfWidthCm, 0}, along_z, 1000 * e0_mev,
                         ChargedKind::kComptonElectron, 1, tally);
      }
      const double r50 = DepthAtLevel(tally.bin, 0.5), rp = PracticalRange(tally.bin);
      std::printf("%8.2f %10.3f %8.3f %8.3f %15.2f %9.2f %11.2f\n", e0_mev,
                  StepRange(*tables, 1000 * e0_mev), r50, rp,
                  0.656 + 2.059 * r50 + 0.022 * r50 * r50, 2.33 * r50,
                  0.22 + 1.98 * rp + 0.0025 * rp * rp);
      if (curve) {
        double peak = 0;
        for (double v : tally.bin) peak = std::max(peak, v);
        for (int j = 0; j < kBins && (j + 0.5) * kBinCm < 1.3 * rp; ++j) {
          std::printf("  %6.2f %8.4f\n", (j + 0.5) * kBinCm,
                      tally.bin[static_cast<std::size_t>(j)] / peak);
        }
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "electron_depth_dose: %s\n", e.what());
    return 1;
  }
  return 0;
}
