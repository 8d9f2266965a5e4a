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

// Slabs of the surface dose that the build-up is read by (kBuildUpSurfaceCm), whatever width
// the bars are shown at, so that the reading does not grow noisier as the bars narrow.
const int kSurfaceSlabs = SlabsPerBin(kBuildUpSurfaceCm);

// Calls each(g, fit, surface) with the maximum fitted (at kMaximumFitBinCm) to the run
// without group g and that run's dose in the first kSurfaceSlabs, on the fit's scale: first
// for the whole run (g = -1), then for every g. False (and no more calls) when a fit fails or
// a group holds fewer than two histories.
template <typename Each>
bool LeaveOneGroupOut(const VisualDepthDose& tally, Each&& each) {
  if (tally.Histories() < 2LL * kDepthDoseGroups) return false;
  const int fit_slabs = SlabsPerBin(kMaximumFitBinCm);
  const int fit_bins = FitBinCount();
  const int slabs = std::max(fit_bins * fit_slabs, kSurfaceSlabs);
  // Per group and slab, then the all-groups sum: leaving a group out is a subtraction.
  std::vector<double> group_slabs(static_cast<std::size_t>(kDepthDoseGroups * slabs), 0.0);
  std::vector<double> all(static_cast<std::size_t>(slabs), 0.0);
  for (int g = 0; g < kDepthDoseGroups; ++g)
    for (int k = 0; k < slabs; ++k) {
      const double d = tally.GroupDose(g, k);
      group_slabs[static_cast<std::size_t>(g * slabs + k)] = d;
      all[static_cast<std::size_t>(k)] += d;
    }
  std::vector<double> without(static_cast<std::size_t>(fit_bins));
  for (int g = -1; g < kDepthDoseGroups; ++g) {
    const auto slab = [&](int k) {
      return all[static_cast<std::size_t>(k)] -
             (g < 0 ? 0.0 : group_slabs[static_cast<std::size_t>(g * slabs + k)]);
    };
    for (int i = 0; i < fit_bins; ++i) {
      double sum = 0;
      for (int k = i * fit_slabs; k < (i + 1) * fit_slabs; ++k) sum += slab(k);
      without[static_cast<std::size_t>(i)] = sum;
    }
    double surface = 0;
    for (int k = 0; k < kSurfaceSlabs; ++k) surface += slab(k);
    const FittedMaximum top = FitMaximum(without, kMaximumFitBinCm);
    if (!(top.value > 0)) return false;
    each(g, top, surface * fit_slabs / kSurfaceSlabs);
  }
  return true;
}

// Relative noise of the dose of the first kBuildUpSurfaceCm judged from the slabs just
// beneath it (0.5-2.5 cm), -1 while unknown. The surface's own scatter over the 16 history
// groups comes from the same few large deposits that make its value: a surface that reads low
// because few of them fell there reads sure as well. Without electron transport each
// interaction leaves its electron's whole energy at one point, about a hundred points in the
// first 0.5 cm at 2e4 photons (4 MV, 10x10), and that own scatter once let 9 of 600 curves
// without electrons read as a build-up with a d_max (surface 0.64-0.75 of the maximum, where
// the spread over the runs is 0.12). The slabs beneath hold deposits of the same kind; the
// variance of a sum of such deposits grows as its dose (a compound Poisson sum), so their
// variance per unit dose, pooled over four slabs, gives the surface's noise for the dose it
// holds without sharing its fluctuation.
double SurfaceNoiseFromBeneath(const VisualDepthDose& tally) {
  constexpr int kPooledSlabs = 4;
  const auto group_sum = [&](int g, int first) {
    double sum = 0;
    for (int k = first; k < first + kSurfaceSlabs; ++k) sum += tally.GroupDose(g, k);
    return sum;
  };
  double variance = 0, dose = 0;
  for (int b = 1; b <= kPooledSlabs; ++b) {
    const double noise = RelativeNoise(tally, b * kSurfaceSlabs, kSurfaceSlabs);
    if (noise < 0) return -1;
    double total = 0;
    for (int g = 0; g < kDepthDoseGroups; ++g) total += group_sum(g, b * kSurfaceSlabs);
    variance += noise * noise * total * total;
    dose += total;
  }
  double surface = 0;
  for (int g = 0; g < kDepthDoseGroups; ++g) surface += group_sum(g, 0);
  if (!(surface > 0) || !(dose > 0)) return -1;
  return std::sqrt(variance / dose / surface);
}

}  // namespace

double DmaxUncertainty(const VisualDepthDose& tally) {
  if (tally.Histories() < 2LL * kDepthDoseGroups) return -1;
  const int fit_slabs = SlabsPerBin(kMaximumFitBinCm);
  const int fit_bins = FitBinCount();
  // Each group's fit bins, added up again for each resampling of the groups.
  std::vector<double> groups(static_cast<std::size_t>(kDepthDoseGroups * fit_bins), 0.0);
  for (int g = 0; g < kDepthDoseGroups; ++g)
    for (int i = 0; i < fit_bins; ++i)
      for (int k = i * fit_slabs; k < (i + 1) * fit_slabs; ++k)
        groups[static_cast<std::size_t>(g * fit_bins + i)] += tally.GroupDose(g, k);
  std::vector<double> bins(static_cast<std::size_t>(fit_bins));
  return WithFitDrift(BootstrapSigma(kDepthDoseGroups, [&](std::span<const int> picks) {
    std::fill(bins.begin(), bins.end(), 0.0);
    for (const int g : picks)
      for (int i = 0; i < fit_bins; ++i)
        bins[static_cast<std::size_t>(i)] += groups[static_cast<std::size_t>(g * fit_bins + i)];
    const FittedMaximum top = FitMaximum(bins, kMaximumFitBinCm);
    return top.value > 0 ? top.depth_cm : -1.0;
  }));
}

VisualCurveReading ReadVisualCurve(const VisualDepthDose& tally, const DepthDoseCurve& curve,
                                   bool bootstrap) {
  VisualCurveReading reading;
  if (curve.has_maximum) {
    std::vector<double> depths, ratios;
    double surface = 0;
    if (LeaveOneGroupOut(tally, [&](int g, const FittedMaximum& top, double first) {
          if (g < 0) {
            surface = first / top.value;
            return;
          }
          depths.push_back(top.depth_cm);
          ratios.push_back(first / top.value);
        })) {
      reading.dmax_sigma_cm = bootstrap ? DmaxUncertainty(tally) : WithFitDrift(Jackknife(depths));
      const double own = Jackknife(ratios);
      reading.build_up =
          reading.dmax_sigma_cm >= 0 ? ReadBuildUp(surface, own) : BuildUp::kTooFewPhotons;
      // A build-up only where the surface lies clearly low by the noise of the slabs beneath
      // it too.
      const double beneath = SurfaceNoiseFromBeneath(tally);
      if (reading.build_up == BuildUp::kYes &&
          (beneath < 0 || ReadBuildUp(surface, std::max(own, surface * beneath)) != BuildUp::kYes))
        reading.build_up = BuildUp::kTooFewPhotons;
    }
  }
  reading.too_few = TooFewPhotonsToRead(curve.photons, curve.has_maximum, reading.build_up,
                                        reading.dmax_sigma_cm);
  reading.dmax_shown = !reading.too_few && DmaxReadable(reading.build_up, reading.dmax_sigma_cm);
  reading.settled = reading.dmax_shown && DmaxIsSettled(reading.dmax_sigma_cm);
  reading.fits_firm = FitsAreFirm(reading.too_few, reading.build_up, reading.settled);
  return reading;
}

}  // namespace dosavia
