#include "gui/widgets/physics_switch_boxes.h"

#include <QCheckBox>
#include <QEvent>

#include <cassert>
#include <iterator>

#include "engine/physics_switch_names.h"
#include "gui/base/language.h"
#include "gui/widgets/form_style.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {

// What switching each part off does to the dose, beside its box: the lesson in one line.
// Coherent scattering and pair production say how little they change here.
struct SwitchTip {
  std::string_view option;
  const char* tip;
};
constexpr SwitchTip kSwitchTips[] = {
    {"electron-transport",
     QT_TRANSLATE_NOOP("PhysicsSwitchBoxes",
                       "切ると、電子と陽電子は光子に動かされたその場でエネルギーを落とします"
                       "（カーマ近似）。ビルドアップ領域が消えます")},
    {"multiple-scattering",
     QT_TRANSLATE_NOOP("PhysicsSwitchBoxes",
                       "切ると、電子は飛程の間まっすぐ進みます。"
                       "狭い照射野では中心軸上の線量が増えます")},
    {"photon-scatter",
     QT_TRANSLATE_NOOP("PhysicsSwitchBoxes",
                       "切ると、散乱した光子は電子に分け前を渡して消えます。"
                       "散乱線量はゼロになります")},
    {"coherent",
     QT_TRANSLATE_NOOP("PhysicsSwitchBoxes",
                       "コヒーレント散乱は 4〜15 MV の深部線量をほとんど変えません")},
    {"pair",
     QT_TRANSLATE_NOOP("PhysicsSwitchBoxes",
                       "電子対生成を切っても 4〜15 MV の深部線量は数パーセントしか変わりません"
                       "（15 MV で最も効きます）")},
};
static_assert(std::size(kSwitchTips) == kPhysicsSwitchNames.size());

}  // namespace

PhysicsSwitchBoxes::PhysicsSwitchBoxes(QWidget* parent, std::initializer_list<int> boxes_per_column,
                                       std::initializer_list<double> column_twips,
                                       double title_twips, double row_twips, double font_points)
    : QGroupBox(parent) {
  assert(boxes_per_column.size() == column_twips.size());
  setFont(DefaultFont(font_points));
  const auto* count = boxes_per_column.begin();
  const auto* width = column_twips.begin();
  double left = kInsideLeftTwips;
  int row = 0;
  for (std::size_t i = 0; i < kPhysicsSwitchNames.size(); ++i) {
    while (count != boxes_per_column.end() && row == *count) {
      left += *width;
      ++count;
      ++width;
      row = 0;
    }
    assert(count != boxes_per_column.end());
    auto* box = new QCheckBox(this);
    PlaceTwips(box, left, title_twips + row * row_twips, *width, row_twips);
    assert(kSwitchTips[i].option == kPhysicsSwitchNames[i].option);
    SetTrToolTip(box, "PhysicsSwitchBoxes", kSwitchTips[i].tip);
    connect(box, &QCheckBox::clicked, this, &PhysicsSwitchBoxes::switched);
    boxes_.push_back(box);
    ++row;
  }
  NameBoxes();
}

PhysicsSwitches PhysicsSwitchBoxes::Switches() const {
  PhysicsSwitches physics;
  for (std::size_t i = 0; i < boxes_.size(); ++i)
    physics.*kPhysicsSwitchNames[i].member = !boxes_[i]->isChecked();
  return physics;
}

void PhysicsSwitchBoxes::SetSwitches(const PhysicsSwitches& physics) {
  for (std::size_t i = 0; i < boxes_.size(); ++i)
    boxes_[i]->setChecked(!(physics.*kPhysicsSwitchNames[i].member));
}

QCheckBox* PhysicsSwitchBoxes::Box(std::string_view option) const {
  for (std::size_t i = 0; i < boxes_.size(); ++i)
    if (kPhysicsSwitchNames[i].option == option) return boxes_[i];
  return nullptr;
}

void PhysicsSwitchBoxes::NameBoxes() {
  const bool english = CurrentLanguage() == Language::kEnglish;
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    const std::string_view name =
        english ? kPhysicsSwitchNames[i].english : kPhysicsSwitchNames[i].japanese;
    boxes_[i]->setText(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  }
}

void PhysicsSwitchBoxes::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) NameBoxes();
  QGroupBox::changeEvent(event);
}

}  // namespace dosavia::gui
