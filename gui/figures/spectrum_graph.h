// The spectrum page's graph: the shipped X-ray spectra, read from their files each time the
// page is shown, drawn against photon energy as vectors.
#pragma once

#include <QColor>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <vector>

#include "gui/figures/figure_frame.h"

namespace dosavia {
struct FreeFormatSpectrum;
}  // namespace dosavia

namespace dosavia::gui {

// One spectrum as drawn: points (energy [MeV], photons per bin relative to the largest bin).
struct SpectrumCurve {
  QString label;  // "10 MV"
  QColor color;
  std::vector<QPointF> points;
  double end_point_mev = 0;  // energy of the last bin with photons [MeV]
};

// The records of a spectrum file scaled to its largest bin.
SpectrumCurve CurveOf(const FreeFormatSpectrum& spectrum);

class SpectrumGraph : public FigureFrame {
  Q_OBJECT

 public:
  explicit SpectrumGraph(QWidget* parent = nullptr);

  // Reads the four spectrum files ("4MV.csv", "6MV.csv", "10MV.csv", "15MV.csv") from the
  // working directory again and repaints. A file that cannot be read is left out of the
  // graph and named in a note on it.
  void Reload();

  const std::vector<SpectrumCurve>& Curves() const { return curves_; }
  // The files that could not be read at the last Reload, with the reason.
  const QStringList& Problems() const { return problems_; }

 protected:
  void Paint(QPainter& p) override;

 private:
  std::vector<SpectrumCurve> curves_;
  QStringList problems_;
};

}  // namespace dosavia::gui
