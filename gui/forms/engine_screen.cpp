#include "gui/forms/engine_screen.h"

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
#include <QPainter>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
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
#include "gui/engine_screen/result_curve_legend.h"
#include "gui/engine_screen/result_curve_sets.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/engine_screen/result_graph_key.h"
#include "gui/engine_screen/engine_console.h"
#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
#include "gui/base/message_text.h"
#include "records/problem_text.h"
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

// Names compared with their runs of digits as numbers, and otherwise without regard to case
// (Qt's collator does so only where it is built with ICU).
bool NumbersInOrder(const QString& a, const QString& b) {
  qsizetype i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i].isDigit() && b[j].isDigit()) {
      qsizetype i_end = i, j_end = j;
      while (i_end < a.size() && a[i_end].isDigit()) ++i_end;
      while (j_end < b.size() && b[j_end].isDigit()) ++j_end;
      // Without their leading zeros, the longer run is the larger number.
      while (i < i_end - 1 && a[i] == QLatin1Char('0')) ++i;
      while (j < j_end - 1 && b[j] == QLatin1Char('0')) ++j;
      if (i_end - i != j_end - j) return i_end - i < j_end - j;
      const QString xs = a.mid(i, i_end - i), ys = b.mid(j, j_end - j);
      if (xs != ys) return xs < ys;
      i = i_end;
      j = j_end;
      continue;
    }
    const QChar ca = a[i].toLower(), cb = b[j].toLower();
    if (ca != cb) return ca < cb;
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

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
constexpr int kDefaultFieldIndex = 8;  // 10 x 10 cm

// The field options' rows inside their group [twips].
constexpr double kOptionLeft = 480.0;
constexpr double kOptionFirstTop = 480.0;
constexpr double kOptionStep = 360.0;
constexpr double kOptionWidth = 2055.0;
constexpr double kOptionHeight = 360.0;

// The comparison controls and the physics switches' three rows lie under the screen's
// original area [twips].
constexpr double kComparisonRowsTwips = 2730;
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
constexpr double kLoadedFileRowTop = 8880;
constexpr double kGeometryRowTop = 9240;
constexpr double kGeometryRowHeight = 360;
constexpr double kLoadedFileWidth = 10575;
constexpr double kParallelOption[] = {8520, 2400};
constexpr double kPointSourceOption[] = {10920, 3000};
constexpr double kSsdBox[] = {13920, 1140};
constexpr double kSsdUnit[] = {15060, 600};
// The table of the drawn sets under the geometry switch [twips].
constexpr double kLegendTop = 9600;
// The SSD the switch offers first [cm]: that of the clinical depth-dose tables.
constexpr int kClinicalSsdCm = 100;
// Picture sizes offered by "画像保存": the screen's graph, then larger ones [px].
const QSize kPictureSizes[] = {{705, 529}, {1024, 768}, {1600, 1200}, {2400, 1800}};

const char kNotFinishedMessage[] =
    QT_TRANSLATE_NOOP("Form4", "\u3000シミュレーションが終了していません\u3000");
const char kSelectFileMessage[] = QT_TRANSLATE_NOOP("Form4", "  結果ファイルを選択して下さい ");

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

// The result file name from the typed count: the millions of the number at the start of
// the text, so "50000000 photons" still names a 50M run.
std::string ResultFileNameFor(const QString& energy, const QString& count) {
  const QString leading = QString::number(LeadingNumber(count), 'g', 17);
  return ResultFileName(energy.toStdString(), leading.toStdString());
}

std::filesystem::path FilePath(const QString& name) {
  return std::filesystem::path(QDir::current().absoluteFilePath(name).toStdU16String());
}

}  // namespace

