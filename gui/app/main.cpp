// Dosavia: the interactive program. It starts with the main menu alone; every other form is
// created when the menu or a screen first opens it.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include <csignal>

#include "gui/app/window_registry.h"
#include "gui/forms/menu_window.h"
#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
#include "gui/base/message_text.h"
#include "gui/base/preferences.h"
#include "gui/engine_screen/plot_command.h"
#include "gui/base/working_folder.h"

int main(int argc, char* argv[]) {
#ifndef _WIN32
  // A file-size limit (or a full quota) must end a picture's or a table's write in an error
  // that names the file and removes the temporary file, not in a silent kill; a closed
  // output must not kill the program either.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
#endif
  // "--plot" draws a result file's graph into a picture, before any window exists.
  if (auto rc = dosavia::gui::RunPlotCommand(argc, argv)) return *rc;
  QApplication app(argc, argv);
  // Before anything reads a preference: the names place the one settings file.
  dosavia::gui::NameApplication();
  // Said once, after the event in hand (a zoom key) is done.
  dosavia::gui::SetPreferenceFailureHandler([](const QString& message) {
    QTimer::singleShot(0, [message] { dosavia::gui::ShowExclamation(nullptr, message); });
  });
  QApplication::setFont(dosavia::gui::DefaultFont());
  dosavia::gui::ApplyStartLanguage(dosavia::gui::LanguageArgument(argc, argv));
  // Started from a desktop menu the current directory holds no data: work in the user's own
  // folder instead. A folder that holds them (build/workdir) is used as it is.
  const dosavia::gui::WorkingFolderChoice folder = dosavia::gui::EnterWorkingFolder(
      dosavia::gui::UserWorkingFolder(), QCoreApplication::applicationFilePath());
  const QString user_folder = dosavia::gui::UserWorkingFolder();
  if (!folder.problem.isEmpty()) {
    dosavia::gui::ShowExclamation(
        nullptr, folder.problem + QCoreApplication::translate("Messages", "\n\n%1\nで続けます")
                                      .arg(dosavia::gui::BreakablePath(folder.folder)));
  } else if (!dosavia::gui::TellWorkingFolderOnce(folder, user_folder)) {
    // The first start in the user's folder has said where the work goes (and, without HOME,
    // why there); later starts without HOME still say why.
    const QString notice = dosavia::gui::UserWorkingFolderNotice();
    if (!notice.isEmpty() && folder.folder == QDir(user_folder).absolutePath())
      dosavia::gui::ShowExclamation(nullptr, notice);
  }
  dosavia::gui::OfferDataRepair(folder);
  dosavia::gui::GetMenuWindow().show();
  return QApplication::exec();
}
