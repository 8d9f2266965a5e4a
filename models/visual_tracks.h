// The visual run's events as plain data, for a front end that draws them later or elsewhere
// (the browser edition draws in its page what a worker simulated): each electron and
// positron step as a segment of the side view, each local absorption as a point, in world
// units [cm] (depth z along the beam, lateral x), and where the energy went.
#pragma once

#include <cmath>
#include <limits>
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

// How the side view stays readable through a long run: each photon's tracks fade toward the
// water's ground as newer photons come, to half their strength after kHalfLifePhotons more,
// so that at 1e5 photons the class sees the pattern of the last few hundred tracks (where
// electrons go, how far they reach) instead of a solid red field. The picture is washed in
// steps at least kMinimumWash strong, as 8-bit colour rounds a weaker wash to nothing and
// would leave ghosts that never fade. When photons are drawn one at a time, the newest
// photon's tracks stand out in their own colour until the next photon starts. A quarter at a
// time, the wash comes every 167 photons: seldom enough to cost the run little. A class that
// wants to see the whole field's pattern build up switches the fade off: nothing is washed
// then, and every photon of a drawing is drawn.
class TrackFade {
 public:
  static constexpr double kHalfLifePhotons = 400;
  static constexpr double kMinimumWash = 0.25;
  // Photons of one drawing worth drawing at all: older ones would be washed to an eighth of
  // their strength by the time the newest of them is drawn.
  static constexpr long long kDrawnPhotons = 3 * static_cast<long long>(kHalfLifePhotons);

  // `photons` more photons go on the picture: the share [0, 1] by which to wash what is
  // drawn toward the ground before they are drawn (0: not yet, the fade keeps counting).
  double Add(long long photons) {
    if (!fading_) return 0;
    if (photons > 0) pending_ += photons;
    const double wash = 1 - std::exp2(-static_cast<double>(pending_) / kHalfLifePhotons);
    if (wash < kMinimumWash) return 0;
    pending_ = 0;
    return wash;
  }
  // The picture was cleared: nothing to fade.
  void Reset() { pending_ = 0; }
  // Switching the fade on or off starts counting afresh: what was drawn before stays as it is.
  void SetFading(bool fading) {
    fading_ = fading;
    pending_ = 0;
  }
  bool Fading() const { return fading_; }
  // Photons of one drawing worth drawing: the newest kDrawnPhotons while the fade is on,
  // all of them without it.
  long long DrawnPhotons() const {
    return fading_ ? kDrawnPhotons : std::numeric_limits<long long>::max();
  }
  // The newest photon stands out only where photons are drawn one by one (step display): in
  // a drawing of hundreds at once, a highlight would only flicker.
  static bool HighlightsNewest(long long photons_per_drawing) { return photons_per_drawing == 1; }

 private:
  long long pending_ = 0;
  bool fading_ = true;
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
