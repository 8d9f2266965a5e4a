// The visual screen's controls and pictures as it lays them out and decorates them; its
// behaviour, forwarding to the session, is in visual_screen.cpp.
#include "gui/visual/visual_screen.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <optional>
#include <QCloseEvent>
#include <QEvent>
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
#include "gui/base/preferences.h"
#include "gui/widgets/icons.h"
#include "gui/visual/track_ruler.h"
#include "gui/visual/visual_batch_run.h"
#include "gui/widgets/physics_switch_boxes.h"
#include "gui/widgets/picture_box.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"
#include "gui/widgets/typed_number.h"
#include "models/phantom_presets.h"
#include "models/typed_text.h"
#include "models/visual_session.h"

namespace dosavia::gui {

namespace {

const QColor kLightGrey(192, 192, 192);
const QColor kFieldEdgeBlue(0, 0, 255);
const QColor kCaptionRed(255, 0, 0);
const QColor kNoteGrey(96, 96, 96);

// The physics switches sit under the beam settings, the accurate-transport box in a row of
// its own under them; everything under them, and the form, is this much lower than it
// would be without them [twips].
constexpr double kAccurateBox[] = {180, 5085, 6990, 330};
constexpr double kAccurateRowTwips = 360;
// The phantom's row under the accurate box: its name and its box of presets [twips].
constexpr double kPhantomRowTwips = 390;
constexpr double kPhantomLabel[] = {180, 5445, 1500, 345};
constexpr double kPhantomBox[] = {1680, 5445, 5400, 345};
constexpr double kSwitchRowsTwips = 1440 + kAccurateRowTwips + kPhantomRowTwips;
// The rows at the form's foot sit only the switches' group lower: the spectrum and the
// depth-dose panel give the accurate box's row, so that the form is no taller than without it
// and its English names keep the least readable size at 1024x768.
constexpr double kFootRowsTwips = kSwitchRowsTwips - kAccurateRowTwips - kPhantomRowTwips;
constexpr double kFormWidthTwips = 18000;
constexpr double kFormHeightTwips = 11190 + kFootRowsTwips;
// The group of switches: two columns of 3 and 2 boxes [twips], in a smaller face than the
// form's [pt]; the group reaches out to the side view, so that the longest English name
// has room at the least readable size on a 1024x768 projector.
constexpr double kSwitchGroup[] = {60, 3690, 7125, 1380};
constexpr double kSwitchColumnsTwips = 6990;
constexpr double kSwitchRowTwips = 330;
constexpr double kSwitchPoints = 11.0;

// The side view takes the form's whole height: 25 cm of lateral axis over its first
// 10695 twips, and more of the sides at the same cm per twip over the rows below.
constexpr double kSideViewTwips[] = {7200, 240, 10455, 10695 + kFootRowsTwips};
constexpr double kSideViewHeightCm = 25.0 * kSideViewTwips[3] / 10695;

// User scales of the pictures (left, top, width, height).
constexpr double kSideViewScale[] = {-4.4, -kSideViewHeightCm / 2, 24.4, kSideViewHeightCm};
constexpr double kSpectrumScale[] = {-3.0, 102.0, 155.0, -106.0};

// Histogram frame and grid [user units].
constexpr double kFrameWidth = 150.0;
constexpr double kFrameHeight = 100.0;
constexpr double kGridStep = 10.0;

// Text inside and under the pictures, readable from the back of a classroom [pt].
constexpr double kDecorationPoints = 12.0;
// The raised "2" of cm² [pt].
constexpr double kSuperscriptPoints = 9.0;
constexpr double kSuperscriptRoomPoints = 15.0;
// Width of a label sized to its text, as a multiple of the text's width at 100 %.
constexpr double kAutoLabelRoom = 1.1;

const char kSwitchNote[] =
    QT_TRANSLATE_NOOP("VisualScreen",
                      "切り替えると Graph clear し、直前の曲線を薄く残します。"
                      "コヒーレント散乱と電子対生成は 4〜15 MV ではほとんど変わりません。");

// A label that takes the size of its text, as an auto-sized label does.
// Sizes a label to its text with a little room past it: on a 1024x768 projector (84 %) the
// text is set at the least readable size, a few per cent above its scaled size.
void FitWithRoom(QLabel* label) {
  label->adjustSize();
  label->resize(static_cast<int>(std::ceil(label->width() * kAutoLabelRoom)), label->height());
}

QLabel* MakeAutoLabel(QWidget* parent, const char* text, double left, double top) {
  auto* label = new QLabel(parent);
  SetTrText(label, "VisualScreen", text);
  FitWithRoom(label);
  label->move(TwipsToPixels(left), TwipsToPixels(top));
  return label;
}

// A white read-only display label with a thin sunken border.
void MakeDisplay(QLabel* label) {
  label->setAutoFillBackground(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, Qt::white);
  label->setPalette(palette);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setIndent(TwipsToPixels(60));
}

}  // namespace

void VisualScreen::SetUpWindow() {
  // The context of the screen's texts, which the translation file and the browser edition
  // share.
  SetWindowTrContext(this, "VisualScreen");
  setWindowTitle(QStringLiteral(" Dose Build-up Phenomenon in High-energy X-ray irradiation"));
  setFont(DefaultFont());
  resize(TwipsRect(0, 0, kFormWidthTwips, kFormHeightTwips).size());
  CreateControls();
  MakeScalable(this, kFormWidthTwips, kFormHeightTwips);
  CentreOnScreen(this);
}

// The controls in the order the screen stacks them: titles, settings, batch buttons and
// displays, then the pictures over them.
void VisualScreen::CreateControls() {
  CreateTitles();
  CreateSettingControls();
  CreatePhysicsSwitches();
  CreateBatchControls();
  CreatePictures();

  back_button = new QPushButton(this);
  PlaceTwips(back_button, 0, 10560 + kFootRowsTwips, 615, 615);
  back_button->setIcon(QIcon(ExitIcon()));
  back_button->setIconSize(QSize(kIconSize, kIconSize));
  SetTrToolTip(back_button, "VisualScreen", QT_TRANSLATE_NOOP("VisualScreen", "メニューへ戻る"));

  // The boxes lie over the unit labels that share their row; the zoom button reaches into
  // the side view and stays on top of it.
  field_box->raise();
  energy_box->raise();
  zoom_button->raise();

  connect(ok_button, &QPushButton::clicked, this, &VisualScreen::OnConfirmSettings);
  connect(reset_button, &QPushButton::clicked, this, &VisualScreen::OnReset);
  connect(go_button, &QPushButton::clicked, this, &VisualScreen::OnGo);
  connect(graph_clear_button, &QPushButton::clicked, this, &VisualScreen::OnGraphClear);
  connect(spectrum_button, &QPushButton::clicked, this, &VisualScreen::OnShowSpectrum);
  connect(zoom_button, &QPushButton::clicked, this, &VisualScreen::OnToggleZoom);
  connect(back_button, &QPushButton::clicked, this, &VisualScreen::OnBackToMenu);
  connect(stop_button, &QPushButton::clicked, this, &VisualScreen::OnStop);
  connect(pause_button, &QPushButton::clicked, this, &VisualScreen::OnPause);
  connect(single_button, &QPushButton::clicked, this, &VisualScreen::OnSinglePhoton);
  for (QComboBox* box : {energy_box, field_box})
    connect(box, &QComboBox::currentTextChanged, this, &VisualScreen::FollowSettingBoxes);
  CreateDepthDoseControls();
}

void VisualScreen::CreateTitles() {
  const QFont title_font = DefaultFont(kDefaultFontPoints, true);
  QLabel* const upper_title = MakeLabel(
      this, QT_TRANSLATE_NOOP("VisualScreen", "高エネルギーＸ線照射における"), 600, 240, 4425, 465);
  QLabel* const middle_title =
      MakeLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "吸収線量（電子）ビルドアップ現象"), 600,
                720, 5055, 465);
  QLabel* const lower_title =
      MakeLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "モンテカルロ ビジュアル シミュレーション"),
                600, 1200, 5595, 420);
  for (QLabel* title : {upper_title, middle_title, lower_title}) title->setFont(title_font);
}

