// The non-visual screen: the conditions file that "OK" writes, loading result files into
// the graph, the button states and the warnings, the physics switches' result names and
// engine arguments, and leaving and coming back.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

#include "engine/conditions_file.h"
#include "gui/engine_screen/graph_depth_probe.h"
#include "engine/result_file.h"
#include "models/clinical_geometry.h"
#include "models/curve_table.h"
#include "gui_test_support.h"
#include "gui/app/window_registry.h"
#include "gui/engine_screen/result_curve_sets.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/forms/menu_window.h"
#include "gui/engine_screen/result_curve_legend.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui/engine_screen/kestrun_launcher.h"
#include "models/phantom_presets.h"
#include "gui/widgets/physics_switch_boxes.h"

using namespace dosavia;
using namespace dosavia::gui;
using namespace dosavia::gui::testing;

namespace {

const QString kNotFinished = QString::fromUtf8("\u3000シミュレーションが終了していません\u3000");
const QString kSelectFile = QString::fromUtf8("  結果ファイルを選択して下さい ");

// Types the two texts and presses "OK"; returns the message boxes it showed.
std::vector<CapturedMessage> PressOk(EngineScreen& form, const QString& energy,
                                     const QString& count) {
  form.run.energy_box->setCurrentText(energy);
  form.run.photon_count_box->setCurrentText(count);
  return MessagesDuring([&] { form.run.ok_button->click(); });
}

bool SameTables(const ResultTables& a, const ResultTables& b) {
  return a.Kerma == b.Kerma && a.DoseTable == b.DoseTable;
}

QListWidgetItem* FileItem(EngineScreen& form, const QString& name) {
  const auto items = form.results.file_list->findItems(name, Qt::MatchExactly);
  return items.isEmpty() ? nullptr : items.front();
}

// Selects `name` in the result list; false when it is not listed.
bool SelectFile(EngineScreen& form, const QString& name) {
  QListWidgetItem* item = FileItem(form, name);
  if (item == nullptr) return false;
  item->setSelected(true);
  return true;
}

}  // namespace

class TestEngineScreen : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void opensWithItsDefaults();
  void resultListIsInTheOrderOfItsNumbers();
  void okWritesTheConditions_data();
  void okWritesTheConditions();
  void secondOkRewritesTheFile();
  void startRunsOnlyTheConditionsOnScreen();
  void badCountIsRefusedAtOk_data();
  void badCountIsRefusedAtOk();
  void nameLongerThanTheEngineReadsIsRefused();
  void failedLoadChangesNothing_data();
  void failedLoadChangesNothing();
  void loadWithoutSelectionWarns();
  void drawingFollowsTheButtons();
  void geometrySwitchRedrawsTheSets_data();
  void geometrySwitchRedrawsTheSets();
  void startWithoutEngineWarns();
  void leavingAndComingBack();
  void switchesTagTheResultAndReachTheEngine_data();
  void switchesTagTheResultAndReachTheEngine();
  void phantomReachesTheEngineAndTheGraph_data();
  void phantomReachesTheEngineAndTheGraph();
  void exportNameIsRefusedBeforeAnyQuestion_data();
  void exportNameIsRefusedBeforeAnyQuestion();

 private:
  EngineScreen& form() { return GetEngineScreen(); }
  // Opens the screen as the menu does.
  void OpenFromMenu() {
    form().PrepareForShow();
    form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
  }
  std::unique_ptr<TempWorkDir> dir_;
};

void TestEngineScreen::init() {
  dir_.reset();
  dir_ = std::make_unique<TempWorkDir>();
  OpenFromMenu();
}

void TestEngineScreen::opensWithItsDefaults() {
  // The first test to touch the screen sees what its opening choices set.
  QCOMPARE(form().run.energy_box->currentText(), QString("10"));
  QCOMPARE(form().run.photon_count_box->currentText(), QString("30000000"));
  QVERIFY(form().results.field_options[7]->isChecked());
  QCOMPARE(form().FieldIndex(), 8);
  for (QPushButton* b : {form().run.start_button, form().run.load_run_result_button,
                         form().results.draw_button, form().graph.kerma_button})
    QVERIFY(!b->isEnabled());
}

void TestEngineScreen::okWritesTheConditions_data() {
  QTest::addColumn<QString>("energy");
  QTest::addColumn<QString>("count");
  QTest::addColumn<QString>("spectrum");
  QTest::addColumn<QString>("result");
  QTest::addColumn<QString>("total");
  struct Case {
    const char *name, *energy, *count, *spectrum, *result, *total;
  };
  const Case cases[] = {
      {"defaults", "10", "30000000", "10MV.csv", "10MV-30M.data", "3.00E+07"},
      // The names of other counts: PlanEngineRun's table in tests/models.
      {"typed energy", "7.5", "30000000", "7.5MV.csv", "7.5MV-30M.data", "3.00E+07"},
      {"full-width grouping", "10", "\uFF13\uFF0C\uFF10\uFF10\uFF10\uFF0C\uFF10\uFF10\uFF10",
       "10MV.csv", "10MV-3M.data", "3.00E+06"},
  };
  for (const Case& c : cases)
    QTest::newRow(c.name) << QString(c.energy) << QString(c.count) << QString(c.spectrum)
                          << QString(c.result) << QString(c.total);
}

