#include "gui/engine_screen/kestrun_launcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "engine/command_line.h"
#include "gui/base/language.h"
#include "gui/base/message_text.h"

namespace dosavia::gui {

QString EngineProgramName() {
#ifdef Q_OS_WIN
  return QStringLiteral("Kestrun.exe");
#else
  return QStringLiteral("Kestrun");
#endif
}

EngineSearch FindKestrun(const QString& working_dir, const QString& program_dir,
                         const QString& path_variable) {
  EngineSearch search;
  // Each folder once, however it is spelt ("/usr/bin/" and "/usr/bin"; the program's folder
  // also on PATH), so that "not found" lists each place once.
  const auto look_in = [&search](const QString& dir) {
    const QString clean = QDir::cleanPath(dir);
    if (!search.looked_in.contains(clean)) search.looked_in << clean;
  };
  look_in(working_dir);
  look_in(program_dir);
  for (const QString& dir : path_variable.split(QDir::listSeparator(), Qt::SkipEmptyParts))
    look_in(dir);
  for (const QString& dir : std::as_const(search.looked_in)) {
    const QFileInfo engine(QDir(dir).absoluteFilePath(EngineProgramName()));
    if (engine.isFile() && engine.isExecutable()) {
      search.path = engine.absoluteFilePath();
      break;
    }
  }
  return search;
}

QStringList EngineArguments(bool all_cores, const PhysicsSwitches& physics, RunSeed seed) {
  QStringList arguments;
  if (all_cores) arguments << QStringLiteral("--threads") << QStringLiteral("0");
  for (const auto& part : {WithoutArguments(physics), TransportArguments(physics),
                           SeedArguments(seed), LanguageArguments(ProblemLanguage())})
    for (const std::string& argument : part) arguments << QString::fromStdString(argument);
  return arguments;
}

std::vector<TerminalCommand> TerminalCandidates(const QString& engine_path,
                                                const QString& working_dir,
                                                const QString& terminal_variable) {
  std::vector<TerminalCommand> candidates;
  // $TERMINAL by the common convention: its own options, then "-e" and the command.
  QStringList user_terminal = QProcess::splitCommand(terminal_variable);
  if (!user_terminal.isEmpty()) {
    const QString program = user_terminal.takeFirst();
    candidates.push_back({program, user_terminal + QStringList{QStringLiteral("-e"), engine_path}});
  }
  candidates.push_back(
      {QStringLiteral("x-terminal-emulator"), {QStringLiteral("-e"), engine_path}});
  // gnome-terminal opens its windows through a server, so it is told the directory.
  candidates.push_back(
      {QStringLiteral("gnome-terminal"),
       {QStringLiteral("--working-directory=") + working_dir, QStringLiteral("--"), engine_path}});
  candidates.push_back(
      {QStringLiteral("konsole"),
       {QStringLiteral("--workdir"), working_dir, QStringLiteral("-e"), engine_path}});
  candidates.push_back(
      {QStringLiteral("xfce4-terminal"),
       {QStringLiteral("--working-directory=") + working_dir, QStringLiteral("-x"), engine_path}});
  candidates.push_back({QStringLiteral("xterm"), {QStringLiteral("-e"), engine_path}});
  return candidates;
}

namespace {

// The installed program of a terminal candidate; empty when it is not installed.
QString InstalledProgram(const TerminalCommand& candidate) {
  const QString program = QFileInfo(candidate.program).isAbsolute()
                              ? candidate.program
                              : QStandardPaths::findExecutable(candidate.program);
  return !program.isEmpty() && QFileInfo(program).isExecutable() ? program : QString();
}

}  // namespace

bool TerminalEmulatorFound() {
#ifdef Q_OS_WIN
  return true;
#else
  for (const TerminalCommand& candidate :
       TerminalCandidates(QString(), QString(), qEnvironmentVariable("TERMINAL")))
    if (!InstalledProgram(candidate).isEmpty()) return true;
  return false;
#endif
}

LaunchResult FindEngineFor(const QString& working_dir, QString* engine_path) {
  const QString name = EngineProgramName();
  const EngineSearch search = FindKestrun(working_dir, QCoreApplication::applicationDirPath(),
                                          qEnvironmentVariable("PATH"));
  if (search.path.isEmpty()) {
    QStringList places;
    for (const QString& dir : search.looked_in) places << QDir::toNativeSeparators(dir);
    return {false, Tr("Messages", "%1 が見つかりません。探した場所:\n%2")
                       .arg(name, places.join(QLatin1Char('\n')))};
  }
  *engine_path = search.path;
  return {true, {}};
}

LaunchResult StartKestrun(const QString& working_dir, const QStringList& engine_arguments) {
  const QString name = EngineProgramName();
  QString engine_path;
  if (LaunchResult found = FindEngineFor(working_dir, &engine_path); !found.started) return found;

#ifdef Q_OS_WIN
  // A console program started from a window program gets a console of its own only when
  // asked to; it must be a normal window that takes the focus.
  QProcess process;
  process.setProgram(engine_path);
  process.setArguments(engine_arguments);
  process.setWorkingDirectory(working_dir);
  process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
    args->flags &= ~static_cast<DWORD>(CREATE_NO_WINDOW | DETACHED_PROCESS);
    args->flags |= CREATE_NEW_CONSOLE;
  });
  if (!process.startDetached())
    return {false, Tr("Messages", "%1 を起動できませんでした").arg(name)};
  return {true, {}};
#else
  for (const TerminalCommand& candidate :
       TerminalCandidates(engine_path, working_dir, qEnvironmentVariable("TERMINAL"))) {
    const QString program = InstalledProgram(candidate);
    if (program.isEmpty()) continue;
    QProcess process;
    process.setProgram(program);
    // Every candidate ends with the engine's path, so its own arguments come last.
    process.setArguments(candidate.arguments + engine_arguments);
    process.setWorkingDirectory(working_dir);
    if (process.startDetached()) return {true, {}};
  }
  // Short lines of whole phrases: a message box wraps a long line wherever it must, and
  // would split a word ("環境変/数"). The way out is named as the check box names it.
  return {false, Tr("Messages",
                    "%1 を表示する端末エミュレータが\n見つかりません。\n\n"
                    "「%2」に\nチェックを入れると、\nDosavia のウィンドウで計算できます。\n\n"
                    "端末エミュレータは\n環境変数 TERMINAL でも指定できます。")
                     .arg(name, Tr("EngineScreen", kOwnConsoleCaption))};
#endif
}

}  // namespace dosavia::gui
