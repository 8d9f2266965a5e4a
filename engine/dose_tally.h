// The engine's tallies of one run: the ring dose tally on the cylindrical grid around the
// pencil beam (primary and scatter), and the primary kerma per millimetre of depth.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <span>

#include "engine/beam_geometry.h"
#include "physics/slab_layers.h"
#include "physics/transport_events.h"

namespace dosavia {

// Fixed-size tables, zero at construction and never cleared; indices are 1-based like the
// result file's records. Nothing here allocates or does I/O, so the transport can score
// into it at every event of every history.
class DoseTally {
 public:
  // depth_bin_widths: the 300 slab thicknesses [cm], 1-based (element 0 unused). The slab
  // bottoms are their running float sums, computed once.
  explicit DoseTally(std::span<const float, kSlabs + 1> depth_bin_widths);

  // Adds e [keV] to kerma bin trunc(10 z) + 1 when that bin is within 1..300; z [cm].
  void ScoreKerma(float z, float e) {
    const float t = kKermaBinsPerCm * z;
    if (t > -1.0f && t < static_cast<float>(kKermaBins)) kerma_[static_cast<int>(t) + 1] += e;
  }

  // Energy e [keV] deposited at point p [cm]: into the ring and slab that hold p, unless p
  // lies 25 cm or more from the axis or outside the depth range.
  void ScoreLocal(const Vec3<float>& p, float e, int component) {
    const float r = RadialDistance(p);
    if (!(r <= kScoredRadiusCm) || p.z < 0.0f || p.z > kPhantomDepthCm) return;
    const int j = RingOf(r);
    const int k = SlabOf(p.z);
    if (j > kRings || k > kSlabs) return;
    ring_[component - 1][k][j] += e;
  }

  // Spreads the energy loss dT [keV] of one electron or positron step from s0 to s1 [cm]
  // over the slabs and rings that the straight (r, z) chord between its ends crosses.
  // Steps with an unchanged coordinate, equal end radii or both ends 25 cm or more from the
  // axis score nothing. The caller drops steps whose end left the phantom.
  void ScoreStep(const Vec3<float>& s0, const Vec3<float>& s1, float dT, int component);

  // Distance of p from the beam axis [cm], in the engine's float arithmetic.
  static float RadialDistance(const Vec3<float>& p) {
    const float dy = kAxisCm - p.y;
    const float dx = kAxisCm - p.x;
    return std::sqrt(dy * dy + dx * dx);
  }

  // Ring trunc(5 r) + 1 of radius r [cm]; 0 for r at or below -0.2 (never scored), capped
  // at 1001 so that a walk over rings stays short for any radius.
  static int RingOf(float r) {
    const float t = kRingsPerCm * r;
    if (!(t < 1000.0f)) return t != t ? 0 : 1001;
    if (t <= -1.0f) return 0;
    return static_cast<int>(t) + 1;
  }

  // The slab that a walk from the surface finds for depth z [cm]: the first k whose bottom
  // is not below z, so z = 0 (and any depth above the surface) is slab 1 and a slab holds
  // its own bottom. 301 for depths below the last bottom.
  int SlabOf(float z) const {
    if (!(z > bottom_[1])) return 1;
    if (z > bottom_[kSlabs]) return kSlabs + 1;
    // The bottoms lie within a small fraction of a slab of 0.1 k, so this guess is at most
    // one slab off; the walks settle it exactly.
    int k = static_cast<int>(z * kKermaBinsPerCm) + 1;
    if (k > kSlabs) k = kSlabs;
    while (k > 1 && !(bottom_[k - 1] < z)) --k;
    while (bottom_[k] < z) ++k;
    return k;
  }

  // Bottom of slab k (1..300) [cm], the running sum of the thicknesses 1..k.
  float SlabBottom(int k) const { return bottom_[k]; }

  // Ring dose of component (1, 2), ring j (1..125), slab k (1..300) [keV].
  float RingDose(int component, int j, int k) const { return ring_[component - 1][k][j]; }

  // The rings 0..125 of slab k (1..300) of component (1, 2) side by side [keV]; element 0
  // is never scored.
  const float* RingRow(int component, int k) const { return ring_[component - 1][k].data(); }

  // Primary kerma of depth bin (1..300) [keV].
  float Kerma(int bin) const { return kerma_[bin]; }

  // Back to zero, as at construction; the slab bottoms stay.
  void Clear();

  // Adds every cell of `other` into this tally, cell by cell; adding the same tallies in
  // the same order always gives the same floats.
  void Add(const DoseTally& other);

  // Every scored cell as one run of floats (the ring doses of both components, then the
  // kerma), so that a block's tally can go from the worker that ran it to the one that adds
  // it into the total; setting the cells a copy gave makes the same tally.
  static constexpr std::size_t kCellCount =
      static_cast<std::size_t>(kComponents) * (kSlabs + 1) * (kRings + 1) + (kKermaBins + 1);
  void CopyCellsTo(std::span<float, kCellCount> out) const;
  void SetCellsFrom(std::span<const float, kCellCount> in);

  // False when any cell is infinite or NaN, which would make the whole result file
  // meaningless after the normalisation.
  bool AllFinite() const;

