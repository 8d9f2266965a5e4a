// Zoom in a classroom: at "fit the screen" on a 1024x768 projector and on a full-HD screen
// every text of the lesson's screens (menu, visual, non-visual) is at least kMinTextPixels; a
// fixed zoom larger than the screen keeps the contents at that zoom and scrolls, says so, and
// reaches every part; the style's own parts (check box, radio button, slider handle, table
// header) grow with the zoom.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScopeGuard>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStandardPaths>
#include <QStyle>
#include <QTableWidget>
#include <QWheelEvent>
#include <QtTest>

#include "gui/app/window_registry.h"
#include "gui/base/language.h"
#include "gui/engine_screen/result_curve_legend.h"
#include "gui/forms/menu_window.h"
#include "gui/visual/visual_screen.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"
#include "gui_test_support.h"

using namespace dosavia::gui;
using dosavia::gui::testing::TempWorkDir;

namespace {

// Free areas of the screens a classroom has: 1024x768 and 1920x1080, less a task bar.
const QRect kProjector(0, 0, 1024, 768);
const QRect kFullHd(0, 0, 1920, 1040);

QWidget* LessonScreen(int n) {
  switch (n) {
    case 1: return &GetMenuWindow();
    case 2: return &GetVisualScreen();
    default: return &GetEngineScreen();
  }
}

double Pixels(const QFont& font) { return font.pointSizeF() * LogicalDpi() / 72.0; }

// What a widget shows as text, empty when it shows none.
QString ShownText(const QWidget* w) {
  if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
  if (const auto* combo = qobject_cast<const QComboBox*>(w)) return combo->currentText();
  if (const auto* list = qobject_cast<const QListWidget*>(w))
    return list->count() > 0 ? list->item(0)->text() : QString();
  if (qobject_cast<const QHeaderView*>(w) || qobject_cast<const QTableWidget*>(w))
    return QStringLiteral("table");
  return {};
}

// The screen as it opens on `area` under the zoom `setting`.
void OpenOn(QWidget* form, const QRect& area, double setting) {
  SetZoomSetting(setting);
  form->show();
  FitToScreenArea(form, area);
}

}  // namespace

class TestZoom : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanup();
  void readablePoints_data();
  void readablePoints();
  void lessonTextReadsFromTheBackRow_data();
  void lessonTextReadsFromTheBackRow();
  void zoomAboveFitScrollsAndSaysSo_data();
  void zoomAboveFitScrollsAndSaysSo();
  void wheelAndFocusScrollTheForm();
  void styleDrawnPartsFollowTheZoom_data();
  void styleDrawnPartsFollowTheZoom();
  void fitGivesTheMenuItsLargestSize();
  void hiddenFormShowsOnTheScreen();

 private:
  std::unique_ptr<TempWorkDir> dir_;
};

void TestZoom::initTestCase() {
  QStandardPaths::setTestModeEnabled(true);
  dir_ = std::make_unique<TempWorkDir>();
  if (!dir_->Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir_->Missing().join(", ")));
}

void TestZoom::cleanup() {
  SetZoomSetting(kZoomToFit);
  for (int n = 1; n <= 3; ++n) LessonScreen(n)->hide();
}

void TestZoom::readablePoints_data() {
  const double least = kMinTextPixels * 72.0 / LogicalDpi();
  QTest::addColumn<double>("design");
  QTest::addColumn<double>("zoom");
  QTest::addColumn<double>("points");
  QTest::newRow("form font at 100 %") << 12.0 << 1.0 << 12.0;
  QTest::newRow("form font, 1024x768 visual screen") << 12.0 << 0.84 << least;
  QTest::newRow("value table, 1024x768 non-visual screen") << 9.0 << 0.77 << least;
  QTest::newRow("value table at 150 %") << 9.0 << 1.5 << 13.5;
  QTest::newRow("non-visual form font, full HD") << 14.25 << 1.32 << 14.25 * 1.32;
  QTest::newRow("least zoom") << 20.0 << kMinZoom << least;
}

void TestZoom::readablePoints() {
  QFETCH(double, design);
  QFETCH(double, zoom);
  QFETCH(double, points);
  QCOMPARE(ReadablePoints(design, zoom), points);
}

