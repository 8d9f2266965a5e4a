// The program's message boxes, and texts from files and typing as a message shows them.
#pragma once

#include <QString>

#include <string>

class QWidget;

namespace dosavia::gui {

// Asks before something long: a question box with `go` and `cancel` buttons (OK and Cancel
// roles, Cancel the default). True when the user chose `go`.
bool AskToGoOn(QWidget* parent, const QString& text, const QString& go, const QString& cancel);

// A file name, a typed text or a quoted line as a message shows it: control characters and
// characters that cannot be shown written as \xNN, cut after 80 characters.
QString ShownText(const QString& text);
// The same for bytes as a file or a reader gave them, which may not be UTF-8.
QString ShownText(const std::string& bytes);

// The program's warning: a message box with the exclamation icon and one OK button,
// waiting until the user answers it.
void ShowExclamation(QWidget* parent, const QString& text);

}  // namespace dosavia::gui
