#include "tools/target_stopping_power.h"

#include <cmath>

#include "tools/bremsstrahlung.h"
#include "tools/quadrature.h"

namespace dosavia::datagen {

namespace {

constexpr double kRestEnergyMeV = 0.51099895;
// 2 pi r_0^2 m c^2 N_A [MeV cm^2/mol]: Bethe's prefactor.
constexpr double kBethePrefactor = 0.153537;
// 2 alpha r_0^2 [cm^2]: the unit of SchiffCrossSection per Z^2.
constexpr double kBremsstrahlungUnitCm2 = 2 * 7.2973525693e-3 * 7.9407877e-26;
constexpr double kAvogadro = 6.02214076e23;  // [1/mol]
// Twice ln 10: Sternheimer's slope of delta in X = log10(beta gamma).
constexpr double kTwoLn10 = 4.6052;
// The radiative integral over the photon energy: panels of the 8-point rule.
constexpr int kRadiativePanels = 16;

}  // namespace

double DensityEffect(const StoppingMedium& medium, double kinetic_mev) {
  const double tau = kinetic_mev / kRestEnergyMeV;
  const double x = 0.5 * std::log10(tau * (tau + 2));  // log10(beta gamma)
  if (x < medium.x0) return medium.delta0 * std::pow(10.0, 2 * (x - medium.x0));
  const double delta = kTwoLn10 * x - medium.c_bar;
  if (x >= medium.x1) return delta;
  return delta + medium.a * std::pow(medium.x1 - x, medium.m);
}

double CollisionStoppingPower(const StoppingMedium& medium, double kinetic_mev) {
  const double tau = kinetic_mev / kRestEnergyMeV;
  const double beta2 = tau * (tau + 2) / ((tau + 1) * (tau + 1));
  const double i_ratio = medium.mean_excitation_ev * 1e-6 / kRestEnergyMeV;
  const double f =
      1 - beta2 + (tau * tau / 8 - (2 * tau + 1) * std::log(2.0)) / ((tau + 1) * (tau + 1));
  const double bracket = std::log(tau * tau * (tau + 2) / (2 * i_ratio * i_ratio)) + f -
                         DensityEffect(medium, kinetic_mev);
  return kBethePrefactor * medium.Z / medium.atomic_weight / beta2 * bracket;
}

double RadiativeStoppingPower(const StoppingMedium& medium, double kinetic_mev) {
  static const GaussLegendreRule rule(8);
  const double width = kinetic_mev / kRadiativePanels;
  double integral = 0;  // [MeV]: the Z^2-scaled energy-loss cross section in Schiff's unit
  for (int p = 0; p < kRadiativePanels; ++p) {
    integral +=
        rule.Integrate([&](double k) { return k * SchiffCrossSection(kinetic_mev, k, medium.Z); },
                       p * width, (p + 1) * width);
  }
  return kAvogadro / medium.atomic_weight * medium.Z * (medium.Z + 1) * kBremsstrahlungUnitCm2 *
         integral;
}

double TotalStoppingPower(const StoppingMedium& medium, double kinetic_mev) {
  return CollisionStoppingPower(medium, kinetic_mev) + RadiativeStoppingPower(medium, kinetic_mev);
}

}  // namespace dosavia::datagen
