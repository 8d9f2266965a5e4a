#include "gui/visual/visual_depth_dose_panel.h"

#include <QPushButton>
#include <QResizeEvent>

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>

#include "gui/figures/figure_axes.h"
#include "gui/visual/phantom_bands_view.h"
#include "gui/widgets/form_style.h"
#include "engine/physics_switch_names.h"
#include "gui/base/language.h"
#include "models/dmax_uncertainty.h"

namespace dosavia::gui {

namespace {

constexpr int kRefreshMs = 100;
// The jackknife of d_max refits the curve once per history group; during a batch it is
// remade less often than the curve, so that the tracks are not slowed.
constexpr int kSigmaRefreshMs = 600;
// Shown depths [cm]: the side view's range, where the build-up and the fall-off both lie.
constexpr double kShownDepthCm = 20.0;
// The dose axis reaches 120 %, above the noise of a curve with its build-up. Without
// electron transport the first bins lie far above the fit's maximum (the kerma of the
// surface, deposited where the photons interact): the axis then grows in steps of its ticks,
// up to 200 %, and a bar still higher is cut with a mark.
constexpr double kShownPercent = 120.0;
constexpr double kMostShownPercent = 200.0;
constexpr double kPercentTick = 40.0;
// The mark on a bar cut at the frame's top [px at 100 %].
constexpr double kCutMarkHalfWidth = 4.0;
constexpr double kCutMarkHeight = 6.0;
// Large enough to read from the back of a classroom at the screen's fit on a 1024x768
// projector, where the panel is drawn at about 0.85 of its design size.
constexpr double kTextPoints = 12.5;
// The texts' distance from the panel's edges [px].
constexpr double kTextLeft = 6;
constexpr double kTextTop = 2;
// Depth step of the fitted curves [cm].
constexpr double kFitStepCm = 0.05;
const QColor kDoseFill(255, 170, 170);
const QColor kDoseEdge(220, 0, 0);
const QColor kKermaBlue(0, 70, 220);
// The primary part of the dose: a staircase over the bars, apart from the red and the blue.
const QColor kPrimaryOrange(235, 125, 0);
constexpr double kPrimaryWidth = 2.0;
const QColor kMaxGreen(0, 130, 0);
// A maximum not yet known well enough: its fit and its depth in grey, without a marker.
const QColor kUnsettledGrey(120, 120, 120);
// The curve before the last physics switch: faint, dotted, behind the bars.
const QColor kReferenceGrey(90, 90, 90, 140);
constexpr double kReferenceWidth = 2.5;
// Dots and gaps of the reference line [pen widths].
const QList<qreal> kReferenceDashes = {0.8, 1.6};
// Length of the line sample before the reference's name [px].
constexpr double kReferenceSample = 24;
const QColor kReferenceGround(255, 255, 255, 220);

QString Photons(long long n) { return QLocale(QLocale::English).toString(n); }

}  // namespace

DepthDosePanel::DepthDosePanel(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
  SetTrTitle(this, "DepthDosePanel", QT_TRANSLATE_NOOP("DepthDosePanel", "深部線量"));
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  keep_button = new QPushButton(this);
  SetTrText(keep_button, "DepthDosePanel", QT_TRANSLATE_NOOP("DepthDosePanel", "この曲線を残す"));
  keep_button->setFont(DefaultFont());  // the form's buttons' face, zoomed with them
  keep_button->setEnabled(false);
  connect(keep_button, &QPushButton::clicked, this, &DepthDosePanel::KeepCurve);
  // The form sets the button's font for its zoom: its size follows the text.
  keep_button->installEventFilter(this);
  resize(sizeHint());
  PlaceKeepButton();
}

void DepthDosePanel::KeepCurve() {
  if (session_ == nullptr || !session_->KeepCurve()) return;
  Refresh();
}

void DepthDosePanel::PlaceKeepButton() {
  // Sized for its text in the font the form gives it, at the top right corner, no taller
  // than the title's line, so that the legend under it stays whole.
  const QSize hint = keep_button->sizeHint();
  const int margin = static_cast<int>(std::lround(4 * zoom_));
  const int height = std::min(hint.height(), keep_button->fontMetrics().height() + 4);
  keep_button->setGeometry(width() - hint.width() - margin, 1, hint.width(), height);
}

bool DepthDosePanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == keep_button && event->type() == QEvent::FontChange) PlaceKeepButton();
  return QWidget::eventFilter(watched, event);
}

void DepthDosePanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceKeepButton();
}

// The room of the spectrum histogram and its energy axis on the visual screen at 100 %.
QSize DepthDosePanel::sizeHint() const { return {460, 286}; }

void DepthDosePanel::SetZoom(double zoom) {
  if (!(zoom > 0) || zoom == zoom_) return;
  zoom_ = zoom;
  PlaceKeepButton();
  update();
}

void DepthDosePanel::SetSession(VisualSession* session) {
  session_ = session;
  Refresh();
}

const VisualDepthDose& DepthDosePanel::Tally() const {
  static const VisualDepthDose kEmpty;
  return session_ != nullptr ? session_->Tally() : kEmpty;
}

const PhysicsSwitches& DepthDosePanel::Physics() const {
  static const PhysicsSwitches kAllOn;
  return session_ != nullptr ? session_->Physics() : kAllOn;
}

const DepthDoseCurve& DepthDosePanel::Reference() const {
  static const DepthDoseCurve kNone;
  return session_ != nullptr ? session_->Reference() : kNone;
}

const PhysicsSwitches& DepthDosePanel::ReferencePhysics() const {
  static const PhysicsSwitches kAllOn;
  return session_ != nullptr ? session_->ReferencePhysics() : kAllOn;
}

void DepthDosePanel::BeginBatch() {
  since_refresh_.start();
  since_sigma_.start();
  refresh_gap_ms_ = kRefreshMs;
  sigma_gap_ms_ = kSigmaRefreshMs;
}

void DepthDosePanel::Remake(bool with_sigma) {
  reading_ = session_ != nullptr ? session_->ReadCurve(with_sigma) : DepthDoseReading{};
  keep_button->setEnabled(session_ != nullptr && !session_->Running() &&
                          reading_.curve.has_maximum && static_cast<bool>(reading_.curve.dose_fit));
}

void DepthDosePanel::RefreshDuringBatch() {
  if (since_refresh_.isValid() && since_refresh_.elapsed() < refresh_gap_ms_) return;
  const bool with_sigma = !since_sigma_.isValid() || since_sigma_.elapsed() >= sigma_gap_ms_;
  QElapsedTimer cost;
  cost.start();
  Remake(with_sigma);
  if (isVisible()) repaint();
  // On a slow machine a reading (its fits over the history groups) can take longer than the
  // interval between readings, and the batch would do little else: the panel takes at most
  // about a quarter of the batch's time, waiting three times a reading's cost before the next.
  const qint64 spent = cost.elapsed();
  if (with_sigma)
    sigma_gap_ms_ = std::max<qint64>(kSigmaRefreshMs, 3 * spent);
  else
    refresh_gap_ms_ = std::max<qint64>(kRefreshMs, 3 * spent);
  since_refresh_.start();
  if (with_sigma) since_sigma_.start();
}

void DepthDosePanel::Refresh() {
  // Once the batch has returned to the window system, however often it is asked for.
  if (refresh_pending_) return;
  refresh_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    refresh_pending_ = false;
    Remake(true);
    update();
  });
}

double DepthDosePanel::ShownPercent() const {
  double highest = 0;
  if (reading_.curve.has_maximum)
    for (std::size_t i = 0;
         i < reading_.curve.dose.size() && i * reading_.curve.bin_cm < kShownDepthCm; ++i)
      highest = std::max({highest, reading_.curve.dose[i],
                          i < reading_.curve.primary.size() ? reading_.curve.primary[i] : 0.0});
  double top = kShownPercent;
  while (top < highest && top < kMostShownPercent) top += kPercentTick;
  return top;
}

void DepthDosePanel::closeEvent(QCloseEvent* event) {
  event->accept();
  emit closed();
}

void DepthDosePanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  // Drawn at the design size and scaled as a whole with the screen, text and lines alike.
  p.scale(zoom_, zoom_);
  const QSizeF size = DesignSize();
  const QFont font = DefaultFont(kTextPoints);
  p.setFont(font);
  const double line = QFontMetricsF(font).height();

  // The title and the legend take the two lines above the plot; the tick numbers with the
  // depth's title at their right, and the note, the two lines under it.
  FigureMargins margins;
  margins.left = 2.2 * line;
  margins.top = kTextTop + 2.6 * line;
  margins.right = 12;
  margins.bottom = 2.2 * line;
  FigureAxes axes;
  axes.area = margins.Inside(size);
  axes.x_max = kShownDepthCm;
  axes.x_tick = 5;
  axes.y_max = ShownPercent();
  axes.y_tick = kPercentTick;
  axes.y_decimals = 0;
  DrawFigureAxes(p, axes, font, QString(), QString());
  // A slab phantom's layers under the curve, named under the legend.
  if (session_ != nullptr)
    PaintPhantomBands(
        p, session_->Bands(), axes.area, [&axes](double z) { return axes.Map(z, 0).x(); },
        axes.area.top() + 2);
  p.setPen(Qt::black);
  const QString depth_title = QStringLiteral("cm");
  // The units between the last two numbers of each axis, where no number stands.
  const QPointF depth_unit = axes.Map(kShownDepthCm - axes.x_tick / 2, 0);
  p.drawText(QRectF(depth_unit.x() - 30, axes.area.bottom() + 1, 60, line), Qt::AlignCenter,
             depth_title);
  const QPointF dose_unit = axes.Map(0, axes.y_max - axes.y_tick / 2);
  p.drawText(QRectF(0, dose_unit.y() - line / 2, axes.area.left() - 4, line),
             Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%"));
  DrawTitleAndLegend(p, line);
  DrawNote(p, line);
  if (reading_.curve.has_maximum) {
    p.save();
    p.setClipRect(axes.area);
    DrawCurves(p, axes);
    p.restore();
  }
  // Over the bars, which would hide it, and under the maximum's label.
  DrawReference(p, axes, line);
  if (reading_.curve.has_maximum) DrawMaximum(p, axes, line);
}

void DepthDosePanel::DrawTitleAndLegend(QPainter& p, double line) const {
  p.setPen(Qt::black);
  const double width = DesignSize().width() - 2 * kTextLeft;
  // Before the first field is confirmed the tally has no cylinder yet.
  QString title = Tally().Radius() > 0 ? Tr("DepthDosePanel", "深部線量 (中心の半径 %1 cm の円柱)")
                                             .arg(QString::number(Tally().Radius(), 'f', 2))
                                       : Tr("DepthDosePanel", "深部線量");
  // The beam it shows, so that a projected picture says which one.
  if (session_ != nullptr && !session_->BeamName().empty())
    title = QString::fromStdString(session_->BeamName()) + QStringLiteral("  ") + title;
  const QFontMetricsF metrics(p.font());
  // The title gives the keep button its room at the right.
  const double room = std::max(0.0, width - (keep_button->width() + 6) / zoom_);
  p.drawText(QRectF(kTextLeft, kTextTop, room, line), Qt::AlignLeft | Qt::AlignVCenter,
             metrics.elidedText(title, Qt::ElideRight, room));
  DrawFigureLegend(
      p, QPointF(kTextLeft, kTextTop + line),
      {{LegendEntry::Sample::kBar, QPen(kDoseEdge), kDoseFill, Tr("DepthDosePanel", "吸収線量")},
       {LegendEntry::Sample::kLine,
        QPen(kPrimaryOrange, kPrimaryWidth),
        {},
        Tr("DepthDosePanel", "一次線量")},
       {LegendEntry::Sample::kLine,
        QPen(kKermaBlue, 2.5),
        {},
        Tr("DepthDosePanel", "一次光子の衝突カーマ")}},
      LegendFlow::kAcross);
}

// The photons behind the curve and the bin width, on the bottom line.
void DepthDosePanel::DrawNote(QPainter& p, double line) const {
  QString note = Tr("DepthDosePanel", "光子 %1 個").arg(Photons(reading_.curve.photons));
  if (reading_.curve.has_maximum) {
    note += Tr("DepthDosePanel", "   ビン %1 cm").arg(reading_.curve.bin_cm, 0, 'f', 1);
    if (reading_.curve.noise_at_max >= 0)
      note +=
          Tr("DepthDosePanel", "   雑音 ±%1 %").arg(100 * reading_.curve.noise_at_max, 0, 'f', 1);
  } else {
    note += Tr("DepthDosePanel", "   Go で線量が積み上がります");
  }
  const QSizeF size = DesignSize();
  p.setPen(Qt::black);
  p.drawText(QRectF(kTextLeft, size.height() - line - kTextTop, size.width() - 2 * kTextLeft, line),
             Qt::AlignLeft | Qt::AlignVCenter, note);
}

