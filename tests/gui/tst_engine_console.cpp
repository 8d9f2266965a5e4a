// Dosavia's own console window for the engine, driven through the non-visual screen with a
// stand-in engine (a shell script printing the engine's lines) and with the real Kestrun:
// progress shown, 計算結果読み込み refused while the run goes on, the new result listed and
// loaded at the end, closing answers the final prompt, and 中止 leaves neither a partial
// result nor a damaged earlier one.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QWindow>
#include <QtTest>

#include "engine/console_text.h"
#include "gui_test_support.h"
#include "gui/app/window_registry.h"
#include "gui/engine_screen/engine_console.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui/forms/menu_window.h"
#include "gui/engine_screen/kestrun_launcher.h"

using namespace dosavia;
using namespace dosavia::gui;
using namespace dosavia::gui::testing;

namespace {

constexpr int kWaitMs = 60000;
const char kResult[] = "10MV-30M.data";
const char kTemporary[] = ".10MV-30M.data.Ab12Cd";  // the engine's mkstemp pattern

// The stand-in engine: the title, three of five progress lines, then waits for a file "go";
// then writes its result through the temporary name, two more progress lines, the prompt,
// and ends after Enter with the stop line.
QByteArray StubEngine() {
  return QByteArray("printf '%s ' \"$@\" > args.txt\nprintf '%s\\n\\n' '") + kTitleLine +
         "'\nfor i in 1 2 3; do printf ' --- %3d / %3d\\n' $i 5; done\n"
         "while [ ! -f go ]; do sleep 0.02; done\n"
         "cat result.src > " +
         kTemporary +
         "\n"
         "if [ -f hang ]; then exec sleep 30; fi\n"
         "mv " +
         kTemporary + " " + kResult +
         "\n"
         "for i in 4 5; do printf ' --- %3d / %3d\\n' $i 5; done\n"
         "printf '\\n%s\\n\\n' '" +
         kPromptLine +
         "'\nread answer\n"
         "printf '%s\\n' '" +
         kStopLine + "'\n";
}

}  // namespace

class TestEngineConsole : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void runFollowedAndLoaded();
  void stopKeepsTheEarlierResult_data();
  void stopKeepsTheEarlierResult();
  void consoleOpensBesideOrOverTheGraph_data();
  void consoleOpensBesideOrOverTheGraph();

 private:
  // Opens the screen, chooses the own console window and presses OK and start.
  EngineConsole& Start(EngineScreen& form, const QString& count, bool all_cores = false);
};

void TestEngineConsole::initTestCase() {
  // The choice of console window is remembered; not in the user's settings.
  QStandardPaths::setTestModeEnabled(true);
}

EngineConsole& TestEngineConsole::Start(EngineScreen& form, const QString& count, bool all_cores) {
  form.PrepareForShow();
  form.show();
  form.run.own_console_box->setChecked(true);
  form.run.all_cores_box->setChecked(all_cores);
  form.run.energy_box->setCurrentText("10");
  form.run.photon_count_box->setCurrentText(count);
  form.run.ok_button->click();
  const auto seen = MessagesDuring([&] { form.run.start_button->click(); });
  if (!seen.empty()) qWarning() << seen[0].text;
  return *form.console;
}

