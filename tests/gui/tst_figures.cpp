// The figures of the explanation pages: the engine's 10 MV curves behind Fig.1 and Fig.7,
// the unit-volume model behind Fig.3 to Fig.6, and the Compton-electron kernels and their
// picture (Fig.2), with the picture that ships in the program.
#include <QImage>
#include <QtTest>

#include <algorithm>
#include <numeric>
#include <vector>

#include <QPainter>

#include "gui/figures/figure_axes.h"
#include "gui/figures/interface_figures.h"
#include "gui/figures/page_depth_dose_figures.h"
#include "gui/forms/explanation_page.h"
#include "gui/figures/unit_volume_figures.h"
#include "physics/physics_loader.h"
#include "tools/figures/electron_kernel.h"
#include "tools/figures/electron_map_image.h"

using namespace dosavia;
using namespace dosavia::gui;
using namespace dosavia::figures;

namespace {

constexpr int kColumn1cm = 0;
constexpr int kColumn10cm = 7;

QByteArray CurveLine(double depth, double value) {
  QByteArray line = QByteArray::number(depth, 'f', 2);
  for (int k = 0; k < 11; ++k) line += ' ' + QByteArray::number(value, 'f', 4);
  return line + '\n';
}

QByteArray CurveText(int lines) {
  QByteArray text = "# comment\n";
  for (int i = 0; i < lines; ++i) text += CurveLine(0.1 * i + 0.05, 0.5);
  return text;
}

// Photon weights of a spectrum with all photons in bin `bin` (centre 50 bin - 25 keV).
std::vector<double> SingleBin(int bin) {
  std::vector<double> weights(401, 0.0);
  weights[static_cast<std::size_t>(bin)] = 1.0;
  return weights;
}

}  // namespace

class TestFigures : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void shippedCurvesShowTheBuildUp();
  void narrowFieldsLoseDoseAndMoveTheMaximumUp();
  void shippedPhantomCurvesGiveEveryInterfaceFigure();
  void ticksStayInsideTheRange_data();
  void ticksStayInsideTheRange();
  void legendKeepsToWhatItReports();
  void malformedCurvesAreRefused_data();
  void malformedCurvesAreRefused();
  void longitudinalModelGivesTheStatedDoses_data();
  void longitudinalModelGivesTheStatedDoses();
  void attenuatedModelReachesTransientEquilibrium();
  void lateralModelGivesTheStatedDoses_data();
  void lateralModelGivesTheStatedDoses();
  void kernelConservesTheReleasedEnergy_data();
  void kernelConservesTheReleasedEnergy();
  void kernelStaysWithinTheElectronRange();
  void higherEnergySpreadsFurther();
  void colourStepsFollowTheLegend_data();
  void colourStepsFollowTheLegend();
  void renderedPictureHasItsSizeAndLegend();
  void shippedPictureHasItsSizeAndLegend();

 private:
  PhysicsTables<double> tables_;
  bool tables_loaded_ = false;
};

void TestFigures::initTestCase() {
  try {
    LoadPhysicsTables(tables_, DOSAVIA_DATA_DIR "/water20.dat", DOSAVIA_DATA_DIR "/ELDAT.dat");
    tables_loaded_ = true;
  } catch (const std::exception&) {
    tables_loaded_ = false;
  }
}

void TestFigures::shippedCurvesShowTheBuildUp() {
  const DepthDoseCurves& curves = ShippedDepthDoseCurves();
  QCOMPARE(curves.depth_cm.size(), std::size_t{300});
  QCOMPARE(curves.depth_cm.front(), 0.05);
  // Normalised to the kerma maximum of the first 5 cm.
  QCOMPARE(*std::max_element(curves.kerma.begin(), curves.kerma.begin() + 50), 1.0);
  const std::vector<double> tmr = TissueMaximumRatio(curves, kColumn10cm);
  const double d_max = CurveMaximum(curves.dose[kColumn10cm]).depth_cm;
  const auto peak = static_cast<std::size_t>(d_max / 0.1);
  // Small at the surface, a maximum a few centimetres down, a slow fall beyond it.
  QVERIFY2(tmr.front() < 0.3, qPrintable(QString::number(tmr.front())));
  QVERIFY2(d_max > 1.5 && d_max < 3.5, qPrintable(QString::number(d_max)));
  QVERIFY(std::abs(tmr[peak] - 1.0) < 0.02);
  QVERIFY2(tmr[99] > 0.7 && tmr[99] < 0.95, qPrintable(QString::number(tmr[99])));
  QVERIFY(tmr[199] < tmr[99]);
}

