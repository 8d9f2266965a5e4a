// The engine screen's controls as it lays them out, its opening choices and its texts;
// its behaviour is in engine_screen.cpp.
#include "gui/engine_screen/engine_screen.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QShortcut>
#include <QPainter>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>

#include "engine/conditions_file.h"
#include "engine/program_files.h"
#include "engine/result_file.h"
#include "engine/run_statistics.h"
#include "gui/base/navigation.h"
#include "models/clinical_geometry.h"
#include "models/engine_session.h"
#include "models/phantom_presets.h"
#include "models/visual_session.h"
#include "gui/engine_screen/result_curve_legend.h"
#include "gui/engine_screen/result_curve_sets.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/engine_screen/result_graph_key.h"
#include "gui/engine_screen/graph_depth_probe.h"
#include "gui/engine_screen/engine_console.h"
#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
#include "gui/base/message_box.h"
#include "gui/base/message_text.h"
#include "gui/base/working_folder.h"
#include "gui/widgets/icons.h"
#include "gui/engine_screen/kestrun_launcher.h"
#include "gui/widgets/physics_switch_boxes.h"
#include "gui/widgets/picture_box.h"
#include "gui/widgets/form_scaler.h"
#include "gui/engine_screen/plot_command.h"
#include "gui/widgets/twips.h"
#include "gui/widgets/typed_number.h"
#include "records/file_io.h"
#include "records/input_error.h"

namespace dosavia::gui {

namespace {

constexpr double kFormFontPoints = 14.25;
// A caption that does not fit its label shrinks in these steps, down to this size [pt].
constexpr double kLabelPointsStep = 0.5;
constexpr double kSmallestLabelPoints = 6.0;
// The result list shows names in a fixed-pitch Gothic face.
constexpr double kFileListFontPoints = 12.0;
constexpr QRgb kInputLabelColor = qRgb(192, 255, 255);
// The energy box reaches into its unit ("MV") [twips]; the unit is set this far after it [px].
constexpr double kEnergyUnitLeft = 3480;
constexpr double kEnergyBoxRight = 2400 + 1215;
constexpr int kUnitGapPx = 3;

// The working folder's path is shown in this size [pt].
constexpr double kWorkingFolderPoints = 9.0;

constexpr int kFirstOption = 1;
constexpr int kLastOption = 9;

// The field options' rows inside their group [twips].
constexpr double kOptionLeft = 60.0;
constexpr double kOptionFirstTop = 420.0;
constexpr double kOptionStep = 360.0;
constexpr double kOptionWidth = 1560.0;  // the right column's, "15×15"
constexpr double kOptionHeight = 360.0;
// The options in two columns of five, read downwards, so that the result list above them
// shows eight files rather than three.
constexpr int kOptionRows = 5;
constexpr double kOptionColumnStep = 1140.0;  // and the left column's width

// The comparison controls and the physics switches' three rows lie under the screen's
// original area [twips].
constexpr double kComparisonRowsTwips = 2730;
// The run's check boxes under the working folder: own console, all cores, accurate
// transport [twips].
constexpr double kRunBoxTop[] = {8940, 9390, 9840};
constexpr double kRunBoxHeight = 420;
// The physics switches under the left and middle columns: two columns of 3 and 2 boxes
// [twips], room enough for the longest English name at the least readable size on a
// 1024x768 projector, in a face smaller than the form's [pt].
constexpr double kSwitchGroup[] = {240, 10440, 7815, 1260};
constexpr double kSwitchColumnsTwips = 7600;
constexpr double kSwitchTitleTwips = 300;
constexpr double kSwitchRowTwips = 300;
constexpr double kSwitchPoints = 10.0;
// Under the graph the loaded file's name on a row of its own, then the geometry switch: the
// two options, the SSD box and its unit, wide enough for their English at the least
// readable size on a 1024x768 projector [twips].
// The graph gives the table a row's height and its two-line column titles, so that four sets
// and a set's two-line name (its note of the physics switched off) stay in view under the
// titles at 1024x768.
constexpr double kGraphHeight = 7095;
constexpr double kLoadedFileRowTop = 8040;
constexpr double kGeometryRowTop = 8400;
constexpr double kGeometryRowHeight = 360;
constexpr double kLoadedFileWidth = 10575;
constexpr double kParallelOption[] = {8520, 2400};
constexpr double kPointSourceOption[] = {10920, 3000};
constexpr double kSsdBox[] = {13920, 1140};
constexpr double kSsdUnit[] = {15060, 600};
// The table of the drawn sets under the geometry switch [twips].
constexpr double kLegendTop = 8760;
constexpr double kLegendHeight = 2880;
// The SSD the switch offers first [cm]: that of the clinical depth-dose tables.
constexpr int kClinicalSsdCm = 100;

// Fixed-pitch Gothic faces for the file list: the Windows one first, then the ones other
// systems ship.
const char* const kFileListFamilies[] = {"ＭＳ ゴシック",         "MS Gothic",   "IPAGothic",
                                         "Noto Sans Mono CJK JP", "TakaoGothic", "VL Gothic"};

QLabel* MakeFittedLabel(QWidget* parent, const char* text, double left, double top, double width,
                        double height) {
  QLabel* label = MakeLabel(parent, text, left, top, width, height);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // A caption wider than its label is set in a smaller size rather than cut off.
  QFont font = label->font();
  while (font.pointSizeF() > kSmallestLabelPoints &&
         QFontMetrics(font).horizontalAdvance(label->text()) > label->width())
    font.setPointSizeF(font.pointSizeF() - kLabelPointsStep);
  label->setFont(font);
  return label;
}

// A label whose text is always shown whole: set smaller, at whatever zoom, when it is wider
// than the label, and at the smallest size elided in the middle, never at its end. The
// result name is what the student then looks for in the result list, ".data" included.
class FittingLabel : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent*) override {
    const QRect area = contentsRect();
    QFont font = this->font();
    while (font.pointSizeF() > kSmallestLabelPoints &&
           QFontMetrics(font).horizontalAdvance(text()) > area.width())
      font.setPointSizeF(font.pointSizeF() - kLabelPointsStep);
    QPainter painter(this);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, static_cast<int>(alignment()),
                     QFontMetrics(font).elidedText(text(), Qt::ElideMiddle, area.width()));
  }
};

