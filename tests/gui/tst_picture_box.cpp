// The drawing surface: user coordinates to pixels, persistent drawing, decoration that
// clearing keeps, drawing while hidden.
#include <QtTest>

#include "gui/visual/track_ruler.h"
#include "gui/widgets/picture_box.h"

using dosavia::gui::PictureBox;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// Count of pixels of exactly `color` in row `y`.
int CountInRow(const QImage& image, int y, const QColor& color) {
  int n = 0;
  for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == color ? 1 : 0;
  return n;
}

// The sunken border around the drawing area [px].
constexpr int kB = 2;

// A 200 x 100 drawing area behind the border.
void MakeArea(PictureBox& picture, double left, double top, double width, double height) {
  picture.resize(200 + 2 * kB, 100 + 2 * kB);
  picture.SetScale(left, top, width, height);
}

}  // namespace

class TestPictureBox : public QObject {
  Q_OBJECT

 private slots:
  void mapsUserUnitsToPixels_data();
  void mapsUserUnitsToPixels();
  void drawingPersistsAndClearKeepsDecoration();
  void movedLineLeavesItsOldPlace();
  void drawsWhileHidden();
  void pointIsOnePixel();
  void drawingOutsideTheScaleStaysInside();
  void labelAnchorPlacesText();
  void resizeKeepsDrawing();
  void resizeRedrawsCrisply_data();
  void resizeRedrawsCrisply();
  void rejectsZeroScale();
  void labelsReadOverWhatIsDrawn_data();
  void labelsReadOverWhatIsDrawn();
  void zoomRedrawsAtItsPenWidth();
  void rulerMeasuresADrag_data();
  void rulerMeasuresADrag();
};

void TestPictureBox::mapsUserUnitsToPixels_data() {
  QTest::addColumn<double>("left");
  QTest::addColumn<double>("top");
  QTest::addColumn<double>("width");
  QTest::addColumn<double>("height");
  QTest::addColumn<QPointF>("user");
  QTest::addColumn<QPointF>("pixel");
  // The drawing area starts at (kB, kB).
  QTest::newRow("y down, top left")
      << 0.0 << 0.0 << 20.0 << 10.0 << QPointF(0, 0) << QPointF(kB, kB);
  QTest::newRow("y down, bottom right")
      << 0.0 << 0.0 << 20.0 << 10.0 << QPointF(20, 10) << QPointF(kB + 200, kB + 100);
  QTest::newRow("y up, origin at bottom")
      << 0.0 << 10.0 << 20.0 << -10.0 << QPointF(0, 0) << QPointF(kB, kB + 100);
  QTest::newRow("y up, middle") << 0.0 << 10.0 << 20.0 << -10.0 << QPointF(10, 5)
                                << QPointF(kB + 100, kB + 50);
  QTest::newRow("side view origin")
      << -4.4 << -12.5 << 24.4 << 25.0 << QPointF(0, 0) << QPointF(kB + 200 * 4.4 / 24.4, kB + 50);
  QTest::newRow("histogram frame corner")
      << -3.0 << 102.0 << 155.0 << -106.0 << QPointF(150, 100)
      << QPointF(kB + 200 * 153.0 / 155.0, kB + 100 * 2.0 / 106.0);
  QTest::newRow("x grows left") << 10.0 << 0.0 << -10.0 << 10.0 << QPointF(10, 0)
                                << QPointF(kB, kB);
}

void TestPictureBox::mapsUserUnitsToPixels() {
  QFETCH(double, left);
  QFETCH(double, top);
  QFETCH(double, width);
  QFETCH(double, height);
  QFETCH(QPointF, user);
  QFETCH(QPointF, pixel);
  PictureBox picture;
  MakeArea(picture, left, top, width, height);
  const QPointF got = picture.ToPixels(user.x(), user.y());
  QVERIFY2(std::abs(got.x() - pixel.x()) < 1e-9 && std::abs(got.y() - pixel.y()) < 1e-9,
           qPrintable(QStringLiteral("got %1,%2").arg(got.x()).arg(got.y())));
  // The ruler reads user units back from where the mouse is.
  const QPointF back = picture.ToUser(pixel);
  QVERIFY2(std::abs(back.x() - user.x()) < 1e-9 && std::abs(back.y() - user.y()) < 1e-9,
           qPrintable(QStringLiteral("back %1,%2").arg(back.x()).arg(back.y())));
}

