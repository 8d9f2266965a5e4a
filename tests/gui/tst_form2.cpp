// The visual simulation screen driven as the user drives it: opened from the menu, "OK",
// "Go", "Reset", "Graph clear", zoom, return, the physics switches, and the warnings.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

#include "gui/app/app_forms.h"
#include "gui/forms/form1_menu.h"
#include "gui/forms/form2_visual.h"
#include "gui/visual/visual_batch_run.h"
#include "gui/visual/visual_depth_dose_panel.h"
#include "gui/widgets/physics_switch_boxes.h"
#include "gui/widgets/picture_box.h"
#include "gui_test_support.h"

using namespace dosavia;
using namespace dosavia::gui;
using dosavia::kSpectrumBins;
using dosavia::gui::testing::IsWhite;
using dosavia::gui::testing::MessageBoxCatcher;
using dosavia::gui::testing::SpectrumText;
using dosavia::gui::testing::TallySum;
using dosavia::gui::testing::TempWorkDir;

namespace {

const QString kWarnPhotonCount = QString::fromUtf8(" 入射光子数を再入力して下さい ");

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
  void stopEndsALongBatchKeepingItsCounts_data();
  void stopEndsALongBatchKeepingItsCounts();
  void closingTheScreenReturnsToTheMenu_data();
  void closingTheScreenReturnsToTheMenu();
  void switchesReachTheBatch_data();
  void switchesReachTheBatch();
  void switchKeepsTheLastCurveAsReference();

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
  form.Frame1->Box("photon-scatter")->click();
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
  QVERIFY(form.Frame1->Switches().AllOn());
  QVERIFY(form.DepthDosePanel1->Physics().AllOn());
  for (int q = 1; q <= 300; ++q) QCOMPARE(SpectrumTally[q], 0LL);
  const QImage blank = form.Picture1->DrawnImage();
  QCOMPARE(blank.pixelColor(blank.width() / 2, blank.height() / 2), QColor(Qt::white));
}

void TestForm2::okMovesTheFieldEdgeLines_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<double>("side");
  QTest::addColumn<bool>("accepted");
  QTest::newRow("10x10") << QString::fromUtf8("10×10") << 10.0 << true;
  QTest::newRow("1x1") << QString::fromUtf8("1×1") << 1.0 << true;
  QTest::newRow("8x8") << QString::fromUtf8("8×8") << 8.0 << true;
  QTest::newRow("plain x") << QStringLiteral("5x5") << 5.0 << true;
  QTest::newRow("capital X with blanks") << QStringLiteral(" 6 X 6 ") << 6.0 << true;
  QTest::newRow("asterisk") << QStringLiteral("2*2") << 2.0 << true;
  QTest::newRow("full-width digits") << QString::fromUtf8("１０ｘ１０") << 10.0 << true;
  // Not one of the items: a warning, and the 3x3 field chosen first stays.
  QTest::newRow("7x7 is no item") << QString::fromUtf8("7×7") << 3.0 << false;
  QTest::newRow("text") << QStringLiteral("large") << 3.0 << false;
}

void TestForm2::okMovesTheFieldEdgeLines() {
  QFETCH(QString, field);
  QFETCH(double, side);
  QFETCH(bool, accepted);
  Form2& form = OpenAndConfirm(QString::fromUtf8("3×3"));
  form.Command2->click();  // "Reset" so that "OK" can be pressed again
  form.Combo1->setEditText(field);
  MessageBoxCatcher catcher;
  form.Command1->click();
  QCOMPARE(catcher.Messages().size(), std::size_t{accepted ? 0u : 1u});
  QCOMPARE(FieldSide, side);
  QCOMPARE(LateralOf(*form.Picture1, form.Line5), -side / 2);
  QCOMPARE(LateralOf(*form.Picture1, form.Line7), side / 2);
  QCOMPARE(LateralOf(*form.Picture3, form.Line54), -side / 2);
  QCOMPARE(LateralOf(*form.Picture3, form.Line55), side / 2);
  // Accepted: Running, with the box showing the item; refused: still Settings.
  QCOMPARE(form.Command1->isEnabled(), !accepted);
  QCOMPARE(form.Command3->isEnabled(), accepted);
  if (accepted) {
    QCOMPARE(form.Combo1->currentText(), QString::fromUtf8("%1×%1").arg(side));
    QCOMPARE(SourceDistance, 10000.0);
  } else {
    QVERIFY(catcher.Messages()[0].text.contains(field));
  }
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
    QVERIFY(form.Command8->isEnabled());
    QVERIFY(!form.Frame1->isEnabled());
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
  QVERIFY(form.Frame1->isEnabled());
  QVERIFY(!form.Command8->isEnabled());
}

