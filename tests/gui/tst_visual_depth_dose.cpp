// The visual run's depth dose: the scoring observer against a brute-force tally, its curve
// against the engine's central-axis depth dose, the fit of the maximum, and the panel and
// the step speed on the visual screen.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <memory>
#include <QPushButton>
#include <QSlider>
#include <QTextStream>
#include <QtTest>

#include <cmath>
#include <numeric>
#include <random>

#include "gui/app/window_registry.h"
#include "gui/visual/visual_depth_dose_panel.h"
#include "gui/forms/menu_window.h"
#include "gui/forms/visual_screen.h"
#include "gui/visual/visual_batch_run.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/picture_box.h"
#include "models/visual_depth_dose.h"
#include "gui_test_support.h"
#include "physics/composed_observer.h"

using namespace dosavia;
using namespace dosavia::gui;
using dosavia::gui::testing::TempWorkDir;
using dosavia::gui::testing::MessagesDuring;

namespace {

// Counts what reaches the first observer of a composition.
struct CountingObserver : NullObserver<double> {
  int absorptions = 0, interactions = 0, steps = 0;
  void OnLocalAbsorption(const Vec3<double>&, double, AbsorptionCause, int) { ++absorptions; }
  void OnInteraction(InteractionKind, const Vec3<double>&, double, int) { ++interactions; }
  void OnChargedStep(const ChargedStep<double>&, int) { ++steps; }
};

// Field 4 x 4: the cylinder has radius 1 cm.
constexpr double kField = 4.0;

using Bins = std::array<double, kDepthDoseBins>;

// The reference: the step cut into many equal pieces, each scored at its middle.
Bins ReferenceStep(const ChargedStep<double>& s, double radius) {
  Bins dose{};
  if (s.left_phantom) return dose;
  constexpr int kPieces = 100000;
  for (int i = 0; i < kPieces; ++i) {
    const double t = (i + 0.5) / kPieces;
    const double x = s.start.x + t * (s.end.x - s.start.x);
    const double y = s.start.y + t * (s.end.y - s.start.y);
    const double z = s.start.z + t * (s.end.z - s.start.z);
    if (x * x + y * y > radius * radius) continue;
    const int k = std::min(kDepthDoseBins - 1, static_cast<int>(z * 10));
    dose[static_cast<std::size_t>(k)] += s.energy_lost / kPieces;
  }
  return dose;
}

Bins Totals(const VisualDepthDose& tally, bool kerma) {
  Bins sum{};
  for (int g = 0; g < kDepthDoseGroups; ++g)
    for (int k = 0; k < kDepthDoseBins; ++k)
      sum[static_cast<std::size_t>(k)] += kerma ? tally.GroupKerma(g, k) : tally.GroupDose(g, k);
  return sum;
}

// The engine's 4 x 4 central-axis total dose at 10 MV (shipped with the program, 3e7
// histories), summed into 0.5 cm bins.
std::vector<double> EngineDose4x4At10MV() {
  QFile file(QStringLiteral(":/depth_dose_10mv.txt"));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  QTextStream in(&file);
  std::vector<double> bins(kDepthDoseBins / 5);
  int row = 0;
  while (!in.atEnd()) {
    const QString line = in.readLine();
    if (line.startsWith('#') || line.trimmed().isEmpty()) continue;
    // Columns: depth, kerma, fields 1 2 3 4 ...: the 4 x 4 field is column 5.
    bins[static_cast<std::size_t>(row++ / 5)] += line.split(' ', Qt::SkipEmptyParts).at(5).toDouble();
  }
  return row == kDepthDoseBins ? bins : std::vector<double>{};
}

double MeanOver(const std::vector<double>& v, double from_cm, double to_cm, double bin_cm) {
  double s = 0;
  int n = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const double z = (i + 0.5) * bin_cm;
    if (z < from_cm || z > to_cm) continue;
    s += v[i];
    ++n;
  }
  return n > 0 ? s / n : 0;
}

}  // namespace

