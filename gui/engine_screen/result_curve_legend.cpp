#include "gui/engine_screen/result_curve_legend.h"

#include <cstdlib>
#include <utility>

#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMetaObject>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyledItemDelegate>

#include "engine/result_file.h"
#include "models/curve_table.h"
#include "gui/engine_screen/result_graph_key.h"
#include "models/curve_table.h"

#include "gui/base/language.h"

namespace dosavia::gui {

namespace {

constexpr int kSwatchWidth = 30;
constexpr int kSwatchHeight = 14;

// The set's legend mark, as the graph's key and the saved table draw it.
QIcon Swatch(int family) {
  QPixmap pixmap(kSwatchWidth, kSwatchHeight);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  PaintSetSwatch(painter, QRectF(2, 0, kSwatchWidth - 4, kSwatchHeight), family, 1.0);
  return QIcon(pixmap);
}

// Words in place of a number ("at the surface: no build-up") on two lines, broken at the
// space nearest their middle: on one line they widened the d_max column to twice its
// numbers' width and took that from the sets' names, which a 1024x768 screen then cut to
// "4 M…ata". Numbers ("2.88 ± 0.15") stay on one line.
QString NumberCellText(const QString& text) {
  if (text.isEmpty() || text.front().isDigit()) return text;
  qsizetype best = -1;
  for (qsizetype i = text.indexOf(QLatin1Char(' ')); i > 0;
       i = text.indexOf(QLatin1Char(' '), i + 1))
    if (best < 0 || std::abs(i - text.size() / 2) < std::abs(best - text.size() / 2)) best = i;
  if (best < 0) return text;
  QString lines = text;
  lines[best] = QLatin1Char('\n');
  return lines;
}

QTableWidgetItem* NumberItem(const QString& text) {
  auto* item = new QTableWidgetItem(NumberCellText(text));
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

// The set's cell shortened as the graph's key shortens it: the middle of the file's name
// first, so that two files of one beam ("10MV-1M.data", "10MV-1M-noe.data") stay apart.
class SetNameDelegate : public QStyledItemDelegate {
 public:
  explicit SetNameDelegate(CurveSetLegend* legend) : QStyledItemDelegate(legend), legend_(legend) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    const std::vector<CurveSet>& sets = legend_->Sets();
    if (index.row() >= static_cast<int>(sets.size())) return;
    // The style's margins: one each side of the swatch and of the text.
    const QStyle* style = option->widget != nullptr ? option->widget->style() : nullptr;
    const int margin =
        style != nullptr
            ? style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option->widget) + 1
            : 3;
    const double room = option->rect.width() - option->decorationSize.width() - 4 * margin;
    // Without the SSD: every set is in the one geometry the switch just above names, and
    // the room goes to the file's name (the graph's key and the saved table say the SSD).
    CurveSet set = sets[static_cast<std::size_t>(index.row())];
    set.ssd_cm = 0;
    // A name that would lose characters takes two lines, its notes on the second (the row
    // grows), as the graph's key and the saved table show it: the note of the physics
    // switched off stays whole.
    option->text = LegendLines(QFontMetricsF(option->font), TableLegendParts(set), room)
                       .join(QChar(QChar::LineSeparator));
    option->textElideMode = Qt::ElideMiddle;
  }

  // As high as the name's lines at the column's width (two where its notes go under it).
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem at_width = option;
    at_width.rect.setWidth(legend_->columnWidth(index.column()));
    return QStyledItemDelegate::sizeHint(at_width, index);
  }

 private:
  CurveSetLegend* legend_;
};

}  // namespace