void SetBackground(QLabel* label, QRgb color) {
  label->setAutoFillBackground(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, QColor(color));
  label->setPalette(palette);
}

}  // namespace

EngineScreen::EngineScreen(QWidget* parent)
    : QWidget(parent), tables_(std::make_unique<ResultTables>()), shown_tables_(tables_) {
  // The context of the screen's texts, which the translation file and the browser edition
  // share.
  SetWindowTrContext(this, "EngineScreen");
  setWindowTitle(QStringLiteral(" Non Visual Simulation"));
  setFont(DefaultFont(kFormFontPoints));
  resize(TwipsRect(0, 0, 19425, 9030 + kComparisonRowsTwips).size());
  CreateControls();
  CreateComparisonControls();
  SetOpeningChoices();
  MakeScalable(this, 19425, 9030 + kComparisonRowsTwips);
  CentreOnScreen(this);
}

EngineScreen::~EngineScreen() = default;

// The screen's three columns, left to right, then the order of overlapping controls and
// the buttons' actions.
void EngineScreen::CreateControls() {
  CreateNewRunControls();
  CreateExistingDataControls();
  CreateGraph();

  // Labels lie under the boxes and buttons that overlap them.
  for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) label->lower();

  connect(run.ok_button, &QPushButton::clicked, this, &EngineScreen::OnPrepareRun);
  for (QComboBox* box : {run.energy_box, run.photon_count_box})
    connect(box, &QComboBox::currentTextChanged, this, &EngineScreen::FollowRunBoxes);
  connect(run.seed_box, &QLineEdit::textChanged, this, &EngineScreen::FollowRunBoxes);
  connect(run.start_button, &QPushButton::clicked, this, &EngineScreen::OnStartRun);
  connect(run.load_run_result_button, &QPushButton::clicked, this, &EngineScreen::OnLoadRunResult);
  connect(results.load_selected_button, &QPushButton::clicked, this, &EngineScreen::OnLoadSelected);
  connect(results.draw_button, &QPushButton::clicked, this, &EngineScreen::OnDrawField);
  connect(graph.kerma_button, &QPushButton::clicked, this, &EngineScreen::OnRedrawKerma);
  connect(graph.clear_button, &QPushButton::clicked, this, &EngineScreen::OnGraphClear);
  connect(run.back_button, &QPushButton::clicked, this, &EngineScreen::OnBackToMenu);
  connect(run.phantom_box, &QComboBox::activated, this, &EngineScreen::OnPhantomChosen);
}

