// The visual screen's slab phantom: the box of presets forwarded to the session, and the
// phantom in force shown (the box, the resting physics boxes, the bands under the tracks
// of both side views and under the depth-dose panel's curve).
#include <QCheckBox>
#include <QComboBox>

#include <exception>
#include <string>

#include "gui/base/language.h"
#include "gui/base/message_box.h"
#include "gui/base/message_text.h"
#include "gui/visual/phantom_bands_view.h"
#include "gui/visual/visual_depth_dose_panel.h"
#include "gui/visual/visual_screen.h"
#include "gui/widgets/physics_switch_boxes.h"
#include "gui/widgets/picture_box.h"
#include "models/phantom_presets.h"
#include "models/visual_session.h"

namespace dosavia::gui {

void VisualScreen::ChoosePhantom() {
  if (session_->Running()) return;
  const std::string key = phantom_box->currentData().toString().toStdString();
  try {
    session_->ChoosePhantom(key);
  } catch (const std::exception& error) {
    // A material's data that cannot be read: the phantom in force goes on.
    ShowExclamation(
        this, FileProblemMessage(
                  Tr("VisualScreen", "ファントム %1 を使えません").arg(phantom_box->currentText()),
                  error));
  }
  ShowPhantom();
  ShowSession();
}

void VisualScreen::ShowPhantom() {
  const bool english = CurrentLanguage() == Language::kEnglish;
  for (int i = 0; i < phantom_box->count(); ++i) {
    const PhantomPreset* preset =
        FindPhantomPreset(phantom_box->itemData(i).toString().toStdString());
    if (preset == nullptr) continue;
    const std::string_view name = english ? preset->name_en : preset->name_ja;
    phantom_box->setItemText(i,
                             QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  }
  const int shown = phantom_box->findData(QString::fromStdString(session_->PhantomLink()));
  phantom_box->setCurrentIndex(shown >= 0 ? shown : 0);
  // In a phantom the accurate transport runs: its box ticked and resting, the switches too;
  // back in water they show the physics the session gave back.
  const bool in_phantom = session_->HasPhantom();
  const bool running = session_->Running();
  physics_switches->SetSwitches(session_->Physics());
  accurate_box->setChecked(session_->Physics().accurate_transport);
  accurate_box->setEnabled(!running && !in_phantom);
  physics_switches->setEnabled(!running && !in_phantom && !accurate_box->isChecked());
  phantom_box->setEnabled(!running);
  TintSideView(*side_view, session_->Bands());
  TintSideView(*zoomed_side_view, session_->Bands());
  ShowTrackKey();
  depth_dose_panel->update();
}

}  // namespace dosavia::gui
