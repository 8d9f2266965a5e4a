#include "gui/forms/form4_engine_screen.h"

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
#include "gui/app/app_forms.h"
#include "gui/engine_screen/result_curve_legend.h"
#include "gui/engine_screen/result_curve_sets.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/engine_screen/result_graph_key.h"
#include "gui/engine_screen/engine_console.h"
#include "gui/widgets/form_style.h"
#include "gui/app/language.h"
#include "gui/app/message_text.h"
#include "gui/app/working_folder.h"
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
// File1 lists names in a fixed-pitch Gothic face.
constexpr double kFileListFontPoints = 12.0;
constexpr QRgb kInputLabelColor = qRgb(192, 255, 255);
// Combo2 reaches into Label23 ("MV") [twips]; the unit is set this far after it [px].
constexpr double kLabel23Left = 3480;
constexpr double kCombo2Right = 2400 + 1215;
constexpr int kUnitGapPx = 3;

// Label25 shows the working folder's path in this size [pt].
constexpr double kWorkingFolderPoints = 9.0;

constexpr int kFirstOption = 1;
constexpr int kLastOption = 9;
constexpr int kDefaultFieldIndex = 8;  // 10 x 10 cm

// Option rows inside Frame1 [twips].
constexpr double kOptionLeft = 480.0;
constexpr double kOptionFirstTop = 480.0;
constexpr double kOptionStep = 360.0;
constexpr double kOptionWidth = 2055.0;
constexpr double kOptionHeight = 360.0;

// The comparison controls lie under the screen's original area [twips].
constexpr double kComparisonRowsTwips = 2400;
// The physics switches under the left and middle columns: three columns of 2, 2 and 1
// boxes [twips], in a face small enough for the longest English name [pt].
constexpr double kSwitchGroup[] = {240, 10440, 7815, 930};
constexpr double kSwitchTitleTwips = 300;
constexpr double kSwitchRowTwips = 300;
constexpr double kSwitchPoints = 10.0;
// Picture sizes offered by "画像保存": the screen's graph, then larger ones [px].
const QSize kPictureSizes[] = {{705, 529}, {1024, 768}, {1600, 1200}, {2400, 1800}};

const char kNotFinishedMessage[] =
    QT_TRANSLATE_NOOP("Form4", "\u3000シミュレーションが終了していません\u3000");
const char kSelectFileMessage[] = QT_TRANSLATE_NOOP("Form4", "  結果ファイルを選択して下さい ");

// Fixed-pitch Gothic faces for the file list: the Windows one first, then the ones other
// systems ship.
const char* const kFileListFamilies[] = {"ＭＳ ゴシック",         "MS Gothic",   "IPAGothic",
                                         "Noto Sans Mono CJK JP", "TakaoGothic", "VL Gothic"};

QLabel* MakeFittedLabel(QWidget* parent, const char* text, double left, double top,
                        double width, double height) {
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

Form4::Form4(QWidget* parent) : QWidget(parent), tables_(std::make_unique<ResultTables>()) {
  setWindowTitle(QStringLiteral(" Non Visual Simulation"));
  setFont(DefaultFont(kFormFontPoints));
  resize(TwipsRect(0, 0, 19425, 9030 + kComparisonRowsTwips).size());
  CreateControls();
  CreateComparisonControls();
  Form_Load();
  MakeScalable(this, 19425, 9030 + kComparisonRowsTwips);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

Form4::~Form4() = default;

// The screen's three columns, left to right, then the order of overlapping controls and
// the buttons' actions.
void Form4::CreateControls() {
  CreateNewRunControls();
  CreateExistingDataControls();
  CreateGraph();

  // Labels lie under the boxes and buttons that overlap them.
  for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) label->lower();

  connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form4::Command2_Click);
  connect(Command4, &QPushButton::clicked, this, &Form4::Command4_Click);
  connect(Command9, &QPushButton::clicked, this, &Form4::Command9_Click);
  connect(Command5, &QPushButton::clicked, this, &Form4::Command5_Click);
  connect(Command8, &QPushButton::clicked, this, &Form4::Command8_Click);
  connect(Command6, &QPushButton::clicked, this, &Form4::Command6_Click);
  connect(Command7, &QPushButton::clicked, this, &Form4::Command7_Click);
}

