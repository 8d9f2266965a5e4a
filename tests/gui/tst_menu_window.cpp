// The main menu: opening the visual screen with missing or broken data, returning to the
// menu, the lesson sheets, and ending the program.
#include <QFile>
#include <QComboBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include "gui/app/window_registry.h"
#include "gui/base/language.h"
#include "gui/forms/lesson_page.h"
#include "gui/forms/menu_window.h"
#include "gui/visual/visual_screen.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui_test_support.h"

using namespace dosavia;
using namespace dosavia::gui;
using dosavia::gui::testing::MessageBoxCatcher;
using dosavia::gui::testing::TempWorkDir;

class TestMenuWindow : public QObject {
  Q_OBJECT

 private slots:
  void brokenDataKeepsTheMenu_data();
  void brokenDataKeepsTheMenu();
  void visualSimulationSwapsMenuAndScreen();
  void nonVisualSimulationSwapsMenuAndScreen();
  void lessonSheetsInTheInterfacesLanguage_data();
  void lessonSheetsInTheInterfacesLanguage();
  void exitDeletesTheConditionsFile_data();
  void exitDeletesTheConditionsFile();
  void exitEndsTheEventLoop_data();
  void exitEndsTheEventLoop();
};

void TestMenuWindow::brokenDataKeepsTheMenu_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QByteArray>("content");  // empty: the file is removed
  QTest::newRow("water20.dat missing") << "water20.dat" << QByteArray();
  QTest::newRow("ELDAT.dat missing") << "ELDAT.dat" << QByteArray();
  QTest::newRow("water20.dat malformed") << "water20.dat" << QByteArray(" 99\r\n");
  QTest::newRow("ELDAT.dat short") << "ELDAT.dat" << QByteArray(" 1 2 3\r\n");
}

void TestMenuWindow::brokenDataKeepsTheMenu() {
  QFETCH(QString, file);
  QFETCH(QByteArray, content);
  TempWorkDir dir;
  QFile::remove(dir.Path(file));
  if (!content.isEmpty()) dir.Write(file, content);
  MenuWindow& menu = GetMenuWindow();
  menu.show();
  GetVisualScreen().hide();
  MessageBoxCatcher catcher;
  menu.visual_button->click();
  QCOMPARE(catcher.Messages().size(), std::size_t{1});
  QVERIFY2(catcher.Messages()[0].text.contains(file), qPrintable(catcher.Messages()[0].text));
  QCOMPARE(catcher.Messages()[0].icon, QMessageBox::Warning);
  QVERIFY(menu.isVisible());
  QVERIFY(!GetVisualScreen().isVisible());
}

void TestMenuWindow::visualSimulationSwapsMenuAndScreen() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  MenuWindow& menu = GetMenuWindow();
  menu.show();
  MessageBoxCatcher catcher;
  menu.visual_button->click();
  QVERIFY(catcher.Messages().empty());
  QVERIFY(GetVisualScreen().isVisible());
  QVERIFY(!menu.isVisible());
  GetVisualScreen().back_button->click();
  QVERIFY(menu.isVisible());
  QVERIFY(!GetVisualScreen().isVisible());
}

void TestMenuWindow::nonVisualSimulationSwapsMenuAndScreen() {
  TempWorkDir dir;
  MenuWindow& menu = GetMenuWindow();
  menu.show();
  menu.engine_button->click();
  QVERIFY(GetEngineScreen().isVisible());
  QVERIFY(!menu.isVisible());
  GetEngineScreen().hide();
}

// The lesson screen shows each sheet built into the program, in the language the interface
// switches to while it is open, the desktop's steps in it and the browser's links by name.
void TestMenuWindow::lessonSheetsInTheInterfacesLanguage_data() {
  QTest::addColumn<int>("lesson");
  QTest::addColumn<bool>("english");
  QTest::addColumn<QString>("step");  // a desktop step of the sheet
  QTest::newRow("build-up, Japanese") << 0 << false << QString::fromUtf8("デスクトップ版では");
  QTest::newRow("build-up, English") << 0 << true << QStringLiteral("On the desktop:");
  QTest::newRow("interfaces, Japanese") << 1 << false << QString::fromUtf8("肺スラブ");
  QTest::newRow("interfaces, English") << 1 << true << QStringLiteral("On the desktop:");
}

void TestMenuWindow::lessonSheetsInTheInterfacesLanguage() {
  QFETCH(int, lesson);
  QFETCH(bool, english);
  QFETCH(QString, step);
  MenuWindow& menu = GetMenuWindow();
  menu.show();
  menu.lesson_button->click();
  LessonPage& page = GetLessonPage();
  QVERIFY(page.isVisible());
  page.lesson_box->setCurrentIndex(lesson);
  SetLanguage(english ? Language::kEnglish : Language::kJapanese, false);
  QCoreApplication::processEvents();  // the forms hear of the switch
  const QString shown = page.sheet->toPlainText();
  SetLanguage(Language::kJapanese, false);
  QCoreApplication::processEvents();
  QVERIFY2(shown.contains(step), qPrintable(shown.left(200)));
  QCOMPARE(shown.contains(QString::fromUtf8("授業案")), !english);
  QVERIFY(!shown.contains(QStringLiteral("screen=")));
  page.close_button->click();
  QVERIFY(!page.isVisible());
}

void TestMenuWindow::exitDeletesTheConditionsFile_data() {
  QTest::addColumn<bool>("written");
  QTest::addColumn<bool>("by_closing");
  QTest::newRow("Exit with Joken.dat") << true << false;
  QTest::newRow("Exit without Joken.dat") << false << false;
  QTest::newRow("closing the menu") << true << true;
}

void TestMenuWindow::exitDeletesTheConditionsFile() {
  QFETCH(bool, written);
  QFETCH(bool, by_closing);
  TempWorkDir dir;
  if (written) dir.Write("Joken.dat", "10MV.csv\r\n10MV-30M.data\r\n3.00E+07\r\n");
  MenuWindow& menu = GetMenuWindow();
  menu.show();
  GetVisualScreen().show();
  MessageBoxCatcher catcher;
  if (by_closing)
    menu.close();
  else
    menu.exit_button->click();
  QVERIFY(!QFile::exists(dir.Path("Joken.dat")));
  QVERIFY(catcher.Messages().empty());
  // Every form is gone from the screen.
  QVERIFY(!menu.isVisible());
  QVERIFY(!GetVisualScreen().isVisible());
}

void TestMenuWindow::exitEndsTheEventLoop_data() {
  QTest::addColumn<bool>("by_closing");
  QTest::newRow("Exit button") << false;
  QTest::newRow("closing the menu window") << true;
}

void TestMenuWindow::exitEndsTheEventLoop() {
  QFETCH(bool, by_closing);
  TempWorkDir dir;
  MenuWindow& menu = GetMenuWindow();
  menu.show();
  QTimer::singleShot(0, &menu, [&] {
    if (by_closing)
      menu.close();
    else
      menu.exit_button->click();
  });
  QTimer watchdog;
  watchdog.setSingleShot(true);
  connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  watchdog.start(10000);
  QCOMPARE(QApplication::exec(), 0);
}

QTEST_MAIN(TestMenuWindow)
#include "tst_menu_window.moc"
