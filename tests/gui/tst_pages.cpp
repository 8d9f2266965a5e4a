// The explanation pages, the references page and the spectrum page: navigation between them
// and from the screens, what they read and compute for their figures, and their layout.
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <vector>

#include "gui/app/app_forms.h"
#include "gui/figures/page_depth_dose_figures.h"
#include "gui/forms/explanation_page.h"
#include "gui/forms/form1_menu.h"
#include "gui/forms/form2_visual.h"
#include "gui/forms/form3_spectrum_page.h"
#include "gui/forms/form4_engine_screen.h"
#include "gui/forms/form5_page1.h"
#include "gui/forms/form6_page2.h"
#include "gui/forms/form7_page3.h"
#include "gui/forms/form8_page4.h"
#include "gui/forms/form9_references.h"
#include "gui/forms/form10_page5.h"
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

// The forms of the pages in reading order: page 5 is form 10, read before the references'
// form 9.
constexpr int kPageForms[] = {5, 6, 7, 8, 10, 9};

ExplanationPage* Page(int form) {
  switch (form) {
    case 5: return &GetForm5();
    case 6: return &GetForm6();
    case 7: return &GetForm7();
    case 8: return &GetForm8();
    case 10: return &GetForm10();
    default: return &GetForm9();
  }
}

std::vector<QWidget*> AllPages() {
  std::vector<QWidget*> pages;
  for (int form : kPageForms) pages.push_back(Page(form));
  return pages;
}

// The button of each page that "次頁へ" / "参考文献" is, and its "Exit".
QPushButton* ForwardButton(int page) {
  switch (page) {
    case 5: return GetForm5().Command1;
    case 6: return GetForm6().Command1;
    case 7: return GetForm7().Command1;
    case 8: return GetForm8().Command1;
    case 10: return GetForm10().Command1;
    default: return nullptr;
  }
}

QPushButton* ExitButton(int page) {
  switch (page) {
    case 5: return GetForm5().Command2;
    case 6: return GetForm6().Command2;
    case 7: return GetForm7().Command2;
    case 8: return GetForm8().Command2;
    case 10: return GetForm10().Command2;
    default: return GetForm9().Command1;
  }
}

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
  void pageFourLeadsThroughPageFiveToTheReferencesOnTop();
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
  GetForm3().hide();
  GetForm1().show();
}

void TestPages::forwardButtonShowsTheNextPageOverThisOne_data() {
  QTest::addColumn<int>("page");
  QTest::addColumn<int>("next");
  QTest::addColumn<QString>("caption");
  QTest::newRow("解説-１ 次頁へ") << 5 << 6 << QStringLiteral("次頁へ");
  QTest::newRow("解説-２ 次頁へ") << 6 << 7 << QStringLiteral("次頁へ");
  QTest::newRow("解説-３ 次頁へ") << 7 << 8 << QStringLiteral("次頁へ");
  QTest::newRow("解説-４ 次頁へ") << 8 << 10 << QStringLiteral("次頁へ");
  QTest::newRow("解説-５ 参考文献") << 10 << 9 << QStringLiteral("参考文献");
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
  for (int other : kPageForms)
    if (other != page && other != next) QVERIFY(!Page(other)->isVisible());
}

// Page 5's form comes after the references' form, yet the references open over page 5: when
// a screen is shown, the open pages must come back in reading order, the references on top.
void TestPages::pageFourLeadsThroughPageFiveToTheReferencesOnTop() {
  GetForm8().show();
  GetForm8().Command1->click();
  QVERIFY(GetForm10().isVisible());
  QVERIFY(!GetForm9().isVisible());
  GetForm10().Command1->click();
  QVERIFY(GetForm9().isVisible());
  QVERIFY(GetForm10().isVisible() && GetForm8().isVisible());
  for (std::size_t i = 1; i < std::size(kPageForms); ++i)
    QVERIFY2(Page(kPageForms[i - 1])->StackRank() < Page(kPageForms[i])->StackRank(),
             qPrintable(QStringLiteral("Form%1 is raised over Form%2")
                            .arg(kPageForms[i - 1])
                            .arg(kPageForms[i])));
  QVERIFY(GetForm3().StackRank() < GetForm5().StackRank());
}

void TestPages::secondNextOnlyBringsThePageForward() {
  GetForm5().show();
  GetForm5().Command1->click();
  GetForm6().move(GetForm6().pos() + QPoint(5, 5));
  const QPoint moved = GetForm6().pos();
  GetForm5().Command1->click();
  QVERIFY(GetForm6().isVisible());
  QVERIFY(!GetForm7().isVisible());
  QCOMPARE(GetForm6().pos(), moved);
  QCOMPARE(CountTopLevel([](QWidget* w) { return qobject_cast<Form6*>(w) != nullptr; }), 1);
}

void TestPages::exitHidesAllPagesAndTheProgramGoesOn_data() {
  QTest::addColumn<int>("page");
  for (int page : kPageForms)
    QTest::newRow(qPrintable(QStringLiteral("Exit on Form%1").arg(page))) << page;
}

void TestPages::exitHidesAllPagesAndTheProgramGoesOn() {
  QFETCH(int, page);
  for (QWidget* p : AllPages()) p->show();
  GetForm3().show();
  // The press happens inside the event loop; only the watchdog may end it.
  constexpr int kStillRunning = 42;
  QTimer::singleShot(0, [page] { ExitButton(page)->click(); });
  QTimer::singleShot(300, [] { QCoreApplication::exit(kStillRunning); });
  QCOMPARE(QApplication::exec(), kStillRunning);
  for (QWidget* p : AllPages()) QVERIFY(!p->isVisible());
  QVERIFY(GetForm1().isVisible());
  QVERIFY2(GetForm3().isVisible(), "the spectrum page is not an explanation page");
}