EngineScreen::EngineScreen(QWidget* parent)
    : QWidget(parent), tables_(std::make_unique<ResultTables>()), shown_tables_(tables_) {
  // The context of the screen's texts, kept from its first name ("Form4"), which the
  // translation file and the browser edition share.
  SetWindowTrContext(this, "Form4");
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
  connect(run.start_button, &QPushButton::clicked, this, &EngineScreen::OnStartRun);
  connect(run.load_run_result_button, &QPushButton::clicked, this, &EngineScreen::OnLoadRunResult);
  connect(results.load_selected_button, &QPushButton::clicked, this, &EngineScreen::OnLoadSelected);
  connect(results.draw_button, &QPushButton::clicked, this, &EngineScreen::OnDrawField);
  connect(graph.kerma_button, &QPushButton::clicked, this, &EngineScreen::OnRedrawKerma);
  connect(graph.clear_button, &QPushButton::clicked, this, &EngineScreen::OnGraphClear);
  connect(run.back_button, &QPushButton::clicked, this, &EngineScreen::OnBackToMenu);
}

// Left: the conditions of a new run, its result file, the run and the return button.
void EngineScreen::CreateNewRunControls() {
  MakeFittedLabel(this,
                  QT_TRANSLATE_NOOP("Form4", "線束中心軸上の深部線量分布を求めるシミュレーション"),
                  240, 120, 7875, 465);
  MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "新規計算"), 1440, 840, 1440, 540);
  QLabel* const energy_caption =
      MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "Ｘ線エネルギー"), 240, 1440, 2205, 465);
  run.energy_box = MakeEditableCombo(this, {"4", "6", "10", "15"}, 2400, 1440, 1215, 540);
  QLabel* const energy_unit = MakeFittedLabel(this, "MV", kEnergyUnitLeft, 1440, 1005, 465);
  QLabel* const parallel_beam_note = MakeFittedLabel(
      this, QT_TRANSLATE_NOOP("Form4", "平行ビーム入射とする"), 240, 2040, 4215, 495);
  QLabel* const field_caption =
      MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "照射野サイズ"), 240, 2640, 2175, 495);
  MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "1×1～15×15"), 2400, 2640, 2085, 465);
  MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "（ペンシルビーム重ね合わせ法で計算）"), 240,
                  3120, 4920, 375);  // up to the result list: room for 14 px on a projector
  QLabel* const photon_count_caption =
      MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "入射光子数"), 240, 3600, 2175, 495);
  // Wide enough for 100000000 at the least readable size on a 1024x768 projector.
  run.photon_count_box = MakeEditableCombo(this, {"10000000", "30000000", "50000000", "100000000"},
                                           2400, 3600, 2500, 540);
  run.ok_button = MakeButton(this, "OK", 240, 4320, 4215, 615);
  QLabel* const result_caption =
      MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "結果ファイル"), 240, 5160, 1695, 495);
  // Wide enough for a name with the tag of switched-off physics ("10MV-30M-noe.data"),
  // reaching into the gap before the middle column; a longer name is set smaller, never cut.
  run.result_name_label = new FittingLabel(this);
  PlaceTwips(run.result_name_label, 1920, 5160, 3300, 465);
  run.result_name_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  SetBackground(run.result_name_label, qRgb(255, 255, 255));
  run.start_button =
      MakeButton(this, QT_TRANSLATE_NOOP("Form4", "シミュレーション開始"), 240, 5760, 4215, 615);
  run.load_run_result_button =
      MakeButton(this, QT_TRANSLATE_NOOP("Form4", "計算結果読み込み"), 240, 6480, 4215, 615);
  graph.kerma_button =
      MakeButton(this, QT_TRANSLATE_NOOP("Form4", "一次線水カーマ 再描画"), 1440, 7440, 3615, 615);
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
                        parallel_beam_note, energy_unit})
    SetBackground(label, kInputLabelColor);
  // The unit's box starts under the energy box: its text starts where the box ends.
  energy_unit->setIndent(TwipsToPixels(kEnergyBoxRight - kEnergyUnitLeft) + kUnitGapPx);
}

