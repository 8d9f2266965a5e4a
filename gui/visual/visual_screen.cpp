#include "gui/visual/visual_screen.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <optional>
#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <exception>
#include <iterator>
#include <vector>
#include <string>
#include <utility>

#include "gui/base/navigation.h"
#include "gui/visual/visual_depth_dose_panel.h"
#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
#include "gui/base/message_text.h"
#include "gui/widgets/icons.h"
#include "gui/visual/visual_batch_run.h"
#include "gui/widgets/physics_switch_boxes.h"
#include "gui/widgets/picture_box.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"
#include "gui/widgets/typed_number.h"
#include "models/typed_text.h"
#include "models/visual_session.h"
#include "physics/electron_data.h"

namespace dosavia::gui {

namespace {

const char kWarnPhotonCount[] = QT_TRANSLATE_NOOP("VisualScreen", " 入射光子数を再入力して下さい ");

}  // namespace

VisualScreen::VisualScreen(QWidget* parent)
    : QWidget(parent, Qt::Window), session_(std::make_unique<VisualSession>()) {
  SetUpWindow();
}

VisualScreen::~VisualScreen() = default;
void VisualScreen::PrepareForShow() {
  session_->Init();
  ShowOpeningValues();
}

void VisualScreen::ShowOpeningValues() {
  photon_count_box->setText(QString::fromUtf8(kVisualOpening.photons));
  for (const auto& [combo, text] :
       {std::pair{energy_box, QString::fromUtf8(kVisualOpening.energy)},
        std::pair{field_box, QString::fromUtf8(kVisualOpening.field)}}) {
    combo->setCurrentIndex(combo->findText(text));
    combo->setEditText(text);
  }
  // The field lines show the field in the box, not the one of the last visit.
  if (const FieldChoice* shown = FindFieldChoice(field_box->currentText().toStdString()))
    MoveFieldEdgeLines(shown->side);
  step_display_box->setChecked(kVisualOpening.step_display);
  SetZoomed(kVisualOpening.zoomed);
  depth_dose_box->setChecked(kVisualOpening.depth_dose_shown);
  physics_switches->SetSwitches(kVisualOpening.physics);
  accurate_box->setChecked(kVisualOpening.physics.accurate_transport);
  physics_switches->setEnabled(true);
  ShowPhantom();
  speed_slider->setValue(speed_slider->maximum());
  seed_typed_ = false;
  seed_box->clear();
  ShowSession();
}

void VisualScreen::ShowSession() {
  // A series started anew: its tracks and histogram go with it.
  if (shown_series_ != session_->NewSeries()) {
    shown_series_ = session_->NewSeries();
    side_view->Clear();
    zoomed_side_view->Clear();
    side_view_tracks_.Forget();
    spectrum_histogram->Clear();
    photon_energy_label->setText(QString());
  }
  total_count_label->setText(QString::number(session_->TotalPhotons()));
  FollowSettingBoxes();
  depth_dose_panel->Refresh();
}

void VisualScreen::OnConfirmSettings() {
  const QString field = PlainTypedText(field_box->currentText());
  const QString file = energy_box->currentText() + QStringLiteral("MV.csv");
  ConfirmRefusal refusal = ConfirmRefusal::kNone;
  try {
    refusal = session_->Confirm(energy_box->currentText().toStdString(), field.toStdString());
  } catch (const std::exception& error) {
    // Without a whole spectrum the screen stays in the Settings state.
    ShowExclamation(
        this,
        FileProblemMessage(
            Tr("VisualScreen", "スペクトルファイル %1 を読み込めません。").arg(ShownText(file)),
            error));
    return;
  }
  // The field as typed with x, X, * or full-width digits is the item it plainly means; any
  // other text is refused here, so that the picture always shows the field in the box.
  if (refusal == ConfirmRefusal::kField) {
    ShowExclamation(this, Tr("VisualScreen",
                             " 照射野サイズ「%1」は選べません。\n"
                             " 1×1, 2×2, 3×3, 4×4, 5×5, 6×6, 8×8, 10×10 から選んで下さい ")
                              .arg(ShownText(field_box->currentText())));
    return;
  }
  const double side = session_->Simulation().FieldSide();
  MoveFieldEdgeLines(side);
  field_box->setEditText(QString::fromUtf8(FindFieldChoice(field.toStdString())->item));
  ShowSession();
  go_button->setFocus();
}

void VisualScreen::FollowSettingBoxes() {
  // A batch keeps the settings it began with; its end sets the buttons.
  if (session_->Running()) return;
  session_->ShowSettings(energy_box->currentText().toStdString(),
                         PlainTypedText(field_box->currentText()).toStdString());
  ok_button->setEnabled(session_->CanConfirm());
  go_button->setEnabled(session_->CanGo());
  single_button->setEnabled(session_->CanStepOne());
}

void VisualScreen::MoveFieldEdgeLines(double side) {
  const QLineF edge = side_view->LineAt(field_edge_upper);
  side_view->MoveLine(field_edge_upper, edge.x1(), -side / 2, edge.x2(), -side / 2);
  side_view->MoveLine(field_edge_lower, edge.x1(), side / 2, edge.x2(), side / 2);
  const QLineF zoomed_edge = zoomed_side_view->LineAt(zoomed_field_edge_upper);
  zoomed_side_view->MoveLine(zoomed_field_edge_upper, zoomed_edge.x1(), -side / 2, zoomed_edge.x2(),
                             -side / 2);
  zoomed_side_view->MoveLine(zoomed_field_edge_lower, zoomed_edge.x1(), side / 2, zoomed_edge.x2(),
                             side / 2);
}

void VisualScreen::OnGo() {
  if (session_->Running()) return;
  const long long photons = BatchPhotonsOf(PlainTypedText(photon_count_box->text()).toStdString());
  if (photons < 1) {
    ShowExclamation(this, Tr("VisualScreen", kWarnPhotonCount));
    return;
  }
  const bool step = step_display_box->isChecked();
  const double rate = StepRate();
  const double seconds = session_->ExpectedSeconds(photons, step, rate);
  if (VisualSession::AsksFirst(seconds) &&
      !AskToGoOn(this,
                 Tr("VisualScreen",
                    " 入射光子数 %1 の計算には約 %2 かかります。\n"
                    " 途中で止めるには Stop を押して下さい。実行しますか？ ")
                     .arg(photons)
                     .arg(DurationText(seconds)),
                 Tr("VisualScreen", "実行"), Tr("VisualScreen", "やめる")))
    return;
  RunBatch(photons);
}

void VisualScreen::OnSinglePhoton() {
  if (!session_->CanStepOne()) return;
  if (session_->Running()) {
    ++single_steps_;
    return;
  }
  one_photon_batch_ = true;
  RunBatch(1);
  one_photon_batch_ = false;
  ShowPauseButtons();
  if (single_button->isEnabled()) single_button->setFocus();
}

void VisualScreen::OnPause() {
  if (session_->State() == VisualState::kRunning)
    session_->Pause();
  else
    session_->Resume();
  ShowPauseButtons();
}

void VisualScreen::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && event->key() == Qt::Key_P && pause_button->isEnabled()) {
    OnPause();
  } else if (plain && event->key() == Qt::Key_N && single_button->isEnabled()) {
    OnSinglePhoton();
  } else {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
}

