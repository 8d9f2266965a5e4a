// One settings file: the program, started with an empty home folder, keeps every preference
// the user changes (zoom, language, console window, all cores) in the one file under its own
// organisation and application name, and reads them all back at the next start.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "gui/app/window_registry.h"
#include "gui/base/language.h"
#include "gui/base/preferences.h"
#include "gui/engine_screen/engine_console.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui/widgets/form_scaler.h"
#include "gui_test_support.h"

using namespace dosavia::gui;

namespace {

const char kChangeOption[] = "--change-every-preference";
const char kReadOption[] = "--read-every-preference";
constexpr double kChosenZoom = 1.5;

// The program's start, then each preference changed where the user changes it: the two
// check boxes of the non-visual screen, the zoom and the language of the context menu.
// Prints the console-window choice, whose default depends on the terminals installed.
int ChangeEveryPreference(int argc, char** argv) {
  QApplication app(argc, argv);
  NameApplication();
  ApplyStartLanguage(std::nullopt);
  const testing::TempWorkDir work;
  EngineScreen& form = GetEngineScreen();
  const bool own_console = !form.run.own_console_box->isChecked();
  form.run.own_console_box->setChecked(own_console);
  form.run.all_cores_box->setChecked(!form.run.all_cores_box->isChecked());
  SetZoomSetting(kChosenZoom);
  SetLanguage(Language::kEnglish, true);
  std::printf("own_console=%d all_cores=%d\n", own_console ? 1 : 0,
              form.run.all_cores_box->isChecked() ? 1 : 0);
  return 0;
}

// The next start, as the program reads the preferences.
int ReadEveryPreference(int argc, char** argv) {
  QApplication app(argc, argv);
  NameApplication();
  ApplyStartLanguage(std::nullopt);
  std::printf("own_console=%d all_cores=%d zoom=%g english=%d\n", UseOwnConsole() ? 1 : 0,
              UseAllCores() ? 1 : 0, ZoomSetting(),
              CurrentLanguage() == Language::kEnglish ? 1 : 0);
  return 0;
}

const char kZoomUnsavedOption[] = "--zoom-without-saving";

// Two zoom steps where the file cannot be written: each takes effect at once.
int ZoomWithoutSaving(int argc, char** argv) {
  QApplication app(argc, argv);
  NameApplication();
  SetZoomSetting(1.5);
  const double first = ZoomSetting();
  SetZoomSetting(1.25);
  std::printf("zoom=%g,%g\n", first, ZoomSetting());
  return 0;
}

}  // namespace

class TestPreferences : public QObject {
  Q_OBJECT

 private slots:
  void oneFileHoldsEveryPreference();
  void unusableFilesLeaveTheChoicesInMemory_data();
  void unusableFilesLeaveTheChoicesInMemory();

 private:
  struct Outcome {
    bool finished = false;
    QByteArray out, err;
  };
  // As RunWithHome, but a program that does not end in 20 s is killed and counts as hung.
  static Outcome RunOrKill(const char* mode, const QString& home);
  // Runs this program in `mode` with `home` as the user's home folder; its standard output.
  static QByteArray RunWithHome(const char* mode, const QString& home);
};

QByteArray TestPreferences::RunWithHome(const char* mode, const QString& home) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HOME"), home);
  for (const char* xdg : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_DIRS"})
    env.remove(QString::fromLatin1(xdg));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  process.setProcessEnvironment(env);
  process.setProcessChannelMode(QProcess::SeparateChannels);
  process.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode)});
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    qWarning() << process.readAllStandardError();
    return {};
  }
  return process.readAllStandardOutput().trimmed();
}

TestPreferences::Outcome TestPreferences::RunOrKill(const char* mode, const QString& home) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HOME"), home);
  for (const char* xdg : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_DIRS"})
    env.remove(QString::fromLatin1(xdg));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  process.setProcessEnvironment(env);
  process.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode)});
  Outcome outcome;
  outcome.finished = process.waitForFinished(20000) &&
                     process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
  if (process.state() != QProcess::NotRunning) {
    process.kill();
    process.waitForFinished();
  }
  outcome.out = process.readAllStandardOutput().trimmed();
  outcome.err = process.readAllStandardError();
  return outcome;
}

