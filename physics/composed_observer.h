// Two observers of one history joined at compile time: every event goes to the first, then
// to the second, through inline calls, so a scoring observer can ride along with a drawing
// one without a virtual call per step.
#pragma once

#include "physics/transport_events.h"

namespace dosavia {

template <typename A, typename B>
class ComposedObserver {
 public:
  ComposedObserver(A& first, B& second) : first_(first), second_(second) {}

  template <typename Real>
  void OnLocalAbsorption(const Vec3<Real>& p, Real e, AbsorptionCause cause, int component) {
    first_.OnLocalAbsorption(p, e, cause, component);
    second_.OnLocalAbsorption(p, e, cause, component);
  }
  template <typename Real>
  void OnInteraction(InteractionKind kind, const Vec3<Real>& p, Real e, int component) {
    first_.OnInteraction(kind, p, e, component);
    second_.OnInteraction(kind, p, e, component);
  }
  template <typename Real>
  void OnChargedStep(const ChargedStep<Real>& step, int component) {
    first_.OnChargedStep(step, component);
    second_.OnChargedStep(step, component);
  }
  template <typename Real>
  void OnEscape(EscapeKind kind, const Vec3<Real>& p, Real e, int component) {
    first_.OnEscape(kind, p, e, component);
    second_.OnEscape(kind, p, e, component);
  }
  void OnScatteredComponent() {
    first_.OnScatteredComponent();
    second_.OnScatteredComponent();
  }
  template <typename Real>
  void OnAnnihilationPhoton(const Vec3<Real>& p, const Direction<Real>& d, int which) {
    first_.OnAnnihilationPhoton(p, d, which);
    second_.OnAnnihilationPhoton(p, d, which);
  }
  template <typename Real>
  void OnBremsstrahlungPhoton(const Vec3<Real>& p, const Direction<Real>& d, Real e) {
    ReportBremsstrahlungPhoton(first_, p, d, e);
    ReportBremsstrahlungPhoton(second_, p, d, e);
  }

 private:
  A& first_;
  B& second_;
};

}  // namespace dosavia