void CurveSetLegend::RetranslateUi() {
  // The number columns' titles on two lines ("表面" over "0–1 mm [%]"), so that the columns
  // are as wide as their numbers and the sets' names keep the width a 1024x768 screen has.
  QStringList titles = CurveTableHeader();
  for (int c = kDmax; c < kColumnCount; ++c) {
    const qsizetype space = titles[c].indexOf(QLatin1Char(' '));
    if (space > 0) titles[c][space] = QLatin1Char('\n');
  }
  setHorizontalHeaderLabels(titles);
  horizontalHeaderItem(kDmax)->setToolTip(
      Tr("CurveSetLegend",
         "水吸収線量の最大深：0–12 cm のビルドアップと減衰のモデルのフィット。"
         "± は統計雑音による標準不確かさ"));
  horizontalHeaderItem(kSurface)->setToolTip(
      Tr("CurveSetLegend", "最初のビン（0–1 mm）の線量 / D(d_max)"));
  horizontalHeaderItem(kD10)->setToolTip(
      Tr("CurveSetLegend", "深さ 10 cm の線量（±1 cm の対数直線フィット）/ D(d_max)"));
  horizontalHeaderItem(kTpr)->setToolTip(
      Tr("CurveSetLegend", "10 × 10 cm の D(20)/D(10)（平行ビーム）"));
}

void CurveSetLegend::ShowEstimatedNote() {
  bool estimated = false;
  for (const CurveSet& set : sets_) estimated = estimated || !set.row->measured;
  estimated_note_->setText(EstimatedNote(sets_));
  estimated_note_->setFont(font());
  estimated_note_->setVisible(estimated);
  PlaceEstimatedNote();
}

// The note takes the bottom of the table's frame; the top stays the column titles' (the
// table sets its margins anew on every relayout, so the note's is added after it).
void CurveSetLegend::PlaceEstimatedNote() {
  const bool shown = !estimated_note_->isHidden();
  const int width = contentsRect().width();
  const int height = shown ? estimated_note_->heightForWidth(width) : 0;
  const int top = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->sizeHint().height();
  setViewportMargins(0, top, 0, height);
  const QRect area = viewport()->geometry();
  estimated_note_->setGeometry(area.left(), area.bottom() + 1, area.width(), height);
}

void CurveSetLegend::updateGeometries() {
  QTableWidget::updateGeometries();
  if (estimated_note_ != nullptr) PlaceEstimatedNote();
}

void CurveSetLegend::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  ShowEstimatedNote();
}

void CurveSetLegend::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    RetranslateUi();
    // The rows' texts too ("no electrons", "estimated"): a class that switches language
    // mid-comparison reads every row in one language.
    if (!sets_.empty()) ShowSets(std::vector<CurveSet>(sets_));
  }
  if (estimated_note_ != nullptr &&
      (event->type() == QEvent::LanguageChange || event->type() == QEvent::FontChange))
    ShowEstimatedNote();
  // A zoomed font: the number columns take the width of their texts again, so that
  // "2.88 ± 0.15" is not cut to "2.88 …"
  // (the header's own relayout by the sections' modes, after the font is in effect).
  if (event->type() == QEvent::FontChange)
    QMetaObject::invokeMethod(horizontalHeader(), "resizeSections", Qt::QueuedConnection);
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
  setItemDelegateForColumn(kCurves, new SetNameDelegate(this));
  // A name column grown or shrunk may change which names need two lines.
  connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
    if (column == kCurves) resizeRowsToContents();
  });
  estimated_note_ = new QLabel(this);
  estimated_note_->setObjectName(QStringLiteral("estimated_note"));
  estimated_note_->setWordWrap(true);
  estimated_note_->hide();
}

void CurveSetLegend::ShowSets(std::vector<CurveSet> sets) {
  for (CurveSet& set : sets) {
    for (const CurveSet& shown : sets_)
      if (!set.row && shown.tables == set.tables && shown.field == set.field &&
          shown.statistics == set.statistics && shown.water == set.water) {
        set.row = shown.row;
        set.interfaces = shown.interfaces;
      }
    if (!set.row) set = MeasureSet(std::move(set));
  }
  sets_ = std::move(sets);
  setRowCount(0);
  for (const CurveSet& set : sets_) {
    const QStringList cells = CurveTableRowText(set);
    const int row = rowCount();
    insertRow(row);
    setItem(row, kCurves, new QTableWidgetItem(Swatch(set.family), cells[kCurves]));
    for (int c = kDmax; c < kColumnCount; ++c) setItem(row, c, NumberItem(cells[c]));
    if (!set.row->measured) item(row, kDmax)->setToolTip(EstimatedNote(sets_));
  }
  ShowEstimatedNote();
}

}  // namespace dosavia::gui
