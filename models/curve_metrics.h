// Beam-quality numbers of a central-axis depth-dose curve of 300 bins of 0.1 cm: the depth
// of maximum dose, the surface dose, D(10)/D(d_max) and TPR20,10. Qt-free. The methods are
// those of tools/depth_dose_analysis.py (the validation's numbers), so the screen's table and
// the validation agree to rounding: fits over many bins rather than single noisy bins.
#pragma once

#include <span>
#include <vector>

namespace dosavia {

// Centre of depth bin j (1-based) [cm].
inline constexpr double DepthBinCentreCm(int j) { return 0.1 * j - 0.05; }

// Mean of each value with its `half_width` neighbours on either side; near the ends the half
// width shrinks alike on both sides, so that each mean stays centred on its own bin and a
// slope is not pulled towards the inside (the build-up's first bins stay where they are).
// The one smoothing of the program's depth-dose curves: single bins of a Monte Carlo curve
// are too noisy to say where a broad maximum lies.
std::vector<double> RunningMean(std::span<const double> values, int half_width);

// Depth of maximum dose and the window of bins its fit used.
struct DoseMaximum {
  double depth_cm = 0;     // maximum of the fitted cubic (or the running mean's peak)
  double dose = 0;         // the fitted cubic at depth_cm
  double smoothed_cm = 0;  // centre of the bin where the 11-bin running mean peaks
  double window_first_cm = 0;
  double window_last_cm = 0;
};

// `dose` is indexed by depth bin 1..300 (element 0 unused). d_max: the peak of the 11-bin
// running mean within the first `search_to_bin` bins, refined by a least-squares cubic over
// the raw bins of a symmetric window about it, as wide as the running mean stays within 95 %
// of its peak (4 to 20 bins each side), recentred on the cubic's maximum until it stays put.
// A parabola would lean deep: the build-up is steeper than the fall-off.
//
// This serves every curve on the engine's 0.1 cm grid (the results on the non-visual screen
// and the 10 MV curves of the explanation figures): at 10^7 photons and more the bins near
// the maximum are smooth enough for a local fit. The visual screen's live curve finds its
// maximum otherwise (FitMaximum in models/visual_depth_dose.h), since it has a few 10^4
// photons and bins up to 0.5 cm, where a local cubic would follow the noise.
DoseMaximum FindDoseMaximum(std::span<const double> dose, int search_to_bin = 150);

// Depth [cm] of the maximum of the least-squares cubic over the raw bins first..last (the
// window a FindDoseMaximum chose); -1 when the cubic has no maximum inside the window. With
// the window held, the depth is a smooth function of the bins, as the jackknife over a
// run's history groups needs: a window that jumps with each group's noise would make the
// spread of the leave-one-out depths say little about the run's own.
double CubicMaximumInWindow(std::span<const double> dose, int first_bin, int last_bin);

// Dose at depth `depth_cm` from a straight line fitted to ln D over bin `j` +-10 bins (the
// fall-off is exponential to within the noise there); 0 when a dose in the window is not
// positive.
double LogLinearDoseAt(std::span<const double> dose, int j, double depth_cm);

// TPR20,10 as the ratio of the log-linear fits at bins 200 and 100. The engine's beam is
// parallel with a constant field size, so this depth-dose ratio is the tissue-phantom ratio
// itself; the clinical PDD20,10 conversion (which undoes the inverse-square fall-off of a
// point source at 100 cm) does not apply.
double Tpr2010(std::span<const double> dose_10x10);

// Correlation of the noise of bins `lag` apart, lag 0 first (always 1), from the residuals
// of ln D about a cubic over bins first_bin..last_bin of the fall-off; the lags end before
// the first whose correlation is not clearly positive. {1} when the range is too short or
// holds a bin without dose: the bins are then taken as independent.
std::vector<double> BinNoiseCorrelation(std::span<const double> dose, int first_bin, int last_bin);

// Standard uncertainty [cm] of a fitted d_max from the curve alone, when no history groups
// are at hand (a result file). The noise of the bins is correlated over the electrons'
// range (one electron scores into several bins), with the correlation measured in the
// fall-off (BinNoiseCorrelation); the noise itself is the scatter of the raw bins about the
// cubic over the maximum's window, corrected for the part of correlated noise that the cubic
// follows; both are carried to the cubic's maximum by its derivative with respect to each
// bin. -1 when the maximum is not a fitted one or the window is too short to tell noise from
// the curve.
double DmaxUncertaintyCm(std::span<const double> dose, const DoseMaximum& maximum);

// The primary kerma at the surface (bin 1's centre) from a straight line fitted to ln K over
// the first 5 cm [the kerma's units]; 0 when a bin there holds no kerma. The primary kerma
// of a parallel beam falls exponentially from the surface, so the fit is the kerma's
// maximum without the noise of any one bin: curves of one beam divided by it line up
// whatever their number of photons, where the noisiest maximum bin would not.
double FittedSurfaceKerma(std::span<const double> kerma);

// Whether a curve whose surface bin is `surface_ratio` of its maximum, with standard
// uncertainty `sigma` (0 when not known), builds up at all: the surface must lie clearly
// below the maximum. A curve without electron transport starts at 0.97 of it.
// "No build-up" is said only where the surface is known well enough to tell (sigma below
// 0.25): a run of a few thousand photons whose first bin is merely noisy is not called flat.
inline bool HasBuildUp(double surface_ratio, double sigma) {
  if (sigma >= 0.25) return true;
  return surface_ratio + 2 * (sigma > 0 ? sigma : 0) < 0.9;
}

// The numbers of the screen's value table for one curve.
struct CurveMetrics {
  DoseMaximum maximum;
  double surface_ratio = 0;  // first bin (0-0.1 cm) over D(d_max)
  double d10_ratio = 0;      // D(10 cm), log-linear fit, over D(d_max)
};

CurveMetrics MeasureCurve(std::span<const double> dose);

}  // namespace dosavia