// The reference's fitted dose as a faint dotted line, with its name at the bottom right of
// the plot, on a white ground so that it reads over the bars.
void DepthDosePanel::DrawReference(QPainter& p, const FigureAxes& axes, double line) const {
  const DepthDoseCurve& reference = Reference();
  if (!reference.has_maximum || !reference.dose_fit) return;
  QPen pen(kReferenceGrey, kReferenceWidth);
  pen.setDashPattern(kReferenceDashes);
  p.save();
  p.setClipRect(axes.area);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  QPolygonF points;
  for (double z = 0; z <= kDoseFitDepthCm; z += kFitStepCm)
    points << axes.Map(z, reference.dose_fit(z));
  p.drawPolyline(points);
  p.restore();

  const QString name = session_ != nullptr && !session_->KeptBeamName().empty()
                           ? Tr("DepthDosePanel", "残した曲線: %1")
                                 .arg(QString::fromStdString(session_->KeptBeamName()))
                       : ReferencePhysics().accurate_transport
                           ? Tr("DepthDosePanel", "切替前: 精密な電子輸送")
                       : ReferencePhysics().AllOn()
                           ? Tr("DepthDosePanel", "切替前: すべての物理")
                           : Tr("DepthDosePanel", "切替前: %1 なし")
                                 .arg(QString::fromStdString(SwitchedOffText(
                                     ReferencePhysics(), CurrentLanguage() == Language::kEnglish)));
  const QFontMetricsF metrics(p.font());
  const double room = axes.area.width() - kReferenceSample - 12;
  const QString shown = metrics.elidedText(name, Qt::ElideRight, room);
  const double width = metrics.horizontalAdvance(shown);
  const double right = axes.area.right() - 4;
  const double middle = axes.area.bottom() - 0.7 * line;
  p.fillRect(QRectF(right - width - 10 - kReferenceSample, middle - line / 2,
                    width + 12 + kReferenceSample, line),
             kReferenceGround);
  p.setPen(pen);
  p.drawLine(QPointF(right - width - 6 - kReferenceSample, middle),
             QPointF(right - width - 6, middle));
  p.setPen(kUnsettledGrey);
  p.drawText(QRectF(right - width, middle - line / 2, width + 1, line),
             Qt::AlignLeft | Qt::AlignVCenter, shown);
}

// The dose bins as bars and the kerma bins as dots, each with its fitted curve: the fits
// smooth the noise so that the crossing of dose and kerma shows. Fits of a curve the screen
// cannot read yet are drawn thin and dashed (FitsAreFirm): their shape is not yet the curve's. The
// primary dose is the bins' staircase: against the kerma it shows transient equilibrium, and the
// bars above it are the dose of the scattered photons.
void DepthDosePanel::DrawCurves(QPainter& p, const FigureAxes& axes) const {
  const double w = reading_.curve.bin_cm;
  p.setPen(QPen(kDoseEdge, 1));
  p.setBrush(kDoseFill);
  QPolygonF cut_marks;
  for (std::size_t i = 0; i < reading_.curve.dose.size() && i * w < kShownDepthCm; ++i) {
    const double v = std::min(reading_.curve.dose[i], axes.y_max);
    if (!(v > 0)) continue;
    p.drawRect(QRectF(axes.Map(i * w, v), axes.Map((i + 1) * w, 0)));
    if (reading_.curve.dose[i] > axes.y_max) {
      const QPointF top = axes.Map((i + 0.5) * w, axes.y_max);
      cut_marks << top << top + QPointF(kCutMarkHalfWidth, kCutMarkHeight)
                << top + QPointF(-kCutMarkHalfWidth, kCutMarkHeight) << top;
    }
  }
  // A bar higher than the frame points on upwards.
  if (!cut_marks.isEmpty()) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kDoseEdge);
    for (qsizetype k = 0; k + 3 < cut_marks.size(); k += 4) p.drawPolygon(cut_marks.mid(k, 3));
    p.restore();
  }
  QPolygonF stairs;
  for (std::size_t i = 0; i < reading_.curve.primary.size() && i * w < kShownDepthCm; ++i) {
    const double v = std::min(reading_.curve.primary[i], axes.y_max);
    stairs << axes.Map(i * w, v) << axes.Map((i + 1) * w, v);
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kPrimaryOrange, kPrimaryWidth));
  p.drawPolyline(stairs);
  const auto fitted = [&](const std::function<double(double)>& f, double to_cm) {
    QPolygonF points;
    for (double z = 0; z <= to_cm; z += kFitStepCm) points << axes.Map(z, f(z));
    p.drawPolyline(points);
  };
  p.setBrush(Qt::NoBrush);
  if (reading_.curve.dose_fit) {
    p.setPen(reading_.fits_firm ? QPen(kDoseEdge.darker(130), 2.5)
                                : QPen(kUnsettledGrey, 1.5, Qt::DashLine));
    fitted(reading_.curve.dose_fit, kDoseFitDepthCm);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(kKermaBlue);
  for (std::size_t i = 0; i < reading_.curve.kerma.size() && i * w < kShownDepthCm; ++i)
    p.drawEllipse(axes.Map((i + 0.5) * w, reading_.curve.kerma[i]), 2.5, 2.5);
  p.setBrush(Qt::NoBrush);
  if (reading_.curve.kerma_fit) {
    p.setPen(reading_.fits_firm ? QPen(kKermaBlue, 2.5)
                                : QPen(kKermaBlue.lighter(150), 1.5, Qt::DashLine));
    fitted(reading_.curve.kerma_fit, kShownDepthCm);
  }
}