void TestEngineScreen::okWritesTheConditions() {
  QFETCH(QString, energy);
  QFETCH(QString, count);
  QFETCH(QString, spectrum);
  QFETCH(QString, result);
  QFETCH(QString, total);
  // OK looks for the energy's spectrum; a typed energy gets one of its own.
  if (!QFile::exists(dir_->Path(spectrum))) dir_->Write(spectrum, "typed energy's spectrum");
  QCOMPARE(PressOk(form(), energy, count).size(), 0u);
  QCOMPARE(ReadAll(dir_->Path("Joken.dat")),
           (spectrum + "\r\n" + result + "\r\n" + total + "\r\n").toUtf8());
  QCOMPARE(form().run.result_name_label->text(), result);
  QCOMPARE(form().ResultFileName(), result);
  QVERIFY(form().run.start_button->isEnabled());
  QCOMPARE(form().focusWidget(), form().run.start_button);
  // The engine takes the same names back, and the count where it is a number.
  bool is_number = false;
  const double n = total.toDouble(&is_number);
  if (is_number) {
    const auto taken = ReadConditionsFile(dir_->Path("Joken.dat").toStdString());
    QCOMPARE(QString::fromStdString(taken.spectrum_file), spectrum);
    QCOMPARE(QString::fromStdString(taken.result_file), result);
    QCOMPARE(taken.photon_total, static_cast<float>(n));
  }
}

void TestEngineScreen::secondOkRewritesTheFile() {
  PressOk(form(), "15", "100000000");
  PressOk(form(), "4", "2000000");
  QCOMPARE(ReadAll(dir_->Path("Joken.dat")), QByteArray("4MV.csv\r\n4MV-2M.data\r\n2.00E+06\r\n"));
  QCOMPARE(form().run.result_name_label->text(), QString("4MV-2M.data"));
  // A Joken.dat that cannot be written is said with the way on, and nothing can be started.
  QVERIFY(QFile::remove(dir_->Path("Joken.dat")) && QDir(dir_->Path("")).mkdir("Joken.dat"));
  form().run.start_button->setEnabled(false);
  const auto seen = PressOk(form(), "6", "2000000");
  QVERIFY(QDir(dir_->Path("")).rmdir("Joken.dat"));
  QCOMPARE(seen.size(), 1u);
  QVERIFY2(seen[0].text.contains("Joken.dat") && seen[0].text.contains(QString::fromUtf8(
                                                     "書き込めるフォルダで Dosavia を起動し直す")),
           qPrintable(seen[0].text));
  QVERIFY(!form().run.start_button->isEnabled());
}

// A box changed after OK needs OK again; an energy without its spectrum is refused at OK,
// and a run of hours is asked about first (the rules: tests/models/engine_session_test.cpp).
void TestEngineScreen::startRunsOnlyTheConditionsOnScreen() {
  QCOMPARE(PressOk(form(), "10", "30000000").size(), 0u);
  QVERIFY(form().run.start_button->isEnabled());
  form().run.photon_count_box->setCurrentText("1000");
  QVERIFY(!form().run.start_button->isEnabled());
  form().run.photon_count_box->setCurrentText("30000000");
  QVERIFY(form().run.start_button->isEnabled());
  const auto refused = PressOk(form(), "12", "30000000");
  QCOMPARE(refused.size(), 1u);
  QVERIFY2(refused[0].text.contains("12MV.csv"), qPrintable(refused[0].text));
  QVERIFY(!form().run.start_button->isEnabled());
  const auto asked = PressOk(form(), "10", "2e9");
  QCOMPARE(asked.size(), 1u);
  QCOMPARE(asked[0].icon, QMessageBox::Question);
  QVERIFY2(asked[0].text.contains("2000000000"), qPrintable(asked[0].text));
}

// A count the engine would refuse is refused at OK, by the engine's own rule, with the
// reason; the earlier conditions stay and the run cannot be started on them.
void TestEngineScreen::badCountIsRefusedAtOk_data() {
  QTest::addColumn<QString>("count");
  QTest::addColumn<QString>("seed");
  QTest::addColumn<QString>("reason");
  // Which counts and seeds are refused, and why: PlanEngineRun's and EngineSeedOf's tables
  // in tests/models.
  QTest::newRow("word") << "abc"
                        << "" << QString::fromUtf8("数値ではありません");
  QTest::newRow("no whole photon") << "0.5"
                                   << "" << QString::fromUtf8("1 以上");
  QTest::newRow("seed above the largest")
      << "30000000"
      << "2147483648" << QString::fromUtf8("2147483647 までの整数");
}

