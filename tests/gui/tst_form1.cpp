// The main menu: opening the visual screen with missing or broken data, returning to the
// menu, and ending the program.
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "gui/app/app_forms.h"
#include "gui/forms/form1_menu.h"
#include "gui/forms/form2_visual.h"
#include "gui/forms/form4_engine_screen.h"
#include "gui_test_support.h"

using namespace dosavia;
using namespace dosavia::gui;
using dosavia::gui::testing::MessageBoxCatcher;
using dosavia::gui::testing::TempWorkDir;

class TestForm1 : public QObject {
  Q_OBJECT

 private slots:
  void brokenDataKeepsTheMenu_data();
  void brokenDataKeepsTheMenu();
  void visualSimulationSwapsMenuAndScreen();
  void nonVisualSimulationSwapsMenuAndScreen();
  void exitDeletesTheConditionsFile_data();
  void exitDeletesTheConditionsFile();
  void exitEndsTheEventLoop_data();
  void exitEndsTheEventLoop();
};

void TestForm1::brokenDataKeepsTheMenu_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QByteArray>("content");  // empty: the file is removed
  QTest::newRow("water20.dat missing") << "water20.dat" << QByteArray();
  QTest::newRow("ELDAT.dat missing") << "ELDAT.dat" << QByteArray();
  QTest::newRow("water20.dat malformed") << "water20.dat" << QByteArray(" 99\r\n");
  QTest::newRow("ELDAT.dat short") << "ELDAT.dat" << QByteArray(" 1 2 3\r\n");
}

void TestForm1::brokenDataKeepsTheMenu() {
  QFETCH(QString, file);
  QFETCH(QByteArray, content);
  TempWorkDir dir;
  QFile::remove(dir.Path(file));
  if (!content.isEmpty()) dir.Write(file, content);
  Form1& menu = GetForm1();
  menu.show();
  GetForm2().hide();
  MessageBoxCatcher catcher;
  menu.Command1->click();
  QCOMPARE(catcher.Messages().size(), std::size_t{1});
  QVERIFY2(catcher.Messages()[0].text.contains(file), qPrintable(catcher.Messages()[0].text));
  QCOMPARE(catcher.Messages()[0].icon, QMessageBox::Warning);
  QVERIFY(menu.isVisible());
  QVERIFY(!GetForm2().isVisible());
}

void TestForm1::visualSimulationSwapsMenuAndScreen() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty()) QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  Form1& menu = GetForm1();
  menu.show();
  MessageBoxCatcher catcher;
  menu.Command1->click();
  QVERIFY(catcher.Messages().empty());
  QVERIFY(GetForm2().isVisible());
  QVERIFY(!menu.isVisible());
  GetForm2().Command7->click();
  QVERIFY(menu.isVisible());
  QVERIFY(!GetForm2().isVisible());
}

void TestForm1::nonVisualSimulationSwapsMenuAndScreen() {
  TempWorkDir dir;
  Form1& menu = GetForm1();
  menu.show();
  menu.Command6->click();
  QVERIFY(GetForm4().isVisible());
  QVERIFY(!menu.isVisible());
  GetForm4().hide();
}

void TestForm1::exitDeletesTheConditionsFile_data() {
  QTest::addColumn<bool>("written");
  QTest::addColumn<bool>("by_closing");
  QTest::newRow("Exit with Joken.dat") << true << false;
  QTest::newRow("Exit without Joken.dat") << false << false;
  QTest::newRow("closing the menu") << true << true;
}

void TestForm1::exitDeletesTheConditionsFile() {
  QFETCH(bool, written);
  QFETCH(bool, by_closing);
  TempWorkDir dir;
  if (written) dir.Write("Joken.dat", "10MV.csv\r\n10MV-30M.data\r\n3.00E+07\r\n");
  Form1& menu = GetForm1();
  menu.show();
  GetForm2().show();
  MessageBoxCatcher catcher;
  if (by_closing)
    menu.close();
  else
    menu.Command2->click();
  QVERIFY(!QFile::exists(dir.Path("Joken.dat")));
  QVERIFY(catcher.Messages().empty());
  // Every form is gone from the screen.
  QVERIFY(!menu.isVisible());
  QVERIFY(!GetForm2().isVisible());
}

void TestForm1::exitEndsTheEventLoop_data() {
  QTest::addColumn<bool>("by_closing");
  QTest::newRow("Exit button") << false;
  QTest::newRow("closing the menu window") << true;
}

void TestForm1::exitEndsTheEventLoop() {
  QFETCH(bool, by_closing);
  TempWorkDir dir;
  Form1& menu = GetForm1();
  menu.show();
  QTimer::singleShot(0, &menu, [&] {
    if (by_closing)
      menu.close();
    else
      menu.Command2->click();
  });
  QTimer watchdog;
  watchdog.setSingleShot(true);
  connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  watchdog.start(10000);
  QCOMPARE(QApplication::exec(), 0);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
