// The parts of the physics a lesson can switch off, as a group of check boxes: one per
// entry of the engine's own list (kPhysicsSwitchNames), in its order and named as the
// engine's console and the legends name them, in the interface language. A ticked box
// switches its part off; all unticked is the full physics.
#pragma once

#include <QGroupBox>

#include <initializer_list>
#include <string_view>
#include <vector>

#include "physics/physics_switches.h"

class QCheckBox;
class QEvent;

namespace dosavia::gui {

class PhysicsSwitchBoxes : public QGroupBox {
  Q_OBJECT

 public:
  // The boxes fill the columns top to bottom, left to right: `boxes_per_column` of them in
  // each, the columns `column_twips` wide, under a title row of `title_twips`, each box a
  // row of `row_twips` [twips]. The group's texts are set in `font_points`.
  PhysicsSwitchBoxes(QWidget* parent, std::initializer_list<int> boxes_per_column,
                     std::initializer_list<double> column_twips, double title_twips,
                     double row_twips, double font_points);

  // The parts in force as the boxes stand.
  PhysicsSwitches Switches() const;
  // Ticks the boxes of the parts that are off in `physics`, without emitting switched().
  void SetSwitches(const PhysicsSwitches& physics);

  // Left edge of the first column inside the group [twips].
  static constexpr double kInsideLeftTwips = 120;

  // The box of a --without word (electron-transport, ...); null for an unknown word.
  QCheckBox* Box(std::string_view option) const;

 signals:
  // The user ticked or unticked a box.
  void switched();

 protected:
  // A language switch: the boxes take the names of the chosen language.
  void changeEvent(QEvent* event) override;

 private:
  void NameBoxes();

  std::vector<QCheckBox*> boxes_;  // in the order of kPhysicsSwitchNames
};

}  // namespace dosavia::gui