void VisualScreen::ShowPauseButtons() {
  const bool paused = session_->State() == VisualState::kPaused;
  pause_button->setEnabled(session_->Running());
  SetTrText(pause_button, "VisualScreen",
            paused ? QT_TRANSLATE_NOOP("VisualScreen", "再開")
                   : QT_TRANSLATE_NOOP("VisualScreen", "一時停止"));
  // A batch of one keeps the button, and the keyboard on it, so that it is pressed again.
  single_button->setEnabled(session_->CanStepOne() || one_photon_batch_);
}

void VisualScreen::RunBatch(long long photons) {
  const bool step = step_display_box->isChecked();
  const double rate = StepRate();
  const std::string seed_text =
      seed_typed_ ? PlainTypedText(seed_box->text()).trimmed().toStdString() : std::string();
  if (!session_->BeginBatch(seed_text)) {
    ShowExclamation(this,
                    Tr("VisualScreen", " 乱数の種「%1」は 0 から %2 までの整数で入れて下さい ")
                        .arg(ShownText(seed_box->text()))
                        .arg(kMaxRunSeed));
    return;
  }
  seed_box->setText(QString::number(*session_->SeriesSeed()));
  // Its first digits in view, should a large font still cut it.
  seed_box->setCursorPosition(0);
  SetBatchRunning(true);
  QElapsedTimer clock;
  clock.start();
  stop_requested_ = false;
  single_steps_ = 0;
  qint64 paused_ms = 0;
  const long long done = RunVisualBatch(
      {*session_, *side_view, *zoomed_side_view, *spectrum_histogram, *photon_energy_label,
       depth_dose_box->isChecked() ? depth_dose_panel : nullptr, &photons_per_second_,
       total_count_label, step, &stop_requested_, &single_steps_, &paused_ms, &side_view_tracks_},
      photons);
  session_->EndBatch();
  // A batch of one times the screen's drawing more than the simulation: no estimate from it.
  if (photons > 1) session_->LearnSpeed(step, rate, done, (clock.elapsed() - paused_ms) / 1000.0);
  total_count_label->setText(QString::number(session_->TotalPhotons()));
  SetBatchRunning(false);
  if (leave_after_batch_) {
    leave_after_batch_ = false;
    OnBackToMenu();
  }
}