void TestEngineScreen::badCountIsRefusedAtOk() {
  QFETCH(QString, count);
  QFETCH(QString, seed);
  QFETCH(QString, reason);
  PressOk(form(), "10", "30000000");
  const QByteArray before = ReadAll(dir_->Path("Joken.dat"));
  form().run.start_button->setEnabled(false);
  form().run.seed_box->setText(seed);
  const auto seen = PressOk(form(), "10", count);
  QCOMPARE(seen.size(), 1u);
  QVERIFY2(seen[0].text.contains(reason), qPrintable(seen[0].text));
  QCOMPARE(ReadAll(dir_->Path("Joken.dat")), before);
  QVERIFY(!form().run.start_button->isEnabled());
  form().run.seed_box->clear();
}

void TestEngineScreen::nameLongerThanTheEngineReadsIsRefused() {
  // "10.1234567MV-30M.data" has 21 characters: Kestrun would cut it to 20 and write a
  // file this screen never loads.
  const auto seen = PressOk(form(), "10.1234567", "30000000");
  QCOMPARE(seen.size(), 1u);
  QCOMPARE(seen[0].icon, QMessageBox::Warning);
  QVERIFY(!QFile::exists(dir_->Path("Joken.dat")));
  QVERIFY(!form().run.start_button->isEnabled());
  QVERIFY(form().run.result_name_label->text().isEmpty());
  // Exactly 20 characters still reach the engine whole.
  dir_->Write("10.123456MV.csv", "typed energy's spectrum");
  QCOMPARE(PressOk(form(), "10.123456", "30000000").size(), 0u);
  QCOMPARE(form().ResultFileName(), QString("10.123456MV-30M.data"));
  // ... and are shown whole, ".data" included: the text ends inside the label, not cut at
  // its edge.
  const QImage shown = form().run.result_name_label->grab().toImage();
  int last_dark = -1;
  for (int x = 0; x < shown.width(); ++x)
    for (int y = 0; y < shown.height(); ++y)
      if (qGray(shown.pixel(x, y)) < 128) last_dark = x;
  QVERIFY2(last_dark > shown.width() / 2 && last_dark < shown.width() - 2,
           qPrintable(QStringLiteral("%1 of %2").arg(last_dark).arg(shown.width())));
}

void TestEngineScreen::failedLoadChangesNothing_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<bool>("own_result");  // "計算結果読み込み" or "読み込み"
  const QByteArray good = ResultBytes(SyntheticResults(0.5f));
  QByteArray word = good;
  word.replace(50000, 3, "x!x");
  QTest::newRow("own, 599 records") << FirstRecords(good, 599) << true;
  QTest::newRow("own, not numeric") << word << true;
  QTest::newRow("own, missing") << QByteArray() << true;
  QTest::newRow("list, 599 records") << FirstRecords(good, 599) << false;
  QTest::newRow("list, not numeric") << word << false;
}

