// Fig.1 and Fig.7 of the explanation pages, drawn from the engine's own 10 MV curves (stored
// in the program's resources by tools/figures/make_depth_dose_curves): the tissue-maximum
// ratio of three fields, and the depth dose of narrow fields against a broad one.
#pragma once

#include <QByteArray>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "gui/figures/figure_frame.h"
#include "models/figure_models.h"

namespace dosavia::gui {

// Reads the stored curves: lines of 12 numbers (depth, kerma, ten doses); lines starting
// with '#' are comments. Nothing when a line is malformed, a depth is not the centre of the
// next bin of 0.1 cm (0.05, 0.15, ... cm), or fewer than 100 depths are given.
std::optional<DepthDoseCurves> ParseDepthDoseCurves(const QByteArray& text);

// The curves compiled into the program; empty vectors when the resource is missing.
const DepthDoseCurves& ShippedDepthDoseCurves();

// Fig.1: TMR of 10 MV X-rays against depth for 4 x 4, 10 x 10 and 20 x 20 cm fields.
class TmrFigure : public FigureFrame {
  Q_OBJECT

 public:
  explicit TmrFigure(QWidget* parent = nullptr);

 protected:
  void Paint(QPainter& p) override;

 private:
  std::array<std::vector<double>, 3> tmr_;  // of the fields drawn, in drawing order
  double d_max_ = 0;                        // of the 10 x 10 cm field [cm]
};

// Fig.7: depth dose of 1 x 1, 2 x 2 and 3 x 3 cm fields beside a 10 x 10 cm field and the
// primary kerma, over the first 10 cm, with each field's depth of maximum dose marked.
class NarrowFieldFigure : public FigureFrame {
  Q_OBJECT

 public:
  explicit NarrowFieldFigure(QWidget* parent = nullptr);

 protected:
  void Paint(QPainter& p) override;

 private:
  // The maximum of each field drawn, in drawing order.
  struct Peak {
    double depth_cm = 0;
    double dose = 0;
  };
  std::array<Peak, 4> peaks_{};
};

}  // namespace dosavia::gui
