// Legend and value table of the depth-dose graph: one row per drawn curve set with its
// colours, "energy, field, file", and the numbers that compare build-ups: d_max, the dose of
// the surface bin and D(10) relative to D(d_max), and the beam's TPR20,10.
#pragma once

#include <QTableWidget>
#include <vector>

class QLabel;

#include "gui/engine_screen/result_curve_sets.h"

namespace dosavia::gui {

class CurveSetLegend : public QTableWidget {
  Q_OBJECT

 public:
  enum Column { kCurves, kDmax, kSurface, kD10, kTpr, kColumnCount };

  explicit CurveSetLegend(QWidget* parent = nullptr);

  // One row per set, in their order and families (as the result library gives them); a set
  // shown before keeps its measured row rather than being fitted again.
  void ShowSets(std::vector<CurveSet> sets);
  const std::vector<CurveSet>& Sets() const { return sets_; }

 protected:
  // A language switch: the column titles again in the chosen language.
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void updateGeometries() override;

 private:
  void RetranslateUi();
  // The note under the rows that says what "*" means, shown while a set's uncertainties are
  // estimated from its curve alone: a projected or photographed screen has no tooltip.
  void ShowEstimatedNote();
  void PlaceEstimatedNote();
  QLabel* estimated_note_ = nullptr;
  std::vector<CurveSet> sets_;
};

}  // namespace dosavia::gui