void TestForm2::stopEndsALongBatchKeepingItsCounts_data() {
  QTest::addColumn<bool>("step_display");
  QTest::newRow("step display on") << true;
  QTest::newRow("step display off") << false;
}

// A count that would run for hours asks first; Stop then ends it after the photon in
// progress, with the total, the histogram and the focus as after a whole batch.
void TestForm2::stopEndsALongBatchKeepingItsCounts() {
  QFETCH(bool, step_display);
  Form2& form = OpenAndConfirm();
  form.Check1->setChecked(step_display);
  form.Text1->setText("100000000");
  form.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  form.Combo2->setFocus();
  QCOMPARE(form.focusWidget(), form.Combo2);
  MessageBoxCatcher catcher;  // answers the question with its OK button, "実行"
  bool stop_was_enabled = false;
  QTimer::singleShot(300, &form, [&] {
    stop_was_enabled = form.Command8->isEnabled();
    form.Command8->click();
  });
  QElapsedTimer clock;
  clock.start();
  form.Command3->click();
  QVERIFY(clock.elapsed() < 10000);
  QCOMPARE(catcher.Messages().size(), std::size_t{1});
  QCOMPARE(catcher.Messages()[0].icon, QMessageBox::Question);
  QVERIFY(catcher.Messages()[0].text.contains("100000000"));
  QVERIFY(stop_was_enabled);
  QVERIFY(!IsBatchRunning());
  QVERIFY(!form.Command8->isEnabled());
  const long long done = form.Label24->text().toLongLong();
  QVERIFY(done > 0 && done < 100000000);
  QCOMPARE(TallySum(), done);
  QCOMPARE(TotalPhotonCount, done);
  const QImage histogram = form.Picture2->DrawnImage();
  bool has_bar = false;
  for (int x = 0; x < histogram.width() && !has_bar; ++x)
    for (int y = 0; y < histogram.height() && !has_bar; ++y)
      has_bar = histogram.pixelColor(x, y) == QColor(0, 0, 255);
  QVERIFY(has_bar);
  QVERIFY(form.Command3->isEnabled());
  // The keyboard is on Go, not on the energy box, so Space runs the next batch.
  QCOMPARE(form.focusWidget(), form.Command3);
}

void TestForm2::closingTheScreenReturnsToTheMenu_data() {
  QTest::addColumn<bool>("during_batch");
  QTest::newRow("idle") << false;
  QTest::newRow("during a slow batch") << true;
}

void TestForm2::closingTheScreenReturnsToTheMenu() {
  QFETCH(bool, during_batch);
  Form2& form = OpenAndConfirm();
  form.Check1->setChecked(true);
  form.Text1->setText("1000");
  if (during_batch) {
    QTimer::singleShot(50, &form, [&] { form.close(); });
    form.Command3->click();
    QVERIFY(TallySum() < 1000);
  } else {
    form.close();
  }
  QVERIFY(!IsBatchRunning());
  QVERIFY(!form.isVisible());
  QVERIFY(GetForm1().isVisible());
  // The menu reopens the screen as usual.
  GetForm1().Command1->click();
  QVERIFY(form.isVisible());
}

void TestForm2::switchesReachTheBatch_data() {
  QTest::addColumn<QStringList>("off");      // boxes ticked
  QTest::addColumn<bool>("tracks");          // charged-particle steps drawn
  QTest::addColumn<bool>("dose_is_kerma");   // the panel's dose equals the primary kerma
  QTest::newRow("full physics") << QStringList{} << true << false;
  // Every electron gives up its energy where it is set in motion: points, no tracks, and
  // the scattered photons still add dose that is not primary kerma.
  QTest::newRow("no electron transport") << QStringList{"electron-transport"} << false << false;
  // Nothing but the primary photons' first interactions, each absorbed on the spot.
  QTest::newRow("no electrons, primary photons only")
      << QStringList{"electron-transport", "photon-scatter"} << false << true;
  QTest::newRow("straight electrons") << QStringList{"multiple-scattering"} << true << false;
}