// Left: the conditions of a new run, its result file, the run and the return button.
void Form4::CreateNewRunControls() {
  Label14 = MakeFittedLabel(
      this, QT_TRANSLATE_NOOP("Form4", "線束中心軸上の深部線量分布を求めるシミュレーション"), 240,
      120, 7875, 465);
  Label16 = MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "新規計算"), 1440, 840, 1440, 540);
  Label15 =
      MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "Ｘ線エネルギー"), 240, 1440, 2205, 465);
  Combo2 = MakeEditableCombo(this, {"4", "6", "10", "15"}, 2400, 1440, 1215, 540);
  Label23 = MakeFittedLabel(this, "MV", kLabel23Left, 1440, 1005, 465);
  Label19 = MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "平行ビーム入射とする"), 240, 2040,
                            4215, 495);
  Label18 = MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "照射野サイズ"), 240, 2640, 2175, 495);
  Label10 = MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "1×1～15×15"), 2400, 2640, 2085, 465);
  Label11 =
      MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "（ペンシルビーム重ね合わせ法で計算）"), 240,
                      3120, 4920, 375);  // up to the result list: room for 14 px on a projector
  Label12 = MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "入射光子数"), 240, 3600, 2175, 495);
  Combo1 =
      MakeEditableCombo(this, {"10000000", "30000000", "50000000", "100000000"}, 2400, 3600, 2055, 540);
  Command1 = MakeButton(this, "OK", 240, 4320, 4215, 615);
  Label13 = MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "結果ファイル"), 240, 5160, 1695, 495);
  // Wide enough for a name with the tag of switched-off physics ("10MV-30M-noe.data"),
  // reaching into the gap before the middle column; a longer name is set smaller, never cut.
  Label24 = new FittingLabel(this);
  PlaceTwips(Label24, 1920, 5160, 3300, 465);
  Label24->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  SetBackground(Label24, qRgb(255, 255, 255));
  Command2 =
      MakeButton(this, QT_TRANSLATE_NOOP("Form4", "シミュレーション開始"), 240, 5760, 4215, 615);
  Command4 = MakeButton(this, QT_TRANSLATE_NOOP("Form4", "計算結果読み込み"), 240, 6480, 4215, 615);
  Command8 =
      MakeButton(this, QT_TRANSLATE_NOOP("Form4", "一次線水カーマ 再描画"), 1440, 7440, 3615, 615);
  Command7 = MakeButton(this, "", 120, 8280, 615, 615);
  Command7->setIcon(ExitIcon());
  Command7->setIconSize(QSize(kIconSize, kIconSize));
  // The working folder beside the return button: runs and results live there.
  Label25 = new QLabel(this);
  PlaceTwips(Label25, 840, 8280, 3615, 615);
  Label25->setFont(DefaultFont(kWorkingFolderPoints));
  Label25->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The file manager, or where the folder is when none opens.
  connect(Label25, &QLabel::linkActivated, this,
          [this] { OpenWorkingFolder(QDir::currentPath(), this, folder_opener_); });
  for (QLabel* label : {Label12, Label13, Label15, Label18, Label19, Label23})
    SetBackground(label, kInputLabelColor);
  // The unit's box starts under the energy box: its text starts where the box ends.
  Label23->setIndent(TwipsToPixels(kCombo2Right - kLabel23Left) + kUnitGapPx);
}

