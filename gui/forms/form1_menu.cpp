#include "gui/forms/form1_menu.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <exception>

#include "engine/conditions_file.h"
#include "engine/working_folder.h"
#include "gui/app/app_forms.h"
#include "gui/widgets/form_style.h"
#include "gui/app/language.h"
#include "gui/app/message_text.h"
#include "gui/widgets/icons.h"
#include "gui/visual/visual_batch_run.h"
#include "gui/figures/title_illustration.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {

QLabel* MakeTitle(QWidget* parent, const char* text, double left, double top, double width,
                  double height) {
  QLabel* label = MakeLabel(parent, text, left, top, width, height);
  label->setFont(DefaultFont(kDefaultFontPoints, true));
  return label;
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent, Qt::Window) { Form_Load(); }

void Form1::Form_Load() {
  setWindowTitle(QStringLiteral(" Dose Build-up Phenomenon in High-energy X-ray irradiation"));
  setFont(DefaultFont());
  resize(TwipsRect(0, 0, 15645, 7440).size());

  Label1 = MakeTitle(this, QT_TRANSLATE_NOOP("Form1", "高エネルギーＸ線照射における"), 720, 720,
                     4425, 465);
  Label3 =
      MakeTitle(this, QT_TRANSLATE_NOOP("Form1", "吸収線量ビルドアップ現象"), 960, 1200, 3795, 465);
  Label6 =
      MakeTitle(this, QT_TRANSLATE_NOOP("Form1", "線束方向および側方向の"), 1200, 1800, 3465, 465);
  Label5 =
      MakeTitle(this, QT_TRANSLATE_NOOP("Form1", "２次電子 (過渡) 平衡"), 1275, 2280, 3015, 465);
  Label2 = MakeTitle(this, QT_TRANSLATE_NOOP("Form1", "モンテカルロシミュレーション"), 960, 2880,
                     4410, 465);

  // The long captions wrap inside their buttons, as a graphical button breaks them.
  Command1 = MakeButton(this, "Visual\nsimulation", 720, 3840, 2055, 975);
  Command6 = MakeButton(this, "Non visual\nsimulation", 3360, 3840, 2055, 975);
  Command3 = MakeButton(this, QT_TRANSLATE_NOOP("Form1", "解 説"), 720, 5160, 2055, 855);
  Command2 = MakeButton(this, "Exit", 3360, 5160, 2055, 855);
  Command2->setToolTip(QStringLiteral("   --- bye ---   "));
  Picture1 = new TitleIllustration(this);
  PlaceTwips(Picture1, 6840, 480, 8385, 6480);
  SetTrToolTip(Picture1, "Form1", QT_TRANSLATE_NOOP("Form1", "Dosavia %1\nデータ %2"),
               {QString::fromStdString(ProgramVersion()), QString::fromStdString(DataVersion())});
  Picture2 = new QLabel(this);
  PlaceTwips(Picture2, 4200, 6480, 480, 480);
  Picture2->setPixmap(MenuIcon());
  Picture2->setAlignment(Qt::AlignCenter);

  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
  connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);

  MakeScalable(this, 15645, 7440, StartFit::kOwn);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void Form1::Command1_Click() {
  try {
    InitSimulation();
  } catch (const std::exception& error) {
    ShowExclamation(this,
                    FileProblemMessage(Tr("Form1", "物理データファイルを読み込めません。"), error));
    return;
  }
  ClearSpectrumTally();
  ShowVisualScreen();
  hide();
}

void Form1::Command6_Click() {
  ShowNonVisualScreen();
  hide();
}

void Form1::Command3_Click() { ShowExplanationPage(1); }

void Form1::RetranslateUi() { RetranslateTexts(this); }

void Form1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateUi();
  QWidget::changeEvent(event);
}

void Form1::Command2_Click() { EndProgram(); }

void Form1::Form_Unload() { EndProgram(); }

void Form1::closeEvent(QCloseEvent* event) {
  // "No" to stopping a run keeps the menu and the run as they were.
  if (EndProgram())
    event->accept();
  else
    event->ignore();
}

}  // namespace dosavia::gui