void TestEngineScreen::failedLoadChangesNothing() {
  QFETCH(QByteArray, text);
  QFETCH(bool, own_result);
  // A complete file loaded and drawn first, then a damaged one in its place.
  QVERIFY(WriteText(dir_->Path("10MV-30M.data"), ResultBytes(SyntheticResults())));
  form().PrepareForShow();
  PressOk(form(), "10", "30000000");
  form().OnLoadRunResult();
  form().OnDrawField();
  const ResultTables before = form().Tables();
  const QImage graph_before = form().graph.plot->DrawnImage();
  if (text.isEmpty())
    QVERIFY(QFile::remove(dir_->Path("10MV-30M.data")));
  else
    QVERIFY(WriteText(dir_->Path("10MV-30M.data"), text));
  const auto seen = MessagesDuring([&] {
    if (own_result) {
      form().run.load_run_result_button->setEnabled(true);
      form().run.load_run_result_button->click();
    } else {
      QVERIFY(SelectFile(form(), "10MV-30M.data"));
      form().results.load_selected_button->click();
    }
  });
  QCOMPARE(seen.size(), 1u);
  QCOMPARE(seen[0].icon, QMessageBox::Warning);
  QCOMPARE(seen[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  if (own_result)
    QCOMPARE(seen[0].text, kNotFinished);
  else  // what failed, and the way on
    QVERIFY2(seen[0].text.contains("10MV-30M.data") &&
                 seen[0].text.contains(QString::fromUtf8("一覧から別のファイルを選ぶか")),
             qPrintable(seen[0].text));
  QVERIFY(SameTables(form().Tables(), before));
  if (text.isEmpty()) {
    // A result deleted from the folder is listed and drawn no more (the folder is watched).
    QTRY_VERIFY(form().graph.legend->Sets().empty());
    QVERIFY(!form().results.draw_button->isEnabled());
    QVERIFY(form().graph.plot->DrawnImage() != graph_before);
    return;
  }
  QCOMPARE(form().graph.plot->DrawnImage(), graph_before);
  QVERIFY(form().results.draw_button->isEnabled());
  QVERIFY(form().graph.kerma_button->isEnabled());
}

void TestEngineScreen::loadWithoutSelectionWarns() {
  QVERIFY(WriteText(dir_->Path("a.data"), ResultBytes(SyntheticResults())));
  form().PrepareForShow();
  QVERIFY(FileItem(form(), "a.data"));
  const auto seen = MessagesDuring([&] { form().results.load_selected_button->click(); });
  QCOMPARE(seen.size(), 1u);
  QCOMPARE(seen[0].text, kSelectFile);
  QCOMPARE(seen[0].icon, QMessageBox::Warning);
  QVERIFY(!form().results.draw_button->isEnabled());
  // With the file selected the same button loads it.
  QVERIFY(SelectFile(form(), "a.data"));
  QCOMPARE(MessagesDuring([&] { form().results.load_selected_button->click(); }).size(), 0u);
  QVERIFY(form().results.draw_button->isEnabled());
}

void TestEngineScreen::drawingFollowsTheButtons() {
  // Constant field columns at clearly different heights: primary 0.05 j, scatter 0.01 j.
  NormalisedResults r = SyntheticResults();
  for (int i = 1; i <= kSlabs; ++i)
    for (int j = 1; j <= kFields; ++j) {
      r.field.at(kPrimary, j, i) = 0.05f * j;
      r.field.at(kScatter, j, i) = 0.01f * j;
    }
  QVERIFY(WriteText(dir_->Path("10MV-30M.data"), ResultBytes(r)));
  PressOk(form(), "10", "30000000");
  // No sets of earlier cases: their doses lie over any kerma.
  form().graph.clear_button->click();
  QCOMPARE(MessagesDuring([&] { form().OnLoadRunResult(); }).size(), 0u);
  QVERIFY(form().results.draw_button->isEnabled() && form().graph.kerma_button->isEnabled());
  PictureBox& picture = *form().graph.plot;
  QImage drawn = picture.DrawnImage();
  // Curves are drawn on the scale of the file's fitted surface kerma.
  const double s = DisplayScale(form().Tables());
  for (int i = 1; i <= kDepthBins; ++i)
    QVERIFY2(ColorNear(picture, drawn, i - 0.5, 100 * s * form().Tables().Kerma[i], Qt::black),
             qPrintable(QString("kerma bin %1").arg(i)));

  // The seventh field option is the 8 x 8 cm field, column 7; the dose curves end at bin 299.
  form().graph.clear_button->click();
  form().results.field_options[6]->click();
  QCOMPARE(form().FieldIndex(), 7);
  form().results.draw_button->click();
  drawn = picture.DrawnImage();
  const QColor blue(kTotalDoseColor), red(kPrimaryDoseColor), green(kScatterDoseColor);
  QVERIFY(ColorNear(picture, drawn, 150, 42 * s, blue));
  QVERIFY(ColorNear(picture, drawn, 150, 35 * s, red));
  QVERIFY(ColorNear(picture, drawn, 150, 7 * s, green));
  QVERIFY(!ColorNear(picture, drawn, 150, 48 * s, blue, 2));
  QVERIFY(ColorNear(picture, drawn, 298.5, 35 * s, red));
  QVERIFY(!ColorNear(picture, drawn, 299.5, 35 * s, red, 0));
  // The probe over the graph reads the depth under the pointer and the drawn set's values
  // there (the pixel at a bin's centre names that bin); off the frame it reads nothing.
  const std::span<const CurveSet> sets(form().graph.legend->Sets());
  const QString probe =
      DepthProbeText(DepthUnderPointer(picture, picture.ToPixels(150.5, 0).x()), sets, nullptr);
  QVERIFY2(probe.startsWith(QString::fromUtf8("深さ 15.05 cm\n")), qPrintable(probe));
  QVERIFY2(probe.contains(LegendText(sets[0])) &&
               probe.contains(QString::fromUtf8("一次 %1").arg(35 * s, 0, 'f', 1)),
           qPrintable(probe));
  QVERIFY(DepthProbeText(DepthUnderPointer(picture, picture.ToPixels(-3, 0).x()), sets, nullptr)
              .isEmpty());

  // Another field and the kerma again are drawn over what is there, the second set in
  // colours of its own.
  form().results.field_options[8]->click();
  form().results.draw_button->click();
  form().graph.kerma_button->click();
  drawn = picture.DrawnImage();
  QVERIFY(ColorNear(picture, drawn, 150, 35 * s, red));
  QVERIFY(ColorNear(picture, drawn, 150, 45 * s, QColor(ColorFamily(1).primary)));
  QVERIFY(!ColorNear(picture, drawn, 150, 45 * s, red, 2));
  QVERIFY(ColorNear(picture, drawn, 299.5, 100 * s * form().Tables().Kerma[300], Qt::black));

  // "Graph clear" leaves a white picture with its decoration.
  const int lines = picture.LineCount();
  form().graph.clear_button->click();
  QVERIFY(IsWhite(picture.DrawnImage()));
  QCOMPARE(picture.LineCount(), lines);
}

void TestEngineScreen::geometrySwitchRedrawsTheSets_data() {
  QTest::addColumn<int>("ssd");
  QTest::newRow("SSD 100, the clinical tables'") << 100;
  QTest::newRow("SSD 50, the shortest") << 50;
  QTest::newRow("SSD 150, the longest") << 150;
}

// The switch turns every compared set and the loaded kerma into the point source's curves,
// as --plot --ssd does, keeps each set's colours, says the geometry in the legend and the
// CSV, and turns them back.
void TestEngineScreen::geometrySwitchRedrawsTheSets() {
  QFETCH(int, ssd);
  form().graph.clear_button->click();
  form().graph.parallel_option->click();
  QVERIFY(WriteText(dir_->Path("4MV-30M.data"), ResultBytes(SyntheticResults(0.9f))));
  QVERIFY(WriteText(dir_->Path("10MV-30M.data"), ResultBytes(SyntheticResults())));
  OpenFromMenu();
  QVERIFY(SelectFile(form(), "4MV-30M.data"));
  form().OnLoadSelected();
  form().OnDrawField();
  QVERIFY(SelectFile(form(), "10MV-30M.data"));
  form().OnLoadSelected();
  form().results.field_options[2]->click();
  form().OnDrawField();
  const std::vector<CurveSet> parallel = form().graph.legend->Sets();
  QCOMPARE(parallel.size(), std::size_t{2});

  form().graph.ssd_box->setValue(ssd);
  QVERIFY(form().graph.legend->Sets()[0].tables == parallel[0].tables);  // not yet switched
  form().graph.point_source_option->click();
  const std::vector<CurveSet>& sets = form().graph.legend->Sets();
  QCOMPARE(sets.size(), parallel.size());
  const QString said = QStringLiteral("SSD %1 cm").arg(ssd);
  for (std::size_t k = 0; k < sets.size(); ++k) {
    QCOMPARE(sets[k].family, parallel[k].family);
    QCOMPARE(sets[k].field, parallel[k].field);
    QVERIFY(sets[k].parallel == parallel[k].tables);
    QCOMPARE(sets[k].ssd_cm, double(ssd));
    QVERIFY(SameTables(*sets[k].tables, *ClinicalGeometryTables(*parallel[k].tables, ssd)));
    QVERIFY(sets[k].row != nullptr && sets[k].row != parallel[k].row);
    QVERIFY2(form().graph.legend->item(int(k), CurveSetLegend::kCurves)->text().contains(said),
             qPrintable(form().graph.legend->item(int(k), CurveSetLegend::kCurves)->text()));
  }
  // The loaded file's kerma as the point source gives it: lower at depth by the inverse square.
  const auto point = ClinicalGeometryTables(form().Tables(), ssd);
  PictureBox& picture = *form().graph.plot;
  const QImage drawn = picture.DrawnImage();
  const auto height = [](const ResultTables& t) { return 100 * DisplayScale(t) * t.Kerma[200]; };
  QVERIFY(ColorNear(picture, drawn, 199.5, height(*point), Qt::black));
  QVERIFY(!ColorNear(picture, drawn, 199.5, height(form().Tables()), Qt::black, 2));
  // A field drawn now is in the point source's geometry too.
  form().results.field_options[7]->click();
  form().OnDrawField();
  QCOMPARE(form().graph.legend->Sets().back().ssd_cm, double(ssd));
  form().SaveCurvesCsv(dir_->Path("point.csv"));
  QFile csv(dir_->Path("point.csv"));
  QVERIFY(csv.open(QIODevice::ReadOnly));
  QVERIFY(QString::fromUtf8(csv.readAll()).contains(said));

  form().graph.parallel_option->click();
  QVERIFY(!form().graph.point_source_option->isChecked());
  for (std::size_t k = 0; k < parallel.size(); ++k) {
    QVERIFY(form().graph.legend->Sets()[k].tables == parallel[k].tables);
    QCOMPARE(form().graph.legend->Sets()[k].ssd_cm, 0.0);
    QVERIFY(!form().graph.legend->item(int(k), CurveSetLegend::kCurves)->text().contains("SSD"));
  }
  QVERIFY(ColorNear(picture, picture.DrawnImage(), 199.5, height(form().Tables()), Qt::black));
}

void TestEngineScreen::startWithoutEngineWarns() {
  PressOk(form(), "10", "30000000");
  // An installed engine on PATH would be found: search only the folders of the test.
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", "");
  const auto seen = MessagesDuring([&] { form().run.start_button->click(); });
  qputenv("PATH", path);
  QCOMPARE(seen.size(), 1u);
  QCOMPARE(seen[0].icon, QMessageBox::Warning);
  QVERIFY(seen[0].text.contains("Kestrun"));
  QVERIFY(seen[0].text.contains(QDir::toNativeSeparators(QDir::currentPath())));  // looked there
  QVERIFY(!form().run.load_run_result_button->isEnabled());
  QVERIFY(form().isVisible());
}

void TestEngineScreen::leavingAndComingBack() {
  QVERIFY(WriteText(dir_->Path("a.data"), ResultBytes(SyntheticResults())));
  form().PrepareForShow();
  PressOk(form(), "6", "50000000");
  form().results.field_options[2]->click();
  QVERIFY(SelectFile(form(), "a.data"));
  form().OnLoadSelected();
  form().OnDrawField();
  QVERIFY(QFile::exists(dir_->Path("Joken.dat")));

  form().run.back_button->click();
  QVERIFY(!QFile::exists(dir_->Path("Joken.dat")));
  QVERIFY(!form().isVisible());
  QVERIFY(GetMenuWindow().isVisible());
  // Leaving again without a conditions file is quiet.
  QCOMPARE(MessagesDuring([&] { form().OnBackToMenu(); }).size(), 0u);

  QVERIFY(WriteText(dir_->Path("b.data"), ResultBytes(SyntheticResults())));
  OpenFromMenu();
  GetMenuWindow().hide();
  QCOMPARE(form().run.energy_box->currentText(), QString("6"));
  QCOMPARE(form().run.photon_count_box->currentText(), QString("50000000"));
  QVERIFY(form().results.field_options[2]->isChecked());
  QCOMPARE(form().FieldIndex(), 3);
  QVERIFY(form().run.result_name_label->text().isEmpty());
  for (QPushButton* b : {form().run.start_button, form().run.load_run_result_button,
                         form().results.draw_button, form().graph.kerma_button})
    QVERIFY(!b->isEnabled());
  // The compared sets are kept while the program runs; without any the graph is empty.
  QCOMPARE(IsWhite(form().graph.plot->DrawnImage()), form().graph.legend->Sets().empty());
  // and can be saved.
  QCOMPARE(form().graph.save_picture_button->isEnabled(), !form().graph.legend->Sets().empty());
  // Results written meanwhile are listed.
  QVERIFY(FileItem(form(), "b.data"));

  // The screen forwards to the result library: one file drawn twice is one row, a removed
  // set goes from the table and the graph, undo brings it back.
  form().graph.clear_button->click();
  for (int k = 0; k < 2; ++k) {
    QVERIFY(SelectFile(form(), "b.data"));
    form().OnLoadSelected();
    form().OnDrawField();
  }
  QCOMPARE(form().graph.legend->rowCount(), 1);
  form().OnRemoveSet(0);
  QCOMPARE(form().graph.legend->rowCount(), 0);
  form().OnUndoRemoval();
  QCOMPARE(form().graph.legend->rowCount(), 1);
}

// The list reads as a class expects: energies and photon counts in the order of their
// numbers, not of their characters (where 4MV came after 15MV).
void TestEngineScreen::resultListIsInTheOrderOfItsNumbers() {
  for (const char* name :
       {"15MV-3M.data", "4MV-30M.data", "10MV-30M.data", "4MV-3M.data", "10mv-100M.data", "a.data"})
    QVERIFY(WriteText(dir_->Path(name), ResultBytes(SyntheticResults())));
  OpenFromMenu();
  QStringList listed;
  for (int row = 0; row < form().results.file_list->count(); ++row)
    listed << form().results.file_list->item(row)->text();
  QCOMPARE(listed, QStringList({"4MV-3M.data", "4MV-30M.data", "10MV-30M.data", "10mv-100M.data",
                                "15MV-3M.data", "a.data"}));
}

void TestEngineScreen::switchesTagTheResultAndReachTheEngine_data() {
  QTest::addColumn<QStringList>("off");  // boxes ticked
  QTest::addColumn<bool>("all_cores");
  QTest::addColumn<QString>("result");
  QTest::addColumn<QString>("seed");          // as typed in the seed box
  QTest::addColumn<QByteArray>("arguments");  // one a line, as the engine receives them
  QTest::newRow("full physics") << QStringList{} << false << "10MV-30M.data"
                                << "" << QByteArray();
  QTest::newRow("no electron transport")
      << QStringList{"electron-transport"} << false << "10MV-30M-noe.data"
      << "" << QByteArray("--without\nelectron-transport\n");
  QTest::newRow("every core, primary photons only, no pair")
      << QStringList{"pair", "photon-scatter"} << true << "10MV-30M-nosp.data"
      << "" << QByteArray("--threads\n0\n--without\nphoton-scatter\n--without\npair\n");
  // A group's own seed reaches the engine; the name stays (the seed is in its statistics).
  QTest::newRow("seeded, full-width digits")
      << QStringList{} << false << "10MV-30M.data" << QString::fromUtf8("１２")
      << QByteArray("--seed\n12\n");
  QTest::newRow("seed 0 is the default sequence")
      << QStringList{"electron-transport"} << false << "10MV-30M-noe.data"
      << " 0 " << QByteArray("--without\nelectron-transport\n");
}

// Joken.dat names the full-physics result as always; the screen shows and expects the name
// the engine writes with its tag, and the engine is told what to leave out. A switch
// after "OK" renames the run to start.
void TestEngineScreen::switchesTagTheResultAndReachTheEngine() {
#ifdef Q_OS_WIN
  QSKIP("the stand-in terminal is a shell script");
#endif
  QFETCH(QStringList, off);
  QFETCH(bool, all_cores);
  QFETCH(QString, result);
  QFETCH(QString, seed);
  QFETCH(QByteArray, arguments);
  form().run.seed_box->setText(seed);
  QVERIFY(WriteScript(dir_->Path("term"), "shift\nexec \"$@\" < /dev/null\n"));
  QVERIFY(WriteScript(dir_->Path(EngineProgramName()), "printf '%s\\n' \"$@\" > args.txt\n"));
  const QByteArray terminal = qgetenv("TERMINAL");
  qputenv("TERMINAL", QFile::encodeName(dir_->Path("term")));
  const bool own_console = form().run.own_console_box->isChecked();
  const bool every_core = form().run.all_cores_box->isChecked();
  form().run.own_console_box->setChecked(false);
  form().run.all_cores_box->setChecked(all_cores);
  for (const QString& option : off) form().run.physics_switches->Box(option.toStdString())->click();

  QCOMPARE(PressOk(form(), "10", "30000000").size(), 0u);
  QCOMPARE(form().run.result_name_label->text(), result);
  QCOMPARE(form().ResultFileName(), result);
  QCOMPARE(ReadAll(dir_->Path("Joken.dat")),
           QByteArray("10MV.csv\r\n10MV-30M.data\r\n3.00E+07\r\n"));
  QCOMPARE(MessagesDuring([&] { form().run.start_button->click(); }).size(), 0u);
  QVERIFY(QTest::qWaitFor([&] { return QFile::exists(dir_->Path("args.txt")); }, 10000));
  QTRY_COMPARE(ReadAll(dir_->Path("args.txt")), arguments.isEmpty() ? QByteArray("\n") : arguments);
  QVERIFY(form().run.load_run_result_button->isEnabled());

  // Unticked again after "OK": the run to start is the full-physics one.
  for (const QString& option : off) form().run.physics_switches->Box(option.toStdString())->click();
  QVERIFY(form().run.physics_switches->Switches().AllOn());
  QCOMPARE(form().run.result_name_label->text(), QString("10MV-30M.data"));
  QCOMPARE(form().ResultFileName(), QString("10MV-30M.data"));
  QCOMPARE(form().run.load_run_result_button->isEnabled(), off.isEmpty());

  form().run.own_console_box->setChecked(own_console);
  form().run.all_cores_box->setChecked(every_core);
  form().run.seed_box->clear();
  if (terminal.isNull())
    qunsetenv("TERMINAL");
  else
    qputenv("TERMINAL", terminal);
}

void TestEngineScreen::phantomReachesTheEngineAndTheGraph_data() {
  QTest::addColumn<QString>("preset");
  QTest::addColumn<bool>("link_in_the_way");  // Phantom.dat a link to a file of the user's
  QTest::newRow("lung slab") << "lung" << false;
  QTest::newRow("bolus") << "bolus" << false;
  QTest::newRow("a link named Phantom.dat is never written through") << "lung" << true;
}

// A preset chosen: OK writes its layers to Phantom.dat beside Joken.dat and marks the result,
// Start tells the engine the phantom, and the loaded result's slabs are shaded behind its
// curves. A link of the phantom file's name refuses OK, the file it leads to untouched.
void TestEngineScreen::phantomReachesTheEngineAndTheGraph() {
#ifdef Q_OS_WIN
  QSKIP("the stand-in terminal is a shell script");
#endif
  QFETCH(QString, preset);
  QFETCH(bool, link_in_the_way);
  int index = 0;
  while (QString::fromUtf8(kPhantomPresets[index].key.data(),
                           static_cast<qsizetype>(kPhantomPresets[index].key.size())) != preset)
    ++index;
  const QByteArray layers(kPhantomPresets[index].layers.data(),
                          static_cast<qsizetype>(kPhantomPresets[index].layers.size()));
  if (link_in_the_way) {
    QVERIFY(WriteText(dir_->Path("notes.txt"), "mine"));
    QVERIFY(QFile::link(dir_->Path("notes.txt"), dir_->Path("Phantom.dat")));
  }
  form().run.phantom_box->setCurrentIndex(index);
  emit form().run.phantom_box->activated(index);
  QVERIFY(!form().run.physics_switches->isEnabled());
  const QString result = "10MV-30M-" + preset + ".data";
  if (link_in_the_way) {
    QCOMPARE(PressOk(form(), "10", "30000000").size(), 1u);
    QCOMPARE(ReadAll(dir_->Path("notes.txt")), QByteArray("mine"));
    QVERIFY(!QFile::exists(dir_->Path("Joken.dat")));
    QVERIFY(!form().run.start_button->isEnabled());
  } else {
    QVERIFY(WriteScript(dir_->Path("term"), "shift\nexec \"$@\" < /dev/null\n"));
    QVERIFY(WriteScript(dir_->Path(EngineProgramName()), "printf '%s\\n' \"$@\" > args.txt\n"));
    const QByteArray terminal = qgetenv("TERMINAL");
    qputenv("TERMINAL", QFile::encodeName(dir_->Path("term")));
    const bool own_console = form().run.own_console_box->isChecked();
    form().run.own_console_box->setChecked(false);
    QCOMPARE(PressOk(form(), "10", "30000000").size(), 0u);
    QCOMPARE(ReadAll(dir_->Path("Phantom.dat")), layers);
    QCOMPARE(ReadAll(dir_->Path("Joken.dat")),
             ("10MV.csv\r\n" + result + "\r\n3.00E+07\r\n").toUtf8());
    QCOMPARE(form().ResultFileName(), result);
    QCOMPARE(MessagesDuring([&] { form().run.start_button->click(); }).size(), 0u);
    QVERIFY(QTest::qWaitFor([&] { return QFile::exists(dir_->Path("args.txt")); }, 10000));
    QTRY_COMPARE(ReadAll(dir_->Path("args.txt")),
                 QByteArray("--accurate\n--phantom\nPhantom.dat\n"));
    form().run.own_console_box->setChecked(own_console);
    if (terminal.isNull())
      qunsetenv("TERMINAL");
    else
      qputenv("TERMINAL", terminal);

    // The result of that name: its slabs shaded behind its curves, from the surface on.
    QVERIFY(WriteText(dir_->Path(result), ResultBytes(SyntheticResults())));
    form().graph.clear_button->click();
    QCOMPARE(MessagesDuring([&] { form().OnLoadRunResult(); }).size(), 0u);
    form().results.draw_button->click();
    PictureBox& picture = *form().graph.plot;
    const QImage drawn = picture.DrawnImage();
    const Phantom phantom = ParsePhantom(kPhantomPresets[index].layers, "preset");
    const double slab_middle_cm =
        phantom.layers[0].material == "water"
            ? phantom.layers[0].thickness_cm + phantom.layers[1].thickness_cm / 2
            : phantom.layers[0].thickness_cm / 2;
    QVERIFY(!IsWhite(drawn));
    const QPoint band = picture.ToPixels(slab_middle_cm * 10, 105).toPoint();
    const QPoint water = picture.ToPixels(250, 105).toPoint();
    QVERIFY(drawn.pixelColor(band) != QColor(Qt::white));
    QCOMPARE(drawn.pixelColor(water), QColor(Qt::white));
    // Which phantom, in the legend.
    QVERIFY(form().graph.legend->item(0, 0)->text().contains(
        QString::fromUtf8(kPhantomPresets[index].name_ja.data(),
                          static_cast<qsizetype>(kPhantomPresets[index].name_ja.size()))));
  }
  // Water again: the plain run, which needs OK again.
  form().run.phantom_box->setCurrentIndex(0);
  emit form().run.phantom_box->activated(0);
  QVERIFY(!form().run.start_button->isEnabled());
  QVERIFY(form().run.physics_switches->isEnabled());
}

void TestEngineScreen::exportNameIsRefusedBeforeAnyQuestion_data() {
  // Chosen as a CSV save dialog gives it (".csv" added where it lacks it).
  QTest::addColumn<QString>("chosen");
  QTest::addColumn<QString>("written");  // the path to be written; empty: none
  QTest::addColumn<int>("icon");         // of the one message; NoIcon: none
  const struct {
    const char* row;
    const char* chosen;
    const char* written;
    QMessageBox::Icon icon;
  } rows[] = {
      {"shipped spectrum", "10MV.csv", "", QMessageBox::Warning},
      {"spectrum once the suffix is added", "6MV", "", QMessageBox::Warning},
      {"spectrum in other letters", "10mv.CSV", "", QMessageBox::Warning},
      {"another run's result", "run.data.csv", "", QMessageBox::Warning},
      {"own earlier table: asked, replaced", "old.csv", "old.csv", QMessageBox::Question},
      {"new name: no question", "new", "new.csv", QMessageBox::NoIcon},
      {"dialog cancelled", "", "", QMessageBox::NoIcon},
  };
  for (const auto& r : rows)
    QTest::newRow(r.row) << QString(r.chosen) << QString(r.written) << int(r.icon);
}

// A save over a file of the programs is refused at once: the user is never first asked
// whether to replace what would then not be replaced.
void TestEngineScreen::exportNameIsRefusedBeforeAnyQuestion() {
  QFETCH(QString, chosen);
  QFETCH(QString, written);
  QFETCH(int, icon);
  QVERIFY(WriteText(dir_->Path("run.data.csv"), ResultBytes(SyntheticResults())));
  QVERIFY(WriteText(dir_->Path("old.csv"), "depth\r\n"));
  const QByteArray spectrum = ReadAll(dir_->Path("10MV.csv"));
  QString path;
  const auto seen = MessagesDuring(
      [&] { path = form().ExportPath(chosen.isEmpty() ? chosen : dir_->Path(chosen), ".csv"); });
  QCOMPARE(path, written.isEmpty() ? QString() : dir_->Path(written));
  QCOMPARE(seen.size(), icon == QMessageBox::NoIcon ? 0u : 1u);
  if (!seen.empty()) QCOMPARE(int(seen[0].icon), icon);
  QCOMPARE(ReadAll(dir_->Path("10MV.csv")), spectrum);
}

QTEST_MAIN(TestEngineScreen)
#include "tst_engine_screen.moc"
