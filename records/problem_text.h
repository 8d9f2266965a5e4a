// The wordings of the problems: for each kind a Japanese and an English sentence, and the
// words of the fields, the things in a file's way and the system's reasons. Plain UTF-8, so
// that the engine's console, the desktop program and the browser edition say a problem the
// same way in either language.
#pragma once

#include <exception>
#include <string>

#include "records/problem.h"

namespace dosavia {

enum class TextLanguage { kJapanese, kEnglish };

// The wording of a kind with its parameters as {value}, {limit}, {other}, {line}, {reason},
// {type} and {cause}; null when the kind has none in the language (the tests see to it that
// every kind has both).
const char* ProblemWording(ProblemKind kind, TextLanguage language);
// The words for what a field holds and for what is in a file's way; empty for kNone.
const char* FieldNameWording(FieldName name, TextLanguage language);
const char* FileTypeWording(FileType type, TextLanguage language);

// What is wrong, without where: the kind's wording with its parameters filled in.
std::string ProblemSentence(const Problem& problem, TextLanguage language);

// Where on the line, in words: "field 3 (columns 9-17, E9.3), intensity" /
// "第3欄（9～17桁目、E9.3）、強度"; empty when the problem names no field.
std::string FieldText(const ProblemField& field, TextLanguage language);

// The line number as it follows the file: "line 3" / "3 行目".
std::string LineText(int line, TextLanguage language);

// The whole report on one line: the file, the line and the field, then what is wrong.
std::string ProblemLine(const Problem& problem, TextLanguage language);

// The one way every front end words a failure: a ProblemError as its ProblemLine, anything
// else (out of memory, a fault of the library) as kUnexpected quoting what the library said.
// Used by Dosavia's messages, `Dosavia --plot`, and the browser's and Node's bindings.
std::string ReportOf(const std::exception& error, TextLanguage language);

// Why a system call failed (errno), in words of the language.
std::string SystemErrorText(int error, TextLanguage language);

}  // namespace dosavia