// Middle: the result files of the working folder and the field to draw.
void EngineScreen::CreateExistingDataControls() {
  MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "既存データ"), 5640, 840, 1800, 540);
  results.file_list = new QListWidget(this);
  PlaceTwips(results.file_list, 5280, 1440, 2775, 1230);
  QFont list_font = DefaultFont(kFileListFontPoints);
  QStringList families;
  for (const char* family : kFileListFamilies) families << QString::fromUtf8(family);
  families << list_font.families();
  list_font.setFamilies(families);
  results.file_list->setFont(list_font);
  results.file_list->setSelectionMode(QAbstractItemView::SingleSelection);
  results.load_selected_button =
      MakeButton(this, QT_TRANSLATE_NOOP("Form4", "読み込み"), 5280, 2640, 2775, 540);

  results.field_group = new QGroupBox(this);
  SetTrText(results.field_group, "Form4", QT_TRANSLATE_NOOP("Form4", "照射野サイズ"));
  PlaceTwips(results.field_group, 5280, 3360, 2775, 3855);
  const char* const captions[] = {" 1 × 1", " 2 × 2", " 3 × 3",  " 4 × 4", " 5 × 5",
                                  " 6 × 6", " 8 × 8", "10 × 10", "15 × 15"};
  for (int k = kFirstOption; k <= kLastOption; ++k) {
    auto* option = new QRadioButton(QString::fromUtf8(captions[k - 1]), results.field_group);
    PlaceTwips(option, kOptionLeft, kOptionFirstTop + kOptionStep * (k - 1), kOptionWidth,
               kOptionHeight);
    connect(option, &QRadioButton::clicked, this, [this, k] { OnFieldChosen(k); });
    results.field_options[static_cast<std::size_t>(k - 1)] = option;
  }
  results.draw_button =
      MakeButton(this, QT_TRANSLATE_NOOP("Form4", "描 画"), 5280, 7440, 2775, 615);
  graph.clear_button = MakeButton(this, "Graph clear", 5280, 8160, 2775, 615);
}

// Right: the graph with its caption.
void EngineScreen::CreateGraph() {
  MakeFittedLabel(
      this,
      QT_TRANSLATE_NOOP(
          "Form4", "線束中心軸上の深部線量プロファイル（表面の一次線水カーマ（当てはめ値）= 1）"),
      8640, 240, 10545, 420);
  graph.plot = new PictureBox(this);
  PlaceTwips(graph.plot, 8520, 840, 10575, 7935);
  SetUpDepthDosePlot(*graph.plot);
}

