// A message box's report of a problem: what could not be done, then the file, the line, the
// field and what is wrong, each on a line of its own, in the interface's language. The
// wordings of the problems are those of records/problem_text.cpp, which the engine's console
// and the browser edition use too.
#pragma once

#include <QString>

class QFontMetrics;

#include <exception>

#include "records/problem_text.h"

namespace dosavia::gui {

// The language of the problem wordings that goes with the interface's language.
TextLanguage ProblemLanguage();

// One line for a problem: "file line, field: what is wrong" in the interface's language, as
// the command line says it; an error that carries no problem is shown as it says itself.
QString ProblemText(const std::exception& error);

// A path as a message shows it: in the system's separators, each followed by a break
// opportunity (a zero-width space), so that a long path wraps at its folders instead of
// being cut off by the message box or broken inside a name.
QString BreakablePath(const QString& path);

// The end of `path` that fits `width` pixels in `metrics`: whole folders from the left are
// replaced by "…" until it fits, so that the last folders (…/Documents/Dosavia) stay
// readable; a last name too long alone is elided at its start.
QString PathEndFitting(const QString& path, const QFontMetrics& metrics, int width);

// `what` (what could not be done, in the interface's language), then the problem of `error`.
// An error that carries no problem (a library's own) is shown as it says itself.
QString FileProblemMessage(const QString& what, const std::exception& error);

// "約 3 分" or "約 2 時間": how long a batch or a run will take [s], rounded as the visual
// session rounds it (VisualSession::DurationOf), for the question before a long one.
QString DurationText(double seconds);

}  // namespace dosavia::gui