// Middle: the result files of the working folder and the field to draw.
void Form4::CreateExistingDataControls() {
  Label9 = MakeFittedLabel(this, QT_TRANSLATE_NOOP("Form4", "既存データ"), 5640, 840, 1800, 540);
  File1 = new QListWidget(this);
  PlaceTwips(File1, 5280, 1440, 2775, 1230);
  QFont list_font = DefaultFont(kFileListFontPoints);
  QStringList families;
  for (const char* family : kFileListFamilies) families << QString::fromUtf8(family);
  families << list_font.families();
  list_font.setFamilies(families);
  File1->setFont(list_font);
  File1->setSelectionMode(QAbstractItemView::SingleSelection);
  Command9 = MakeButton(this, QT_TRANSLATE_NOOP("Form4", "読み込み"), 5280, 2640, 2775, 540);

  Frame1 = new QGroupBox(this);
  SetTrText(Frame1, "Form4", QT_TRANSLATE_NOOP("Form4", "照射野サイズ"));
  PlaceTwips(Frame1, 5280, 3360, 2775, 3855);
  const char* const captions[] = {" 1 × 1", " 2 × 2", " 3 × 3",  " 4 × 4", " 5 × 5",
                                  " 6 × 6", " 8 × 8", "10 × 10", "15 × 15"};
  for (int k = kFirstOption; k <= kLastOption; ++k) {
    auto* option = new QRadioButton(QString::fromUtf8(captions[k - 1]), Frame1);
    PlaceTwips(option, kOptionLeft, kOptionFirstTop + kOptionStep * (k - 1), kOptionWidth,
               kOptionHeight);
    connect(option, &QRadioButton::clicked, this, [this, k] { Option_Click(k); });
    options_[k] = option;
  }
  Option1 = options_[1];
  Option2 = options_[2];
  Option3 = options_[3];
  Option4 = options_[4];
  Option5 = options_[5];
  Option6 = options_[6];
  Option7 = options_[7];
  Option8 = options_[8];
  Option9 = options_[9];
  Command5 = MakeButton(this, QT_TRANSLATE_NOOP("Form4", "描 画"), 5280, 7440, 2775, 615);
  Command6 = MakeButton(this, "Graph clear", 5280, 8160, 2775, 615);
}

// Right: the graph with its caption.
void Form4::CreateGraph() {
  Label8 = MakeFittedLabel(
      this,
      QT_TRANSLATE_NOOP(
          "Form4", "線束中心軸上の深部線量プロファイル（一次線による水カーマの最大値で正規化）"),
      8640, 240, 10545, 420);
  Picture1 = new PictureBox(this);
  PlaceTwips(Picture1, 8520, 840, 10575, 7935);
  SetUpDepthDosePlot(*Picture1);
}

