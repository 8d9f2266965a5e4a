// What photon and charged-particle transport share: the data, the generator, the phantom
// box, and the physical constants of the transport.
#pragma once

#include "physics/physics_switches.h"
#include "physics/physics_tables.h"
#include "physics/random_stream.h"
#include "physics/slab_layers.h"
#include "physics/transport_events.h"

namespace dosavia {

inline constexpr double kCutoffKeV = 5;            // photons, electrons, positrons below it stop
inline constexpr double kRestEnergyKeV = 511;      // electron rest energy [keV]
inline constexpr double kPairThresholdKeV = 1022;  // twice the rest energy [keV]
inline constexpr double kWavelengthKeVAngstrom = 12.4;  // lambda [angstrom] = 12.4 / E [keV]
inline constexpr double kIncoherentSaturationX = 10;    // S(x) taken as saturated above [1/A]
inline constexpr double kLastStepKeV = 305;           // a step starting at or below it is the last
inline constexpr double kRangeCoefficientCm = 0.407;  // residual range 0.407 (T [MeV])^1.38 [cm]
inline constexpr double kRangeExponent = 1.38;

// Everything a history needs besides its particles. The box is the visual run's (centred
// on the beam axis) or the engine's (0..50 laterally); z always runs from 0 to the depth.
// `physics` is read once per history: with every part on, the transport runs the same
// instantiation as before the switches existed, which never looks at them again.
template <typename Real>
struct TransportContext {
  const PhysicsTables<Real>& tables;
  RandomStream<Real>& random;
  PhantomBox<Real> box;
  PhysicsSwitches physics = {};
  // The layers of a slab phantom (accurate transport only); none: water of density 1.
  const SlabLayers<Real>* layers = nullptr;
};

}  // namespace dosavia