// Left: the conditions of a new run, its result file, the run and the return button.
void EngineScreen::CreateNewRunControls() {
  MakeFittedLabel(
      this, QT_TRANSLATE_NOOP("EngineScreen", "線束中心軸上の深部線量分布を求めるシミュレーション"),
      240, 120, 7875, 465);
  MakeFittedLabel(this, QT_TRANSLATE_NOOP("EngineScreen", "新規計算"), 1440, 840, 1440, 540);
  QLabel* const energy_caption = MakeFittedLabel(
      this, QT_TRANSLATE_NOOP("EngineScreen", "Ｘ線エネルギー"), 240, 1440, 2205, 465);
  run.energy_box = MakeEditableCombo(this, {"4", "6", "10", "15"}, 2400, 1440, 1215, 540);
  QLabel* const energy_unit = MakeFittedLabel(this, "MV", kEnergyUnitLeft, 1440, 1005, 465);
  // Four rows between the energy and the count: the beam, the phantom, the fields, how the
  // fields are made.
  QLabel* const parallel_beam_note = MakeFittedLabel(
      this, QT_TRANSLATE_NOOP("EngineScreen", "平行ビーム入射とする"), 240, 2010, 4215, 390);
  QLabel* const phantom_caption =
      MakeFittedLabel(this, QT_TRANSLATE_NOOP("EngineScreen", "ファントム"), 240, 2400, 2175, 390);
  // Out to the middle column, wide enough for a preset's name at 1024x768.
  run.phantom_box = new QComboBox(this);
  PlaceTwips(run.phantom_box, 2400, 2400, 2805, 390);
  run.phantom_box->setFont(DefaultFont(kWorkingFolderPoints));
  SetTrToolTip(
      run.phantom_box, "EngineScreen",
      QT_TRANSLATE_NOOP("EngineScreen",
                        "水の代わりに層のあるファントムで計算します（--phantom "
                        "Phantom.dat、精密な電子輸送）。結果ファイルの名前に印が付きます"));
  QLabel* const field_caption = MakeFittedLabel(
      this, QT_TRANSLATE_NOOP("EngineScreen", "照射野サイズ"), 240, 2790, 2175, 390);
  MakeFittedLabel(this, QT_TRANSLATE_NOOP("EngineScreen", "1×1～15×15"), 2400, 2790, 2085, 390);
  MakeFittedLabel(this, QT_TRANSLATE_NOOP("EngineScreen", "（ペンシルビーム重ね合わせ法で計算）"),
                  240, 3180, 4920, 375);  // up to the result list: room for 14 px on a projector
  QLabel* const photon_count_caption =
      MakeFittedLabel(this, QT_TRANSLATE_NOOP("EngineScreen", "入射光子数"), 240, 3600, 2175, 495);
  // Wide enough for 100000000 at the least readable size on a 1024x768 projector.
  run.photon_count_box = MakeEditableCombo(this, {"10000000", "30000000", "50000000", "100000000"},
                                           2400, 3600, 2500, 540);
  // The seed beside OK, a condition OK confirms; wide enough for 2147483647.
  QLabel* const seed_caption =
      MakeFittedLabel(this, QT_TRANSLATE_NOOP("EngineScreen", "乱数の種"), 240, 4380, 1140, 495);
  run.seed_box = new QLineEdit(this);
  run.seed_box->setObjectName(QStringLiteral("engine_seed_box"));
  PlaceTwips(run.seed_box, 1440, 4358, 1800, 540);
  run.seed_box->setFont(DefaultFont(kFileListFontPoints));
  run.ok_button = MakeButton(this, "OK", 3360, 4320, 1095, 615);
  QLabel* const result_caption = MakeFittedLabel(
      this, QT_TRANSLATE_NOOP("EngineScreen", "結果ファイル"), 240, 5160, 1695, 495);
  // Wide enough for a name with the tag of switched-off physics ("10MV-30M-noe.data"),
  // reaching into the gap before the middle column; a longer name is set smaller, never cut.
  run.result_name_label = new FittingLabel(this);
  PlaceTwips(run.result_name_label, 1920, 5160, 3300, 465);
  run.result_name_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  SetBackground(run.result_name_label, qRgb(255, 255, 255));
  run.start_button = MakeButton(this, QT_TRANSLATE_NOOP("EngineScreen", "シミュレーション開始"),
                                240, 5760, 4215, 615);
  run.load_run_result_button =
      MakeButton(this, QT_TRANSLATE_NOOP("EngineScreen", "計算結果読み込み"), 240, 6480, 4215, 615);
  graph.kerma_button = MakeButton(this, QT_TRANSLATE_NOOP("EngineScreen", "一次線水カーマ 再描画"),
                                  1440, 7440, 3615, 615);
  run.back_button = MakeButton(this, "", 120, 8280, 615, 615);
  run.back_button->setIcon(ExitIcon());
  run.back_button->setIconSize(QSize(kIconSize, kIconSize));
  // The working folder beside the return button: runs and results live there.
  run.working_folder_label = new QLabel(this);
  // Out to the middle column: at 1024x768 the English caption needs the room.
  PlaceTwips(run.working_folder_label, 840, 8280, 4380, 615);
  run.working_folder_label->setFont(DefaultFont(kWorkingFolderPoints));
  run.working_folder_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The file manager, or where the folder is when none opens.
  connect(run.working_folder_label, &QLabel::linkActivated, this,
          [this] { OpenWorkingFolder(QDir::currentPath(), this, folder_opener_); });
  for (QLabel* label : {photon_count_caption, result_caption, energy_caption, field_caption,
                        parallel_beam_note, energy_unit, seed_caption, phantom_caption})
    SetBackground(label, kInputLabelColor);
  // The unit's box starts under the energy box: its text starts where the box ends.
  energy_unit->setIndent(TwipsToPixels(kEnergyBoxRight - kEnergyUnitLeft) + kUnitGapPx);
}

