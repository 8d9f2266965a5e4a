// The run's histories in groups, so that a run measures its own noise. The engine runs the
// spectrum bin by bin in increasing energy, so a stretch of the run in time is not a sample
// of the beam: its first tenth is all low-energy photons. Instead, group g (0..G-1) takes
// the g-th of G consecutive stretches of every bin's histories. Every group then holds the
// same spectrum, the groups are independent samples of one beam, and the spread of their
// central-axis curves is the run's noise, measured rather than modelled (and the jackknife
// over them gives the uncertainty of anything computed from the curves, d_max included).
//
// Invariant: grouping only reads the tally between histories; the histories run in the same
// order with the same numbers, so the tally and the result file are unchanged.
//
// Cost: the tally is read G times per spectrum bin. Each reading takes the growth of the
// rings the fields use (70 of 125) and of the kerma since the last reading, some 42 000
// floats, into the group's own rings; the superposition into curves is done once per group
// at the end. A few tens of microseconds a reading: about 0.1 s for a 10 MV run of any size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/beam_geometry.h"
#include "engine/beam_spectrum.h"
#include "engine/dose_tally.h"

namespace dosavia {

inline constexpr int kHistoryGroups = 16;

// Rings that any field's superposition uses: those inside the half-diagonal of the largest
// field (RingCount(20) = 70).
inline constexpr int kGroupRings = 70;

// Group of the history with 0-based `index` among the `bin_histories` of its bin.
inline int HistoryGroup(std::int64_t index, std::int64_t bin_histories) {
  return static_cast<int>(index * kHistoryGroups / bin_histories);
}

// End (exclusive, 0-based within the bin) of group g's histories: the first index whose
// HistoryGroup is beyond g.
inline std::int64_t GroupEnd(int g, std::int64_t bin_histories) {
  return ((g + 1) * bin_histories + kHistoryGroups - 1) / kHistoryGroups;
}

// The stretch of a bin's histories that one group takes, and the weight of its growth.
// Each group is to be a whole run in small: the weight n / (G m) makes the stretch of m
// histories count as the G-th part of the bin's n, so that groups whose stretches differ
// by a history (n not a multiple of G) still hold the bin in the same measure.
// A bin of fewer than G histories cannot give every group a stretch: its histories go one
// by one to the groups in turn, counted over the whole run (the run's history r to group
// r mod G), each whole. Were such a bin copied into every group, its noise would be left
// out of the spread, and a short run, all of whose bins are small (10 MV at 1.00E+03
// photons), would measure no noise at all. The run goes through the spectrum in order of
// energy, so the turns give every group a like share of the small bins' energies.
struct GroupSegment {
  int group = 0;
  float weight = 1;
  bool operator==(const GroupSegment&) const = default;
};
// The segment of the history with 0-based `index` among the `bin_histories` of its bin,
// `run_index` being its index in the whole run.
inline GroupSegment SegmentOf(std::int64_t index, std::int64_t bin_histories,
                              std::int64_t run_index) {
  if (bin_histories < kHistoryGroups) return {static_cast<int>(run_index % kHistoryGroups), 1.0f};
  const int g = HistoryGroup(index, bin_histories);
  const std::int64_t m = GroupEnd(g, bin_histories) - (g == 0 ? 0 : GroupEnd(g - 1, bin_histories));
  return {g, static_cast<float>(static_cast<double>(bin_histories) /
                                (static_cast<double>(kHistoryGroups) * static_cast<double>(m)))};
}
// End (exclusive, 0-based within the bin) of the segment that holds history `index`.
inline std::int64_t SegmentEnd(const GroupSegment& segment, std::int64_t index,
                               std::int64_t bin_histories) {
  return bin_histories < kHistoryGroups ? index + 1 : GroupEnd(segment.group, bin_histories);
}

// What a group keeps of a tally: the rings 1..kGroupRings of every slab of both components,
// then the kerma of every bin [keV].
inline constexpr std::size_t kGroupRingValues = 2u * kSlabs * kGroupRings;
inline constexpr std::size_t kGroupValues = kGroupRingValues + kKermaBins;

// Copies what a group keeps of `tally` into `out` (kGroupValues floats).
void TakeGroupValues(const DoseTally& tally, float* out);

// The central-axis curves of one group's values, unnormalised [keV per bin], in double: the
// primary kerma, and the total and primary dose of each of the ten fields (the result
// file's superposition).
struct AxisCurves {
  static constexpr int kKerma = 0;
  static int Total(int field) { return field; }              // field 1..10
  static int Primary(int field) { return kFields + field; }  // field 1..10
  static constexpr int kCurves = 1 + 2 * kFields;
  static constexpr std::size_t kValues = static_cast<std::size_t>(kCurves) * kSlabs;
  // Value of `curve` at depth bin 1..300.
  static constexpr std::size_t Index(int curve, int bin) {
    return static_cast<std::size_t>(curve) * kSlabs + static_cast<std::size_t>(bin - 1);
  }
  std::array<double, kValues> values{};
};
void SuperposeGroupValues(const float* values, AxisCurves& out);

// The growth of each group's values over one block (or over the whole single stream), read
// from a tally that only grows: Close(segment, tally) adds the growth since the last Close,
// times the segment's weight, to the segment's group. A group's values are made when the
// group is first met, so that a block of a large run, which meets one or two groups, keeps
// one or two; after that nothing is allocated.
class GroupGrowth {
 public:
  GroupGrowth();
  // Back to nothing, for a block that starts on a cleared tally.
  void Clear();
  // `kerma`: the kerma bins 1..300 to take instead of the tally's (a copy made when the
  // segment ended, for a tally whose rings another thread fills later).
  void Close(const GroupSegment& segment, const DoseTally& tally, const float* kerma = nullptr);
  // Adds `other`'s groups into these.
  void Add(const GroupGrowth& other);
  // Group g's values, or null when the group was not met.
  const float* Group(int g) const { return touched_[g] ? groups_[g].data() : nullptr; }

