// The folder Dosavia works in. Both programs open their files by plain names in the working
// directory; started from a desktop menu that directory is the home folder or "/", so
// Dosavia moves to a folder of the user's own and lays the data files out there.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QUrl;
class QWidget;

namespace dosavia::gui {

// Documents/Dosavia: the runs' results and pictures are the user's own work, to be found,
// copied and handed in from the file manager and backed up with the documents. Without a
// HOME variable, the home folder the system's user database names; without one that is a
// folder of the user's own (not "/"), Dosavia-<user> in the temporary folder.
QString UserWorkingFolder();

// Why UserWorkingFolder is not under HOME (empty when it is), to be said at start.
QString UserWorkingFolderNotice();

struct WorkingFolderChoice {
  QString folder;       // the working directory in use afterwards
  QStringList copied;   // data files copied into it now
  QString problem;      // why the user's folder could not be set up (the directory stays)
  QString data_dir;     // the installed data files' folder; empty when none was found
  QStringList damaged;  // data files missing or no longer read as the file they are named
                        // after: offered to RestoreDataFiles, never restored unasked
};

// Restores `names` in the working directory from `data_dir` (a damaged file is kept as
// NAME.damaged); empty, or the problem in the interface's language.
QString RestoreDataFiles(const QString& data_dir, const QStringList& names);

// At start: when `choice` found damaged or missing data files, asks whether to restore them
// from the installed copies, and says how it went.
void OfferDataRepair(const WorkingFolderChoice& choice);

// A current directory that holds the physics tables is used as it is. Otherwise
// `user_folder` is created, the shipped data files it lacks are copied into it from the
// installed data folder of `executable` (edited files are kept), and it becomes current.
WorkingFolderChoice EnterWorkingFolder(const QString& user_folder, const QString& executable);

// The first start in the user's folder: a student is told once, in the interface's
// language, where the work goes (the folder in full, what was copied there and where the
// non-visual screen shows it). The folder told is kept in the preferences, so the message
// comes again only for another folder. Empty when `choice` works elsewhere (a folder that
// held the data) or the folder has been told.
QString WorkingFolderIntroduction(const WorkingFolderChoice& choice, const QString& user_folder);

// Shows WorkingFolderIntroduction, when there is one, and keeps its folder as told; returns
// whether it was shown.
bool TellWorkingFolderOnce(const WorkingFolderChoice& choice, const QString& user_folder,
                           QWidget* parent = nullptr);

// Opens `folder` in the file manager through `open` (when empty: xdg-open on Linux, watched
// to its end, QDesktopServices::openUrl elsewhere); when that fails (no file manager, also
// one found failing after its start), says where the folder is, so that it can be found by
// hand. Returns whether it started.
using UrlOpener = std::function<bool(const QUrl& url)>;
bool OpenWorkingFolder(const QString& folder, QWidget* parent, const UrlOpener& open = {});

}  // namespace dosavia::gui
