// Dosavia's working folder: a directory holding the data is kept as it is; elsewhere (a
// desktop menu start) the user's folder is made, completed without touching edited files,
// entered, and shown on the non-visual screen.
#include <QLabel>
#include <QtTest>

#include "gui/app/app_forms.h"
#include "gui/forms/form4_engine_screen.h"
#include "gui/app/working_folder.h"

using namespace dosavia;
using namespace dosavia::gui;

class TestWorkingFolder : public QObject {
  Q_OBJECT

 private slots:
  void choosesTheFolder_data();
  void choosesTheFolder();
};

void TestWorkingFolder::choosesTheFolder_data() {
  QTest::addColumn<bool>("start_holds_data");
  QTest::addColumn<bool>("edited_spectrum");  // the user's folder holds an edited 10MV.csv
  QTest::addColumn<int>("copied");
  QTest::newRow("data here: stay") << true << false << 0;
  QTest::newRow("menu start: new folder") << false << false << 6;
  QTest::newRow("menu start: edited file kept") << false << true << 5;
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
  GetForm4().PrepareForShow();
  const QString shown = GetForm4().Label25->toolTip();
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

QTEST_MAIN(TestWorkingFolder)
#include "tst_working_folder.moc"
