// The small plain types shared by photon and charged-particle transport, and the events
// that the transport reports to its observer (the engine's dose tally, the visual run's
// drawing, a test's event log).
#pragma once

#include <concepts>

namespace dosavia {

// A point or displacement [cm]; z is the depth along the beam.
template <typename Real>
struct Vec3 {
  Real x = 0;
  Real y = 0;
  Real z = 0;
};

// A direction held only through the cosines and sines of its polar angle and azimuth. The
// unit vector is (sinTheta cosPhi, sinTheta sinPhi, cosTheta).
template <typename Real>
struct Direction {
  Real cosTheta = 1;
  Real sinTheta = 0;
  Real cosPhi = 1;
  Real sinPhi = 0;
};

// The water block. Points on a face are inside.
template <typename Real>
struct PhantomBox {
  Real xmin = 0;
  Real xmax = 0;
  Real ymin = 0;
  Real ymax = 0;
  Real zmax = 0;  // the entrance surface is z = 0

  // All six comparisons without early exits: a point is almost always inside, and one
  // combined test costs less than six branches.
  bool Outside(const Vec3<Real>& p) const {
    return (p.x < xmin) | (p.x > xmax) | (p.y < ymin) | (p.y > ymax) | (p.z < 0) | (p.z > zmax);
  }
};

enum class AbsorptionCause {
  kPhotonBelowCutoff,           // a photon below 5 keV at the start of a flight
  kPhotoelectric,               // the whole photon energy at the interaction point
  kChargedBelowCutoff,          // an electron or positron released below 5 keV
  kScatteredPhotonBelowCutoff,  // a Compton-scattered photon that fell below 5 keV
  kChargedNotTransported        // electron transport switched off: its kinetic energy on the spot
};

enum class InteractionKind { kCoherent, kCompton, kPhotoelectric, kPair };

// 0 Compton electron, 1 pair electron, 2 positron; 3 a delta ray (an electron set in motion
// by a hard collision of another, made by the accurate transport only).
enum class ChargedKind { kComptonElectron = 0, kPairElectron = 1, kPositron = 2, kDeltaRay = 3 };

// kPhotonNotFollowed: with photon scatter switched off, a scattered or annihilation photon
// leaves the problem where it starts; its energy is counted as escaped.
enum class EscapeKind { kPhoton, kCharged, kPhotonNotFollowed };

// One straight condensed-history step of an electron or positron.
template <typename Real>
struct ChargedStep {
  Vec3<Real> start;
  Vec3<Real> end;
  Real energy_lost = 0;       // [keV]
  bool left_phantom = false;  // the escape test found the end outside: the track ends here
  ChargedKind kind = ChargedKind::kComptonElectron;
};

// What the transport calls, in the order the events happen. `dose_component` is the
// history's component in force at the event: 1 while the source photon is unscattered,
// 2 afterwards. An observer that ignores some events derives from NullObserver and
// defines only the events it uses.
template <typename Obs, typename Real>
concept TransportObserver = requires(Obs& obs, const Vec3<Real>& p, const Direction<Real>& d,
                                     int which, const ChargedStep<Real>& step, Real e,
                                     int component) {
  // Energy e [keV] deposited at p.
  {obs.OnLocalAbsorption(p, e, AbsorptionCause::kPhotoelectric, component)};
  // An interaction at p; e is the kinetic energy handed to charged particles
  // (Compton: E - E'; pair: E - 1022; photoelectric: E; coherent: 0).
  {obs.OnInteraction(InteractionKind::kCompton, p, e, component)};
  // One electron or positron step.
  {obs.OnChargedStep(step, component)};
  // A photon or charged particle left the phantom at p carrying e [keV].
  {obs.OnEscape(EscapeKind::kPhoton, p, e, component)};
  // The dose component of the history has just become 2.
  {obs.OnScatteredComponent()};
  // An annihilation photon (which = 1 or 2) starts at p in direction d.
  {obs.OnAnnihilationPhoton(p, d, which)};
};

// An event only the accurate transport has and only a drawing needs, called where the
// observer defines it: a bremsstrahlung photon of e [keV] starts at p in direction d. Its
// flight ends at the photon's next event (an interaction, its escape, or its absorption
// below the cut-off at p).
template <typename Obs, typename Real>
void ReportBremsstrahlungPhoton(Obs& observer, const Vec3<Real>& p, const Direction<Real>& d,
                                Real e) {
  if constexpr (requires { observer.OnBremsstrahlungPhoton(p, d, e); })
    observer.OnBremsstrahlungPhoton(p, d, e);
}

// An observer that ignores every event: the transport costs only the physics.
template <typename Real>
struct NullObserver {
  void OnLocalAbsorption(const Vec3<Real>&, Real, AbsorptionCause, int) {}
  void OnInteraction(InteractionKind, const Vec3<Real>&, Real, int) {}
  void OnChargedStep(const ChargedStep<Real>&, int) {}
  void OnEscape(EscapeKind, const Vec3<Real>&, Real, int) {}
  void OnScatteredComponent() {}
  void OnAnnihilationPhoton(const Vec3<Real>&, const Direction<Real>&, int) {}
};

}  // namespace dosavia
