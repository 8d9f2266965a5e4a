// How well the live depth-dose curve knows its d_max. The fitted maximum of a noisy build-up
// curve can look precise while it still wanders by centimetres from batch to batch; a
// student should see the spread beside the number, and a marker should wait until the
// spread is small.
#pragma once

#include "models/curve_metrics.h"
#include "models/visual_depth_dose.h"

namespace dosavia {

// Standard uncertainty [cm] of the fitted d_max at bin width `bin_cm`, by the jackknife over
// the tally's interleaved history groups: the maximum is fitted once without each group, and
// the spread of those depths, times (G - 1)/G under the root, is the uncertainty of the
// fit to all groups. -1 while a group holds fewer than two histories or a fit fails.
double DmaxUncertainty(const VisualDepthDose& tally, double bin_cm);

// Whether the live curve builds up at all: its first shown bin clearly below the fitted
// maximum (HasBuildUp, with the jackknife's spread of that ratio). A curve without electron
// transport starts at its maximum and has no d_max to speak of; true while too little is
// known to tell.
bool VisualCurveBuildsUp(const VisualDepthDose& tally, double bin_cm);

// Whether a d_max of uncertainty `sigma_cm` is worth a marker: known (sigma >= 0) and to
// better than `limit_cm` (by default 0.5 cm, a fifth of the build-up region of 10 MV).
inline bool DmaxIsSettled(double sigma_cm, double limit_cm = 0.5) {
  return sigma_cm >= 0 && sigma_cm < limit_cm;
}

// Whether photons have been run but too few for the live curve to be read: below a
// thousand (the bars are then single electrons' tracks, whatever the fit says), no maximum
// yet, or a build-up curve whose d_max is uncertain by 2 cm or more (the build-up region of
// 4-15 MV lies within the first 1-3 cm, so such a d_max says nothing of where the maximum
// is). A curve without build-up is readable: the wide spread of its maximum along its flat
// top does not make it unreadable. `sigma_cm` < 0: not known, not held against the curve.
inline bool TooFewPhotonsToRead(long long photons, bool has_maximum, bool builds_up,
                                double sigma_cm) {
  constexpr long long kFewestReadablePhotons = 1000;
  constexpr double kUnreadableDmaxSigmaCm = 2.0;
  return photons > 0 && (photons < kFewestReadablePhotons || !has_maximum ||
                         (builds_up && sigma_cm >= kUnreadableDmaxSigmaCm));
}

}  // namespace dosavia
