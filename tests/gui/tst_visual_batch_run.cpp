// The visual run's batch as the screen draws it: its count in the spectrum histogram, the
// histogram's bars and the tracks on both side views. The Qt-free rules under it (typed
// counts, the spectrum file and tally) are tested in tests/models.
#include <QLabel>
#include <QtTest>

#include <cmath>

#include "gui/visual/visual_batch_run.h"
#include "gui/widgets/picture_box.h"
#include "gui_test_support.h"

using namespace dosavia;
using namespace dosavia::gui;
using dosavia::kSpectrumBins;
using dosavia::gui::testing::CountColor;
using dosavia::gui::testing::TallySum;
using dosavia::gui::testing::TempWorkDir;

namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

// The session these tests run, as a screen owns one.
VisualSession& Session() {
  static VisualSession* const session = new VisualSession;
  return *session;
}

// The visual screen's three pictures and energy label, sized and scaled as on the screen.
struct BatchSurfaces {
  BatchSurfaces() {
    side_view.resize(699, 715);
    side_view.SetScale(-4.4, -12.5, 24.4, 25);
    zoomed_side_view.resize(699, 715);
    zoomed_side_view.SetScale(-2.2, -6.25, 12.2, 12.5);
    spectrum_histogram.resize(425, 249);
    spectrum_histogram.SetScale(-3, 102, 155, -106);
  }
  VisualBatchView View() {
    return {Session(), side_view, zoomed_side_view, spectrum_histogram, photon_energy_label};
  }
  PictureBox side_view;
  PictureBox zoomed_side_view;
  PictureBox spectrum_histogram;
  QLabel photon_energy_label;
};

// The pixel of the drawing layer that holds the widget point p.
QPoint LayerPixel(const dosavia::gui::PictureBox& picture, QPointF p) {
  p -= QPointF(picture.contentsRect().topLeft());
  return QPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}

// Pixels of track red, full or faded toward white, up to `palest` in green and blue (255:
// all but white itself).
int FadedRed(const QImage& image, int palest = 254) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      n += c.red() == 255 && c.green() == c.blue() && c.green() <= palest;
    }
  return n;
}

}  // namespace

class TestVisualBatchRun : public QObject {
  Q_OBJECT

 private slots:
  void batchAddsItsCountToTheHistogram();
  void histogramBarsInPercentOfHighestBin();
  void batchWithoutPhotonsDrawsNothing();
  void tracksReachBothSideViews();
  void longRunShowsThePatternNotARedField_data();
  void longRunShowsThePatternNotARedField();
  void newestPhotonStandsOutUntilTheNext();
};

// The real data and spectrum; skipped only where the shipped files are absent.
// The session is fresh, OK confirmed 10 MV 10x10 and its batch begun, as Go leaves it.
#define REQUIRE_DATA(dir)                                                   \
  if (!(dir).Missing().isEmpty())                                           \
    QSKIP(qPrintable("data files missing: " + (dir).Missing().join(", "))); \
  Session().Init();                                                         \
  QCOMPARE(Session().Confirm("10", "10x10"), ConfirmRefusal::kNone);        \
  QVERIFY(Session().BeginBatch(""))

void TestVisualBatchRun::batchAddsItsCountToTheHistogram() {
  TempWorkDir dir;
  REQUIRE_DATA(dir);
  BatchSurfaces surfaces;
  for (long long batch = 1; batch <= 3; ++batch) {
    RunVisualBatch(surfaces.View(), 100);
    QCOMPARE(TallySum(Session().Simulation()), 100 * batch);
  }
  RunVisualBatch(surfaces.View(), 7);
  QCOMPARE(TallySum(Session().Simulation()), 307LL);
  // The label shows the last photon's energy in MeV with three decimals.
  QVERIFY(
      QRegularExpression("^\\d+\\.\\d{3}$").match(surfaces.photon_energy_label.text()).hasMatch());
}

void TestVisualBatchRun::histogramBarsInPercentOfHighestBin() {
  TempWorkDir dir;
  REQUIRE_DATA(dir);
  BatchSurfaces surfaces;
  RunVisualBatch(surfaces.View(), 200);
  int highest = 1;
  for (int q = 1; q <= kSpectrumBins; ++q)
    if (Session().Simulation().SpectrumTally()[q] > Session().Simulation().SpectrumTally()[highest])
      highest = q;
  const QImage image = surfaces.spectrum_histogram.DrawnImage();
  const PictureBox& histogram = surfaces.spectrum_histogram;
  const QPoint top = LayerPixel(histogram, histogram.ToPixels(0.5 * highest - 0.25, 99.0));
  const QPoint above = LayerPixel(histogram, histogram.ToPixels(0.5 * highest - 0.25, 101.5));
  QCOMPARE(image.pixelColor(top), kBlue);
  QCOMPARE(CountColor(image.copy(0, 0, image.width(), above.y()), kBlue), 0);
  // The white foot line covers the zero-height bars.
  const QPoint foot = LayerPixel(histogram, histogram.ToPixels(100, 0));
  QCOMPARE(image.pixelColor(foot), QColor(Qt::white));
}

void TestVisualBatchRun::batchWithoutPhotonsDrawsNothing() {
  TempWorkDir dir;
  REQUIRE_DATA(dir);
  BatchSurfaces surfaces;
  surfaces.spectrum_histogram.DrawLine(0, 50, 150, 50, kRed);
  RunVisualBatch(surfaces.View(), 0);
  QCOMPARE(TallySum(Session().Simulation()), 0LL);
  const QImage image = surfaces.spectrum_histogram.DrawnImage();
  QCOMPARE(CountColor(image, Qt::white), image.width() * image.height());
}