void EngineScreen::CreateComparisonControls() {
  run.own_console_box = new QCheckBox(this);
  SetTrText(run.own_console_box, "Form4", kOwnConsoleCaption);
  SetTrToolTip(run.own_console_box, "Form4",
               QT_TRANSLATE_NOOP("Form4",
                                 "Kestrun を端末エミュレータでなく Dosavia のウィンドウで実行し、"
                                 "進み具合を表示します（中止もできます）"));
  PlaceTwips(run.own_console_box, 240, 9120, 4215, 480);
  run.own_console_box->setChecked(UseOwnConsole());
  connect(run.own_console_box, &QCheckBox::toggled, this, [](bool own) { SetUseOwnConsole(own); });
  // The block streams give a file of their own, the same for any number of cores, and
  // differ from the single stream's only by noise: off unless the user chooses it.
  run.all_cores_box = new QCheckBox(this);
  SetTrText(run.all_cores_box, "Form4", QT_TRANSLATE_NOOP("Form4", "並列計算 (%1 コア)"),
            {QString::number(std::max(1, QThread::idealThreadCount()))});
  SetTrToolTip(run.all_cores_box, "Form4",
               QT_TRANSLATE_NOOP("Form4",
                                 "Kestrun をすべてのコアで実行します（--threads 0）。"
                                 "結果は統計誤差の範囲で単一乱数列の計算と一致します"));
  PlaceTwips(run.all_cores_box, 240, 9720, 4215, 480);
  run.all_cores_box->setChecked(UseAllCores());
  connect(run.all_cores_box, &QCheckBox::toggled, this, [](bool all) { SetUseAllCores(all); });
  graph.save_picture_button =
      MakeButton(this, QT_TRANSLATE_NOOP("Form4", "画像保存"), 5280, 9120, 2775, 540);
  graph.save_csv_button =
      MakeButton(this, QT_TRANSLATE_NOOP("Form4", "CSV保存"), 5280, 9840, 2775, 540);
  graph.loaded_file_label = new QLabel(this);
  PlaceTwips(graph.loaded_file_label, 8520, kLoadedFileRowTop, kLoadedFileWidth,
             kGeometryRowHeight);
  graph.loaded_file_label->setFont(DefaultFont(kWorkingFolderPoints));
  CreateGeometrySwitch();
  graph.legend = new CurveSetLegend(this);
  PlaceTwips(graph.legend, 8520, kLegendTop, 10575, 2040);
  // The graph's own key names each drawn set, so that a photograph of the screen or a
  // projector's picture needs no table beside it.
  ShowGraphKey(*graph.plot, [this] { return std::span<const CurveSet>(graph.legend->Sets()); });
  graph.legend->setFont(DefaultFont(kWorkingFolderPoints));
  graph.legend->horizontalHeader()->setFont(DefaultFont(kWorkingFolderPoints));
  graph.save_picture_button->setEnabled(false);
  graph.save_csv_button->setEnabled(false);

  run.physics_switches = new PhysicsSwitchBoxes(this, {3, 2}, kSwitchColumnsTwips,
                                                kSwitchTitleTwips, kSwitchRowTwips, kSwitchPoints);
  PlaceTwips(run.physics_switches, kSwitchGroup[0], kSwitchGroup[1], kSwitchGroup[2],
             kSwitchGroup[3]);
  SetTrText(run.physics_switches, "Form4", QT_TRANSLATE_NOOP("Form4", "物理を切る実験"));
  SetTrToolTip(run.physics_switches, "Form4",
               QT_TRANSLATE_NOOP("Form4",
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
  SetTrText(graph.parallel_option, "Form4", QT_TRANSLATE_NOOP("Form4", "平行ビーム"));
  PlaceTwips(graph.parallel_option, kParallelOption[0], kGeometryRowTop, kParallelOption[1],
             kGeometryRowHeight);
  graph.point_source_option = new QRadioButton(this);
  SetTrText(graph.point_source_option, "Form4", QT_TRANSLATE_NOOP("Form4", "点線源 SSD"));
  SetTrToolTip(graph.point_source_option, "Form4",
               QT_TRANSLATE_NOOP("Form4",
                                 "計算結果（平行ビーム）に逆二乗と深さによる照射野の広がりを"
                                 "かけて、臨床の深部量百分率と同じ点線源の配置に換算します（近似）"));
  PlaceTwips(graph.point_source_option, kPointSourceOption[0], kGeometryRowTop,
             kPointSourceOption[1], kGeometryRowHeight);
  graph.ssd_box = new QSpinBox(this);
  graph.ssd_box->setRange(static_cast<int>(kSmallestSsdCm), static_cast<int>(kLargestSsdCm));
  graph.ssd_box->setValue(kClinicalSsdCm);
  graph.ssd_box->setAlignment(Qt::AlignRight);
  PlaceTwips(graph.ssd_box, kSsdBox[0], kGeometryRowTop, kSsdBox[1], kGeometryRowHeight);
  QLabel* const unit = MakeLabel(this, "cm", kSsdUnit[0], kGeometryRowTop, kSsdUnit[1],
                                 kGeometryRowHeight);
  for (QWidget* part : std::initializer_list<QWidget*>{graph.parallel_option,
                                                       graph.point_source_option, graph.ssd_box,
                                                       unit})
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
  results.field_options[7]->setChecked(true);
  run.photon_count_box->setCurrentText(QStringLiteral("30000000"));
  run.energy_box->setCurrentText(QStringLiteral("10"));
  field_index_ = kDefaultFieldIndex;
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
          .arg(Tr("Form4", "作業フォルダ（クリックで開く）：").toHtmlEscaped(),
               QUrl::fromLocalFile(QDir::currentPath()).toString(QUrl::FullyEncoded),
               shown.toHtmlEscaped()));
  run.working_folder_label->setToolTip(folder);
}

void EngineScreen::RetranslateUi() {
  RetranslateTexts(this);
  run.back_button->setIcon(ExitIcon());  // the icon's caption is drawn in the language
  ShowWorkingFolder();
}

void EngineScreen::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QWidget::changeEvent(event);
}

