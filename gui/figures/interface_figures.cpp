#include "gui/figures/interface_figures.h"

#include <QColor>
#include <QFile>
#include <QFontMetricsF>
#include <QList>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <string_view>

#include "gui/base/language.h"
#include "gui/figures/figure_axes.h"

namespace dosavia::gui {

namespace {

constexpr const char* kCurvesResource = ":/interface_depth_dose.txt";

// The phantoms' curves by their colour index; water's dashed in the same colour, or black
// where several phantoms share its field.
const std::array<QColor, 3> kColours = {QColor(200, 0, 0), QColor(0, 0, 230), QColor(0, 122, 0)};
// The shading of each material's layer behind the curves.
QColor BandColour(std::string_view material) {
  if (material == "lung") return QColor(255, 228, 225);
  if (material == "bone") return QColor(236, 230, 210);
  if (material == "air") return QColor(225, 240, 255);
  return QColor(225, 245, 225);  // bolus
}

// The word a figure gives a material or a phantom.
QString MaterialName(std::string_view material) {
  if (material == "lung") return Tr("Figures", "肺");
  if (material == "bone") return Tr("Figures", "骨");
  if (material == "air") return Tr("Figures", "空気");
  if (material == "bolus") return Tr("Figures", "ボーラス");
  return Tr("Figures", "水");
}

// The word a figure's legend gives a phantom.
QString PhantomName(std::string_view phantom) {
  if (phantom == "lung") return Tr("Figures", "肺スラブ");
  if (phantom == "bone") return Tr("Figures", "骨スラブ");
  if (phantom == "air") return Tr("Figures", "空気層");
  if (phantom == "bolus") return Tr("Figures", "ボーラス");
  return Tr("Figures", "水");
}

constexpr FigureMargins kMargins{52, 8, 12, 40};
// Height of the legend's rows under the plot [px], and the figure's width from which two
// entries stand in a row.
constexpr double kLegendRow = 16;
constexpr double kTwoColumnLegendWidth = 420;

}  // namespace

const std::optional<InterfaceCurves>& ShippedInterfaceCurves() {
  static const std::optional<InterfaceCurves> curves = []() -> std::optional<InterfaceCurves> {
    QFile file(QString::fromLatin1(kCurvesResource));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray text = file.readAll();
    return ParseInterfaceCurves(std::string_view(text.constData(), text.size()));
  }();
  return curves;
}

InterfaceFigureView::InterfaceFigureView(PageFigure figure, QWidget* parent) : FigureFrame(parent) {
  if (const auto& curves = ShippedInterfaceCurves()) data_ = InterfaceFigureOf(*curves, figure);
}

void InterfaceFigureView::Paint(QPainter& p) {
  if (!data_) {
    p.setPen(Qt::red);
    p.drawText(FigureRect(), Qt::AlignCenter, Tr("Figures", "深部線量データがありません"));
    return;
  }
  // The legend two entries a row where the figure is wide enough, else one.
  const int per_row = FigureSize().width() >= kTwoColumnLegendWidth ? 2 : 1;
  const int legend_rows = (static_cast<int>(data_->curves.size()) + per_row - 1) / per_row;
  // Rows as tall as the figure's font: under the axis numbers and the axis title, which
  // take a line each.
  const double line = QFontMetricsF(FigureFont()).height();
  const double row_height = std::max(kLegendRow, line + 2);
  FigureMargins margins = kMargins;
  margins.bottom = std::max(margins.bottom, 2 * line + 8) + legend_rows * row_height;
  margins.left = std::max(margins.left, FigureAxesLeftRoom(FigureFont(), QStringLiteral("120")));
  // The top number "120" stands centred on the frame's top edge: half a line above it.
  margins.top = std::max(margins.top, line / 2 + 2);
  FigureAxes axes;
  axes.area = margins.Inside(FigureSize());
  axes.y_number_gap = kFigureNumberGap;
  axes.x_max = kInterfaceDepthCm;
  axes.x_tick = 5;
  axes.y_max = 120;
  axes.y_tick = 20;
  axes.y_decimals = 0;

  // The layers first, behind the grid and the curves, each named at its top.
  for (const FigureBand& band : data_->bands) {
    const QRectF box(axes.Map(band.from_cm, axes.y_max), axes.Map(band.to_cm, 0));
    p.fillRect(box, BandColour(band.material));
  }
  DrawFigureAxes(p, axes, FigureFont(), Tr("Figures", "表面からの深さ (cm)"),
                 Tr("Figures", "相対線量 (%)"));
  p.setPen(QColor(90, 90, 90));
  // Each band's name at its top, the next one a line lower, so that a thin layer's name
  // (the bolus beside the bone) does not run into the next.
  for (std::size_t k = 0; k < data_->bands.size(); ++k) {
    const FigureBand& band = data_->bands[k];
    const QPointF top = axes.Map(band.from_cm, axes.y_max) + QPointF(3, 2 + kLegendRow * k);
    p.drawText(QRectF(top, QSizeF(90, kLegendRow)), Qt::AlignLeft | Qt::AlignTop,
               MaterialName(band.material));
  }

  QList<LegendEntry> legend;
  p.setBrush(Qt::NoBrush);
  for (const InterfaceFigureCurve& curve : data_->curves) {
    const QColor colour = curve.colour >= 0
                              ? kColours[static_cast<std::size_t>(curve.colour) % kColours.size()]
                              : QColor(Qt::black);
    QPen pen(colour, curve.water ? 1.4 : 2.0);
    if (curve.water) pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    QPainterPath path;
    for (std::size_t i = 0; i < data_->depth_cm.size() && i < curve.values.size(); ++i) {
      const QPointF at = axes.Map(data_->depth_cm[i], std::min(curve.values[i], axes.y_max));
      if (i == 0)
        path.moveTo(at);
      else
        path.lineTo(at);
    }
    p.drawPath(path);
    legend.append({LegendEntry::Sample::kLine,
                   pen,
                   {},
                   QString::fromUtf8("%1 %2×%2 cm²")
                       .arg(PhantomName(curve.water ? std::string_view("water") : curve.phantom))
                       .arg(curve.side_cm)});
  }
  const double top = axes.area.bottom() + std::max(34.0, 2 * line + 8);
  for (int row = 0; row < legend_rows; ++row) {
    const QList<LegendEntry> pair = legend.mid(per_row * row, per_row);
    DrawFigureLegend(p, QPointF(axes.area.left(), top + row * row_height), pair,
                     LegendFlow::kAcross);
  }
}

}  // namespace dosavia::gui
