// The forms in a classroom: every form scales with its window and keeps its controls inside
// and their captions readable, the start zoom fits the screen, the combo boxes keep what is
// typed, the non-visual screen's close box returns to the menu, the focused button shows a
// frame, and file problems are reported in Japanese with odd bytes escaped.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

#include "gui/app/window_registry.h"
#include "gui/forms/menu_window.h"
#include "gui/visual/visual_screen.h"
#include "gui/forms/spectrum_page.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui/forms/explanation_page.h"
#include "gui/forms/references_page.h"
#include "gui/widgets/form_scaler.h"
#include "gui/base/message_text.h"
#include "gui/base/language.h"
#include "records/free_format.h"
#include "records/input_error.h"
#include "gui/visual/visual_batch_run.h"
#include "gui_test_support.h"

using namespace dosavia;
using namespace dosavia::gui;
using dosavia::gui::testing::MessageBoxCatcher;
using dosavia::gui::testing::TempWorkDir;

namespace {

// The program's windows by the names the screenshots give them.
const char* const kWindowNames[] = {"menu",   "visual", "spectra", "non-visual", "page 1",
                                    "page 2", "page 3", "page 4",  "page 5",     "references"};

QWidget* WindowNamed(const QString& name) {
  if (name == QLatin1String("menu")) return &GetMenuWindow();
  if (name == QLatin1String("visual")) return &GetVisualScreen();
  if (name == QLatin1String("spectra")) return &GetSpectrumPage();
  if (name == QLatin1String("non-visual")) return &GetEngineScreen();
  if (name.startsWith(QLatin1String("page "))) return &GetExplanationPage(name.mid(5).toInt());
  return &GetReferencesPage();
}

QString NameOf(const QWidget* w) {
  if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
  return QString::fromLatin1(w->metaObject()->className());
}

}  // namespace

class TestClassroom : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void formsScaleAndKeepTheirControlsInside_data();
  void formsScaleAndKeepTheirControlsInside();
  void startZoomFitsTheScreen_data();
  void startZoomFitsTheScreen();
  void zoomSettingResizesTheFormsAndIsRemembered();
  void comboBoxesKeepWhatIsTyped_data();
  void comboBoxesKeepWhatIsTyped();
  void closingTheNonVisualScreenReturnsToTheMenu();
  void focusedButtonShowsAFrame();
  void fileProblemsAreSaidInTheInterfaceLanguage_data();
  void fileProblemsAreSaidInTheInterfaceLanguage();

 private:
  std::unique_ptr<TempWorkDir> dir_;
};

void TestClassroom::initTestCase() {
  QStandardPaths::setTestModeEnabled(true);
  dir_ = std::make_unique<TempWorkDir>();
  if (!dir_->Missing().isEmpty())
    QSKIP(qPrintable("data files missing: " + dir_->Missing().join(", ")));
}

void TestClassroom::formsScaleAndKeepTheirControlsInside_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<double>("scale");
  QTest::addColumn<double>("aspect");  // window width / height relative to the design
  for (const char* name : kWindowNames)
    for (const auto& [scale, aspect] :
         {std::pair{0.75, 1.0}, std::pair{1.0, 1.0}, std::pair{1.6, 1.0}, std::pair{1.2, 1.4}})
      QTest::addRow("%s at %g, aspect %g", name, scale, aspect)
          << QString::fromLatin1(name) << scale << aspect;
}