void EngineScreen::PrepareForShow() {
  run.result_name_label->setText(QString());
  // The compared sets are kept while the program runs: a class that leaves for the visual
  // screen finds its comparison again. "Graph clear" empties it.
  graph.plot->Clear();
  DrawCurveSets(*graph.plot, graph.legend->Sets());
  graph.loaded_file_label->clear();
  for (QPushButton* button : {run.start_button, run.load_run_result_button, results.draw_button,
                              graph.kerma_button, graph.save_picture_button, graph.save_csv_button})
    button->setEnabled(false);
  RefreshFileList();
  ShowWorkingFolder();
}

void EngineScreen::RefreshFileList() {
  results.file_list->clear();
  QStringList names = QDir::current().entryList({QStringLiteral("*.data")}, QDir::Files,
                                                QDir::Name | QDir::IgnoreCase);
  // In the order of the numbers they hold: 4MV before 10MV, 3M before 30M.
  std::stable_sort(names.begin(), names.end(), NumbersInOrder);
  results.file_list->addItems(names);
}

void EngineScreen::OnFieldChosen(int index) {
  if (index >= kFirstOption && index <= kLastOption) field_index_ = index;
}

void EngineScreen::OnPrepareRun() {
  const QString energy = run.energy_box->currentText();
  // "30,000,000" or full-width digits are the count they plainly are.
  const QString count = QString::fromStdString(
      PlainCountText(PlainTypedText(run.photon_count_box->currentText()).toStdString()));
  const std::string spectrum_file = SpectrumFileName(energy.toStdString());
  const std::string result_file = ResultFileNameFor(energy, count);
  // Kestrun reads only the first 20 bytes of each name (a Japanese character takes three):
  // a longer one would make it read another spectrum or write a result this screen never
  // finds.
  if (spectrum_file.size() > static_cast<std::size_t>(kFileNameLength) ||
      result_file.size() > static_cast<std::size_t>(kFileNameLength)) {
    ShowExclamation(
        this, Tr("Form4",
                 "ファイル名「%1」が%2バイト（半角%2文字）を超えます。\n"
                 "Ｘ線エネルギーを短く入力して下さい")
                  .arg(QString::fromStdString(
                      result_file.size() > spectrum_file.size() ? result_file : spectrum_file))
                  .arg(kFileNameLength));
    return;
  }
  // The count is checked now, by the engine's own rule on the very text Joken.dat will hold,
  // instead of being refused by the engine after the run has been started.
  const std::string photon_total = PhotonTotalText(count.toStdString());
  try {
    ReadPhotonTotal(photon_total);
  } catch (const InputError& e) {
    ShowExclamation(
        this, Tr("Form4", "入射光子数「%1」は使えません：\n%2")
                  .arg(run.photon_count_box->currentText(),
                       QString::fromStdString(ProblemSentence(e.problem(), ProblemLanguage()))));
    run.photon_count_box->setFocus();
    return;
  }
  try {
    WriteConditionsFile(FilePath(QString::fromLatin1(kConditionsFile)),
                        ConditionsFileText(spectrum_file, result_file, photon_total));
  } catch (const std::exception& e) {
    ShowExclamation(
        this, FileProblemMessage(
                  Tr("Form4", "%1 を書き込めません").arg(QString::fromLatin1(kConditionsFile)), e));
    return;
  }
  // Joken.dat names the full-physics result; the engine adds the tag of what it is told
  // to leave out, and the screen expects the name the engine writes.
  untagged_result_name_ = QString::fromStdString(result_file);
  result_file_name_ =
      QString::fromStdString(TaggedResultFileName(result_file, run.physics_switches->Switches()));
  run.result_name_label->setText(result_file_name_);
  run.start_button->setEnabled(true);
  run.start_button->setFocus();
}

