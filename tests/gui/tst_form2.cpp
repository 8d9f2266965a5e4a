// The visual simulation screen driven as the user drives it: opened from the menu, "OK",
// "Go", "Reset", "Graph clear", zoom, return, and the warnings.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <numeric>

#include "gui/app_forms.h"
#include "gui/form1.h"
#include "gui/form2.h"
#include "gui/module1.h"
#include "gui/picture_box.h"
#include "gui_test_support.h"

using namespace dosavia::gui;
using dosavia::kSpectrumBins;
using dosavia::gui::testing::MessageBoxCatcher;
using dosavia::gui::testing::SpectrumText;
using dosavia::gui::testing::TempWorkDir;

namespace {

const QString kWarnPhotonCount = QString::fromUtf8(" 入射光子数を再入力して下さい ");

long long TallySum() {
  return std::accumulate(SpectrumTally.begin() + 1, SpectrumTally.end(), 0LL);
}

// Lateral position [cm] of both ends of a fixed line (they must agree).
double LateralOf(const PictureBox& picture, int line) {
  const QLineF l = picture.LineAt(line);
  return l.y1() == l.y2() ? l.y1() : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace

class TestForm2 : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void openingFromTheMenuShowsTheDefaults();
  void okMovesTheFieldEdgeLines_data();
  void okMovesTheFieldEdgeLines();
  void totalCountsBatchesUntilGraphClear();
  void zoomButtonAlternates();
  void reopeningReplaysTheSamePhotons();
  void badPhotonCountWarnsAndRunsNothing_data();
  void badPhotonCountWarnsAndRunsNothing();
  void missingOrShortSpectrumKeepsTheSettingsState_data();
  void missingOrShortSpectrumKeepsTheSettingsState();
  void resetReturnsToTheSettingsState();
  void yieldingBatchLocksTheDisturbingButtons();
  void closingTheScreenDuringABatchEndsTheProgram();

 private:
  // Opens the screen from the menu, presses "OK" at 10 MV with `field`, Check1 off.
  Form2& OpenAndConfirm(const QString& field = QString::fromUtf8("10×10"));
  std::unique_ptr<TempWorkDir> dir_;
};

void TestForm2::initTestCase() {
  dir_ = std::make_unique<TempWorkDir>();
  if (!dir_->Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir_->Missing().join(", ")));
}

void TestForm2::init() {
  GetForm1().show();
  GetForm1().Command1_Click();
  QVERIFY(GetForm2().isVisible());
}

Form2& TestForm2::OpenAndConfirm(const QString& field) {
  Form2& form = GetForm2();
  form.Combo1->setEditText(field);
  form.Command1->click();
  form.Check1->setChecked(false);
  return form;
}

void TestForm2::openingFromTheMenuShowsTheDefaults() {
  Form2& form = GetForm2();
  // Disturb everything the menu resets, then open again.
  OpenAndConfirm();
  form.Command3->click();
  form.Command6->click();
  form.Text1->setText("7");
  GetForm2().Command7->click();
  QVERIFY(GetForm1().isVisible());
  QVERIFY(!form.isVisible());
  GetForm1().Command1->click();

  QVERIFY(form.isVisible());
  QVERIFY(!GetForm1().isVisible());
  QCOMPARE(form.Text1->text(), QStringLiteral("100"));
  QCOMPARE(form.Label24->text(), QStringLiteral("0"));
  QCOMPARE(form.Label32->text(), QString());
  QCOMPARE(form.Combo2->currentText(), QStringLiteral("10"));
  QCOMPARE(form.Combo1->currentText(), QString::fromUtf8("4×4"));
  QVERIFY(form.Command1->isEnabled());
  QVERIFY(!form.Command3->isEnabled());
  QVERIFY(form.Check1->isChecked());
  QCOMPARE(StepDisplayFlag, 1);
  QCOMPARE(form.Command6->text(), QStringLiteral("ON"));
  QCOMPARE(ZoomState, 2);
  QVERIFY(form.Picture3->isHidden());
  QCOMPARE(TotalPhotonCount, 0LL);
  for (int q = 1; q <= 300; ++q) QCOMPARE(SpectrumTally[q], 0LL);
  const QImage blank = form.Picture1->DrawnImage();
  QCOMPARE(blank.pixelColor(blank.width() / 2, blank.height() / 2), QColor(Qt::white));
}