void TestFigures::narrowFieldsLoseDoseAndMoveTheMaximumUp() {
  const DepthDoseCurves& curves = ShippedDepthDoseCurves();
  QVERIFY(!curves.depth_cm.empty());
  const DoseMaximum narrow = CurveMaximum(curves.dose[kColumn1cm]);
  const DoseMaximum broad = CurveMaximum(curves.dose[kColumn10cm]);
  QVERIFY(narrow.depth_cm < broad.depth_cm);
  QVERIFY(narrow.dose < 0.9 * broad.dose);
  // Each wider field gives at least as much dose at the broad field's maximum.
  const auto at = static_cast<std::size_t>(broad.depth_cm / 0.1);
  for (std::size_t f = 1; f < curves.dose.size(); ++f)
    QVERIFY(curves.dose[f][at] >= curves.dose[f - 1][at] - 0.01);
}

// The slab phantoms' curves compiled in: each of page 6's figures has its curves, and water's
// are on their own scale (their maximum is 100 %).
void TestFigures::shippedPhantomCurvesGiveEveryInterfaceFigure() {
  const std::optional<InterfaceCurves>& curves = ShippedInterfaceCurves();
  QVERIFY(curves.has_value());
  for (const InterfaceFigure& figure : InterfaceFigures())
    QVERIFY(InterfaceFigureOf(*curves, figure.figure).has_value());
  const std::vector<double>& water = *curves->Find(InterfaceCurveName("water", 15, 10));
  QVERIFY(std::abs(CurveMaximum(water).dose - 100) < 1);
}

void TestFigures::ticksStayInsideTheRange_data() {
  QTest::addColumn<double>("to");
  QTest::addColumn<double>("step");
  QTest::addColumn<int>("ticks");  // after the first
  QTest::newRow("whole number of steps") << 20.0 << 5.0 << 4;
  QTest::newRow("0.2 into 1.2, just under 6 in floating point") << 1.2 << 0.2 << 6;
  QTest::newRow("0.1 into 0.3, just under 3") << 0.3 << 0.1 << 3;
  // The spectrum's axis reaches 10 % over its top tick: no tick at 1.2 outside the frame.
  QTest::newRow("half a step over the last tick") << 1.1 << 0.2 << 5;
  QTest::newRow("no step") << 1.0 << 0.0 << 0;
}

void TestFigures::ticksStayInsideTheRange() {
  QFETCH(double, to);
  QFETCH(double, step);
  QFETCH(int, ticks);
  QCOMPARE(FigureTickCount(0, to, step), ticks);
}

