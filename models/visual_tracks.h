// The visual run's events as plain data, for a front end that draws them later or elsewhere
// (the browser edition draws in its page what a worker simulated): each electron and
// positron step as a segment of the side view, each local absorption as a point, in world
// units [cm] (depth z along the beam, lateral x), and where the energy went.
#pragma once

#include <vector>

#include "physics/transport_events.h"

namespace dosavia {

class TrackSegmentCollector : public NullObserver<double> {
 public:
  // Side-view segments: z1, x1, z2, x2 per step [cm].
  const std::vector<float>& Segments() const { return segments_; }
  // Side-view points of local absorption: z, x per point [cm].
  const std::vector<float>& Absorptions() const { return absorptions_; }
  // Energy [keV] absorbed in the water (local absorptions and the losses of the steps that
  // stay inside) and carried out of it (escaping photons and charged particles, and the
  // losses of the steps that leave). Together they are the incident energy.
  double Deposited() const { return deposited_; }
  double Escaped() const { return escaped_; }

  // Forgets the drawn segments and points (the energy sums go on).
  void ClearDrawing() {
    segments_.clear();
    absorptions_.clear();
  }
  void ClearEnergy() { deposited_ = escaped_ = 0; }

  void OnLocalAbsorption(const Vec3<double>& p, double e, AbsorptionCause, int) {
    deposited_ += e;
    absorptions_.push_back(static_cast<float>(p.z));
    absorptions_.push_back(static_cast<float>(p.x));
  }
  void OnChargedStep(const ChargedStep<double>& step, int) {
    (step.left_phantom ? escaped_ : deposited_) += step.energy_lost;
    segments_.push_back(static_cast<float>(step.start.z));
    segments_.push_back(static_cast<float>(step.start.x));
    segments_.push_back(static_cast<float>(step.end.z));
    segments_.push_back(static_cast<float>(step.end.x));
  }
  void OnEscape(EscapeKind, const Vec3<double>&, double e, int) { escaped_ += e; }

 private:
  std::vector<float> segments_;
  std::vector<float> absorptions_;
  double deposited_ = 0;
  double escaped_ = 0;
};

static_assert(TransportObserver<TrackSegmentCollector, double>);

}  // namespace dosavia