void TestZoom::lessonTextReadsFromTheBackRow_data() {
  QTest::addColumn<int>("screen");
  QTest::addColumn<QRect>("area");
  QTest::addColumn<double>("setting");
  QTest::addColumn<bool>("english");
  for (const auto& [area, name] :
       {std::pair{kProjector, "1024x768"}, std::pair{kFullHd, "1920x1080"}})
    for (const auto& [screen, title] :
         {std::pair{1, "menu"}, std::pair{2, "visual"}, std::pair{3, "non-visual"}})
      for (const bool english : {false, true})
        QTest::addRow("%s, %s%s", title, name, english ? ", English" : "")
            << screen << area << kZoomToFit << english;
  // The least zoom step: below the fit, where the least readable size is above the zoom's.
  for (const auto& [screen, title] : {std::pair{2, "visual"}, std::pair{3, "non-visual"}})
    for (const bool english : {false, true})
      QTest::addRow("%s, 1024x768, 75 %%%s", title, english ? ", English" : "")
          << screen << kProjector << 0.75 << english;
}

// Every text of the screen at "fit the screen" is at least kMinTextPixels, the table's
// header and the result list included, and the window still fits the screen. At that size
// and at the least zoom step no caption, check box or field's text is cut off, in either
// language.
void TestZoom::lessonTextReadsFromTheBackRow() {
  QFETCH(int, screen);
  QFETCH(QRect, area);
  QFETCH(double, setting);
  QFETCH(bool, english);
  QWidget* form = LessonScreen(screen);
  SetLanguage(english ? Language::kEnglish : Language::kJapanese, false);
  QCoreApplication::processEvents();
  const auto japanese_again = qScopeGuard([] {
    SetLanguage(Language::kJapanese, false);
    QCoreApplication::processEvents();
  });
  OpenOn(form, area, setting);
  QVERIFY(form->width() <= area.width() && form->height() <= area.height());
  QVERIFY(!FormScrolls(form));
  int checked = 0;
  for (QWidget* w : form->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(form) || ShownText(w).isEmpty()) continue;
    const QString what =
        QStringLiteral("%1 \"%2\"").arg(QLatin1String(w->metaObject()->className()), ShownText(w));
    if (setting == kZoomToFit)
      QVERIFY2(Pixels(w->font()) >= kMinTextPixels - 1e-9,
               qPrintable(what + QStringLiteral(": %1 px").arg(Pixels(w->font()))));
    // No caption is cut off by its larger size.
    if (const auto* label = qobject_cast<const QLabel*>(w);
        label != nullptr && !label->wordWrap() && !Qt::mightBeRichText(label->text()))
      for (const QString& line : label->text().split('\n'))
        QVERIFY2(label->fontMetrics().horizontalAdvance(line) <=
                     label->contentsRect().width() - label->indent() + 1,
                 qPrintable("cut off: " + line));
    // A check box, an option or a caption with a link needs the room its text asks for.
    if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w) ||
        (qobject_cast<const QLabel*>(w) && Qt::mightBeRichText(ShownText(w))))
      QVERIFY2(w->sizeHint().width() <= w->width() + 1,
               qPrintable(
                   what +
                   QStringLiteral(" cut off: %1 > %2").arg(w->sizeHint().width()).arg(w->width())));
    // Whichever item of a box is chosen, it is seen whole.
    if (const auto* combo = qobject_cast<const QComboBox*>(w); combo && combo->isEditable())
      for (int i = 0; i < combo->count(); ++i)
        QVERIFY2(combo->lineEdit()->fontMetrics().horizontalAdvance(combo->itemText(i)) <=
                     combo->lineEdit()->contentsRect().width() - 4,
                 qPrintable(what + " cut off: " + combo->itemText(i)));
    ++checked;
  }
  QVERIFY(checked >= 8);
}

void TestZoom::zoomAboveFitScrollsAndSaysSo_data() {
  QTest::addColumn<int>("screen");
  QTest::addColumn<QRect>("area");
  QTest::addColumn<double>("zoom");
  QTest::addColumn<bool>("scrolls");
  QTest::addColumn<bool>("sideways");
  QTest::newRow("menu, 1024x768, 150 %") << 1 << kProjector << 1.5 << true << true;
  QTest::newRow("visual, 1024x768, 150 %") << 2 << kProjector << 1.5 << true << true;
  QTest::newRow("non-visual, 1024x768, 125 %") << 3 << kProjector << 1.25 << true << true;
  QTest::newRow("non-visual, 1024x768, 150 %") << 3 << kProjector << 1.5 << true << true;
  QTest::newRow("menu, full HD, 150 %: fits, no scrolling")
      << 1 << kFullHd << 1.5 << false << false;
  // Too tall only: the window is wider by the vertical bar, so nothing scrolls sideways.
  QTest::newRow("visual, full HD, 150 %: up and down only") << 2 << kFullHd << 1.5 << true << false;
  QTest::newRow("non-visual, full HD, 200 %") << 3 << kFullHd << 2.0 << true << true;
}

