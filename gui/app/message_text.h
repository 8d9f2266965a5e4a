// A message box's report of a problem: what could not be done, then the file, the line, the
// field and what is wrong, each on a line of its own, in the interface's language. The
// wordings of the problems are those of records/problem_text.cpp, which the engine's console
// and the browser edition use too.
#pragma once

#include <QString>

#include <exception>

#include "records/problem_text.h"

namespace dosavia::gui {

// The language of the problem wordings that goes with the interface's language.
TextLanguage ProblemLanguage();

// `what` (what could not be done, in the interface's language), then the problem of `error`.
// An error that carries no problem (a library's own) is shown as it says itself.
QString FileProblemMessage(const QString& what, const std::exception& error);

}  // namespace dosavia::gui