// The energy with its spectrum button, the field size with its unit, and the zoom button.
void VisualScreen::CreateSettingControls() {
  MakeLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "Ｘ線エネルギー"), 360, 1920, 2445, 465);
  QLabel* const energy_unit = MakeLabel(this, "MV", 3840, 1920, 975, 495);
  energy_unit->setAlignment(Qt::AlignCenter);
  energy_box = MakeEditableCombo(this, {"4", "6", "10", "15"}, 2760, 1920, 1215, 540);
  spectrum_button =
      MakeButton(this, QT_TRANSLATE_NOOP("VisualScreen", "Ｘ線スペクトル"), 4920, 1920, 1935, 495);

  MakeLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "平行ビーム入射とする"), 360, 2520, 2835, 495);
  MakeLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "照射野サイズ"), 360, 3120, 2415, 495);
  QLabel* const field_unit = MakeAutoLabel(this, "  cm", 4080, 3120);
  // Centred on the field box's text line, like "MV" beside the energy box.
  field_unit->resize(field_unit->width(), TwipsToPixels(540));
  field_unit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The raised "2" of cm² follows the unit directly, whatever the font's width of "  cm".
  QLabel* const field_unit_square = MakeAutoLabel(this, "2", 4560, 3120);
  // Sized for a larger digit than its own, which leaves the superscript room to be shown at
  // the least readable size on a projector.
  field_unit_square->setFont(DefaultFont(kSuperscriptRoomPoints));
  field_unit_square->adjustSize();
  field_unit_square->setFont(DefaultFont(kSuperscriptPoints));
  field_unit_square->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Right after the unit's text, not after the room its label keeps past it.
  field_unit_square->move(
      field_unit->x() + field_unit->fontMetrics().horizontalAdvance(field_unit->text()) + 1,
      field_unit_square->y() + TwipsToPixels(60));
  // Wide enough for "10×10" at the least readable size on a 1024x768 projector.
  field_box = MakeEditableCombo(this, {}, 2760, 3120, 1455, 540);
  for (const FieldChoice& choice : VisualFieldChoices())
    field_box->addItem(QString::fromUtf8(choice.item));

  // The zoom button ends above the physics switches' group, which spans the column, and a
  // pixel short of the side view's frame (side_view starts at 7200).
  MakeAutoLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "拡大"), 6600, 2520);
  MakeAutoLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "表示"), 6600, 2790);
  zoom_button = MakeButton(this, "OFF", 6480, 3150, 690, 495);
  zoom_button->setCheckable(true);
  // Beside the zoom, the other choice of how the tracks are shown: the fade, on unless the
  // teacher switched it off (a class that wants the whole pattern of a long run kept).
  fade_box = new QCheckBox(this);
  fade_box->setObjectName(QStringLiteral("fade_box"));
  SetTrText(fade_box, "VisualScreen", QT_TRANSLATE_NOOP("VisualScreen", "古い飛跡を薄く"));
  PlaceTwips(fade_box, 3240, 2520, 3180, 495);
  fade_box->setChecked(Preference(kTrackFadeKey, true).toBool());
  side_view_tracks_.fade.SetFading(fade_box->isChecked());
  connect(fade_box, &QCheckBox::toggled, this, [this](bool fading) {
    side_view_tracks_.fade.SetFading(fading);
    SetPreference(kTrackFadeKey, fading);
  });
}

