#include "tools/bremsstrahlung.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "tools/quadrature.h"
#include "tools/target_stopping_power.h"

namespace dosavia::datagen {

namespace {

constexpr double kRestEnergyMeV = 0.51099895;
constexpr double kNegligibleWeight = 1e-12;
// Schiff's atomic screening radius: 111 Z^(-1/3) hbar / (m c).
constexpr double kSchiffScreening = 111;

double BinCentre(int i) { return BinEnergy(i) / 1000.0; }

const GaussLegendreRule& Rule8() {
  static const GaussLegendreRule rule(8);
  return rule;
}

// Number of 50 keV panels that cover 0 ... T0 (the last one ends at T0).
int PanelCount(double t0) { return static_cast<int>(std::ceil(t0 / kSpectrumBinWidthMeV - 1e-9)); }

}  // namespace

double SchiffCrossSection(double electron_kinetic_mev, double photon_mev, double Z) {
  if (!(photon_mev > 0) || !(photon_mev < electron_kinetic_mev)) return 0;
  // Total energies and the photon energy in units of the electron rest energy.
  const double e0 = electron_kinetic_mev / kRestEnergyMeV + 1;
  const double k = photon_mev / kRestEnergyMeV;
  const double e = e0 - k;
  const double z3 = std::cbrt(Z) / kSchiffScreening;
  const double inv_m = (k / (2 * e0 * e)) * (k / (2 * e0 * e)) + z3 * z3;
  const double b = 2 * e0 * e * z3 / k;
  const double r = e / e0;
  const double atan_b = std::atan(b);
  const double first = (1 + r * r - 2 * r / 3) * (-std::log(inv_m) + 1 - 2 / b * atan_b);
  const double second =
      r * (2 / (b * b) * std::log1p(b * b) + 4 * (2 - b * b) / (3 * b * b * b) * atan_b -
           8 / (3 * b * b) + 2.0 / 9);
  return (first + second) / photon_mev;
}

TargetEmission::TargetEmission(TargetModel model, double electron_kinetic_mev)
    : model_(model), t0_(electron_kinetic_mev) {
  if (model_ != TargetModel::kThick) return;
  const GaussLegendreRule& rule = Rule8();
  const int panels = PanelCount(t0_);
  for (int p = 0; p < panels; ++p) {
    const double lo = kSpectrumBinWidthMeV * p;
    const double hi = std::min(kSpectrumBinWidthMeV * (p + 1), t0_);
    const double half = 0.5 * (hi - lo), mid = 0.5 * (hi + lo);
    for (std::size_t n = 0; n < rule.nodes.size(); ++n) {
      const double t = mid + half * rule.nodes[n];
      node_mev_.push_back(t);
      node_weight_.push_back(half * rule.weights[n] / TotalStoppingPower(kTungstenMedium, t));
    }
  }
}

double TargetEmission::operator()(double photon_mev) const {
  if (!(photon_mev > 0) || !(photon_mev < t0_)) return 0;
  if (model_ == TargetModel::kThin) return SchiffCrossSection(t0_, photon_mev, kTungstenZ);
  // The panel that holds k: from k to its upper edge, with stopping powers of its own.
  const int panels = PanelCount(t0_);
  int p = std::min(static_cast<int>(photon_mev / kSpectrumBinWidthMeV), panels - 1);
  while (p > 0 && kSpectrumBinWidthMeV * p > photon_mev) --p;
  while (p + 1 < panels && kSpectrumBinWidthMeV * (p + 1) <= photon_mev) ++p;
  const double edge = std::min(kSpectrumBinWidthMeV * (p + 1), t0_);
  double sum = Rule8().Integrate(
      [&](double t) {
        return SchiffCrossSection(t, photon_mev, kTungstenZ) /
               TotalStoppingPower(kTungstenMedium, t);
      },
      photon_mev, edge);
  // The full panels above it from the stored nodes.
  const std::size_t per_panel = Rule8().nodes.size();
  for (std::size_t n = static_cast<std::size_t>(p + 1) * per_panel; n < node_mev_.size(); ++n) {
    sum += node_weight_[n] * SchiffCrossSection(node_mev_[n], photon_mev, kTungstenZ);
  }
  return sum;
}

std::vector<double> SpectrumWeights(double electron_kinetic_mev, TargetModel model,
                                    const XcomElement& tungsten, const XcomElement& copper,
                                    const Filtration& filtration) {
  const GaussLegendreRule& rule = Rule8();
  const TargetEmission emission(model, electron_kinetic_mev);
  std::vector<double> w(kSpectrumBins, 0.0);
  double sum = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    if (BinCentre(i) >= electron_kinetic_mev) continue;
    const double lo = kSpectrumBinWidthMeV * (i - 1);
    const double hi = std::min(kSpectrumBinWidthMeV * i, electron_kinetic_mev);
    w[i - 1] = rule.Integrate(
        [&](double k) {
          return emission(k) *
                 std::exp(-tungsten.Total(k) * kTungstenDensity * filtration.tungsten_cm -
                          copper.Total(k) * kCopperDensity * filtration.copper_cm);
        },
        lo, hi);
    sum += w[i - 1];
  }
  if (!(sum > 0)) throw std::runtime_error("the filtered spectrum is empty");
  for (double& v : w) {
    v /= sum;
    if (v < kNegligibleWeight) v = 0;
  }
  return w;
}

std::string FormatSpectrumFile(const std::vector<double>& weights) {
  std::string out;
  char line[64];
  for (int i = 1; i <= kSpectrumBins; ++i) {
    std::snprintf(line, sizeof line, "%6.3f, %9.3E\r\n", BinCentre(i),
                  weights[static_cast<std::size_t>(i - 1)]);
    out += line;
  }
  return out;
}

double MeanEnergy(const std::vector<double>& weights) {
  double sum = 0, moment = 0;
  for (int i = 1; i <= static_cast<int>(weights.size()); ++i) {
    sum += weights[static_cast<std::size_t>(i - 1)];
    moment += weights[static_cast<std::size_t>(i - 1)] * BinCentre(i);
  }
  return moment / sum;
}

}  // namespace dosavia::datagen