// At any size every control lies inside the window, captions fit their labels, and fonts
// follow the scale of the smaller side, never below the least readable size.
void TestClassroom::formsScaleAndKeepTheirControlsInside() {
  QFETCH(QString, name);
  QFETCH(double, scale);
  QFETCH(double, aspect);
  QWidget* window = WindowNamed(name);
  const QSizeF design = DesignSize(window);
  QVERIFY(!design.isEmpty());
  window->show();
  window->resize(QSizeF(design.width() * scale * aspect, design.height() * scale).toSize());
  QCOMPARE(FormScale(window),
           std::min(window->width() / design.width(), window->height() / design.height()));
  QVERIFY(std::abs(FormScale(window) - scale) < 0.01);
  const double points = window == &GetEngineScreen() ? 14.25 : 12.0;
  QVERIFY(std::abs(window->font().pointSizeF() - ReadablePoints(points, FormScale(window))) < 0.01);
  // Buttons in the graphical style follow too, though a style sheet stops the inheritance.
  for (QPushButton* button : window->findChildren<QPushButton*>())
    if (!button->text().isEmpty())
      QVERIFY2(
          std::abs(button->font().pointSizeF() - ReadablePoints(points, FormScale(window))) < 0.01,
          qPrintable(button->text()));

  QList<QWidget*> controls = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QGroupBox* box : window->findChildren<QGroupBox*>())
    for (QWidget* inner : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      controls.push_back(inner);
  for (QWidget* control : controls) {
    if (control->isWindow() || control->isHidden()) continue;
    QVERIFY2(control->parentWidget()->rect().contains(control->geometry()),
             qPrintable(NameOf(control) + " lies outside"));
    const auto* label = qobject_cast<QLabel*>(control);
    if (label == nullptr || label->text().isEmpty() || label->textFormat() == Qt::RichText ||
        label->text().contains('<'))
      continue;
    // A note that breaks into lines needs their height, not the width of one.
    if (label->wordWrap()) {
      QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
               qPrintable(QStringLiteral("too long for its label: ") + label->text()));
      continue;
    }
    // Hinting makes small sizes a little wider than the scale alone would.
    constexpr double kHintingRoom = 1.04;
    const int advance = QFontMetrics(label->font()).horizontalAdvance(label->text());
    QVERIFY2(advance <= kHintingRoom * label->width() + label->indent() + 2,
             qPrintable(QStringLiteral("too long for its label: ") + label->text()));
  }
}

void TestClassroom::startZoomFitsTheScreen_data() {
  QTest::addColumn<QSizeF>("design");
  QTest::addColumn<QRect>("available");
  QTest::addColumn<double>("setting");
  QTest::addColumn<double>("zoom");
  QTest::addColumn<int>("fit");
  const int kUnder = static_cast<int>(StartFit::kNotAboveVisualScreen);
  const int kWithin = static_cast<int>(StartFit::kWithinVisualScreen);
  const int kOwn = static_cast<int>(StartFit::kOwn);
  const QSizeF visual(1200, 842);
  const QSizeF non_visual(1295, 602);
  const QSizeF menu(1043, 496);
  const QRect xga(0, 0, 1024, 768);
  const QRect full_hd(0, 0, 1920, 1040);
  QTest::newRow("visual screen, 1024x768") << visual << xga << kZoomToFit << 0.84 << kUnder;
  QTest::newRow("non-visual screen, 1024x768") << non_visual << xga << kZoomToFit << 0.77 << kUnder;
  QTest::newRow("page follows the visual screen") << menu << xga << kZoomToFit << 0.84 << kUnder;
  // An explanation page as wide as the menu and lower stays within the visual screen's
  // window at a larger zoom than the visual screen's; one wider takes the visual screen's.
  QTest::newRow("explanation page within the visual screen")
      << menu << xga << kZoomToFit << 0.96 << kWithin;
  QTest::newRow("explanation page wider than the visual screen, full HD")
      << non_visual << full_hd << kZoomToFit << 1.17 << kWithin;
  // The menu, which no screen lies under, is as large as fits: larger than at any fixed zoom.
  QTest::newRow("menu fits on its own") << menu << xga << kZoomToFit << 0.96 << kOwn;
  QTest::newRow("menu at a fixed zoom, capped") << menu << xga << 1.5 << 0.96 << kOwn;
  QTest::newRow("visual screen, full HD") << visual << full_hd << kZoomToFit << 1.17 << kUnder;
  QTest::newRow("fixed zoom where it fits") << visual << full_hd << 1.1 << 1.1 << kUnder;
  QTest::newRow("fixed zoom too large for the screen") << visual << xga << 1.5 << 0.84 << kUnder;
  QTest::newRow("tiny screen stops at the least zoom")
      << visual << QRect(0, 0, 400, 300) << kZoomToFit << kMinZoom << kUnder;
  QTest::newRow("huge screen stops at the largest zoom")
      << menu << QRect(0, 0, 7680, 4320) << kZoomToFit << kMaxZoom << kUnder;
}