// The physics switches under the beam settings: what the next photons are simulated with.
// A switch starts a new curve, keeping the last one as the panel's reference.
void VisualScreen::CreatePhysicsSwitches() {
  physics_switches = new PhysicsSwitchBoxes(this, {3, 2}, kSwitchColumnsTwips, kSwitchRowTwips,
                                            kSwitchRowTwips, kSwitchPoints);
  PlaceTwips(physics_switches, kSwitchGroup[0], kSwitchGroup[1], kSwitchGroup[2], kSwitchGroup[3]);
  SetTrText(physics_switches, "VisualScreen", QT_TRANSLATE_NOOP("VisualScreen", "物理を切る実験"));
  SetTrToolTip(physics_switches, "VisualScreen", kSwitchNote);
  // Under coherent scattering and pair production, in the free cell of their column.
  QLabel* const switch_note = physics_switches->AddNote(
      "VisualScreen", QT_TRANSLATE_NOOP("VisualScreen", "(4〜15 MV では効果わずか)"));
  SetTrToolTip(switch_note, "VisualScreen", kSwitchNote);
  QPalette note = switch_note->palette();
  note.setColor(QPalette::WindowText, kNoteGrey);
  switch_note->setPalette(note);
  connect(physics_switches, &PhysicsSwitchBoxes::switched, this, &VisualScreen::SwitchPhysics);
  // Not a part switched off but the way electrons are followed; the switches rest while it
  // is ticked (their experiments are made on the exact transport).
  accurate_box = new QCheckBox(this);
  accurate_box->setFont(DefaultFont(kSwitchPoints));
  SetTrText(accurate_box, "VisualScreen",
            QT_TRANSLATE_NOOP("VisualScreen", "精密な電子輸送（デルタ線と制動放射光子を描く）"));
  SetTrToolTip(accurate_box, "VisualScreen",
               QT_TRANSLATE_NOOP("VisualScreen",
                                 "電子と陽電子を精密な輸送（ELACC.dat）で追跡します。デルタ線と"
                                 "制動放射光子が自分の飛跡になり、10〜15 MV のビルドアップが"
                                 "正確になります。切り替えると Graph clear します"));
  PlaceTwips(accurate_box, kAccurateBox[0], kAccurateBox[1], kAccurateBox[2], kAccurateBox[3]);
  connect(accurate_box, &QCheckBox::clicked, this, &VisualScreen::SwitchPhysics);
  QLabel* const phantom_label =
      MakeLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "ファントム"), kPhantomLabel[0],
                kPhantomLabel[1], kPhantomLabel[2], kPhantomLabel[3]);
  phantom_label->setFont(DefaultFont(kSwitchPoints));
  phantom_box = new QComboBox(this);
  phantom_box->setObjectName(QStringLiteral("phantom_box"));
  phantom_box->setFont(DefaultFont(kSwitchPoints));
  for (const PhantomPreset& preset : kPhantomPresets)
    phantom_box->addItem(
        QString(), QString::fromUtf8(preset.key.data(), static_cast<qsizetype>(preset.key.size())));
  PlaceTwips(phantom_box, kPhantomBox[0], kPhantomBox[1], kPhantomBox[2], kPhantomBox[3]);
  phantom_label->setBuddy(phantom_box);
  connect(phantom_box, &QComboBox::activated, this, &VisualScreen::ChoosePhantom);
}

