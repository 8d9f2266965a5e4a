// The non-visual screen's reading of result files: what the engine writes comes back in
// the right tables, and every damaged file is refused as a whole.
#include <QtTest>
#include <string>

#include "form4_test_support.h"
#include "gui/result_file.h"

using namespace dosavia;
using namespace dosavia::gui;
using namespace dosavia::gui::testing;

class TestResultFile : public QObject {
  Q_OBJECT

 private slots:
  void readsWhatTheEngineWrites();
  void refusesDamagedFiles_data();
  void refusesDamagedFiles();
  void readsOnlyPlainFilesAndOnlyAsFarAsNeeded();
};

void TestResultFile::readsWhatTheEngineWrites() {
  const NormalisedResults written = SyntheticResults();
  ResultFileProblem problem;
  const auto tables = ParseResultFile(ResultFileText(written), "x.data", &problem);
  QVERIFY2(tables, problem.message.c_str());
  // Four significant digits survive the file: half a unit of the fourth digit of a
  // mantissa from 0.1 to 1.
  auto close = [](double read, float value) {
    return std::abs(read - value) <= 5.01e-4 * std::abs(value);
  };
  for (int i = 1; i <= kDepthBins; ++i) {
    QVERIFY2(close(tables->Kerma[i], written.kerma[i]), qPrintable(QString("kerma bin %1").arg(i)));
    for (int j = 1; j <= kFieldColumns; ++j) {
      const double primary = tables->DoseTable[kPrimaryDose][j][i];
      const double scatter = tables->DoseTable[kScatterDose][j][i];
      QVERIFY2(close(primary, written.field.at(kPrimary, j, i)),
               qPrintable(QString("primary %1 %2").arg(j).arg(i)));
      QVERIFY2(close(scatter, written.field.at(kScatter, j, i)),
               qPrintable(QString("scatter %1 %2").arg(j).arg(i)));
      QCOMPARE(tables->DoseTable[kTotalDose][j][i], primary + scatter);
    }
  }
}

void TestResultFile::refusesDamagedFiles_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<QString>("named");  // what the problem must name
  const QByteArray good = ResultBytes(SyntheticResults());
  QByteArray word = good;
  word.replace(good.indexOf("E", 20000) - 6, 6, "  abc ");
  QByteArray not_finite = good;
  not_finite.replace(good.indexOf("E", 30000) - 6, 10, "       NaN");
  QByteArray overflow = good;
  overflow.replace(good.indexOf("E", 40000) - 6, 10, "  0.1E+999");
  QTest::newRow("empty") << QByteArray() << "record 1 of 600";
  QTest::newRow("first block only") << FirstRecords(good, 300) << "record 301 of 600";
  QTest::newRow("599 records") << FirstRecords(good, 599) << "record 600 of 600";
  QTest::newRow("last number missing") << good.left(good.size() - 14) << "record 600";
  QTest::newRow("a word") << word << "abc";
  QTest::newRow("NaN") << not_finite << "NaN";
  QTest::newRow("beyond double") << overflow << "E+999";
  // Beyond any float the engine writes: primary plus scatter could overflow to infinity.
  QByteArray beyond_float = good;
  beyond_float.replace(good.indexOf("E", 50000) - 6, 10, "  0.1E+309");
  QTest::newRow("beyond single precision") << beyond_float << "out of range";
  QByteArray beyond_float2 = good;
  beyond_float2.replace(good.indexOf("E", 50000) - 6, 10, "  0.5E+39 ");
  QTest::newRow("just beyond single precision") << beyond_float2 << "out of range";
  QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 12) << "line 1";
}

void TestResultFile::refusesDamagedFiles() {
  QFETCH(QByteArray, text);
  QFETCH(QString, named);
  ResultFileProblem problem;
  QVERIFY(!ParseResultFile(text.toStdString(), "bad.data", &problem));
  const QString message = QString::fromStdString(problem.message);
  QVERIFY2(message.startsWith("bad.data"), qPrintable(message));
  QVERIFY2(message.contains(named), qPrintable(message));
}

void TestResultFile::readsOnlyPlainFilesAndOnlyAsFarAsNeeded() {
  TempWorkDir dir;
  ResultFileProblem problem;
  QVERIFY(!ReadResultFile(dir.Path("none.data").toStdString(), "none.data", &problem));
  QVERIFY(QString::fromStdString(problem.message).startsWith("none.data"));
  QVERIFY(QDir::current().mkdir("dir.data"));
  QVERIFY(!ReadResultFile(dir.Path("dir.data").toStdString(), "dir.data"));
  // Megabytes after the records do not matter; megabytes of blanks before them hide them.
  const QByteArray records = ResultBytes(SyntheticResults());
  QVERIFY(WriteText(dir.Path("big.data"), records + QByteArray(9 << 20, ' ') + "123"));
  QVERIFY(ReadResultFile(dir.Path("big.data").toStdString(), "big.data"));
  QVERIFY(WriteText(dir.Path("blank.data"), QByteArray(9 << 20, ' ') + records));
  QVERIFY(!ReadResultFile(dir.Path("blank.data").toStdString(), "blank.data"));
}

QTEST_MAIN(TestResultFile)
#include "tst_result_file.moc"
