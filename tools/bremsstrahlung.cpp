#include "tools/bremsstrahlung.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "tools/quadrature.h"

namespace dosavia::datagen {

namespace {

constexpr double kRestEnergyMeV = 0.51099895;
constexpr double kNegligibleWeight = 1e-12;
// Schiff's atomic screening radius: 111 Z^(-1/3) hbar / (m c).
constexpr double kSchiffScreening = 111;

double BinCentre(int i) { return kSpectrumBinWidthMeV * i - 0.5 * kSpectrumBinWidthMeV; }

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
  const double second = r * (2 / (b * b) * std::log1p(b * b) +
                             4 * (2 - b * b) / (3 * b * b * b) * atan_b - 8 / (3 * b * b) + 2.0 / 9);
  return (first + second) / photon_mev;
}

std::vector<double> SpectrumWeights(double electron_kinetic_mev, const XcomElement& tungsten,
                                    const XcomElement& copper, const Filtration& filtration) {
  static const GaussLegendreRule rule(8);
  std::vector<double> w(kSpectrumBins, 0.0);
  double sum = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    if (BinCentre(i) >= electron_kinetic_mev) continue;
    const double lo = kSpectrumBinWidthMeV * (i - 1);
    const double hi = std::min(kSpectrumBinWidthMeV * i, electron_kinetic_mev);
    w[i - 1] = rule.Integrate(
        [&](double k) {
          return SchiffCrossSection(electron_kinetic_mev, k, kTungstenZ) *
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
