#include "gui/app/working_folder.h"

#include <QDir>
#include <QStandardPaths>
#include <exception>

#include "engine/working_folder.h"
#include "gui/app/language.h"
#include "gui/app/message_text.h"

namespace dosavia::gui {

namespace {

std::filesystem::path FsPath(const QString& path) {
  return std::filesystem::path(path.toStdU16String());
}

}  // namespace

QString UserWorkingFolder() {
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  return QDir(documents).filePath(QStringLiteral("Dosavia"));
}

WorkingFolderChoice EnterWorkingFolder(const QString& user_folder, const QString& executable) {
  WorkingFolderChoice choice;
  choice.folder = QDir::currentPath();
  if (HoldsPhysicsData(FsPath(choice.folder))) return choice;

  const auto data_dir = FindDataDir(DataDirCandidates(FsPath(executable)));
  if (!data_dir) {
    choice.problem = Tr("Messages", "データファイルのフォルダが見つかりません");
    return choice;
  }
  if (!QDir().mkpath(user_folder)) {
    choice.problem = Tr("Messages", "作業フォルダ %1 を作成できません")
                         .arg(QDir::toNativeSeparators(user_folder));
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
        Tr("Messages", "作業フォルダ %1 に移れません").arg(QDir::toNativeSeparators(user_folder));
    return choice;
  }
  choice.folder = QDir::currentPath();
  return choice;
}

}  // namespace dosavia::gui