class TestVisualDepthDose : public QObject {
  Q_OBJECT

 private slots:
  void composedObserverScoresLikeTheReference_data();
  void composedObserverScoresLikeTheReference();
  void fitFindsTheMaximumThroughNoise_data();
  void fitFindsTheMaximumThroughNoise();
  void curveFollowsTheEngineAndDrawingStaysTheSame();
  void toggleShowsThePanelAndSpeedPacesTheBatch();
  void panelLiesBesideTheTracks_data();
  void panelLiesBesideTheTracks();
  void estimateFollowsTheChosenSpeed_data();
  void estimateFollowsTheChosenSpeed();
  void slowBatchDoesNotMakeTheFastOneAsk();
};

void TestVisualDepthDose::composedObserverScoresLikeTheReference_data() {
  QTest::addColumn<int>("event");  // 0 local absorption, 1 interaction, 2 step
  QTest::addColumn<double>("x0");
  QTest::addColumn<double>("y0");
  QTest::addColumn<double>("z0");
  QTest::addColumn<double>("x1");
  QTest::addColumn<double>("y1");
  QTest::addColumn<double>("z1");
  QTest::addColumn<int>("kind");  // interaction kind, or 1 for a step that left the phantom
  QTest::addColumn<int>("component");
  QTest::addColumn<double>("kerma");  // expected kerma in total [keV] of 100 keV handed over
  // Energy 100 keV throughout.
  QTest::newRow("absorption on the axis") << 0 << 0.0 << 0.0 << 1.23 << 0.0 << 0.0 << 0.0 << 0 << 1 << 0.0;
  QTest::newRow("absorption outside the cylinder") << 0 << 1.0 << 0.2 << 1.23 << 0.0 << 0.0 << 0.0 << 0 << 2 << 0.0;
  QTest::newRow("absorption at the bottom face") << 0 << 0.1 << 0.0 << 30.0 << 0.0 << 0.0 << 0.0 << 0 << 2 << 0.0;
  QTest::newRow("primary Compton is kerma") << 1 << 0.5 << 0.5 << 2.0 << 0.0 << 0.0 << 0.0
                                            << static_cast<int>(InteractionKind::kCompton) << 1 << 100.0;
  QTest::newRow("primary pair is kerma") << 1 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0
                                         << static_cast<int>(InteractionKind::kPair) << 1 << 100.0;
  QTest::newRow("coherent hands over nothing") << 1 << 0.0 << 0.0 << 2.0 << 0.0 << 0.0 << 0.0
                                               << static_cast<int>(InteractionKind::kCoherent) << 1 << 0.0;
  QTest::newRow("scattered photon is not primary") << 1 << 0.0 << 0.0 << 2.0 << 0.0 << 0.0 << 0.0
                                                   << static_cast<int>(InteractionKind::kPhotoelectric) << 2 << 0.0;
  QTest::newRow("primary outside the cylinder") << 1 << 0.9 << 0.9 << 2.0 << 0.0 << 0.0 << 0.0
                                                << static_cast<int>(InteractionKind::kCompton) << 1 << 0.0;
  QTest::newRow("step inside one slab") << 2 << 0.1 << 0.1 << 1.01 << 0.2 << 0.1 << 1.09 << 0 << 1 << 0.0;
  QTest::newRow("step down across slabs") << 2 << 0.0 << 0.0 << 0.95 << 0.3 << 0.1 << 1.52 << 0 << 1 << 0.0;
  QTest::newRow("step up across slabs") << 2 << 0.2 << -0.3 << 2.47 << -0.1 << 0.2 << 2.02 << 0 << 2 << 0.0;
  QTest::newRow("step leaving the cylinder") << 2 << 0.6 << 0.0 << 3.0 << 1.6 << 0.1 << 3.75 << 0 << 1 << 0.0;
  QTest::newRow("step from the surface") << 2 << 0.0 << 0.0 << 0.0 << 0.0 << 0.2 << 0.33 << 0 << 1 << 0.0;
  QTest::newRow("sideways step") << 2 << -1.5 << 0.0 << 5.05 << 1.5 << 0.0 << 5.05 << 0 << 2 << 0.0;
  QTest::newRow("step that left the phantom") << 2 << 0.0 << 0.0 << 0.2 << 0.0 << 0.0 << -0.1 << 1 << 1 << 0.0;
}

