#include "gui/app/window_registry.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstddef>

#include "engine/conditions_file.h"
#include "gui/engine_screen/engine_console.h"
#include "gui/forms/lesson_page.h"
#include "gui/forms/menu_window.h"
#include "gui/visual/visual_screen.h"
#include "gui/forms/spectrum_page.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui/forms/explanation_page.h"
#include "gui/forms/references_page.h"

namespace dosavia::gui {

namespace {

// The window of type F, created on first use and never destroyed.
template <typename F>
F& FormOnce() {
  static F* form = new F;
  return *form;
}

}  // namespace

MenuWindow& GetMenuWindow() { return FormOnce<MenuWindow>(); }
VisualScreen& GetVisualScreen() { return FormOnce<VisualScreen>(); }
SpectrumPage& GetSpectrumPage() { return FormOnce<SpectrumPage>(); }
EngineScreen& GetEngineScreen() { return FormOnce<EngineScreen>(); }
ReferencesPage& GetReferencesPage() { return FormOnce<ReferencesPage>(); }
LessonPage& GetLessonPage() { return FormOnce<LessonPage>(); }

ExplanationPage& GetExplanationPage(int number) {
  Q_ASSERT_X(number >= 1 && number <= kExplanationPageCount, "GetExplanationPage",
             "there are five explanation pages");
  static std::array<ExplanationPage*, kExplanationPageCount> pages{};
  ExplanationPage*& page = pages[static_cast<std::size_t>(number - 1)];
  if (page == nullptr) page = new ExplanationPage(number);
  return *page;
}

void ShowMainMenu() { GetMenuWindow().show(); }

void ShowVisualScreen() {
  VisualScreen& form = GetVisualScreen();
  form.PrepareForShow();
  form.show();
}

void ShowNonVisualScreen() {
  EngineScreen& form = GetEngineScreen();
  form.PrepareForShow();
  form.show();
}

void ShowSpectrumPage() { GetSpectrumPage().show(); }

void HideSpectrumPage() { GetSpectrumPage().hide(); }

void ShowExplanationPage(int number) { GetExplanationPage(number).show(); }

void ShowReferencesPage() { GetReferencesPage().show(); }

void ShowLessonPage() {
  LessonPage& page = GetLessonPage();
  page.show();
  page.raise();
  page.activateWindow();
}

bool EndProgram() {
  static bool ending = false;
  if (ending) return true;
  // A run in Dosavia's own console window would end with the program.
  if (!EngineConsole::ConfirmStopAll(nullptr)) return false;
  ending = true;
  QFile::remove(QString::fromLatin1(kConditionsFile));
  // A visual batch stops after the photon in progress.
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* visual = qobject_cast<VisualScreen*>(window)) visual->OnStop();
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
