#include "gui/app/preferences.h"

#include <QCoreApplication>
#include <QSettings>

namespace dosavia::gui {

namespace {

// The names are given here, not taken from the application, so that a preference read
// before NameApplication (a test that makes its own application) still finds the one file.
QSettings Store() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                   QString::fromLatin1(kOrganisationName), QString::fromLatin1(kApplicationName));
}

}  // namespace

void NameApplication() {
  QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganisationName));
  QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
}

QVariant Preference(const char* key, const QVariant& fallback) {
  return Store().value(QString::fromLatin1(key), fallback);
}

void SetPreference(const char* key, const QVariant& value) {
  Store().setValue(QString::fromLatin1(key), value);
}

QString PreferencesFile() { return Store().fileName(); }

}  // namespace dosavia::gui
