// One source photon history: free flights, the four interactions, the charged particles
// they release, and the two annihilation photons of a pair.
#pragma once

#include <cmath>
#include <cstdint>

#include "physics/accurate_transport.h"
#include "physics/charged_transport.h"
#include "physics/direction.h"
#include "physics/photon_interactions.h"
#include "physics/transport_context.h"
#include "physics/transport_events.h"

namespace dosavia {

namespace photon_detail {

template <typename Real>
struct Photon {
  Vec3<Real> position;
  Direction<Real> direction;
  Real energy;  // [keV]
};

// The state that one history carries across its photons.
template <typename Real>
struct HistoryState {
  int dose_component = 1;      // 1 until the source photon is scattered, then 2
  int annihilation_state = 0;  // 0 no pair, 1 pair pending, 2 first, 3 second 511 keV photon
  Vec3<Real> annihilation_point;
  Direction<Real> first_annihilation_direction;
};

enum class Fate { kFliesOn, kEnds };

template <typename Real, typename Obs>
inline void BecomeScattered(HistoryState<Real>& h, Obs& observer) {
  if (h.dose_component == 2) return;
  h.dose_component = 2;
  observer.OnScatteredComponent();
}

// A charged particle of at least the cut-off energy set in motion at p: transported, or,
// with electron transport switched off, absorbed on the spot. Returns where it ends.
template <bool kSwitched, typename Real, typename Obs>
inline Vec3<Real> FollowCharged(const TransportContext<Real>& ctx, const Vec3<Real>& p,
                                const Direction<Real>& d, Real T, ChargedKind kind, int component,
                                Obs& observer) {
  if (kSwitched && !ctx.physics.electron_transport) {
    observer.OnLocalAbsorption(p, T, AbsorptionCause::kChargedNotTransported, component);
    return p;
  }
  return TransportCharged<kSwitched>(ctx, p, d, T, kind, component, observer);
}

// A charged particle released at p: absorbed on the spot below the cut-off, otherwise
// followed. Returns where it ends.
template <bool kSwitched, typename Real, typename Obs>
inline Vec3<Real> ReleaseCharged(const TransportContext<Real>& ctx, const Vec3<Real>& p,
                                 const Direction<Real>& d, Real T, ChargedKind kind, int component,
                                 Obs& observer) {
  if (T < static_cast<Real>(kCutoffKeV)) {
    observer.OnLocalAbsorption(p, T, AbsorptionCause::kChargedBelowCutoff, component);
    return p;
  }
  return FollowCharged<kSwitched>(ctx, p, d, T, kind, component, observer);
}

// With photon scatter switched off, a photon other than the source photon is not followed:
// its energy leaves the problem where it would have started.
template <typename Real, typename Obs>
inline void DropPhoton(const Vec3<Real>& p, Real energy, int component, Obs& observer) {
  observer.OnEscape(EscapeKind::kPhotonNotFollowed, p, energy, component);
}

template <typename Real, typename Obs>
inline void Coherent(const TransportContext<Real>& ctx, Photon<Real>& photon, HistoryState<Real>& h,
                     Obs& observer) {
  observer.OnInteraction(InteractionKind::kCoherent, photon.position, Real(0), h.dose_component);
  BecomeScattered(h, observer);
  const Real c = SampleCoherentCosine(ctx.tables, ctx.random, photon.energy);
  const Real s = std::sqrt(1 - c * c);
  photon.direction = RotateAtDrawnAzimuth(photon.direction, c, s, StepAzimuths<Real>(), ctx.random);
}

template <bool kSwitched, typename Real, typename Obs>
inline Fate Compton(const TransportContext<Real>& ctx, Photon<Real>& photon, HistoryState<Real>& h,
                    Obs& observer) {
  const Real pi = PhysicsTables<Real>::kPi;
  const Real E = photon.energy;
  const ComptonAngle<Real> a = SampleComptonAngle(ctx.tables, ctx.random, E);
  const Real T = E - a.scattered_energy;
  const std::int32_t n_phi = ctx.random.Step();
  const Real phi = 2 * pi * (static_cast<Real>(n_phi) / RandomStream<Real>::kDivisor);
  // The photon's new direction is fixed before its electron is followed.
  const AzimuthTable<Real>& azimuths = StepAzimuths<Real>();
  const Direction<Real> scattered = RotateAzimuth(photon.direction, a.cos_theta, a.sin_theta,
                                                  azimuths.cos_phi[n_phi], azimuths.sin_phi[n_phi]);
  observer.OnInteraction(InteractionKind::kCompton, photon.position, T, h.dose_component);
  if (T < static_cast<Real>(kCutoffKeV)) {
    observer.OnLocalAbsorption(photon.position, T, AbsorptionCause::kChargedBelowCutoff,
                               h.dose_component);
  } else {
    // Recoil angle from momentum conservation: cot(thetaE) = (1 + E/m) tan(theta/2).
    const Real theta_e =
        std::atan(1 / ((1 + E / static_cast<Real>(kRestEnergyKeV)) * std::tan(a.theta / 2)));
    const Direction<Real> electron =
        Rotate(photon.direction, std::cos(theta_e), std::sin(theta_e), phi + pi);
    FollowCharged<kSwitched>(ctx, photon.position, electron, T, ChargedKind::kComptonElectron,
                             h.dose_component, observer);
  }
  BecomeScattered(h, observer);
  if (kSwitched && !ctx.physics.photon_scatter) {
    DropPhoton(photon.position, a.scattered_energy, h.dose_component, observer);
    return Fate::kEnds;
  }
  if (a.scattered_energy < static_cast<Real>(kCutoffKeV)) {
    observer.OnLocalAbsorption(photon.position, a.scattered_energy,
                               AbsorptionCause::kScatteredPhotonBelowCutoff, h.dose_component);
    return Fate::kEnds;
  }
  photon.energy = a.scattered_energy;
  photon.direction = scattered;
  return Fate::kFliesOn;
}

// Pair production: electron and positron share E - 1022 keV and leave at the polar angle
// 511/E [rad] on opposite sides; the positron annihilates at rest where its track ends and
// the photon becomes the first of the two 511 keV photons, whose angles are drawn here.
template <bool kSwitched, typename Real, typename Obs>
inline Fate Pair(const TransportContext<Real>& ctx, Photon<Real>& photon, HistoryState<Real>& h,
                 Obs& observer) {
  const Real pi = PhysicsTables<Real>::kPi;
  const Real rest = static_cast<Real>(kRestEnergyKeV);
  const Real E = photon.energy;
  const Real kinetic = E - static_cast<Real>(kPairThresholdKeV);
  const Real T = kinetic * static_cast<Real>(0.5);
  const Real theta0 = rest / E;
  const std::int32_t n_phi1 = ctx.random.Step();
  const Real phi1 = 2 * pi * (static_cast<Real>(n_phi1) / RandomStream<Real>::kDivisor);
  const Real theta_a = pi * ctx.random.Uniform();
  const Real phi_a = 2 * pi * ctx.random.Uniform();
  h.annihilation_state = 1;
  const Vec3<Real> pair_point = photon.position;
  observer.OnInteraction(InteractionKind::kPair, pair_point, kinetic, h.dose_component);

  const Real c0 = std::cos(theta0);
  const Real s0 = std::sin(theta0);
  const AzimuthTable<Real>& azimuths = StepAzimuths<Real>();
  ReleaseCharged<kSwitched>(
      ctx, pair_point,
      RotateAzimuth(photon.direction, c0, s0, azimuths.cos_phi[n_phi1], azimuths.sin_phi[n_phi1]),
      T, ChargedKind::kPairElectron, h.dose_component, observer);
  h.annihilation_point =
      ReleaseCharged<kSwitched>(ctx, pair_point, Rotate(photon.direction, c0, s0, phi1 + pi), T,
                                ChargedKind::kPositron, h.dose_component, observer);

  const Direction<Real> first{std::cos(theta_a), std::sin(theta_a), std::cos(phi_a),
                              std::sin(phi_a)};
  h.first_annihilation_direction = first;
  BecomeScattered(h, observer);
  if (kSwitched && !ctx.physics.photon_scatter) {
    h.annihilation_state = 0;
    DropPhoton(h.annihilation_point, rest, h.dose_component, observer);
    DropPhoton(h.annihilation_point, rest, h.dose_component, observer);
    return Fate::kEnds;
  }
  h.annihilation_state = 2;
  observer.OnAnnihilationPhoton(h.annihilation_point, first, 1);
  photon = {h.annihilation_point, first, rest};
  return Fate::kFliesOn;
}

// Flies one photon through its flights and interactions until it is absorbed or escapes.
// A pair production turns it into the first annihilation photon, which flies on here.
// `first`, when given, is PhotonCoefficients of the photon's energy for its first flight.
template <bool kSwitched, typename Real, typename Obs>
inline void FlyPhoton(const TransportContext<Real>& ctx, Photon<Real>& photon,
                      HistoryState<Real>& h, Obs& observer,
                      const Attenuation<Real>* first = nullptr) {
  for (;;) {
    if (photon.energy < static_cast<Real>(kCutoffKeV)) {
      observer.OnLocalAbsorption(photon.position, photon.energy,
                                 AbsorptionCause::kPhotonBelowCutoff, h.dose_component);
      return;
    }
    const Attenuation<Real> att = first ? *first : ctx.tables.PhotonCoefficients(photon.energy);
    first = nullptr;
    // Free path from the total coefficient; a zero number is drawn again with its partner,
    // so the logarithm never sees 0.
    Real r_path;
    Real r_kind;
    do {
      r_path = ctx.random.Uniform();
      r_kind = ctx.random.Uniform();
    } while (!(r_path > 0));
    const Real s = -std::log(r_path) / att.mu;
    const Vec3<Real> next = Advance(photon.position, photon.direction, s);
    if (ctx.box.Outside(next)) {
      observer.OnEscape(EscapeKind::kPhoton, next, photon.energy, h.dose_component);
      return;
    }
    photon.position = next;
    if (r_kind <= att.P1) {
      if (kSwitched && !ctx.physics.coherent) continue;
      if (kSwitched && !ctx.physics.photon_scatter) {
        // The coherently scattered photon hands nothing to an electron and is not followed.
        observer.OnInteraction(InteractionKind::kCoherent, photon.position, Real(0),
                               h.dose_component);
        BecomeScattered(h, observer);
        DropPhoton(photon.position, photon.energy, h.dose_component, observer);
        return;
      }
      Coherent(ctx, photon, h, observer);
    } else if (r_kind <= att.P2) {
      if (Compton<kSwitched>(ctx, photon, h, observer) == Fate::kEnds) return;
    } else if (r_kind <= att.P3) {
      observer.OnInteraction(InteractionKind::kPhotoelectric, next, photon.energy,
                             h.dose_component);
      observer.OnLocalAbsorption(next, photon.energy, AbsorptionCause::kPhotoelectric,
                                 h.dose_component);
      return;
    } else {
      if (kSwitched && !ctx.physics.pair) continue;
      if (Pair<kSwitched>(ctx, photon, h, observer) == Fate::kEnds) return;
    }
  }
}

// One source history, in the instantiation chosen by TrackHistory.
template <bool kSwitched, typename Real, typename Obs>
void RunHistory(const TransportContext<Real>& ctx, const Vec3<Real>& start,
                const Direction<Real>& direction, Real energy, Obs& observer,
                const Attenuation<Real>* source_attenuation) {
  HistoryState<Real> h;
  Photon<Real> photon{start, direction, energy};
  FlyPhoton<kSwitched>(ctx, photon, h, observer, source_attenuation);
  if (h.annihilation_state != 2) return;
  const Direction<Real>& first = h.first_annihilation_direction;
  const Direction<Real> second{-first.cosTheta, first.sinTheta, -first.cosPhi, -first.sinPhi};
  h.annihilation_state = 3;
  observer.OnAnnihilationPhoton(h.annihilation_point, second, 2);
  photon = {h.annihilation_point, second, static_cast<Real>(kRestEnergyKeV)};
  FlyPhoton<kSwitched>(ctx, photon, h, observer);
}

}  // namespace photon_detail

// Runs the history of one source photon of energy [keV] starting at start [cm] in the given
// direction (dose component 1, no pair pending) until its last photon ends: every electron
// and positron it sets in motion is finished before the photon goes on, and after a pair
// production both annihilation photons are followed, the second starting from the
// annihilation point in exactly the opposite direction of the first.
// source_attenuation, when given, must be ctx.tables.PhotonCoefficients(energy): a beam of
// few energies computes it once per energy instead of once per history.
// Parts of the physics switched off in ctx.physics take the second instantiation; the full
// physics runs the one that never tests a switch. A run in the accurate transport takes
// TrackHistoryAccurate, which ignores the switches (Kestrun refuses to combine them).
template <typename Real, TransportObserver<Real> Obs>
void TrackHistory(const TransportContext<Real>& ctx, const Vec3<Real>& start,
                  const Direction<Real>& direction, Real energy, Obs& observer,
                  const Attenuation<Real>* source_attenuation = nullptr) {
  if (ctx.physics.accurate_transport) [[unlikely]] {
    TrackHistoryAccurate(ctx, start, direction, energy, observer);
    return;
  }
  if (ctx.physics.AllOn()) [[likely]] {
    photon_detail::RunHistory<false>(ctx, start, direction, energy, observer, source_attenuation);
  } else {
    photon_detail::RunHistory<true>(ctx, start, direction, energy, observer, source_attenuation);
  }
}

}  // namespace dosavia