// Middle: the result files of the working folder and the field to draw.
void EngineScreen::CreateExistingDataControls() {
  MakeFittedLabel(this, QT_TRANSLATE_NOOP("EngineScreen", "既存データ"), 5640, 840, 1800, 540);
  results.file_list = new QListWidget(this);
  PlaceTwips(results.file_list, 5280, 1440, 2775, 2760);
  QFont list_font = DefaultFont(kFileListFontPoints);
  QStringList families;
  for (const char* family : kFileListFamilies) families << QString::fromUtf8(family);
  families << list_font.families();
  list_font.setFamilies(families);
  results.file_list->setFont(list_font);
  results.file_list->setSelectionMode(QAbstractItemView::SingleSelection);
  results.load_selected_button =
      MakeButton(this, QT_TRANSLATE_NOOP("EngineScreen", "読み込み"), 5280, 4320, 2775, 540);

  results.field_group = new QGroupBox(this);
  SetTrText(results.field_group, "EngineScreen", QT_TRANSLATE_NOOP("EngineScreen", "照射野サイズ"));
  PlaceTwips(results.field_group, 5280, 4980, 2775, 2340);
  // Without spaces around "×", so that two columns hold "15×15" at 1024x768.
  const char* const captions[] = {"1×1", "2×2", "3×3",   "4×4",  "5×5",
                                  "6×6", "8×8", "10×10", "15×15"};
  for (int k = kFirstOption; k <= kLastOption; ++k) {
    auto* option = new QRadioButton(QString::fromUtf8(captions[k - 1]), results.field_group);
    const int row = (k - 1) % kOptionRows, column = (k - 1) / kOptionRows;
    PlaceTwips(option, kOptionLeft + kOptionColumnStep * column,
               kOptionFirstTop + kOptionStep * row, column == 0 ? kOptionColumnStep : kOptionWidth,
               kOptionHeight);
    connect(option, &QRadioButton::clicked, this, [this, k] { OnFieldChosen(k); });
    results.field_options[static_cast<std::size_t>(k - 1)] = option;
  }
  results.draw_button =
      MakeButton(this, QT_TRANSLATE_NOOP("EngineScreen", "描 画"), 5280, 7440, 2775, 615);
  graph.clear_button = MakeButton(this, "Graph clear", 5280, 8160, 2775, 615);
}

