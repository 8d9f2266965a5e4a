#include "models/dmax_uncertainty.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace dosavia {

namespace {

// The jackknife's standard uncertainty from the leave-one-group-out values.
double Jackknife(const std::vector<double>& values) {
  double mean = 0;
  for (double d : values) mean += d;
  mean /= static_cast<double>(values.size());
  double squares = 0;
  for (double d : values) squares += (d - mean) * (d - mean);
  const double g = static_cast<double>(values.size());
  return std::sqrt((g - 1) / g * squares);
}

// Calls each(fit, bins) with the maximum fitted to the shown bins of the run without group
// g, for every g; false (and no more calls) when a fit fails or a group holds fewer than
// two histories.
template <typename Each>
bool LeaveOneGroupOut(const VisualDepthDose& tally, double bin_cm, Each&& each) {
  if (tally.Histories() < 2LL * kDepthDoseGroups) return false;
  const int slabs = std::max(1, static_cast<int>(std::lround(bin_cm * kDepthDoseBinsPerCm)));
  const int bins = kDepthDoseBins / slabs;
  // Per group and shown bin, then the all-groups sum: leaving a group out is a subtraction.
  std::vector<double> group_bins(static_cast<std::size_t>(kDepthDoseGroups * bins), 0.0);
  std::vector<double> all(static_cast<std::size_t>(bins), 0.0);
  for (int g = 0; g < kDepthDoseGroups; ++g)
    for (int i = 0; i < bins; ++i) {
      double sum = 0;
      for (int k = i * slabs; k < (i + 1) * slabs; ++k) sum += tally.GroupDose(g, k);
      group_bins[static_cast<std::size_t>(g * bins + i)] = sum;
      all[static_cast<std::size_t>(i)] += sum;
    }
  std::vector<double> without(static_cast<std::size_t>(bins));
  for (int g = 0; g < kDepthDoseGroups; ++g) {
    for (int i = 0; i < bins; ++i)
      without[static_cast<std::size_t>(i)] =
          all[static_cast<std::size_t>(i)] - group_bins[static_cast<std::size_t>(g * bins + i)];
    const FittedMaximum top = FitMaximum(without, bin_cm);
    if (!(top.value > 0)) return false;
    each(top, without);
  }
  return true;
}

}  // namespace

double DmaxUncertainty(const VisualDepthDose& tally, double bin_cm) {
  std::vector<double> depths;
  if (!LeaveOneGroupOut(tally, bin_cm, [&](const FittedMaximum& top, const std::vector<double>&) {
        depths.push_back(top.depth_cm);
      }))
    return -1;
  return Jackknife(depths);
}

bool VisualCurveBuildsUp(const VisualDepthDose& tally, double bin_cm) {
  std::vector<double> ratios;
  if (!LeaveOneGroupOut(tally, bin_cm, [&](const FittedMaximum& top, const std::vector<double>& bins) {
        ratios.push_back(bins[0] / top.value);
      }))
    return true;
  double mean = 0;
  for (double r : ratios) mean += r / static_cast<double>(ratios.size());
  return HasBuildUp(mean, Jackknife(ratios));
}

}  // namespace dosavia
