#include "gui/engine_screen/engine_console.h"

#ifdef __linux__
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#endif

#include <algorithm>

#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRect>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <QVBoxLayout>

#include "engine/console_text.h"
#include "gui/base/preferences.h"
#include "engine/run_statistics.h"
#include "records/file_io.h"
#include "gui/widgets/form_style.h"
#include "gui/engine_screen/kestrun_launcher.h"
#include "gui/base/navigation.h"
#include "gui/base/language.h"

namespace dosavia::gui {

namespace {

// After SIGTERM the engine has this long to end before it is killed [ms].
constexpr int kTerminateWaitMs = 3000;
constexpr int kKillWaitMs = 3000;
constexpr double kOutputPoints = 10.0;
constexpr int kInitialWidthPx = 640;
constexpr int kInitialHeightPx = 420;
// A console narrower than this would wrap the engine's progress lines [px].
constexpr int kNarrowestWidthPx = 480;

// A file's path as the C++ library opens it.
std::filesystem::path FilePath(const QFileInfo& info) {
  return std::filesystem::path(info.absoluteFilePath().toStdU16String());
}

// Every console window alive, for the question before the program ends.
QList<QPointer<EngineConsole>>& Consoles() {
  static QList<QPointer<EngineConsole>> consoles;
  return consoles;
}

}  // namespace

QRect ConsolePlace(const QRect& owner, const QSize& console, const QRect& screen,
                   int controls_right) {
  const auto fits = [&](const QPoint& at) { return screen.contains(QRect(at, console)); };
  const int middle_y = owner.center().y() - console.height() / 2;
  const int top_y = std::clamp(middle_y, screen.top(),
                               std::max(screen.top(), screen.bottom() + 1 - console.height()));
  for (const QPoint& at :
       {QPoint(owner.right() + 1, top_y), QPoint(owner.left() - console.width(), top_y),
        QPoint(owner.left(), owner.bottom() + 1)})
    if (fits(at)) return QRect(at, console);
  // Over the owner's graph, kept on the screen: narrower rather than over a control, unless
  // that would leave too little of the engine's lines to read.
  const int x = std::clamp(owner.right() + 1 - console.width(), screen.left(),
                           std::max(screen.left(), screen.right() + 1 - console.width()));
  const int right = std::min(x + console.width(), screen.right() + 1);
  if (x < controls_right && right - controls_right >= kNarrowestWidthPx)
    return QRect(controls_right, top_y, right - controls_right, console.height());
  return QRect(QPoint(x, top_y), console);
}

EngineConsole::EngineConsole(QWidget* parent) : QWidget(parent, Qt::Window) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setWindowTitle(QStringLiteral("Kestrun"));
  resize(kInitialWidthPx, kInitialHeightPx);
  auto* layout = new QVBoxLayout(this);
  Status = new QLabel(this);
  Progress = new QProgressBar(this);
  Progress->setFormat(QStringLiteral("%v / %m"));  // the engine's spectrum bins
  Progress->setRange(0, 1);
  Progress->setValue(0);
  Output = new QPlainTextEdit(this);
  Output->setReadOnly(true);
  QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  mono.setPointSizeF(kOutputPoints);
  Output->setFont(mono);
  StopButton = new QPushButton(this);
  SetTrText(StopButton, "EngineConsole", QT_TRANSLATE_NOOP("EngineConsole", "中止"));
  CloseButton = new QPushButton(this);
  SetTrText(CloseButton, "EngineConsole", QT_TRANSLATE_NOOP("EngineConsole", "閉じる"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(StopButton);
  buttons->addWidget(CloseButton);
  layout->addWidget(Status);
  layout->addWidget(Progress);
  layout->addWidget(Output, 1);
  layout->addLayout(buttons);
  StopButton->setEnabled(false);

  process_.setProcessChannelMode(QProcess::MergedChannels);
  connect(&process_, &QProcess::readyReadStandardOutput, this, &EngineConsole::ReadOutput);
  connect(&process_, &QProcess::finished, this, &EngineConsole::HandleExit);
  connect(StopButton, &QPushButton::clicked, this, &EngineConsole::Stop);
  connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
  Consoles().append(this);
  qApp->installEventFilter(this);
}

bool EngineConsole::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched != this && watched->isWidgetType()) {
    auto* shown = static_cast<QWidget*>(watched);
    // Once the show has been handled, so that the owner it replaces is hidden by then.
    if (shown->isWindow() && shown->windowType() == Qt::Window && isVisible())
      QTimer::singleShot(0, this, [this, shown = QPointer<QWidget>(shown)] {
        if (shown != nullptr) KeepAbove(shown);
      });
  }
  return false;
}