void EngineScreen::SwitchPhysics() {
  // Only a prepared run, one that Start would begin, changes its name.
  if (untagged_result_name_.isEmpty() || !run.start_button->isEnabled()) return;
  const QString name = QString::fromStdString(
      TaggedResultFileName(untagged_result_name_.toStdString(), run.physics_switches->Switches()));
  if (name == result_file_name_) return;
  result_file_name_ = name;
  run.result_name_label->setText(result_file_name_);
  run_started_.reset();
  run.load_run_result_button->setEnabled(false);
}

void EngineScreen::OnStartRun() {
  LaunchResult launch;
  if (run.own_console_box->isChecked()) {
    QString engine;
    launch = FindEngineFor(QDir::currentPath(), &engine);
    if (launch.started) {
      if (console == nullptr) {
        console = new EngineConsole(this);
        connect(console, &EngineConsole::finished, this, &EngineScreen::OnEngineFinished);
      }
      launch.started = console->Start(
          engine, QDir::currentPath(), result_file_name_, &launch.problem,
          EngineArguments(run.all_cores_box->isChecked(), run.physics_switches->Switches()));
      if (!console->isVisible()) {
        const QScreen* screen = this->screen();
        // The controls end where the graph's frame begins.
        const QRect place =
            ConsolePlace(frameGeometry(), console->frameGeometry().size(),
                         screen != nullptr ? screen->availableGeometry() : geometry(),
                         graph.plot->mapToGlobal(QPoint(0, 0)).x());
        console->resize(place.size() - (console->frameGeometry().size() - console->size()));
        console->move(place.topLeft());
      }
      console->show();
      console->raise();
    }
  } else {
    launch = StartKestrun(QDir::currentPath(), EngineArguments(run.all_cores_box->isChecked(),
                                                               run.physics_switches->Switches()));
  }
  if (!launch.started) {
    ShowExclamation(this, Tr("Form4", "シミュレーションを開始できません\n%1").arg(launch.problem));
    return;
  }
  run_started_ = std::filesystem::file_time_type::clock::now();
  run.load_run_result_button->setEnabled(true);
}

void EngineScreen::OnEngineFinished(bool ok, const QString& result_path) {
  RefreshFileList();
  if (!ok) return;
  const QString name = QFileInfo(result_path).fileName();
  for (QListWidgetItem* item : results.file_list->findItems(name, Qt::MatchExactly))
    item->setSelected(true);
  try {
    LoadResult(name);
  } catch (const InputError& e) {
    ShowExclamation(
        this,
        FileProblemMessage(
            Tr("Form4", "%1 は計算結果ファイルとして読み込めません").arg(ShownText(name)), e));
  }
}

void EngineScreen::OnLoadRunResult() {
  // Before any OK no result file is named, so no run can have finished. While the run
  // started here goes on, a file of that name is an earlier run's (the name says only the
  // energy and the millions of photons).
  const bool running = console != nullptr && console->Running();
  const bool earlier = run_started_ && !WrittenSince(FilePath(result_file_name_), *run_started_);
  if (!result_file_name_.isEmpty() && !running && !earlier) {
    try {
      LoadResult(result_file_name_);
      return;
    } catch (const InputError&) {
      // The run has not written its whole file yet.
    }
  }
  ShowExclamation(this, Tr("Form4", kNotFinishedMessage));
}

void EngineScreen::OnLoadSelected() {
  const QList<QListWidgetItem*> selected = results.file_list->selectedItems();
  if (selected.isEmpty()) {
    ShowExclamation(this, Tr("Form4", kSelectFileMessage));
    return;
  }
  const QString name = selected.front()->text();
  try {
    LoadResult(name);
  } catch (const InputError& e) {
    ShowExclamation(
        this,
        FileProblemMessage(
            Tr("Form4", "%1 は計算結果ファイルとして読み込めません").arg(ShownText(name)), e));
  }
}

