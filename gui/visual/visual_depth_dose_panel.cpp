#include "gui/visual/visual_depth_dose_panel.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>

#include "gui/figures/figure_axes.h"
#include "gui/widgets/form_style.h"
#include "gui/app/language.h"

namespace dosavia::gui {

namespace {

constexpr int kRefreshMs = 100;
// Shown depths [cm]: the side view's range, where the build-up and the fall-off both lie.
constexpr double kShownDepthCm = 20.0;
constexpr double kShownPercent = 120.0;
constexpr double kTextPoints = 12.0;
// The texts' distance from the panel's edges [px].
constexpr double kTextLeft = 8;
constexpr double kTextTop = 4;
// Depth step of the fitted curves [cm].
constexpr double kFitStepCm = 0.05;
const QColor kDoseFill(255, 170, 170);
const QColor kDoseEdge(220, 0, 0);
const QColor kKermaBlue(0, 70, 220);
const QColor kMaxGreen(0, 130, 0);

QString Photons(long long n) { return QLocale(QLocale::English).toString(n); }

}  // namespace

DepthDosePanel::DepthDosePanel(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
  SetTrTitle(this, "DepthDosePanel", QT_TRANSLATE_NOOP("DepthDosePanel", "深部線量"));
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setMinimumSize(420, 320);
  resize(sizeHint());
}

QSize DepthDosePanel::sizeHint() const { return {620, 460}; }

void DepthDosePanel::BeginBatch(double field_side) {
  if (tally_.FieldSide() != field_side) tally_.Clear(field_side);
  since_refresh_.start();
}

void DepthDosePanel::Clear() {
  tally_.Clear(tally_.FieldSide());
  Refresh();
}

void DepthDosePanel::RefreshDuringBatch() {
  if (since_refresh_.isValid() && since_refresh_.elapsed() < kRefreshMs) return;
  since_refresh_.start();
  curve_ = MakeDepthDoseCurve(tally_);
  if (isVisible()) repaint();
}

void DepthDosePanel::Refresh() {
  // Once the batch has returned to the window system, however often it is asked for.
  if (refresh_pending_) return;
  refresh_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    refresh_pending_ = false;
    curve_ = MakeDepthDoseCurve(tally_);
    update();
  });
}

void DepthDosePanel::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

void DepthDosePanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QFont font = DefaultFont(kTextPoints);
  p.setFont(font);
  const double line = QFontMetricsF(font).height();

  // The title and the legend take the two lines above the plot, the axis title and the
  // note the lines under it.
  FigureMargins margins;
  margins.left = 3 * line + 12;
  margins.top = kTextTop + 2.8 * line;
  margins.right = 16;
  margins.bottom = 3.6 * line;
  FigureAxes axes;
  axes.area = margins.Inside(QSizeF(size()));
  axes.x_max = kShownDepthCm;
  axes.x_tick = 5;
  axes.y_max = kShownPercent;
  axes.y_tick = 20;
  axes.y_decimals = 0;
  DrawFigureAxes(p, axes, font, QStringLiteral("depth in water  cm"),
                 QStringLiteral("dose  % of maximum"));
  DrawTitleAndLegend(p, line);
  DrawNote(p, line);
  if (!curve_.has_maximum) return;
  p.save();
  p.setClipRect(axes.area);
  DrawCurves(p, axes);
  p.restore();
  DrawMaximum(p, axes, line);
}

void DepthDosePanel::DrawTitleAndLegend(QPainter& p, double line) const {
  p.setPen(Qt::black);
  // Before the first batch the tally has no field, and so no cylinder, yet.
  const QString title =
      tally_.Radius() > 0
          ? Tr("DepthDosePanel", "深部線量 (照射野中心の半径 %1 cm の円柱内)")
                .arg(QString::number(tally_.Radius(), 'f', 2))
          : Tr("DepthDosePanel", "深部線量");
  p.drawText(QRectF(kTextLeft, kTextTop, width() - 2 * kTextLeft, line),
             Qt::AlignLeft | Qt::AlignVCenter, title);
  DrawFigureLegend(
      p, QPointF(kTextLeft, kTextTop + line),
      {{LegendEntry::Sample::kBar, QPen(kDoseEdge), kDoseFill, Tr("DepthDosePanel", "吸収線量")},
       {LegendEntry::Sample::kLine, QPen(kKermaBlue, 2), {},
        Tr("DepthDosePanel", "一次光子の衝突カーマ")}},
      LegendFlow::kAcross);
}