void VisualScreen::OnStop() {
  if (session_->Running()) stop_requested_ = true;
}

double VisualScreen::StepRate() const {
  return kStepSpeeds[std::clamp(speed_slider->value(), 0, speed_slider->maximum())];
}

void VisualScreen::OnReset() {
  if (session_->Running()) return;
  session_->Reset();
  ShowOpeningValues();
}

void VisualScreen::OnGraphClear() {
  if (session_->Running()) return;
  session_->GraphClear();
  ShowSession();
}

void VisualScreen::SwitchPhysics() {
  // The boxes are disabled while a batch runs, whose photons keep the physics they began with.
  if (session_->Running()) return;
  PhysicsSwitches physics = physics_switches->Switches();
  if (accurate_box->isChecked()) {
    physics = {};
    physics.accurate_transport = true;
  }
  try {
    session_->SwitchPhysics(physics);
  } catch (const std::exception& error) {
    // Without its data the accurate transport cannot run: the exact one goes on.
    accurate_box->setChecked(false);
    ShowExclamation(this,
                    FileProblemMessage(Tr("VisualScreen", "%1 を読み込めません")
                                           .arg(QString::fromLatin1(kAccurateElectronDataFile)),
                                       error));
  }
  physics_switches->setEnabled(!accurate_box->isChecked());
  ShowTrackKey();
  ShowSession();
}

void VisualScreen::ShowTrackKey() {
  const bool accurate = session_->Physics().accurate_transport;
  for (const TrackKey& key : track_keys_) {
    key.picture->SetLabelText(key.delta_ray,
                              accurate ? Tr("VisualScreen", "デルタ線の飛跡") : QString());
    key.picture->SetLabelText(key.bremsstrahlung,
                              accurate ? Tr("VisualScreen", "制動放射光子の飛跡") : QString());
  }
}

void VisualScreen::OnShowSpectrum() { ShowSpectrumPage(); }

void VisualScreen::OnToggleZoom() { SetZoomed(!Zoomed()); }

bool VisualScreen::Zoomed() const { return !zoomed_side_view->isHidden(); }

void VisualScreen::SetZoomed(bool zoomed) {
  zoomed_side_view->setVisible(zoomed);
  // The button shows the state, pressed in and "ON" while the magnified view is shown: the
  // label 拡大表示 above it reads as a switch, and a caption of the next action ("OFF" while
  // shown) was read as the state.
  zoom_button->setChecked(zoomed);
  zoom_button->setText(zoomed ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

void VisualScreen::OnBackToMenu() {
  if (session_->Running()) return;
  ShowMainMenu();
  hide();
  HideSpectrumPage();
}

void VisualScreen::SetBatchRunning(bool running) {
  // Stop takes the focus first, so that Go, when disabled, hands it to nothing else; one
  // photon keeps it through its batch of one.
  stop_button->setEnabled(running);
  if (running && !one_photon_batch_) stop_button->setFocus();
  for (QPushButton* button : {reset_button, go_button, graph_clear_button, back_button})
    button->setEnabled(!running);
  physics_switches->setEnabled(!running && !accurate_box->isChecked());
  accurate_box->setEnabled(!running && !session_->HasPhantom());
  phantom_box->setEnabled(!running);
  if (running)
    ok_button->setEnabled(false);
  else
    FollowSettingBoxes();
  ShowPauseButtons();
  // After a batch the keyboard is on Go again: Space runs the next batch.
  if (!running && !one_photon_batch_) go_button->setFocus();
}

void VisualScreen::closeEvent(QCloseEvent* event) {
  // The title bar's close button returns to the menu, as the return icon does; during a
  // batch it stops the batch first.
  event->ignore();
  if (session_->Running()) {
    leave_after_batch_ = true;
    stop_requested_ = true;
    return;
  }
  OnBackToMenu();
}

}  // namespace dosavia::gui
