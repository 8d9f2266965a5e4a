// The visual simulation screen driven as the user drives it: that it forwards "OK", "Go",
// "Reset", zoom, return, the physics switches and the typed texts to its session and draws
// what the session says. The session's rules themselves are tested once for both front
// ends in tests/models/visual_session_test.cpp.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numeric>

#include "gui/app/window_registry.h"
#include "gui/base/preferences.h"
#include "gui/forms/menu_window.h"
#include "gui/visual/visual_screen.h"
#include "models/visual_session.h"
#include "gui/visual/visual_depth_dose_panel.h"
#include "gui/widgets/physics_switch_boxes.h"
#include "gui/widgets/picture_box.h"
#include "gui_test_support.h"

using namespace dosavia;
using namespace dosavia::gui;
using dosavia::kSpectrumBins;
using dosavia::gui::testing::CountColor;
using dosavia::gui::testing::IsWhite;
using dosavia::gui::testing::MessageBoxCatcher;
using dosavia::gui::testing::MessagesDuring;
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

class TestVisualScreen : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void openingFromTheMenuShowsTheDefaults();
  void okMovesTheFieldEdgeLines_data();
  void okMovesTheFieldEdgeLines();
  void aChangedBoxNeedsOkAgain();
  void zoomButtonAlternates();
  void aSeedReplaysTheSamePhotons();
  void badPhotonCountWarnsAndRunsNothing_data();
  void badPhotonCountWarnsAndRunsNothing();
  void groupedCountsRunTheirNumber_data();
  void groupedCountsRunTheirNumber();
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
  void pauseHoldsTheBatchAndOnePhotonStepsIt();

 private:
  // Opens the screen from the menu, presses "OK" at 10 MV with `field`, the step display off.
  VisualScreen& OpenAndConfirm(const QString& field = QString::fromUtf8("10×10"));
  std::unique_ptr<TempWorkDir> dir_;
};

void TestVisualScreen::initTestCase() {
  // The screen keeps the fade's choice in the preferences: a test's own, not the user's.
  QStandardPaths::setTestModeEnabled(true);
  dir_ = std::make_unique<TempWorkDir>();
  if (!dir_->Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir_->Missing().join(", ")));
}

void TestVisualScreen::init() {
  GetMenuWindow().show();
  GetMenuWindow().OnVisualSimulation();
  QVERIFY(GetVisualScreen().isVisible());
}

VisualScreen& TestVisualScreen::OpenAndConfirm(const QString& field) {
  VisualScreen& form = GetVisualScreen();
  form.field_box->setEditText(field);
  form.ok_button->click();
  form.step_display_box->setChecked(false);
  return form;
}

void TestVisualScreen::openingFromTheMenuShowsTheDefaults() {
  VisualScreen& form = GetVisualScreen();
  // Disturb everything the menu resets, then open again.
  OpenAndConfirm();
  form.go_button->click();
  form.zoom_button->click();
  form.photon_count_box->setText("7");
  form.physics_switches->Box("photon-scatter")->click();
  QVERIFY(form.fade_box->isChecked());
  form.fade_box->click();
  GetVisualScreen().back_button->click();
  QVERIFY(GetMenuWindow().isVisible());
  QVERIFY(!form.isVisible());
  GetMenuWindow().visual_button->click();

  QVERIFY(form.isVisible());
  QVERIFY(!GetMenuWindow().isVisible());
  QCOMPARE(form.photon_count_box->text(), QStringLiteral("100"));
  QCOMPARE(form.total_count_label->text(), QStringLiteral("0"));
  QCOMPARE(form.photon_energy_label->text(), QString());
  QCOMPARE(form.energy_box->currentText(), QStringLiteral("10"));
  QCOMPARE(form.field_box->currentText(), QString::fromUtf8("4×4"));
  QVERIFY(form.ok_button->isEnabled());
  QVERIFY(!form.go_button->isEnabled());
  QVERIFY(form.step_display_box->isChecked());
  QCOMPARE(form.zoom_button->text(), QStringLiteral("OFF"));
  QVERIFY(!form.Zoomed());
  // The fade is the teacher's preference, not a setting of the run: kept on return.
  QVERIFY(!form.fade_box->isChecked());
  QCOMPARE(Preference(kTrackFadeKey, true).toBool(), false);
  form.fade_box->click();
  QCOMPARE(form.Session().TotalPhotons(), 0LL);
  QVERIFY(form.physics_switches->Switches().AllOn());
  QVERIFY(form.depth_dose_panel->Physics().AllOn());
  QCOMPARE(TallySum(form.Session().Simulation()), 0LL);
  const QImage blank = form.side_view->DrawnImage();
  QCOMPARE(blank.pixelColor(blank.width() / 2, blank.height() / 2), QColor(Qt::white));
}

