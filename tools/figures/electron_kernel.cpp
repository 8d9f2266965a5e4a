#include "tools/figures/electron_kernel.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/spectrum_file.h"
#include "physics/charged_transport.h"
#include "physics/direction.h"
#include "physics/photon_interactions.h"
#include "physics/transport_context.h"
#include "physics/transport_events.h"

namespace dosavia::figures {

namespace {

// The electrons start this deep inside a box so large that none ever leaves it [cm].
constexpr double kOriginDepthCm = 100;
constexpr double kBoxHalfWidthCm = 1000;

// Spreads each step's energy loss evenly over pieces of at most kDepositPieceCm and adds
// each piece to the (R, Z) bin of its middle.
class KernelTally : public NullObserver<double> {
 public:
  explicit KernelTally(ElectronKernel& kernel) : kernel_(kernel) {}

  void Deposit(double x, double y, double z, double energy) {
    const double r = std::hypot(x, y);
    const double zr = z - kOriginDepthCm;
    const int ir = static_cast<int>(std::floor(r / kKernelBinCm));
    const int iz = static_cast<int>(std::floor((zr - kKernelZMinCm) / kKernelBinCm));
    if (ir < 0 || ir >= kKernelRBins || iz < 0 || iz >= kKernelZBins) {
      kernel_.outside_keV += energy;
      return;
    }
    kernel_.deposited[static_cast<std::size_t>(iz * kKernelRBins + ir)] += energy;
  }

  void OnLocalAbsorption(const Vec3<double>& p, double e, AbsorptionCause, int) {
    Deposit(p.x, p.y, p.z, e);
  }
  void OnChargedStep(const ChargedStep<double>& step, int) {
    const double dx = step.end.x - step.start.x;
    const double dy = step.end.y - step.start.y;
    const double dz = step.end.z - step.start.z;
    const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    const int pieces = std::max(1, static_cast<int>(std::ceil(length / kDepositPieceCm)));
    const double share = step.energy_lost / pieces;
    for (int k = 0; k < pieces; ++k) {
      const double f = (k + 0.5) / pieces;
      Deposit(step.start.x + f * dx, step.start.y + f * dy, step.start.z + f * dz, share);
    }
  }
  void OnEscape(EscapeKind, const Vec3<double>& p, double e, int) { Deposit(p.x, p.y, p.z, e); }

 private:
  ElectronKernel& kernel_;
};

static_assert(TransportObserver<KernelTally, double>);

}  // namespace

double ElectronKernel::Value(int iz, int ir) const {
  if (!(released_keV > 0)) return 0;
  return deposited[static_cast<std::size_t>(iz * kKernelRBins + ir)] /
         (released_keV * kKernelBinCm * kKernelBinCm);
}

std::vector<double> ComptonInteractionWeights(const PhysicsTables<double>& tables,
                                              const std::vector<double>& photon_weights) {
  std::vector<double> weights(kSpectrumBins + 1, 0.0);
  for (int i = 1; i <= kSpectrumBins && i < static_cast<int>(photon_weights.size()); ++i) {
    if (!(photon_weights[i] > 0)) continue;
    const double E = BinEnergy(i);
    const Attenuation<double> a = tables.PhotonCoefficients(E);
    weights[i] = photon_weights[i] * a.mu * (a.P2 - a.P1);
  }
  return weights;
}

ElectronKernel ComputeElectronKernel(const PhysicsTables<double>& tables,
                                     RandomStream<double>& random,
                                     const std::vector<double>& interaction_weights,
                                     std::int64_t electrons) {
  // Cumulative distribution of the interacting photons over the bins.
  std::vector<double> cumulative(kSpectrumBins + 1, 0.0);
  double sum = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    if (i < static_cast<int>(interaction_weights.size())) sum += interaction_weights[i];
    cumulative[i] = sum;
  }
  if (!(sum > 0)) throw std::invalid_argument("the spectrum has no photons that interact");

  ElectronKernel kernel;
  KernelTally tally(kernel);
  const double big = kBoxHalfWidthCm;
  const TransportContext<double> ctx{tables, random, PhantomBox<double>{-big, big, -big, big, big}};
  const Vec3<double> origin{0, 0, kOriginDepthCm};
  const Direction<double> beam{};  // along +Z
  const double pi = PhysicsTables<double>::kPi;

  for (std::int64_t n = 0; n < electrons; ++n) {
    const double u = random.Uniform() * sum;
    const int bin = static_cast<int>(std::upper_bound(cumulative.begin() + 1, cumulative.end(), u) -
                                     cumulative.begin());
    const double E = BinEnergy(std::min(bin, kSpectrumBins));
    const ComptonAngle<double> a = SampleComptonAngle(tables, random, E);
    const double T = E - a.scattered_energy;
    const double phi = 2 * pi * random.Uniform();
    kernel.released_keV += T;
    ++kernel.electrons;
    if (T < kCutoffKeV) {
      tally.OnLocalAbsorption(origin, T, AbsorptionCause::kChargedBelowCutoff, 1);
      continue;
    }
    const double theta_e = std::atan(1 / ((1 + E / kRestEnergyKeV) * std::tan(a.theta / 2)));
    const Direction<double> d = Rotate(beam, std::cos(theta_e), std::sin(theta_e), phi);
    TransportCharged(ctx, origin, d, T, ChargedKind::kComptonElectron, 1, tally);
  }
  return kernel;
}

KernelReach Reach(const ElectronKernel& kernel, double level) {
  KernelReach reach;
  for (int iz = 0; iz < kKernelZBins; ++iz) {
    for (int ir = 0; ir < kKernelRBins; ++ir) {
      if (kernel.Value(iz, ir) < level) continue;
      reach.forward_cm = std::max(reach.forward_cm, kKernelZMinCm + (iz + 1) * kKernelBinCm);
      reach.lateral_cm = std::max(reach.lateral_cm, (ir + 1) * kKernelBinCm);
    }
  }
  return reach;
}

double EnergyFractionWithin(const ElectronKernel& kernel, double z_max_cm, double r_max_cm) {
  if (!(kernel.released_keV > 0)) return 0;
  const int iz_end = std::clamp(
      static_cast<int>(std::lround((z_max_cm - kKernelZMinCm) / kKernelBinCm)), 0, kKernelZBins);
  const int ir_end =
      std::clamp(static_cast<int>(std::lround(r_max_cm / kKernelBinCm)), 0, kKernelRBins);
  double sum = 0;
  for (int iz = 0; iz < iz_end; ++iz)
    for (int ir = 0; ir < ir_end; ++ir)
      sum += kernel.deposited[static_cast<std::size_t>(iz * kKernelRBins + ir)];
  return sum / kernel.released_keV;
}

}  // namespace dosavia::figures
