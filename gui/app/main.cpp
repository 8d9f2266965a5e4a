// Dosavia: the interactive program. It starts with the main menu alone; every other form is
// created when the menu or a screen first opens it.
#include <QApplication>
#include <QCoreApplication>

#include "gui/app/app_forms.h"
#include "gui/forms/form1_menu.h"
#include "gui/widgets/form_style.h"
#include "gui/app/language.h"
#include "gui/app/preferences.h"
#include "gui/engine_screen/plot_command.h"
#include "gui/app/working_folder.h"

int main(int argc, char* argv[]) {
  // "--plot" draws a result file's graph into a picture, before any window exists.
  if (auto rc = dosavia::gui::RunPlotCommand(argc, argv)) return *rc;
  QApplication app(argc, argv);
  // Before anything reads a preference: the names place the one settings file.
  dosavia::gui::NameApplication();
  QApplication::setFont(dosavia::gui::DefaultFont());
  dosavia::gui::ApplyStartLanguage(dosavia::gui::LanguageArgument(argc, argv));
  // Started from a desktop menu the current directory holds no data: work in the user's own
  // folder instead. A folder that holds them (build/workdir) is used as it is.
  const dosavia::gui::WorkingFolderChoice folder = dosavia::gui::EnterWorkingFolder(
      dosavia::gui::UserWorkingFolder(), QCoreApplication::applicationFilePath());
  if (!folder.problem.isEmpty())
    dosavia::gui::ShowExclamation(
        nullptr, folder.problem +
                     QCoreApplication::translate("Messages", "\n%1 で続けます").arg(folder.folder));
  dosavia::gui::GetForm1().show();
  return QApplication::exec();
}