void TestPictureBox::drawingPersistsAndClearKeepsDecoration() {
  PictureBox picture;
  MakeArea(picture, 0, 0, 20, 10);
  picture.show();
  picture.AddLine(0, 2, 20, 2, kBlue);  // row kB + 20
  picture.DrawLine(0, 7, 20, 7, kRed);  // row kB + 70
  QImage shown = picture.grab().toImage();
  QVERIFY(CountInRow(shown, kB + 20, kBlue) >= 199);
  QVERIFY(CountInRow(shown, kB + 70, kRed) >= 199);
  // A second paint must not lose the drawing (it lives in the image, not in the event).
  picture.repaint();
  QVERIFY(CountInRow(picture.grab().toImage(), kB + 70, kRed) >= 199);

  picture.Clear();
  shown = picture.grab().toImage();
  QCOMPARE(CountInRow(shown, kB + 70, kRed), 0);
  QVERIFY(CountInRow(shown, kB + 20, kBlue) >= 199);
  QCOMPARE(CountInRow(picture.DrawnImage(), 70, kRed), 0);
}

void TestPictureBox::movedLineLeavesItsOldPlace() {
  PictureBox picture;
  MakeArea(picture, 0, 0, 20, 10);
  picture.show();
  const int line = picture.AddLine(0, 2, 20, 2, kBlue);
  picture.MoveLine(line, 0, 5, 20, 5);
  const QImage shown = picture.grab().toImage();
  QCOMPARE(CountInRow(shown, kB + 20, kBlue), 0);
  QVERIFY(CountInRow(shown, kB + 50, kBlue) >= 199);
  QCOMPARE(picture.LineAt(line), QLineF(0, 5, 20, 5));
}

void TestPictureBox::drawsWhileHidden() {
  QWidget parent;
  parent.resize(300, 200);
  auto* picture = new PictureBox(&parent);
  picture->setGeometry(10, 10, 200 + 2 * kB, 100 + 2 * kB);
  picture->SetScale(0, 0, 20, 10);
  picture->hide();
  parent.show();
  picture->DrawLine(0, 5, 20, 5, kRed);
  picture->show();
  QVERIFY(CountInRow(picture->grab().toImage(), kB + 50, kRed) >= 199);
  // Resized while hidden in the middle of a run (the window rescaled with the magnified view
  // off): the tracks before and after the resize both span the new width when shown.
  picture->hide();
  picture->DrawLine(0, 2, 20, 2, kRed);
  picture->setGeometry(10, 10, 100 + 2 * kB, 50 + 2 * kB);
  picture->DrawLine(0, 8, 20, 8, kRed);
  picture->show();
  const QImage resized = picture->grab().toImage();
  for (const int row : {kB + 10, kB + 40})
    QVERIFY2(CountInRow(resized, row, kRed) >= 99, qPrintable(QString::number(row)));
}

void TestPictureBox::pointIsOnePixel() {
  PictureBox picture;
  MakeArea(picture, 0, 0, 20, 10);
  picture.DrawPoint(10, 5, kRed);
  const QImage image = picture.DrawnImage();
  int red = 0;
  for (int y = 0; y < image.height(); ++y) red += CountInRow(image, y, kRed);
  QCOMPARE(red, 1);
  QCOMPARE(image.pixelColor(100, 50), kRed);
}

void TestPictureBox::drawingOutsideTheScaleStaysInside() {
  QWidget parent;
  parent.resize(400, 300);
  parent.setAutoFillBackground(true);
  QPalette palette;
  palette.setColor(QPalette::Window, Qt::green);
  parent.setPalette(palette);
  auto* picture = new PictureBox(&parent);
  picture->setGeometry(100, 100, 200 + 2 * kB, 100 + 2 * kB);
  picture->SetScale(0, 0, 20, 10);
  parent.show();
  // A track far beyond the view on both sides.
  picture->DrawLine(-100, 5, 100, 5, kRed);
  const QImage shown = parent.grab().toImage();
  const int row = 100 + kB + 50;
  QCOMPARE(CountInRow(shown, row, kRed), 200);
  QCOMPARE(shown.pixelColor(50, row), QColor(Qt::green));
  QCOMPARE(shown.pixelColor(350, row), QColor(Qt::green));
}

void TestPictureBox::labelAnchorPlacesText() {
  PictureBox picture;
  MakeArea(picture, 0, 0, 20, 10);
  picture.show();
  // Right-aligned at x = 10: all ink lies left of pixel column kB + 100.
  picture.AddLabel(QStringLiteral("10"), 10, 5, Qt::AlignRight | Qt::AlignVCenter, Qt::black);
  const QImage shown = picture.grab().toImage();
  int left_ink = 0;
  int right_ink = 0;
  for (int y = kB; y < kB + 100; ++y)
    for (int x = kB; x < kB + 200; ++x)
      if (qGray(shown.pixel(x, y)) < 128) (x <= kB + 100 ? left_ink : right_ink) += 1;
  QVERIFY(left_ink > 0);
  QCOMPARE(right_ink, 0);
  QCOMPARE(picture.LabelText(0), QStringLiteral("10"));
}

