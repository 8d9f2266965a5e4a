// The language of the interface. The Japanese texts in the code are the source texts, so the
// Japanese interface needs no translation file; English comes from the translation compiled
// into the program. Every text a form shows is set through SetTrText and friends, which keep
// the Japanese source with the widget, so that a language switch can set it again.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

class QWidget;

namespace dosavia::gui {

enum class Language { kJapanese, kEnglish };

// "ja" or "en" (as given to --lang); nothing for any other text.
std::optional<Language> ParseLanguage(const std::string& code);

// The language named by "--lang ja|en" among the program's arguments, if any.
std::optional<Language> LanguageArgument(int argc, char** argv);

Language CurrentLanguage();

// Installs (English) or removes (Japanese) the translation; every open form receives
// QEvent::LanguageChange and sets its texts again. `remember` stores the choice for the next
// start.
void SetLanguage(Language language, bool remember);

// At start: the language of the command line when given (not stored), else the stored one.
void ApplyStartLanguage(std::optional<Language> from_command_line);

// The translation of `source` in `context` (the source itself in Japanese).
QString Tr(const char* context, const char* source);

// Translation context of the window that holds `widget`: the one set with SetWindowTrContext,
// else the window's class name without the namespace.
QByteArray TrContext(const QWidget* widget);

// Names the translation context of `window`'s texts: the window's role ("MenuWindow",
// "VisualScreen", "ExplanationPage1" ...), which the translation file and the browser edition
// share, also where one class serves several windows (the explanation pages).
void SetWindowTrContext(QWidget* window, const char* context);

// Sets the text of a label, button or check box, the title of a group box (also a window's
// title with SetTrTitle), or the tool tip, from a Japanese source and the arguments that
// replace %1, %2, ...; the widget keeps them for RetranslateTexts.
void SetTrText(QWidget* widget, const char* context, const char* source,
               const QStringList& args = {});
void SetTrTitle(QWidget* widget, const char* context, const char* source);
void SetTrToolTip(QWidget* widget, const char* context, const char* source,
                  const QStringList& args = {});

// Sets again every text kept by the functions above on `form` and its children.
void RetranslateTexts(QWidget* form);

}  // namespace dosavia::gui