// OK, Reset and Stop, the photon counts, the step display, the photon's energy, Go and
// Graph clear.
void VisualScreen::CreateBatchControls() {
  ok_button = MakeButton(this, "OK", 360, 3720 + kSwitchRowsTwips, 900, 615);
  reset_button = MakeButton(this, "Reset", 1350, 3720 + kSwitchRowsTwips, 1080, 615);
  // Stop ends a batch after the photon in progress; it works only while a batch runs.
  stop_button = MakeButton(this, "Stop", 2520, 3720 + kSwitchRowsTwips, 1020, 615);
  stop_button->setEnabled(false);
  // Beside Stop, as the browser has them: Pause holds the batch with its picture, one photon
  // lets the class follow a single history; P and N reach them from the keyboard
  // (keyPressEvent).
  pause_button = MakeButton(this, QT_TRANSLATE_NOOP("VisualScreen", "一時停止"), 3630,
                            3720 + kSwitchRowsTwips, 1320, 615);
  pause_button->setEnabled(false);
  single_button = MakeButton(this, QT_TRANSLATE_NOOP("VisualScreen", "1 光子進める"), 5040,
                             3720 + kSwitchRowsTwips, 2130, 615);
  single_button->setEnabled(false);
  SetTrToolTip(pause_button, "VisualScreen",
               QT_TRANSLATE_NOOP("VisualScreen", "実行中の Go を一時停止 / 再開 (P)"));
  SetTrToolTip(
      single_button, "VisualScreen",
      QT_TRANSLATE_NOOP("VisualScreen",
                        "光子を 1 個だけ進めて描く (一時停止中、または止まっている時) (N)"));

  MakeLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "総入射光子数"), 4860, 4320 + kSwitchRowsTwips,
            1620, 360);
  MakeAutoLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "     入射光子数／"), 360,
                4680 + kSwitchRowsTwips);
  MakeAutoLabel(this, "Go", 2280, 4710 + kSwitchRowsTwips);
  photon_count_box = new QLineEdit(this);
  PlaceTwips(photon_count_box, 3120, 4680 + kSwitchRowsTwips, 1575, 495);
  total_count_label = MakeLabel(this, "", 4680, 4680 + kSwitchRowsTwips, 2175, 495);
  MakeDisplay(total_count_label);
  // The series' seed, small under the total: read out to the class, typed to run a series
  // again picture for picture.
  MakeLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "乱数の種"), 4860, 5190 + kSwitchRowsTwips,
            1080, 315);
  seed_box = new QLineEdit(this);
  seed_box->setObjectName(QStringLiteral("seed_box"));
  // Wide enough for the largest seed, 2147483647, up to the side view's frame (7200).
  PlaceTwips(seed_box, 5940, 5190 + kSwitchRowsTwips, 1245, 315);
  connect(seed_box, &QLineEdit::textEdited, this,
          [this](const QString& text) { seed_typed_ = !text.trimmed().isEmpty(); });
  step_display_box = new QCheckBox(this);
  SetTrText(step_display_box, "VisualScreen", QT_TRANSLATE_NOOP("VisualScreen", "個別表示(低速)"));
  PlaceTwips(step_display_box, 360, 5160 + kSwitchRowsTwips, 2600, 360);
  MakeLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "入射エネルギー"), 3000,
            5280 + kSwitchRowsTwips, 1860, 360);
  photon_energy_label = MakeLabel(this, "", 2760, 5640 + kSwitchRowsTwips, 1215, 495);
  MakeDisplay(photon_energy_label);
  QLabel* const photon_energy_unit =
      MakeLabel(this, "MeV", 3960, 5640 + kSwitchRowsTwips, 855, 495);
  photon_energy_unit->setIndent(TwipsToPixels(60));
  go_button = MakeButton(this, "Go", 360, 5520 + kSwitchRowsTwips, 2055, 615);
  graph_clear_button = MakeButton(this, "Graph clear", 5160, 5520 + kSwitchRowsTwips, 1695, 615);
}

