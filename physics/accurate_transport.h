// The accurate transport: class II condensed history of electrons and positrons with the
// photons they make, chosen per run beside the exact transport (which it leaves untouched).
//
// A step of path s is the shortest of: the soft energy loss reaching a fraction of T, a
// fraction of the first transport mean free path lambda_1, and the distance to the next
// hard event (a delta ray or a bremsstrahlung photon above its cut, or annihilation in
// flight). The soft loss over s comes from the residual range of the restricted stopping
// powers. Each step is a random hinge (J. M. Fernández-Varea, R. Mayol, J. Baró, F. Salvat,
// Nucl. Instr. Meth. B 73 (1993) 447): the particle goes a uniformly drawn part of s, is
// deflected once by the multiple-scattering angle of the whole step, and goes the rest,
// which gives the path-length correction and the lateral displacement of the step. The
// angle has the Goudsmit–Saunderson means of P_1 and P_2 of screened Rutherford scattering
// over the step, exp(-s / lambda_1) and exp(-s / lambda_2), so that the spread in depth and
// sideways holds for short and long steps alike. A step that would leave the phantom ends at its
// surface. Below the last-step energy the rest of the range is one straight step; a
// positron then annihilates at rest.
#pragma once

#include <cmath>
#include <cstdint>

#include "physics/accurate_interactions.h"