void EngineConsole::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (parentWidget() != nullptr) KeepAbove(parentWidget()->window());
}

void EngineConsole::KeepAbove(QWidget* shown) {
  QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
  QWidget* above = owner != nullptr && owner->isVisible() ? owner : shown;
  if (!isVisible() || !above->isVisible() || above->windowHandle() == nullptr ||
      windowHandle() == nullptr)
    return;
  windowHandle()->setTransientParent(above->windowHandle());
  raise();
}

void EngineConsole::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !Running()) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

EngineConsole::~EngineConsole() {
  Consoles().removeAll(this);
  if (process_.state() != QProcess::NotRunning) {
    disconnect(&process_, nullptr, this, nullptr);
    process_.kill();
    process_.waitForFinished(kKillWaitMs);
    RemoveTemporaryResults();
  }
}

bool EngineConsole::Start(const QString& engine, const QString& working_dir,
                          const QString& result_file, QString* problem,
                          const QStringList& arguments) {
  if (process_.state() != QProcess::NotRunning) {
    if (problem) *problem = Tr("EngineConsole", "前の計算がまだ終わっていません");
    return false;
  }
  working_dir_ = working_dir;
  result_file_ = result_file;
  state_ = State::kRunning;
  error_seen_ = false;
  stopping_ = false;
  pending_.clear();
  decoder_.resetState();
  Output->clear();
  Progress->setRange(0, 1);
  Progress->setValue(0);
  // Which random streams run: the block streams give another (equally valid) file.
  if (arguments.contains(QStringLiteral("--threads")))
    SetTrText(Status, "EngineConsole",
              QT_TRANSLATE_NOOP("EngineConsole", "計算中：%1（並列計算、%2 コア）"),
              {result_file, QString::number(QThread::idealThreadCount())});
  else
    SetTrText(Status, "EngineConsole",
              QT_TRANSLATE_NOOP("EngineConsole", "計算中：%1（1 コア、単一乱数列）"),
              {result_file});
  started_at_ = std::filesystem::file_time_type::clock::now();
  process_.setWorkingDirectory(working_dir);
  process_.setProgram(engine);
  process_.setArguments(arguments);
#ifdef __linux__
  // The engine shown in this window ends with Dosavia, also when Dosavia is killed (SIGTERM
  // at logout) and no destructor runs: otherwise it would go on unseen, holding a core.
  const pid_t parent = ::getpid();
  process_.setChildProcessModifier([parent] {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(1);  // Dosavia was gone before the request took hold
  });
#endif
  process_.start();
  if (!process_.waitForStarted()) {
    state_ = State::kIdle;
    const char* const why = QT_TRANSLATE_NOOP("EngineConsole", "%1 を起動できませんでした：%2");
    const QStringList args = {QDir::toNativeSeparators(engine), process_.errorString()};
    SetTrText(Status, "EngineConsole", why, args);
    if (problem) *problem = Tr("EngineConsole", why).arg(args[0], args[1]);
    return false;
  }
  StopButton->setEnabled(true);
  return true;
}

void EngineConsole::ReadOutput() {
  const QString text = decoder_.decode(process_.readAllStandardOutput());
  QScrollBar* bar = Output->verticalScrollBar();
  const bool at_end = bar->value() == bar->maximum();
  Output->moveCursor(QTextCursor::End);
  Output->insertPlainText(QString(text).remove(QLatin1Char('\r')));
  if (at_end) bar->setValue(bar->maximum());
  pending_ += text;
  qsizetype end;
  while ((end = pending_.indexOf(QLatin1Char('\n'))) >= 0) {
    QString line = pending_.left(end);
    pending_.remove(0, end + 1);
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    HandleLine(line);
  }
}

void EngineConsole::HandleLine(const QString& line) {
  const std::string text = line.toStdString();
  if (const std::optional<ProgressReading> progress = ParseProgressLine(text)) {
    if (progress->imax > 0) {
      Progress->setRange(0, progress->imax);
      Progress->setValue(std::min(progress->bin, progress->imax));
    }
    return;
  }
  if (IsErrorLine(text)) error_seen_ = true;
  if (IsPromptLine(text) && state_ == State::kRunning) {
    // The engine has written its result (or reported why not) and waits for Enter.
    state_ = State::kWaitingForEnter;
    const bool ok = !error_seen_ && ResultWritten();
    if (ok) Progress->setValue(Progress->maximum());
    if (ok)
      Conclude(ok, QT_TRANSLATE_NOOP("EngineConsole", "計算終了：%1（閉じると終わります）"),
               {result_file_});
    else
      Conclude(ok,
               QT_TRANSLATE_NOOP("EngineConsole", "計算できませんでした（閉じると終わります）"));
  }
}

