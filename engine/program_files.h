// The files the two programs read or are: the physics tables, the conditions file, every
// spectrum and the programs. A picture, a table or a result written under one of their names
// would silently break every later run (a curve table in place of 10MV.csv), so no writer of
// either program replaces one, whatever the name's case and through whatever link.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace dosavia {

// Whether a plain file name is one the programs read or run: water20.dat, ELDAT.dat,
// ELACC.dat, the slab phantoms' material files (lung20.dat, ELACC-lung.dat, ...), Joken.dat, a
// spectrum "<energy>MV.csv", Kestrun or Dosavia (with or without ".exe"); letters compare without
// regard to case, as on the file systems the programs ship for.
bool IsProgramFileName(std::string_view name);

// The program file `path` reaches, by its own name, through a symbolic link, or as another
// name of the same file (a hard link to 10MV.csv, the running program); none when it reaches
// none. `own_name` is the one program file the caller writes itself (Joken.dat for the
// conditions), allowed under exactly that name.
std::optional<std::string> ProgramFileReachedBy(const std::filesystem::path& path,
                                                std::string_view own_name = {});

// Throws WriteError (kWillNotReplaceProgramFile) naming `path` when it reaches a program file
// other than `own_name`.
void CheckNotProgramFile(const std::filesystem::path& path, std::string_view own_name = {});

// Throws WriteError naming `path` where an export may not be written there: a program file
// (CheckNotProgramFile), a file that reads as a result file (kWillNotReplaceResult) or as
// run statistics (kExportOverStatistics). A
// save dialog asks it before it asks whether to replace a file, so that it never offers to.
void CheckExportTarget(const std::string& path);

// Writes an export (a picture, a curve table) as WriteFileAtomically does, after
// CheckExportTarget; throws WriteError naming `path`.
void WriteExportFile(const std::string& path, std::string_view content);

// Where a run's exports go by default, beside its result and named after it so that they
// can meet no file of the programs: "10MV-30M.data" and "curves.csv" give
// "10MV-30M-curves.csv".
std::string ExportFileName(std::string_view result_name, std::string_view suffix);

}  // namespace dosavia