// The photons behind the curve, and how the curve stands at them, under the axis title.
void DepthDosePanel::DrawNote(QPainter& p, double line) const {
  QString note = Tr("DepthDosePanel", "光子 %1 個").arg(Photons(curve_.photons));
  if (curve_.has_maximum) {
    note += Tr("DepthDosePanel", "   ビン %1 cm").arg(curve_.bin_cm, 0, 'f', 1);
    note += curve_.noise_at_max >= 0 ? Tr("DepthDosePanel", "   d_max の雑音 ±%1 %")
                                           .arg(100 * curve_.noise_at_max, 0, 'f', 1)
                                     : Tr("DepthDosePanel", "   雑音は光子が増えると表示");
  } else {
    note += Tr("DepthDosePanel", "   Go で線量が積み上がります");
  }
  p.setPen(Qt::black);
  p.drawText(QRectF(kTextLeft, height() - line - kTextTop, width() - 2 * kTextLeft, line),
             Qt::AlignLeft | Qt::AlignVCenter, note);
}

// The dose bins as bars and the kerma bins as dots, each with its fitted curve: the fits
// smooth the noise so that the crossing of dose and kerma shows.
void DepthDosePanel::DrawCurves(QPainter& p, const FigureAxes& axes) const {
  const double w = curve_.bin_cm;
  p.setPen(QPen(kDoseEdge, 1));
  p.setBrush(kDoseFill);
  for (std::size_t i = 0; i < curve_.dose.size() && i * w < kShownDepthCm; ++i) {
    const double v = std::min(curve_.dose[i], kShownPercent);
    if (!(v > 0)) continue;
    p.drawRect(QRectF(axes.Map(i * w, v), axes.Map((i + 1) * w, 0)));
  }
  const auto fitted = [&](const std::function<double(double)>& f, double to_cm) {
    QPolygonF points;
    for (double z = 0; z <= to_cm; z += kFitStepCm) points << axes.Map(z, f(z));
    p.drawPolyline(points);
  };
  p.setBrush(Qt::NoBrush);
  if (curve_.dose_fit) {
    p.setPen(QPen(kDoseEdge.darker(130), 2));
    fitted(curve_.dose_fit, kDoseFitDepthCm);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(kKermaBlue);
  for (std::size_t i = 0; i < curve_.kerma.size() && i * w < kShownDepthCm; ++i)
    p.drawEllipse(axes.Map((i + 0.5) * w, curve_.kerma[i]), 2.5, 2.5);
  p.setBrush(Qt::NoBrush);
  if (curve_.kerma_fit) {
    p.setPen(QPen(kKermaBlue, 2));
    fitted(curve_.kerma_fit, kShownDepthCm);
  }
}

// The maximum: a dashed line at its depth, and its depth and dose beside it.
void DepthDosePanel::DrawMaximum(QPainter& p, const FigureAxes& axes, double line) const {
  p.save();
  p.setClipRect(axes.area);
  p.setPen(QPen(kMaxGreen, 2, Qt::DashLine));
  p.drawLine(axes.Map(curve_.d_max_cm, 0), axes.Map(curve_.d_max_cm, 100));
  p.setBrush(kMaxGreen);
  p.drawEllipse(axes.Map(curve_.d_max_cm, 100), 4, 4);
  p.restore();
  p.setPen(kMaxGreen);
  const QPointF top = axes.Map(curve_.d_max_cm, 100);
  const QString label = QString::fromUtf8("d_max %1 cm   D/Φ %2 pGy·cm²")
                            .arg(curve_.d_max_cm, 0, 'f', 1)
                            .arg(curve_.d_max_dose, 0, 'f', 2);
  const double label_width = QFontMetricsF(p.font()).horizontalAdvance(label);
  const double left = std::min(top.x() + 8, axes.area.right() - label_width - 4);
  p.drawText(QRectF(left, axes.Map(0, kShownPercent).y() + 2, label_width + 2, line),
             Qt::AlignLeft | Qt::AlignVCenter, label);
}

}  // namespace dosavia::gui