void TestVisualBatchRun::tracksReachBothSideViews() {
  TempWorkDir dir;
  REQUIRE_DATA(dir);
  BatchSurfaces surfaces;
  RunVisualBatch(surfaces.View(), 100);
  const QImage side = surfaces.side_view.DrawnImage();
  const QImage zoom = surfaces.zoomed_side_view.DrawnImage();
  QVERIFY(CountColor(side, kRed) > 100);
  QVERIFY(CountColor(zoom, kRed) > 100);
  // Nothing but track red faded toward white: no other colour reaches the drawing layer.
  QCOMPARE(FadedRed(side) + CountColor(side, Qt::white), side.width() * side.height());
  // The electrons start inside the field: red left of the surface is only backscatter,
  // a small part of the ink.
  const int surface_x = static_cast<int>(surfaces.side_view.ToPixels(0, 0).x()) -
                        surfaces.side_view.contentsRect().left();
  const int behind = CountColor(side.copy(0, 0, surface_x - 2, side.height()), kRed);
  QVERIFY2(behind * 20 < CountColor(side, kRed), qPrintable(QString::number(behind)));
}

// A class watching many photons sees where the electrons go: the older tracks fade, so
// that the field's middle is not one solid red, while the ink still shows the field. With
// the fade switched off every track stays as drawn, none washed paler.
void TestVisualBatchRun::longRunShowsThePatternNotARedField_data() {
  QTest::addColumn<long long>("photons");
  QTest::addColumn<bool>("step");
  QTest::addColumn<bool>("fading");
  QTest::newRow("20000 photons at once") << 20000LL << false << true;
  QTest::newRow("3000 photons one by one") << 3000LL << true << true;
  QTest::newRow("2000 photons at once, fade off") << 2000LL << false << false;
}

void TestVisualBatchRun::longRunShowsThePatternNotARedField() {
  QFETCH(long long, photons);
  QFETCH(bool, step);
  QFETCH(bool, fading);
  TempWorkDir dir;
  REQUIRE_DATA(dir);
  BatchSurfaces surfaces;
  VisualBatchView view = surfaces.View();
  view.step_display = step;
  SideViewTracks tracks;
  tracks.fade.SetFading(fading);
  view.tracks = &tracks;
  RunVisualBatch(view, photons);
  // The field's middle, 1 to 8 cm deep and 3 cm either side of the axis.
  const PictureBox& side_view = surfaces.side_view;
  const QPoint a = LayerPixel(side_view, side_view.ToPixels(1, -3));
  const QPoint b = LayerPixel(side_view, side_view.ToPixels(8, 3));
  const QImage middle = surfaces.side_view.DrawnImage().copy(QRect(a, b));
  const int area = middle.width() * middle.height();
  const int full_red = CountColor(middle, kRed);
  // Ink at a fifth of its strength or more: the pattern the class reads.
  const int inked = FadedRed(middle, 204);
  if (!fading) {
    QCOMPARE(FadedRed(middle), full_red);
    QVERIFY2(full_red * 20 > area, qPrintable(QString("%1 of %2").arg(full_red).arg(area)));
    return;
  }
  QVERIFY2(full_red * 4 < area, qPrintable(QString("%1 of %2").arg(full_red).arg(area)));
  QVERIFY2(inked * 20 > area, qPrintable(QString("%1 of %2").arg(inked).arg(area)));
}

// One photon at a time: the newest photon's electrons are black among the older red ones,
// from batch to batch, and turn red when the next photon starts.
void TestVisualBatchRun::newestPhotonStandsOutUntilTheNext() {
  TempWorkDir dir;
  REQUIRE_DATA(dir);
  BatchSurfaces surfaces;
  SideViewTracks tracks;
  VisualBatchView view = surfaces.View();
  view.step_display = true;
  view.tracks = &tracks;
  const QColor black(Qt::black);
  QImage before;
  // A photon may cross the water without an electron: the next one will have one.
  for (int n = 0; n < 50 && CountColor(before, black) == 0; ++n) {
    RunVisualBatch(view, 1);
    before = surfaces.side_view.DrawnImage();
  }
  QVERIFY(CountColor(before, black) > 0);
  QVERIFY(!tracks.newest.empty());
  RunVisualBatch(view, 1);
  const QImage after = surfaces.side_view.DrawnImage();
  int was_black = 0, now_red = 0;
  for (int y = 0; y < before.height(); ++y)
    for (int x = 0; x < before.width(); ++x)
      if (before.pixelColor(x, y) == black) {
        ++was_black;
        now_red += after.pixelColor(x, y) == kRed;
      }
  // All but where the new photon's black crosses the old track.
  QVERIFY2(now_red * 10 >= was_black * 9,
           qPrintable(QString("%1 of %2").arg(now_red).arg(was_black)));
  // Without the tracks kept, a batch leaves nothing black.
  BatchSurfaces fresh;
  VisualBatchView own = fresh.View();
  own.step_display = true;
  RunVisualBatch(own, 20);
  QCOMPARE(CountColor(fresh.side_view.DrawnImage(), black), 0);
}

QTEST_MAIN(TestVisualBatchRun)
#include "tst_visual_batch_run.moc"