void TestVisualDepthDose::composedObserverScoresLikeTheReference() {
  QFETCH(int, event);
  QFETCH(double, x0);
  QFETCH(double, y0);
  QFETCH(double, z0);
  QFETCH(double, x1);
  QFETCH(double, y1);
  QFETCH(double, z1);
  QFETCH(int, kind);
  QFETCH(int, component);
  QFETCH(double, kerma);
  constexpr double e = 100;
  CountingObserver counter;
  VisualDepthDose tally;
  tally.Clear(kField);
  tally.StartHistory();
  ComposedObserver<CountingObserver, VisualDepthDose> both(counter, tally);
  static_assert(TransportObserver<decltype(both), double>);
  Bins expected{};
  const Vec3<double> a{x0, y0, z0};
  if (event == 0) {
    both.OnLocalAbsorption(a, e, AbsorptionCause::kPhotoelectric, component);
    if (x0 * x0 + y0 * y0 <= 1.0) expected[static_cast<std::size_t>(std::min(299, static_cast<int>(z0 * 10)))] = e;
  } else if (event == 1) {
    both.OnInteraction(static_cast<InteractionKind>(kind), a, e, component);
  } else {
    const ChargedStep<double> step{a, {x1, y1, z1}, e, kind == 1, ChargedKind::kComptonElectron};
    both.OnChargedStep(step, component);
    expected = ReferenceStep(step, 1.0);
  }
  QCOMPARE(counter.absorptions + counter.interactions + counter.steps, 1);
  const Bins dose = Totals(tally, false);
  for (int k = 0; k < kDepthDoseBins; ++k)
    QVERIFY2(std::abs(dose[static_cast<std::size_t>(k)] - expected[static_cast<std::size_t>(k)]) < 0.01,
             qPrintable(QString("slab %1: %2 instead of %3").arg(k).arg(dose[k]).arg(expected[k])));
  const Bins k = Totals(tally, true);
  QCOMPARE(std::accumulate(k.begin(), k.end(), 0.0), kerma);
  // The primary dose is the dose of the unscattered photons' electrons, nothing else.
  for (int j = 0; j < kDepthDoseBins; ++j) {
    double primary = 0;
    for (int g = 0; g < kDepthDoseGroups; ++g) primary += tally.GroupPrimaryDose(g, j);
    QCOMPARE(primary, component == 1 ? dose[static_cast<std::size_t>(j)] : 0.0);
  }
}

void TestVisualDepthDose::fitFindsTheMaximumThroughNoise_data() {
  QTest::addColumn<double>("mu");
  QTest::addColumn<double>("beta");
  QTest::addColumn<double>("surface");  // dose at the surface, share of A
  QTest::addColumn<double>("bin");
  QTest::addColumn<double>("noise");    // relative, per bin
  QTest::addColumn<double>("tolerance");  // on the depth [cm]
  // Shapes of 4, 10 and 15 MV and a peak at the surface.
  QTest::newRow("4 MV like, 0.5 cm bins") << 0.06 << 3.0 << 0.3 << 0.5 << 0.05 << 0.4;
  QTest::newRow("10 MV like, 0.5 cm bins") << 0.045 << 1.4 << 0.15 << 0.5 << 0.05 << 0.6;
  QTest::newRow("15 MV like, 0.2 cm bins") << 0.035 << 1.1 << 0.1 << 0.2 << 0.03 << 0.6;
  QTest::newRow("no build-up") << 0.05 << 2.0 << 1.0 << 0.5 << 0.02 << 0.3;
}

