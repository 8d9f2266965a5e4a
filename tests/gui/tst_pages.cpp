// The explanation pages, the references page and the spectrum page: navigation between them
// and from the screens, what they read and compute for their figures, and their layout.
#include <QFontMetrics>
#include <QLabel>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <functional>
#include <vector>

#include "gui/app/window_registry.h"
#include "gui/base/language.h"
#include "gui/figures/figure_frame.h"
#include "gui/figures/page_depth_dose_figures.h"
#include "gui/forms/explanation_page.h"
#include "gui/forms/menu_window.h"
#include "gui/visual/visual_screen.h"
#include "gui/forms/spectrum_page.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui/forms/references_page.h"
#include "gui/widgets/form_scaler.h"
#include "gui/figures/spectrum_graph.h"
#include "gui/figures/unit_volume_figures.h"
#include "gui_test_support.h"

using namespace dosavia;
using namespace dosavia::gui;
using dosavia::gui::testing::MessageBoxCatcher;
using dosavia::gui::testing::SpectrumText;
using dosavia::gui::testing::TempWorkDir;

namespace {

// The pages in reading order: the explanation pages 1-6, then the references.
constexpr int kReferences = kExplanationPageCount + 1;
constexpr int kPagesInOrder[] = {1, 2, 3, 4, 5, 6, kReferences};

TextPage* Page(int page) {
  if (page == kReferences) return &GetReferencesPage();
  return &GetExplanationPage(page);
}

std::vector<QWidget*> AllPages() {
  std::vector<QWidget*> pages;
  for (int page : kPagesInOrder) pages.push_back(Page(page));
  return pages;
}

// The button of each page that "次頁へ" / "参考文献" is, and its "Exit".
QPushButton* ForwardButton(int page) {
  return page == kReferences ? nullptr : GetExplanationPage(page).next_button;
}

QPushButton* ExitButton(int page) {
  return page == kReferences ? GetReferencesPage().exit_button
                             : GetExplanationPage(page).exit_button;
}

// A text a figure drew: its words, its size on the screen [px] and the box it took there.
struct DrawnText {
  QString text;
  double pixels;
  QRectF box;
};

// A paint device that keeps the texts painted on it instead of drawing them, so that a
// figure's labels can be measured as the screen shows them, through every scale and rotation.
class TextRecorder : public QPaintDevice {
 public:
  explicit TextRecorder(QSize size) : size_(size), engine_(this) {}
  QPaintEngine* paintEngine() const override { return &engine_; }
  const std::vector<DrawnText>& Texts() const { return texts_; }

 protected:
  int metric(PaintDeviceMetric metric) const override {
    const int dpi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
    switch (metric) {
      case PdmWidth: return size_.width();
      case PdmHeight: return size_.height();
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY: return dpi;
      case PdmDepth: return 32;
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
      default: return QPaintDevice::metric(metric);
    }
  }

 private:
  class Engine : public QPaintEngine {
   public:
    explicit Engine(TextRecorder* owner) : QPaintEngine(AllFeatures), owner_(owner) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath&) override {}
    void drawTextItem(const QPointF& at, const QTextItem& item) override {
      const QTransform t = painter()->combinedTransform();
      const QFont font = item.font();
      const double dpi = owner_->logicalDpiY();
      const double size = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * dpi / 72;
      const QRectF box = t.mapRect(
          QRectF(at.x(), at.y() - item.ascent(), item.width(), item.ascent() + item.descent()));
      // The face breaks a line into runs of one script each; a run that goes on where the last
      // ended (across, or up the page for a rotated title) is the same words.
      std::vector<DrawnText>& texts = owner_->texts_;
      if (!texts.empty()) {
        QRectF& last = texts.back().box;
        const auto near = [](double a, double b) { return std::abs(a - b) < 0.01; };
        if ((near(box.left(), last.right()) && near(box.top(), last.top())) ||
            (near(box.bottom(), last.top()) && near(box.left(), last.left()))) {
          texts.back().text += item.text();
          last = last.united(box);
          return;
        }
      }
      texts.push_back({item.text(), size * std::hypot(t.m21(), t.m22()), box});
    }
    Type type() const override { return User; }

   private:
    TextRecorder* owner_;
  };

  QSize size_;
  mutable Engine engine_;
  std::vector<DrawnText> texts_;
};

int CountTopLevel(const std::function<bool(QWidget*)>& is) {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) n += is(w) ? 1 : 0;
  return n;
}

}  // namespace