void TestVisualScreen::okMovesTheFieldEdgeLines_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<double>("side");
  QTest::addColumn<bool>("accepted");
  QTest::newRow("10x10") << QString::fromUtf8("10×10") << 10.0 << true;
  QTest::newRow("full-width digits") << QString::fromUtf8("１０ｘ１０") << 10.0 << true;
  // Not one of the items: a warning, and the lines stay at the opening 4x4.
  QTest::newRow("7x7 is no item") << QString::fromUtf8("7×7") << 4.0 << false;
}

void TestVisualScreen::okMovesTheFieldEdgeLines() {
  QFETCH(QString, field);
  QFETCH(double, side);
  QFETCH(bool, accepted);
  VisualScreen& form = GetVisualScreen();
  form.field_box->setEditText(field);
  MessageBoxCatcher catcher;
  form.ok_button->click();
  QCOMPARE(catcher.Messages().size(), std::size_t{accepted ? 0u : 1u});
  QCOMPARE(form.Session().Simulation().FieldSide(), side);
  QCOMPARE(LateralOf(*form.side_view, form.field_edge_upper), -side / 2);
  QCOMPARE(LateralOf(*form.side_view, form.field_edge_lower), side / 2);
  QCOMPARE(LateralOf(*form.zoomed_side_view, form.zoomed_field_edge_upper), -side / 2);
  QCOMPARE(LateralOf(*form.zoomed_side_view, form.zoomed_field_edge_lower), side / 2);
  // Accepted: Running, with the box showing the item; refused: still Settings.
  QCOMPARE(form.ok_button->isEnabled(), !accepted);
  QCOMPARE(form.go_button->isEnabled(), accepted);
  if (accepted) {
    QCOMPARE(form.field_box->currentText(), QString::fromUtf8("%1×%1").arg(side));
    QCOMPARE(form.Session().Simulation().SourceDistance(), 10000.0);
  } else {
    QVERIFY(catcher.Messages()[0].text.contains(field));
  }
}

// The boxes reach the session as they change: Go only for the beam OK confirmed.
void TestVisualScreen::aChangedBoxNeedsOkAgain() {
  VisualScreen& form = OpenAndConfirm(QString::fromUtf8("10×10"));
  form.energy_box->setEditText("4");
  QVERIFY(!form.go_button->isEnabled());
  QVERIFY(form.ok_button->isEnabled());
  form.energy_box->setEditText("10");
  form.field_box->setEditText("10x10");
  QVERIFY(form.go_button->isEnabled());
  QVERIFY(!form.ok_button->isEnabled());
}

void TestVisualScreen::zoomButtonAlternates() {
  VisualScreen& form = GetVisualScreen();
  const struct {
    const char* caption;
    bool zoom_shown;
  } expected[] = {{"ON", true}, {"OFF", false}, {"ON", true}};
  QCOMPARE(form.zoom_button->text(), QStringLiteral("OFF"));
  for (const auto& step : expected) {
    form.zoom_button->click();
    QCOMPARE(form.zoom_button->text(), QString::fromLatin1(step.caption));
    QCOMPARE(form.zoom_button->isChecked(), step.zoom_shown);
    QCOMPARE(form.zoomed_side_view->isVisible(), step.zoom_shown);
    QCOMPARE(form.Zoomed(), step.zoom_shown);
  }
}