void TestVisualDepthDose::fitFindsTheMaximumThroughNoise() {
  QFETCH(double, mu);
  QFETCH(double, beta);
  QFETCH(double, surface);
  QFETCH(double, bin);
  QFETCH(double, noise);
  QFETCH(double, tolerance);
  const double b = 1 - surface;
  const auto model = [&](double z) { return std::exp(-mu * z) - b * std::exp(-(mu + beta) * z); };
  const double ratio = b * (mu + beta) / mu;
  const double d_max = ratio > 1 ? std::log(ratio) / beta : 0.0;
  std::mt19937 random(7);
  std::normal_distribution<double> gauss(0, 1);
  std::vector<double> values;
  for (double z = bin / 2; z < 30; z += bin) {
    // Bin means of the model (Simpson), with noise.
    const double mean = (model(z - bin / 2) + 4 * model(z) + model(z + bin / 2)) / 6;
    values.push_back(mean * (1 + noise * gauss(random)));
  }
  const FittedMaximum top = FitMaximum(values, bin);
  QVERIFY2(std::abs(top.depth_cm - d_max) < tolerance,
           qPrintable(QString("d_max %1 instead of %2").arg(top.depth_cm).arg(d_max)));
  QVERIFY(std::abs(top.value / model(d_max) - 1) < 2 * noise);
  QCOMPARE(FitMaximum(std::vector<double>(60, 0.0), 0.5).value, 0.0);
}

void TestVisualDepthDose::curveFollowsTheEngineAndDrawingStaysTheSame() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty()) QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  const std::vector<double> engine = EngineDose4x4At10MV();
  QVERIFY(!engine.empty());
  // The same photons drawn with and without the panel: the scoring draws no random number
  // and leaves the pictures exactly as they were.
  constexpr int kPhotons = 20000;
  std::array<QImage, 2> drawn;
  DepthDosePanel panel;
  auto simulation = std::make_unique<VisualSimulation>();
  for (int with_panel = 0; with_panel < 2; ++with_panel) {
    simulation->Init();
    simulation->LoadSpectrum("10MV.csv", "10MV.csv");
    simulation->field_side = kField;
    StepDisplayFlag = 0;
    BatchPhotonCount = kPhotons;
    PictureBox side_view, zoomed_side_view, spectrum_histogram;
    QLabel photon_energy_label;
    for (PictureBox* p : {&side_view, &zoomed_side_view}) p->resize(699, 715);
    side_view.SetScale(-4.4, -12.5, 24.4, 25);
    zoomed_side_view.SetScale(-2.2, -6.25, 12.2, 12.5);
    spectrum_histogram.resize(425, 249);
    RunVisualBatch({*simulation, side_view, zoomed_side_view, spectrum_histogram, photon_energy_label,
                    with_panel ? &panel : nullptr});
    drawn[static_cast<std::size_t>(with_panel)] = side_view.DrawnImage();
  }
  QVERIFY(drawn[0] == drawn[1]);
  QCOMPARE(panel.Tally().Histories(), static_cast<long long>(kPhotons));
  QCOMPARE(panel.Tally().Radius(), 1.0);

  // Shape: both normalised over 2 to 6 cm, bin by bin within 3.5 standard deviations of the
  // panel's noise (and the noise of that normalisation), over the first 15 cm.
  const DepthDoseCurve curve = MakeDepthDoseCurve(panel.Tally(), 0.5);
  const double panel_norm = MeanOver(curve.dose, 2, 6, 0.5);
  const double engine_norm = MeanOver(engine, 2, 6, 0.5);
  double chi2 = 0;
  int n = 0;
  for (int i = 0; i < 30; ++i) {
    const double p = curve.dose[static_cast<std::size_t>(i)] / panel_norm;
    const double e = engine[static_cast<std::size_t>(i)] / engine_norm;
    const double sigma = std::hypot(RelativeNoise(panel.Tally(), 5 * i, 5), 0.02) * p;
    QVERIFY2(std::abs(p - e) < 3.5 * sigma,
             qPrintable(QString("bin %1: panel %2, engine %3, sigma %4").arg(i).arg(p).arg(e).arg(sigma)));
    chi2 += (p - e) * (p - e) / (sigma * sigma);
    ++n;
  }
  QVERIFY2(chi2 / n < 2.0, qPrintable(QString("chi2 per bin %1").arg(chi2 / n)));
  // Build-up: the first bin far below the maximum, which lies near the engine's.
  QVERIFY(curve.dose[0] < 60);
  const FittedMaximum engine_top = FitMaximum(engine, 0.5);
  QVERIFY2(std::abs(curve.d_max_cm - engine_top.depth_cm) < 1.0,
           qPrintable(QString("d_max %1, engine %2").arg(curve.d_max_cm).arg(engine_top.depth_cm)));
  QVERIFY(curve.noise_at_max > 0 && curve.noise_at_max < 0.15);
}

