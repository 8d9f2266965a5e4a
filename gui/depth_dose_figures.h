// Fig.1 and Fig.7 of the explanation pages, drawn from the engine's own 10 MV curves (stored
// in the program's resources by tools/figures/make_depth_dose_curves): the tissue-maximum
// ratio of three fields, and the depth dose of narrow fields against a broad one.
#pragma once

#include <QByteArray>
#include <QFrame>

#include <array>
#include <optional>
#include <vector>

namespace dosavia::gui {

// Square fields of the curves [cm side], column 0..9.
inline constexpr std::array<int, 10> kCurveFieldSideCm = {1, 2, 3, 4, 5, 6, 8, 10, 15, 20};

// Central-axis curves relative to the largest primary kerma of the first 5 cm.
struct DepthDoseCurves {
  std::vector<double> depth_cm;                // bin centres [cm]
  std::vector<double> kerma;                   // primary water kerma
  std::array<std::vector<double>, 10> dose{};  // total absorbed dose per field column
};

// Reads the stored curves: lines of 12 numbers (depth, kerma, ten doses); lines starting
// with '#' are comments. Nothing when a line is malformed, depths do not increase, or
// fewer than 100 depths are given.
std::optional<DepthDoseCurves> ParseDepthDoseCurves(const QByteArray& text);

// The curves compiled into the program; empty vectors when the resource is missing.
const DepthDoseCurves& ShippedDepthDoseCurves();

// Moving average over `half_width` bins on either side (fewer at the ends): the Monte Carlo
// noise of single 1 mm bins must not decide where a flat maximum lies.
std::vector<double> Smoothed(const std::vector<double>& values, int half_width);

// Index of the largest value of the smoothed curve.
std::size_t IndexOfMaximum(const std::vector<double>& values);

// Tissue-maximum ratio of a field column: the depth dose of the parallel beam divided by
// its (smoothed) maximum.
std::vector<double> TissueMaximumRatio(const DepthDoseCurves& curves, int column);

// Fig.1: TMR of 10 MV X-rays against depth for 4 x 4, 10 x 10 and 20 x 20 cm fields.
class TmrFigure : public QFrame {
  Q_OBJECT

 public:
  explicit TmrFigure(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Fig.7: depth dose of 1 x 1, 2 x 2 and 3 x 3 cm fields beside a 10 x 10 cm field and the
// primary kerma, over the first 10 cm, with each field's depth of maximum dose marked.
class NarrowFieldFigure : public QFrame {
  Q_OBJECT

 public:
  explicit NarrowFieldFigure(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace dosavia::gui
