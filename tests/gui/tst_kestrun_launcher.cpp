// Finding the engine (working folder, then beside Dosavia, then PATH) and starting it in a
// console window: the terminal emulator that is found runs the engine there; the arguments
// of the chosen mode and physics (through the terminal: tst_form4); no terminal at all is
// reported instead of failing silently (a missing engine: tst_form4).
#include <QtTest>

#include "gui_test_support.h"
#include "engine/physics_switch_names.h"
#include "gui/base/language.h"
#include "gui/engine_screen/kestrun_launcher.h"
#include "gui/widgets/form_style.h"

using namespace dosavia;
using namespace dosavia::gui;
using namespace dosavia::gui::testing;

namespace {

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QByteArray& value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
    qputenv(name, value);
  }
  ~ScopedEnv() {
    if (had_)
      qputenv(name_, old_);
    else
      qunsetenv(name_);
  }

 private:
  const char* name_;
  bool had_;
  QByteArray old_;
};

// The widest line a message box shows unwrapped: half the screen, at most 500 px, less its
// icon and margins.
constexpr int kUnwrappedLinePx = 380;

bool WaitForFile(const QString& path) {
  return QTest::qWaitFor([&] { return QFile::exists(path); }, 10000);
}

}  // namespace

class TestKestrunLauncher : public QObject {
  Q_OBJECT

 private slots:
  void engineSearchOrder_data();
  void engineSearchOrder();
  void engineArguments_data();
  void engineArguments();
  void runsTheEngineThroughTheTerminal();
  void noTerminalIsReported_data();
  void noTerminalIsReported();
};

void TestKestrunLauncher::engineSearchOrder_data() {
  QTest::addColumn<QStringList>("engines");  // folders holding an executable engine
  QTest::addColumn<QString>("found");        // folder expected, empty for none
  QTest::newRow("working folder first") << QStringList{"work", "app", "p2"} << "work";
  QTest::newRow("then beside Dosavia") << QStringList{"app", "p2"} << "app";
  QTest::newRow("then PATH in order") << QStringList{"p2", "p1"} << "p1";
  QTest::newRow("a file that is not executable is passed over") << QStringList{"p2", "-p1"} << "p2";
  QTest::newRow("none") << QStringList{"-work"} << "";
}

void TestKestrunLauncher::engineSearchOrder() {
  QFETCH(QStringList, engines);
  QFETCH(QString, found);
  QTemporaryDir root;
  const QDir base(root.path());
  for (const char* dir : {"work", "app", "p1", "p2"}) QVERIFY(base.mkdir(dir));
  for (QString dir : engines) {
    const bool executable = !dir.startsWith('-');
    if (!executable) dir.remove(0, 1);
    const QString path = base.filePath(dir + "/" + EngineProgramName());
    QVERIFY(executable ? WriteScript(path, "exit 0\n") : WriteText(path, "#!/bin/sh\n"));
  }
  // The program's folder again on PATH, and one folder spelt twice: each is listed once.
  const QString path_variable = base.filePath("p1") + QDir::listSeparator() +
                                QDir::listSeparator() + base.filePath("p2") +
                                QDir::listSeparator() + base.filePath("app") +
                                QDir::listSeparator() + base.filePath("p1") + "/";
  const EngineSearch search =
      FindKestrun(base.filePath("work"), base.filePath("app"), path_variable);
  QCOMPARE(search.path,
           found.isEmpty() ? QString() : base.filePath(found + "/" + EngineProgramName()));
  QCOMPARE(search.looked_in, (QStringList{base.filePath("work"), base.filePath("app"),
                                          base.filePath("p1"), base.filePath("p2")}));
}

void TestKestrunLauncher::engineArguments_data() {
  QTest::addColumn<bool>("all_cores");
  QTest::addColumn<QStringList>("off");  // --without words of the parts switched off
  QTest::addColumn<uint>("seed");
  QTest::addColumn<bool>("english");  // the interface's language
  QTest::addColumn<QStringList>("expected");
  const QString w = QStringLiteral("--without");
  QTest::newRow("single stream, full physics")
      << false << QStringList{} << 0u << false << QStringList{};
  QTest::newRow("every core, full physics")
      << true << QStringList{} << 0u << false << QStringList{"--threads", "0"};
  QTest::newRow("no electron transport") << false << QStringList{"electron-transport"} << 0u
                                         << false << QStringList{w, "electron-transport"};
  QTest::newRow("every core, primary photons only")
      << true << QStringList{"photon-scatter"} << 0u << false
      << QStringList{"--threads", "0", w, "photon-scatter"};
  // In the engine's order, whatever order the boxes were ticked in.
  QTest::newRow("pair and coherent") << false << QStringList{"pair", "coherent"} << 0u << false
                                     << QStringList{w, "coherent", w, "pair"};
  QTest::newRow("everything off") << true
                                  << QStringList{"electron-transport", "multiple-scattering",
                                                 "photon-scatter", "coherent", "pair"}
                                  << 0u << false << QStringList{"--threads", "0",
                                                                w,           "electron-transport",
                                                                w,           "multiple-scattering",
                                                                w,           "photon-scatter",
                                                                w,           "coherent",
                                                                w,           "pair"};
  // A group's own seed, and the console in the language the class reads.
  QTest::newRow("seeded") << false << QStringList{} << 7u << false << QStringList{"--seed", "7"};
  QTest::newRow("largest seed, every core")
      << true << QStringList{} << 2147483647u << false
      << QStringList{"--threads", "0", "--seed", "2147483647"};
  QTest::newRow("English") << false << QStringList{} << 0u << true << QStringList{"--lang", "en"};
  QTest::newRow("English, seeded, no electrons")
      << false << QStringList{"electron-transport"} << 3u << true
      << QStringList{w, "electron-transport", "--seed", "3", "--lang", "en"};
}