 private:
  std::array<float, kSlabs + 1> bottom_{};
  // [component - 1][slab][ring], so that the rings of one slab lie side by side.
  std::array<std::array<std::array<float, kRings + 1>, kSlabs + 1>, kComponents> ring_{};
  std::array<float, kKermaBins + 1> kerma_{};
  // The end of the last step scored, with its radius and slab; NaN matches no point.
  static constexpr Vec3<float> kNoStepEnd{std::numeric_limits<float>::quiet_NaN(),
                                          std::numeric_limits<float>::quiet_NaN(),
                                          std::numeric_limits<float>::quiet_NaN()};
  Vec3<float> last_end_ = kNoStepEnd;
  float last_end_radius_ = 0;
  int last_end_slab_ = 1;
};

// A ring score waiting to be applied: a step (component 1 or 2) or a local score
// (component -1 or -2, at start); component 0 marks the end of a history group for the
// scoring thread (never applied to the tally).
struct PendingScore {
  Vec3<float> start;
  Vec3<float> end;
  float energy;  // [keV]
  int component;
};

// Applies the ring scores in their order.
inline void ApplyScores(DoseTally& tally, const PendingScore* scores, int count) {
  for (int i = 0; i < count; ++i) {
    const PendingScore& s = scores[i];
    if (s.component < 0) {
      tally.ScoreLocal(s.start, s.energy, -s.component);
    } else {
      tally.ScoreStep(s.start, s.end, s.energy, s.component);
    }
  }
}

class ScoringThread;
class GroupGrowth;
struct GroupSegment;

// Maps the transport's events onto the tallies: kerma at the interactions of the unscattered
// photon, the local scores, and the chord distribution of the steps that stay in the box.
//
// The ring scores are queued in the order of their events and applied by Flush(), which the
// beam calls at the end of every history (and the queue itself when it is full). Applying a
// run of independent steps back to back lets the processor overlap their long division
// chains; the additions into every cell happen in the same order as when scored at once,
// so the tallies are identical to the last bit. With a ScoringThread the full queues go to
// that thread instead, which applies them in the same order while the transport goes on.
class DoseTallyObserver : public NullObserver<float> {
 public:
  explicit DoseTallyObserver(DoseTally& tally) : tally_(tally), queue_(own_.data()) {}
  DoseTallyObserver(DoseTally& tally, ScoringThread& scorer);
  DoseTallyObserver(const DoseTallyObserver&) = delete;
  DoseTallyObserver& operator=(const DoseTallyObserver&) = delete;
  ~DoseTallyObserver() { Drain(); }

  void OnLocalAbsorption(const Vec3<float>& p, float e, AbsorptionCause, int component) {
    Queue({p, p, PerDensity(e, p.z), -component});
  }
  // Kerma is the energy handed to charged particles by primary photons; a coherent
  // scatter hands over none.
  void OnInteraction(InteractionKind kind, const Vec3<float>& p, float e, int component) {
    if (component == kPrimary && kind != InteractionKind::kCoherent)
      tally_.ScoreKerma(p.z, PerDensity(e, p.z));
  }
  void OnChargedStep(const ChargedStep<float>& step, int component) {
    if (!step.left_phantom)
      Queue({step.start, step.end, PerDensity(step.energy_lost, (step.start.z + step.end.z) / 2),
             component});
  }

  // In a slab phantom every score is divided by the density where it falls, so that the
  // tally's normalisation by volume gives energy per mass in each layer's own material (a
  // charged step never crosses a layer boundary, so its middle tells its layer).
  void SetLayers(const SlabLayers<float>* layers) { layers_ = layers; }

  // End of a history: applies the queued ring scores in event order (with a scoring
  // thread they wait for a full queue).
  void Flush() {
    if (scorer_ == nullptr) Apply();
  }

  // Everything queued goes to the tally, or to the scoring thread, now.
  void Drain();

  // Everything queued is in the tally when this returns (the scoring thread has applied
  // it), and scoring goes on: for reading the tally between histories.
  void Sync();

  // The end of a history group's segment: its growth is taken into `growth` once every
  // score before it is in the tally, at once on this thread, or by the scoring thread when
  // it reaches this point of the scores (ScoringThread::KeepGroups names the same growth).
  void EndSegment(const GroupSegment& segment, GroupGrowth& growth);

 private:
  static constexpr int kQueueLength = 256;

  void Apply() {
    ApplyScores(tally_, queue_, queued_);
    queued_ = 0;
  }
  void HandOver();  // the full queue to the scoring thread, an empty one back
  void Queue(const PendingScore& s) {
    queue_[queued_++] = s;
    if (queued_ == capacity_) scorer_ ? HandOver() : Apply();
  }

  float PerDensity(float e, float z) const {
    if (layers_ == nullptr) return e;
    return e / layers_->mass_density[layers_->LayerAt(z)];
  }

  DoseTally& tally_;
  ScoringThread* scorer_ = nullptr;
  const SlabLayers<float>* layers_ = nullptr;
  std::array<PendingScore, kQueueLength> own_{};
  PendingScore* queue_;
  int capacity_ = kQueueLength;
  int queued_ = 0;
};

static_assert(TransportObserver<DoseTallyObserver, float>);

}  // namespace dosavia
