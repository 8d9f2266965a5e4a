// The discrete events of the accurate transport's electrons and positrons (delta rays,
// bremsstrahlung photons, annihilation) and the small geometry and sampling helpers its
// steps share. The steps and photon flights themselves are in accurate_transport.h.
#pragma once

#include <cmath>
#include <cstdint>

#include "physics/direction.h"
#include "physics/electron_cross_sections.h"
#include "physics/electron_data.h"
#include "physics/photon_interactions.h"
#include "physics/transport_context.h"
#include "physics/transport_events.h"

namespace dosavia {

namespace accurate_detail {

// One uniform number in (0, 1) from two steps of the 14-bit generator: free paths and the
// tails of the sampled distributions need more than 16384 values.
template <typename Real>
inline Real FineUniform(RandomStream<Real>& random) {
  const double high = random.Step();
  const double low = random.Step();
  return static_cast<Real>((high * 16384 + low + 0.5) / 268435456.0);
}

// Distance [cm] from p, inside the box, along d to the box's surface.
template <typename Real>
inline Real DistanceToSurface(const PhantomBox<Real>& box, const Vec3<Real>& p,
                              const Direction<Real>& d) {
  const Real ux = d.sinTheta * d.cosPhi;
  const Real uy = d.sinTheta * d.sinPhi;
  const Real uz = d.cosTheta;
  Real t = static_cast<Real>(1e30);
  auto limit = [&t](Real u, Real x, Real lo, Real hi) {
    if (u > 0) t = std::fmin(t, (hi - x) / u);
    if (u < 0) t = std::fmin(t, (lo - x) / u);
  };
  limit(ux, p.x, box.xmin, box.xmax);
  limit(uy, p.y, box.ymin, box.ymax);
  limit(uz, p.z, Real(0), box.zmax);
  return t < 0 ? Real(0) : t;
}

// The point where the ray from p along d meets the box's surface, pulled onto the box so
// that rounding cannot put it outside.
template <typename Real>
inline Vec3<Real> SurfacePoint(const PhantomBox<Real>& box, const Vec3<Real>& p,
                               const Direction<Real>& d) {
  Vec3<Real> q = Advance(p, d, DistanceToSurface(box, p, d));
  q.x = std::fmin(std::fmax(q.x, box.xmin), box.xmax);
  q.y = std::fmin(std::fmax(q.y, box.ymin), box.ymax);
  q.z = std::fmin(std::fmax(q.z, Real(0)), box.zmax);
  return q;
}

// A straight piece of track from a to b that loses `loss` [keV] on the way. A piece too short
// to change every coordinate in the real type is scored where it starts, so that its energy
// is never lost to the tally's chord walk.
template <typename Real, typename Obs>
inline void Deposit(const Vec3<Real>& a, const Vec3<Real>& b, Real loss, ChargedKind kind,
                    int component, Obs& observer) {
  if ((a.x != b.x) & (a.y != b.y) & (a.z != b.z)) {
    ChargedStep<Real> step;
    step.start = a;
    step.end = b;
    step.energy_lost = loss;
    step.kind = kind;
    observer.OnChargedStep(step, component);
  } else if (loss > 0) {
    observer.OnLocalAbsorption(a, loss, AbsorptionCause::kChargedBelowCutoff, component);
  }
}

// A polar angle on the scale 1/gamma about a direction, for bremsstrahlung photons and
// pair particles: gamma theta drawn from u / (1 + u^2)^2, the leading term of the
// Koch–Motz angular distribution (2BS) at high energy.
template <typename Real>
inline Direction<Real> ForwardCone(const Direction<Real>& d, Real gamma,
                                   RandomStream<Real>& random) {
  Real theta;
  do {
    const Real r = FineUniform(random);
    theta = std::sqrt(r / (1 - r)) / gamma;
  } while (!(theta < PhysicsTables<Real>::kPi));
  return RotateAtDrawnAzimuth(d, std::cos(theta), std::sin(theta), StepAzimuths<Real>(), random);
}

// Below this photon energy [keV] a pair's energy is shared uniformly: the screened
// Bethe–Heitler form is a high-energy one and fails near threshold (EGSnrc draws it so).
inline constexpr double kUniformPairBelowKeV = 2100;

// The share of a pair's total energy E [keV] that the positron takes, on [m/E, 1 - m/E]:
// uniform below kUniformPairBelowKeV, else from the screened Bethe–Heitler shape of water
// by rejection against its bound at this E.
template <typename Real>
inline Real PairShare(Real E, RandomStream<Real>& random) {
  const Real emin = static_cast<Real>(kRestEnergyKeV) / E;
  Real e = emin + (1 - 2 * emin) * FineUniform(random);
  if (!(E > static_cast<Real>(kUniformPairBelowKeV))) return e;
  const Real bound = electron_xs::PairShapeBound(E);
  while (FineUniform(random) * bound > electron_xs::PairShape(E, e))
    e = emin + (1 - 2 * emin) * FineUniform(random);
  return e;
}

template <typename Real, typename Obs>
void AccuratePhoton(const TransportContext<Real>& ctx, Vec3<Real> p, Direction<Real> d, Real E,
                    int component, bool source, Obs& observer);

template <typename Real, typename Obs>
void AccurateCharged(const TransportContext<Real>& ctx, Vec3<Real> p, Direction<Real> d, Real T,
                     ChargedKind kind, int component, Obs& observer);

// Two photons of total energy `total` leave p: isotropic and back to back from a positron at
// rest, or with Heitler's energy sharing and angles from one in flight with kinetic energy T.
// They carry the positron's kinetic energy and both rest energies, which pair production
// took from the photon that made it.
template <typename Real, typename Obs>
void Annihilate(const TransportContext<Real>& ctx, const Vec3<Real>& p, const Direction<Real>& d,
                Real T, Obs& observer) {
  const Real m = static_cast<Real>(kRestEnergyKeV);
  RandomStream<Real>& random = ctx.random;
  Direction<Real> first;
  Direction<Real> second;
  Real k1 = m;
  Real k2 = m;
  if (T > 0) {
    // Heitler: zeta = k1 / (T + 2m) from 1/zeta on [zeta_min, 1 - zeta_min], accepted with
    // g(zeta) / g_max (PENELOPE-2018 manual, 3.4.1).
    const Real gamma = T / m + 1;
    const Real root = std::sqrt(gamma * gamma - 1);
    const Real zmin = 1 / (gamma + 1 + root);
    const Real gmax = gamma * gamma + 2 * gamma - 1;
    Real zeta;
    for (;;) {
      zeta = zmin * std::pow((1 - zmin) / zmin, FineUniform(random));
      const Real g = -(gamma + 1) * (gamma + 1) * zeta + (gamma * gamma + 4 * gamma + 1) - 1 / zeta;
      if (FineUniform(random) * gmax <= g) break;
    }
    k1 = zeta * (T + 2 * m);
    k2 = T + 2 * m - k1;
    auto cosine = [&](Real z) {
      return std::fmax(Real(-1), std::fmin(Real(1), (gamma + 1 - 1 / z) / root));
    };
    const Real c1 = cosine(zeta);
    const Real c2 = cosine(1 - zeta);
    const std::int32_t n = random.Step();
    const AzimuthTable<Real>& az = StepAzimuths<Real>();
    first = RotateAzimuth(d, c1, std::sqrt(1 - c1 * c1), az.cos_phi[n], az.sin_phi[n]);
    second = RotateAzimuth(d, c2, std::sqrt(1 - c2 * c2), -az.cos_phi[n], -az.sin_phi[n]);
  } else {
    const Real c = 1 - 2 * FineUniform(random);
    const Real phi = 2 * PhysicsTables<Real>::kPi * FineUniform(random);
    first = {c, std::sqrt(1 - c * c), std::cos(phi), std::sin(phi)};
    second = {-first.cosTheta, first.sinTheta, -first.cosPhi, -first.sinPhi};
  }
  observer.OnAnnihilationPhoton(p, first, 1);
  AccuratePhoton(ctx, p, first, k1, 2, false, observer);
  observer.OnAnnihilationPhoton(p, second, 2);
  AccuratePhoton(ctx, p, second, k2, 2, false, observer);
}

// A hard collision: Møller or Bhabha sampling of the fraction handed to an atomic electron
// above the delta cut (x from 1/x^2, accepted by the cross section's shape), both
// particles leaving at the angles that energy and momentum conservation give. The delta
// ray is followed at once (or, for the diagnosis, absorbed on the spot); the primary's
// energy and direction are updated.
template <typename Real, typename Obs>
void DeltaRay(const TransportContext<Real>& ctx, const Vec3<Real>& p, Direction<Real>& d, Real& T,
              bool positron, int component, bool follow, Obs& observer) {
  const ElectronData<Real>& data = ctx.tables.electrons;
  const Real xmin = data.delta_cut / T;
  const Real xmax = positron ? Real(1) : Real(0.5);
  if (!(xmin < xmax)) return;
  const electron_xs::HardCollisionShape<Real> shape(T, positron);
  const Real bound = shape.Bound(xmin);
  Real x;
  do {
    const Real q = FineUniform(ctx.random);
    x = xmin * xmax / (xmin * (1 - q) + xmax * q);
  } while (FineUniform(ctx.random) * bound > shape.Value(x));
  const Real m = static_cast<Real>(kRestEnergyKeV);
  const Real W = x * T;
  const Real T_after = T - W;
  if (!follow) {
    observer.OnLocalAbsorption(p, W, AbsorptionCause::kChargedBelowCutoff, component);
    T = T_after;
    return;
  }
  auto cosine = [&](Real t) {
    return std::fmin(Real(1), std::sqrt(t * (T + 2 * m) / (T * (t + 2 * m))));
  };
  const Real cd = cosine(W);
  const Real cp = cosine(T_after);
  const std::int32_t n = ctx.random.Step();
  const AzimuthTable<Real>& az = StepAzimuths<Real>();
  const Direction<Real> delta =
      RotateAzimuth(d, cd, std::sqrt(1 - cd * cd), az.cos_phi[n], az.sin_phi[n]);
  d = RotateAzimuth(d, cp, std::sqrt(1 - cp * cp), -az.cos_phi[n], -az.sin_phi[n]);
  T = T_after;
  AccurateCharged(ctx, p, delta, W, ChargedKind::kDeltaRay, component, observer);
}

// A bremsstrahlung photon above the photon cut: k from 1/k between the cut and T, accepted
// by the Bethe–Heitler shape; it leaves within about 1/gamma of the electron's direction,
// which the emission does not change (for the diagnosis its energy may stay on the spot).
template <typename Real, typename Obs>
void Bremsstrahlung(const TransportContext<Real>& ctx, const Vec3<Real>& p,
                    const Direction<Real>& d, Real& T, int component, bool leaves, Obs& observer) {
  const Real cut = ctx.tables.electrons.photon_cut;
  if (!(T > cut)) return;
  const Real log_span = std::log(T / cut);
  const Real bound = electron_xs::BremsstrahlungShapeBound<Real>();
  Real k;
  do {
    k = cut * std::exp(log_span * FineUniform(ctx.random));
  } while (FineUniform(ctx.random) * bound > electron_xs::BremsstrahlungShape(T, k));
  const Real gamma = T / static_cast<Real>(kRestEnergyKeV) + 1;
  const Direction<Real> photon = ForwardCone(d, gamma, ctx.random);
  T -= k;
  if (!leaves) {
    observer.OnLocalAbsorption(p, k, AbsorptionCause::kChargedBelowCutoff, component);
    return;
  }
  ReportBremsstrahlungPhoton(observer, p, photon, k);
  AccuratePhoton(ctx, p, photon, k, 2, false, observer);
}

}  // namespace accurate_detail

}  // namespace dosavia
