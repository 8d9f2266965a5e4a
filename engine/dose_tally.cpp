#include "engine/dose_tally.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace dosavia {

DoseTally::DoseTally(std::span<const float, kSlabs + 1> depth_bin_widths) {
  // The same running float sums as a walk from the surface: the 50th bottom is 4.9999976.
  float b = 0.0f;
  for (int k = 1; k <= kSlabs; ++k) {
    b += depth_bin_widths[k];
    bottom_[k] = b;
  }
}

void DoseTally::Clear() {
  ring_ = {};
  kerma_ = {};
  last_end_ = kNoStepEnd;
}

void DoseTally::Add(const DoseTally& other) {
  for (int c = 0; c < kComponents; ++c)
    for (int k = 1; k <= kSlabs; ++k)
      for (int j = 1; j <= kRings; ++j) ring_[c][k][j] += other.ring_[c][k][j];
  for (int b = 1; b <= kKermaBins; ++b) kerma_[b] += other.kerma_[b];
}

void DoseTally::CopyCellsTo(std::span<float, kCellCount> out) const {
  float* to = out.data();
  for (const auto& component : ring_)
    for (const auto& row : component) to = std::copy(row.begin(), row.end(), to);
  std::copy(kerma_.begin(), kerma_.end(), to);
}

void DoseTally::SetCellsFrom(std::span<const float, kCellCount> in) {
  const float* from = in.data();
  for (auto& component : ring_)
    for (auto& row : component) {
      std::copy(from, from + row.size(), row.begin());
      from += row.size();
    }
  std::copy(from, from + kerma_.size(), kerma_.begin());
  last_end_ = kNoStepEnd;
}

bool DoseTally::AllFinite() const {
  for (const auto& component : ring_)
    for (const auto& row : component)
      for (const float v : row)
        if (!std::isfinite(v)) return false;
  return std::all_of(kerma_.begin(), kerma_.end(), [](float v) { return std::isfinite(v); });
}

void DoseTally::ScoreStep(const Vec3<float>& s0, const Vec3<float>& s1, float dT, int component) {
  if ((s1.x == s0.x) | (s1.y == s0.y) | (s1.z == s0.z)) return;
  // A track's next step starts where this one ends: its radius and slab are known then.
  const bool continues = s0.x == last_end_.x && s0.y == last_end_.y && s0.z == last_end_.z;
  float r0 = continues ? last_end_radius_ : RadialDistance(s0);
  float r1 = RadialDistance(s1);
  int k0 = continues ? last_end_slab_ : SlabOf(s0.z);
  int k1 = SlabOf(s1.z);
  last_end_ = s1;
  last_end_radius_ = r1;
  last_end_slab_ = k1;
  if (r1 == r0) return;
  if (r0 >= kScoredRadiusCm && r1 >= kScoredRadiusCm) return;

  // Work on copies ordered by depth; the particle itself goes on from its real end.
  float z0 = s0.z;
  float z1 = s1.z;
  if (z1 < z0) {
    std::swap(z0, z1);
    std::swap(r0, r1);
    std::swap(k0, k1);
  }
  const bool outward = r1 > r0;
  // Slabs below the table are never scored, and the walk stops at its end.
  const int k_last = std::min(k1, kSlabs);

  // The chord z = m r + c through both ends in the (r, z) half-plane.
  const float m = (z0 - z1) / (r0 - r1);
  const float c = z0 - m * r0;

  auto& rings = ring_[component - 1];
  float p = z0;
  float r_prev = r0;
  int j_prev = RingOf(r0);
  for (int k = k0; k <= k_last; ++k) {
    // This slab's share of the loss, in proportion to the depth the step spends in it.
    const float upper = (k == k1) ? z1 : bottom_[k];
    const float share = (upper - p) * dT / (z1 - z0);
    p = upper;

    // Radius of the chord at the slab's bottom, not beyond the step's end.
    float r_b = (bottom_[k] - c) / m;
    r_b = outward ? std::min(r_b, r1) : std::max(r_b, r1);
    const int j_b = RingOf(r_b);

    // Spread the share over the rings between r_prev and r_b by radial length.
    if (r_prev != r_b) {
      auto& row = rings[k];
      const float span = r_b - r_prev;
      float r_start = r_prev;
      if (outward) {
        for (int j = j_prev; j <= j_b; ++j) {
          const float r_end = (j == j_b) ? r_b : kRingWidthCm * static_cast<float>(j);
          if (j >= 1 && j <= kRings) row[j] += (r_end - r_start) * share / span;
          r_start = r_end;
        }
      } else {
        for (int j = j_prev; j >= j_b; --j) {
          const float r_end = (j == j_b) ? r_b : kRingWidthCm * static_cast<float>(j - 1);
          if (j >= 1 && j <= kRings) row[j] += (r_end - r_start) * share / span;
          r_start = r_end;
        }
      }
    }
    r_prev = r_b;
    j_prev = j_b;
  }
}

}  // namespace dosavia