// A locked classroom profile (the settings folder cannot be made), a pipe in the settings
// file's place and a file of gigabytes: the program starts at once with the defaults (never
// waits on the pipe, never reads the gigabytes), every choice takes effect at once, and the
// failure to keep them is said exactly once.
void TestPreferences::unusableFilesLeaveTheChoicesInMemory_data() {
  QTest::addColumn<QString>("spoil");
  QTest::newRow("settings folder cannot be made") << QStringLiteral("config-is-a-file");
  QTest::newRow("settings file is a pipe") << QStringLiteral("fifo");
  QTest::newRow("settings file of 2 GB") << QStringLiteral("huge");
}

void TestPreferences::unusableFilesLeaveTheChoicesInMemory() {
  QFETCH(QString, spoil);
  const QTemporaryDir plain, home;
  QVERIFY(plain.isValid() && home.isValid());
  if (spoil == "huge") {
    QVERIFY(QDir().mkpath(home.filePath(".config/Dosavia")));
    QFile file(home.filePath(".config/Dosavia/Dosavia.conf"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(2) << 30));  // sparse
  } else if (spoil == "fifo") {
    QVERIFY(QDir().mkpath(home.filePath(".config/Dosavia")));
    QCOMPARE(::mkfifo(QFile::encodeName(home.filePath(".config/Dosavia/Dosavia.conf")).constData(),
                      0600),
             0);
  } else {
    QFile file(home.filePath(".config"));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  const Outcome defaults = RunOrKill(kReadOption, plain.path());
  QVERIFY(defaults.finished);
  const Outcome read = RunOrKill(kReadOption, home.path());
  QVERIFY2(read.finished, "the program did not start");
  QCOMPARE(read.out, defaults.out);

  const Outcome zoomed = RunOrKill(kZoomUnsavedOption, home.path());
  QVERIFY2(zoomed.finished, zoomed.err.constData());
  QCOMPARE(zoomed.out, QByteArray("zoom=1.5,1.25"));
  QVERIFY2(zoomed.err.count("Dosavia:") == 1, zoomed.err.constData());
  QVERIFY2(zoomed.err.contains("Dosavia.conf"), zoomed.err.constData());
}

void TestPreferences::oneFileHoldsEveryPreference() {
  const QTemporaryDir home;
  QVERIFY(home.isValid());
  const QByteArray changed = RunWithHome(kChangeOption, home.path());
  QVERIFY2(changed.startsWith("own_console="), changed.constData());

  // Exactly one settings file anywhere in the home folder, where the README says.
  QStringList settings_files;
  QDirIterator it(home.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (path.startsWith(home.filePath(QStringLiteral(".config"))) || path.endsWith(".conf") ||
        path.endsWith(".ini"))
      settings_files << QDir(home.path()).relativeFilePath(path);
  }
  QCOMPARE(settings_files, QStringList{QStringLiteral(".config/Dosavia/Dosavia.conf")});

  // Every preference in it, under the keys and values it has always had.
  const QSettings file(home.filePath(settings_files[0]), QSettings::IniFormat);
  const bool own_console = changed.contains("own_console=1");
  QCOMPARE(file.value(QString::fromLatin1(kLanguageKey)).toString(), QStringLiteral("en"));
  QCOMPARE(file.value(QString::fromLatin1(kZoomKey)).toDouble(), kChosenZoom);
  QCOMPARE(file.value(QString::fromLatin1(kOwnConsoleKey)).toBool(), own_console);
  QCOMPARE(file.value(QString::fromLatin1(kAllCoresKey)).toBool(), true);
  QCOMPARE(file.allKeys().size(), 4);

  // The next start finds them all.
  const QByteArray read = RunWithHome(kReadOption, home.path());
  QCOMPARE(read, QByteArray(own_console ? "own_console=1" : "own_console=0") +
                     " all_cores=1 zoom=1.5 english=1");
}

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], kChangeOption) == 0)
    return ChangeEveryPreference(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], kReadOption) == 0) return ReadEveryPreference(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], kZoomUnsavedOption) == 0)
    return ZoomWithoutSaving(argc, argv);
  QApplication app(argc, argv);
  TestPreferences test;
  return QTest::qExec(&test, argc, argv);
}

#include "tst_preferences.moc"