void TestKestrunLauncher::engineArguments() {
  QFETCH(bool, all_cores);
  QFETCH(QStringList, off);
  QFETCH(uint, seed);
  QFETCH(bool, english);
  QFETCH(QStringList, expected);
  PhysicsSwitches physics;
  for (const QString& option : off) {
    const PhysicsSwitchName* name = FindPhysicsSwitch(option.toStdString());
    QVERIFY(name != nullptr);
    physics.*name->member = false;
  }
  SetLanguage(english ? Language::kEnglish : Language::kJapanese, false);
  const QStringList arguments = EngineArguments(all_cores, physics, seed);
  SetLanguage(Language::kJapanese, false);
  QCOMPARE(arguments, expected);
}

void TestKestrunLauncher::runsTheEngineThroughTheTerminal() {
#ifdef Q_OS_WIN
  QSKIP("console windows are tested by hand on Windows");
#endif
  TempWorkDir dir;
  const QString work = QDir::currentPath();
  // The terminal records what it was asked to run, then runs it with input closed.
  QVERIFY(WriteScript(dir.Path("term"),
                      "printf '%s\\n' \"$@\" > \"$TERM_LOG\"\n"
                      "shift\nexec \"$@\" < /dev/null\n"));
  // The engine stand-in records its arguments and working directory.
  QVERIFY(WriteScript(dir.Path(EngineProgramName()), "echo \"$# $(pwd)\" > ran.txt\n"));
  ScopedEnv terminal("TERMINAL", QFile::encodeName(dir.Path("term")));
  ScopedEnv log("TERM_LOG", QFile::encodeName(dir.Path("term.log")));
  QDir::setCurrent(QDir::rootPath());  // the engine must not depend on Dosavia's directory
  const LaunchResult launch = StartKestrun(work);
  QVERIFY2(launch.started, qPrintable(launch.problem));
  QVERIFY(WaitForFile(dir.Path("ran.txt")));
  QTRY_COMPARE(ReadAll(dir.Path("ran.txt")).trimmed(),
               ("0 " + QFile::encodeName(QDir(work).canonicalPath())));
  QCOMPARE(ReadAll(dir.Path("term.log")),
           "-e\n" + QFile::encodeName(QDir(work).absoluteFilePath(EngineProgramName())) + "\n");
}

void TestKestrunLauncher::noTerminalIsReported_data() {
  QTest::addColumn<bool>("english");
  QTest::newRow("Japanese") << false;
  QTest::newRow("English") << true;
}

// No terminal: the message says so, names the way out (the check box, by its own caption)
// and TERMINAL, in lines short enough that the message box never wraps one inside a word.
void TestKestrunLauncher::noTerminalIsReported() {
#ifdef Q_OS_WIN
  QSKIP("Windows opens the console itself");
#endif
  QFETCH(bool, english);
  SetLanguage(english ? Language::kEnglish : Language::kJapanese, false);
  TempWorkDir dir;
  QVERIFY(WriteScript(dir.Path(EngineProgramName()), "touch ran.txt\n"));
  ScopedEnv path("PATH", QFile::encodeName(dir.Path("empty")));
  ScopedEnv terminal("TERMINAL", QFile::encodeName(dir.Path("no-such-terminal")));
  const LaunchResult launch = StartKestrun(QDir::currentPath());
  const QString caption = Tr("EngineScreen", kOwnConsoleCaption);
  SetLanguage(Language::kJapanese, false);
  QVERIFY(!launch.started);
  QVERIFY2(launch.problem.contains("TERMINAL"), qPrintable(launch.problem));
  QVERIFY2(launch.problem.contains(caption), qPrintable(launch.problem));
  const QFontMetrics metrics(DefaultFont());
  for (const QString& line : launch.problem.split(QLatin1Char('\n')))
    QVERIFY2(metrics.horizontalAdvance(line) <= kUnwrappedLinePx, qPrintable(line));
  QTest::qWait(200);
  QVERIFY(!QFile::exists(dir.Path("ran.txt")));
}

QTEST_MAIN(TestKestrunLauncher)
#include "tst_kestrun_launcher.moc"
