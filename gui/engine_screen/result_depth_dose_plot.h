// The depth-dose graph of the non-visual screen: the scale and fixed decoration of its
// drawing surface (frame, grid, axis labels; its key: result_graph_key.h) and the curves of
// a loaded result. The --plot command draws the same graph into a picture file.
#pragma once

#include <QColor>

#include "models/curve_set_colors.h"

namespace dosavia {
struct ResultTables;
}  // namespace dosavia

namespace dosavia::gui {

class PictureBox;

// User coordinates of the graph: one unit is one 1-mm depth bin across, one per cent of the
// kerma maximum upwards; x = 0..300 and y = 0..100 lie inside the frame.
inline constexpr double kPlotLeft = -15.0;
inline constexpr double kPlotTop = 112.0;
inline constexpr double kPlotWidth = 320.0;
inline constexpr double kPlotHeight = -120.0;

// The frame around the plotting area [user units]; its top leaves room above 100 %.
inline constexpr double kFrameLeft = 0.0;
inline constexpr double kFrameRight = 300.0;
inline constexpr double kFrameBottom = 0.0;
inline constexpr double kFrameTop = 110.0;

// Curves are drawn as this many per cent per unit of the file's ratios.
inline constexpr double kPercent = 100.0;

// Colours of the curves: those of the first compared set's family.
constexpr QRgb QRgbOf(Rgb c) { return qRgb(c.r, c.g, c.b); }
inline constexpr QRgb kKermaColor = QRgbOf(kCurveSetColors[0].kerma);
inline constexpr QRgb kTotalDoseColor = QRgbOf(kCurveSetColors[0].total);
inline constexpr QRgb kPrimaryDoseColor = QRgbOf(kCurveSetColors[0].primary);
inline constexpr QRgb kScatterDoseColor = QRgbOf(kCurveSetColors[0].scatter);
// The legend's scatter line is a darker green than its curve, readable on white.
inline constexpr QRgb kScatterLegendColor = qRgb(0, 192, 0);

// Sets the user coordinates and white back colour of `picture` and adds the decoration
// (frame, grid, axis numbers); the key of the curves is an overlay (see result_graph_key.h).
// Call once, on an empty surface.
void SetUpDepthDosePlot(PictureBox& picture);

// Every curve is drawn on the scale of its own result's fitted surface kerma (DisplayScale in
// models/curve_table.h): 1.0 on the axis is the primary kerma at the surface, free of the noise
// of the file's maximum bin, so that runs of one beam line up whatever their photon count.

// The primary water kerma of depth bins 1..300 in `color` (black unless a compared set
// gives its own): a polyline through (i - 0.5, 100 s Kerma(i)), s the display scale. Draws
// over what is there. With `off` > 0 the curve is dashed: `on` bins drawn, then `off` bins
// left out.
void DrawKermaCurve(PictureBox& picture, const ResultTables& tables, int on = 1, int off = 0,
                    QRgb color = kKermaColor);

// The dose curves of field column `field` (1..10) over depth bins 1..299, in this order:
// total (blue), primary (red), scatter (green). Draws over what is there.
void DrawDoseCurves(PictureBox& picture, const ResultTables& tables, int field);

// The same in other colours, for the sets overlaid on the first.
void DrawDoseCurves(PictureBox& picture, const ResultTables& tables, int field, QRgb total,
                    QRgb primary, QRgb scatter, int on = 1, int off = 0);

}  // namespace dosavia::gui
