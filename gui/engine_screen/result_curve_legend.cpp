#include "gui/engine_screen/result_curve_legend.h"

#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include "engine/result_file.h"
#include "models/curve_table.h"

#include <algorithm>
#include "gui/app/language.h"

namespace dosavia::gui {

namespace {

constexpr int kSwatchWidth = 30;
constexpr int kSwatchHeight = 14;

// Three short lines, total over primary over scatter, in the set's colours and pattern, as
// the set's legend mark.
QIcon Swatch(const CurveColors& c, const CurvePattern& pattern) {
  QPixmap pixmap(kSwatchWidth, kSwatchHeight);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  int y = 2;
  for (QRgb color : {c.total, c.primary, c.scatter}) {
    QPen pen(QColor(color), 2, Qt::SolidLine, Qt::FlatCap);
    // The graph's pattern in bins of 2 px, as a dash pattern in pen widths.
    if (pattern.off > 0) pen.setDashPattern({pattern.on / 1.0, pattern.off / 1.0});
    painter.setPen(pen);
    painter.drawLine(2, y, kSwatchWidth - 3, y);
    y += 5;
  }
  return QIcon(pixmap);
}

// "2.88 ± 0.15": d_max with the uncertainty of its fit, so that two runs whose numbers
// differ by less than that are not read as different.
QTableWidgetItem* DmaxItem(const CurveTableRow& row) {
  QString text = row.dmax_cm > 0 ? QString::number(row.dmax_cm, 'f', 2) : QStringLiteral("—");
  if (row.dmax_cm > 0 && row.dmax_sigma_cm >= 0)
    text += QString::fromUtf8(" ± ") + QString::number(std::max(0.01, row.dmax_sigma_cm), 'f', 2);
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

QTableWidgetItem* NumberItem(double value, int decimals) {
  auto* item = new QTableWidgetItem(value > 0 ? QString::number(value, 'f', decimals)
                                              : QStringLiteral("—"));
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

}  // namespace

void CurveSetLegend::RetranslateUi() {
  setHorizontalHeaderLabels({Tr("CurveSetLegend", "エネルギー, 照射野, ファイル"),
                             QStringLiteral("d_max [cm]"), Tr("CurveSetLegend", "表面 [%]"),
                             QStringLiteral("D10/Dmax [%]"), QStringLiteral("TPR20,10")});
  horizontalHeaderItem(kDmax)->setToolTip(
      Tr("CurveSetLegend",
         "水吸収線量の最大深：最大付近の 3 次式フィット。± は統計雑音による標準不確かさ"));
  horizontalHeaderItem(kSurface)->setToolTip(
      Tr("CurveSetLegend", "最初のビン（0–1 mm）の線量 / D(d_max)"));
  horizontalHeaderItem(kD10)->setToolTip(
      Tr("CurveSetLegend", "深さ 10 cm の線量（±1 cm の対数直線フィット）/ D(d_max)"));
  horizontalHeaderItem(kTpr)->setToolTip(
      Tr("CurveSetLegend", "10 × 10 cm の D(20)/D(10)（平行ビーム）"));
}

void CurveSetLegend::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QTableWidget::changeEvent(event);
}

CurveSetLegend::CurveSetLegend(QWidget* parent) : QTableWidget(0, kColumnCount, parent) {
  RetranslateUi();
  horizontalHeader()->setSectionResizeMode(kCurves, QHeaderView::Stretch);
  for (int c = kDmax; c < kColumnCount; ++c)
    horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  setWordWrap(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::NoSelection);
  setIconSize(QSize(kSwatchWidth, kSwatchHeight));
}

const CurveSet& CurveSetLegend::AddSet(CurveSet set) {
  for (const CurveSet& s : sets_)
    if (s.tables == set.tables && s.field == set.field) return s;
  set.family = next_family_++;
  sets_.push_back(set);

  const CurveTableRow values = MeasureCurveSet(*set.tables, set.field);
  const int row = rowCount();
  insertRow(row);
  setItem(row, kCurves,
          new QTableWidgetItem(Swatch(ColorFamily(set.family), PatternOfFamily(set.family)),
                               LegendText(set)));
  setItem(row, kDmax, DmaxItem(values));
  setItem(row, kSurface, NumberItem(values.surface_percent, 1));
  setItem(row, kD10, NumberItem(values.d10_percent, 1));
  setItem(row, kTpr, NumberItem(values.tpr2010, 3));
  return sets_.back();
}

void CurveSetLegend::ClearSets() {
  sets_.clear();
  next_family_ = 0;
  setRowCount(0);
}

}  // namespace dosavia::gui