void EngineConsole::HandleExit(int exit_code, QProcess::ExitStatus status) {
  ReadOutput();
  const bool was_running = state_ == State::kRunning;
  state_ = State::kEnded;
  StopButton->setEnabled(false);
  if (!was_running) return;
  RemoveTemporaryResults();
  const bool ok = !stopping_ && status == QProcess::NormalExit && exit_code == 0 && ResultWritten();
  if (stopping_)
    Conclude(ok, QT_TRANSLATE_NOOP("EngineConsole", "中止しました"));
  else if (ok)
    Conclude(ok, QT_TRANSLATE_NOOP("EngineConsole", "計算終了：%1"), {result_file_});
  else
    Conclude(ok, QT_TRANSLATE_NOOP("EngineConsole", "計算が途中で終わりました"));
}

void EngineConsole::Conclude(bool ok, const char* status_text, const QStringList& args) {
  StopButton->setEnabled(false);
  SetTrText(Status, "EngineConsole", status_text, args);
  emit finished(ok, QDir(working_dir_).absoluteFilePath(result_file_));
}

bool EngineConsole::ResultWritten() const {
  const QFileInfo info(QDir(working_dir_).absoluteFilePath(result_file_));
  return info.isFile() && WrittenSince(FilePath(info), started_at_);
}

void EngineConsole::RemoveTemporaryResults() {
  // Only the temporary files of this run's result and statistics are removed, and the lock
  // the stopped engine held on their name; an earlier result, and a temporary file of an
  // earlier run that may still be writing, are never touched.
  const QDir dir(working_dir_);
  const std::string result = QFile::encodeName(result_file_).toStdString();
  const std::string statistics = RunStatisticsFileName(result);
  for (const QFileInfo& info :
       dir.entryInfoList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System)) {
    const std::string name = QFile::encodeName(info.fileName()).toStdString();
    if ((IsTemporaryFileOf(name, result) || IsTemporaryFileOf(name, statistics)) &&
        WrittenSince(FilePath(info), started_at_))
      QFile::remove(info.absoluteFilePath());
  }
  RemoveStaleWriteLock(QFile::encodeName(dir.absoluteFilePath(result_file_)).toStdString());
}

void EngineConsole::Stop() {
  if (process_.state() == QProcess::NotRunning) return;
  if (state_ == State::kWaitingForEnter) {
    AnswerPrompt();
    return;
  }
  stopping_ = true;
  SetTrText(Status, "EngineConsole", QT_TRANSLATE_NOOP("EngineConsole", "中止しています…"));
#ifdef Q_OS_WIN
  process_.kill();  // a console program has no window to receive a close request
#else
  process_.terminate();
  if (process_.waitForFinished(kTerminateWaitMs)) return;
  process_.kill();
#endif
  process_.waitForFinished(kKillWaitMs);
}

void EngineConsole::AnswerPrompt() {
  process_.write("\n");
  process_.closeWriteChannel();
}

void EngineConsole::closeEvent(QCloseEvent* event) {
  if (Running()) {
    const auto answer = QMessageBox::question(
        this, windowTitle(), Tr("EngineConsole", "計算中です。中止して閉じますか？"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
      event->ignore();
      return;
    }
    Stop();
  } else if (state_ == State::kWaitingForEnter) {
    AnswerPrompt();
  }
  event->accept();
  // Closed while the menu was closed too: nothing of the program is left to be seen.
  EndProgramIfNoWindowShown();
}

bool EngineConsole::ConfirmStopAll(QWidget* parent) {
  QList<EngineConsole*> running;
  for (const QPointer<EngineConsole>& console : std::as_const(Consoles()))
    if (console && console->Running()) running << console;
  if (running.isEmpty()) return true;
  const auto answer = QMessageBox::question(
      parent, QStringLiteral("Dosavia"),
      Tr("EngineConsole", "Kestrun が計算中です。計算を中止して終了しますか？"),
      QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  if (answer != QMessageBox::Yes) return false;
  for (EngineConsole* console : running) console->Stop();
  return true;
}

bool UseOwnConsole() {
  const QVariant chosen = Preference(kOwnConsoleKey);
  if (chosen.isValid()) return chosen.toBool();
  return !TerminalEmulatorFound();
}

void SetUseOwnConsole(bool own) { SetPreference(kOwnConsoleKey, own); }

void EngineConsole::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) RetranslateTexts(this);
  QWidget::changeEvent(event);
}

bool UseAllCores() { return Preference(kAllCoresKey, false).toBool(); }

void SetUseAllCores(bool all) { SetPreference(kAllCoresKey, all); }

}  // namespace dosavia::gui
