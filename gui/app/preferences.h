// The user's preferences, kept between starts in one settings file: the zoom, the language,
// the console window and the all-cores choice. Every preference is read and written here,
// under the one organisation and application name the program gives itself at start, so
// that a teacher who resets the file resets them all.
#pragma once

#include <QString>
#include <QVariant>

namespace dosavia::gui {

// The preferences' keys and their values as the file has always held them.
inline constexpr char kLanguageKey[] = "language";              // "ja" or "en"
inline constexpr char kZoomKey[] = "zoom";                      // 0 (fit the screen) or 0.5..2
inline constexpr char kOwnConsoleKey[] = "engine/own_console";  // true or false
inline constexpr char kAllCoresKey[] = "engine/all_cores";      // true or false

// The organisation and the application the file is kept under (on Linux
// ~/.config/Dosavia/Dosavia.conf).
inline constexpr char kOrganisationName[] = "Dosavia";
inline constexpr char kApplicationName[] = "Dosavia";

// Gives the application its organisation and application name, once at start, before any
// window or preference.
void NameApplication();

// The stored value of `key`, or `fallback` when none is stored.
QVariant Preference(const char* key, const QVariant& fallback = {});
void SetPreference(const char* key, const QVariant& value);

// The file that holds the preferences.
QString PreferencesFile();

}  // namespace dosavia::gui