// The spectrum histogram, the side view and its twice-magnified copy over it.
void VisualScreen::CreatePictures() {
  spectrum_histogram = new PictureBox(this);
  PlaceTwips(spectrum_histogram, 480, 6480 + kSwitchRowsTwips, 6375,
             3735 - kAccurateRowTwips - kPhantomRowTwips);
  spectrum_histogram->SetScale(kSpectrumScale[0], kSpectrumScale[1], kSpectrumScale[2],
                               kSpectrumScale[3]);
  DecorateSpectrum();
  PlaceEnergyAxisLabels();

  side_view = new PictureBox(this);
  PlaceTwips(side_view, kSideViewTwips[0], kSideViewTwips[1], kSideViewTwips[2], kSideViewTwips[3]);
  side_view->SetScale(kSideViewScale[0], kSideViewScale[1], kSideViewScale[2], kSideViewScale[3]);
  DecorateSideView(side_view, 1.0);
  zoomed_side_view = new PictureBox(this);
  PlaceTwips(zoomed_side_view, kSideViewTwips[0], kSideViewTwips[1], kSideViewTwips[2],
             kSideViewTwips[3]);
  zoomed_side_view->SetScale(kSideViewScale[0] / 2, kSideViewScale[1] / 2, kSideViewScale[2] / 2,
                             kSideViewScale[3] / 2);
  DecorateSideView(zoomed_side_view, 2.0);
  zoomed_side_view->raise();
  new TrackRuler(side_view);
  new TrackRuler(zoomed_side_view);
}

