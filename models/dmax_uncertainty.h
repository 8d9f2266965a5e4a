// How well the live depth-dose curve knows its d_max. The fitted maximum of a noisy build-up
// curve can look precise while it still wanders by centimetres from batch to batch; a
// student should see the spread beside the number, and a marker should wait until the
// spread is small.
#pragma once

#include <cmath>

#include "models/curve_metrics.h"
#include "models/visual_depth_dose.h"

namespace dosavia {

// Standard uncertainty [cm] of the fitted d_max (fitted at kMaximumFitBinCm, whatever the
// bars' width), by the bootstrap over the tally's interleaved history groups
// (BootstrapSigma), widened by the fit's drift (WithFitDrift). -1 while a group holds fewer
// than two histories or a fit fails.
double DmaxUncertainty(const VisualDepthDose& tally);

// The fitted maximum of a short run lies deep on average, by more than its spread from run to
// run says: the build-up model fitted to few electrons' tracks flattens its build-up more
// often than it steepens it, and so moves its maximum deeper. Over 200 seeds of the visual
// screen (4-15 MV, 4x4 and 10x10 cm, bench/dmax_pulls.sh) the mean reading lay deeper than a
// million-photon run's by 0.6-1.4 /cm times the square of the bootstrap's spread (0.5 cm at
// 4 MV 10x10 and 1e4 photons, where that spread is 0.7 cm), a drift that the bootstrap
// hardly sees, its resamples being runs of the same length. The uncertainty shown adds the
// upper end of that drift to the spread in quadrature, so that a reading lies within two of
// its uncertainties of the long run's d_max about as often as an honest one should.
inline constexpr double kFitDriftPerCm = 1.5;
inline double WithFitDrift(double sigma_cm) {
  if (sigma_cm < 0) return sigma_cm;
  const double drift = kFitDriftPerCm * sigma_cm * sigma_cm;
  return std::sqrt(sigma_cm * sigma_cm + drift * drift);
}

// Whether a d_max of uncertainty `sigma_cm` is worth a marker: known (sigma >= 0) and to
// better than `limit_cm` (by default 0.5 cm, a fifth of the build-up region of 10 MV), as the
// label shows it to 0.1 cm: a σ of 0.46 reads "± 0.5" and is drawn grey, as the guide says.
inline bool DmaxIsSettled(double sigma_cm, double limit_cm = 0.5) {
  return sigma_cm >= 0 && std::round(sigma_cm * 10) / 10 < limit_cm;
}

// The fewest photons whose build-up d_max is shown. Below them the fit drifts deep by a
// centimetre or more (4 and 6 MV at 1e3-3e3 photons: readings 0.9-1.4 cm deeper than a long
// run's on average) and the bootstrap over 16 groups of a few hundred histories misjudges
// its own spread, so that a fifth to a third of the readings shown lay more than two of
// their uncertainties from the long run's d_max, some of them three ("3.7 ± 0.7 cm" at
// 6 MV 4x4 where the beam's d_max is 1.6 cm). From 1e4 photons the widened uncertainty
// (WithFitDrift) holds.
inline constexpr long long kFewestDmaxPhotons = 10000;

// Whether photons have been run but too few for the live curve to be read: below a
// thousand (the bars are then single electrons' tracks, whatever the fit says), no maximum
// yet, a run that cannot tell a build-up from none (ReadBuildUp), or a build-up whose d_max
// is too uncertain to be shown (DmaxReadable) or read from fewer than kFewestDmaxPhotons. A
// curve without build-up is readable: the wide spread of its maximum along its flat top does
// not make it unreadable.
inline bool TooFewPhotonsToRead(long long photons, bool has_maximum, BuildUp build_up,
                                double sigma_cm) {
  constexpr long long kFewestReadablePhotons = 1000;
  return photons > 0 &&
         (photons < kFewestReadablePhotons || !has_maximum || build_up == BuildUp::kTooFewPhotons ||
          (build_up == BuildUp::kYes &&
           (!DmaxReadable(build_up, sigma_cm) || photons < kFewestDmaxPhotons)));
}

// What the live curve lets a student read, judged in one place for the desktop panel and the
// browser page: whether it builds up, by the share of the fitted maximum that the first
// 0.5 cm holds, with its jackknife spread over the history groups (ReadBuildUp), and its d_max
// with its uncertainty (DmaxUncertainty).
struct VisualCurveReading {
  BuildUp build_up = BuildUp::kTooFewPhotons;
  double dmax_sigma_cm = -1;  // -1: not known
  bool too_few = false;       // TooFewPhotonsToRead: nothing is said but that
  bool dmax_shown = false;    // a d_max is shown, with its uncertainty
  bool settled = false;       // and known well enough for a marker (DmaxIsSettled)
  bool fits_firm = false;     // FitsAreFirm: the fits drawn as lines to be read
};

// Whether a curve's fits (dose and kerma) are drawn as firm lines, or faint and dashed as a
// shape the noise may still change: firm only where the screen reads the curve (no build-up,
// or a d_max known well enough for its marker). A fit of a few hundred photons can peak
// shallower at 15 MV than at 4 MV, or a kerma rise with depth: drawn firm, it would teach the
// opposite of what the note beside it says.
inline bool FitsAreFirm(bool too_few, BuildUp build_up, bool settled) {
  return !too_few && (build_up == BuildUp::kNone || settled);
}
// `bootstrap` false: the d_max uncertainty from the jackknife of the same fits instead, some
// ten times cheaper and good enough to judge readability on the way through a batch; the
// uncertainty shown comes from the bootstrap.
VisualCurveReading ReadVisualCurve(const VisualDepthDose& tally, const DepthDoseCurve& curve,
                                   bool bootstrap = true);

}  // namespace dosavia