// Each series starts on a fresh seed, shown in the seed box; that seed typed there before Go
// replays the series photon for photon, after leaving the screen too, and an emptied box
// goes back to fresh seeds.
void TestVisualScreen::aSeedReplaysTheSamePhotons() {
  QImage side[2];
  QImage zoom[2];
  std::array<long long, kSpectrumBins + 1> tally[2];
  QString energy[2];
  QString seed;
  for (int visit = 0; visit < 2; ++visit) {
    VisualScreen& form = OpenAndConfirm();
    if (visit == 1) {
      form.seed_box->selectAll();
      QTest::keyClicks(form.seed_box, seed);
    }
    form.go_button->click();
    if (visit == 0) seed = form.seed_box->text();
    QVERIFY(!seed.isEmpty());
    QCOMPARE(form.seed_box->text(), seed);
    side[visit] = form.side_view->DrawnImage();
    zoom[visit] = form.zoomed_side_view->DrawnImage();
    tally[visit] = form.Session().Simulation().SpectrumTally();
    energy[visit] = form.photon_energy_label->text();
    form.back_button->click();
    GetMenuWindow().visual_button->click();
    QCOMPARE(form.total_count_label->text(), QStringLiteral("0"));
  }
  QVERIFY(side[0] == side[1]);
  QVERIFY(zoom[0] == zoom[1]);
  QVERIFY(tally[0] == tally[1]);
  QCOMPARE(energy[0], energy[1]);
  // The first press after reopening shows 100 again; with the box emptied, a fresh seed.
  VisualScreen& form = OpenAndConfirm();
  form.seed_box->selectAll();
  QTest::keyClick(form.seed_box, Qt::Key_Delete);
  form.go_button->click();
  QCOMPARE(form.total_count_label->text(), QStringLiteral("100"));
  QVERIFY(form.Session().Simulation().SpectrumTally() != tally[0]);
}

void TestVisualScreen::badPhotonCountWarnsAndRunsNothing_data() {
  QTest::addColumn<QString>("count");
  // Which texts are refused: BatchPhotonsOf's table in tests/models.
  QTest::newRow("no whole photon") << "0.5";
  QTest::newRow("blanks") << "   ";
}

