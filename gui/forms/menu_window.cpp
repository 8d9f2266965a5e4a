#include "gui/forms/menu_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <exception>

#include "engine/conditions_file.h"
#include "engine/working_folder.h"
#include "gui/base/navigation.h"
#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
#include "gui/base/message_text.h"
#include "gui/widgets/icons.h"
#include "gui/visual/visual_batch_run.h"
#include "gui/figures/title_illustration.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {

// The translation context of the menu's texts, which the translation file and the browser
// edition (which reads the same contexts) share.
constexpr char kMenuWindowContext[] = "MenuWindow";

QLabel* MakeTitle(QWidget* parent, const char* text, double left, double top, double width,
                  double height) {
  QLabel* label = MakeLabel(parent, text, left, top, width, height);
  label->setFont(DefaultFont(kDefaultFontPoints, true));
  return label;
}

}  // namespace

MenuWindow::MenuWindow(QWidget* parent) : QWidget(parent, Qt::Window) { CreateControls(); }

void MenuWindow::CreateControls() {
  SetWindowTrContext(this, kMenuWindowContext);
  setWindowTitle(QStringLiteral(" Dose Build-up Phenomenon in High-energy X-ray irradiation"));
  setFont(DefaultFont());
  resize(TwipsRect(0, 0, 15645, 7440).size());

  MakeTitle(this, QT_TRANSLATE_NOOP("MenuWindow", "高エネルギーＸ線照射における"), 720, 720, 4425,
            465);
  MakeTitle(this, QT_TRANSLATE_NOOP("MenuWindow", "吸収線量ビルドアップ現象"), 960, 1200, 3795,
            465);
  MakeTitle(this, QT_TRANSLATE_NOOP("MenuWindow", "線束方向および側方向の"), 1200, 1800, 3465, 465);
  MakeTitle(this, QT_TRANSLATE_NOOP("MenuWindow", "２次電子 (過渡) 平衡"), 1275, 2280, 3015, 465);
  MakeTitle(this, QT_TRANSLATE_NOOP("MenuWindow", "モンテカルロシミュレーション"), 960, 2880, 4410,
            465);

  // The long captions wrap inside their buttons, as a graphical button breaks them.
  visual_button = MakeButton(this, "Visual\nsimulation", 720, 3840, 2055, 975);
  engine_button = MakeButton(this, "Non visual\nsimulation", 3360, 3840, 2055, 975);
  explanation_button =
      MakeButton(this, QT_TRANSLATE_NOOP("MenuWindow", "解 説"), 720, 5160, 2055, 855);
  exit_button = MakeButton(this, "Exit", 3360, 5160, 2055, 855);
  // Under 解 説, the lesson sheets a teacher follows with the class, beside the screens.
  lesson_button = MakeButton(this, QT_TRANSLATE_NOOP("MenuWindow", "授業案"), 720, 6360, 2055, 615);
  exit_button->setToolTip(QStringLiteral("   --- bye ---   "));
  title_illustration = new TitleIllustration(this);
  PlaceTwips(title_illustration, 6840, 480, 8385, 6480);
  SetTrToolTip(title_illustration, "MenuWindow",
               QT_TRANSLATE_NOOP("MenuWindow", "Dosavia %1\nデータ %2"),
               {QString::fromStdString(ProgramVersion()), QString::fromStdString(DataVersion())});
  auto* const menu_icon = new QLabel(this);
  PlaceTwips(menu_icon, 4200, 6480, 480, 480);
  menu_icon->setPixmap(MenuIcon());
  menu_icon->setAlignment(Qt::AlignCenter);

  connect(visual_button, &QPushButton::clicked, this, &MenuWindow::OnVisualSimulation);
  connect(exit_button, &QPushButton::clicked, this, &MenuWindow::OnExit);
  connect(explanation_button, &QPushButton::clicked, this, &MenuWindow::OnExplanation);
  connect(engine_button, &QPushButton::clicked, this, &MenuWindow::OnEngineSimulation);
  connect(lesson_button, &QPushButton::clicked, this, [] { ShowLessonPage(); });

  MakeScalable(this, 15645, 7440, StartFit::kOwn);
  CentreOnScreen(this);
}

void MenuWindow::OnVisualSimulation() {
  try {
    ShowVisualScreen();
  } catch (const std::exception& error) {
    ShowExclamation(
        this, FileProblemMessage(Tr("MenuWindow", "物理データファイルを読み込めません。"), error));
    return;
  }
  hide();
}

void MenuWindow::OnEngineSimulation() {
  ShowNonVisualScreen();
  hide();
}

void MenuWindow::OnExplanation() { ShowExplanationPage(1); }

void MenuWindow::RetranslateUi() { RetranslateTexts(this); }

void MenuWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QWidget::changeEvent(event);
}

void MenuWindow::OnExit() { EndProgram(); }

void MenuWindow::closeEvent(QCloseEvent* event) {
  // "No" to stopping a run keeps the menu and the run as they were.
  if (EndProgram())
    event->accept();
  else
    event->ignore();
}

}  // namespace dosavia::gui
