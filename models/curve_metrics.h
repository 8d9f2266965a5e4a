// Beam-quality numbers of a central-axis depth-dose curve of 300 bins of 0.1 cm: the depth
// of maximum dose, the surface dose, D(10)/D(d_max) and TPR20,10. Qt-free. Fits over many
// bins rather than single noisy bins: D(10) and TPR20,10 by the methods of
// tools/depth_dose_analysis.py (the validation's numbers), d_max by the build-up model that
// both screens fit (FitDoseMaximum).
#pragma once

#include <cmath>
#include <functional>
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

// Depth of maximum dose and the range of bins its fit used.
struct DoseMaximum {
  double depth_cm = 0;  // maximum of the fitted model
  double dose = 0;      // the fitted model at depth_cm
  double window_first_cm = 0;
  double window_last_cm = 0;
};

// d_max of every curve the program shows, on the engine's 0.1 cm grid (`dose` indexed by
// depth bin 1..300, element 0 unused): the build-up model D(z) = A e^(-mu z) - B
// e^(-(mu + beta) z) fitted to the bins of the first 12 cm (FitMaximum in
// models/visual_depth_dose.h, the visual screen's fit to its own 0.1 cm bins), so that both
// screens find one beam's maximum alike. The fit takes the build-up and the fall-off
// together, so a noisy flat top does not pull it: over 32 seeds its mean at 3e4 photons lies
// within 0.07 cm of its value at 4e6, where the peak of a running mean with a cubic about it
// (the validation tool's d_max) lay 0.35-0.8 cm deep. On curves of millions of photons it
// lies within 0.06 cm of that cubic at 4 and 10 MV and 0.15 cm shallower at 15 MV, within the
// spread of reasonable estimators on so broad a maximum. The window is the fitted range; depth 0
// with the model's surface dose when the model has no maximum below the surface (no electron
// transport); dose 0 when nothing can be fitted.
DoseMaximum FitDoseMaximum(std::span<const double> dose);

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

// Standard uncertainty [cm] of the fitted d_max (FitDoseMaximum) from the curve alone, when
// no history groups are at hand (a result file). The noise of the bins is correlated over
// the electrons' range (one electron scores into several bins), with the correlation
// measured in the fall-off (BinNoiseCorrelation); the noise itself is the scatter of the
// raw bins about a cubic over 1 cm either side of the maximum, corrected for the part of
// correlated noise that the cubic follows, and taken to scale with the root of the dose
// elsewhere; both are carried to the fitted maximum by its derivative with respect to each
// bin. -1 when the curve has no maximum below the surface or too few bins about it.
double DmaxUncertaintyCm(std::span<const double> dose, const DoseMaximum& maximum);

// The primary kerma at the surface (bin 1's centre) from a straight line fitted to ln K over
// the first 5 cm [the kerma's units]; 0 when a bin there holds no kerma. The primary kerma
// of a parallel beam falls exponentially from the surface, so the fit is the kerma's
// maximum without the noise of any one bin: curves of one beam divided by it line up
// whatever their number of photons, where the noisiest maximum bin would not.
double FittedSurfaceKerma(std::span<const double> kerma);

// Standard uncertainty of a fitted d_max from a run's history groups: the standard
// deviation of `estimate(picks)` over kBootstrapResamples resamplings of the `groups` groups
// with replacement (picks: the groups drawn, as many as there are, repeats allowed; the
// estimate is of the run they make up), -1 when an estimate fails (negative). The fit is a
// smooth but strongly curved function of the bins at a few thousand photons: the jackknife,
// which sees only its slope, gave d_max a "±" too small where the fitted maximum happens to
// lie shallow (10 MV at 3e3 photons: pull SD 1.5 over 48 seeds; the bootstrap's 1.26). A
// fixed generator gives the same "±" for the same run every time.
inline constexpr int kBootstrapResamples = 100;
double BootstrapSigma(int groups, const std::function<double(std::span<const int>)>& estimate);

// What a depth-dose curve lets a reader say of its build-up. The one rule of every screen,
// the saved picture and the table's text, so that they never tell one curve differently.
enum class BuildUp {
  kYes,            // the surface lies clearly below the maximum: a d_max can be read
  kNone,           // the surface lies clearly at the maximum (no electron transport)
  kTooFewPhotons,  // the run cannot tell which: neither is said, and no d_max is shown
};

// The share of the maximum that parts a curve with a build-up from one without: the dose of
// the first 0.5 cm of a curve without electron transport is about 0.97 of its maximum, of one
// with it 0.3-0.75 (4-15 MV). Both screens read the first 0.5 cm rather than a thinner slab:
// its noise is a fraction of a 1 mm bin's, so that a curve is read at fewer photons.
inline constexpr double kBuildUpSurfaceShare = 0.9;
inline constexpr double kBuildUpSurfaceCm = 0.5;

// The reading of a curve whose first 0.5 cm is `surface_ratio` of its maximum, with
// standard uncertainty `sigma` from the run's history groups (negative: not measured). "No
// build-up" only where the surface lies more than two uncertainties above 90 % of the
// maximum, a build-up only where it lies more than two below; between the two the run has
// too few photons to tell. Without a measured uncertainty (a result without its
// statistics) the curve is read by its surface alone.
inline BuildUp ReadBuildUp(double surface_ratio, double sigma) {
  if (!std::isfinite(surface_ratio) || !std::isfinite(sigma)) return BuildUp::kTooFewPhotons;
  const double reach = sigma > 0 ? 2 * sigma : 0;
  if (surface_ratio - reach > kBuildUpSurfaceShare) return BuildUp::kNone;
  if (surface_ratio + reach < kBuildUpSurfaceShare) return BuildUp::kYes;
  return sigma < 0 ? BuildUp::kNone : BuildUp::kTooFewPhotons;
}

// The largest standard uncertainty [cm] of a d_max that is shown as a number: the build-up
// region of 4-15 MV lies within the first 1-3 cm, so a d_max uncertain by 2 cm or more says
// nothing of where the maximum is.
inline constexpr double kUnreadableDmaxSigmaCm = 2.0;

// Whether a d_max of standard uncertainty `sigma_cm` (negative: not known) is shown for a
// curve read as `build_up`: only where a build-up is established and the maximum is not
// spread over the whole build-up region.
inline bool DmaxReadable(BuildUp build_up, double sigma_cm) {
  return build_up == BuildUp::kYes && sigma_cm < kUnreadableDmaxSigmaCm;
}

// The word a table's text gives for a reading: "yes", "none" or "unknown".
inline const char* BuildUpWord(BuildUp build_up) {
  return build_up == BuildUp::kYes ? "yes" : build_up == BuildUp::kNone ? "none" : "unknown";
}

// The numbers of the screen's value table for one curve.
struct CurveMetrics {
  DoseMaximum maximum;
  double surface_ratio = 0;   // first bin (0-0.1 cm) over D(d_max)
  double build_up_ratio = 0;  // mean of the first 0.5 cm over D(d_max), for ReadBuildUp
  double d10_ratio = 0;       // D(10 cm), log-linear fit, over D(d_max)
};

CurveMetrics MeasureCurve(std::span<const double> dose);

}  // namespace dosavia
