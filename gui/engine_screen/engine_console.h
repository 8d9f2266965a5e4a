// Dosavia's own console window for a batch run: Kestrun runs as a child process in the
// working directory, its console text (UTF-8) appears as it comes, a bar follows its
// " --- i / imax" progress lines, closing the window answers its final Enter prompt, and
// 中止 ends it. A stopped run leaves no half-written result and an earlier result of that
// name untouched: the engine writes through a hidden temporary name and renames it into
// place, and the window removes a temporary file that a stop in the middle of that write
// leaves behind. Used where no terminal emulator is found, or when the user chooses it.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QStringDecoder>
#include <QWidget>

#include <filesystem>

class QLabel;
class QPlainTextEdit;
class QPoint;
class QProgressBar;
class QRect;
class QSize;
class QPushButton;

namespace dosavia::gui {

// Where a console window of frame size `console` opens for an owner window whose frame is
// `owner`, on the screen's free area `screen` (all in screen pixels), as its frame's place
// and size: beside the owner to the right, else to the left, else below, where there is room,
// so that it covers nothing; on a screen the owner fills, over the owner's graph, right of
// `controls_right` (the screen x where the owner's controls end), narrower where it must be,
// so that every control stays in sight. Always inside `screen` where it fits.
QRect ConsolePlace(const QRect& owner, const QSize& console, const QRect& screen,
                   int controls_right);

class EngineConsole : public QWidget {
  Q_OBJECT

 public:
  // A separate, non-modal window; with a parent it stays above it.
  explicit EngineConsole(QWidget* parent = nullptr);
  ~EngineConsole() override;

  // Starts `engine` with `working_dir` as its working directory and `arguments` (none: the
  // single random stream; "--threads 0": the block streams on every core); the run is to
  // write `result_file` there. False, with the reason in `problem`, when it cannot start or
  // a run is still going.
  bool Start(const QString& engine, const QString& working_dir, const QString& result_file,
             QString* problem = nullptr, const QStringList& arguments = {});

  // True from Start until the engine has finished its work (its final prompt, or its end).
  // A run still computing: its process alive and its result not yet reported.
  bool Running() const {
    return state_ == State::kRunning && process_.state() != QProcess::NotRunning;
  }

  // 中止: ends the engine (SIGTERM, then SIGKILL if it does not end at once) and removes a
  // temporary result it may have left. Waits for it.
  void Stop();

  // Before the program ends: when an engine runs in any console window, asks whether to stop
  // it; true when nothing runs any more (stopped, or none was running).
  static bool ConfirmStopAll(QWidget* parent);

  QProgressBar* Progress = nullptr;
  QPlainTextEdit* Output = nullptr;
  QLabel* Status = nullptr;
  QPushButton* StopButton = nullptr;   // 中止
  QPushButton* CloseButton = nullptr;  // 閉じる

 signals:
  // The run's work is over: `ok` when it wrote `result_file` (the absolute path); emitted once
  // per run, also when it was stopped or failed.
  void finished(bool ok, const QString& result_file);

 protected:
  // A language switch: buttons and status line again in the chosen language.
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // Shown: above its owner from the first moment, so that a click on the owner during a run
  // never covers it (the window manager keeps a transient window above its parent).
  void showEvent(QShowEvent* event) override;
  // Enter closes the window once the run's work is over, as the engine's last line asks.
  void keyPressEvent(QKeyEvent* event) override;
  // Another window of the program shown while the owner is hidden (the menu, when the
  // non-visual screen is left during a run): the console stays above it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class State { kIdle, kRunning, kWaitingForEnter, kEnded };

  void ReadOutput();
  void HandleLine(const QString& line);
  void HandleExit(int exit_code, QProcess::ExitStatus status);
  // The run's work is over; tells the screen once.
  // Ends a run with its status line: a Japanese source text and its arguments.
  void Conclude(bool ok, const char* status_text, const QStringList& args = {});
  // True when the result file was written by this run.
  bool ResultWritten() const;
  void RemoveTemporaryResults();
  // Answers the final prompt so that the engine ends by itself.
  void AnswerPrompt();
  // Makes the shown window the console stands over its transient parent: the owner while
  // it is shown, else `shown`.
  void KeepAbove(QWidget* shown);

  QProcess process_;
  QStringDecoder decoder_{QStringDecoder::Utf8};
  QString pending_;  // text after the last line end
  State state_ = State::kIdle;
  bool error_seen_ = false;
  bool stopping_ = false;
  QString working_dir_;
  QString result_file_;
  std::filesystem::file_time_type started_at_;
};

// Whether a run starts in Dosavia's own console window rather than a terminal emulator:
// the user's choice when one was made (kept in the settings), else true exactly when no
// terminal emulator is installed.
bool UseOwnConsole();
void SetUseOwnConsole(bool own);

// Whether Kestrun runs its block streams on every core ("--threads 0") instead of the single
// random stream; off unless the user chose it (kept in the settings).
bool UseAllCores();
void SetUseAllCores(bool all);

}  // namespace dosavia::gui
