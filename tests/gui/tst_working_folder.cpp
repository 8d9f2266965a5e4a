// Dosavia's working folder: a directory holding the data is kept as it is; elsewhere (a
// desktop menu start) the user's folder is made, completed without touching edited files,
// entered, told of once, and shown on the non-visual screen, which opens it or says where
// it is.
#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

#include "gui/app/window_registry.h"
#include "gui/base/language.h"
#include "gui/base/preferences.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui/base/working_folder.h"
#include "gui/widgets/form_style.h"
#include "engine/working_folder.h"
#include "gui_test_support.h"

using namespace dosavia;
using namespace dosavia::gui;
using dosavia::gui::testing::CapturedMessage;
using dosavia::gui::testing::MessagesDuring;

namespace {

// Kana and kanji: a text in Japanese holds some.
const QRegularExpression kJapanese(QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]"));

// The widest line a message box shows unwrapped: half the screen, at most 500 px, less its
// icon and margins.
constexpr int kUnwrappedLinePx = 380;

// A message as read: the break opportunities of its paths taken out.
QString Read(const CapturedMessage& message) {
  QString text = message.text;
  return text.remove(QChar(0x200B));
}

// Makes `start` (empty) current and enters the user's folder under `root` from there.
WorkingFolderChoice StartIn(const QDir& root, QString* user) {
  root.mkpath(QStringLiteral("start"));
  *user = root.filePath(QStringLiteral("Documents/Dosavia"));
  QDir::setCurrent(root.filePath(QStringLiteral("start")));
  return EnterWorkingFolder(*user, QString(DOSAVIA_WORKDIR) + "/Dosavia");
}

}  // namespace

class TestWorkingFolder : public QObject {
  Q_OBJECT

 private slots:
  void choosesTheFolder_data();
  void choosesTheFolder();
  void firstStartTellsTheFolderOnce_data();
  void firstStartTellsTheFolderOnce();
  void aFolderInTheWayIsSaidWithItsReason();
  void folderLineKeepsItsLastFolders();
  void folderThatCannotBeOpenedIsSaidWhereItIs_data();
  void folderThatCannotBeOpenedIsSaidWhereItIs();
};

void TestWorkingFolder::choosesTheFolder_data() {
  QTest::addColumn<bool>("start_holds_data");
  QTest::addColumn<bool>("edited_spectrum");  // the user's folder holds an edited 10MV.csv
  QTest::addColumn<int>("copied");
  QTest::newRow("data here: stay") << true << false << 0;
  // Every shipped data file, or all but the edited one that is kept.
  const int shipped = static_cast<int>(kShippedDataFiles.size());
  QTest::newRow("menu start: new folder") << false << false << shipped;
  QTest::newRow("menu start: edited file kept") << false << true << shipped - 1;
}

void TestWorkingFolder::choosesTheFolder() {
  QFETCH(bool, start_holds_data);
  QFETCH(bool, edited_spectrum);
  QFETCH(int, copied);
  QTemporaryDir root;
  const QDir base(root.path());
  QVERIFY(base.mkdir("start"));
  const QString start = base.filePath("start");
  const QString user = base.filePath("Documents/Dosavia");
  if (start_holds_data)
    for (const char* name : {"water20.dat", "ELDAT.dat"})
      QVERIFY(QFile::copy(QString(DOSAVIA_DATA_DIR) + "/" + name, start + "/" + name));
  if (edited_spectrum) {
    QVERIFY(base.mkpath(user));
    QFile f(user + "/10MV.csv");
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("mine\r\n") == 6);
  }
  const QString previous = QDir::currentPath();
  QVERIFY(QDir::setCurrent(start));
  // The build tree's Dosavia: its folder holds the shipped data.
  const WorkingFolderChoice choice =
      EnterWorkingFolder(user, QString(DOSAVIA_WORKDIR) + "/Dosavia");
  const QString now = QDir::currentPath();
  GetEngineScreen().PrepareForShow();
  const QString shown = GetEngineScreen().run.working_folder_label->toolTip();
  QDir::setCurrent(previous);

  QVERIFY2(choice.problem.isEmpty(), qPrintable(choice.problem));
  const QString expected = QDir(start_holds_data ? start : user).canonicalPath();
  QCOMPARE(QDir(choice.folder).canonicalPath(), expected);
  QCOMPARE(QDir(now).canonicalPath(), expected);
  QCOMPARE(QDir(shown).canonicalPath(), expected);
  QCOMPARE(choice.copied.size(), copied);
  QCOMPARE(QDir(user).exists(), !start_holds_data || edited_spectrum);
  if (edited_spectrum) {
    QFile f(user + "/10MV.csv");
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("mine\r\n"));
  }
}

void TestWorkingFolder::firstStartTellsTheFolderOnce_data() {
  QTest::addColumn<bool>("english");
  QTest::newRow("Japanese") << false;
  QTest::newRow("English") << true;
}