namespace dosavia {

namespace accurate_detail {

// The cosine of the multiple-scattering deflection of a step with s / lambda_1 = g and
// lambda_1 / lambda_2 = kappa. Goudsmit–Saunderson theory gives the step's mean Legendre
// moments exactly, <P_l> = exp(-s / lambda_l), and the spatial spread that many steps build
// up (Lewis) rests on the first two: mu = (1 - cos) / 2 has the mean (1 - exp(-g)) / 2 and
// the mean square (2 + exp(-kappa g) - 3 exp(-g)) / 6. The deflection is drawn from the
// simplest law that has both, mu uniform on [0, b] with probability a and on [b, 1] else
// (the law of PENELOPE's soft angular deflections; F. Salvat, PENELOPE-2018 manual, ch. 4).
// A one-parameter shape fitted to the mean alone (Wentzel's) puts too much of it into rare
// large angles: its mean square is too large, and the electrons' mean square lateral spread
// comes out 5-10 % too small, which narrow beams see most (a 1 x 1 cm field, and every
// field in low-density lung).
template <typename Real>
inline Real DeflectionCosine(Real g, Real kappa, RandomStream<Real>& random) {
  // 1 - exp(-g) = 2 m1 and 1 - exp(-kappa g) = 2 (3 m1 - 3 m2), from expm1 so that the
  // shortest steps keep their digits.
  const Real e1 = -std::expm1(-g);
  if (!(e1 > static_cast<Real>(2e-8))) return 1;
  const Real u = FineUniform(random);
  Real mu;
  if (e1 >= static_cast<Real>(2 * ElectronData<Real>::kIsotropicMeanMu)) {
    mu = u;
  } else {
    const Real e2 = -std::expm1(-kappa * g);
    // b = (2 m1 - 3 m2) / (1 - 2 m1) = (e2 - e1) / (2 (1 - e1)) and a = 1 - 2 m1 + b; for
    // lambda_1 / lambda_2 between 1 and 3, 0 <= b <= 2 m1 and a <= 1.
    const Real b = std::fmin(Real(1), std::fmax(Real(0), (e2 - e1) / (2 * (1 - e1))));
    const Real a = 1 - e1 + b;
    mu = u < a ? b * u / a : b + (1 - b) * (u - a) / (1 - a);
  }
  return std::fmax(Real(-1), 1 - 2 * mu);
}

// The energy besides its kinetic energy that a particle leaving the phantom takes away: a
// positron's two rest energies, which pair production took from its photon and which it
// would give back as annihilation photons outside.
template <typename Real>
inline Real CarriedRest(ChargedKind kind) {
  return kind == ChargedKind::kPositron ? static_cast<Real>(kPairThresholdKeV) : Real(0);
}

// The data of the layer's material: its own where it has them, else the transport's own.
template <typename Real>
inline const PhysicsTables<Real>& TablesAt(const TransportContext<Real>& ctx, int layer) {
  if (ctx.layers != nullptr && ctx.layers->tables[layer] != nullptr)
    return *ctx.layers->tables[layer];
  return ctx.tables;
}

// What a step ended in.
enum class StepEnd { kGoesOn, kHard, kLeft };

// A charged particle between its steps.
template <typename Real>
struct Track {
  Vec3<Real> p;
  Direction<Real> d;
  Real T;  // [keV]
  ChargedKind kind;
  int row;                          // where the last range lookup ended: the next starts there
  int layer = 0;                    // the slab phantom's layer it is in (0 without layers)
  Real mfp_left = 0;                // mean free paths to the next hard event; 0: draw anew
  ElectronStepData<Real> at_start;  // the data at the energy the last step started with
};

// A step whose leg from `from` (reached after the path `done` [g/cm^2]) along the track's
// direction passes a layer boundary: the track stops on the boundary with the share of the
// step's loss that the path to it carries, and goes on in the next layer. The distance to
// the next hard event is drawn anew there, which the exponential law allows.
template <typename Real, typename Obs>
void CrossLayer(Track<Real>& t, const Vec3<Real>& start, Real done, const Vec3<Real>& from,
                Real z_top, Real z_bottom, Real rho, Real loss, Real s, int component,
                Obs& observer) {
  const bool down = t.d.cosTheta > 0;
  const Real plane = down ? z_bottom : z_top;
  const Real along = std::fmax(Real(0), (plane - from.z) / t.d.cosTheta);
  Vec3<Real> q = Advance(from, t.d, along);
  q.z = plane;
  const Real share = loss * std::fmin(Real(1), (done + along * rho) / s);
  Deposit(start, q, share, t.kind, component, observer);
  t.p = q;
  t.T -= share;
  t.mfp_left = 0;
  t.layer += down ? 1 : -1;
}

// One random-hinge step of the track: moves it, turns it, lowers T, and scores the loss on
// the chord. The distance to the next hard event is counted down in mean free paths, so
// that a step not ended by one draws no number for it. Returns kLeft after an escape (the
// rest of the energy reported).
template <typename Real, typename Obs>
StepEnd HingeStep(const TransportContext<Real>& ctx, Track<Real>& t, int component, Obs& observer) {
  const ElectronData<Real>& data = TablesAt(ctx, t.layer).electrons;
  const bool positron = t.kind == ChargedKind::kPositron;
  int i;
  Real f;
  data.Locate(t.T, i, f);
  const ElectronStepData<Real> sd = data.StepDataAt(i, f, positron);
  t.at_start = sd;
  // The data are per unit mass, so s and every path below are in g/cm^2; a layer of
  // density rho turns them into lengths by 1 / rho.
  Real rho = 1;
  Real z_top = 0;
  Real z_bottom = ctx.box.zmax;
  if (ctx.layers != nullptr) {
    rho = ctx.layers->density[t.layer];
    z_top = ctx.layers->z[t.layer];
    z_bottom = ctx.layers->z[t.layer + 1];
  }
  Real s = static_cast<Real>(data.controls.loss_fraction) * t.T / sd.stopping;
  s = std::fmin(s, static_cast<Real>(data.controls.deflection_fraction) / sd.inverse_lambda1);
  // Near a plane of the phantom (its entrance surface, a layer boundary, its bottom) a step
  // is no longer than the distance to it, and no shorter than a quarter of its length
  // elsewhere: the hinge's one deflection per step stands for many only where the step
  // cannot reach the plane.
  const Real to_plane = std::fmin(t.p.z - z_top, z_bottom - t.p.z) * rho;
  s = std::fmin(s, std::fmax(to_plane, static_cast<Real>(0.25) * s));
  const Real sigma_hard = sd.sigma_delta + sd.sigma_brems + sd.sigma_annihilation;
  StepEnd end = StepEnd::kGoesOn;
  if (sigma_hard > 0) {
    if (!(t.mfp_left > 0)) t.mfp_left = -std::log(FineUniform(ctx.random));
    const Real to_hard = t.mfp_left / sigma_hard;
    if (to_hard < s) {
      s = to_hard;
      end = StepEnd::kHard;
    }
    t.mfp_left = end == StepEnd::kHard ? Real(0) : t.mfp_left - s * sigma_hard;
  }
  const RangeEnd<Real> e =
      s < sd.range ? data.EnergyAtRange(sd.range - s, positron, t.row) : RangeEnd<Real>{0, 1, 0};
  t.row = e.row;
  const Real T = t.T;
  const Real T_end = e.energy;
  const Real loss = T - T_end;
  const ChargedKind kind = t.kind;
  Vec3<Real>& p = t.p;
  Direction<Real>& d = t.d;
  const Real tau = data.controls.random_hinge ? s * ctx.random.Uniform() : s;
  const Vec3<Real> start = p;
  const Vec3<Real> hinge = Advance(p, d, tau / rho);
  if (ctx.box.Outside(hinge)) {
    const Vec3<Real> q = SurfacePoint(ctx.box, p, d);
    const Real share = loss * std::fmin(Real(1), DistanceToSurface(ctx.box, p, d) * rho / s);
    Deposit(start, q, share, kind, component, observer);
    observer.OnEscape(EscapeKind::kCharged, q, T - share + CarriedRest<Real>(kind), component);
    return StepEnd::kLeft;
  }
  if ((hinge.z < z_top) | (hinge.z > z_bottom)) {
    CrossLayer(t, start, Real(0), start, z_top, z_bottom, rho, loss, s, component, observer);
    return StepEnd::kGoesOn;
  }
  // The path integral of 1 / lambda_1 over the step, by the trapezoid rule.
  const Real g = s * (sd.inverse_lambda1 + data.InverseLambda1At(e.row, e.fraction)) / 2;
  const Real c = DeflectionCosine(g, data.Lambda1OverLambda2At(i, f), ctx.random);
  d = RotateAtDrawnAzimuth(d, c, std::sqrt(1 - c * c), StepAzimuths<Real>(), ctx.random);
  const Vec3<Real> next = Advance(hinge, d, (s - tau) / rho);
  if (ctx.box.Outside(next)) {
    const Vec3<Real> q = SurfacePoint(ctx.box, hinge, d);
    const Real share =
        loss * std::fmin(Real(1), (tau + DistanceToSurface(ctx.box, hinge, d) * rho) / s);
    Deposit(start, q, share, kind, component, observer);
    observer.OnEscape(EscapeKind::kCharged, q, T - share + CarriedRest<Real>(kind), component);
    return StepEnd::kLeft;
  }
  if ((next.z < z_top) | (next.z > z_bottom)) {
    CrossLayer(t, start, tau, hinge, z_top, z_bottom, rho, loss, s, component, observer);
    return StepEnd::kGoesOn;
  }
  Deposit(start, next, loss, kind, component, observer);
  p = next;
  t.T = T_end;
  return end;
}

// The hard event that ended a step, chosen in proportion to the cross sections at the
// energy the step started with.
template <typename Real, typename Obs>
void HardEvent(const TransportContext<Real>& ctx, Track<Real>& t, int component, bool& annihilated,
               Obs& observer) {
  const bool positron = t.kind == ChargedKind::kPositron;
  const ElectronStepData<Real>& sd = t.at_start;
  const Vec3<Real>& p = t.p;
  Direction<Real>& d = t.d;
  Real& T = t.T;
  const Real r =
      FineUniform(ctx.random) * (sd.sigma_delta + sd.sigma_brems + sd.sigma_annihilation);
  const AccurateStepControls& controls = ctx.tables.electrons.controls;
  if (r < sd.sigma_delta) {
    DeltaRay(ctx, p, d, T, positron, component, controls.delta_rays, observer);
  } else if (r < sd.sigma_delta + sd.sigma_brems) {
    Bremsstrahlung(ctx, p, d, T, component, controls.photons_leave, observer);
  } else if (positron) {
    Annihilate(ctx, p, d, T, observer);
    annihilated = true;
  }
}

// The last step: the rest of the range, straight on, losing all of T (cut short at the
// surface). Returns whether the particle stayed in the phantom.
template <typename Real, typename Obs>
bool LayeredLastStep(const TransportContext<Real>& ctx, Vec3<Real>& p, const Direction<Real>& d,
                     Real T, ChargedKind kind, int layer, int component, Obs& observer);

template <typename Real, typename Obs>
bool LastStep(const TransportContext<Real>& ctx, Vec3<Real>& p, const Direction<Real>& d, Real T,
              ChargedKind kind, int layer, int component, Obs& observer) {
  // A positron annihilates where its last step starts, in layers as in water, so that a
  // phantom of water alone repeats the plain run exactly.
  if (ctx.layers != nullptr) {
    Vec3<Real> end = p;
    return LayeredLastStep(ctx, end, d, T, kind, layer, component, observer);
  }
  const Real s = ctx.tables.electrons.Range(T, kind == ChargedKind::kPositron);
  const Vec3<Real> end = Advance(p, d, s);
  if (!ctx.box.Outside(end)) {
    Deposit(p, end, T, kind, component, observer);
    return true;
  }
  const Vec3<Real> q = SurfacePoint(ctx.box, p, d);
  const Real share = T * std::fmin(Real(1), DistanceToSurface(ctx.box, p, d) / s);
  Deposit(p, q, share, kind, component, observer);
  observer.OnEscape(EscapeKind::kCharged, q, T - share + CarriedRest<Real>(kind), component);
  return false;
}

// The last step through the layers: the rest of the range [g/cm^2] spent straight on, layer
// by layer, each piece losing its share of T. p ends where the particle stops.
template <typename Real, typename Obs>
bool LayeredLastStep(const TransportContext<Real>& ctx, Vec3<Real>& p, const Direction<Real>& d,
                     Real T, ChargedKind kind, int layer, int component, Obs& observer) {
  const SlabLayers<Real>& layers = *ctx.layers;
  const bool positron = kind == ChargedKind::kPositron;
  // Entering a layer of another material the rest of the energy starts its own range there.
  const PhysicsTables<Real>* material = layers.tables[layer];
  Real range = TablesAt(ctx, layer).electrons.Range(T, positron);
  Real left = range;  // [g/cm^2]
  Real energy = T;
  Real energy_at_range = T;  // the energy whose range `range` is
  const Real uz = d.cosTheta;
  for (;;) {
    const Real rho = layers.density[layer];
    Real to_plane = static_cast<Real>(1e30);
    if (uz > 0) to_plane = (layers.z[layer + 1] - p.z) / uz;
    if (uz < 0) to_plane = (layers.z[layer] - p.z) / uz;
    to_plane = std::fmax(Real(0), to_plane);
    const bool stops = left <= to_plane * rho;
    const Real path = stops ? left / rho : to_plane;  // [cm]
    Vec3<Real> end = Advance(p, d, path);
    if (!stops) end.z = uz > 0 ? layers.z[layer + 1] : layers.z[layer];
    const Real piece = stops ? energy : std::fmin(energy, energy_at_range * path * rho / range);
    const bool leaves =
        ctx.box.Outside(end) ||
        (!stops && (layer + (uz > 0 ? 1 : -1) < 0 || layer + (uz > 0 ? 1 : -1) >= layers.count));
    if (leaves) {
      const Vec3<Real> q = SurfacePoint(ctx.box, p, d);
      const Real share =
          std::fmin(energy, energy_at_range *
                                std::fmin(left, DistanceToSurface(ctx.box, p, d) * rho) / range);
      Deposit(p, q, share, kind, component, observer);
      observer.OnEscape(EscapeKind::kCharged, q, energy - share + CarriedRest<Real>(kind),
                        component);
      return false;
    }
    Deposit(p, end, piece, kind, component, observer);
    p = end;
    energy -= piece;
    if (stops) return true;
    left -= path * rho;
    layer += uz > 0 ? 1 : -1;
    if (layers.tables[layer] != material) {
      material = layers.tables[layer];
      range = TablesAt(ctx, layer).electrons.Range(energy, positron);
      left = range;
      energy_at_range = energy;
    }
  }
}

template <typename Real, typename Obs>
void AccurateCharged(const TransportContext<Real>& ctx, Vec3<Real> p, Direction<Real> d, Real T,
                     ChargedKind kind, int component, Obs& observer) {
  const ElectronData<Real>& data = ctx.tables.electrons;
  const Real last = static_cast<Real>(data.controls.last_step_keV);
  Track<Real> t{p, d, T, kind, data.rows, 0, 0, {}};
  if (ctx.layers != nullptr) t.layer = ctx.layers->LayerAt(p.z);
  for (;;) {
    if (!(t.T > last)) {
      if (LastStep(ctx, t.p, t.d, t.T, kind, t.layer, component, observer) &&
          kind == ChargedKind::kPositron)
        Annihilate(ctx, t.p, t.d, Real(0), observer);
      return;
    }
    const StepEnd end = HingeStep(ctx, t, component, observer);
    if (end == StepEnd::kLeft) return;
    if (end == StepEnd::kHard) {
      bool annihilated = false;
      HardEvent(ctx, t, component, annihilated, observer);
      if (annihilated) return;
    }
  }
}

// Pair production: the positron's share of the total energy from PairShare; each particle
// leaves within about 1/gamma of the photon's direction.
template <typename Real, typename Obs>
void AccuratePair(const TransportContext<Real>& ctx, const Vec3<Real>& p, const Direction<Real>& d,
                  Real E, int component, Obs& observer) {
  const Real m = static_cast<Real>(kRestEnergyKeV);
  const Real e = PairShare(E, ctx.random);
  const Real t_positron = std::fmax(Real(0), e * E - m);
  const Real t_electron = std::fmax(Real(0), E - 2 * m - t_positron);
  observer.OnInteraction(InteractionKind::kPair, p, E - 2 * m, component);
  const Direction<Real> de = ForwardCone(d, t_electron / m + 1, ctx.random);
  const Direction<Real> dp = ForwardCone(d, t_positron / m + 1, ctx.random);
  AccurateCharged(ctx, p, de, t_electron, ChargedKind::kPairElectron, component, observer);
  AccurateCharged(ctx, p, dp, t_positron, ChargedKind::kPositron, component, observer);
}

// A Compton scattering at p: the electron is followed, then the photon's new energy and
// direction are returned through E and d (E below the cut-off: absorbed here, E set to 0).
template <typename Real, typename Obs>
void AccurateCompton(const TransportContext<Real>& ctx, const Vec3<Real>& p, Direction<Real>& d,
                     Real& E, int component, Obs& observer) {
  const Real pi = PhysicsTables<Real>::kPi;
  const ComptonAngle<Real> a = SampleComptonAngle(ctx.tables, ctx.random, E);
  const Real T = E - a.scattered_energy;
  const std::int32_t n_phi = ctx.random.Step();
  const Real phi = 2 * pi * (static_cast<Real>(n_phi) / RandomStream<Real>::kDivisor);
  const AzimuthTable<Real>& az = StepAzimuths<Real>();
  const Direction<Real> scattered =
      RotateAzimuth(d, a.cos_theta, a.sin_theta, az.cos_phi[n_phi], az.sin_phi[n_phi]);
  observer.OnInteraction(InteractionKind::kCompton, p, T, component);
  if (T < static_cast<Real>(kCutoffKeV)) {
    observer.OnLocalAbsorption(p, T, AbsorptionCause::kChargedBelowCutoff, component);
  } else {
    const Real theta_e =
        std::atan(1 / ((1 + E / static_cast<Real>(kRestEnergyKeV)) * std::tan(a.theta / 2)));
    AccurateCharged(ctx, p, Rotate(d, std::cos(theta_e), std::sin(theta_e), phi + pi), T,
                    ChargedKind::kComptonElectron, component, observer);
  }
  E = a.scattered_energy;
  d = scattered;
}

// Where a photon of energy E from p (in layer k) along d ends after the mass path `flight`
// [g/cm^2 of layer k's material] through the layers, attenuated in each by its density; a
// layer of another material takes the rest of the flight in its own mean free paths
// (flight times mu of the material left over mu of the one entered). Beyond the first or
// last layer, a point outside the box. k ends as the layer it lands in.
template <typename Real>
Vec3<Real> LayeredFlight(const TransportContext<Real>& ctx, Vec3<Real> p, const Direction<Real>& d,
                         Real E, Real flight, int& k) {
  const SlabLayers<Real>& layers = *ctx.layers;
  const Real uz = d.cosTheta;
  for (;;) {
    const Real rho = layers.density[k];
    Real to_plane = static_cast<Real>(1e30);
    if (uz > 0) to_plane = (layers.z[k + 1] - p.z) / uz;
    if (uz < 0) to_plane = (layers.z[k] - p.z) / uz;
    to_plane = std::fmax(Real(0), to_plane);
    if (flight <= to_plane * rho) return Advance(p, d, flight / rho);
    flight -= to_plane * rho;
    p = Advance(p, d, to_plane);
    const int from = k;
    k += uz > 0 ? 1 : -1;
    if (k < 0 || k >= layers.count) return Advance(p, d, Real(1));
    p.z = uz > 0 ? layers.z[k] : layers.z[k + 1];
    if (layers.tables[k] != layers.tables[from])
      flight *=
          TablesAt(ctx, from).PhotonCoefficients(E).mu / TablesAt(ctx, k).PhotonCoefficients(E).mu;
  }
}

// A photon of energy E [keV] flies from p until it is absorbed or escapes. `source`: the
// history's source photon, whose component turns from 1 to 2 at its first scattering.
template <typename Real, typename Obs>
void AccuratePhoton(const TransportContext<Real>& ctx, Vec3<Real> p, Direction<Real> d, Real E,
                    int component, bool source, Obs& observer) {
  auto scattered = [&] {
    if (source && component == 1) observer.OnScatteredComponent();
    component = 2;
  };
  for (;;) {
    if (E < static_cast<Real>(kCutoffKeV)) {
      observer.OnLocalAbsorption(p, E, AbsorptionCause::kPhotonBelowCutoff, component);
      return;
    }
    int layer = ctx.layers == nullptr ? 0 : ctx.layers->LayerAt(p.z);
    const PhysicsTables<Real>& here = TablesAt(ctx, layer);
    Attenuation<Real> att = here.PhotonCoefficients(E);
    const Real flight = -std::log(FineUniform(ctx.random)) / att.mu;  // [g/cm^2]
    const Vec3<Real> next =
        ctx.layers == nullptr ? Advance(p, d, flight) : LayeredFlight(ctx, p, d, E, flight, layer);
    if (ctx.box.Outside(next)) {
      observer.OnEscape(EscapeKind::kPhoton, next, E, component);
      return;
    }
    p = next;
    // The interaction is one of the material it happens in.
    if (&TablesAt(ctx, layer) != &here) att = TablesAt(ctx, layer).PhotonCoefficients(E);
    const Real r = FineUniform(ctx.random);
    if (r <= att.P1) {
      observer.OnInteraction(InteractionKind::kCoherent, p, Real(0), component);
      scattered();
      const Real c = SampleCoherentCosine(ctx.tables, ctx.random, E);
      d = RotateAtDrawnAzimuth(d, c, std::sqrt(1 - c * c), StepAzimuths<Real>(), ctx.random);
    } else if (r <= att.P2) {
      AccurateCompton(ctx, p, d, E, component, observer);
      scattered();
      if (E < static_cast<Real>(kCutoffKeV)) {
        observer.OnLocalAbsorption(p, E, AbsorptionCause::kScatteredPhotonBelowCutoff, component);
        return;
      }
    } else if (r <= att.P3) {
      observer.OnInteraction(InteractionKind::kPhotoelectric, p, E, component);
      observer.OnLocalAbsorption(p, E, AbsorptionCause::kPhotoelectric, component);
      return;
    } else {
      AccuratePair(ctx, p, d, E, component, observer);
      scattered();
      return;
    }
  }
}

}  // namespace accurate_detail

// One source history in the accurate transport: the photon of energy [keV] from start
// along direction, with dose component 1 until it first scatters; every photon made by
// bremsstrahlung or annihilation counts as component 2.
template <typename Real, TransportObserver<Real> Obs>
void TrackHistoryAccurate(const TransportContext<Real>& ctx, const Vec3<Real>& start,
                          const Direction<Real>& direction, Real energy, Obs& observer) {
  accurate_detail::AccuratePhoton(ctx, start, direction, energy, 1, true, observer);
}

}  // namespace dosavia
