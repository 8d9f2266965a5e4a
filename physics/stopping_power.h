// Collision stopping power of water for the electron steps.
#pragma once

#include <cmath>

namespace dosavia {

// Bethe collision stopping power of water with Sternheimer's density-effect correction
// [keV/cm] for an electron of kinetic energy T [keV] above 305 keV (mean excitation energy
// about 65 eV, Z/A = 0.5551, density 1). Computed in the program's real type throughout.
template <typename Real>
Real StoppingPower(Real T) {
  const Real tau = T / static_cast<Real>(511);
  const Real beta2 = tau * (tau + 2) / ((tau + 1) * (tau + 1));
  // Decimal logarithm of beta * gamma.
  const Real X = std::log(beta2 / (1 - beta2)) / static_cast<Real>(4.606);
  Real delta = 0;
  if (X > static_cast<Real>(2.0)) {
    delta = static_cast<Real>(4.606) * X - static_cast<Real>(3.22);
  } else if (!(X < static_cast<Real>(0.2))) {
    const Real d = 2 - X;
    delta = static_cast<Real>(4.606) * X - static_cast<Real>(3.22) +
            static_cast<Real>(0.39417) * d * d * d;
  }
  const Real F = (1 - beta2) + (tau * tau / 8 - (2 * tau + 1) * static_cast<Real>(0.693147)) /
                                   ((tau + 1) * (tau + 1));
  return (static_cast<Real>(0.5551) * static_cast<Real>(153.6) / beta2) *
         (std::log(static_cast<Real>(30807000) * tau * tau * (tau + 2)) + F - delta);
}

}  // namespace dosavia
