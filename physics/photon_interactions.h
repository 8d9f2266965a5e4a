// Sampling of the photon scattering angles. No observer here: these routines only draw
// numbers and return angles and energies.
#pragma once

#include "physics/physics_tables.h"
#include "physics/random_stream.h"
#include "physics/transport_context.h"

namespace dosavia {

// Polar angle of a Compton scattering and what follows from it.
template <typename Real>
struct ComptonAngle {
  Real theta = 0;             // scattering angle of the photon, in [0, pi] [rad]
  Real cos_theta = 1;         // cos(theta)
  Real sin_theta = 0;         // sin(theta)
  Real scattered_energy = 0;  // E' of the photon after the scattering [keV]
};

// Cosine of the coherent (Rayleigh) scattering angle of a photon of energy E [keV]. Draws
// u, and the Thomson acceptance number only when the momentum transfer is possible, per
// attempt; the caller draws the azimuth afterwards.
template <typename Real>
Real SampleCoherentCosine(const PhysicsTables<Real>& tables, RandomStream<Real>& random, Real E);

// Compton scattering angle and scattered energy for a photon of energy E [keV]. Draws three
// numbers per attempt and a fourth when the incoherent function is not saturated; the
// caller draws the azimuth afterwards.
template <typename Real>
ComptonAngle<Real> SampleComptonAngle(const PhysicsTables<Real>& tables, RandomStream<Real>& random,
                                      Real E);

extern template float SampleCoherentCosine<float>(const PhysicsTables<float>&, RandomStream<float>&,
                                                  float);
extern template double SampleCoherentCosine<double>(const PhysicsTables<double>&,
                                                    RandomStream<double>&, double);
extern template ComptonAngle<float> SampleComptonAngle<float>(const PhysicsTables<float>&,
                                                              RandomStream<float>&, float);
extern template ComptonAngle<double> SampleComptonAngle<double>(const PhysicsTables<double>&,
                                                                RandomStream<double>&, double);

}  // namespace dosavia