// A zoom above "fit" keeps the contents at that zoom in a window that fits the screen; where
// they do not fit, scroll bars reach every part and a line at the foot says what happens.
void TestZoom::zoomAboveFitScrollsAndSaysSo() {
  QFETCH(int, screen);
  QFETCH(QRect, area);
  QFETCH(double, zoom);
  QFETCH(bool, scrolls);
  QFETCH(bool, sideways);
  QWidget* form = LessonScreen(screen);
  OpenOn(form, area, kZoomToFit);
  const double fit = FormScale(form);
  // Placed low, as a window system may place it: the zoom moves it up so that the foot
  // note and the bar are on the screen under the window's title bar and frame.
  form->move(area.left(), area.top() + area.height() / 10);
  OpenOn(form, area, zoom);
  QVERIFY(form->width() <= area.width() && form->height() <= area.height());
  QVERIFY(form->pos().y() >= area.top());
  QVERIFY2(form->pos().y() + form->height() + kFrameAllowanceHeightPx <= area.bottom() + 1,
           qPrintable(QStringLiteral("foot at %1").arg(form->pos().y() + form->height())));
  QCOMPARE(FormScale(form), zoom);
  QCOMPARE(FormScrolls(form), scrolls);
  if (scrolls) QVERIFY(FormScale(form) > fit);
  auto* note = form->findChild<QLabel*>(QStringLiteral("zoom_scroll_note"));
  QVERIFY(note != nullptr);
  QCOMPARE(note->isVisible(), scrolls);
  bool across = false;
  for (QScrollBar* bar : form->findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly))
    across = across || (bar->orientation() == Qt::Horizontal && bar->isVisible());
  QCOMPARE(across, sideways);
  if (!scrolls) return;
  QVERIFY2(note->text().contains(QString::number(std::lround(zoom * 100))),
           qPrintable(note->text()));
  QVERIFY(Pixels(note->font()) >= kMinTextPixels);
  QVERIFY(note->fontMetrics().horizontalAdvance(note->text()) <= note->width());
  // The foot's strip is covered all across, the corner beside the bars too, so that no track
  // or caption of the contents shows under the view.
  QCOMPARE(note->geometry(), QRect(0, note->y(), form->width(), form->height() - note->y()));

  // The bars reach every part: at the end of a bar's range the far edge of the contents is
  // in sight, and no control lies beyond it.
  const QSizeF content = DesignSize(form) * zoom;
  const auto reach = [form, note] {
    QRect r;
    for (QWidget* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (w->isVisible() && w != note && !qobject_cast<QScrollBar*>(w)) r |= w->geometry();
    return r;
  };
  for (QScrollBar* bar : form->findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly)) {
    if (!bar->isVisible()) continue;
    const bool across = bar->orientation() == Qt::Horizontal;
    const double extent = across ? content.width() : content.height();
    QVERIFY(bar->maximum() + bar->pageStep() >= extent - 1);
    QCOMPARE(bar->pageStep(), across ? bar->x() + bar->width() : note->y());
    bar->setValue(bar->maximum());
    const QRect last = reach();
    QVERIFY2((across ? last.right() : last.bottom()) < bar->pageStep() + 1,
             qPrintable(QStringLiteral("%1 beyond %2")
                            .arg(across ? last.right() : last.bottom())
                            .arg(bar->pageStep())));
    bar->setValue(0);
    QVERIFY((across ? reach().left() : reach().top()) >= 0);
  }
}

// A wheel turn over an empty part scrolls; a control that takes the focus is scrolled into
// sight.
void TestZoom::wheelAndFocusScrollTheForm() {
  VisualScreen& visual = GetVisualScreen();
  OpenOn(&visual, kProjector, 2.0);
  QVERIFY(FormScrolls(&visual));
  QScrollBar* down = nullptr;
  for (QScrollBar* bar : visual.findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly))
    if (bar->orientation() == Qt::Vertical) down = bar;
  QVERIFY(down != nullptr && down->isVisible());
  QCOMPARE(down->value(), 0);
  const int top = visual.go_button->y();
  QWheelEvent turn(QPointF(5, 5), visual.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&visual, &turn);
  QVERIFY(down->value() > 0);
  QCOMPARE(visual.go_button->y(), top - down->value());

  // The exit button at the foot, out of sight, comes into sight when it takes the focus.
  down->setValue(0);
  QPushButton* exit = visual.back_button;
  QVERIFY(exit->geometry().bottom() > visual.height());
  QApplication::setActiveWindow(&visual);
  exit->setFocus(Qt::TabFocusReason);
  if (QApplication::focusWidget() != exit) QSKIP("the platform gives no focus to a window");
  QVERIFY(exit->geometry().bottom() <= visual.height());
}