void TestClassroom::startZoomFitsTheScreen() {
  QFETCH(QSizeF, design);
  QFETCH(QRect, available);
  QFETCH(double, setting);
  QFETCH(double, zoom);
  QFETCH(int, fit);
  QCOMPARE(StartZoom(design, available, setting, static_cast<StartFit>(fit)), zoom);
}

void TestClassroom::zoomSettingResizesTheFormsAndIsRemembered() {
  QWidget* pages[] = {&GetSpectrumPage(), &GetReferencesPage()};
  for (double zoom : {0.75, kZoomToFit}) {
    SetZoomSetting(zoom);
    QCOMPARE(ZoomSetting(), zoom);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // The window is whole pixels: the scale is the zoom to within a pixel.
    for (QWidget* page : pages)
      QVERIFY(std::abs(FormScale(page) - StartZoom(DesignSize(page), screen, zoom)) < 0.005);
  }
  SetZoomSetting(7.0);  // outside the range: back to fitting
  QCOMPARE(ZoomSetting(), kZoomToFit);
}

void TestClassroom::comboBoxesKeepWhatIsTyped_data() {
  QTest::addColumn<QComboBox*>("box");
  QTest::addColumn<QString>("typed");
  for (const char* count : {"1000000", "3000000", "5000000", "1", "100"})
    QTest::addRow("non-visual count %s", count)
        << GetEngineScreen().run.photon_count_box << QString::fromLatin1(count);
  QTest::newRow("non-visual energy 1") << GetEngineScreen().run.energy_box << "1";
  QTest::newRow("visual energy 1") << GetVisualScreen().energy_box << "1";
  QTest::newRow("visual field 1") << GetVisualScreen().field_box << "1";
}

void TestClassroom::comboBoxesKeepWhatIsTyped() {
  QFETCH(QComboBox*, box);
  QFETCH(QString, typed);
  const int items = box->count();
  box->lineEdit()->clear();
  QTest::keyClicks(box->lineEdit(), typed);
  QCOMPARE(box->currentText(), typed);
  QTest::keyClick(box->lineEdit(), Qt::Key_Return);
  QCOMPARE(box->currentText(), typed);
  QCOMPARE(box->count(), items);
}

void TestClassroom::closingTheNonVisualScreenReturnsToTheMenu() {
  dir_->Write("Joken.dat", "10MV.csv\r\n10MV-30M.data\r\n3.00E+07\r\n");
  GetMenuWindow().show();
  GetMenuWindow().engine_button->click();
  EngineScreen& screen = GetEngineScreen();
  QVERIFY(screen.isVisible());
  QVERIFY(!screen.close());
  QVERIFY(!screen.isVisible());
  QVERIFY(GetMenuWindow().isVisible());
  QVERIFY(!QFile::exists(dir_->Path("Joken.dat")));
}

void TestClassroom::focusedButtonShowsAFrame() {
  MenuWindow& menu = GetMenuWindow();
  menu.show();
  QVERIFY(QTest::qWaitForWindowExposed(&menu));
  QPushButton* button = menu.explanation_button;
  const auto frame_pixels = [button] {
    const QImage image = button->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == QColor(0, 60, 190);
    return n;
  };
  menu.visual_button->setFocus();
  const int unfocused = frame_pixels();
  button->setFocus();
  QVERIFY(button->hasFocus());
  QCOMPARE(unfocused, 0);
  QVERIFY(frame_pixels() > 2 * (button->width() + button->height()));
}

namespace {

// The problems of the rows below, as the readers raise them.
dosavia::Problem RowProblem(const QByteArray& row) {
  using dosavia::Problem;
  using dosavia::ProblemField;
  using dosavia::ProblemKind;
  if (row == "binary name and value escaped") {
    // The free-format reader quotes what it could not read, escaped.
    try {
      double v = 0;
      dosavia::FreeFormatReader("a\x01\xff.data", "\x1b[2J").Next(v);
    } catch (const dosavia::InputError& e) {
      return e.problem();
    }
  }
  if (row == "negative weight") {
    Problem p(ProblemKind::kWeightInvalid);
    return p.In("10MV.csv", 12).At(ProblemField::NthRecord(12));
  }
  if (row == "missing file, no line") return Problem(ProblemKind::kCannotOpen).In("7MV.csv");
  if (row == "x must ascend") {
    Problem p(ProblemKind::kXMustAscend);
    return p.In("water20.dat", 20).At(ProblemField::Data(1, "E10.3"));
  }
  if (row == "first x") {
    Problem p(ProblemKind::kFirstXMustBeZero);
    return p.In("water20.dat", 10).At(ProblemField::Data(1, "E10.3"));
  }
  if (row == "energy must be positive") {
    Problem p(ProblemKind::kEnergyMustBePositive);
    return p.In("ELDAT.dat", 217).At(ProblemField::Data(2, "E15.7"));
  }
  if (row == "energies must descend") {
    Problem p(ProblemKind::kEnergiesMustDescend);
    return p.In("ELDAT.dat", 218).At(ProblemField::Data(3, "E15.7"));
  }
  return Problem(ProblemKind::kUnexpected);
}

}  // namespace

