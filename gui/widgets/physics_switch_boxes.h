// The parts of the physics a lesson can switch off, as a group of check boxes: one per
// entry of the engine's own list (kPhysicsSwitchNames), in its order and named as the
// engine's console and the legends name them, in the interface language. A ticked box
// switches its part off; all unticked is the full physics.
//
// The names are longer in English than in Japanese ("electron and positron transport"):
// the columns share the group's width in proportion to the widest text of each in the
// language shown, and are laid out again when the language changes, so that every name
// has the same share of room to spare for the least readable size.
#pragma once

#include <QGroupBox>

#include <initializer_list>
#include <string_view>
#include <vector>

#include "physics/physics_switches.h"

class QCheckBox;
class QEvent;
class QLabel;

namespace dosavia::gui {

class PhysicsSwitchBoxes : public QGroupBox {
  Q_OBJECT

 public:
  // The boxes fill the columns top to bottom, left to right: `boxes_per_column` of them in
  // each, the columns together `columns_twips` wide, under a title row of `title_twips`,
  // each box a row of `row_twips` [twips]. The group's texts are set in `font_points`.
  PhysicsSwitchBoxes(QWidget* parent, std::initializer_list<int> boxes_per_column,
                     double columns_twips, double title_twips, double row_twips,
                     double font_points);

  // A grey note in the free row under the last column's boxes, `source` a text of the
  // translation context `context`; its column is as wide as the note needs too.
  QLabel* AddNote(const char* context, const char* source);

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
  // Places the boxes and the note in columns shared out by their texts' widths.
  void PlaceBoxes();

  std::vector<QCheckBox*> boxes_;  // in the order of kPhysicsSwitchNames
  std::vector<int> boxes_per_column_;
  double columns_twips_;
  double title_twips_;
  double row_twips_;
  double font_points_;
  QLabel* note_ = nullptr;
};

}  // namespace dosavia::gui