void TestPictureBox::resizeKeepsDrawing() {
  PictureBox picture;
  MakeArea(picture, 0, 0, 20, 10);
  picture.show();
  picture.DrawLine(0, 5, 20, 5, kRed);
  picture.resize(400 + 2 * kB, 200 + 2 * kB);
  QApplication::processEvents();
  const QImage image = picture.DrawnImage();
  QCOMPARE(image.size(), QSize(400, 200));
  int rows_with_red = 0;
  for (int y = 90; y < 110; ++y) rows_with_red += CountInRow(image, y, kRed) > 300 ? 1 : 0;
  QVERIFY(rows_with_red >= 1);
  // New drawing uses the new scale.
  QCOMPARE(picture.ToPixels(20, 10), QPointF(kB + 400, kB + 200));
  // A faded drawing stays faded through a resize: not drawn again at full strength.
  picture.Fade(0.5);
  picture.resize(300 + 2 * kB, 150 + 2 * kB);
  QApplication::processEvents();
  const QImage faded = picture.DrawnImage();
  int pink = 0, red = 0;
  for (int y = 0; y < faded.height(); ++y) {
    red += CountInRow(faded, y, kRed);
    const QColor c = faded.pixelColor(150, y);
    pink += c.red() == 255 && std::abs(c.green() - 128) <= 2 && c.green() == c.blue();
  }
  QCOMPARE(red, 0);
  QVERIFY(pink >= 1);
}

void TestPictureBox::rejectsZeroScale() {
  PictureBox picture;
  QVERIFY_THROWS_EXCEPTION(std::invalid_argument, picture.SetScale(0, 0, 0, 10));
  QVERIFY_THROWS_EXCEPTION(std::invalid_argument, picture.SetScale(0, 0, 10, 0));
}

void TestPictureBox::resizeRedrawsCrisply_data() {
  QTest::addColumn<double>("factor");
  QTest::addColumn<double>("zoom");
  QTest::newRow("larger") << 2.5 << 1.0;
  QTest::newRow("smaller") << 0.6 << 1.0;
  QTest::newRow("larger with the form's zoom") << 2.0 << 2.0;
}

// A track drawn at one size is drawn again, not stretched, at another: its pixels stay pure
// colour, one pen wide (scaled with the form), at the place the user units give.
void TestPictureBox::resizeRedrawsCrisply() {
  QFETCH(double, factor);
  QFETCH(double, zoom);
  PictureBox picture;
  MakeArea(picture, 0, 0, 20, 10);
  picture.DrawLine(2, 5, 18, 5, kRed);
  picture.DrawPoint(10, 2, kBlue);
  picture.SetZoom(zoom);
  picture.resize(static_cast<int>(200 * factor) + 2 * kB, static_cast<int>(100 * factor) + 2 * kB);
  const QImage image = picture.DrawnImage();
  QCOMPARE(image.size(), QSize(static_cast<int>(200 * factor), static_cast<int>(100 * factor)));
  int red = 0;
  int other = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      red += c == kRed;
      other += c != kRed && c != kBlue && c != QColor(Qt::white);
    }
  QCOMPARE(other, 0);
  const QPointF middle = picture.ToPixels(10, 5) - QPointF(kB, kB);
  QCOMPARE(image.pixelColor(middle.toPoint()), kRed);
  const QPointF point = picture.ToPixels(10, 2) - QPointF(kB, kB);
  QCOMPARE(image.pixelColor(point.toPoint()), kBlue);
  const int pen = std::max(1, static_cast<int>(std::lround(zoom)));
  QVERIFY(std::abs(red - pen * 16.0 * image.width() / 20.0) <= 2.0 * pen + 2);
}

void TestPictureBox::labelsReadOverWhatIsDrawn_data() {
  QTest::addColumn<QColor>("fill");
  QTest::addColumn<QColor>("text");
  QTest::addColumn<bool>("fixed_line");
  // Thousands of red tracks under the red caption of the side view.
  QTest::newRow("red caption over a red fill") << QColor(255, 0, 0) << QColor(255, 0, 0) << false;
  // A field-edge line through "X-ray" at a 1x1 field.
  QTest::newRow("black label across a blue line") << QColor(Qt::white) << QColor(Qt::black) << true;
}