void Form4::CreateComparisonControls() {
  Check1 = new QCheckBox(this);
  SetTrText(Check1, "Form4", kOwnConsoleCaption);
  SetTrToolTip(Check1, "Form4",
               QT_TRANSLATE_NOOP("Form4",
                                 "Kestrun を端末エミュレータでなく Dosavia のウィンドウで実行し、"
                                 "進み具合を表示します（中止もできます）"));
  PlaceTwips(Check1, 240, 9120, 4215, 480);
  Check1->setChecked(UseOwnConsole());
  connect(Check1, &QCheckBox::toggled, this, [](bool own) { SetUseOwnConsole(own); });
  // The block streams give a file of their own, the same for any number of cores, and
  // differ from the single stream's only by noise: off unless the user chooses it.
  Check2 = new QCheckBox(this);
  SetTrText(Check2, "Form4", QT_TRANSLATE_NOOP("Form4", "並列計算 (%1 コア)"),
            {QString::number(std::max(1, QThread::idealThreadCount()))});
  SetTrToolTip(Check2, "Form4",
               QT_TRANSLATE_NOOP("Form4", "Kestrun をすべてのコアで実行します（--threads 0）。"
                                          "結果は統計誤差の範囲で単一乱数列の計算と一致します"));
  PlaceTwips(Check2, 240, 9720, 4215, 480);
  Check2->setChecked(UseAllCores());
  connect(Check2, &QCheckBox::toggled, this, [](bool all) { SetUseAllCores(all); });
  Command10 = MakeButton(this, QT_TRANSLATE_NOOP("Form4", "画像保存"), 5280, 9120, 2775, 540);
  Command11 = MakeButton(this, QT_TRANSLATE_NOOP("Form4", "CSV保存"), 5280, 9840, 2775, 540);
  Label26 = new QLabel(this);
  PlaceTwips(Label26, 8520, 8880, 10575, 360);
  Label26->setFont(DefaultFont(kWorkingFolderPoints));
  Legend1 = new CurveSetLegend(this);
  PlaceTwips(Legend1, 8520, 9240, 10575, 2040);
  // The graph's own key names each drawn set, so that a photograph of the screen or a
  // projector's picture needs no table beside it.
  ShowGraphKey(*Picture1, [this] { return std::span<const CurveSet>(Legend1->Sets()); });
  Legend1->setFont(DefaultFont(kWorkingFolderPoints));
  Legend1->horizontalHeader()->setFont(DefaultFont(kWorkingFolderPoints));
  Command10->setEnabled(false);
  Command11->setEnabled(false);

  Frame2 = new PhysicsSwitchBoxes(this, {2, 2, 1}, {3300, 2400, 1900}, kSwitchTitleTwips,
                                  kSwitchRowTwips, kSwitchPoints);
  PlaceTwips(Frame2, kSwitchGroup[0], kSwitchGroup[1], kSwitchGroup[2], kSwitchGroup[3]);
  SetTrText(Frame2, "Form4", QT_TRANSLATE_NOOP("Form4", "物理を切る実験"));
  SetTrToolTip(Frame2, "Form4",
               QT_TRANSLATE_NOOP("Form4", "チェックした物理を切って Kestrun を実行します"
                                          "（--without）。結果ファイルの名前に印が付きます"));
  connect(Frame2, &PhysicsSwitchBoxes::switched, this, &Form4::SwitchPhysics);
  connect(Command10, &QPushButton::clicked, this, &Form4::Command10_Click);
  connect(Command11, &QPushButton::clicked, this, &Form4::Command11_Click);
}

void Form4::Form_Load() {
  Option8->setChecked(true);
  Combo1->setCurrentText(QStringLiteral("30000000"));
  Combo2->setCurrentText(QStringLiteral("10"));
  field_index_ = kDefaultFieldIndex;
  RefreshFileList();
  ShowWorkingFolder();
}

void Form4::ShowWorkingFolder() {
  // The caption on a line of its own, the path under it: its last folders are what tells
  // one folder from another, so a long path loses its start, never its middle.
  const QString folder = QDir::toNativeSeparators(QDir::currentPath());
  const QString shown = PathEndFitting(folder, QFontMetrics(Label25->font()), Label25->width());
  Label25->setText(QStringLiteral("%1<br><a href=\"%2\">%3</a>")
                       .arg(Tr("Form4", "作業フォルダ（クリックで開く）：").toHtmlEscaped(),
                            QUrl::fromLocalFile(QDir::currentPath()).toString(QUrl::FullyEncoded),
                            shown.toHtmlEscaped()));
  Label25->setToolTip(folder);
}

void Form4::RetranslateUi() {
  RetranslateTexts(this);
  Command7->setIcon(ExitIcon());  // the icon's caption is drawn in the language
  ShowWorkingFolder();
}

void Form4::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QWidget::changeEvent(event);
}

void Form4::PrepareForShow() {
  Label24->setText(QString());
  // The compared sets are kept while the program runs: a class that leaves for the visual
  // screen finds its comparison again. "Graph clear" empties it.
  Picture1->Clear();
  for (const CurveSet& set : Legend1->Sets()) DrawCurveSet(*Picture1, set);
  Label26->clear();
  for (QPushButton* button : {Command2, Command4, Command5, Command8, Command10, Command11})
    button->setEnabled(false);
  RefreshFileList();
  ShowWorkingFolder();
}