// Right: the graph with its caption.
void EngineScreen::CreateGraph() {
  MakeFittedLabel(
      this,
      QT_TRANSLATE_NOOP(
          "EngineScreen",
          "線束中心軸上の深部線量プロファイル（表面の一次線水カーマ（当てはめ値）= 1）"),
      8640, 240, 10545, 420);
  graph.plot = new PictureBox(this);
  PlaceTwips(graph.plot, 8520, 840, 10575, kGraphHeight);
  SetUpDepthDosePlot(*graph.plot);
}

void EngineScreen::CreateComparisonControls() {
  run.own_console_box = new QCheckBox(this);
  SetTrText(run.own_console_box, "EngineScreen", kOwnConsoleCaption);
  SetTrToolTip(run.own_console_box, "EngineScreen",
               QT_TRANSLATE_NOOP("EngineScreen",
                                 "Kestrun を端末エミュレータでなく Dosavia のウィンドウで実行し、"
                                 "進み具合を表示します（中止もできます）"));
  PlaceTwips(run.own_console_box, 240, kRunBoxTop[0], 4215, kRunBoxHeight);
  run.own_console_box->setChecked(UseOwnConsole());
  connect(run.own_console_box, &QCheckBox::toggled, this, [](bool own) { SetUseOwnConsole(own); });
  // The block streams give a file of their own, the same for any number of cores, and
  // differ from the single stream's only by noise: off unless the user chooses it.
  run.all_cores_box = new QCheckBox(this);
  SetTrText(run.all_cores_box, "EngineScreen",
            QT_TRANSLATE_NOOP("EngineScreen", "並列計算 (%1 コア)"),
            {QString::number(std::max(1, QThread::idealThreadCount()))});
  SetTrToolTip(run.all_cores_box, "EngineScreen",
               QT_TRANSLATE_NOOP("EngineScreen",
                                 "Kestrun をすべてのコアで実行します（--threads 0）。"
                                 "結果は統計誤差の範囲で単一乱数列の計算と一致します"));
  PlaceTwips(run.all_cores_box, 240, kRunBoxTop[1], 4215, kRunBoxHeight);
  run.all_cores_box->setChecked(UseAllCores());
  connect(run.all_cores_box, &QCheckBox::toggled, this, [](bool all) { SetUseAllCores(all); });
  // Off on every opening: the exact transport is the program's defined behaviour.
  run.accurate_box = new QCheckBox(this);
  SetTrText(run.accurate_box, "EngineScreen",
            QT_TRANSLATE_NOOP("EngineScreen", "精密な電子輸送 (--accurate)"));
  SetTrToolTip(run.accurate_box, "EngineScreen",
               QT_TRANSLATE_NOOP("EngineScreen",
                                 "電子と陽電子を精密な輸送（ELACC.dat）で追跡します。10〜15 MV の"
                                 "ビルドアップと d_max が正確になり、計算は遅くなります。"
                                 "結果ファイルの名前に -acc が付きます"));
  PlaceTwips(run.accurate_box, 240, kRunBoxTop[2], 4215, kRunBoxHeight);
  connect(run.accurate_box, &QCheckBox::toggled, this, &EngineScreen::FollowRunBoxes);
  graph.save_picture_button =
      MakeButton(this, QT_TRANSLATE_NOOP("EngineScreen", "画像保存"), 5280, 9120, 2775, 540);
  graph.save_csv_button =
      MakeButton(this, QT_TRANSLATE_NOOP("EngineScreen", "CSV保存"), 5280, 9840, 2775, 540);
  graph.loaded_file_label = new QLabel(this);
  PlaceTwips(graph.loaded_file_label, 8520, kLoadedFileRowTop, kLoadedFileWidth,
             kGeometryRowHeight);
  graph.loaded_file_label->setFont(DefaultFont(kWorkingFolderPoints));
  CreateGeometrySwitch();
  graph.legend = new CurveSetLegend(this);
  PlaceTwips(graph.legend, 8520, kLegendTop, 10575, kLegendHeight);
  // The graph's own key names each drawn set, so that a photograph of the screen or a
  // projector's picture needs no table beside it.
  ShowGraphKey(*graph.plot, [this] { return std::span<const CurveSet>(graph.legend->Sets()); });
  // The pointer over the graph reads the depth and each drawn curve's dose there.
  AttachDepthProbe(
      *graph.plot, [this] { return std::span<const CurveSet>(graph.legend->Sets()); },
      [this]() -> const ResultTables* { return loaded_file_.isEmpty() ? nullptr : tables_.get(); });
  graph.legend->setFont(DefaultFont(kWorkingFolderPoints));
  // A set is taken off by the table's menu (or Delete on its row); Ctrl+Z brings it back.
  graph.legend->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(graph.legend, &QWidget::customContextMenuRequested, this, &EngineScreen::ShowSetMenu);
  auto* remove =
      new QShortcut(QKeySequence::Delete, graph.legend, nullptr, nullptr, Qt::WidgetShortcut);
  connect(remove, &QShortcut::activated, this, [this] { OnRemoveSet(graph.legend->currentRow()); });
  auto* undo = new QShortcut(QKeySequence::Undo, this);
  connect(undo, &QShortcut::activated, this, &EngineScreen::OnUndoRemoval);
  graph.legend->horizontalHeader()->setFont(DefaultFont(kWorkingFolderPoints));
  graph.save_picture_button->setEnabled(false);
  graph.save_csv_button->setEnabled(false);

  run.physics_switches = new PhysicsSwitchBoxes(this, {3, 2}, kSwitchColumnsTwips,
                                                kSwitchTitleTwips, kSwitchRowTwips, kSwitchPoints);
  PlaceTwips(run.physics_switches, kSwitchGroup[0], kSwitchGroup[1], kSwitchGroup[2],
             kSwitchGroup[3]);
  SetTrText(run.physics_switches, "EngineScreen",
            QT_TRANSLATE_NOOP("EngineScreen", "物理を切る実験"));
  SetTrToolTip(run.physics_switches, "EngineScreen",
               QT_TRANSLATE_NOOP("EngineScreen",
                                 "チェックした物理を切って Kestrun を実行します"
                                 "（--without）。結果ファイルの名前に印が付きます"));
  connect(run.physics_switches, &PhysicsSwitchBoxes::switched, this, &EngineScreen::SwitchPhysics);
  connect(graph.save_picture_button, &QPushButton::clicked, this, &EngineScreen::OnSavePicture);
  connect(graph.save_csv_button, &QPushButton::clicked, this, &EngineScreen::OnSaveCsv);
}

