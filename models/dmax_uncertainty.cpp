#include "models/dmax_uncertainty.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace dosavia {

double DmaxUncertainty(const VisualDepthDose& tally, double bin_cm) {
  if (tally.Histories() < 2LL * kDepthDoseGroups) return -1;
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
  std::vector<double> depths;
  std::vector<double> without(static_cast<std::size_t>(bins));
  for (int g = 0; g < kDepthDoseGroups; ++g) {
    for (int i = 0; i < bins; ++i)
      without[static_cast<std::size_t>(i)] =
          all[static_cast<std::size_t>(i)] - group_bins[static_cast<std::size_t>(g * bins + i)];
    const FittedMaximum top = FitMaximum(without, bin_cm);
    if (!(top.value > 0)) return -1;
    depths.push_back(top.depth_cm);
  }
  double mean = 0;
  for (double d : depths) mean += d;
  mean /= static_cast<double>(depths.size());
  double squares = 0;
  for (double d : depths) squares += (d - mean) * (d - mean);
  const double g = static_cast<double>(depths.size());
  return std::sqrt((g - 1) / g * squares);
}

}  // namespace dosavia
