// Dosavia: the interactive program. It starts with the main menu alone; every other form is
// created when the menu or a screen first opens it.
#include <QApplication>

#include "gui/app_forms.h"
#include "gui/form1.h"
#include "gui/form_style.h"
#include "gui/plot_command.h"

int main(int argc, char* argv[]) {
  // "--plot" draws a result file's graph into a picture, before any window exists.
  if (auto rc = dosavia::gui::RunPlotCommand(argc, argv)) return *rc;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Dosavia"));
  QApplication::setFont(dosavia::gui::DefaultFont());
  dosavia::gui::GetForm1().show();
  return QApplication::exec();
}