// The depth-dose toggle and the step speed share the free row under the spectrum. The
// panel takes the room of the spectrum histogram and its energy axis while the box is
// ticked: beside the side view, so that the tracks and the build-up they make are seen
// together, and scaled with the screen like the pictures.
void VisualScreen::CreateDepthDoseControls() {
  depth_dose_box = new QCheckBox(this);
  SetTrText(depth_dose_box, "VisualScreen", QT_TRANSLATE_NOOP("VisualScreen", "深部線量を表示"));
  PlaceTwips(depth_dose_box, 720, 10740 + kFootRowsTwips, 2280, 360);
  MakeLabel(this, QT_TRANSLATE_NOOP("VisualScreen", "速さ"), 3120, 10740 + kFootRowsTwips, 600,
            360);
  speed_slider = new QSlider(Qt::Horizontal, this);
  speed_slider->setRange(0, static_cast<int>(std::size(kStepSpeeds)) - 1);
  speed_slider->setPageStep(1);
  speed_slider->setTickPosition(QSlider::TicksBelow);
  SetTrToolTip(speed_slider, "VisualScreen",
               QT_TRANSLATE_NOOP("VisualScreen", "個別表示の速さ (1 秒に 1 光子 〜 最高)"));
  PlaceTwips(speed_slider, 3720, 10710 + kFootRowsTwips, 1800, 420);
  speed_label = MakeLabel(this, "", 5580, 10740 + kFootRowsTwips, 1380, 360);
  depth_dose_panel = new DepthDosePanel(this);
  depth_dose_panel->SetSession(session_.get());
  PlaceTwips(depth_dose_panel, 240, 6240 + kSwitchRowsTwips, 6900,
             4290 - kAccurateRowTwips - kPhantomRowTwips);
  depth_dose_panel->hide();

  connect(depth_dose_box, &QCheckBox::toggled, this, &VisualScreen::ShowDepthDosePanel);
  connect(depth_dose_panel, &DepthDosePanel::closed, this,
          [this] { depth_dose_box->setChecked(false); });
  connect(speed_slider, &QSlider::valueChanged, this, &VisualScreen::SetStepSpeed);
  connect(step_display_box, &QCheckBox::toggled, speed_slider, &QWidget::setEnabled);
  connect(step_display_box, &QCheckBox::toggled, speed_label, &QWidget::setEnabled);
  speed_slider->setValue(speed_slider->maximum());
  SetStepSpeed(speed_slider->value());
}

void VisualScreen::SetStepSpeed(int position) {
  photons_per_second_ = kStepSpeeds[std::clamp(position, 0, speed_slider->maximum())];
  if (photons_per_second_ > 0)
    SetTrText(speed_label, "VisualScreen", QT_TRANSLATE_NOOP("VisualScreen", "%1 光子/秒"),
              {QString::number(photons_per_second_)});
  else
    SetTrText(speed_label, "VisualScreen", QT_TRANSLATE_NOOP("VisualScreen", "最高"));
}

// The panel in place of the spectrum histogram, which keeps counting while it is hidden.
void VisualScreen::ShowDepthDosePanel(bool show) {
  spectrum_histogram->setVisible(!show);
  for (QLabel* label : energy_axis_labels_) label->setVisible(!show);
  if (!show) {
    depth_dose_panel->hide();
    return;
  }
  depth_dose_panel->Refresh();
  depth_dose_panel->show();
  depth_dose_panel->raise();
}