void EngineScreen::SetFolderOpener(UrlOpener open) { folder_opener_ = std::move(open); }

void EngineScreen::LoadResult(const QString& path) {
  LoadedResult loaded = ReadResultWithStatistics(FilePath(path), path.toStdString());
  tables_ = std::move(loaded.tables);
  statistics_ = std::move(loaded.statistics);
  loaded_file_ = path;
  shown_tables_ = InShownGeometry(tables_);
  QCoreApplication::processEvents();
  graph.plot->Clear();
  // The sets drawn so far stay, so that results of other files can be laid over them.
  DrawCurveSets(*graph.plot, graph.legend->Sets(), shown_tables_.get());
  // Statistics beside it that are not taken are said with the file, so that "estimated"
  // in the table is not taken for a run without them.
  QString shown = loaded_file_;
  if (loaded.statistics_problem)
    shown += QStringLiteral("  (") +
             QString::fromStdString(ProblemLine(*loaded.statistics_problem, ProblemLanguage())) +
             QStringLiteral(")");
  SetTrText(graph.loaded_file_label, "Form4", QT_TRANSLATE_NOOP("Form4", "読み込んだファイル：%1"),
            {shown});
  for (QPushButton* button :
       {results.draw_button, graph.kerma_button, graph.save_picture_button, graph.save_csv_button})
    button->setEnabled(true);
}

void EngineScreen::OnDrawField() {
  CurveSet set;
  set.tables = shown_tables_;
  set.field = field_index_;
  set.file = loaded_file_;
  set.energy = EnergyOfResultName(loaded_file_);
  if (shown_ssd_cm_ > 0) {
    set.parallel = tables_;
    set.ssd_cm = shown_ssd_cm_;
  }
  set.statistics = statistics_;
  graph.legend->AddSet(std::move(set));
  // All again, so that the new set's kerma lies under the doses drawn before it.
  graph.plot->Clear();
  DrawCurveSets(*graph.plot, graph.legend->Sets(), shown_tables_.get());
  graph.plot->update();  // the key names the new set
}

void EngineScreen::OnRedrawKerma() { DrawKermaCurve(*graph.plot, *shown_tables_); }

double EngineScreen::ShownSsdCm() const {
  return graph.point_source_option->isChecked() ? graph.ssd_box->value() : 0.0;
}

std::shared_ptr<const ResultTables> EngineScreen::InShownGeometry(
    const std::shared_ptr<const ResultTables>& parallel) {
  if (shown_ssd_cm_ <= 0) return parallel;
  for (const auto& [from, made] : point_source_tables_)
    if (from == parallel) return made;
  point_source_tables_.emplace_back(parallel, ClinicalGeometryTables(*parallel, shown_ssd_cm_));
  return point_source_tables_.back().second;
}

void EngineScreen::OnGeometryChosen() {
  const double ssd = ShownSsdCm();
  if (ssd == shown_ssd_cm_) return;
  shown_ssd_cm_ = ssd;
  point_source_tables_.clear();
  shown_tables_ = InShownGeometry(tables_);
  // Every set again from its parallel tables, in its order and so in its colours; its
  // table row measured anew.
  std::vector<CurveSet> sets = graph.legend->Sets();
  graph.legend->ClearSets();
  graph.plot->Clear();
  for (CurveSet& set : sets) {
    const std::shared_ptr<const ResultTables> parallel = set.parallel ? set.parallel : set.tables;
    set.tables = InShownGeometry(parallel);
    set.parallel = ssd > 0 ? parallel : nullptr;
    set.ssd_cm = ssd;
    set.row.reset();
    graph.legend->AddSet(std::move(set));
  }
  // The loaded file's kerma where it was shown.
  DrawCurveSets(*graph.plot, graph.legend->Sets(),
                graph.kerma_button->isEnabled() ? shown_tables_.get() : nullptr);
  graph.plot->update();
}

void EngineScreen::OnGraphClear() {
  graph.plot->Clear();
  graph.legend->ClearSets();
  graph.plot->update();
}