void TestForm2::switchesReachTheBatch() {
  QFETCH(QStringList, off);
  QFETCH(bool, tracks);
  QFETCH(bool, dose_is_kerma);
  Form2& form = OpenAndConfirm();
  form.Check2->setChecked(true);
  for (const QString& option : off) form.Frame1->Box(option.toStdString())->click();
  QVERIFY(form.DepthDosePanel1->Physics() == form.Frame1->Switches());
  form.Text1->setText("400");
  form.Command3->click();
  QCOMPARE(form.Label24->text(), QStringLiteral("400"));
  QCOMPARE(!IsWhite(form.Picture3->DrawnImage()), tracks);  // the zoom draws tracks only
  QVERIFY(!IsWhite(form.Picture1->DrawnImage()));
  const VisualDepthDose& tally = form.DepthDosePanel1->Tally();
  QCOMPARE(tally.Histories(), 400LL);
  double largest_difference = 0, largest_dose = 0;
  for (int k = 0; k < kDepthDoseBins; ++k) {
    double dose = 0, kerma = 0;
    for (int g = 0; g < kDepthDoseGroups; ++g) {
      dose += tally.GroupDose(g, k);
      kerma += tally.GroupKerma(g, k);
    }
    largest_difference = std::max(largest_difference, std::abs(dose - kerma));
    largest_dose = std::max(largest_dose, dose);
  }
  QVERIFY(largest_dose > 0);
  QCOMPARE(largest_difference <= 1e-9 * largest_dose, dose_is_kerma);
  form.Check2->setChecked(false);
}

// A switch starts a fresh tally and keeps the curve so far as the panel's reference, named
// by the physics it was run with; a switch before any new curve keeps the reference it has;
// "Graph clear" and "Reset" drop it.
void TestForm2::switchKeepsTheLastCurveAsReference() {
  Form2& form = OpenAndConfirm();
  DepthDosePanel& panel = *form.DepthDosePanel1;
  form.Check2->setChecked(true);
  form.Text1->setText("3000");
  const auto go = [&] {
    form.Command3->click();
    QTest::qWait(20);  // the panel remakes its curve once the window system runs
    QVERIFY(panel.Curve().has_maximum);
  };
  go();
  QVERIFY(!panel.Reference().has_maximum);

  form.Frame1->Box("electron-transport")->click();
  QVERIFY(panel.Reference().has_maximum);
  QVERIFY(panel.ReferencePhysics().AllOn());
  QVERIFY(!panel.Physics().electron_transport);
  QCOMPARE(panel.Tally().Histories(), 0LL);
  QCOMPARE(form.Label24->text(), QStringLiteral("0"));
  QCOMPARE(TotalPhotonCount, 0LL);
  QVERIFY(IsWhite(form.Picture1->DrawnImage()));
  const double full_dmax = panel.Reference().d_max_cm;

  // No curve of its own yet: the full-physics reference stays.
  form.Frame1->Box("pair")->click();
  QVERIFY(panel.ReferencePhysics().AllOn());
  QCOMPARE(panel.Reference().d_max_cm, full_dmax);
  form.Frame1->Box("pair")->click();

  // Without electron transport there is no build-up: the maximum lies at the surface.
  go();
  QVERIFY2(panel.Curve().d_max_cm < full_dmax, qPrintable(QString::number(panel.Curve().d_max_cm)));
  form.Frame1->Box("electron-transport")->click();
  QVERIFY(!panel.ReferencePhysics().electron_transport);
  QVERIFY(panel.Physics().AllOn());

  form.Command4->click();
  QVERIFY(!panel.Reference().has_maximum);
  go();
  form.Frame1->Box("coherent")->click();
  QVERIFY(panel.Reference().has_maximum);
  form.Command2->click();
  QVERIFY(!panel.Reference().has_maximum);
  form.Check2->setChecked(false);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
