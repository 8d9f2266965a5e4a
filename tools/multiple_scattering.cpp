#include "tools/multiple_scattering.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "physics/stopping_power.h"
#include "tools/quadrature.h"

namespace dosavia::datagen {

namespace {

const std::vector<ScreenedRutherfordWater::Atom> kWaterAtoms = {{2, 1.0}, {1, 8.0}};

// The series stops at the first order whose damping factor exp(-s G_l) is below this.
constexpr double kSeriesCutoff = 1e-17;
constexpr int kMaxOrder = 1 << 17;

// Thomas–Fermi atomic radius 0.885 a0 Z^(-1/3), and Molière's fit of his screening angle
// chi_a^2 = chi_0^2 (1.13 + 3.76 (alpha Z / beta)^2) (G. Molière, Z. Naturforsch. 2a (1947) 133).
constexpr double kThomasFermiFactor = 0.885;
constexpr double kMoliereScreeningBase = 1.13;
constexpr double kMoliereCoulombTerm = 3.76;

// Polar angles below kNegligibleAngleFactor * sqrt(eta) carry a relative share of every
// G_l below 1e-12 and are left out of the quadrature.
constexpr double kNegligibleAngleFactor = 1e-3;

}  // namespace

ScreenedRutherfordWater::ScreenedRutherfordWater(double kinetic_energy_keV)
    : ScreenedRutherfordWater(kinetic_energy_keV, kWaterAtoms) {}

ScreenedRutherfordWater::ScreenedRutherfordWater(double kinetic_energy_keV,
                                                 const std::vector<Atom>& atoms) {
  const double tau = kinetic_energy_keV / kElectronRestEnergyKeV;
  const double gamma = tau + 1;
  const double beta2 = tau * (tau + 2) / (gamma * gamma);
  const double beta_gamma2 = tau * (tau + 2);
  double log_chi2_sum = 0, zz_sum = 0;
  for (const Atom& atom : atoms) {
    const double zz = atom.count * atom.Z * (atom.Z + 1);
    const double chi0_2 = kFineStructure * kFineStructure * std::cbrt(atom.Z * atom.Z) /
                          (kThomasFermiFactor * kThomasFermiFactor * beta_gamma2);
    const double az = kFineStructure * atom.Z;
    const double chia_2 = chi0_2 * (kMoliereScreeningBase + kMoliereCoulombTerm * az * az / beta2);
    log_chi2_sum += zz * std::log(chia_2);
    zz_sum += zz;
  }
  eta_ = 0.25 * std::exp(log_chi2_sum / zz_sum);
  // (e^2 / (p v))^2 = (r_e / (beta^2 gamma))^2.
  const double r = kClassicalElectronRadiusCm / (beta2 * gamma);
  const double molecules_per_cm3 = kAvogadro / kWaterMolarMass;  // density 1 g/cm^3
  prefactor_ = molecules_per_cm3 * 2 * std::acos(-1.0) * zz_sum * r * r;
}

double ScreenedRutherfordWater::TotalInverseMfp() const {
  return prefactor_ / (2 * eta_ * (1 + eta_));
}

double ScreenedRutherfordWater::FirstTransportInverseMfp() const {
  return prefactor_ * (std::log1p(1 / eta_) - 1 / (1 + eta_));
}

std::vector<double> ScreenedRutherfordWater::TransportCoefficients(int lmax) const {
  // In the polar angle the integrand is (1 - P_l(cos theta)) sin(theta) / (w + 2 eta)^2 with
  // w = 1 - cos(theta): it peaks near theta = 2 sqrt(eta) and oscillates with period
  // 2 pi / l. Panels grow geometrically from the peak region until they reach half a period,
  // then stay at half a period up to pi. 1 - P_l is carried directly by the Legendre
  // recurrence rewritten for D_l = 1 - P_l, so small angles lose no digits.
  static const GaussLegendreRule rule(12);
  const double pi = std::acos(-1.0);
  std::vector<double> g(static_cast<std::size_t>(lmax) + 1, 0.0);
  const double eta2 = 2 * eta_;
  auto add_panel = [&](double a, double b) {
    const double half = 0.5 * (b - a), mid = 0.5 * (a + b);
    for (std::size_t k = 0; k < rule.nodes.size(); ++k) {
      const double theta = mid + half * rule.nodes[k];
      const double sh = std::sin(0.5 * theta);
      const double w = 2 * sh * sh;
      const double f = rule.weights[k] * half * std::sin(theta) / ((w + eta2) * (w + eta2));
      double d_prev = 0, d = w;
      if (lmax >= 1) g[1] += f * d;
      for (int l = 1; l < lmax; ++l) {
        const double d_next = ((2.0 * l + 1) * (w * (1 - d) + d) - l * d_prev) / (l + 1);
        g[l + 1] += f * d_next;
        d_prev = d;
        d = d_next;
      }
    }
  };
  const double half_period = std::min(pi / (lmax + 1), 0.05);
  double a = kNegligibleAngleFactor * std::sqrt(eta_);
  while (0.5 * a < half_period && 1.5 * a < pi) {
    add_panel(a, 1.5 * a);
    a *= 1.5;
  }
  const int panels = static_cast<int>(std::ceil((pi - a) / half_period));
  const double h = (pi - a) / panels;
  for (int p = 0; p < panels; ++p) add_panel(a + p * h, a + (p + 1) * h);
  for (double& v : g) v *= prefactor_;
  return g;
}

GoudsmitSaunderson::GoudsmitSaunderson(const ScreenedRutherfordWater& model, double path_cm) {
  for (int lmax = 64; lmax <= kMaxOrder; lmax *= 2) {
    const std::vector<double> g = model.TransportCoefficients(lmax);
    if (std::exp(-path_cm * g[lmax]) >= kSeriesCutoff) continue;
    damping_.clear();
    for (int l = 0; l <= lmax; ++l) {
      const double d = std::exp(-path_cm * g[l]);
      if (d < kSeriesCutoff) break;
      damping_.push_back(d);
    }
    mean_cosine_ = damping_.size() > 1 ? damping_[1] : 0.0;
    return;
  }
  throw std::runtime_error("Goudsmit-Saunderson series does not converge");
}

double GoudsmitSaunderson::Cumulative(double theta) const {
  // integral from mu to 1 of P_l is (P_{l-1}(mu) - P_{l+1}(mu)) / (2l + 1) = (D_{l+1} - D_{l-1})
  // / (2l + 1) with D_l = 1 - P_l, so the (2l+1)/2 of the series cancels.
  const double sh = std::sin(0.5 * theta);
  const double w = 2 * sh * sh;
  double sum = 0.5 * w;
  double d_prev = 0, d = w;
  const int terms = Terms();
  for (int l = 1; l <= terms; ++l) {
    const double d_next = ((2.0 * l + 1) * (w * (1 - d) + d) - l * d_prev) / (l + 1);
    sum += 0.5 * damping_[static_cast<std::size_t>(l)] * (d_next - d_prev);
    d_prev = d;
    d = d_next;
  }
  return sum;
}

double GoudsmitSaunderson::QuantileAngle(double p) const {
  double lo = 0, hi = std::acos(-1.0);
  for (int iteration = 0; iteration < 200 && hi - lo > 1e-15; ++iteration) {
    const double mid = 0.5 * (lo + hi);
    if (Cumulative(mid) < p)
      lo = mid;
    else
      hi = mid;
  }
  return 0.5 * (lo + hi);
}

double StepPathLength(double kinetic_energy_keV) {
  return kStepLossFraction * kinetic_energy_keV / StoppingPower<double>(kinetic_energy_keV);
}

double MidStepEnergy(double kinetic_energy_keV) {
  return kinetic_energy_keV * (1 - 0.5 * kStepLossFraction);
}

double StepMeanCosine(double kinetic_energy_keV) {
  const ScreenedRutherfordWater model(MidStepEnergy(kinetic_energy_keV));
  return std::exp(-StepPathLength(kinetic_energy_keV) * model.FirstTransportInverseMfp());
}

double HighlandTheta0(double kinetic_energy_keV, double path_cm) {
  const double T = kinetic_energy_keV;
  const double pv_mev = T * (T + 2 * kElectronRestEnergyKeV) / (T + kElectronRestEnergyKeV) / 1000;
  const double t = path_cm / kWaterRadiationLengthCm;
  return 13.6 / pv_mev * std::sqrt(t) * (1 + 0.038 * std::log(t));
}

std::array<int, kQuantileCount> DeflectionQuantiles(double kinetic_energy_keV) {
  const double s = StepPathLength(kinetic_energy_keV);
  const ScreenedRutherfordWater model(MidStepEnergy(kinetic_energy_keV));
  const GoudsmitSaunderson distribution(model, s);
  std::array<int, kQuantileCount> q{};
  q[0] = kCosineScale;  // probability 0: no deflection
  long long inner = 0;
  for (int j = 2; j <= kQuantileCount - 1; ++j) {
    const double theta = distribution.QuantileAngle((j - 1) / 64.0);
    q[j - 1] = static_cast<int>(std::lround(kCosineScale * std::cos(theta)));
    inner += q[j - 1];
  }
  // Mean of the piecewise-linear quantile function: (q1 + 2 (q2..q64) + q65) / 128.
  const double target = std::exp(-s * model.FirstTransportInverseMfp());
  const double last = 128.0 * kCosineScale * target - q[0] - 2.0 * static_cast<double>(inner);
  q[kQuantileCount - 1] =
      std::clamp(static_cast<int>(std::lround(last)), -kCosineScale, q[kQuantileCount - 2]);
  return q;
}

}  // namespace dosavia::datagen