void Form4::RefreshFileList() {
  File1->clear();
  QStringList names = QDir::current().entryList({QStringLiteral("*.data")}, QDir::Files,
                                                QDir::Name | QDir::IgnoreCase);
  // In the order of the numbers they hold: 4MV before 10MV, 3M before 30M.
  std::stable_sort(names.begin(), names.end(), NumbersInOrder);
  File1->addItems(names);
}

void Form4::Option_Click(int index) {
  if (index >= kFirstOption && index <= kLastOption) field_index_ = index;
}

void Form4::Command1_Click() {
  const QString energy = Combo2->currentText();
  // "30,000,000" or full-width digits are the count they plainly are.
  const QString count = QString::fromStdString(
      PlainCountText(PlainTypedText(Combo1->currentText()).toStdString()));
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
    ShowExclamation(this, Tr("Form4", "入射光子数「%1」は使えません：\n%2")
                              .arg(Combo1->currentText(),
                                   QString::fromStdString(
                                       ProblemSentence(e.problem(), ProblemLanguage()))));
    Combo1->setFocus();
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
  result_file_name_ = QString::fromStdString(TaggedResultFileName(result_file, Frame2->Switches()));
  Label24->setText(result_file_name_);
  Command2->setEnabled(true);
  Command2->setFocus();
}

void Form4::SwitchPhysics() {
  // Only a prepared run, one that Start would begin, changes its name.
  if (untagged_result_name_.isEmpty() || !Command2->isEnabled()) return;
  const QString name = QString::fromStdString(
      TaggedResultFileName(untagged_result_name_.toStdString(), Frame2->Switches()));
  if (name == result_file_name_) return;
  result_file_name_ = name;
  Label24->setText(result_file_name_);
  run_started_.reset();
  Command4->setEnabled(false);
}

void Form4::Command2_Click() {
  LaunchResult launch;
  if (Check1->isChecked()) {
    QString engine;
    launch = FindEngineFor(QDir::currentPath(), &engine);
    if (launch.started) {
      if (Console == nullptr) {
        Console = new EngineConsole(this);
        connect(Console, &EngineConsole::finished, this, &Form4::OnEngineFinished);
      }
      launch.started = Console->Start(engine, QDir::currentPath(), result_file_name_,
                                      &launch.problem,
                                      EngineArguments(Check2->isChecked(), Frame2->Switches()));
      if (!Console->isVisible()) {
        const QScreen* screen = this->screen();
        Console->move(ConsolePlace(frameGeometry(), Console->frameGeometry().size(),
                                   screen != nullptr ? screen->availableGeometry() : geometry()));
      }
      Console->show();
      Console->raise();
    }
  } else {
    launch = StartKestrun(QDir::currentPath(),
                          EngineArguments(Check2->isChecked(), Frame2->Switches()));
  }
  if (!launch.started) {
    ShowExclamation(this, Tr("Form4", "シミュレーションを開始できません\n%1").arg(launch.problem));
    return;
  }
  run_started_ = std::filesystem::file_time_type::clock::now();
  Command4->setEnabled(true);
}

void Form4::OnEngineFinished(bool ok, const QString& result_path) {
  RefreshFileList();
  if (!ok) return;
  const QString name = QFileInfo(result_path).fileName();
  for (QListWidgetItem* item : File1->findItems(name, Qt::MatchExactly)) item->setSelected(true);
  try {
    LoadResult(name);
  } catch (const InputError& e) {
    ShowExclamation(
        this,
        FileProblemMessage(
            Tr("Form4", "%1 は計算結果ファイルとして読み込めません").arg(ShownText(name)), e));
  }
}