// Parallel beam or point source: the same result drawn as the engine computed it, or as a
// clinical depth-dose table would give it.
void EngineScreen::CreateGeometrySwitch() {
  graph.parallel_option = new QRadioButton(this);
  SetTrText(graph.parallel_option, "EngineScreen", QT_TRANSLATE_NOOP("EngineScreen", "平行ビーム"));
  PlaceTwips(graph.parallel_option, kParallelOption[0], kGeometryRowTop, kParallelOption[1],
             kGeometryRowHeight);
  graph.point_source_option = new QRadioButton(this);
  SetTrText(graph.point_source_option, "EngineScreen",
            QT_TRANSLATE_NOOP("EngineScreen", "点線源 SSD"));
  SetTrToolTip(
      graph.point_source_option, "EngineScreen",
      QT_TRANSLATE_NOOP("EngineScreen",
                        "計算結果（平行ビーム）に逆二乗と深さによる照射野の広がりを"
                        "かけて、臨床の深部量百分率と同じ点線源の配置に換算します（近似）"));
  PlaceTwips(graph.point_source_option, kPointSourceOption[0], kGeometryRowTop,
             kPointSourceOption[1], kGeometryRowHeight);
  graph.ssd_box = new QSpinBox(this);
  graph.ssd_box->setRange(static_cast<int>(kSmallestSsdCm), static_cast<int>(kLargestSsdCm));
  graph.ssd_box->setValue(kClinicalSsdCm);
  graph.ssd_box->setAlignment(Qt::AlignRight);
  PlaceTwips(graph.ssd_box, kSsdBox[0], kGeometryRowTop, kSsdBox[1], kGeometryRowHeight);
  QLabel* const unit =
      MakeLabel(this, "cm", kSsdUnit[0], kGeometryRowTop, kSsdUnit[1], kGeometryRowHeight);
  for (QWidget* part : std::initializer_list<QWidget*>{
           graph.parallel_option, graph.point_source_option, graph.ssd_box, unit})
    part->setFont(DefaultFont(kWorkingFolderPoints));
  // A group of their own: the screen's other options (the field sizes) are another choice.
  auto* const geometry = new QButtonGroup(this);
  geometry->addButton(graph.parallel_option);
  geometry->addButton(graph.point_source_option);
  graph.parallel_option->setChecked(true);
  connect(geometry, &QButtonGroup::buttonToggled, this, &EngineScreen::OnGeometryChosen);
  connect(graph.ssd_box, &QSpinBox::valueChanged, this, &EngineScreen::OnGeometryChosen);
}