void TestZoom::styleDrawnPartsFollowTheZoom_data() {
  QTest::addColumn<double>("zoom");
  QTest::newRow("77 %: not below the 100 % size") << 0.77;
  QTest::newRow("100 %") << 1.0;
  QTest::newRow("138 %") << 1.38;
  QTest::newRow("200 %") << 2.0;
}

// Check box and radio button indicators, the slider's handle and the value table's header
// follow the zoom as the captions beside them do.
void TestZoom::styleDrawnPartsFollowTheZoom() {
  QFETCH(double, zoom);
  VisualScreen& visual = GetVisualScreen();
  EngineScreen& engine = GetEngineScreen();
  OpenOn(&visual, zoom < 1 ? kProjector : kFullHd, zoom);
  OpenOn(&engine, zoom < 1 ? kProjector : kFullHd, zoom);
  QCOMPARE(FormScale(&visual), zoom);
  QCOMPARE(FormScale(&engine), zoom);
  QStyle* style = engine.style();
  // The same metric for a widget outside any form is the 100 % size.
  QWidget loose;
  const struct {
    QStyle::PixelMetric metric;
    QWidget* widget;
  } parts[] = {{QStyle::PM_IndicatorWidth, engine.run.own_console_box},
               {QStyle::PM_IndicatorHeight, visual.step_display_box},
               {QStyle::PM_ExclusiveIndicatorWidth, engine.results.field_options[0]},
               {QStyle::PM_SliderLength, visual.speed_slider},
               {QStyle::PM_SliderThickness, visual.speed_slider}};
  for (const auto& part : parts) {
    const int base = style->pixelMetric(part.metric, nullptr, &loose);
    QVERIFY2(base > 0, qPrintable(QString::number(part.metric)));
    QCOMPARE(style->pixelMetric(part.metric, nullptr, part.widget),
             static_cast<int>(std::lround(base * std::max(1.0, zoom))));
  }
  // The check box's drawn box grows with it: its size hint is taller than the font alone.
  QVERIFY(engine.run.own_console_box->sizeHint().width() >
          engine.run.own_console_box->fontMetrics().horizontalAdvance(
              engine.run.own_console_box->text()) +
              style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &loose) * std::max(1.0, zoom) -
              1);
  // The table's header has its own font, which follows too.
  const QHeaderView* header = engine.graph.legend->horizontalHeader();
  QCOMPARE(header->font().pointSizeF(), ReadablePoints(9.0, zoom));
  QCOMPARE(engine.graph.legend->font().pointSizeF(), ReadablePoints(9.0, zoom));
}

// "Fit the screen" gives the menu its largest size that fits: no fixed zoom that fits shows it
// larger, on a projector or a full-HD screen.
void TestZoom::fitGivesTheMenuItsLargestSize() {
  for (const QRect& area : {kProjector, kFullHd}) {
    OpenOn(&GetMenuWindow(), area, kZoomToFit);
    const double fit = FormScale(&GetMenuWindow());
    for (double zoom : {0.75, 1.0, 1.25, 1.5, 1.75, 2.0}) {
      OpenOn(&GetMenuWindow(), area, zoom);
      if (!FormScrolls(&GetMenuWindow()))
        QVERIFY2(FormScale(&GetMenuWindow()) <= fit + 0.01, qPrintable(QString::number(zoom)));
    }
  }
}

// A form moved or rescaled while hidden shows with its title bar and foot on the screen:
// above the top, beyond the foot, past either side.
void TestZoom::hiddenFormShowsOnTheScreen() {
  QWidget* form = LessonScreen(3);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  for (const QPoint& at :
       {QPoint(area.left(), area.top() - 300), QPoint(area.left(), area.bottom()),
        QPoint(area.left() - 5000, area.top()), QPoint(area.right(), area.top())}) {
    form->hide();
    form->resize(area.width() / 2, area.height() / 2);
    form->move(at);
    form->show();
    QVERIFY2(form->pos().y() >= area.top() && form->pos().x() >= area.left(),
             qPrintable(QStringLiteral("at %1,%2").arg(form->pos().x()).arg(form->pos().y())));
    QVERIFY(form->pos().y() + form->height() <= area.bottom() + 1);
    QVERIFY(form->pos().x() + form->width() <= area.right() + 1);
  }
  form->hide();
}

QTEST_MAIN(TestZoom)
#include "tst_zoom.moc"