void TestVisualScreen::badPhotonCountWarnsAndRunsNothing() {
  QFETCH(QString, count);
  VisualScreen& form = OpenAndConfirm();
  form.photon_count_box->setText("10");
  form.go_button->click();
  const QImage before = form.side_view->DrawnImage();
  const auto tally = form.Session().Simulation().SpectrumTally();
  form.photon_count_box->setText(count);
  MessageBoxCatcher catcher;
  form.go_button->click();
  QCOMPARE(catcher.Messages().size(), std::size_t{1});
  QCOMPARE(catcher.Messages()[0].text, kWarnPhotonCount);
  QCOMPARE(catcher.Messages()[0].icon, QMessageBox::Warning);
  QCOMPARE(catcher.Messages()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  QCOMPARE(form.total_count_label->text(), QStringLiteral("10"));
  QVERIFY(form.Session().Simulation().SpectrumTally() == tally);
  QVERIFY(form.side_view->DrawnImage() == before);
}

void TestVisualScreen::groupedCountsRunTheirNumber_data() {
  QTest::addColumn<QString>("count");
  // The screen makes the text plain; the count rule is BatchPhotonsOf's (tests/models).
  QTest::newRow("grouped") << "30,000";
  QTest::newRow("full-width digits") << QString::fromUtf8("３００００");
}

// The box is read by the session's one count rule: "30,000" once ran 30 photons here.
void TestVisualScreen::groupedCountsRunTheirNumber() {
  QFETCH(QString, count);
  VisualScreen& form = OpenAndConfirm();
  form.photon_count_box->setText(count);
  const auto asked = MessagesDuring([&] { form.go_button->click(); });
  // The screen asks first when the speed it learned from the earlier batches makes the run
  // long, as a machine busy with other work does (the question is declined here): the
  // question names the count as read.
  if (!asked.empty()) {
    QCOMPARE(asked.size(), std::size_t{1});
    QVERIFY2(asked.front().text.contains(QStringLiteral("30000")), qPrintable(asked.front().text));
    return;
  }
  QCOMPARE(form.total_count_label->text(), QStringLiteral("30000"));
  QCOMPARE(form.Session().TotalPhotons(), 30000LL);
}

void TestVisualScreen::missingOrShortSpectrumKeepsTheSettingsState_data() {
  QTest::addColumn<QString>("energy");
  QTest::addColumn<QByteArray>("content");
  QTest::newRow("missing") << "7" << QByteArray();
  QTest::newRow("short") << "5" << SpectrumText(std::vector<double>(400, 1.0), 120);
}

void TestVisualScreen::missingOrShortSpectrumKeepsTheSettingsState() {
  QFETCH(QString, energy);
  QFETCH(QByteArray, content);
  if (!content.isEmpty()) dir_->Write(energy + "MV.csv", content);
  VisualScreen& form = GetVisualScreen();
  form.energy_box->setEditText(energy);
  MessageBoxCatcher catcher;
  form.ok_button->click();
  QCOMPARE(catcher.Messages().size(), std::size_t{1});
  QVERIFY(catcher.Messages()[0].text.contains(energy + "MV.csv"));
  QCOMPARE(catcher.Messages()[0].icon, QMessageBox::Warning);
  QVERIFY(form.ok_button->isEnabled());
  QVERIFY(!form.go_button->isEnabled());
}

// Reset is a fresh screen: the opening values in every box, the physics switches on again.
void TestVisualScreen::resetReturnsToTheSettingsState() {
  VisualScreen& form = OpenAndConfirm(QString::fromUtf8("2×2"));
  form.energy_box->setEditText("4");
  form.ok_button->click();
  form.photon_count_box->setText("20");
  form.go_button->click();
  form.physics_switches->Box("photon-scatter")->click();
  // The lung slab: the accurate transport and the switches rest, the lung's band tints both
  // views (a pale pink where no track lies).
  const QColor lung_ground(249, 214, 221);
  form.phantom_box->setCurrentIndex(form.phantom_box->findData(QStringLiteral("lung")));
  emit form.phantom_box->activated(form.phantom_box->currentIndex());
  QVERIFY(form.Session().HasPhantom());
  QVERIFY(form.accurate_box->isChecked() && !form.accurate_box->isEnabled());
  QVERIFY(!form.physics_switches->isEnabled());
  QVERIFY(CountColor(form.side_view->grab().toImage(), lung_ground) > 1000);
  form.reset_button->click();
  QCOMPARE(form.phantom_box->currentData().toString(), QStringLiteral("water"));
  QVERIFY(!form.accurate_box->isChecked() && form.accurate_box->isEnabled());
  QCOMPARE(CountColor(form.side_view->grab().toImage(), lung_ground), 0);
  QVERIFY(form.ok_button->isEnabled());
  QVERIFY(!form.go_button->isEnabled());
  QCOMPARE(form.photon_count_box->text(), QString::fromUtf8(kVisualOpening.photons));
  QCOMPARE(form.energy_box->currentText(), QString::fromUtf8(kVisualOpening.energy));
  QCOMPARE(form.field_box->currentText(), QString::fromUtf8(kVisualOpening.field));
  QVERIFY(form.physics_switches->Switches().AllOn());
  QVERIFY(form.Session().Physics().AllOn());
  QCOMPARE(form.total_count_label->text(), QStringLiteral("0"));
  QCOMPARE(TallySum(form.Session().Simulation()), 0LL);
  QVERIFY(IsWhite(form.side_view->DrawnImage()));
}

void TestVisualScreen::yieldingBatchLocksTheDisturbingButtons() {
  VisualScreen& form = OpenAndConfirm();
  form.step_display_box->setChecked(true);
  form.photon_count_box->setText("5");
  bool checked = false;
  QTimer probe;
  probe.setInterval(0);
  connect(&probe, &QTimer::timeout, [&] {
    if (!form.Session().Running() || checked) return;
    checked = true;
    for (QPushButton* locked : {form.ok_button, form.reset_button, form.go_button,
                                form.graph_clear_button, form.back_button})
      QVERIFY(!locked->isEnabled());
    QVERIFY(form.zoom_button->isEnabled());
    QVERIFY(form.stop_button->isEnabled());
    QVERIFY(!form.physics_switches->isEnabled());
    // Handlers reached in another way do nothing while the batch runs.
    form.OnReset();
    form.OnGraphClear();
    form.OnBackToMenu();
    QVERIFY(form.isVisible());
    QVERIFY(form.go_button->text() == "Go");
  });
  probe.start();
  form.go_button->click();
  probe.stop();
  QVERIFY(checked);
  QCOMPARE(form.total_count_label->text(), QStringLiteral("5"));
  QCOMPARE(TallySum(form.Session().Simulation()), 5LL);
  QVERIFY(!form.ok_button->isEnabled());
  for (QPushButton* free :
       {form.reset_button, form.go_button, form.graph_clear_button, form.back_button})
    QVERIFY(free->isEnabled());
  QVERIFY(form.physics_switches->isEnabled());
  QVERIFY(!form.stop_button->isEnabled());
}

void TestVisualScreen::stopEndsALongBatchKeepingItsCounts_data() {
  QTest::addColumn<bool>("step_display");
  QTest::newRow("step display on") << true;
  QTest::newRow("step display off") << false;
}

// A count that would run for hours asks first; Stop then ends it after the photon in
// progress, with the total, the histogram and the focus as after a whole batch.
void TestVisualScreen::stopEndsALongBatchKeepingItsCounts() {
  QFETCH(bool, step_display);
  VisualScreen& form = OpenAndConfirm();
  form.step_display_box->setChecked(step_display);
  form.photon_count_box->setText("100000000");
  form.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  form.energy_box->setFocus();
  QCOMPARE(form.focusWidget(), form.energy_box);
  MessageBoxCatcher catcher;  // answers the question with its OK button, "実行"
  bool stop_was_enabled = false;
  long long shown_while_running = 0;
  QTimer::singleShot(300, &form, [&] {
    stop_was_enabled = form.stop_button->isEnabled();
    // The total counts the photons done so far, as the depth-dose panel does.
    shown_while_running = form.total_count_label->text().toLongLong();
    form.stop_button->click();
  });
  QElapsedTimer clock;
  clock.start();
  form.go_button->click();
  QVERIFY(clock.elapsed() < 60000);  // stopped, not run to its 1e8 photons (no latency bound)
  QCOMPARE(catcher.Messages().size(), std::size_t{1});
  QCOMPARE(catcher.Messages()[0].icon, QMessageBox::Question);
  QVERIFY(catcher.Messages()[0].text.contains("100000000"));
  QVERIFY(stop_was_enabled);
  QVERIFY(!form.Session().Running());
  QVERIFY(!form.stop_button->isEnabled());
  const long long done = form.total_count_label->text().toLongLong();
  QVERIFY(done > 0 && done < 100000000);
  QVERIFY2(shown_while_running > 0 && shown_while_running <= done,
           qPrintable(QString::number(shown_while_running)));
  QCOMPARE(TallySum(form.Session().Simulation()), done);
  QCOMPARE(form.Session().TotalPhotons(), done);
  const QImage histogram = form.spectrum_histogram->DrawnImage();
  bool has_bar = false;
  for (int x = 0; x < histogram.width() && !has_bar; ++x)
    for (int y = 0; y < histogram.height() && !has_bar; ++y)
      has_bar = histogram.pixelColor(x, y) == QColor(0, 0, 255);
  QVERIFY(has_bar);
  QVERIFY(form.go_button->isEnabled());
  // The keyboard is on Go, not on the energy box, so Space runs the next batch.
  QCOMPARE(form.focusWidget(), form.go_button);
}

void TestVisualScreen::closingTheScreenReturnsToTheMenu_data() {
  QTest::addColumn<bool>("during_batch");
  QTest::newRow("idle") << false;
  QTest::newRow("during a slow batch") << true;
}

void TestVisualScreen::closingTheScreenReturnsToTheMenu() {
  QFETCH(bool, during_batch);
  VisualScreen& form = OpenAndConfirm();
  form.step_display_box->setChecked(true);
  form.photon_count_box->setText("1000");
  if (during_batch) {
    // A loaded machine can make the batch look long enough to be asked about: the question
    // is answered "go on", and the screen closed once the batch runs.
    std::function<void()> close_when_running = [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        box->button(QMessageBox::Ok)->click();
        QTimer::singleShot(50, &form, close_when_running);
        return;
      }
      form.close();
    };
    QTimer::singleShot(50, &form, close_when_running);
    form.go_button->click();
    QVERIFY(TallySum(form.Session().Simulation()) < 1000);
  } else {
    form.close();
  }
  QVERIFY(!form.Session().Running());
  QVERIFY(!form.isVisible());
  QVERIFY(GetMenuWindow().isVisible());
  // The menu reopens the screen as usual.
  GetMenuWindow().visual_button->click();
  QVERIFY(form.isVisible());
}