void EngineScreen::SaveGraphPicture(const QString& path, QSize size) {
  WritePngFile(
      RenderCurveSetsPicture(shown_tables_.get(),
                             KermaCaption(shown_tables_.get(), loaded_file_, graph.legend->Sets()) +
                                 QStringLiteral("    ") + GeometryCaption(shown_ssd_cm_),
                             graph.legend->Sets(), size),
      QFile::encodeName(path).toStdString());
}

void EngineScreen::SaveCurvesCsv(const QString& path) {
  WriteExportFile(QFile::encodeName(path).toStdString(),
                  CurvesCsvText(shown_tables_.get(), loaded_file_, graph.legend->Sets(),
                                shown_ssd_cm_));
}

QString EngineScreen::ExportPath(const QString& chosen, const QString& suffix) {
  if (chosen.isEmpty()) return {};
  const QString path = chosen.endsWith(suffix, Qt::CaseInsensitive) ? chosen : chosen + suffix;
  // A shipped spectrum or another run's result is refused before any question, so that the
  // user is never asked whether to replace what would not be replaced.
  try {
    CheckExportTarget(QFile::encodeName(path).toStdString());
  } catch (const std::exception& e) {
    ShowExclamation(this, FileProblemMessage(Tr("Form4", "このファイルには保存できません"), e));
    return {};
  }
  if (QFileInfo::exists(path) && !AskToGoOn(this,
                                            Tr("Form4", "%1 は既にあります。置き換えますか？")
                                                .arg(ShownText(QFileInfo(path).fileName())),
                                            Tr("Form4", "置き換える"), Tr("Form4", "やめる")))
    return {};
  return path;
}

QString EngineScreen::AskExportPath(const QString& title, const char* default_name,
                                    const QString& filter, const QString& suffix) {
  // The dialog does not ask about replacing: the name is checked first (ExportPath).
  return ExportPath(QFileDialog::getSaveFileName(
                        this, title,
                        QDir::current().absoluteFilePath(QString::fromStdString(ExportFileName(
                            QFileInfo(loaded_file_).fileName().toStdString(), default_name))),
                        filter, nullptr, QFileDialog::DontConfirmOverwrite),
                    suffix);
}

void EngineScreen::OnSavePicture() {
  QStringList sizes;
  for (const QSize& s : kPictureSizes)
    sizes << QStringLiteral("%1 × %2").arg(s.width()).arg(s.height());
  bool ok = false;
  const QString size =
      QInputDialog::getItem(this, Tr("Form4", "画像保存"),
                            Tr("Form4", "グラフの大きさ（ピクセル）"), sizes, 0, false, &ok);
  if (!ok) return;
  const QString path = AskExportPath(Tr("Form4", "画像保存"), "graph.png",
                                     QStringLiteral("PNG (*.png)"), QStringLiteral(".png"));
  if (path.isEmpty()) return;
  try {
    SaveGraphPicture(path, kPictureSizes[sizes.indexOf(size)]);
  } catch (const std::exception& e) {
    ShowExclamation(this, FileProblemMessage(Tr("Form4", "画像を保存できません"), e));
  }
}

void EngineScreen::OnSaveCsv() {
  const QString path = AskExportPath(Tr("Form4", "CSV保存"), "curves.csv",
                                     QStringLiteral("CSV (*.csv)"), QStringLiteral(".csv"));
  if (path.isEmpty()) return;
  try {
    SaveCurvesCsv(path);
  } catch (const std::exception& e) {
    ShowExclamation(this, FileProblemMessage(Tr("Form4", "CSV ファイルを保存できません"), e));
  }
}

void EngineScreen::OnBackToMenu() {
  QFile::remove(QDir::current().absoluteFilePath(QString::fromLatin1(kConditionsFile)));
  ShowMainMenu();
  hide();
}

void EngineScreen::closeEvent(QCloseEvent* event) {
  // The title bar's close button returns to the menu, as the return icon does; a run in
  // Dosavia's own console window goes on there.
  event->ignore();
  OnBackToMenu();
}

}  // namespace dosavia::gui