void TestVisualDepthDose::toggleShowsThePanelAndSpeedPacesTheBatch() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty()) QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  GetMenuWindow().show();
  GetMenuWindow().OnVisualSimulation();
  VisualScreen& form = GetVisualScreen();
  QVERIFY(!form.depth_dose_box->isChecked());
  QVERIFY(form.depth_dose_panel->isHidden());
  form.ok_button->click();
  form.depth_dose_box->setChecked(true);
  QVERIFY(form.depth_dose_panel->isVisible());
  // Closing the panel's window unticks the box.
  form.depth_dose_panel->close();
  QVERIFY(!form.depth_dose_box->isChecked());
  form.depth_dose_box->setChecked(true);

  // Ten photons a second in step display: four photons take at least 0.3 s.
  form.step_display_box->setChecked(true);
  form.speed_slider->setValue(2);
  QCOMPARE(form.PhotonsPerSecond(), 10.0);
  form.photon_count_box->setText("4");
  QElapsedTimer clock;
  clock.start();
  form.go_button->click();
  QVERIFY(clock.elapsed() >= 300);
  QCOMPARE(form.depth_dose_panel->Tally().Histories(), 4LL);
  QCOMPARE(form.total_count_label->text(), QStringLiteral("4"));

  // One photon a second: Stop ends the wait at once. (Fifty take under a minute at that
  // pace, so no question comes first.)
  form.speed_slider->setValue(0);
  form.photon_count_box->setText("50");
  QTimer::singleShot(1500, [] { RequestBatchStop(); });
  clock.start();
  form.go_button->click();
  QVERIFY2(clock.elapsed() < 2500, qPrintable(QString("%1 ms").arg(clock.elapsed())));
  QVERIFY(form.depth_dose_panel->Tally().Histories() < 10);

  // "Graph clear" empties the curve; leaving and opening the screen again turns it off.
  form.graph_clear_button->click();
  QCOMPARE(form.depth_dose_panel->Tally().Histories(), 0LL);
  form.back_button->click();
  GetMenuWindow().visual_button->click();
  QVERIFY(!form.depth_dose_box->isChecked());
  QVERIFY(form.depth_dose_panel->isHidden());
  QCOMPARE(form.PhotonsPerSecond(), 0.0);
}

void TestVisualDepthDose::panelLiesBesideTheTracks_data() {
  QTest::addColumn<QSize>("screen");
  QTest::addRow("1024x768") << QSize(1024, 768);
  QTest::addRow("1920x1080") << QSize(1920, 1080);
}