class TestPages : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void forwardButtonShowsTheNextPageOverThisOne_data();
  void forwardButtonShowsTheNextPageOverThisOne();
  void secondNextOnlyBringsThePageForward();
  void pageFourLeadsThroughPagesFiveAndSixToTheReferencesOnTop();
  void exitHidesAllPagesAndTheProgramGoesOn_data();
  void exitHidesAllPagesAndTheProgramGoesOn();
  void menuExplanationShowsTheFirstPageBesideTheMenu();
  void pagesStayOpenOverTheSimulationScreens();
  void spectrumPageOpensWithoutBlockingTheVisualScreen();
  void spectrumPageReadsTheFilesEachTimeItIsShown();
  void shippedSpectraEndAtTheirNominalEnergies();
  void pagesAndFiguresFitTheirForms_data();
  void pagesAndFiguresFitTheirForms();
};

void TestPages::init() {
  HideExplanationPages();
  GetSpectrumPage().hide();
  GetMenuWindow().show();
}

void TestPages::forwardButtonShowsTheNextPageOverThisOne_data() {
  QTest::addColumn<int>("page");
  QTest::addColumn<int>("next");
  QTest::addColumn<QString>("caption");
  QTest::newRow("解説-１ 次頁へ") << 1 << 2 << QStringLiteral("次頁へ");
  QTest::newRow("解説-２ 次頁へ") << 2 << 3 << QStringLiteral("次頁へ");
  QTest::newRow("解説-３ 次頁へ") << 3 << 4 << QStringLiteral("次頁へ");
  QTest::newRow("解説-４ 次頁へ") << 4 << 5 << QStringLiteral("次頁へ");
  QTest::newRow("解説-５ 次頁へ") << 5 << 6 << QStringLiteral("次頁へ");
  QTest::newRow("解説-６ 参考文献") << 6 << kReferences << QStringLiteral("参考文献");
}

void TestPages::forwardButtonShowsTheNextPageOverThisOne() {
  QFETCH(int, page);
  QFETCH(int, next);
  QFETCH(QString, caption);
  QCOMPARE(ForwardButton(page)->text(), caption);
  Page(page)->show();
  ForwardButton(page)->click();
  QVERIFY(Page(next)->isVisible());
  QVERIFY2(Page(page)->isVisible(), "the page stays open beneath the next one");
  for (int other : kPagesInOrder)
    if (other != page && other != next) QVERIFY(!Page(other)->isVisible());
}

// The references open over page 6: when a screen is shown, the open pages must come back in
// reading order, the references on top.
void TestPages::pageFourLeadsThroughPagesFiveAndSixToTheReferencesOnTop() {
  GetExplanationPage(4).show();
  GetExplanationPage(4).next_button->click();
  QVERIFY(GetExplanationPage(5).isVisible());
  GetExplanationPage(5).next_button->click();
  QVERIFY(GetExplanationPage(6).isVisible());
  QVERIFY(!GetReferencesPage().isVisible());
  GetExplanationPage(6).next_button->click();
  QVERIFY(GetReferencesPage().isVisible());
  QVERIFY(GetExplanationPage(6).isVisible() && GetExplanationPage(5).isVisible() &&
          GetExplanationPage(4).isVisible());
  for (std::size_t i = 1; i < std::size(kPagesInOrder); ++i)
    QVERIFY2(Page(kPagesInOrder[i - 1])->StackRank() < Page(kPagesInOrder[i])->StackRank(),
             qPrintable(QStringLiteral("page %1 is raised over page %2")
                            .arg(kPagesInOrder[i - 1])
                            .arg(kPagesInOrder[i])));
  QVERIFY(GetSpectrumPage().StackRank() < GetExplanationPage(1).StackRank());
}

void TestPages::secondNextOnlyBringsThePageForward() {
  GetExplanationPage(1).show();
  GetExplanationPage(1).next_button->click();
  GetExplanationPage(2).move(GetExplanationPage(2).pos() + QPoint(5, 5));
  const QPoint moved = GetExplanationPage(2).pos();
  GetExplanationPage(1).next_button->click();
  QVERIFY(GetExplanationPage(2).isVisible());
  QVERIFY(!GetExplanationPage(3).isVisible());
  QCOMPARE(GetExplanationPage(2).pos(), moved);
  QCOMPARE(CountTopLevel([](QWidget* w) {
             const auto* page = qobject_cast<ExplanationPage*>(w);
             return page != nullptr && page->Number() == 2;
           }),
           1);
}

void TestPages::exitHidesAllPagesAndTheProgramGoesOn_data() {
  QTest::addColumn<int>("page");
  for (int page : kPagesInOrder)
    QTest::newRow(qPrintable(QStringLiteral("Exit on page %1").arg(page))) << page;
}

