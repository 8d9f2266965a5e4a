#include "gui/app/app_forms.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include "engine/conditions_file.h"
#include "gui/engine_screen/engine_console.h"
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
#include "gui/visual/visual_batch_run.h"

namespace dosavia::gui {

namespace {

// The form of type F, created on first use and never destroyed.
template <typename F>
F& FormOnce() {
  static F* form = new F;
  return *form;
}

}  // namespace

Form1& GetForm1() { return FormOnce<Form1>(); }
Form2& GetForm2() { return FormOnce<Form2>(); }
Form3& GetForm3() { return FormOnce<Form3>(); }
Form4& GetForm4() { return FormOnce<Form4>(); }
Form5& GetForm5() { return FormOnce<Form5>(); }
Form6& GetForm6() { return FormOnce<Form6>(); }
Form7& GetForm7() { return FormOnce<Form7>(); }
Form8& GetForm8() { return FormOnce<Form8>(); }
Form9& GetForm9() { return FormOnce<Form9>(); }
Form10& GetForm10() { return FormOnce<Form10>(); }

void ShowMainMenu() { GetForm1().show(); }

void ShowVisualScreen() {
  Form2& form = GetForm2();
  form.PrepareForShow();
  form.show();
}

void ShowNonVisualScreen() {
  Form4& form = GetForm4();
  form.PrepareForShow();
  form.show();
}

void ShowSpectrumPage() { GetForm3().show(); }

void HideSpectrumPage() { GetForm3().hide(); }

void ShowExplanationPage(int number) {
  switch (number) {
    case 1: GetForm5().show(); break;
    case 2: GetForm6().show(); break;
    case 3: GetForm7().show(); break;
    case 4: GetForm8().show(); break;
    case 5: GetForm10().show(); break;
    default: Q_ASSERT_X(false, "ShowExplanationPage", "there are five explanation pages");
  }
}

void ShowReferencesPage() { GetForm9().show(); }

bool EndProgram() {
  static bool ending = false;
  if (ending) return true;
  // A run in Dosavia's own console window would end with the program.
  if (!EngineConsole::ConfirmStopAll(nullptr)) return false;
  ending = true;
  QFile::remove(QString::fromLatin1(kConditionsFile));
  RequestBatchStop();
  for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
  QCoreApplication::quit();
  ending = false;
  return true;
}

void EndProgramIfNoWindowShown() {
  QTimer::singleShot(0, [] {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->isVisible() && window->isWindow() && !window->windowFlags().testFlag(Qt::Popup) &&
          window->windowType() != Qt::ToolTip)
        return;
    EndProgram();
  });
}

}  // namespace dosavia::gui