// The panel is part of the visual screen, at the screen's zoom: beside the side view, never
// over it, inside the window, and gone with the screen.
void TestVisualDepthDose::panelLiesBesideTheTracks() {
  QFETCH(QSize, screen);
  TempWorkDir dir;
  if (!dir.Missing().isEmpty()) QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  GetMenuWindow().show();
  GetMenuWindow().OnVisualSimulation();
  VisualScreen& form = GetVisualScreen();
  const QSizeF design = DesignSize(&form);
  const double zoom = StartZoom(design, QRect(QPoint(0, 0), screen), kZoomToFit);
  form.resize((design * zoom).toSize());
  form.ok_button->click();
  form.depth_dose_box->setChecked(true);
  DepthDosePanel* panel = form.depth_dose_panel;
  QVERIFY(panel->isVisible());
  QVERIFY(!panel->isWindow());
  QVERIFY(form.rect().contains(panel->geometry()));
  QVERIFY(!panel->geometry().intersects(form.side_view->geometry()));
  QVERIFY(form.spectrum_histogram->isHidden());  // the histogram gives way to it
  QVERIFY(std::abs(panel->width() - panel->sizeHint().width() * FormScale(&form)) < 3);
  // The field confirmed before the panel was opened names its cylinder at once.
  QCOMPARE(panel->Tally().Radius(), ScoringRadius(form.Simulation().field_side));
  form.depth_dose_box->setChecked(false);
  QVERIFY(form.spectrum_histogram->isVisible());
  form.depth_dose_box->setChecked(true);
  form.back_button->click();
  QVERIFY(!panel->isVisible());
  QVERIFY(!form.depth_dose_box->isChecked() || !form.isVisible());
}

void TestVisualDepthDose::estimateFollowsTheChosenSpeed_data() {
  QTest::addColumn<long long>("photons");
  QTest::addColumn<double>("timed");  // seconds per photon last timed at the pace
  QTest::addColumn<double>("rate");   // photons a second of the step display, 0 unheld
  QTest::addColumn<double>("seconds");
  QTest::addRow("highest speed, drawing timed") << 300LL << 1.0 / 64 << 0.0 << 300.0 / 64;
  QTest::addRow("one a second, nothing timed yet") << 300LL << 1.0 / 40 << 1.0 << 300.0;
  QTest::addRow("held slower than it draws") << 100LL << 0.001 << 10.0 << 10.0;
  QTest::addRow("draws slower than it is held") << 100LL << 0.5 << 10.0 << 50.0;
  QTest::addRow("no step display") << 1000000LL << 1e-5 << 0.0 << 10.0;
}

void TestVisualDepthDose::estimateFollowsTheChosenSpeed() {
  QFETCH(long long, photons);
  QFETCH(double, timed);
  QFETCH(double, rate);
  QFETCH(double, seconds);
  QVERIFY(std::abs(ExpectedBatchSeconds(photons, timed, rate) - seconds) < 1e-9 * seconds);
}

// A batch at one photon a second must not make 300 photons at the highest speed look like
// minutes: no question is asked before them.
void TestVisualDepthDose::slowBatchDoesNotMakeTheFastOneAsk() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty()) QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  GetMenuWindow().show();
  GetMenuWindow().OnVisualSimulation();
  VisualScreen& form = GetVisualScreen();
  form.ok_button->click();
  form.step_display_box->setChecked(true);
  form.speed_slider->setValue(0);
  form.photon_count_box->setText("1");
  form.go_button->click();  // one photon at one a second: timed at about 1 s a photon
  form.speed_slider->setValue(form.speed_slider->maximum());
  form.photon_count_box->setText("300");
  const auto asked = MessagesDuring([&] { form.go_button->click(); });
  QVERIFY2(asked.empty(), asked.empty() ? "" : qPrintable(asked.front().text));
  QCOMPARE(form.total_count_label->text(), QStringLiteral("301"));
  form.back_button->click();
}

QTEST_MAIN(TestVisualDepthDose)
#include "tst_visual_depth_dose.moc"
