// The key inside the depth-dose graph and the value table of its saved picture. The key
// names the curve kinds once by colour (kerma black, total blue, primary red, scatter green)
// and then each compared set by its four colours and line pattern, with energy, field and
// file, so that a picture of three sets is read without the screen beside it; the table
// gives each set's d_max, surface dose, D10/Dmax and TPR20,10 as the screen's table does.
#pragma once

#include <QColor>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>
#include <vector>

#include "gui/engine_screen/result_curve_sets.h"

class QPainter;

namespace dosavia::gui {

class PictureBox;

// Curve kinds the key names once: kerma, total, primary, scatter.
inline constexpr int kCurveKinds = 4;

// One entry of the key: a curve kind (family < 0: one solid line of `color`) or a set (the
// four lines of its family in its pattern).
struct GraphKeyEntry {
  QString text;
  LegendParts parts;  // of a set
  int family = -1;
  QRgb color = 0;
};

// `text` fitted into `width` [px] as the key and the table show a set: a name too long loses
// the middle of its file name, never the note of the physics switched off (" [without …]").
QString ElidedLegend(const QFontMetricsF& metrics, const QString& text, double width);
// A set's legend fitted into `width` [px]: the middle of its file's name goes first, so that
// the energy, the field and the notes after the name (switched-off physics, seed, SSD) stay
// and two files of one beam stay apart; where even that is too wide, the field alone leads
// (the name says the energy), and failing that the name and the notes lose their middle
// together after the energy and field.
QString ElidedLegend(const QFontMetricsF& metrics, const LegendParts& parts, double width);

// A set's legend in `width` [px] as the key, the screen's table and the saved table show it:
// one line where the whole name fits (the field alone before it, where the name says the
// energy); otherwise the energy, field and name (losing the fewest characters of its middle)
// over the notes (switched-off physics, seed, SSD), broken between words onto as many lines
// as they need, so that the notes stay whole.
QStringList LegendLines(const QFontMetricsF& metrics, const LegendParts& parts, double width);

// The kinds in the interface language, then one entry per set ("10 MV, 10 × 10 cm, file").
std::vector<GraphKeyEntry> GraphKeyEntries(std::span<const CurveSet> sets);

// Paints `entries` in a white box at the top right inside `frame` [px]: the kinds two to a
// row, then one set per row; text and lines scaled by `zoom`. Returns the box [px].
QRectF PaintGraphKey(QPainter& painter, const QRectF& frame, std::span<const GraphKeyEntry> entries,
                     double zoom);

// The four short lines of a set, its kerma over total over primary over scatter (the order
// of the kinds in the key), in its family's colours and line pattern, centred in `box` [px].
void PaintSetSwatch(QPainter& painter, const QRectF& box, int family, double zoom);

// Gives `picture` (set up by SetUpDepthDosePlot) the key of the sets `sets` returns at each
// paint; the picture must be repainted when they change.
void ShowGraphKey(PictureBox& picture, std::function<std::span<const CurveSet>()> sets);

// The value table's column titles in the interface language: the set, d_max [cm], surface
// [%], D10/Dmax [%], TPR20,10.
QStringList CurveTableHeader();

// The value table's cells of `set`, a measured set (MeasureSet: painting never measures):
// its key text, then the numbers of its row.
QStringList CurveTableRowText(const CurveSet& set);

// Height of the value table of `rows` measured sets at `zoom` [px].
// `width`: the table's [px], which decides which names take two lines.
int CurveTableHeight(std::span<const CurveSet> sets, double zoom, double width);

// What a "*" after a d_max means: its uncertainty estimated from the curve alone, for want of
// the run's statistics file, or (`sets` in a point source's geometry) because the
// statistics measure the parallel beam's curves, not the point source's made from them.
QString EstimatedNote(std::span<const CurveSet> sets = {});

// Paints the value table of measured `sets` into `area` [px] (as high as CurveTableHeight): a title
// row, then one row per set with its swatch; numbers right-aligned.
void PaintCurveTable(QPainter& painter, const QRectF& area, std::span<const CurveSet> sets,
                     double zoom);

}  // namespace dosavia::gui
