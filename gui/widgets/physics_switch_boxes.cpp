#include "gui/widgets/physics_switch_boxes.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>

#include <algorithm>

#include <cassert>
#include <iterator>

#include "engine/physics_switch_names.h"
#include "gui/base/language.h"
#include "gui/widgets/form_scaler.h"
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
    {"multiple-scattering", QT_TRANSLATE_NOOP("PhysicsSwitchBoxes",
                                              "切ると、電子は飛程の間まっすぐ進みます。"
                                              "狭い照射野では中心軸上の線量が増えます")},
    {"photon-scatter", QT_TRANSLATE_NOOP("PhysicsSwitchBoxes",
                                         "切ると、散乱した光子は電子に分け前を渡して消えます。"
                                         "散乱線量はゼロになります")},
    {"coherent", QT_TRANSLATE_NOOP("PhysicsSwitchBoxes",
                                   "コヒーレント散乱は 4〜15 MV の深部線量をほとんど変えません")},
    {"pair",
     QT_TRANSLATE_NOOP("PhysicsSwitchBoxes",
                       "電子対生成を切っても 4〜15 MV の深部線量は数パーセントしか変わりません"
                       "（15 MV で最も効きます）")},
};
static_assert(std::size(kSwitchTips) == kPhysicsSwitchNames.size());

// Room a check box takes beside its text: the indicator and the gap after it [twips].
constexpr double kIndicatorTwips = 360;

}  // namespace

PhysicsSwitchBoxes::PhysicsSwitchBoxes(QWidget* parent, std::initializer_list<int> boxes_per_column,
                                       double columns_twips, double title_twips, double row_twips,
                                       double font_points)
    : QGroupBox(parent),
      boxes_per_column_(boxes_per_column),
      columns_twips_(columns_twips),
      title_twips_(title_twips),
      row_twips_(row_twips),
      font_points_(font_points) {
  setFont(DefaultFont(font_points));
  for (std::size_t i = 0; i < kPhysicsSwitchNames.size(); ++i) {
    auto* box = new QCheckBox(this);
    assert(kSwitchTips[i].option == kPhysicsSwitchNames[i].option);
    SetTrToolTip(box, "PhysicsSwitchBoxes", kSwitchTips[i].tip);
    connect(box, &QCheckBox::clicked, this, &PhysicsSwitchBoxes::switched);
    boxes_.push_back(box);
  }
  NameBoxes();
  PlaceBoxes();
}

QLabel* PhysicsSwitchBoxes::AddNote(const char* context, const char* source) {
  note_ = new QLabel(this);
  SetTrText(note_, context, source);
  PlaceBoxes();
  return note_;
}

void PhysicsSwitchBoxes::PlaceBoxes() {
  // Each column's need: its widest text at the design size, and the box's indicator.
  const QFontMetricsF metrics(DefaultFont(font_points_));
  const double twips_per_px = kTwipsPerInch / LogicalDpi();
  std::vector<double> need;
  std::vector<std::vector<QWidget*>> columns;
  std::size_t next = 0;
  for (const int count : boxes_per_column_) {
    columns.emplace_back();
    double widest = 0;
    for (int row = 0; row < count && next < boxes_.size(); ++row, ++next) {
      columns.back().push_back(boxes_[next]);
      widest = std::max(
          widest, metrics.horizontalAdvance(boxes_[next]->text()) * twips_per_px + kIndicatorTwips);
    }
    need.push_back(widest);
  }
  assert(next == boxes_.size());
  if (note_ != nullptr) {
    columns.back().push_back(note_);
    need.back() = std::max(need.back(), metrics.horizontalAdvance(note_->text()) * twips_per_px);
  }
  double total = 0;
  for (double n : need) total += n;
  double left = kInsideLeftTwips;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const double width = columns_twips_ * need[k] / total;
    for (std::size_t row = 0; row < columns[k].size(); ++row)
      RegisterTwips(columns[k][row], left, title_twips_ + static_cast<double>(row) * row_twips_,
                    width, row_twips_);
    left += width;
  }
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
  if (event->type() == QEvent::LanguageChange) {
    NameBoxes();
    // The note in the new language before the columns are shared out by it.
    if (note_ != nullptr) RetranslateTexts(note_);
    PlaceBoxes();
  }
  QGroupBox::changeEvent(event);
}

}  // namespace dosavia::gui
