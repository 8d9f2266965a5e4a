// The models behind the explanation pages' figures, free of the window system so that they
// are computed once when a figure is made and can be checked on their own: the unit-volume
// model of the build-up (Fig.3 to Fig.6) and the maxima and tissue-maximum ratios of the
// engine's 10 MV depth-dose curves (Fig.1, Fig.7).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/beam_geometry.h"
#include "models/curve_metrics.h"

namespace dosavia {

// Kerma of the longitudinal model [per volume].
inline constexpr double kModelKerma = 100;
// Forward range of the electrons [volumes], the volume of release included.
inline constexpr int kModelRange = 4;
// Fraction of the photons that each volume passes on to the next in the attenuated case.
inline constexpr double kModelTransmission = 0.9;
// Kerma of the lateral model [per volume] and the electrons' reach to each side [volumes],
// the volume of release included.
inline constexpr double kLateralKerma = 80;
inline constexpr int kLateralReach = 4;

// Kerma of volumes 1..n along the beam: `first` in volume 1, times `transmission` per volume.
std::vector<double> ModelKerma(int volumes, double first, double transmission);

// Dose of each volume when the kerma of every volume is shared equally by it and the next
// `range` - 1 volumes downstream. A range of 1 or less is electrons that do not move: each
// volume keeps its own kerma, so the dose equals the kerma.
std::vector<double> ModelDose(const std::vector<double>& kerma, int range);

// Dose of the central volume of a field `field_volumes` wide (odd) across the beam, when each
// volume sends half its kerma to each side, shared equally over `reach` volumes on that side
// counting itself (so a volume keeps two shares).
double LateralCentralDose(int field_volumes, double kerma, int reach);

// Square fields of the curves [cm side], column 0..9: the engine's fields.
inline constexpr std::array<int, kFields> kCurveFieldSideCm = [] {
  std::array<int, kFields> sides{};
  for (int f = 1; f <= kFields; ++f) sides[f - 1] = static_cast<int>(kFieldSideCm[f]);
  return sides;
}();

// Central-axis curves relative to the largest primary kerma of the first 5 cm, on the
// engine's depth grid: element i is the bin of 0.1 cm centred at 0.1 i + 0.05 cm.
struct DepthDoseCurves {
  std::vector<double> depth_cm;                // bin centres [cm]
  std::vector<double> kerma;                   // primary water kerma
  std::array<std::vector<double>, 10> dose{};  // total absorbed dose per field column
};

// The maximum of one of those curves (element i at depth 0.1 i + 0.05 cm): the method of
// the value tables of both screens (FitDoseMaximum), so that the figures and the tables
// give one d_max for one curve.
DoseMaximum CurveMaximum(const std::vector<double>& dose);

// Reads the stored curves: lines of 12 numbers (depth, kerma, ten doses); lines starting
// with '#' are comments. Nothing when a line is malformed, the depths are not the engine's
// 0.1 cm bins from the surface down (the maxima are found on that grid), or fewer than
// kMinimumCurveDepths depths are given.
inline constexpr std::size_t kMinimumCurveDepths = 100;
std::optional<DepthDoseCurves> ParseDepthDoseCurves(std::string_view text);

// What the figures show of the curves, as columns of DepthDoseCurves in drawing order.
// Fig.1: the 10 x 10 cm field between a smaller and a larger one, whose d_max it marks.
inline constexpr std::array<int, 3> kTmrFigureColumns = {3, 7, 9};
inline constexpr int kTmrMarkedColumn = 7;
// Fig.7: the broad field first, then the narrow ones.
inline constexpr std::array<int, 4> kNarrowFigureColumns = {7, 2, 1, 0};
// Volumes of the longitudinal model figures (Fig.3 to Fig.5) and widths of the fields
// ① to ④ of the lateral one (Fig.6) [volumes].
inline constexpr int kModelFigureVolumes = 8;
inline constexpr std::array<int, 4> kLateralFieldVolumes = {7, 5, 3, 1};

// Tissue-maximum ratio of a field column: the depth dose of the parallel beam divided by
// the dose at its maximum.
std::vector<double> TissueMaximumRatio(const DepthDoseCurves& curves, int column);

}  // namespace dosavia