// A legend draws nothing outside the rectangle it returns, so a figure can place things
// beside it; in a row it takes one line, its line sample drawn whole across the middle.
void TestFigures::legendKeepsToWhatItReports() {
  const QList<LegendEntry> entries = {
      {LegendEntry::Sample::kBar, QPen(Qt::red), QColor(255, 170, 170), QStringLiteral("dose")},
      {LegendEntry::Sample::kLine, QPen(Qt::blue, 2), {}, QStringLiteral("kerma")},
      {LegendEntry::Sample::kDot, {}, QColor(0, 130, 0), QStringLiteral("d_max")}};
  for (LegendFlow flow : {LegendFlow::kDown, LegendFlow::kAcross}) {
    QImage image(400, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(QFont(QStringLiteral("IPAGothic"), 9));
    const QRect taken = DrawFigureLegend(p, QPointF(10, 10), entries, flow).toAlignedRect();
    p.end();
    int outside = 0, blue_columns = 0, green = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c != Qt::white && !taken.adjusted(-1, -1, 1, 1).contains(x, y)) ++outside;
        green += c == QColor(0, 130, 0);
      }
    QCOMPARE(outside, 0);
    QVERIFY(green > 0);
    if (flow == LegendFlow::kAcross) {
      QVERIFY(taken.height() < 2 * QFontMetrics(QFont(QStringLiteral("IPAGothic"), 9)).height());
      const int middle = taken.top() + taken.height() / 2;
      for (int x = 0; x < image.width(); ++x)
        blue_columns += image.pixelColor(x, middle) == QColor(Qt::blue);
      QVERIFY(blue_columns >= 20);
    }
  }
}

void TestFigures::malformedCurvesAreRefused_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::newRow("too few depths") << CurveText(99);
  QTest::newRow("eleven numbers") << CurveText(150) + "15.05 1 1 1 1 1 1 1 1 1 1\n";
  QTest::newRow("not a number") << CurveText(150) + "15.05 1 1 1 1 x 1 1 1 1 1 1\n";
  QTest::newRow("depth repeats") << CurveText(150) + CurveLine(14.95, 0.5);
  // The maxima are found on the engine's bins of 0.1 cm; another grid would misplace them.
  QTest::newRow("depth off the grid") << CurveText(150) + CurveLine(15.10, 0.5);
  QTest::newRow("depth skips a bin") << CurveText(150) + CurveLine(15.15, 0.5);
  QTest::newRow("infinite value") << CurveText(150) + "15.05 inf 1 1 1 1 1 1 1 1 1 1\n";
}

void TestFigures::malformedCurvesAreRefused() {
  QFETCH(QByteArray, text);
  QVERIFY(ParseDepthDoseCurves(CurveText(150)).has_value());
  QVERIFY(!ParseDepthDoseCurves(text).has_value());
}

void TestFigures::longitudinalModelGivesTheStatedDoses_data() {
  QTest::addColumn<int>("volume");
  QTest::addColumn<double>("dose");
  QTest::newRow("depth 1") << 1 << 25.0;
  QTest::newRow("depth 2") << 2 << 50.0;
  QTest::newRow("depth 3") << 3 << 75.0;
  QTest::newRow("depth 4: equilibrium") << 4 << 100.0;
  QTest::newRow("depth 8") << 8 << 100.0;
}

void TestFigures::longitudinalModelGivesTheStatedDoses() {
  QFETCH(int, volume);
  QFETCH(double, dose);
  const std::vector<double> kerma = ModelKerma(8, kModelKerma, 1.0);
  QCOMPARE(ModelDose(kerma, kModelRange)[static_cast<std::size_t>(volume - 1)], dose);
}

void TestFigures::attenuatedModelReachesTransientEquilibrium() {
  const std::vector<double> kerma = ModelKerma(10, kModelKerma, kModelTransmission);
  const std::vector<double> dose = ModelDose(kerma, kModelRange);
  const auto peak = std::max_element(dose.begin(), dose.end()) - dose.begin();
  QCOMPARE(peak, kModelRange - 1);
  // Beyond the range the dose stays a fixed ratio above the kerma.
  const double ratio = dose[kModelRange - 1] / kerma[kModelRange - 1];
  QVERIFY(ratio > 1);
  for (std::size_t i = kModelRange; i < dose.size(); ++i)
    QVERIFY(std::abs(dose[i] / kerma[i] - ratio) < 1e-12);
  // Energy is only moved downstream, never created.
  const double in = std::accumulate(kerma.begin(), kerma.end(), 0.0);
  const double out = std::accumulate(dose.begin(), dose.end(), 0.0);
  QVERIFY(out < in);
}