// A student starting from an empty folder is told once, in the interface's language, where
// the work goes; the next start (the preference kept in the file) says nothing.
void TestWorkingFolder::firstStartTellsTheFolderOnce() {
  QFETCH(bool, english);
  SetLanguage(english ? Language::kEnglish : Language::kJapanese, false);
  QTemporaryDir root;
  const QString previous = QDir::currentPath();
  QString user;
  const WorkingFolderChoice choice = StartIn(QDir(root.path()), &user);
  const QString folder = QDir(user).canonicalPath();
  bool told_first = false, told_again = true;
  const auto first = MessagesDuring([&] { told_first = TellWorkingFolderOnce(choice, user); });
  const auto again = MessagesDuring([&] { told_again = TellWorkingFolderOnce(choice, user); });
  QDir::setCurrent(previous);
  SetLanguage(Language::kJapanese, false);

  QVERIFY(told_first);
  QCOMPARE(first.size(), 1u);
  QCOMPARE(first[0].icon, QMessageBox::Information);
  const QString text = Read(first[0]);
  QVERIFY2(text.contains(QDir::toNativeSeparators(folder)), qPrintable(text));
  QVERIFY2(text.contains(QStringLiteral("water20.dat")), qPrintable(text));  // what was copied
  QCOMPARE(text.contains(kJapanese), !english);
  // Lines short enough that the box does not wrap one inside a word; the path may wrap at
  // its folders.
  const QFontMetrics metrics(DefaultFont());
  for (const QString& line : text.split(QLatin1Char('\n')))
    if (!line.contains(QDir::separator()))
      QVERIFY2(metrics.horizontalAdvance(line) <= kUnwrappedLinePx, qPrintable(line));
  QVERIFY(!told_again);
  QCOMPARE(again.size(), 0u);
  // Kept in the one settings file, for the next start.
  QCOMPARE(
      QSettings(PreferencesFile(), QSettings::IniFormat).value(kWorkingFolderToldKey).toString(),
      folder);
}

// The folder cannot be made (a file of its name is in the way): the reason is said, in
// full, with the folder, and nothing is told as if it were set up.
void TestWorkingFolder::aFolderInTheWayIsSaidWithItsReason() {
  QTemporaryDir root;
  const QDir base(root.path());
  QVERIFY(base.mkpath(QStringLiteral("Documents")));
  QFile in_the_way(base.filePath(QStringLiteral("Documents/Dosavia")));
  QVERIFY(in_the_way.open(QIODevice::WriteOnly));
  in_the_way.close();
  const QString previous = QDir::currentPath();
  QString user;
  const WorkingFolderChoice choice = StartIn(base, &user);
  const auto told = MessagesDuring([&] { TellWorkingFolderOnce(choice, user); });
  QDir::setCurrent(previous);
  QVERIFY(!choice.problem.isEmpty());
  QString problem = choice.problem;
  problem.remove(QChar(0x200B));
  QVERIFY2(problem.contains(QDir::toNativeSeparators(user)), qPrintable(problem));
  // The system's reason follows the sentence, after its colon.
  QVERIFY2(!problem.section(QString::fromUtf8("："), -1).trimmed().isEmpty(), qPrintable(problem));
  QCOMPARE(told.size(), 0u);
}

// The folder line under the return button keeps the last folders of a long path, fits its
// label and names the whole path in its tip.
void TestWorkingFolder::folderLineKeepsItsLastFolders() {
  QTemporaryDir root;
  const QString deep =
      QDir(root.path())
          .filePath(QStringLiteral(
              "a rather long classroom folder name/another long folder of the term/Dosavia"));
  QVERIFY(QDir().mkpath(deep));
  const QString previous = QDir::currentPath();
  QDir::setCurrent(deep);
  EngineScreen& form = GetEngineScreen();
  form.PrepareForShow();
  const QString text = form.run.working_folder_label->text();
  const QString tip = form.run.working_folder_label->toolTip();
  const QFont font = form.run.working_folder_label->font();
  const int width = form.run.working_folder_label->width();
  QDir::setCurrent(previous);

  QCOMPARE(QDir(tip).canonicalPath(), QDir(deep).canonicalPath());
  const QRegularExpressionMatch link =
      QRegularExpression(QStringLiteral(">([^<]*)</a>")).match(text);
  QVERIFY2(link.hasMatch(), qPrintable(text));
  const QString shown = link.captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
  QVERIFY2(shown.endsWith(QDir::toNativeSeparators(QStringLiteral("/Dosavia"))), qPrintable(shown));
  QVERIFY2(QFontMetrics(font).horizontalAdvance(shown) <= width, qPrintable(shown));
  QVERIFY2(shown.size() < tip.size(), qPrintable(shown));
}

void TestWorkingFolder::folderThatCannotBeOpenedIsSaidWhereItIs_data() {
  QTest::addColumn<bool>("opens");
  QTest::newRow("file manager opens it") << true;
  QTest::newRow("no file manager") << false;
}

void TestWorkingFolder::folderThatCannotBeOpenedIsSaidWhereItIs() {
  QFETCH(bool, opens);
  EngineScreen& form = GetEngineScreen();
  form.PrepareForShow();
  QUrl asked;
  form.SetFolderOpener([&](const QUrl& url) {
    asked = url;
    return opens;
  });
  const auto seen = MessagesDuring(
      [&] { emit form.run.working_folder_label->linkActivated(QStringLiteral("open")); });
  form.SetFolderOpener({});
  QCOMPARE(asked, QUrl::fromLocalFile(QDir::currentPath()));
  QCOMPARE(seen.size(), opens ? 0u : 1u);
  if (!opens) {
    QCOMPARE(seen[0].icon, QMessageBox::Warning);
    // The path whole, as it is copied from the message: no break marks inside it.
    QVERIFY2(seen[0].text.contains(QDir::toNativeSeparators(QDir::currentPath())),
             qPrintable(seen[0].text));
    QVERIFY(seen[0].selectable);
  }
}

// The one settings file of this test lies in a home folder of its own, so that "told
// already" starts empty and no real preference is touched.
int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("HOME", QFile::encodeName(home.path()));
  for (const char* xdg : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_DIRS"})
    qunsetenv(xdg);
  QApplication app(argc, argv);
  TestWorkingFolder test;
  return QTest::qExec(&test, argc, argv);
}
#include "tst_working_folder.moc"
