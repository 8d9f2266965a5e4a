// Condensed-history transport of electrons and positrons in straight steps.
#pragma once

#include <cmath>

#include "physics/direction.h"
#include "physics/stopping_power.h"
#include "physics/transport_context.h"
#include "physics/transport_events.h"

namespace dosavia {

// Length and energy loss of the next step of a charged particle.
template <typename Real>
struct StepSize {
  Real length = 0;       // [cm]
  Real energy_lost = 0;  // [keV]
  bool last = false;     // the particle stops at the end of this step
};

// The step that a particle of kinetic energy T [keV] takes next: above 305 keV it loses the
// fixed fraction StepLossFraction of T over the path that the collision stopping power
// gives; at or below 305 keV it spends all of T over its residual range 0.407 (T/MeV)^1.38.
template <typename Real>
inline StepSize<Real> ChargedStepSize(const PhysicsTables<Real>& tables, Real T) {
  StepSize<Real> step;
  if (!(T > static_cast<Real>(kLastStepKeV))) {
    step.last = true;
    step.energy_lost = T;
    step.length = static_cast<Real>(kRangeCoefficientCm) *
                  std::pow(static_cast<Real>(0.001) * T, static_cast<Real>(kRangeExponent));
  } else {
    step.energy_lost = tables.StepLossFraction * T;
    step.length = step.energy_lost / StoppingPower(T);
  }
  return step;
}

// Transports an electron or positron of kinetic energy T [keV] (at least 5 keV) from start
// in the given direction until its last step ends or it escapes, and returns the end point
// of its last step (outside the phantom after an escape). Each step goes to the observer;
// between steps the direction is turned by the per-step deflection table sampled at the
// energy the step started with (two numbers per deflection, none where the table gives
// no deflection). The escape test is made only for a step that changed all three
// coordinates; it ends the track and hands the rest of the energy to OnEscape.
// kSwitched: the instantiation that honours ctx.physics.multiple_scattering; the default
// one never reads it.
template <bool kSwitched = false, typename Real, TransportObserver<Real> Obs>
Vec3<Real> TransportCharged(const TransportContext<Real>& ctx, const Vec3<Real>& start,
                            const Direction<Real>& direction, Real T, ChargedKind kind,
                            int dose_component, Obs& observer) {
  const PhysicsTables<Real>& tables = ctx.tables;
  const AzimuthTable<Real>& azimuths = StepAzimuths<Real>();
  ChargedStep<Real> step;
  step.kind = kind;
  step.start = start;
  Direction<Real> d = direction;
  int deflection_search_from = 4;
  for (;;) {
    const StepSize<Real> size = ChargedStepSize(tables, T);
    step.end = Advance(step.start, d, size.length);
    step.energy_lost = size.energy_lost;
    const bool moved_in_all =
        (step.end.x != step.start.x) & (step.end.y != step.start.y) & (step.end.z != step.start.z);
    step.left_phantom = moved_in_all && ctx.box.Outside(step.end);
    observer.OnChargedStep(step, dose_component);
    if (step.left_phantom) {
      observer.OnEscape(EscapeKind::kCharged, step.end, T - size.energy_lost, dose_component);
      return step.end;
    }
    if (size.last) return step.end;

    if (kSwitched && !ctx.physics.multiple_scattering) {
      // The direction stays as it started; no numbers are drawn for deflections.
      T -= size.energy_lost;
      step.start = step.end;
      continue;
    }
    const int row = tables.DeflectionRow(T, deflection_search_from);
    if (row != 0) {
      deflection_search_from = row + 1;
      const Real r1 = ctx.random.Uniform();
      const Real c = tables.DeflectionCosineAtRow(row, T, r1);
      d = RotateAtDrawnAzimuth(d, c, std::sqrt(1 - c * c), azimuths, ctx.random);
    } else {
      // No deflection: still the rotation by the angle 0 at the azimuth 0 (cos 1, sin 0),
      // which recomputes the sine from the cosine as every deflection does.
      d = RotateAzimuth(d, Real(1), Real(0), Real(1), Real(0));
    }
    T -= size.energy_lost;
    step.start = step.end;
  }
}

}  // namespace dosavia