void EngineScreen::SetOpeningChoices() {
  FillPhantomBox();
  results.field_options[kEngineOpening.field - 1]->setChecked(true);
  run.photon_count_box->setCurrentText(QString::fromUtf8(kEngineOpening.photons));
  run.energy_box->setCurrentText(QString::fromUtf8(kEngineOpening.energy));
  field_index_ = kEngineOpening.field;
  RefreshFileList();
  ShowWorkingFolder();
}

void EngineScreen::ShowWorkingFolder() {
  // The caption on a line of its own, the path under it: its last folders are what tells
  // one folder from another, so a long path loses its start, never its middle.
  const QString folder = QDir::toNativeSeparators(QDir::currentPath());
  const QString shown = PathEndFitting(folder, QFontMetrics(run.working_folder_label->font()),
                                       run.working_folder_label->width());
  run.working_folder_label->setText(
      QStringLiteral("%1<br><a href=\"%2\">%3</a>")
          .arg(Tr("EngineScreen", "作業フォルダ（クリックで開く）：").toHtmlEscaped(),
               QUrl::fromLocalFile(QDir::currentPath()).toString(QUrl::FullyEncoded),
               shown.toHtmlEscaped()));
  run.working_folder_label->setToolTip(folder);
}

void EngineScreen::FillPhantomBox() {
  const int chosen = std::max(0, run.phantom_box->currentIndex());
  const bool english = CurrentLanguage() == Language::kEnglish;
  const QSignalBlocker quiet(run.phantom_box);
  run.phantom_box->clear();
  for (const PhantomPreset& preset : kPhantomPresets)
    run.phantom_box->addItem(
        QString::fromUtf8(
            english ? preset.name_en.data() : preset.name_ja.data(),
            static_cast<qsizetype>((english ? preset.name_en : preset.name_ja).size())),
        QString::fromUtf8(preset.key.data(), static_cast<qsizetype>(preset.key.size())));
  run.phantom_box->addItem(Tr("EngineScreen", "層を編集…"));
  run.phantom_box->setCurrentIndex(chosen);
}

void EngineScreen::RetranslateUi() {
  RetranslateTexts(this);
  FillPhantomBox();
  run.back_button->setIcon(ExitIcon());  // the icon's caption is drawn in the language
  ShowWorkingFolder();
}

void EngineScreen::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QWidget::changeEvent(event);
}

}  // namespace dosavia::gui