void TestEngineConsole::runFollowedAndLoaded() {
  TempWorkDir dir;
  QVERIFY(WriteScript(dir.Path(EngineProgramName()), StubEngine()));
  const QByteArray result = ResultBytes(SyntheticResults(0.8f));
  QVERIFY(WriteText(dir.Path("result.src"), result));
  EngineScreen& form = GetEngineScreen();
  EngineConsole& console = Start(form, "30000000", true);
  QSignalSpy finished(&console, &EngineConsole::finished);
  QVERIFY(console.isVisible() && console.Running());
  // Above its screen from the start: a click on the graph during the run does not cover it.
  QCOMPARE(console.windowHandle()->transientParent(), form.window()->windowHandle());
  // 並列計算 starts the block streams on every core, and the window says so.
  QTRY_COMPARE_WITH_TIMEOUT(ReadAll(dir.Path("args.txt")), QByteArray("--threads 0 "), kWaitMs);
  QVERIFY(console.Status->text().contains(QString::fromUtf8("並列計算")));

  QTRY_COMPARE_WITH_TIMEOUT(console.Progress->value(), 3, kWaitMs);
  QCOMPARE(console.Progress->maximum(), 5);
  QVERIFY(console.Output->toPlainText().contains(QString::fromUtf8(kTitleLine)));
  // An earlier result of the same name is not loaded while the run goes on.
  QVERIFY(WriteText(dir.Path(kResult), ResultBytes(SyntheticResults())));
  const auto seen = MessagesDuring([&] { form.run.load_run_result_button->click(); });
  QCOMPARE(seen.size(), 1u);
  QCOMPARE(seen[0].text, QString::fromUtf8("\u3000シミュレーションが終了していません\u3000"));
  QVERIFY(!form.results.draw_button->isEnabled());
  // Enter does not end a run still computing.
  QTest::keyClick(console.Output, Qt::Key_Return);
  QVERIFY(console.isVisible());
  // Back at the menu, the run goes on in the console above it.
  form.run.back_button->click();
  QTRY_COMPARE_WITH_TIMEOUT(console.windowHandle()->transientParent(),
                            GetMenuWindow().windowHandle(), kWaitMs);
  QVERIFY(console.isVisible());

  QVERIFY(WriteText(dir.Path("go"), ""));
  QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kWaitMs);
  QCOMPARE(finished[0][0].toBool(), true);
  QCOMPARE(console.Progress->value(), 5);
  // The new result is listed, selected and loaded.
  const auto selected = form.results.file_list->selectedItems();
  QCOMPARE(selected.size(), 1);
  QCOMPARE(selected[0]->text(), QString(kResult));
  QVERIFY(form.graph.loaded_file_label->text().contains(kResult));
  QVERIFY(form.results.draw_button->isEnabled());
  QCOMPARE(ResultBytes(SyntheticResults(0.8f)), ReadAll(dir.Path(kResult)));
  QCOMPARE(form.Tables().Kerma[100], ParseResultFile(result.toStdString(), "r")->Kerma[100]);

  // Enter, as the engine's last line asks, closes the window and answers the engine.
  QTest::keyClick(console.Output, Qt::Key_Return);
  QVERIFY(!console.isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(console.Output->toPlainText().contains(kStopLine), kWaitMs);
  QCOMPARE(finished.size(), 1);
  form.hide();
}

void TestEngineConsole::stopKeepsTheEarlierResult_data() {
  QTest::addColumn<bool>("real_engine");
  QTest::newRow("stopped while writing") << false;
  QTest::newRow("real Kestrun stopped") << true;
}