void TestPages::exitHidesAllPagesAndTheProgramGoesOn() {
  QFETCH(int, page);
  for (QWidget* p : AllPages()) p->show();
  GetSpectrumPage().show();
  // The press happens inside the event loop; only the watchdog may end it.
  constexpr int kStillRunning = 42;
  QTimer::singleShot(0, [page] { ExitButton(page)->click(); });
  QTimer::singleShot(300, [] { QCoreApplication::exit(kStillRunning); });
  QCOMPARE(QApplication::exec(), kStillRunning);
  for (QWidget* p : AllPages()) QVERIFY(!p->isVisible());
  QVERIFY(GetMenuWindow().isVisible());
  QVERIFY2(GetSpectrumPage().isVisible(), "the spectrum page is not an explanation page");
}

void TestPages::menuExplanationShowsTheFirstPageBesideTheMenu() {
  GetMenuWindow().explanation_button->click();
  QVERIFY(GetExplanationPage(1).isVisible());
  QVERIFY(GetMenuWindow().isVisible());
  QVERIFY(!GetExplanationPage(1).isModal());
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestPages::pagesStayOpenOverTheSimulationScreens() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  MessageBoxCatcher catcher;
  GetMenuWindow().explanation_button->click();
  GetExplanationPage(1).next_button->click();
  GetMenuWindow().visual_button->click();
  QVERIFY(GetVisualScreen().isVisible());
  QTest::qWait(20);  // the pages are raised after the screen's show has been handled
  QVERIFY(GetExplanationPage(1).isVisible() && GetExplanationPage(2).isVisible());
  GetVisualScreen().back_button->click();
  GetMenuWindow().engine_button->click();
  QVERIFY(GetEngineScreen().isVisible());
  QTest::qWait(20);
  QVERIFY(GetExplanationPage(1).isVisible() && GetExplanationPage(2).isVisible());
  GetExplanationPage(2).exit_button->click();
  QVERIFY(!GetExplanationPage(1).isVisible() && !GetExplanationPage(2).isVisible());
  QVERIFY(GetEngineScreen().isVisible());
  QVERIFY(catcher.Messages().empty());
  GetEngineScreen().hide();
}

void TestPages::spectrumPageOpensWithoutBlockingTheVisualScreen() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  GetMenuWindow().visual_button->click();
  VisualScreen& screen = GetVisualScreen();
  screen.spectrum_button->click();
  QVERIFY(GetSpectrumPage().isVisible());
  QVERIFY(!GetSpectrumPage().isModal());
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
  // The screen goes on working while the page is open.
  QVERIFY(screen.isVisible() && screen.isEnabled());
  screen.ok_button->click();
  QVERIFY(screen.go_button->isEnabled());
  GetSpectrumPage().close_button->click();
  QVERIFY(!GetSpectrumPage().isVisible());
  QVERIFY(screen.isVisible());
  // Returning to the menu closes the page with the screen.
  screen.spectrum_button->click();
  screen.back_button->click();
  QVERIFY(!GetSpectrumPage().isVisible());
  QVERIFY(GetMenuWindow().isVisible());
}

void TestPages::spectrumPageReadsTheFilesEachTimeItIsShown() {
  TempWorkDir dir;
  std::vector<double> weights(400, 0.0);
  weights[19] = 2.0;  // bin 20 at 0.975 MeV, the largest
  weights[49] = 0.5;  // bin 50 at 2.475 MeV, the last
  dir.Write("4MV.csv", SpectrumText(weights));
  QFile::remove(dir.Path("15MV.csv"));
  GetSpectrumPage().show();
  const SpectrumGraph& graph = *GetSpectrumPage().graph;
  QCOMPARE(graph.Curves().size(), std::size_t{3});
  QCOMPARE(graph.Problems().size(), 1);
  QVERIFY(graph.Problems()[0].contains(QStringLiteral("15MV.csv")));
  const SpectrumCurve& four = graph.Curves()[0];
  QCOMPARE(four.label, QStringLiteral("4 MV"));
  QCOMPARE(four.points.size(), std::size_t{400});
  QCOMPARE(four.points[19].y(), 1.0);
  QCOMPARE(four.points[49].y(), 0.25);
  QCOMPARE(four.end_point_mev, 2.475);

  GetSpectrumPage().hide();
  dir.Write("15MV.csv", SpectrumText(weights));
  GetSpectrumPage().show();
  QCOMPARE(graph.Curves().size(), std::size_t{4});
  QVERIFY(graph.Problems().isEmpty());
}

void TestPages::shippedSpectraEndAtTheirNominalEnergies() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  GetSpectrumPage().show();
  const std::vector<SpectrumCurve>& curves = GetSpectrumPage().graph->Curves();
  QCOMPARE(curves.size(), std::size_t{4});
  const double nominal[] = {4, 6, 10, 15};
  for (std::size_t k = 0; k < curves.size(); ++k) {
    // The last bin with photons is the one just below the electrons' energy.
    QVERIFY2(curves[k].end_point_mev > nominal[k] - 0.1 && curves[k].end_point_mev < nominal[k],
             qPrintable(curves[k].label));
    double largest = 0;
    for (const QPointF& p : curves[k].points) largest = std::max(largest, p.y());
    QCOMPARE(largest, 1.0);
  }
}

