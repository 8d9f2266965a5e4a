// Starts the batch engine Kestrun in the working directory as a separate process in its
// own console window, without waiting for it and without keeping a handle: the engine
// prints its progress there and waits for Enter at the end, whatever Dosavia does meanwhile.
#pragma once

#include <QString>
#include <QtGlobal>
#include <QStringList>
#include <vector>

#include "engine/run_seed.h"
#include "physics/physics_switches.h"

namespace dosavia::gui {

// The engine's file name in the working directory: "Kestrun.exe" on Windows, else "Kestrun".
QString EngineProgramName();

// Where the engine was found, or where it was looked for when it was not.
struct EngineSearch {
  QString path;           // empty when not found
  QStringList looked_in;  // the folders tried, in order
};

// Looks for the engine in the working folder first (a copy the user placed there wins),
// then beside Dosavia's own executable (the build tree, an install), then in each folder
// of `path_variable` (the PATH list).
EngineSearch FindKestrun(const QString& working_dir, const QString& program_dir,
                         const QString& path_variable);

// One way to open a console window that runs a program.
struct TerminalCommand {
  QString program;        // terminal emulator, a name looked up in PATH or a path
  QStringList arguments;  // its options followed by the engine's path
};

// The terminal emulators tried on Linux and other Unix desktops, in order: $TERMINAL
// (which may carry options of its own), x-terminal-emulator, gnome-terminal, konsole,
// xfce4-terminal, xterm. Each runs `engine_path` in `working_dir`.
std::vector<TerminalCommand> TerminalCandidates(const QString& engine_path,
                                                const QString& working_dir,
                                                const QString& terminal_variable);

// The caption of the non-visual screen's check box that runs the engine in Dosavia's own
// window, the way out when no terminal emulator is installed.
inline constexpr char kOwnConsoleCaption[] =
    QT_TRANSLATE_NOOP("EngineScreen", "専用ウィンドウで計算");

// Kestrun's arguments: "--threads 0" for the block streams on every core (none: the single
// random stream), then "--without PART" for each part of `physics` switched off, written
// by the engine's own rule (WithoutArguments), or "--accurate" for the accurate transport
// (TransportArguments), then "--seed N" for a seed other than the default (SeedArguments),
// and "--lang en" while the interface speaks English, so that the console does too.
QStringList EngineArguments(bool all_cores, const PhysicsSwitches& physics = {},
                            RunSeed seed = kDefaultSeed);

// The outcome of a start: on failure `problem` says why, in a sentence for the user.
struct LaunchResult {
  bool started = false;
  QString problem;
};

// True when a console window can be opened for the engine: always on Windows, elsewhere
// when one of the terminal emulators of TerminalCandidates is installed.
bool TerminalEmulatorFound();

// The engine as StartKestrun finds it for `working_dir`; on failure `problem` names the
// folders tried.
LaunchResult FindEngineFor(const QString& working_dir, QString* engine_path);

// Starts Kestrun (found by FindKestrun) with `working_dir` as its working directory and
// no arguments. On Windows it gets a new console; elsewhere the first terminal emulator of
// TerminalCandidates that is installed and starts runs it. Fails, naming the folders
// tried, when the engine is not found or no console window could be opened.
// `engine_arguments` follow the engine's path (e.g. "--threads 0").
LaunchResult StartKestrun(const QString& working_dir, const QStringList& engine_arguments = {});

}  // namespace dosavia::gui