void TestForm2::okMovesTheFieldEdgeLines_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<double>("half_side");
  QTest::addColumn<double>("side");
  QTest::newRow("10x10") << QString::fromUtf8("10×10") << 5.0 << 10.0;
  QTest::newRow("1x1") << QString::fromUtf8("1×1") << 0.5 << 1.0;
  QTest::newRow("8x8") << QString::fromUtf8("8×8") << 4.0 << 8.0;
  // Not one of the items: the 3x3 field chosen first stays.
  QTest::newRow("7x7 keeps the last field") << QString::fromUtf8("7×7") << 1.5 << 3.0;
  QTest::newRow("x instead of the sign") << QStringLiteral("5x5") << 1.5 << 3.0;
}

void TestForm2::okMovesTheFieldEdgeLines() {
  QFETCH(QString, field);
  QFETCH(double, half_side);
  QFETCH(double, side);
  Form2& form = OpenAndConfirm(QString::fromUtf8("3×3"));
  form.Command2->click();  // "Reset" so that "OK" can be pressed again
  form.Combo1->setEditText(field);
  form.Command1->click();
  QCOMPARE(FieldSide, side);
  QCOMPARE(LateralOf(*form.Picture1, form.Line5), -half_side);
  QCOMPARE(LateralOf(*form.Picture1, form.Line7), half_side);
  QCOMPARE(LateralOf(*form.Picture3, form.Line54), -half_side);
  QCOMPARE(LateralOf(*form.Picture3, form.Line55), half_side);
  QCOMPARE(SourceDistance, 10000.0);
  QVERIFY(!form.Command1->isEnabled());
  QVERIFY(form.Command3->isEnabled());
}

void TestForm2::totalCountsBatchesUntilGraphClear() {
  Form2& form = OpenAndConfirm();
  for (const char* expected : {"100", "200", "300"}) {
    form.Command3->click();
    QCOMPARE(form.Label24->text(), QString::fromLatin1(expected));
  }
  QCOMPARE(TallySum(), 300LL);
  form.Command4->click();
  QCOMPARE(form.Label24->text(), QStringLiteral("0"));
  QCOMPARE(form.Label32->text(), QString());
  QCOMPARE(TallySum(), 0LL);
  // The settings stay: "Go" works at once.
  QVERIFY(form.Command3->isEnabled());
  form.Command3->click();
  QCOMPARE(form.Label24->text(), QStringLiteral("100"));
  QCOMPARE(TallySum(), 100LL);
}

void TestForm2::zoomButtonAlternates() {
  Form2& form = GetForm2();
  const struct {
    const char* caption;
    bool zoom_shown;
    int state;
  } expected[] = {{"OFF", true, 1}, {"ON", false, 2}, {"OFF", true, 1}};
  QCOMPARE(form.Command6->text(), QStringLiteral("ON"));
  for (const auto& step : expected) {
    form.Command6->click();
    QCOMPARE(form.Command6->text(), QString::fromLatin1(step.caption));
    QCOMPARE(form.Picture3->isVisible(), step.zoom_shown);
    QCOMPARE(ZoomState, step.state);
  }
}

void TestForm2::reopeningReplaysTheSamePhotons() {
  QImage side[2];
  QImage zoom[2];
  std::array<long long, kSpectrumBins + 1> tally[2];
  QString energy[2];
  for (int visit = 0; visit < 2; ++visit) {
    Form2& form = OpenAndConfirm();
    form.Command3->click();
    side[visit] = form.Picture1->DrawnImage();
    zoom[visit] = form.Picture3->DrawnImage();
    tally[visit] = SpectrumTally;
    energy[visit] = form.Label32->text();
    form.Command7->click();
    GetForm1().Command1->click();
    QCOMPARE(form.Label24->text(), QStringLiteral("0"));
  }
  QVERIFY(side[0] == side[1]);
  QVERIFY(zoom[0] == zoom[1]);
  QVERIFY(tally[0] == tally[1]);
  QCOMPARE(energy[0], energy[1]);
  // The first press after reopening shows 100 again.
  Form2& form = OpenAndConfirm();
  form.Command3->click();
  QCOMPARE(form.Label24->text(), QStringLiteral("100"));
}

void TestForm2::badPhotonCountWarnsAndRunsNothing_data() {
  QTest::addColumn<QString>("count");
  QTest::newRow("empty") << "";
  QTest::newRow("text") << "abc";
  QTest::newRow("zero") << "0";
  QTest::newRow("negative") << "-5";
  QTest::newRow("blanks") << "   ";
  QTest::newRow("too large to be a number") << "1e999";
}

