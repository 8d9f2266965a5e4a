// The visual run's events as plain data, for a front end that draws them later or elsewhere
// (the browser edition draws in its page what a worker simulated): each electron and
// positron step as a segment of the side view, each local absorption as a point, in world
// units [cm] (depth z along the beam, lateral x), and where the energy went.
#pragma once

#include <optional>
#include <vector>

#include "physics/transport_events.h"

namespace dosavia {

// The flight of a bremsstrahlung photon of the accurate transport, as the visual run draws
// it: from where it is made to the photon's next event (an interaction or its escape; an
// absorption below the cut-off at its start ends it without a flight). One rule for every
// drawing of the tracks.
class BremsstrahlungFlight {
 public:
  void Start(const Vec3<double>& p) { from_ = p; }
  // The photon's next event: where its flight began, once; nullopt when none is open.
  std::optional<Vec3<double>> End() {
    const std::optional<Vec3<double>> from = from_;
    from_.reset();
    return from;
  }

 private:
  std::optional<Vec3<double>> from_;
};

class TrackSegmentCollector : public NullObserver<double> {
 public:
  // Side-view segments: z1, x1, z2, x2 per step [cm].
  const std::vector<float>& Segments() const { return segments_; }
  // Side-view points of local absorption: z, x per point [cm].
  const std::vector<float>& Absorptions() const { return absorptions_; }
  // The accurate transport's own tracks, drawn apart: the steps of delta rays, and each
  // bremsstrahlung photon's flight from where it is made to its first interaction or to
  // where it leaves: z1, x1, z2, x2 per segment [cm]. Empty in the exact transport.
  const std::vector<float>& DeltaRaySegments() const { return delta_segments_; }
  const std::vector<float>& BremsstrahlungSegments() const { return bremsstrahlung_segments_; }
  // Energy [keV] absorbed in the water (local absorptions and the losses of the steps that
  // stay inside) and carried out of it (escaping photons and charged particles, and the
  // losses of the steps that leave). Together they are the incident energy.
  double Deposited() const { return deposited_; }
  double Escaped() const { return escaped_; }

  // Forgets the drawn segments and points (the energy sums go on).
  void ClearDrawing() {
    segments_.clear();
    absorptions_.clear();
    delta_segments_.clear();
    bremsstrahlung_segments_.clear();
  }
  void ClearEnergy() { deposited_ = escaped_ = 0; }

  void OnLocalAbsorption(const Vec3<double>& p, double e, AbsorptionCause, int) {
    flight_.End();
    deposited_ += e;
    absorptions_.push_back(static_cast<float>(p.z));
    absorptions_.push_back(static_cast<float>(p.x));
  }
  void OnChargedStep(const ChargedStep<double>& step, int) {
    (step.left_phantom ? escaped_ : deposited_) += step.energy_lost;
    Add(step.kind == ChargedKind::kDeltaRay ? delta_segments_ : segments_, step.start, step.end);
  }
  void OnInteraction(InteractionKind, const Vec3<double>& p, double, int) { EndPhotonFlight(p); }
  void OnEscape(EscapeKind, const Vec3<double>& p, double e, int) {
    EndPhotonFlight(p);
    escaped_ += e;
  }
  void OnBremsstrahlungPhoton(const Vec3<double>& p, const Direction<double>&, double) {
    flight_.Start(p);
  }

 private:
  static void Add(std::vector<float>& to, const Vec3<double>& a, const Vec3<double>& b) {
    to.insert(to.end(), {static_cast<float>(a.z), static_cast<float>(a.x), static_cast<float>(b.z),
                         static_cast<float>(b.x)});
  }
  void EndPhotonFlight(const Vec3<double>& p) {
    if (const auto from = flight_.End()) Add(bremsstrahlung_segments_, *from, p);
  }

  std::vector<float> delta_segments_;
  std::vector<float> bremsstrahlung_segments_;
  BremsstrahlungFlight flight_;
  std::vector<float> segments_;
  std::vector<float> absorptions_;
  double deposited_ = 0;
  double escaped_ = 0;
};

static_assert(TransportObserver<TrackSegmentCollector, double>);

}  // namespace dosavia
