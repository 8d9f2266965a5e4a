#include "gui/engine_screen/result_depth_dose_plot.h"

#include "engine/result_file.h"

#include <QFont>
#include <QString>

#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
#include "gui/engine_screen/result_graph_key.h"
#include "gui/widgets/picture_box.h"
#include "models/curve_table.h"

namespace dosavia::gui {

namespace {

constexpr int kFrameWidthPx = 2;

constexpr double kDepthGridStep = 20.0;  // [mm]
constexpr double kDoseGridStep = 10.0;   // [%]
constexpr QRgb kGridColor = qRgb(192, 192, 192);

// Point size of the axis labels, readable across a classroom [pt].
constexpr double kLabelPoints = 12.0;
// Top of the row under the depth axis [user units]; the axis caption shares the row with
// the numbers, between 20 and 30 cm, as two rows of this size do not fit under the frame.
constexpr double kDepthNumbersTop = -0.4;
constexpr double kDepthCaptionCentre = 250.0;

// The dose curves end one bin before the kerma curve.
constexpr int kLastDoseBin = kDepthBins - 1;

// Abscissa of depth bin i: its centre [mm].
double BinCentre(int i) { return i - 0.5; }

// Curves 2 px wide at the design size, so that they still show from the back of a room.
constexpr int kCurveWidthPx = 2;

template <typename Values>
void DrawCurve(PictureBox& picture, const Values& values, double scale, int last_bin, QRgb color,
               int on = 1, int off = 0) {
  double x0 = BinCentre(1);
  double y0 = kPercent * scale * values[1];
  for (int i = 2; i <= last_bin; ++i) {
    const double x1 = BinCentre(i);
    const double y1 = kPercent * scale * values[i];
    if (off <= 0 || (i - 2) % (on + off) < on)
      picture.DrawLine(x0, y0, x1, y1, QColor(color), kCurveWidthPx);
    x0 = x1;
    y0 = y1;
  }
}

}  // namespace

void SetUpDepthDosePlot(PictureBox& picture) {
  picture.SetScale(kPlotLeft, kPlotTop, kPlotWidth, kPlotHeight);
  picture.SetBackColor(Qt::white);
  const QFont label_font = DefaultFont(kLabelPoints);

  // Grid first, so that the frame and the 100 % line lie over it.
  for (double x = kDepthGridStep; x < kFrameRight; x += kDepthGridStep)
    picture.AddLine(x, kFrameBottom, x, kFrameTop, QColor(kGridColor));
  for (double y = kDoseGridStep; y < kPercent; y += kDoseGridStep)
    picture.AddLine(kFrameLeft, y, kFrameRight, y, QColor(kGridColor));
  picture.AddLine(kFrameLeft, kPercent, kFrameRight, kPercent, Qt::black);

  const QColor frame_color(Qt::black);
  picture.AddLine(kFrameLeft, kFrameBottom, kFrameRight, kFrameBottom, frame_color, kFrameWidthPx);
  picture.AddLine(kFrameRight, kFrameBottom, kFrameRight, kFrameTop, frame_color, kFrameWidthPx);
  picture.AddLine(kFrameRight, kFrameTop, kFrameLeft, kFrameTop, frame_color, kFrameWidthPx);
  picture.AddLine(kFrameLeft, kFrameTop, kFrameLeft, kFrameBottom, frame_color, kFrameWidthPx);

  // Depth in cm under the axis: every 100 units is 10 cm.
  for (int cm = 0; cm <= 30; cm += 10)
    picture.AddLabel(QString::number(cm), 10.0 * cm, kDepthNumbersTop,
                     Qt::AlignHCenter | Qt::AlignTop, Qt::black, label_font);
  picture.AddLabel(QStringLiteral("depth  cm"), kDepthCaptionCentre, kDepthNumbersTop,
                   Qt::AlignHCenter | Qt::AlignTop, Qt::black, label_font);
  picture.AddLabel(QStringLiteral("1.0"), -1.5, kPercent, Qt::AlignRight | Qt::AlignVCenter,
                   Qt::black, label_font);
  picture.AddLabel(QStringLiteral("0.5"), -1.5, kPercent / 2, Qt::AlignRight | Qt::AlignVCenter,
                   Qt::black, label_font);
  // The curve kinds' key, until a screen gives it the sets it draws.
  ShowGraphKey(picture, {});
}

void DrawKermaCurve(PictureBox& picture, const ResultTables& tables, int on, int off, QRgb color) {
  DrawCurve(picture, tables.Kerma, DisplayScale(tables), kDepthBins, color, on, off);
}

void DrawDoseCurves(PictureBox& picture, const ResultTables& tables, int field) {
  DrawDoseCurves(picture, tables, field, kTotalDoseColor, kPrimaryDoseColor, kScatterDoseColor);
}

void DrawDoseCurves(PictureBox& picture, const ResultTables& tables, int field, QRgb total,
                    QRgb primary, QRgb scatter, int on, int off) {
  const double scale = DisplayScale(tables);
  DrawCurve(picture, tables.DoseTable[kTotalDose][field], scale, kLastDoseBin, total, on, off);
  DrawCurve(picture, tables.DoseTable[kPrimaryDose][field], scale, kLastDoseBin, primary, on, off);
  DrawCurve(picture, tables.DoseTable[kScatterDose][field], scale, kLastDoseBin, scatter, on, off);
}

}  // namespace dosavia::gui