// The maximum with its uncertainty over the plot. Known well enough: a dashed green line at
// its depth, a band of one standard uncertainty either side and a dot. Still wandering: the
// depth in grey with the word that it is not yet sure, and no marker.
void DepthDosePanel::DrawMaximum(QPainter& p, const FigureAxes& axes, double line) const {
  // A curve that starts at its maximum has no d_max to mark: it is said in words instead.
  const bool settled = reading_.settled;
  const double dmax_sigma = reading_.sigma_cm;
  QString label;
  switch (reading_.verdict) {
    case DepthDoseReading::Verdict::kTooFew:
      label = Tr("DepthDosePanel", "d_max: 光子が少なすぎてまだ読めない");
      break;
    case DepthDoseReading::Verdict::kNoBuildUp:
      label = Tr("DepthDosePanel", "表面で最大: ビルドアップなし");
      break;
    case DepthDoseReading::Verdict::kSlab:
      label = Tr("DepthDosePanel", "スラブでは d_max なし (境界の値はエンジン画面で)");
      break;
    case DepthDoseReading::Verdict::kDmax:
      label = reading_.sigma_text.empty()
                  ? QStringLiteral("d_max %1 cm").arg(QString::fromStdString(reading_.dmax_text))
                  : QString::fromUtf8("d_max %1 ± %2 cm")
                        .arg(QString::fromStdString(reading_.dmax_text),
                             QString::fromStdString(reading_.sigma_text));
      if (!settled) label += Tr("DepthDosePanel", "  (まだ不確か)");
      break;
    case DepthDoseReading::Verdict::kEmpty: return;
  }
  if (settled) {
    p.save();
    p.setClipRect(axes.area);
    const QPointF low = axes.Map(reading_.curve.d_max_cm - dmax_sigma, 0);
    const QPointF high = axes.Map(reading_.curve.d_max_cm + dmax_sigma, 100);
    p.fillRect(QRectF(QPointF(low.x(), high.y()), QPointF(high.x(), low.y())),
               QColor(0, 130, 0, 40));
    p.setPen(QPen(kMaxGreen, 2, Qt::DashLine));
    p.drawLine(axes.Map(reading_.curve.d_max_cm, 0), axes.Map(reading_.curve.d_max_cm, 100));
    p.setBrush(kMaxGreen);
    p.drawEllipse(axes.Map(reading_.curve.d_max_cm, 100), 4, 4);
    p.restore();
  }
  p.setPen(settled ? kMaxGreen : kUnsettledGrey);
  const QPointF top = axes.Map(reading_.builds_up ? reading_.curve.d_max_cm : 0.0, 100);
  const double label_width = QFontMetricsF(p.font()).horizontalAdvance(label);
  const double left =
      std::max(axes.area.left() + 4, std::min(top.x() + 8, axes.area.right() - label_width - 4));
  // On a light ground over the bars, which reach the frame's top while d_max is uncertain.
  const QRectF place(left, axes.area.top() + 1, label_width + 2, line);
  p.fillRect(place.adjusted(-3, 0, 3, 0), kReferenceGround);
  p.drawText(place, Qt::AlignLeft | Qt::AlignVCenter, label);
}

}  // namespace dosavia::gui