void TestPages::menuExplanationShowsTheFirstPageBesideTheMenu() {
  GetForm1().Command3->click();
  QVERIFY(GetForm5().isVisible());
  QVERIFY(GetForm1().isVisible());
  QVERIFY(!GetForm5().isModal());
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestPages::pagesStayOpenOverTheSimulationScreens() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty()) QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  MessageBoxCatcher catcher;
  GetForm1().Command3->click();
  GetForm5().Command1->click();
  GetForm1().Command1->click();
  QVERIFY(GetForm2().isVisible());
  QTest::qWait(20);  // the pages are raised after the screen's show has been handled
  QVERIFY(GetForm5().isVisible() && GetForm6().isVisible());
  GetForm2().Command7->click();
  GetForm1().Command6->click();
  QVERIFY(GetForm4().isVisible());
  QTest::qWait(20);
  QVERIFY(GetForm5().isVisible() && GetForm6().isVisible());
  GetForm6().Command2->click();
  QVERIFY(!GetForm5().isVisible() && !GetForm6().isVisible());
  QVERIFY(GetForm4().isVisible());
  QVERIFY(catcher.Messages().empty());
  GetForm4().hide();
}

void TestPages::spectrumPageOpensWithoutBlockingTheVisualScreen() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty()) QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  GetForm1().Command1->click();
  Form2& screen = GetForm2();
  screen.Command5->click();
  QVERIFY(GetForm3().isVisible());
  QVERIFY(!GetForm3().isModal());
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
  // The screen goes on working while the page is open.
  QVERIFY(screen.isVisible() && screen.isEnabled());
  screen.Command1->click();
  QVERIFY(screen.Command3->isEnabled());
  GetForm3().Command1->click();
  QVERIFY(!GetForm3().isVisible());
  QVERIFY(screen.isVisible());
  // Returning to the menu closes the page with the screen.
  screen.Command5->click();
  screen.Command7->click();
  QVERIFY(!GetForm3().isVisible());
  QVERIFY(GetForm1().isVisible());
}

void TestPages::spectrumPageReadsTheFilesEachTimeItIsShown() {
  TempWorkDir dir;
  std::vector<double> weights(400, 0.0);
  weights[19] = 2.0;  // bin 20 at 0.975 MeV, the largest
  weights[49] = 0.5;  // bin 50 at 2.475 MeV, the last
  dir.Write("4MV.csv", SpectrumText(weights));
  QFile::remove(dir.Path("15MV.csv"));
  GetForm3().show();
  const SpectrumGraph& graph = *GetForm3().Picture1;
  QCOMPARE(graph.Curves().size(), std::size_t{3});
  QCOMPARE(graph.Problems().size(), 1);
  QVERIFY(graph.Problems()[0].contains(QStringLiteral("15MV.csv")));
  const SpectrumCurve& four = graph.Curves()[0];
  QCOMPARE(four.label, QStringLiteral("4 MV"));
  QCOMPARE(four.points.size(), std::size_t{400});
  QCOMPARE(four.points[19].y(), 1.0);
  QCOMPARE(four.points[49].y(), 0.25);
  QCOMPARE(four.end_point_mev, 2.475);

  GetForm3().hide();
  dir.Write("15MV.csv", SpectrumText(weights));
  GetForm3().show();
  QCOMPARE(graph.Curves().size(), std::size_t{4});
  QVERIFY(graph.Problems().isEmpty());
}

void TestPages::shippedSpectraEndAtTheirNominalEnergies() {
  TempWorkDir dir;
  if (!dir.Missing().isEmpty()) QSKIP(qPrintable("data files missing: " + dir.Missing().join(", ")));
  GetForm3().show();
  const std::vector<SpectrumCurve>& curves = GetForm3().Picture1->Curves();
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
  QTest::addColumn<int>("form");
  for (int form : {3, 5, 6, 7, 8, 10, 9}) QTest::addRow("Form%d", form) << form;
}

// Every label's text fits its label with room to spare for a wider Japanese face, and no
// control overlaps another or reaches outside the form.
void TestPages::pagesAndFiguresFitTheirForms() {
  QFETCH(int, form);
  TempWorkDir dir;
  QWidget* page = form == 3 ? static_cast<QWidget*>(&GetForm3()) : Page(form);
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
    if (auto* label = qobject_cast<QLabel*>(child); label != nullptr && !label->text().isEmpty()) {
      const int advance = QFontMetrics(label->font()).horizontalAdvance(label->text());
      QVERIFY2(advance <= kRoomForOtherFaces * label->width(),
               qPrintable(QStringLiteral("too long for its label: ") + label->text()));
      QVERIFY(QFontMetrics(label->font()).height() <= label->height());
    }
  }
  for (std::size_t i = 0; i < controls.size(); ++i)
    for (std::size_t j = i + 1; j < controls.size(); ++j)
      QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
               qPrintable(QStringLiteral("overlap: ") +
                          (qobject_cast<QLabel*>(controls[i]) ? qobject_cast<QLabel*>(controls[i])->text()
                                                              : QString::fromLatin1(controls[i]->metaObject()->className())) +
                          QStringLiteral(" / ") +
                          (qobject_cast<QLabel*>(controls[j]) ? qobject_cast<QLabel*>(controls[j])->text()
                                                              : QString::fromLatin1(controls[j]->metaObject()->className()))));
  page->hide();
}

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
