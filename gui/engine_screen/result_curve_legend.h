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

  // Adds a row for `set`, giving it the next colour family; returns the set as added.
  // A set of the same result and field already in the table is not added twice: it is
  // returned as it is.
  const CurveSet& AddSet(CurveSet set);
  // Empties the table; the next set gets the first family again.
  void ClearSets();
  const std::vector<CurveSet>& Sets() const { return sets_; }

 protected:
  // A language switch: the column titles again in the chosen language.
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void RetranslateUi();
  // The note under the rows that says what "*" means, shown while a set's uncertainties are
  // estimated from its curve alone: a projected or photographed screen has no tooltip.
  void ShowEstimatedNote();
  QLabel* estimated_note_ = nullptr;
  std::vector<CurveSet> sets_;
  int next_family_ = 0;
};

}  // namespace dosavia::gui
