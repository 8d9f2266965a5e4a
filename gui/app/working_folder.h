// The folder Dosavia works in. Both programs open their files by plain names in the working
// directory; started from a desktop menu that directory is the home folder or "/", so
// Dosavia moves to a folder of the user's own and lays the data files out there.
#pragma once

#include <QString>
#include <QStringList>

namespace dosavia::gui {

// Documents/Dosavia: the runs' results and pictures are the user's own work, to be found,
// copied and handed in from the file manager and backed up with the documents.
QString UserWorkingFolder();

struct WorkingFolderChoice {
  QString folder;      // the working directory in use afterwards
  QStringList copied;  // data files copied into it now
  QString problem;     // why the user's folder could not be set up (the directory stays)
};

// A current directory that holds the physics tables is used as it is. Otherwise
// `user_folder` is created, the shipped data files it lacks are copied into it from the
// installed data folder of `executable` (edited files are kept), and it becomes current.
WorkingFolderChoice EnterWorkingFolder(const QString& user_folder, const QString& executable);

}  // namespace dosavia::gui