void TestEngineConsole::stopKeepsTheEarlierResult() {
  QFETCH(bool, real_engine);
  TempWorkDir dir;
  if (real_engine) {
    const QString engine = QStringLiteral(DOSAVIA_KESTRUN);
    if (!QFile::exists(engine)) QSKIP("Kestrun is not built");
    if (!dir.Missing().isEmpty()) QSKIP("data files missing");
    QVERIFY(QFile::copy(engine, dir.Path(EngineProgramName())));
  } else {
    QVERIFY(WriteScript(dir.Path(EngineProgramName()), StubEngine()));
    QVERIFY(WriteText(dir.Path("result.src"), FirstRecords(ResultBytes(SyntheticResults()), 200)));
    QVERIFY(WriteText(dir.Path("hang"), ""));
    QVERIFY(WriteText(dir.Path("go"), ""));
  }
  const QByteArray earlier = ResultBytes(SyntheticResults(0.7f));
  QVERIFY(WriteText(dir.Path(kResult), earlier));
  QFile old(dir.Path(kResult));  // an hour old: an earlier run's
  QVERIFY(old.open(QIODevice::ReadWrite) &&
          old.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                          QFileDevice::FileModificationTime));
  old.close();
  EngineScreen& form = GetEngineScreen();
  EngineConsole& console = Start(form, "30000000");
  QSignalSpy finished(&console, &EngineConsole::finished);
  QTRY_VERIFY_WITH_TIMEOUT(console.Progress->value() >= 1, kWaitMs);
  if (!real_engine) QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.Path(kTemporary)), kWaitMs);

  // Ending the program asks first; "No" (the box's Escape) keeps the run going.
  bool may_end = true;
  QCOMPARE(MessagesDuring([&] { may_end = EngineConsole::ConfirmStopAll(nullptr); }).size(), 1u);
  QVERIFY(!may_end && console.Running());

  console.StopButton->click();
  QCOMPARE(finished.size(), 1);
  QCOMPARE(finished[0][0].toBool(), false);
  QVERIFY(!console.Running());
  QCOMPARE(ReadAll(dir.Path(kResult)), earlier);
  const QStringList hidden = QDir(dir.Path(".")).entryList({".10MV*"}, QDir::Files | QDir::Hidden);
  QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(' ')));
  QVERIFY(!form.results.draw_button->isEnabled());  // nothing was loaded
  console.close();
  form.hide();
}

void TestEngineConsole::consoleOpensBesideOrOverTheGraph_data() {
  QTest::addColumn<QRect>("owner");
  QTest::addColumn<QRect>("screen");
  QTest::addColumn<int>("controls_right");
  QTest::addColumn<QRect>("place");
  // 1024x768: the non-visual screen fills it; the console covers its graph, narrower than
  // it would be, not the middle column's controls.
  QTest::newRow("1024x768, owner fills the screen")
      << QRect(0, 0, 1024, 720) << QRect(0, 0, 1024, 768) << 442 << QRect(442, 149, 582, 420);
  QTest::newRow("full HD, room to the right")
      << QRect(100, 100, 1000, 700) << QRect(0, 0, 1920, 1040) << 600 << QRect(1100, 239, 640, 420);
  QTest::newRow("full HD, room to the left only")
      << QRect(900, 100, 1000, 700) << QRect(0, 0, 1920, 1040) << 1400 << QRect(260, 239, 640, 420);
  QTest::newRow("wide owner, room below")
      << QRect(0, 0, 1900, 500) << QRect(0, 0, 1920, 1040) << 900 << QRect(0, 500, 640, 420);
  QTest::newRow("short owner, room below")
      << QRect(0, -200, 1024, 400) << QRect(0, 0, 1024, 768) << 442 << QRect(0, 200, 640, 420);
  QTest::newRow("owner partly above the screen: the console kept on it")
      << QRect(0, -300, 1024, 1000) << QRect(0, 0, 1024, 768) << 442 << QRect(442, 0, 582, 420);
  QTest::newRow("graph too narrow to read the engine's lines: over the controls")
      << QRect(0, 0, 1024, 720) << QRect(0, 0, 1024, 768) << 700 << QRect(384, 149, 640, 420);
  QTest::newRow("screen smaller than the console")
      << QRect(0, 0, 600, 400) << QRect(0, 0, 600, 400) << 300 << QRect(0, 0, 640, 420);
}

// The console window never opens over the non-visual screen's controls: beside the screen
// where there is room, otherwise over its graph, always on the screen.
void TestEngineConsole::consoleOpensBesideOrOverTheGraph() {
  QFETCH(QRect, owner);
  QFETCH(QRect, screen);
  QFETCH(int, controls_right);
  QFETCH(QRect, place);
  QCOMPARE(ConsolePlace(owner, QSize(640, 420), screen, controls_right), place);
}

QTEST_MAIN(TestEngineConsole)
#include "tst_engine_console.moc"
