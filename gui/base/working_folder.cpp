#include "gui/base/working_folder.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

#include <pwd.h>
#include <unistd.h>

#include <system_error>
#include <exception>

#include "engine/working_folder.h"
#include "gui/base/language.h"
#include "gui/base/message_text.h"
#include "gui/base/preferences.h"
#include "gui/base/default_font.h"
#include "gui/base/message_box.h"

namespace dosavia::gui {

namespace {

std::filesystem::path FsPath(const QString& path) {
  return std::filesystem::path(path.toStdU16String());
}

}  // namespace

namespace {

// The home folder when HOME names none: the user database's, unless that is "/" or missing.
QString FallbackHome() {
  const passwd* entry = ::getpwuid(::getuid());
  const QString home =
      entry != nullptr && entry->pw_dir != nullptr ? QFile::decodeName(entry->pw_dir) : QString();
  if (!home.isEmpty() && QDir::cleanPath(home) != QStringLiteral("/") && QFileInfo(home).isDir())
    return home;
  const QString user =
      entry != nullptr ? QFile::decodeName(entry->pw_name) : QString::number(::getuid());
  return QDir(QDir::tempPath()).filePath(QStringLiteral("Dosavia-%1").arg(user));
}

bool HomeUnset() { return qEnvironmentVariableIsEmpty("HOME"); }

}  // namespace

QString UserWorkingFolderNotice() {
  if (!HomeUnset()) return {};
  return Tr("Messages", "環境変数 HOME が設定されていないため、作業フォルダを %1 にします")
      .arg(QDir::toNativeSeparators(UserWorkingFolder()));
}

QString UserWorkingFolder() {
  if (HomeUnset()) {
    const QString home = FallbackHome();
    return home.startsWith(QDir::tempPath())
               ? home
               : QDir(home).filePath(QStringLiteral("Documents/Dosavia"));
  }
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  return QDir(documents).filePath(QStringLiteral("Dosavia"));
}

WorkingFolderChoice EnterWorkingFolder(const QString& user_folder, const QString& executable) {
  WorkingFolderChoice choice;
  choice.folder = QDir::currentPath();
  const auto data_dir = FindDataDir(DataDirCandidates(FsPath(executable)));
  if (data_dir) choice.data_dir = QString::fromStdU16String(data_dir->u16string());
  // Damaged or missing data files of the folder in use: offered for restoring, since every
  // run at that energy would fail on them.
  const auto find_damaged = [&] {
    if (!data_dir) return;
    std::error_code ec;
    if (std::filesystem::equivalent(*data_dir, FsPath(choice.folder), ec)) return;
    for (const char* name : kShippedDataFiles) {
      const DataFileState state = CheckDataFile(*data_dir, FsPath(choice.folder), name);
      if (state == DataFileState::kDamaged || state == DataFileState::kMissing)
        choice.damaged << QString::fromLatin1(name);
    }
  };
  if (HoldsPhysicsData(FsPath(choice.folder))) {
    find_damaged();
    return choice;
  }

  if (!data_dir) {
    choice.problem = Tr("Messages", "データファイルのフォルダが見つかりません");
    return choice;
  }
  // The reason is said in full: "a file of that name is in the way" is something a
  // student can mend, a bare "cannot create" is not.
  std::error_code made;
  std::filesystem::create_directories(FsPath(user_folder), made);
  if (made || !QFileInfo(user_folder).isDir()) {
    choice.problem =
        Tr("Messages", "作業フォルダ\n%1\nを作成できません：%2")
            .arg(BreakablePath(user_folder),
                 QString::fromStdString(SystemErrorText(
                     made ? made.value() : static_cast<int>(std::errc::not_a_directory),
                     ProblemLanguage())));
    return choice;
  }
  try {
    for (const std::string& name : CopyMissingDataFiles(*data_dir, FsPath(user_folder)))
      choice.copied << QString::fromStdString(name);
  } catch (const std::exception& e) {
    choice.problem =
        FileProblemMessage(Tr("Messages", "データファイルを作業フォルダへ写せません"), e);
    return choice;
  }
  if (!QDir::setCurrent(user_folder)) {
    choice.problem =
        Tr("Messages", "作業フォルダ\n%1\nに移れません").arg(BreakablePath(user_folder));
    return choice;
  }
  choice.folder = QDir::currentPath();
  find_damaged();
  return choice;
}

QString RestoreDataFiles(const QString& data_dir, const QStringList& names) {
  for (const QString& name : names) {
    try {
      RestoreDataFile(FsPath(data_dir), FsPath(QDir::currentPath()), name.toStdString());
    } catch (const std::exception& e) {
      return FileProblemMessage(Tr("Messages", "%1 を復元できません").arg(name), e);
    }
  }
  return {};
}

void OfferDataRepair(const WorkingFolderChoice& choice) {
  if (choice.damaged.isEmpty() || choice.data_dir.isEmpty()) return;
  const QString question =
      Tr("Messages",
         "作業フォルダ %1 の次のデータファイルが無いか、壊れています（データとして読めません）：\n"
         "%2\n\nインストールされたものから復元しますか？"
         "壊れたファイルは「名前.damaged」として残します")
          .arg(QDir::toNativeSeparators(choice.folder), choice.damaged.join(QStringLiteral(", ")));
  if (!AskToGoOn(nullptr, question, Tr("Messages", "復元する"), Tr("Messages", "そのままにする")))
    return;
  const QString problem = RestoreDataFiles(choice.data_dir, choice.damaged);
  ShowExclamation(
      nullptr,
      problem.isEmpty()
          ? Tr("Messages", "復元しました：%1").arg(choice.damaged.join(QStringLiteral(", ")))
          : problem);
}

namespace {

// File names three to a line, so that a long list never makes a line the box must wrap.
QString NamesInLines(const QStringList& names) {
  constexpr int kNamesPerLine = 3;
  QString text;
  for (int i = 0; i < names.size(); ++i) {
    if (i > 0) text += i % kNamesPerLine == 0 ? QStringLiteral(",\n") : QStringLiteral(", ");
    text += names[i];
  }
  return text;
}

}  // namespace

QString WorkingFolderIntroduction(const WorkingFolderChoice& choice, const QString& user_folder) {
  const QString folder = QDir(choice.folder).canonicalPath();
  if (!choice.problem.isEmpty() || folder.isEmpty() ||
      folder != QDir(user_folder).canonicalPath() ||
      Preference(kWorkingFolderToldKey).toString() == folder)
    return {};
  QString text = Tr("Messages",
                    "Dosavia の作業フォルダは\n%1\nです。\n\n"
                    "計算結果（*.data）と、保存した画像・CSV は\nここに置かれます。")
                     .arg(BreakablePath(folder));
  if (!choice.copied.isEmpty())
    text += Tr("Messages", "\n計算に使うデータファイルを\nここへ写しました：\n%1")
                .arg(NamesInLines(choice.copied));
  text += Tr("Messages", "\n\n「Non visual simulation」の画面の\n左下でフォルダを開けます。");
  if (const QString notice = UserWorkingFolderNotice(); !notice.isEmpty())
    text = notice + QStringLiteral("\n\n") + text;
  return text;
}

bool TellWorkingFolderOnce(const WorkingFolderChoice& choice, const QString& user_folder,
                           QWidget* parent) {
  const QString text = WorkingFolderIntroduction(choice, user_folder);
  if (text.isEmpty()) return false;
  QMessageBox box(QMessageBox::Information, QStringLiteral("Dosavia"), text, QMessageBox::Ok,
                  parent);
  box.setFont(DefaultFont());
  box.exec();
  SetPreference(kWorkingFolderToldKey, QDir(choice.folder).canonicalPath());
  return true;
}

namespace {

// That no file manager opened the folder, with its path to copy.
void SayFolderNotOpened(const QString& folder, QWidget* parent) {
  // The path as it is, without the break marks of BreakablePath, so that what is selected
  // and copied can be pasted into a file dialog or a terminal.
  const QString path = QDir::toNativeSeparators(folder);
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Dosavia"),
                  Tr("Messages",
                     "フォルダを開くプログラム（ファイルマネージャー）を\n"
                     "起動できませんでした。\n\n作業フォルダの場所：\n%1")
                      .arg(path),
                  QMessageBox::Ok, parent);
  box.setFont(DefaultFont());
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QPushButton* copy = box.addButton(Tr("Messages", "場所をコピー"), QMessageBox::ActionRole);
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
  if (box.clickedButton() == copy) QGuiApplication::clipboard()->setText(path);
}

}  // namespace

bool OpenWorkingFolder(const QString& folder, QWidget* parent, const UrlOpener& open) {
  const QUrl url = QUrl::fromLocalFile(folder);
  if (open) {
    if (open(url)) return true;
  } else {
#ifdef Q_OS_LINUX
    // xdg-open starts even where it then finds no file manager, and says so only by its
    // exit status: watched, so that a click that opens nothing is said rather than silent.
    const QString xdg_open = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!xdg_open.isEmpty()) {
      auto* opener = new QProcess(parent);
      QObject::connect(
          opener, &QProcess::finished, opener,
          [opener, folder, parent = QPointer<QWidget>(parent)](int code, QProcess::ExitStatus) {
            opener->deleteLater();
            if (code != 0) SayFolderNotOpened(folder, parent);
          });
      opener->start(xdg_open, {url.toString()});
      if (opener->waitForStarted()) return true;
      opener->deleteLater();
    } else if (QDesktopServices::openUrl(url)) {
      return true;
    }
#else
    if (QDesktopServices::openUrl(url)) return true;
#endif
  }
  SayFolderNotOpened(folder, parent);
  return false;
}

}  // namespace dosavia::gui
