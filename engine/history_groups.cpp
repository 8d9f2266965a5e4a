#include "engine/history_groups.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/field_superposition.h"

namespace dosavia {

void TakeGroupValues(const DoseTally& tally, float* out) {
  for (int c = 1; c <= kComponents; ++c)
    for (int k = 1; k <= kSlabs; ++k) {
      std::memcpy(out, tally.RingRow(c, k) + 1, kGroupRings * sizeof(float));
      out += kGroupRings;
    }
  for (int k = 1; k <= kKermaBins; ++k) *out++ = tally.Kerma(k);
}

void SuperposeGroupValues(const float* values, AxisCurves& out) {
  auto& v = out.values;
  const float* kerma = values + kGroupRingValues;
  for (int k = 1; k <= kKermaBins; ++k) v[AxisCurves::Index(AxisCurves::kKerma, k)] = kerma[k - 1];
  // Ring j (1-based) of slab k of component c.
  const auto ring = [values](int c, int k, int j) {
    return values[(static_cast<std::size_t>(c - 1) * kSlabs + (k - 1)) * kGroupRings + (j - 1)];
  };
  for (int f = 1; f <= kFields; ++f) {
    const float fs = kFieldSideCm[f];
    const int nr = std::min(RingCount(fs), kGroupRings);
    std::array<double, kGroupRings + 1> q{};
    for (int j = 1; j <= nr; ++j) q[j] = RingWeight(fs, j);
    for (int k = 1; k <= kSlabs; ++k) {
      double p = 0;
      double s = 0;
      for (int j = 1; j <= nr; ++j) {
        p += q[j] * ring(kPrimary, k, j);
        s += q[j] * ring(kScatter, k, j);
      }
      v[AxisCurves::Index(AxisCurves::Primary(f), k)] = p;
      v[AxisCurves::Index(AxisCurves::Total(f), k)] = p + s;
    }
  }
}

GroupGrowth::GroupGrowth() : now_(kGroupValues, 0.0f), last_(kGroupValues, 0.0f) {}

void GroupGrowth::Clear() {
  for (int g = 0; g < kHistoryGroups; ++g)
    if (touched_[g]) std::fill(groups_[g].begin(), groups_[g].end(), 0.0f);
  touched_.fill(false);
  std::fill(last_.begin(), last_.end(), 0.0f);
}

float* GroupGrowth::Met(int g) {
  if (groups_[g].empty()) groups_[g].assign(kGroupValues, 0.0f);
  touched_[g] = true;
  return groups_[g].data();
}

void GroupGrowth::Close(const GroupSegment& segment, const DoseTally& tally, const float* kerma) {
  TakeGroupValues(tally, now_.data());
  if (kerma != nullptr) std::copy(kerma, kerma + kKermaBins, now_.data() + kGroupRingValues);
  const float* now = now_.data();
  const float* last = last_.data();
  const float w = segment.weight;
  float* group = Met(segment.group);
  for (std::size_t i = 0; i < kGroupValues; ++i) group[i] += w * (now[i] - last[i]);
  std::swap(now_, last_);
}

void GroupGrowth::Add(const GroupGrowth& other) {
  for (int g = 0; g < kHistoryGroups; ++g) {
    const float* from = other.Group(g);
    if (from == nullptr) continue;
    float* to = Met(g);
    for (std::size_t i = 0; i < kGroupValues; ++i) to[i] += from[i];
  }
}

std::vector<float> GroupGrowth::Packed() const {
  std::vector<float> out;
  int met = 0;
  for (int g = 0; g < kHistoryGroups; ++g) met += touched_[g] ? 1 : 0;
  out.reserve(1 + static_cast<std::size_t>(met) * (1 + kGroupValues));
  out.push_back(static_cast<float>(met));
  for (int g = 0; g < kHistoryGroups; ++g) {
    if (!touched_[g]) continue;
    out.push_back(static_cast<float>(g));
    out.insert(out.end(), groups_[g].begin(), groups_[g].end());
  }
  return out;
}

bool GroupGrowth::AddPacked(const float* packed, std::size_t size) {
  if (size < 1) return false;
  const float met = packed[0];
  if (!(met >= 0 && met <= kHistoryGroups) || met != static_cast<float>(static_cast<int>(met)))
    return false;
  const std::size_t groups = static_cast<std::size_t>(met);
  if (size != 1 + groups * (1 + kGroupValues)) return false;
  for (std::size_t i = 0; i < groups; ++i) {
    const float g = packed[1 + i * (1 + kGroupValues)];
    if (!(g >= 0 && g < kHistoryGroups) || g != static_cast<float>(static_cast<int>(g)))
      return false;
  }
  for (std::size_t i = 0; i < groups; ++i) {
    const float* from = packed + 1 + i * (1 + kGroupValues);
    float* to = Met(static_cast<int>(from[0]));
    for (std::size_t v = 0; v < kGroupValues; ++v) to[v] += from[1 + v];
  }
  return true;
}

GroupCurves::GroupCurves(const GroupGrowth& growth) {
  const std::vector<float> none(kGroupValues, 0.0f);
  for (int g = 0; g < kHistoryGroups; ++g) {
    curves_[g] = std::make_unique<AxisCurves>();
    const float* values = growth.Group(g);
    SuperposeGroupValues(values != nullptr ? values : none.data(), *curves_[g]);
  }
}

}  // namespace dosavia
