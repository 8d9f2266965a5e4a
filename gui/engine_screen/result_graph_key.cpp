#include "gui/engine_screen/result_graph_key.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/result_file.h"
#include "gui/base/language.h"
#include "gui/engine_screen/result_curve_sets.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/engine_screen/result_phantom_bands.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/form_style.h"
#include "gui/widgets/picture_box.h"
#include "models/curve_table.h"
#include "models/phantom_session.h"

namespace dosavia::gui {

namespace {

// Point size of the key and of the saved table at zoom 1: the size of the screen's table,
// one step larger, as the picture is read from further away [pt].
constexpr double kKeyPoints = 10.0;
// Sizes at zoom 1 [px]: a key line, the gap after it and the box's inner margin.
constexpr double kKeyLinePx = 26.0;
constexpr double kKeyGapPx = 5.0;
constexpr double kKeyPaddingPx = 5.0;
// The key keeps this far from the frame [px], and at most this share of its width.
constexpr double kKeyMarginPx = 6.0;
constexpr double kKeyMostWidth = 0.65;
// Rows of the key and of the table, in lines of their font.
constexpr double kKeyRowLines = 1.15;
constexpr double kTableRowLines = 1.45;
// The key's box: white that lets the grid show faintly through, a grey edge.
constexpr int kKeyBackAlpha = 230;
constexpr QRgb kKeyEdgeColor = qRgb(128, 128, 128);
constexpr QRgb kTableRuleColor = qRgb(160, 160, 160);
constexpr QRgb kTableTitleBack = qRgb(235, 235, 235);
// Curves and key lines are 2 px wide at zoom 1; a bin of the curves' pattern counts as
// one line width in the swatch, about its length on the screen's graph.
constexpr double kLinePx = 2.0;
// The swatch's four lines lie this far apart [px at zoom 1]: 14 px from the first's top to
// the last's foot, the height of the screen table's swatch.
constexpr double kSwatchStepPx = 4.0;

const char* const kKindNames[kCurveKinds] = {
    QT_TRANSLATE_NOOP("Figures", "一次線水カーマ"), QT_TRANSLATE_NOOP("Figures", "水吸収線量"),
    QT_TRANSLATE_NOOP("Figures", "一次線線量"), QT_TRANSLATE_NOOP("Figures", "散乱線線量")};
// The key's scatter line is a darker green than the curve, readable on white.
constexpr QRgb kKindColors[kCurveKinds] = {kKermaColor, kTotalDoseColor, kPrimaryDoseColor,
                                           kScatterLegendColor};

const char* const kTableTitles[] = {
    QT_TRANSLATE_NOOP("CurveSetLegend", "エネルギー, 照射野, ファイル"), "d_max [cm]",
    QT_TRANSLATE_NOOP("CurveSetLegend", "表面 0–1 mm [%]"), "D10/Dmax [%]", "TPR20,10"};
constexpr int kTableColumns = 5;

// The key's and the table's text grows with the graph, but is never set below the least size
// any form's text keeps, that of the screen's own table.
QFont ScaledFont(double zoom) {
  QFont font = DefaultFont(kKeyPoints);
  font.setPointSizeF(ReadablePoints(kKeyPoints, zoom));
  return font;
}

}  // namespace

QString ElidedLegend(const QFontMetricsF& metrics, const QString& text, double width) {
  const qsizetype note = text.lastIndexOf(QStringLiteral(" ["));
  if (note < 0 || !text.endsWith(QLatin1Char(']')))
    return metrics.elidedText(text, Qt::ElideMiddle, std::max(0.0, width));
  const QString tail = text.mid(note);
  return metrics.elidedText(text.left(note), Qt::ElideMiddle,
                            std::max(0.0, width - metrics.horizontalAdvance(tail))) +
         tail;
}

QString ElidedLegend(const QFontMetricsF& metrics, const LegendParts& parts, double width) {
  const QString whole = parts.head + parts.file + parts.tail;
  if (metrics.horizontalAdvance(whole) <= width) return whole;
  // The field alone before the whole name, where the name says the energy ("2×2,
  // 4MV-3M.data"), rather than the energy said twice and the name cut ("4 MV, 2 × 2 cm,
  // 4MV-…data"): a 1024x768 table keeps every name readable.
  if (!parts.compact_head.isEmpty()) {
    const QString compact = parts.compact_head + parts.file + parts.tail;
    if (metrics.horizontalAdvance(compact) <= width) return compact;
  }
  const double room =
      width - metrics.horizontalAdvance(parts.head) - metrics.horizontalAdvance(parts.tail);
  // Three characters each side of the ellipsis at least, or the name says nothing: then the
  // name and the notes share what the energy and field leave.
  const double least = metrics.horizontalAdvance(QStringLiteral("10M\u2026ata"));
  if (room < least) {
    // The field alone, where the name says the energy: a screen's narrow table keeps the
    // field and enough of the name to tell two files of one beam apart.
    const double compact_room = width - metrics.horizontalAdvance(parts.compact_head) -
                                metrics.horizontalAdvance(parts.tail);
    if (!parts.compact_head.isEmpty() && compact_room >= least)
      return parts.compact_head + metrics.elidedText(parts.file, Qt::ElideMiddle, compact_room) +
             parts.tail;
    const double rest = width - metrics.horizontalAdvance(parts.head);
    if (rest < metrics.horizontalAdvance(QStringLiteral("10M\u2026ata")))
      return ElidedLegend(metrics, whole, width);
    return parts.head + metrics.elidedText(parts.file + parts.tail, Qt::ElideMiddle, rest);
  }
  return parts.head + metrics.elidedText(parts.file, Qt::ElideMiddle, room) + parts.tail;
}

QStringList LegendLines(const QFontMetricsF& metrics, const LegendParts& parts, double width) {
  const QString one = ElidedLegend(metrics, parts, width);
  QString tail = parts.tail;
  while (tail.startsWith(QLatin1Char(' ')) || tail.startsWith(QLatin1Char(','))) tail.remove(0, 1);
  if (one.contains(parts.file) || tail.isEmpty()) return {one};
  const QString head = parts.compact_head.isEmpty() ? parts.head : parts.compact_head;
  QStringList lines = {head +
                       metrics.elidedText(parts.file, Qt::ElideMiddle,
                                          std::max(0.0, width - metrics.horizontalAdvance(head)))};
  // The notes broken between words where one line would cut them; a word wider than the
  // line loses its middle.
  QString current;
  for (const QString& word : tail.split(QLatin1Char(' '))) {
    const QString longer = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
    if (current.isEmpty() || metrics.horizontalAdvance(longer) <= width) {
      current = longer;
      continue;
    }
    lines << metrics.elidedText(current, Qt::ElideMiddle, std::max(0.0, width));
    current = word;
  }
  lines << metrics.elidedText(current, Qt::ElideMiddle, std::max(0.0, width));
  return lines;
}

std::vector<GraphKeyEntry> GraphKeyEntries(std::span<const CurveSet> sets) {
  std::vector<GraphKeyEntry> entries;
  for (int k = 0; k < kCurveKinds; ++k)
    entries.push_back({Tr("Figures", kKindNames[k]), {}, -1, kKindColors[k]});
  for (const CurveSet& set : sets)
    entries.push_back({LegendText(set), LegendTextParts(set), set.family, 0});
  return entries;
}

void PaintSetSwatch(QPainter& painter, const QRectF& box, int family, double zoom) {
  const CurveColors c = ColorFamily(family);
  const CurvePattern pattern = PatternOfFamily(family);
  const double step = kSwatchStepPx * zoom;
  double y = box.center().y() - 1.5 * step;
  painter.save();
  for (QRgb color : {c.kerma, c.total, c.primary, c.scatter}) {
    QPen pen(QColor(color), kLinePx * zoom, Qt::SolidLine, Qt::FlatCap);
    if (pattern.off > 0) pen.setDashPattern({double(pattern.on), double(pattern.off)});
    painter.setPen(pen);
    painter.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
    y += step;
  }
  painter.restore();
}

QRectF PaintGraphKey(QPainter& painter, const QRectF& frame, std::span<const GraphKeyEntry> entries,
                     double zoom) {
  const QFont font = ScaledFont(zoom);
  const QFontMetricsF metrics(font);
  const double row = kKeyRowLines * metrics.height();
  const double line = kKeyLinePx * zoom;
  const double gap = kKeyGapPx * zoom;
  const double padding = kKeyPaddingPx * zoom;
  const double margin = kKeyMarginPx * zoom;
  const double most_text = kKeyMostWidth * frame.width() - 2 * padding - line - gap;

  // The kinds two to a row, in two columns as wide as their widest caption.
  std::vector<const GraphKeyEntry*> kinds, sets;
  for (const GraphKeyEntry& e : entries) (e.family < 0 ? kinds : sets).push_back(&e);
  double column[2] = {0, 0};
  for (std::size_t k = 0; k < kinds.size(); ++k)
    column[k % 2] = std::max(column[k % 2], line + gap + metrics.horizontalAdvance(kinds[k]->text));
  double width = column[0] + (kinds.size() > 1 ? 2 * gap + column[1] : 0);
  std::vector<QStringList> set_texts;
  int rows = static_cast<int>((kinds.size() + 1) / 2);
  for (const GraphKeyEntry* e : sets) {
    // A name too long for the graph loses its middle, never its energy or its note.
    set_texts.push_back(LegendLines(metrics, e->parts, most_text));
    for (const QString& text : set_texts.back())
      width = std::max(width, line + gap + metrics.horizontalAdvance(text));
    rows += static_cast<int>(set_texts.back().size());
  }
  const QRectF box(frame.right() - margin - width - 2 * padding, frame.top() + margin,
                   width + 2 * padding, rows * row + 2 * padding);

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(QColor(kKeyEdgeColor), 1));
  QColor back(Qt::white);
  back.setAlpha(kKeyBackAlpha);
  painter.setBrush(back);
  painter.drawRect(box);
  painter.setFont(font);
  const auto caption = [&](double x, double y, const QString& text) {
    painter.setPen(Qt::black);
    painter.drawText(QRectF(x, y, box.right() - padding - x, row), Qt::AlignLeft | Qt::AlignVCenter,
                     text);
  };
  double y = box.top() + padding;
  for (std::size_t k = 0; k < kinds.size(); ++k) {
    const double x = box.left() + padding + (k % 2 == 0 ? 0 : column[0] + 2 * gap);
    const double mid = y + row / 2;
    painter.setPen(QPen(QColor(kinds[k]->color), kLinePx * zoom, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(x, mid), QPointF(x + line, mid));
    caption(x + line + gap, y, kinds[k]->text);
    if (k % 2 == 1 || k + 1 == kinds.size()) y += row;
  }
  for (std::size_t s = 0; s < sets.size(); ++s) {
    const double x = box.left() + padding;
    PaintSetSwatch(painter, QRectF(x, y, line, row), sets[s]->family, zoom);
    for (const QString& text : set_texts[s]) {
      caption(x + line + gap, y, text);
      y += row;
    }
  }
  painter.restore();
  return box;
}

void ShowGraphKey(PictureBox& picture, std::function<std::span<const CurveSet>()> sets) {
  picture.SetOverlay(
      [sets = std::move(sets)](QPainter& painter, const QTransform& to_pixels, double zoom) {
        const QRectF frame = to_pixels.mapRect(
            QRectF(QPointF(kFrameLeft, kFrameTop), QPointF(kFrameRight, kFrameBottom)));
        const std::span<const CurveSet> shown = sets ? sets() : std::span<const CurveSet>();
        PaintPhantomBandLabels(painter, to_pixels, zoom, shown);
        PaintGraphKey(painter, frame.normalized(), GraphKeyEntries(shown), zoom);
      });
}

QStringList CurveTableHeader() {
  QStringList titles;
  for (const char* title : kTableTitles) titles << Tr("CurveSetLegend", title);
  return titles;
}

QStringList CurveTableRowText(const CurveSet& set) {
  const bool english = CurrentLanguage() == Language::kEnglish;
  const CurveTableCells cells = CurveTableText(*set.row, english);
  // Where a slab bends the curve, its d_max is not the number to read: its interfaces are,
  // under its name (TableLegendParts).
  const std::string dmax =
      DmaxIsReadIn(PhantomOfResult(set.file.toStdString(), set.statistics.get()))
          ? cells.dmax
          : std::string("—");
  return {LegendText(set), QString::fromStdString(dmax), QString::fromStdString(cells.surface),
          QString::fromStdString(cells.d10), QString::fromStdString(cells.tpr)};
}

namespace {

// Whether any set's uncertainties are estimated, so that the table needs its note.
bool AnyEstimated(std::span<const CurveSet> sets) {
  for (const CurveSet& set : sets)
    if (!set.row->measured) return true;
  return false;
}

}  // namespace

QString EstimatedNote(std::span<const CurveSet> sets) {
  // A point source's rows are estimated whether or not the run has its statistics: the note
  // says why, rather than that a ".stat" there is missing.
  if (std::any_of(sets.begin(), sets.end(), [](const CurveSet& set) { return set.ssd_cm > 0; }))
    return Tr("CurveSetLegend", "* 推定: 点線源の ± は平行ビームの統計と曲線の雑音の大きい方");
  return Tr("CurveSetLegend",
            "* 推定: 計算の統計ファイル (.stat) がなく、曲線の雑音から見積もった不確かさ");
}

namespace {

// The saved table's columns and each set's name lines at `width` [px].
struct CurveTableLayout {
  QStringList titles;
  std::vector<QStringList> cells;
  std::vector<QStringList> names;
  double widths[kTableColumns] = {};
  double row = 0;
  double name_width = 0;
};

CurveTableLayout LayOutCurveTable(const QFontMetricsF& metrics, std::span<const CurveSet> sets,
                                  double width, double zoom) {
  CurveTableLayout layout;
  layout.row = kTableRowLines * metrics.height();
  const double padding = kKeyPaddingPx * zoom;
  const double line = kKeyLinePx * zoom;
  layout.titles = CurveTableHeader();
  for (const CurveSet& set : sets) layout.cells.push_back(CurveTableRowText(set));
  // The number columns as wide as their widest text; the first takes the rest.
  layout.widths[0] = width;
  for (int c = 1; c < kTableColumns; ++c) {
    layout.widths[c] = metrics.horizontalAdvance(layout.titles[c]);
    for (const QStringList& r : layout.cells)
      layout.widths[c] = std::max(layout.widths[c], metrics.horizontalAdvance(r[c]));
    layout.widths[c] += 2 * padding;
    layout.widths[0] -= layout.widths[c];
  }
  layout.name_width = layout.widths[0] - line - 3 * padding;
  for (const CurveSet& set : sets)
    layout.names.push_back(LegendLines(metrics, TableLegendParts(set), layout.name_width));
  return layout;
}

// Lines of the table: the title, each set's name lines, the note on estimates.
int TableLines(const CurveTableLayout& layout, std::span<const CurveSet> sets) {
  int lines = 1 + (AnyEstimated(sets) ? 1 : 0);
  for (const QStringList& name : layout.names) lines += static_cast<int>(name.size());
  return lines;
}

}  // namespace

int CurveTableHeight(std::span<const CurveSet> sets, double zoom, double width) {
  const QFontMetricsF metrics(ScaledFont(zoom));
  const CurveTableLayout layout = LayOutCurveTable(metrics, sets, width, zoom);
  return static_cast<int>(std::ceil(TableLines(layout, sets) * layout.row)) + 1;
}

void PaintCurveTable(QPainter& painter, const QRectF& area, std::span<const CurveSet> sets,
                     double zoom) {
  const QFont font = ScaledFont(zoom);
  const QFontMetricsF metrics(font);
  const CurveTableLayout layout = LayOutCurveTable(metrics, sets, area.width(), zoom);
  const double row = layout.row;
  const double padding = kKeyPaddingPx * zoom;
  const double line = kKeyLinePx * zoom;

  painter.save();
  painter.setFont(font);
  painter.fillRect(QRectF(area.left(), area.top(), area.width(), row), QColor(kTableTitleBack));
  painter.setPen(QPen(QColor(kTableRuleColor), 1));
  const auto rule = [&](double y) {
    painter.setPen(QPen(QColor(kTableRuleColor), 1));
    painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
  };
  const auto text_in = [&](double x, double w, double y, double h, const QString& text,
                           Qt::Alignment a) {
    painter.setPen(Qt::black);
    const QRectF cell(x + padding, y, w - 2 * padding, h);
    painter.drawText(cell, a | Qt::AlignVCenter, ElidedLegend(metrics, text, cell.width()));
  };
  rule(area.top());
  double x = area.left();
  for (int c = 0; c < kTableColumns; ++c) {
    text_in(x, layout.widths[c], area.top(), row, layout.titles[c],
            c == 0 ? Qt::AlignLeft : Qt::AlignRight);
    x += layout.widths[c];
  }
  double y = area.top() + row;
  rule(y);
  for (std::size_t r = 0; r < layout.cells.size(); ++r) {
    const double height = row * static_cast<double>(layout.names[r].size());
    x = area.left();
    PaintSetSwatch(painter, QRectF(x + padding, y, line, height), sets[r].family, zoom);
    painter.setPen(Qt::black);
    for (qsizetype k = 0; k < layout.names[r].size(); ++k)
      painter.drawText(
          QRectF(x + line + 2 * padding, y + row * static_cast<double>(k), layout.name_width, row),
          Qt::AlignLeft | Qt::AlignVCenter, layout.names[r][k]);
    x += layout.widths[0];
    for (int c = 1; c < kTableColumns; ++c) {
      text_in(x, layout.widths[c], y, height, layout.cells[r][c], Qt::AlignRight);
      x += layout.widths[c];
    }
    y += height;
    rule(y);
  }
  if (AnyEstimated(sets))
    text_in(area.left(), area.width(), y, row, EstimatedNote(sets), Qt::AlignLeft);
  painter.restore();
}

}  // namespace dosavia::gui
