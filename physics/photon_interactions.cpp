#include "physics/photon_interactions.h"

#include <cmath>

namespace dosavia {

// Coherent scattering: the momentum transfer x is sampled by inverting the cumulative
// integral of the squared atomic form factor, and the Thomson factor (1 + cos^2)/2 accepts
// or rejects the angle (the form-factor method of EGS4's Rayleigh sampling: Nelson,
// Hirayama and Rogers, SLAC-265, 1985).
template <typename Real>
Real SampleCoherentCosine(const PhysicsTables<Real>& tables, RandomStream<Real>& random, Real E) {
  const Real wavelength = static_cast<Real>(kWavelengthKeVAngstrom);
  for (;;) {
    const Real u = random.Uniform() * tables.CoherentCumMax;
    const Real x = tables.CoherentInverse(u);
    // q = sin(theta/2); a larger x is beyond the reach of this photon's momentum.
    const Real q = wavelength * x / E;
    if (q > 1) continue;
    const Real c = 1 - 2 * q * q;
    const Real r = random.Uniform();
    if (2 * r > 1 + c * c) continue;
    return c;
  }
}

// Compton scattering: Kahn's rejection method for the Klein-Nishina distribution of
// x = E/E' (H. Kahn, Applications of Monte Carlo, AECU-3259, RAND 1954), followed by a
// rejection with the incoherent scattering function S(x)/S_max, which suppresses the small
// momentum transfers that bound electrons cannot take up (Hubbell et al., J. Phys. Chem.
// Ref. Data 4, 471, 1975).
template <typename Real>
ComptonAngle<Real> SampleComptonAngle(const PhysicsTables<Real>& tables, RandomStream<Real>& random,
                                      Real E) {
  const Real pi = PhysicsTables<Real>::kPi;
  const Real rest = static_cast<Real>(kRestEnergyKeV);
  const Real lam = rest / E;
  const Real t0 = (lam + 2) / (9 * lam + 2);
  for (;;) {
    const Real r1 = random.Uniform();
    const Real r2 = random.Uniform();
    const Real r3 = random.Uniform();
    Real x;
    if (r1 > t0) {
      x = (lam + 2) / (lam + 2 * (1 - r2));
      const Real k = 1 + lam - lam * x;
      if (r3 >= static_cast<Real>(0.5) * (1 / x + k * k)) continue;
    } else {
      x = 1 + 2 * r2 / lam;
      if (r3 >= 4 * (1 / x - 1 / (x * x))) continue;
    }
    Real c = 1 - lam * (x - 1);
    Real theta;
    if (c == 0) {
      theta = pi / 2;
    } else {
      if (c > 1) c = 1;
      theta = std::atan(std::sqrt(1 - c * c) / c);
      if (theta < 0) theta += pi;
    }
    // Momentum transfer sin(theta/2)/lambda [1/angstrom].
    const Real xm = E * std::sin(theta / 2) / static_cast<Real>(kWavelengthKeVAngstrom);
    if (xm < static_cast<Real>(kIncoherentSaturationX)) {
      const Real s = tables.IncoherentFunction(xm);
      const Real r = random.Uniform();
      if (!(r <= s / tables.IncoherentMax)) continue;
    }
    ComptonAngle<Real> a;
    a.theta = theta;
    a.cos_theta = std::cos(theta);
    a.sin_theta = std::sin(theta);
    a.scattered_energy = E / (1 + (E / rest) * (1 - a.cos_theta));
    return a;
  }
}

template float SampleCoherentCosine<float>(const PhysicsTables<float>&, RandomStream<float>&,
                                           float);
template double SampleCoherentCosine<double>(const PhysicsTables<double>&, RandomStream<double>&,
                                             double);
template ComptonAngle<float> SampleComptonAngle<float>(const PhysicsTables<float>&,
                                                       RandomStream<float>&, float);
template ComptonAngle<double> SampleComptonAngle<double>(const PhysicsTables<double>&,
                                                         RandomStream<double>&, double);

}  // namespace dosavia