void TestClassroom::fileProblemsAreSaidInTheInterfaceLanguage_data() {
  QTest::addColumn<QByteArray>("problem");
  QTest::addColumn<bool>("english");
  QTest::addColumn<QStringList>("expected");
  QTest::newRow("negative weight (ja)")
      << QByteArray("negative weight") << false
      << QStringList{"ファイル：10MV.csv", "行：12 行目", "項目：第12記録",
                     "内容：重みは負でない有限の数でなければなりません"};
  QTest::newRow("missing file, no line (ja)")
      << QByteArray("missing file, no line") << false
      << QStringList{"ファイル：7MV.csv", "内容：ファイルが無いか、読めません"};
  QTest::newRow("binary name and value escaped (ja)")
      << QByteArray("binary name and value escaped") << false
      << QStringList{QString::fromUtf8(R"(ファイル：a\x01\xFF.data)"),
                     QString::fromUtf8(R"(内容：数値ではありません（'\x1B[2J'）)")};
  // The physics tables' own problems, which once came through in English.
  QTest::newRow("x must ascend (ja)")
      << QByteArray("x must ascend") << false
      << QStringList{"項目：第1欄（E10.3）", "内容：x は行ごとに増えなければなりません"};
  QTest::newRow("first x (ja)") << QByteArray("first x") << false
                                << QStringList{"内容：最初の x は 0 でなければなりません"};
  QTest::newRow("energy must be positive (ja)")
      << QByteArray("energy must be positive") << false
      << QStringList{"行：217 行目", "内容：エネルギーは正でなければなりません"};
  QTest::newRow("energies must descend (ja)")
      << QByteArray("energies must descend") << false
      << QStringList{"内容：エネルギーは行ごとに減らなければなりません"};
  // The English interface says the same problems in English.
  QTest::newRow("negative weight (en)")
      << QByteArray("negative weight") << true
      << QStringList{"File: 10MV.csv", "Line: 12", "Item: record 12",
                     "Problem: the weight must be a finite number, not negative"};
  QTest::newRow("x must ascend (en)")
      << QByteArray("x must ascend") << true
      << QStringList{"Item: field 1 (E10.3)", "Problem: x must ascend"};
  QTest::newRow("energies must descend (en)") << QByteArray("energies must descend") << true
                                              << QStringList{"Problem: the energies must descend"};
}

void TestClassroom::fileProblemsAreSaidInTheInterfaceLanguage() {
  QFETCH(QByteArray, problem);
  QFETCH(bool, english);
  QFETCH(QStringList, expected);
  const dosavia::InputError error(RowProblem(problem));
  SetLanguage(english ? Language::kEnglish : Language::kJapanese, false);
  const QString text = FileProblemMessage(QString::fromUtf8("読み込めません"), error);
  SetLanguage(Language::kJapanese, false);
  QVERIFY(text.startsWith(QString::fromUtf8("読み込めません\n")));
  for (const QString& part : expected) QVERIFY2(text.contains(part), qPrintable(text));
  if (!english) {
    // Nothing of the English wording reaches the Japanese box.
    for (const char* word : {"line", "must", "cannot", "field", "record"})
      QVERIFY2(!text.contains(QLatin1String(word)), qPrintable(text));
  }
  for (const QChar c : text) QVERIFY(c == u'\n' || c.isPrint());
}

QTEST_MAIN(TestClassroom)
#include "tst_classroom.moc"
