// One short batch run through the non-visual screen: "OK" writes the conditions, the real
// Kestrun runs in a (stand-in) terminal with its input closed, "計算結果読み込み" loads the
// result, and the tables and the drawn curves agree with the file record by record.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>
#include <algorithm>

#include "engine/result_file.h"
#include "models/curve_table.h"
#include "gui_test_support.h"
#include "gui/app/window_registry.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui/engine_screen/kestrun_launcher.h"
#include "gui/engine_screen/result_curve_legend.h"
#include "gui/engine_screen/result_curve_sets.h"
#include "gui/widgets/physics_switch_boxes.h"
#include "records/fixed_format.h"

using namespace dosavia;
using namespace dosavia::gui;
using namespace dosavia::gui::testing;

namespace {

// Photons of the run: enough for a kerma maximum in the first 5 cm, a few seconds long.
constexpr const char* kPhotonCount = "20000";
constexpr int kRunTimeoutMs = 300000;

// The values of the 600 records read column by column with the engine's record format.
struct FileRecords {
  std::vector<std::vector<double>> values;  // [record - 1][0..11]
};

FileRecords ReadRecords(const QString& path) {
  FileRecords records;
  RecordReader reader = RecordReader::FromFile(path.toStdString(), "result");
  const FixedFormat format(kResultRecordFormat);
  for (int r = 1; r <= kResultRecords; ++r) {
    std::vector<double> row;
    for (const ReadField& field : reader.Read(format, kNumbersPerRecord))
      row.push_back(field.As<double>());
    records.values.push_back(row);
  }
  return records;
}

}  // namespace

// Why the real engine cannot run in `dir`: not built, or data files missing; empty when it can.
QString EngineMissing(const TempWorkDir& dir) {
  if (!QFile::exists(QStringLiteral(DOSAVIA_KESTRUN)))
    return QStringLiteral("Kestrun is not built");
  if (!dir.Missing().isEmpty()) return "data files missing: " + dir.Missing().join(' ');
  return {};
}

// The engine beside the data files, started through a stand-in terminal that runs the
// command after "-e" with its input closed, so that the engine's final wait for Enter ends
// at once.
bool InstallEngine(const TempWorkDir& dir) {
  if (!QFile::copy(QStringLiteral(DOSAVIA_KESTRUN), dir.Path(EngineProgramName()))) return false;
  if (!WriteScript(dir.Path("term"), "shift\nexec \"$@\" < /dev/null > kestrun.log 2>&1\n"))
    return false;
  qputenv("TERMINAL", QFile::encodeName(dir.Path("term")));
  return true;
}

class TestEngineScreenEndToEnd : public QObject {
  Q_OBJECT

 private slots:
  void runLoadAndPlot();
  void switchedRunLoadsItsTaggedResult();
};

void TestEngineScreenEndToEnd::runLoadAndPlot() {
#ifdef Q_OS_WIN
  QSKIP("the stand-in terminal is a shell script");
#endif
  TempWorkDir dir;
  const QString missing = EngineMissing(dir);
  if (!missing.isEmpty()) QSKIP(qPrintable(missing));
  QVERIFY(InstallEngine(dir));

  EngineScreen& form = GetEngineScreen();
  form.PrepareForShow();
  form.show();
  form.run.energy_box->setCurrentText("10");
  form.run.photon_count_box->setCurrentText(kPhotonCount);
  QCOMPARE(MessagesDuring([&] { form.run.ok_button->click(); }).size(), 0u);
  QCOMPARE(form.ResultFileName(), QString("10MV-20K.data"));
  QCOMPARE(MessagesDuring([&] { form.run.start_button->click(); }).size(), 0u);
  QVERIFY(form.run.load_run_result_button->isEnabled());

  // Press "計算結果読み込み" until the run has finished; every early press only warns.
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    const auto seen = MessagesDuring([&] { form.run.load_run_result_button->click(); });
    if (seen.empty()) break;
    QCOMPARE(seen.size(), 1u);
    QCOMPARE(seen[0].text, QString::fromUtf8("\u3000シミュレーションが終了していません\u3000"));
    QVERIFY(!form.results.draw_button->isEnabled());
    if (clock.elapsed() > kRunTimeoutMs) {
      QFile log(dir.Path("kestrun.log"));
      log.open(QIODevice::ReadOnly);
      QFAIL(qPrintable("no result file; Kestrun said:\n" +
                       QString::fromUtf8(log.readAll().right(2000))));
    }
    QTest::qWait(200);
  }
  QVERIFY(form.results.draw_button->isEnabled());
  QVERIFY(form.graph.kerma_button->isEnabled());

  // Tables against the file's fixed columns.
  const FileRecords file = ReadRecords(dir.Path("10MV-20K.data"));
  const ResultTables& tables = form.Tables();
  for (int block = 0; block < 2; ++block) {
    const int component = block == 0 ? kPrimaryDose : kScatterDose;
    for (int i = 1; i <= kDepthBins; ++i) {
      const std::vector<double>& row = file.values[block * kDepthBins + i - 1];
      QCOMPARE(row[0], double(i));
      QCOMPARE(tables.Kerma[i], row[1]);
      for (int j = 1; j <= kFieldColumns; ++j)
        QCOMPARE(tables.DoseTable[component][j][i], row[1 + j]);
    }
  }
  // The kerma is normalised to its maximum in the first 5 cm.
  double kmax = 0;
  for (int i = 1; i <= 50; ++i) kmax = std::max(kmax, tables.Kerma[i]);
  QCOMPARE(kmax, 1.0);

  // Every vertex of the kerma curve is drawn where the file puts it, on the scale of its
  // fitted surface kerma (a noisy bin of this short run may lie above the frame's top).
  PictureBox& picture = *form.graph.plot;
  QImage drawn = picture.DrawnImage();
  const double scale = DisplayScale(tables);
  for (int i = 1; i <= kDepthBins; ++i)
    if (100 * scale * tables.Kerma[i] < kFrameTop - 1)
      QVERIFY2(ColorNear(picture, drawn, i - 0.5, 100 * scale * tables.Kerma[i], Qt::black),
               qPrintable(QString("kerma bin %1").arg(i)));

  // "描 画" at 10 x 10: the scatter curve, drawn last, lies on top at every bin.
  QCOMPARE(form.FieldIndex(), 8);
  form.results.draw_button->click();
  drawn = picture.DrawnImage();
  for (int i = 1; i < kDepthBins; ++i)
    QVERIFY2(ColorNear(picture, drawn, i - 0.5, 100 * scale * tables.DoseTable[kScatterDose][8][i],
                       QColor(kScatterDoseColor)),
             qPrintable(QString("scatter bin %1").arg(i)));

  form.run.back_button->click();
  QVERIFY(!QFile::exists(dir.Path("Joken.dat")));
}