void TestPages::pagesAndFiguresFitTheirForms_data() {
  QTest::addColumn<int>("page_number");  // 0: the spectrum page
  QTest::addRow("spectrum page") << 0;
  for (int page : kPagesInOrder) QTest::addRow("page %d", page) << page;
}

// Every label's text fits its label with room to spare for a wider Japanese face, and no
// control overlaps another or reaches outside the form; the figures' texts stay readable at
// 1024x768 without running into each other.
void TestPages::pagesAndFiguresFitTheirForms() {
  QFETCH(int, page_number);
  TempWorkDir dir;
  QWidget* page = page_number == 0 ? static_cast<QWidget*>(&GetSpectrumPage()) : Page(page_number);
  page->show();
  // The layout at 100 %; other sizes are checked with the other forms in tst_classroom.
  page->resize(DesignSize(page).toSize());

  constexpr double kRoomForOtherFaces = 0.94;
  std::vector<QWidget*> controls;
  for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!child->isVisible()) continue;
    controls.push_back(child);
    QVERIFY2(page->rect().contains(child->geometry()),
             qPrintable(child->metaObject()->className() + QStringLiteral(" outside the form")));
    if (auto* label = qobject_cast<QLabel*>(child); label != nullptr && label->wordWrap()) {
      // A note in lines: they all lie inside its box.
      QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
               qPrintable(QStringLiteral("too long for its label: ") + label->text()));
    } else if (label != nullptr && !label->text().isEmpty()) {
      const int advance = QFontMetrics(label->font()).horizontalAdvance(label->text());
      QVERIFY2(advance <= kRoomForOtherFaces * label->width(),
               qPrintable(QStringLiteral("too long for its label: ") + label->text()));
      QVERIFY(QFontMetrics(label->font()).height() <= label->height());
    }
  }
  // Where a 1024x768 projector opens the page, in both languages, every text of its figures
  // reaches the screen at the least readable size, inside its figure and clear of the others.
  const QRect projector(0, 0, 1024, 768);
  const double projector_zoom =
      StartZoom(DesignSize(page), projector, kZoomToFit, StartFit::kWithinVisualScreen);
  QStringList faults;
  // The design size too, where the text is held up less and the layout differs.
  for (const double zoom : {projector_zoom, 1.0})
    for (const Language language : {Language::kJapanese, Language::kEnglish}) {
      page->resize((DesignSize(page) * zoom).toSize());
      QCoreApplication::sendPostedEvents();
      SetLanguage(language, false);
      for (FigureFrame* figure : page->findChildren<FigureFrame*>()) {
        TextRecorder drawn(figure->size());
        QPainter painter(&drawn);
        figure->render(&painter);
        painter.end();
        const QRectF inside = QRectF(figure->rect()).adjusted(-0.5, -0.5, 0.5, 0.5);
        const std::vector<DrawnText>& texts = drawn.Texts();
        QVERIFY(!texts.empty());
        for (std::size_t i = 0; i < texts.size(); ++i) {
          const QString what = QStringLiteral("%1 at %2: \"%3\"")
                                   .arg(QLatin1String(figure->metaObject()->className()))
                                   .arg(zoom)
                                   .arg(texts[i].text);
          if (texts[i].pixels < kMinTextPixels - 1e-6)
            faults << what + QStringLiteral(" %1 px").arg(texts[i].pixels);
          if (!inside.contains(texts[i].box)) faults << what + QStringLiteral(" leaves its figure");
          // Words a space apart across; a pixel of each box above and below is the face's own
          // spare room.
          const QRectF room = texts[i].box.adjusted(-1, 1, 1, -1);
          for (std::size_t j = i + 1; j < texts.size(); ++j)
            if (room.intersects(texts[j].box.adjusted(-1, 1, 1, -1)))
              faults << what + QStringLiteral(" runs into \"%1\"").arg(texts[j].text);
        }
      }
    }
  QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
  SetLanguage(Language::kJapanese, false);
  page->resize(DesignSize(page).toSize());

  for (std::size_t i = 0; i < controls.size(); ++i)
    for (std::size_t j = i + 1; j < controls.size(); ++j)
      QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
               qPrintable(QStringLiteral("overlap: ") +
                          (qobject_cast<QLabel*>(controls[i])
                               ? qobject_cast<QLabel*>(controls[i])->text()
                               : QString::fromLatin1(controls[i]->metaObject()->className())) +
                          QStringLiteral(" / ") +
                          (qobject_cast<QLabel*>(controls[j])
                               ? qobject_cast<QLabel*>(controls[j])->text()
                               : QString::fromLatin1(controls[j]->metaObject()->className()))));
  page->hide();
}

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