void TestForm2::badPhotonCountWarnsAndRunsNothing() {
  QFETCH(QString, count);
  Form2& form = OpenAndConfirm();
  form.Text1->setText("10");
  form.Command3->click();
  const QImage before = form.Picture1->DrawnImage();
  const auto tally = SpectrumTally;
  form.Text1->setText(count);
  MessageBoxCatcher catcher;
  form.Command3->click();
  QCOMPARE(catcher.Messages().size(), std::size_t{1});
  QCOMPARE(catcher.Messages()[0].text, kWarnPhotonCount);
  QCOMPARE(catcher.Messages()[0].icon, QMessageBox::Warning);
  QCOMPARE(catcher.Messages()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  QCOMPARE(form.Label24->text(), QStringLiteral("10"));
  QVERIFY(SpectrumTally == tally);
  QVERIFY(form.Picture1->DrawnImage() == before);
}

void TestForm2::missingOrShortSpectrumKeepsTheSettingsState_data() {
  QTest::addColumn<QString>("energy");
  QTest::addColumn<QByteArray>("content");
  QTest::newRow("missing") << "7" << QByteArray();
  QTest::newRow("short") << "5" << SpectrumText(std::vector<double>(400, 1.0), 120);
}

void TestForm2::missingOrShortSpectrumKeepsTheSettingsState() {
  QFETCH(QString, energy);
  QFETCH(QByteArray, content);
  if (!content.isEmpty()) dir_->Write(energy + "MV.csv", content);
  Form2& form = GetForm2();
  form.Combo2->setEditText(energy);
  MessageBoxCatcher catcher;
  form.Command1->click();
  QCOMPARE(catcher.Messages().size(), std::size_t{1});
  QVERIFY(catcher.Messages()[0].text.contains(energy + "MV.csv"));
  QCOMPARE(catcher.Messages()[0].icon, QMessageBox::Warning);
  QVERIFY(form.Command1->isEnabled());
  QVERIFY(!form.Command3->isEnabled());
}

void TestForm2::resetReturnsToTheSettingsState() {
  Form2& form = OpenAndConfirm();
  form.Text1->setText("20");
  form.Command3->click();
  SpectrumTally[350] = 4;  // a bin the menu's clearing would keep
  form.Command2->click();
  QVERIFY(form.Command1->isEnabled());
  QVERIFY(!form.Command3->isEnabled());
  QCOMPARE(form.Text1->text(), QStringLiteral("100"));
  QCOMPARE(form.Label24->text(), QStringLiteral("0"));
  QCOMPARE(TotalPhotonCount, 0LL);
  QCOMPARE(TallySum(), 0LL);
  const QImage cleared = form.Picture1->DrawnImage();
  int non_white = 0;
  for (int y = 0; y < cleared.height(); ++y)
    for (int x = 0; x < cleared.width(); ++x) non_white += cleared.pixel(x, y) != qRgb(255, 255, 255);
  QCOMPARE(non_white, 0);
}

void TestForm2::yieldingBatchLocksTheDisturbingButtons() {
  Form2& form = OpenAndConfirm();
  form.Check1->setChecked(true);
  form.Text1->setText("5");
  bool checked = false;
  QTimer probe;
  probe.setInterval(0);
  connect(&probe, &QTimer::timeout, [&] {
    if (!IsBatchRunning() || checked) return;
    checked = true;
    for (QPushButton* locked : {form.Command1, form.Command2, form.Command3, form.Command4,
                                form.Command7})
      QVERIFY(!locked->isEnabled());
    QVERIFY(form.Command6->isEnabled());
    // Handlers reached in another way do nothing while the batch runs.
    form.Command2_Click();
    form.Command4_Click();
    form.Command7_Click();
    QVERIFY(form.isVisible());
    QVERIFY(form.Command3->text() == "Go");
  });
  probe.start();
  form.Command3->click();
  probe.stop();
  QVERIFY(checked);
  QCOMPARE(form.Label24->text(), QStringLiteral("5"));
  QCOMPARE(TallySum(), 5LL);
  QVERIFY(!form.Command1->isEnabled());
  for (QPushButton* free : {form.Command2, form.Command3, form.Command4, form.Command7})
    QVERIFY(free->isEnabled());
}

void TestForm2::closingTheScreenDuringABatchEndsTheProgram() {
  // The whole program as it runs: the event loop, a slow batch started from it, and the
  // user closing the window while the batch yields.
  Form2& form = OpenAndConfirm();
  form.Check1->setChecked(true);
  form.Text1->setText("100000");
  QTimer::singleShot(0, &form, [&] { form.Command3->click(); });
  QTimer::singleShot(50, &form, [&] { form.close(); });
  QTimer watchdog;
  watchdog.setSingleShot(true);
  connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  watchdog.start(20000);
  QCOMPARE(QApplication::exec(), 0);
  QVERIFY(!IsBatchRunning());
  QVERIFY(TallySum() < 100000);
  for (QWidget* window : QApplication::topLevelWidgets()) QVERIFY(!window->isVisible());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