void Form4::Command4_Click() {
  // Before any OK no result file is named, so no run can have finished. While the run
  // started here goes on, a file of that name is an earlier run's (the name says only the
  // energy and the millions of photons).
  const bool running = Console != nullptr && Console->Running();
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

void Form4::Command9_Click() {
  const QList<QListWidgetItem*> selected = File1->selectedItems();
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

void Form4::SetFolderOpener(UrlOpener open) { folder_opener_ = std::move(open); }

void Form4::LoadResult(const QString& path) {
  tables_ = ReadResultFile(FilePath(path), path.toStdString());
  loaded_file_ = path;
  QCoreApplication::processEvents();
  Picture1->Clear();
  // The sets drawn so far stay, so that results of other files can be laid over them.
  for (const CurveSet& set : Legend1->Sets()) DrawCurveSet(*Picture1, set);
  DrawKermaCurve(*Picture1, *tables_);
  SetTrText(Label26, "Form4", QT_TRANSLATE_NOOP("Form4", "読み込んだファイル：%1"), {loaded_file_});
  for (QPushButton* button : {Command5, Command8, Command10, Command11}) button->setEnabled(true);
}

void Form4::Command5_Click() {
  DrawCurveSet(*Picture1, Legend1->AddSet({tables_, field_index_, loaded_file_,
                                           EnergyOfResultName(loaded_file_)}));
  Picture1->update();  // the key names the new set
}

void Form4::Command8_Click() { DrawKermaCurve(*Picture1, *tables_); }

void Form4::Command6_Click() {
  Picture1->Clear();
  Legend1->ClearSets();
  Picture1->update();
}

void Form4::SaveGraphPicture(const QString& path, QSize size) {
  WritePngFile(RenderCurveSetsPicture(tables_.get(), Tr("Form4", "一次線水カーマ：") + loaded_file_,
                                      Legend1->Sets(), size),
               QFile::encodeName(path).toStdString());
}

void Form4::SaveCurvesCsv(const QString& path) {
  WriteExportFile(QFile::encodeName(path).toStdString(),
                      CurvesCsvText(tables_.get(), loaded_file_, Legend1->Sets()));
}

void Form4::Command10_Click() {
  QStringList sizes;
  for (const QSize& s : kPictureSizes) sizes << QStringLiteral("%1 × %2").arg(s.width()).arg(s.height());
  bool ok = false;
  const QString size =
      QInputDialog::getItem(this, Tr("Form4", "画像保存"),
                            Tr("Form4", "グラフの大きさ（ピクセル）"), sizes, 0, false, &ok);
  if (!ok) return;
  const QString path = QFileDialog::getSaveFileName(
      this, Tr("Form4", "画像保存"),
      QDir::current().absoluteFilePath(QString::fromStdString(
          ExportFileName(QFileInfo(loaded_file_).fileName().toStdString(), "graph.png"))),
      QStringLiteral("PNG (*.png)"));
  if (path.isEmpty()) return;
  try {
    SaveGraphPicture(path.endsWith(".png", Qt::CaseInsensitive) ? path : path + ".png",
                     kPictureSizes[sizes.indexOf(size)]);
  } catch (const std::exception& e) {
    ShowExclamation(this, FileProblemMessage(Tr("Form4", "画像を保存できません"), e));
  }
}

void Form4::Command11_Click() {
  const QString path = QFileDialog::getSaveFileName(
      this, Tr("Form4", "CSV保存"),
      QDir::current().absoluteFilePath(QString::fromStdString(
          ExportFileName(QFileInfo(loaded_file_).fileName().toStdString(), "curves.csv"))),
      QStringLiteral("CSV (*.csv)"));
  if (path.isEmpty()) return;
  try {
    SaveCurvesCsv(path.endsWith(".csv", Qt::CaseInsensitive) ? path : path + ".csv");
  } catch (const std::exception& e) {
    ShowExclamation(this, FileProblemMessage(Tr("Form4", "CSV ファイルを保存できません"), e));
  }
}

void Form4::Command7_Click() {
  QFile::remove(QDir::current().absoluteFilePath(QString::fromLatin1(kConditionsFile)));
  ShowMainMenu();
  hide();
}

void Form4::closeEvent(QCloseEvent* event) {
  // The title bar's close button returns to the menu, as the return icon does; a run in
  // Dosavia's own console window goes on there.
  event->ignore();
  Command7_Click();
}

}  // namespace dosavia::gui