void TestVisualScreen::switchesReachTheBatch_data() {
  QTest::addColumn<QStringList>("off");     // boxes ticked
  QTest::addColumn<bool>("dose_is_kerma");  // the panel's dose equals the primary kerma
  QTest::newRow("full physics") << QStringList{} << false;
  // Every electron gives up its energy where it is set in motion: points, no tracks, and
  // the scattered photons still add dose that is not primary kerma.
  QTest::newRow("no electron transport") << QStringList{"electron-transport"} << false;
  // Nothing but the primary photons' first interactions, each absorbed on the spot.
  QTest::newRow("no electrons, primary photons only")
      << QStringList{"electron-transport", "photon-scatter"} << true;
  QTest::newRow("straight electrons") << QStringList{"multiple-scattering"} << false;
}

void TestVisualScreen::switchesReachTheBatch() {
  QFETCH(QStringList, off);
  QFETCH(bool, dose_is_kerma);
  VisualScreen& form = OpenAndConfirm();
  form.depth_dose_box->setChecked(true);
  // As a class runs page 5's experiment: 拡大表示 on first, then the switches.
  form.zoom_button->click();
  QVERIFY(form.Zoomed());
  for (const QString& option : off) form.physics_switches->Box(option.toStdString())->click();
  QVERIFY(form.depth_dose_panel->Physics() == form.physics_switches->Switches());
  form.photon_count_box->setText("400");
  form.go_button->click();
  QCOMPARE(form.total_count_label->text(), QStringLiteral("400"));
  // Both views show where energy is given up: tracks, or without electrons the points where
  // it is absorbed on the spot (the magnified view as well, page 5's experiment at 2x).
  QVERIFY(!IsWhite(form.zoomed_side_view->DrawnImage()));
  QVERIFY(!IsWhite(form.side_view->DrawnImage()));
  // What the window shows, at the size the screen gives the magnified view: red where the
  // energy went (the field edges and frame are drawn in other colours).
  QVERIFY(CountColor(form.zoomed_side_view->grab().toImage(), QColor(255, 0, 0)) > 20);
  form.zoom_button->click();
  const VisualDepthDose& tally = form.depth_dose_panel->Tally();
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
  form.depth_dose_box->setChecked(false);
}