void TestFigures::lateralModelGivesTheStatedDoses_data() {
  QTest::addColumn<int>("field_volumes");
  QTest::addColumn<double>("dose");
  QTest::newRow("field ① (7)") << 7 << 80.0;
  QTest::newRow("wider than the range (11)") << 11 << 80.0;
  QTest::newRow("field ② (5)") << 5 << 60.0;
  QTest::newRow("field ③ (3)") << 3 << 40.0;
  QTest::newRow("field ④ (1)") << 1 << 20.0;
}

void TestFigures::lateralModelGivesTheStatedDoses() {
  QFETCH(int, field_volumes);
  QFETCH(double, dose);
  QCOMPARE(LateralCentralDose(field_volumes, kLateralKerma, kLateralReach), dose);
}

void TestFigures::kernelConservesTheReleasedEnergy_data() {
  QTest::addColumn<int>("bin");
  QTest::newRow("0.975 MeV") << 20;
  QTest::newRow("4.975 MeV") << 100;
  QTest::newRow("9.975 MeV") << 200;
}

// Everything the electrons are given is deposited somewhere, and the map's integral is the
// share deposited on the map.
void TestFigures::kernelConservesTheReleasedEnergy() {
  QFETCH(int, bin);
  if (!tables_loaded_) QSKIP("physics data missing");
  RandomStream<double> random;
  const ElectronKernel kernel = ComputeElectronKernel(
      tables_, random, ComptonInteractionWeights(tables_, SingleBin(bin)), 3000);
  const double deposited =
      std::accumulate(kernel.deposited.begin(), kernel.deposited.end(), 0.0) + kernel.outside_keV;
  QVERIFY(std::abs(deposited - kernel.released_keV) < 1e-9 * kernel.released_keV);
  double integral = 0;
  for (int iz = 0; iz < kKernelZBins; ++iz)
    for (int ir = 0; ir < kKernelRBins; ++ir)
      integral += kernel.Value(iz, ir) * kKernelBinCm * kKernelBinCm;
  QVERIFY(std::abs(integral - (1 - kernel.outside_keV / kernel.released_keV)) < 1e-9);
  // The mean Compton electron energy lies below the photon energy.
  const double photon_keV = 50.0 * bin - 25;
  QVERIFY(kernel.released_keV / kernel.electrons < photon_keV);
}

// 2 MeV photons give Compton electrons of at most 1.77 MeV, whose path in water is about
// 0.9 cm (ESTAR CSDA range 0.87 g/cm^2): nothing can be deposited farther away.
void TestFigures::kernelStaysWithinTheElectronRange() {
  if (!tables_loaded_) QSKIP("physics data missing");
  RandomStream<double> random;
  const ElectronKernel kernel = ComputeElectronKernel(
      tables_, random, ComptonInteractionWeights(tables_, SingleBin(40)), 20000);
  const KernelReach reach = Reach(kernel, 1e-12);
  QVERIFY2(reach.forward_cm > 0.5 && reach.forward_cm < 1.05,
           qPrintable(QString::number(reach.forward_cm)));
  QVERIFY2(reach.lateral_cm > 0.3 && reach.lateral_cm < 1.05,
           qPrintable(QString::number(reach.lateral_cm)));
  QCOMPARE(kernel.outside_keV, 0.0);
}

