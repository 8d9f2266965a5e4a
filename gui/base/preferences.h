// The user's preferences, kept between starts in one settings file: the zoom, the language,
// the console window, the all-cores choice and the working folder already told of. Every
// preference is read and written here, under the one organisation and application name the
// program gives itself at start, so that a teacher who resets the file resets them all.
#pragma once

#include <QString>
#include <QVariant>

#include <functional>

namespace dosavia::gui {

// The preferences' keys and their values as the file has always held them.
inline constexpr char kLanguageKey[] = "language";              // "ja" or "en"
inline constexpr char kZoomKey[] = "zoom";                      // 0 (fit the screen) or 0.5..2
inline constexpr char kOwnConsoleKey[] = "engine/own_console";  // true or false
inline constexpr char kAllCoresKey[] = "engine/all_cores";      // true or false
inline constexpr char kTrackFadeKey[] = "visual/fade";          // true (older tracks fade) or false
// The working folder a first start has told the user of (its canonical path).
inline constexpr char kWorkingFolderToldKey[] = "working_folder/told";

// The organisation and the application the file is kept under (on Linux
// ~/.config/Dosavia/Dosavia.conf).
inline constexpr char kOrganisationName[] = "Dosavia";
inline constexpr char kApplicationName[] = "Dosavia";

// Gives the application its organisation and application name, once at start, before any
// window or preference.
void NameApplication();

// The value of `key` in this run (read from the file once, at the first call), or
// `fallback` when none was chosen or stored.
QVariant Preference(const char* key, const QVariant& fallback = {});
// Takes the value for this run at once and keeps it in the file; a file that cannot be
// written (or something other than a file in its place, which is never read) is reported
// once, and the choice still holds until the program ends.
void SetPreference(const char* key, const QVariant& value);

// Who hears that the preferences cannot be kept: the menu shows it in a message box; the
// default writes it to the standard error.
using PreferenceFailureHandler = std::function<void(const QString& message)>;
void SetPreferenceFailureHandler(PreferenceFailureHandler handler);

// The file that holds the preferences.
QString PreferencesFile();

}  // namespace dosavia::gui