// Pause holds the running batch with its count on screen, N lets exactly one more photon
// through and the batch stays held, Resume goes on; between batches one photon runs a batch
// of one and keeps the keyboard for the next. Each stage waits for the batch to reach it,
// so that a busy machine only slows the test.
void TestVisualScreen::pauseHoldsTheBatchAndOnePhotonStepsIt() {
  VisualScreen& form = OpenAndConfirm();
  form.photon_count_box->setText("100000000");
  form.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  MessageBoxCatcher catcher;  // answers the question of a long batch with "実行"
  QVERIFY(!form.pause_button->isEnabled());
  QVERIFY(form.single_button->isEnabled());
  int stage = 0, still = 0;
  long long held = -1;
  QStringList faults;
  QTimer driver;
  driver.setInterval(20);
  QElapsedTimer clock;
  clock.start();
  connect(&driver, &QTimer::timeout, [&] {
    const long long total = form.Session().TotalPhotons();
    if (clock.elapsed() > 120000) {  // a stage never reached: say which, and end the batch
      faults << QStringLiteral("stuck at stage %1").arg(stage);
      form.stop_button->click();
      driver.stop();
      return;
    }
    switch (stage) {
      case 0:
        if (form.Session().State() != VisualState::kRunning || total == 0) return;
        form.pause_button->click();
        stage = 1;
        return;
      case 1:
        if (form.pause_button->text() != QStringLiteral("再開")) faults << "no Resume";
        if (!form.single_button->isEnabled()) faults << "one photon off while paused";
        held = total;
        stage = 2;
        return;
      case 2:
        if (total != held) faults << QStringLiteral("ran on while paused: %1").arg(total - held);
        if (++still < 5) return;
        QTest::keyClick(form.stop_button, Qt::Key_N);  // the focus is on Stop during a batch
        stage = 3;
        return;
      case 3:
        if (total == held) return;
        if (total != held + 1) faults << QStringLiteral("N ran %1").arg(total - held);
        if (form.Session().State() != VisualState::kPaused) faults << "N resumed";
        form.pause_button->click();
        stage = 4;
        return;
      case 4:
        if (total <= held + 1) return;
        form.stop_button->click();
        stage = 5;
        return;
    }
  });
  driver.start();
  form.go_button->click();
  driver.stop();
  QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
  QCOMPARE(stage, 5);
  QVERIFY(!form.Session().Running());
  QVERIFY(!form.pause_button->isEnabled());
  QCOMPARE(form.pause_button->text(), QStringLiteral("一時停止"));
  const long long done = form.Session().TotalPhotons();
  QTest::keyClick(form.go_button, Qt::Key_N);
  QCOMPARE(form.Session().TotalPhotons(), done + 1);
  QCOMPARE(form.total_count_label->text(), QString::number(done + 1));
  QVERIFY(!form.Session().Running());
  QCOMPARE(form.focusWidget(), form.single_button);
}

QTEST_MAIN(TestVisualScreen)
#include "tst_visual_screen.moc"