// What the second page says about Fig.2: longer range and wider spread with energy, and for
// the 10 MV spectrum most energy within about 3 cm forward and 1.5 cm sideways.
void TestFigures::higherEnergySpreadsFurther() {
  if (!tables_loaded_) QSKIP("physics data missing");
  std::vector<KernelReach> reaches;
  double share_10mv = 0;
  for (const char* name : {"4MV.csv", "6MV.csv", "10MV.csv"}) {
    QFile file(QStringLiteral(DOSAVIA_DATA_DIR "/") + QString::fromLatin1(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    std::vector<double> weights(1, 0.0);
    for (const QByteArray& line : file.readAll().split('\n'))
      if (line.contains(',')) weights.push_back(line.split(',')[1].trimmed().toDouble());
    QCOMPARE(weights.size(), std::size_t{401});
    RandomStream<double> random;
    const ElectronKernel kernel =
        ComputeElectronKernel(tables_, random, ComptonInteractionWeights(tables_, weights), 40000);
    reaches.push_back(Reach(kernel, 0.01));
    share_10mv = EnergyFractionWithin(kernel, 3.0, 1.5);
  }
  QVERIFY(reaches[0].forward_cm < reaches[1].forward_cm);
  QVERIFY(reaches[1].forward_cm < reaches[2].forward_cm);
  QVERIFY(reaches[0].lateral_cm < reaches[2].lateral_cm);
  QVERIFY2(share_10mv > 0.95, qPrintable(QString::number(share_10mv)));
}

void TestFigures::colourStepsFollowTheLegend_data() {
  QTest::addColumn<double>("value");
  QTest::addColumn<int>("step");
  QTest::newRow("below the first level") << 0.99e-4 << -1;
  QTest::newRow("first level") << 1e-4 << 0;
  QTest::newRow("between 0.001 and 0.002") << 0.0015 << 3;
  QTest::newRow("just under 0.1") << 0.0999 << 8;
  QTest::newRow("0.1") << 0.1 << 9;
  QTest::newRow("far above") << 50.0 << 9;
}

void TestFigures::colourStepsFollowTheLegend() {
  QFETCH(double, value);
  QFETCH(int, step);
  QCOMPARE(ColourStep(value), step);
}

// A kernel whose map holds one value everywhere paints every pixel of its panel in that
// value's colour; the legend boxes show the ten colours in order.
void TestFigures::renderedPictureHasItsSizeAndLegend() {
  ElectronKernel flat;
  flat.released_keV = 1;
  const double value = 0.003;  // step 5
  std::fill(flat.deposited.begin(), flat.deposited.end(), value * kKernelBinCm * kKernelBinCm);
  ElectronKernel empty;
  const QImage image = RenderElectronMaps({KernelPanel{QStringLiteral("4 MV"), &flat},
                                           KernelPanel{QStringLiteral("6 MV"), &empty},
                                           KernelPanel{QStringLiteral("10 MV"), &flat}});
  QCOMPARE(image.size(), QSize(kMapImageWidth, kMapImageHeight));
  for (int k = 0; k < 10; ++k)
    QCOMPARE(image.pixel(LegendBox(k).center()), LegendColours()[static_cast<std::size_t>(k)]);
  const QRect panel = PanelRect(0).adjusted(2, 2, -2, -2);
  const QRgb colour = LegendColours()[static_cast<std::size_t>(ColourStep(value))];
  QCOMPARE(image.pixel(panel.topLeft() + QPoint(20, 20)), colour);
  QCOMPARE(image.pixel(panel.bottomRight() - QPoint(20, 20)), colour);
  QCOMPARE(image.pixel(PanelRect(1).center() + QPoint(20, 40)), qRgb(255, 255, 255));
}

void TestFigures::shippedPictureHasItsSizeAndLegend() {
  const QImage image(QString::fromLatin1(kElectronMapResource));
  QVERIFY2(!image.isNull(), "Fig.2 is not among the program's resources");
  QCOMPARE(image.size(), QSize(628, 472));
  for (int k = 0; k < 10; ++k)
    QCOMPARE(image.pixel(LegendBox(k).center()) & 0xffffff,
             LegendColours()[static_cast<std::size_t>(k)] & 0xffffff);
  // Each map has its core (the top step) near the point of interaction.
  for (int panel = 0; panel < 3; ++panel) {
    const QPoint near_origin = PanelRect(panel).topLeft() + QPoint(8, 55 + 10);
    QCOMPARE(image.pixel(near_origin) & 0xffffff, LegendColours()[9] & 0xffffff);
  }
}

QTEST_MAIN(TestFigures)
#include "tst_figures.moc"
