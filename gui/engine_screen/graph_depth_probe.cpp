#include "gui/engine_screen/graph_depth_probe.h"

#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QToolTip>
#include <utility>

#include "gui/base/language.h"
#include "gui/engine_screen/result_curve_sets.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/widgets/picture_box.h"
#include "models/depth_probe.h"

namespace dosavia::gui {

namespace {

class DepthProbe : public QObject {
 public:
  DepthProbe(PictureBox& plot, std::function<std::span<const CurveSet>()> sets,
             std::function<const ResultTables*()> loaded)
      : QObject(&plot), plot_(plot), sets_(std::move(sets)), loaded_(std::move(loaded)) {
    plot.setMouseTracking(true);
    plot.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &plot_ &&
        (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress)) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const QString text =
          DepthProbeText(DepthUnderPointer(plot_, mouse->position().x()), sets_(), loaded_());
      if (text.isEmpty())
        QToolTip::hideText();
      else
        QToolTip::showText(mouse->globalPosition().toPoint(), text, &plot_);
    }
    return false;
  }

 private:
  PictureBox& plot_;
  std::function<std::span<const CurveSet>()> sets_;
  std::function<const ResultTables*()> loaded_;
};

}  // namespace

QString DepthProbeText(double depth_cm, std::span<const CurveSet> sets,
                       const ResultTables* loaded) {
  const int bin = ProbedDepthBin(depth_cm);
  if (bin == 0 || (sets.empty() && loaded == nullptr)) return {};
  const bool english = CurrentLanguage() == Language::kEnglish;
  QString text = QString::fromStdString(DepthProbeHeading(bin, english));
  for (const CurveSet& set : sets) {
    if (!set.tables) continue;
    // A point source's curves are not what the run's groups measured: no ± for them.
    const ProbedSet values =
        ProbeCurveSet(*set.tables, set.field, bin, set.ssd_cm > 0 ? nullptr : set.statistics.get());
    text += QStringLiteral("\n") + LegendText(set) + QStringLiteral(":\n    ") +
            QString::fromStdString(DepthProbeValues(values, english));
  }
  if (sets.empty()) {
    const ProbedSet values = ProbeCurveSet(*loaded, 8, bin, nullptr);
    text += QStringLiteral("\n") + Tr("Figures", "一次線水カーマ") + QStringLiteral(" ") +
            QString::number(values.kerma.percent, 'f', 1) + QStringLiteral(" [%]");
  }
  return text;
}

double DepthUnderPointer(const PictureBox& plot, double x) {
  const double left = plot.ToPixels(kFrameLeft, 0).x();
  const double right = plot.ToPixels(kFrameRight, 0).x();
  if (right <= left) return -1;
  // The frame's 300 units are the 300 one-millimetre bins.
  return (x - left) / (right - left) * (kFrameRight - kFrameLeft) / 10.0;
}

void AttachDepthProbe(PictureBox& plot, std::function<std::span<const CurveSet>()> sets,
                      std::function<const ResultTables*()> loaded) {
  new DepthProbe(plot, std::move(sets), std::move(loaded));
}

}  // namespace dosavia::gui