// The side view's fixed elements; `magnification` 2 gives the zoomed copy, whose user
// scale is half as wide, so every position is divided by it.
void VisualScreen::DecorateSideView(PictureBox* picture, double magnification) {
  const double m = magnification;
  const double left = kSideViewScale[0] / m;
  const double top = kSideViewScale[1] / m;
  const double right = left + kSideViewScale[2] / m;
  const double bottom = top + kSideViewScale[3] / m;
  const QFont small = DefaultFont(kDecorationPoints);
  // Room kept free of grid lines at the top for three rows of captions and key, and at the
  // bottom for two rows: the depth numbers and, under them, the axis caption [cm of the 1x
  // view].
  const double grid_top = top + 2.3 / m;
  const double grid_bottom = bottom - 1.9 / m;

  for (double z : {5.0, 10.0, 15.0})
    picture->AddLine(z / m, grid_top, z / m, grid_bottom, kLightGrey);
  for (double x : {-10.0, -5.0, 5.0, 10.0}) picture->AddLine(0, x / m, right, x / m, kLightGrey);
  picture->AddLine(0, 0, right, 0, Qt::black);
  picture->AddLine(0, top, 0, bottom, Qt::black, 2);

  // Depth labels along the bottom, lateral labels at the left of the surface.
  const double depth_label_y = grid_bottom + 0.15 / m;
  const double depth_caption_y = depth_label_y + 0.8 / m;
  // Marks in cm of depth and lateral position: every grid line of the 1x view, the 5 cm
  // lines of the magnified one.
  const std::vector<double> depth_marks =
      m > 1 ? std::vector<double>{5} : std::vector<double>{5, 10, 15};
  for (double z : depth_marks)
    picture->AddLabel(QString::number(z), z, depth_label_y, Qt::AlignHCenter | Qt::AlignTop,
                      Qt::black, small);
  picture->AddLabel(QStringLiteral("depth in water  cm"), right - 0.3 / m, depth_caption_y,
                    Qt::AlignRight | Qt::AlignTop, Qt::black, small);
  const std::vector<double> lateral_marks =
      m > 1 ? std::vector<double>{-5, 5} : std::vector<double>{-10, -5, 5, 10};
  for (double x : lateral_marks)
    picture->AddLabel(QString::number(std::abs(x)), -0.2 / m, x, Qt::AlignRight | Qt::AlignVCenter,
                      Qt::black, small);
  picture->AddLabel(QStringLiteral("cm"), -0.2 / m, top + 0.9 / m,
                    Qt::AlignRight | Qt::AlignVCenter, Qt::black, small);

  // The beam arrow on the central axis, pointing at the surface.
  const double tail = left + 0.4 / m;
  const double tip = -0.15 / m;
  picture->AddLine(tail, 0, tip, 0, Qt::black, 2);
  picture->AddLine(tip - 0.6 / m, -0.35 / m, tip, 0, Qt::black, 2);
  picture->AddLine(tip - 0.6 / m, 0.35 / m, tip, 0, Qt::black, 2);
  picture->AddLabel(QStringLiteral("X-ray"), (tail + tip) / 2, -0.25 / m,
                    Qt::AlignHCenter | Qt::AlignBottom, Qt::black, small);

  // Captions at the top.
  AddTrLabel(picture, QT_TRANSLATE_NOOP("VisualScreen", "2次電子(陰電子, 陽電子) の飛跡"), 0.3 / m,
             top + 0.1 / m, Qt::AlignLeft | Qt::AlignTop, kCaptionRed, small);
  AddTrLabel(picture, QT_TRANSLATE_NOOP("VisualScreen", "（光子の飛跡は非表示）"), 10.3 / m,
             top + 0.1 / m, Qt::AlignLeft | Qt::AlignTop, Qt::black, small);
  // The key of the accurate transport's own tracks, on a row under the captions, written
  // only while it runs (ShowTrackKey).
  track_keys_.push_back(
      {picture,
       picture->AddLabel(QString(), 0.3 / m, top + 0.8 / m, Qt::AlignLeft | Qt::AlignTop,
                         kDeltaRayColor, small),
       picture->AddLabel(QString(), 10.3 / m, top + 0.8 / m, Qt::AlignLeft | Qt::AlignTop,
                         kBremsstrahlungColor, small)});
  // The newest photon's colour, in every transport: photons drawn one by one (step display,
  // one photon) leave the last one black on the older red.
  AddTrLabel(picture, QT_TRANSLATE_NOOP("VisualScreen", "黒 = 最新の光子"), 0.3 / m, top + 1.5 / m,
             Qt::AlignLeft | Qt::AlignTop, kNewestTrackColor, small);

  // Field-edge lines across the whole width; "OK" moves them to -side/2 and +side/2.
  const double side = session_->Simulation().FieldSide();
  const int upper = picture->AddLine(left, -side / 2, right, -side / 2, kFieldEdgeBlue);
  const int lower = picture->AddLine(left, side / 2, right, side / 2, kFieldEdgeBlue);
  if (m > 1) {
    zoomed_field_edge_upper = upper;
    zoomed_field_edge_lower = lower;
  } else {
    field_edge_upper = upper;
    field_edge_lower = lower;
  }
}

