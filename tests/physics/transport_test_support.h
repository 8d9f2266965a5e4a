// Observers and generator tools for the transport tests.
#pragma once

#include <cmath>
#include <vector>

#include "physics/random_stream.h"
#include "physics/transport_events.h"

namespace dosavia::testing {

enum class EventType { kAbsorption, kInteraction, kStep, kEscape, kScattered, kAnnihilation };

// One reported event; the fields that do not apply to its type keep their defaults.
template <typename Real>
struct Event {
  EventType type;
  Vec3<Real> p{};
  Real energy = 0;
  int component = 0;
  AbsorptionCause cause{};
  InteractionKind interaction{};
  EscapeKind escape{};
  ChargedStep<Real> step{};
  Direction<Real> direction{};
  int which = 0;
};

// Records every event in order.
template <typename Real>
struct EventLog {
  std::vector<Event<Real>> events;

  void OnLocalAbsorption(const Vec3<Real>& p, Real e, AbsorptionCause cause, int component) {
    Event<Real> ev{EventType::kAbsorption};
    ev.p = p, ev.energy = e, ev.cause = cause, ev.component = component;
    events.push_back(ev);
  }
  void OnInteraction(InteractionKind kind, const Vec3<Real>& p, Real e, int component) {
    Event<Real> ev{EventType::kInteraction};
    ev.interaction = kind, ev.p = p, ev.energy = e, ev.component = component;
    events.push_back(ev);
  }
  void OnChargedStep(const ChargedStep<Real>& step, int component) {
    Event<Real> ev{EventType::kStep};
    ev.step = step, ev.energy = step.energy_lost, ev.component = component;
    events.push_back(ev);
  }
  void OnEscape(EscapeKind kind, const Vec3<Real>& p, Real e, int component) {
    Event<Real> ev{EventType::kEscape};
    ev.escape = kind, ev.p = p, ev.energy = e, ev.component = component;
    events.push_back(ev);
  }
  void OnScatteredComponent() { events.push_back(Event<Real>{EventType::kScattered}); }
  void OnAnnihilationPhoton(const Vec3<Real>& p, const Direction<Real>& d, int which) {
    Event<Real> ev{EventType::kAnnihilation};
    ev.p = p, ev.direction = d, ev.which = which;
    events.push_back(ev);
  }

  int Count(EventType type) const {
    int n = 0;
    for (const auto& e : events) n += e.type == type;
    return n;
  }
};

// Sums where the energy of a history went, in double.
template <typename Real>
struct EnergyLedger : NullObserver<Real> {
  double absorbed = 0;        // local absorptions
  double stepped = 0;         // all charged-particle step losses, inside or leaving
  double stepped_inside = 0;  // step losses of steps that stayed in the phantom
  double escaped = 0;         // photons and charged particles leaving
  int steps = 0;

  void OnLocalAbsorption(const Vec3<Real>&, Real e, AbsorptionCause, int) { absorbed += e; }
  void OnChargedStep(const ChargedStep<Real>& step, int) {
    stepped += step.energy_lost;
    if (!step.left_phantom) stepped_inside += step.energy_lost;
    ++steps;
  }
  void OnEscape(EscapeKind, const Vec3<Real>&, Real e, int) { escaped += e; }

  double Total() const { return absorbed + stepped + escaped; }
  double Deposited() const { return absorbed + stepped_inside; }
};

// The integer step value that Uniform() turns into (about) u.
inline int UniformStepValue(double u) {
  const long v = std::lround(u * 16384.1);
  return static_cast<int>(v > 16383 ? 16383 : v);
}

// Sets the generator so that its next draws return the given numbers (at most 24; each is
// rounded to the nearest value the generator can return). The lag-24 entries that the
// next steps read are set to 0 and the lag-55 entries they write hold the wanted values.
template <typename Real>
void ScriptUniforms(RandomStream<Real>& random, const std::vector<double>& uniforms) {
  random.J = 24;
  random.K = 55;
  int i = 0;
  for (double u : uniforms) {
    random.A[24 - i] = 0;
    random.A[55 - i] = UniformStepValue(u);
    ++i;
  }
}

// How many steps lead from the state `before` to the state `after` (-1 if none up to
// `limit`): the generator's own state counts the draws, with no hook in the transport.
template <typename Real>
int DrawsBetween(const RandomStream<Real>& before, const RandomStream<Real>& after,
                 int limit = 100000) {
  RandomStream<Real> probe = before;
  for (int n = 0; n <= limit; ++n) {
    if (probe.A == after.A && probe.J == after.J && probe.K == after.K) return n;
    probe.Step();
  }
  return -1;
}

}  // namespace dosavia::testing