// A label stays legible over whatever lies under it: within its box most pixels are light,
// not the colour of the fill or of a line through it.
void TestPictureBox::labelsReadOverWhatIsDrawn() {
  QFETCH(QColor, fill);
  QFETCH(QColor, text);
  QFETCH(bool, fixed_line);
  PictureBox picture;
  MakeArea(picture, 0, 0, 20, 10);
  picture.show();
  for (double y = 0; y <= 10; y += 0.05) picture.DrawLine(0, y, 20, y, fill, 3);
  if (fixed_line) picture.AddLine(0, 5, 20, 5, QColor(0, 0, 255), 3);
  picture.AddLabel(QStringLiteral("X-ray"), 10, 5, Qt::AlignHCenter | Qt::AlignVCenter, text);
  const QImage shown = picture.grab().toImage();
  const QFontMetrics metrics(picture.font());
  const QRect box(kB + 100 - metrics.horizontalAdvance(QStringLiteral("X-ray")) / 2,
                  kB + 50 - metrics.height() / 2,
                  metrics.horizontalAdvance(QStringLiteral("X-ray")), metrics.height());
  int light = 0;
  int ink = 0;
  int line = 0;
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x) {
      const QColor c = shown.pixelColor(x, y);
      light += c.lightness() > 180;
      ink += c.lightness() < 160;
      line += c == QColor(0, 0, 255);
    }
  const int area = box.width() * box.height();
  QVERIFY2(light > area / 2, qPrintable(QStringLiteral("%1 of %2 light").arg(light).arg(area)));
  QVERIFY(ink > 0);   // the text itself
  QCOMPARE(line, 0);  // the line passes behind the label
}

// A zoom change redraws what is drawn at the new pen widths, also when the size stays (a
// zoom above what fits keeps the window's size): back at 100 % a 1 px line is 1 px again.
void TestPictureBox::zoomRedrawsAtItsPenWidth() {
  PictureBox picture;
  MakeArea(picture, 0, 0, 20, 10);
  picture.show();
  const QColor blue(0, 0, 255);
  const auto rows = [&] {
    const QImage drawn = picture.DrawnImage();
    int n = 0;
    for (int y = 0; y < drawn.height(); ++y) n += drawn.pixelColor(100, y) == blue;
    return n;
  };
  picture.SetZoom(2.0);
  picture.DrawLine(0, 5, 20, 5, blue, 1);
  QCOMPARE(rows(), 2);
  picture.SetZoom(1.0);
  QCOMPARE(rows(), 1);
  picture.SetZoom(3.0);
  QCOMPARE(rows(), 3);
}

// The ruler on a side view: a drag lays it between the user points under the mouse, over
// the drawing (black on it); a click without a drag takes it away.
void TestPictureBox::rulerMeasuresADrag_data() {
  QTest::addColumn<QPointF>("from");
  QTest::addColumn<QPointF>("to");
  QTest::addColumn<bool>("laid");
  QTest::newRow("3-4-5 cm") << QPointF(0, 0) << QPointF(3, 4) << true;
  QTest::newRow("along the axis") << QPointF(1, 0) << QPointF(11, 0) << true;
  QTest::newRow("a click") << QPointF(2, 2) << QPointF(2, 2) << false;
}

void TestPictureBox::rulerMeasuresADrag() {
  QFETCH(QPointF, from);
  QFETCH(QPointF, to);
  QFETCH(bool, laid);
  PictureBox picture;
  picture.resize(400 + 2 * kB, 400 + 2 * kB);
  picture.SetScale(-4.4, -12.5, 25, 25);
  auto* ruler = new dosavia::gui::TrackRuler(&picture);
  picture.show();
  const auto at = [&](QPointF p) { return picture.ToPixels(p.x(), p.y()).toPoint(); };
  QTest::mousePress(&picture, Qt::LeftButton, {}, at(from));
  QTest::mouseMove(&picture, at(to));
  QTest::mouseRelease(&picture, Qt::LeftButton, {}, at(to));
  const auto ends = ruler->Ends();
  QCOMPARE(ends.has_value(), laid);
  const QImage shown = picture.grab(picture.contentsRect()).toImage();
  int black = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) black += shown.pixelColor(x, y) == QColor(Qt::black);
  if (!laid) {
    QCOMPARE(black, 0);
    return;
  }
  // To a pixel of the mouse: 25 cm over 400 pixels.
  const double pixel_cm = 25.0 / 400;
  QVERIFY(QLineF(ends->first, from).length() < pixel_cm);
  QVERIFY(QLineF(ends->second, to).length() < pixel_cm);
  QVERIFY(black > 0);
}

QTEST_MAIN(TestPictureBox)
#include "tst_picture_box.moc"