void VisualScreen::AddTrLabel(PictureBox* picture, const char* source, double x, double y,
                              Qt::Alignment anchor, const QColor& color, const QFont& font) {
  tr_labels_.push_back(
      {picture, picture->AddLabel(Tr("VisualScreen", source), x, y, anchor, color, font), source});
}

void VisualScreen::RetranslateUi() {
  RetranslateTexts(this);
  for (const TrLabel& label : tr_labels_)
    label.picture->SetLabelText(label.index, Tr("VisualScreen", label.source));
  ShowTrackKey();
  ShowPhantom();
  back_button->setIcon(QIcon(ExitIcon()));  // the icon's caption is drawn in the language
}

void VisualScreen::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QWidget::changeEvent(event);
}

void VisualScreen::DecorateSpectrum() {
  for (double x = kGridStep; x < kFrameWidth; x += kGridStep)
    spectrum_histogram->AddLine(x, 0, x, kFrameHeight, kLightGrey);
  for (double y = kGridStep; y < kFrameHeight; y += kGridStep)
    spectrum_histogram->AddLine(0, y, kFrameWidth, y, kLightGrey);
  spectrum_histogram->AddLine(0, 0, kFrameWidth, 0, Qt::black, 2);
  spectrum_histogram->AddLine(0, kFrameHeight, kFrameWidth, kFrameHeight, Qt::black, 2);
  spectrum_histogram->AddLine(0, 0, 0, kFrameHeight, Qt::black, 2);
  spectrum_histogram->AddLine(kFrameWidth, 0, kFrameWidth, kFrameHeight, Qt::black, 2);
  AddTrLabel(spectrum_histogram, QT_TRANSLATE_NOOP("VisualScreen", "入射光子スペクトル"),
             kFrameWidth - 3, kFrameHeight - 3, Qt::AlignRight | Qt::AlignTop, Qt::black,
             DefaultFont(kDecorationPoints));
}

// The energy labels 0..14 MeV sit under the histogram at the positions of their bars.
void VisualScreen::PlaceEnergyAxisLabels() {
  const QFont small = DefaultFont(kDecorationPoints);
  const int top = TwipsToPixels(10230 + kFootRowsTwips);
  for (int i = 0; i < 8; ++i) {
    auto* label = new QLabel(QString::number(2 * i), this);
    label->setFont(small);
    label->setAlignment(Qt::AlignCenter);
    FitWithRoom(label);
    const QPointF at =
        spectrum_histogram->ToPixels(20.0 * i, 0) + QPointF(spectrum_histogram->pos());
    label->move(static_cast<int>(at.x() - label->width() / 2.0), top);
    energy_axis_labels_[static_cast<std::size_t>(i)] = label;
  }
  auto* caption = new QLabel(QStringLiteral("Photon energy  MeV"), this);
  caption->setFont(small);
  caption->setAlignment(Qt::AlignCenter);
  FitWithRoom(caption);
  const QPointF middle =
      spectrum_histogram->ToPixels(kFrameWidth / 2, 0) + QPointF(spectrum_histogram->pos());
  caption->move(static_cast<int>(middle.x() - caption->width() / 2.0),
                top + energy_axis_labels_[0]->height());
  energy_axis_labels_[8] = caption;
}

}  // namespace dosavia::gui
