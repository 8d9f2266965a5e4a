// The Japanese wording of the forms' reports of a file problem: the readers name the file,
// the line and the field in English for the engine's console; a message box says them in
// Japanese, with anything quoted from the file escaped.
#pragma once

#include <QString>

#include <exception>

namespace dosavia::gui {

// `what` (what could not be done, Japanese), then the file, the line, the field and the
// problem of `error` on lines of their own in Japanese. A problem without a Japanese
// wording is shown as the reader gave it.
QString FileProblemMessage(const QString& what, const std::exception& error);

}  // namespace dosavia::gui