  // The groups met, packed for a block's journey to the worker that adds it: the number of
  // groups, then each one's number and its kGroupValues floats. Unpack adds such a packing.
  std::vector<float> Packed() const;
  // False (and nothing added) for a packing that is not one.
  bool AddPacked(const float* packed, std::size_t size);

 private:
  float* Met(int g);

  std::array<std::vector<float>, kHistoryGroups> groups_;
  std::array<bool, kHistoryGroups> touched_{};
  std::vector<float> now_;
  std::vector<float> last_;
};

// The run's curves per group [keV], made at the end of a run from its GroupGrowth.
class GroupCurves {
 public:
  explicit GroupCurves(const GroupGrowth& growth);
  double at(int g, int curve, int bin) const {
    return curves_[g]->values[AxisCurves::Index(curve, bin)];
  }

 private:
  std::array<std::unique_ptr<AxisCurves>, kHistoryGroups> curves_;
};

// The single stream's frame over the spectrum, as RunSpectrumBins, with
// on_segment_end(segment) called after each segment of a bin's histories. The histories,
// their order and on_bin's calls are RunSpectrumBins'.
template <typename OnBin, typename RunHistory, typename OnGroupEnd>
std::int64_t RunSpectrumBinsInGroups(const BeamSpectrum& spectrum, float n, OnBin&& on_bin,
                                     RunHistory&& run_history, OnGroupEnd&& on_segment_end) {
  std::int64_t total = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    if (spectrum.weight[i] == 0.0f) continue;
    on_bin(i);
    const std::int64_t histories = HistoriesInBin(spectrum.weight[i], n);
    const float energy = BinEnergy(i);
    for (std::int64_t h = 0; h < histories;) {
      const GroupSegment segment = SegmentOf(h, histories, total + h);
      for (const std::int64_t end = SegmentEnd(segment, h, histories); h < end; ++h)
        run_history(energy);
      on_segment_end(segment);
    }
    total += histories;
  }
  return total;
}

}  // namespace dosavia
