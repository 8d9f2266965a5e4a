// The visual run's depth dose on the screen: its curve against the engine's central-axis
// depth dose, and the panel and the step speed on the visual screen. The scoring observer and
// the fit of the maximum without a screen are tested in tests/models.
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

#include "gui/app/window_registry.h"
#include "gui/visual/visual_depth_dose_panel.h"
#include "gui/forms/menu_window.h"
#include "gui/visual/visual_screen.h"
#include "gui/visual/visual_batch_run.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/picture_box.h"
#include "models/visual_depth_dose.h"
#include "gui_test_support.h"

using namespace dosavia;
using namespace dosavia::gui;
using dosavia::gui::testing::TempWorkDir;

namespace {

// Field 4 x 4: the cylinder has radius 1 cm.

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
    bins[static_cast<std::size_t>(row++ / 5)] +=
        line.split(' ', Qt::SkipEmptyParts).at(5).toDouble();
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
  void curveFollowsTheEngineAndDrawingStaysTheSame();
  void toggleShowsThePanelAndSpeedPacesTheBatch();
  void panelLiesBesideTheTracks_data();
  void panelLiesBesideTheTracks();
};

void TestVisualDepthDose::curveFollowsTheEngineAndDrawingStaysTheSame() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  const std::vector<double> engine = EngineDose4x4At10MV();
  QVERIFY(!engine.empty());
  // The same photons drawn with and without the panel: showing the curve draws no random
  // number and leaves the pictures exactly as they were.
  constexpr int kPhotons = 20000;
  std::array<QImage, 2> drawn;
  DepthDosePanel panel;
  auto session = std::make_unique<VisualSession>();
  panel.SetSession(session.get());
  for (int with_panel = 0; with_panel < 2; ++with_panel) {
    session->Init();
    QCOMPARE(session->Confirm("10", "4x4"), ConfirmRefusal::kNone);
    QVERIFY(session->BeginBatch("0"));
    PictureBox side_view, zoomed_side_view, spectrum_histogram;
    QLabel photon_energy_label;
    for (PictureBox* p : {&side_view, &zoomed_side_view}) p->resize(699, 715);
    side_view.SetScale(-4.4, -12.5, 24.4, 25);
    zoomed_side_view.SetScale(-2.2, -6.25, 12.2, 12.5);
    spectrum_histogram.resize(425, 249);
    RunVisualBatch({*session, side_view, zoomed_side_view, spectrum_histogram, photon_energy_label,
                    with_panel ? &panel : nullptr},
                   kPhotons);
    session->EndBatch();
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
             qPrintable(
                 QString("bin %1: panel %2, engine %3, sigma %4").arg(i).arg(p).arg(e).arg(sigma)));
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
  if (!dir.Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
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
  form.speed_slider->setValue(4);
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
  QTimer::singleShot(1500, [&] { form.stop_button->click(); });
  clock.start();
  form.go_button->click();
  // A bound far above the pace (not a latency: a loaded machine runs late) that fifty photons
  // at one a second would still break.
  QVERIFY2(clock.elapsed() < 30000, qPrintable(QString("%1 ms").arg(clock.elapsed())));
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
  if (!dir.Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
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
  QCOMPARE(panel->Tally().Radius(), ScoringRadius(form.Session().Simulation().FieldSide()));
  form.depth_dose_box->setChecked(false);
  QVERIFY(form.spectrum_histogram->isVisible());
  form.depth_dose_box->setChecked(true);
  form.back_button->click();
  QVERIFY(!panel->isVisible());
  QVERIFY(!form.depth_dose_box->isChecked() || !form.isVisible());
}

QTEST_MAIN(TestVisualDepthDose)
#include "tst_visual_depth_dose.moc"