// Electron transport switched off on the screen: the real engine is told so, writes the
// tagged result beside none of the full physics, and the screen loads that file, whose
// set then names the missing physics. Without transport the dose has no build-up: it is
// largest in the first centimetre.
void TestEngineScreenEndToEnd::switchedRunLoadsItsTaggedResult() {
#ifdef Q_OS_WIN
  QSKIP("the stand-in terminal is a shell script");
#endif
  TempWorkDir dir;
  const QString missing = EngineMissing(dir);
  if (!missing.isEmpty()) QSKIP(qPrintable(missing));
  QVERIFY(InstallEngine(dir));

  EngineScreen& form = GetEngineScreen();
  form.PrepareForShow();
  form.show();
  form.run.own_console_box->setChecked(false);
  form.run.physics_switches->Box("electron-transport")->click();
  form.run.energy_box->setCurrentText("10");
  form.run.photon_count_box->setCurrentText(kPhotonCount);
  QCOMPARE(MessagesDuring([&] { form.run.ok_button->click(); }).size(), 0u);
  QCOMPARE(form.ResultFileName(), QString("10MV-20K-noe.data"));
  QCOMPARE(MessagesDuring([&] { form.run.start_button->click(); }).size(), 0u);
  QElapsedTimer clock;
  clock.start();
  while (!MessagesDuring([&] { form.run.load_run_result_button->click(); }).empty()) {
    if (clock.elapsed() > kRunTimeoutMs) {
      QFile log(dir.Path("kestrun.log"));
      log.open(QIODevice::ReadOnly);
      QFAIL(qPrintable("no result file; Kestrun said:\n" +
                       QString::fromUtf8(log.readAll().right(2000))));
    }
    QTest::qWait(200);
  }
  QVERIFY(QFile::exists(dir.Path("10MV-20K-noe.data")));
  QVERIFY(!QFile::exists(dir.Path("10MV-20K.data")));
  QVERIFY(form.graph.loaded_file_label->text().contains("10MV-20K-noe.data"));

  form.graph.clear_button->click();
  form.results.draw_button->click();
  QCOMPARE(form.graph.legend->Sets().size(), std::size_t{1});
  const QString legend = LegendText(form.graph.legend->Sets().front());
  QVERIFY2(legend.contains(QString::fromUtf8("電子・陽電子の輸送")), qPrintable(legend));
  const ResultTables& tables = form.Tables();
  int deepest_max = 1;
  for (int i = 1; i <= kDepthBins; ++i)
    if (tables.DoseTable[kTotalDose][8][i] > tables.DoseTable[kTotalDose][8][deepest_max])
      deepest_max = i;
  QVERIFY2(deepest_max <= 10, qPrintable(QString::number(deepest_max)));

  form.run.physics_switches->Box("electron-transport")->click();
  form.graph.clear_button->click();
  form.run.back_button->click();
}

QTEST_MAIN(TestEngineScreenEndToEnd)
#include "tst_engine_screen_end_to_end.moc"
