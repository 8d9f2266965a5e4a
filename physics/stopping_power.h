// Collision stopping power of water for the electron steps.
#pragma once

#include <cmath>

#include "physics/transport_context.h"

namespace dosavia {

// Constants of the Bethe formula for water as the program holds them. Each is converted to
// the program's real type where it is used, so float and double each round it once.
namespace stopping_power {
// 2 ln 10: turns the natural logarithm of (beta gamma)^2 into the decimal log of beta gamma.
inline constexpr double kTwoLn10 = 4.606;
// Sternheimer density-effect parameters of water: -C = 3.22 (C = 2 ln(I / h nu_p) + 1),
// X0 = 0.2, X1 = 2.0, a = 0.39417 (with m = 3, written as the cube of X1 - X).
inline constexpr double kDensityC = 3.22;
inline constexpr double kDensityX0 = 0.2;
inline constexpr double kDensityX1 = 2.0;
inline constexpr double kDensityA = 0.39417;
// ln 2, in the electron's F^- term of the Bethe formula.
inline constexpr double kLn2 = 0.693147;
// Z/A of water [mol/g].
inline constexpr double kZOverA = 0.5551;
// 2 pi r_e^2 m c^2 N_A [keV cm^2/mol], rounded: with Z/A and density 1 it gives keV/cm.
inline constexpr double kBetheConstant = 153.6;
// 1 / (2 (I / m c^2)^2) with the mean excitation energy I = 65.1 eV: the Bethe logarithm
// ln(tau^2 (tau + 2) / (2 (I / m c^2)^2)) becomes ln(kLogArgument tau^2 (tau + 2)).
inline constexpr double kLogArgument = 30807000;
}  // namespace stopping_power

// Bethe collision stopping power of water with Sternheimer's density-effect correction
// [keV/cm] for an electron of kinetic energy T [keV] above 305 keV (mean excitation energy
// about 65 eV, Z/A = 0.5551, density 1). Computed in the program's real type throughout.
// Source: ICRU Report 37 (1984), eq. 2.12 with the density effect of Sternheimer, Berger
// and Seltzer, Atomic Data and Nuclear Data Tables 30 (1984) 261.
template <typename Real>
Real StoppingPower(Real T) {
  namespace sp = stopping_power;
  const auto c = [](double v) { return static_cast<Real>(v); };
  const Real tau = T / c(kRestEnergyKeV);
  const Real beta2 = tau * (tau + 2) / ((tau + 1) * (tau + 1));
  // Decimal logarithm of beta * gamma.
  const Real X = std::log(beta2 / (1 - beta2)) / c(sp::kTwoLn10);
  Real delta = 0;
  if (X > c(sp::kDensityX1)) {
    delta = c(sp::kTwoLn10) * X - c(sp::kDensityC);
  } else if (!(X < c(sp::kDensityX0))) {
    const Real d = c(sp::kDensityX1) - X;
    delta = c(sp::kTwoLn10) * X - c(sp::kDensityC) + c(sp::kDensityA) * d * d * d;
  }
  const Real F =
      (1 - beta2) + (tau * tau / 8 - (2 * tau + 1) * c(sp::kLn2)) / ((tau + 1) * (tau + 1));
  return (c(sp::kZOverA) * c(sp::kBetheConstant) / beta2) *
         (std::log(c(sp::kLogArgument) * tau * tau * (tau + 2)) + F - delta);
}

}  // namespace dosavia
