#include "gui/base/preferences.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QVariantMap>

#include <sys/stat.h>

#include <cstdio>
#include <utility>

#include "gui/base/language.h"

namespace dosavia::gui {

namespace {

// The program's preferences live here for the whole run; the file only remembers them, so
// a file that cannot be read or written (a locked classroom profile) never takes a choice
// away while the program runs.
struct PreferenceState {
  bool loaded = false;
  bool file_usable = true;  // false: something other than a file lies at its place
  bool reported = false;    // a failure to keep the preferences is said once
  QVariantMap values;
  PreferenceFailureHandler handler;
};

// Largest settings file read [bytes].
constexpr off_t kMostSettingsBytes = 1 << 20;

PreferenceState& State() {
  static PreferenceState state;
  return state;
}

// The names are given here, not taken from the application, so that a preference read
// before NameApplication (a test that makes its own application) still finds the one file.
QSettings Store() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                   QString::fromLatin1(kOrganisationName), QString::fromLatin1(kApplicationName));
}

// Where the file lies, found without opening it: QSettings reads its file as soon as it is
// made, and a pipe in its place would stop the program there for good.
QString ExpectedFile() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (config.isEmpty()) return {};
  return QDir(config).filePath(
      QStringLiteral("%1/%2.conf")
          .arg(QString::fromLatin1(kOrganisationName), QString::fromLatin1(kApplicationName)));
#else
  return {};  // the registry or a property list: nothing but the store itself lies there
#endif
}

void Report(const QString& message) {
  PreferenceState& state = State();
  if (state.reported) return;
  state.reported = true;
  if (state.handler) {
    state.handler(message);
  } else {
    std::fprintf(stderr, "Dosavia: %s\n", message.toLocal8Bit().constData());
  }
}

void Load() {
  PreferenceState& state = State();
  if (state.loaded) return;
  state.loaded = true;
  const QString file = ExpectedFile();
  struct stat st {};
  if (!file.isEmpty() && ::stat(QFile::encodeName(file).constData(), &st) == 0 &&
      !S_ISREG(st.st_mode)) {
    state.file_usable = false;
    Report(Tr("Messages",
              "設定ファイル %1 はファイルではないので読みません。"
              "既定の設定で始め、変更は保存しません")
               .arg(QDir::toNativeSeparators(file)));
    return;
  }
  // A file of a few hundred bytes; one far larger (a damaged or sparse file of gigabytes)
  // would take minutes and gigabytes to read, and as long again at each change.
  if (!file.isEmpty() && S_ISREG(st.st_mode) && st.st_size > kMostSettingsBytes) {
    state.file_usable = false;
    Report(Tr("Messages",
              "設定ファイル %1 は大きすぎるので読みません。"
              "既定の設定で始め、変更は保存しません")
               .arg(QDir::toNativeSeparators(file)));
    return;
  }
  QSettings settings = Store();
  if (settings.status() != QSettings::NoError) return;  // unreadable: the defaults
  for (const QString& key : settings.allKeys()) state.values.insert(key, settings.value(key));
}

}  // namespace

void NameApplication() {
  QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganisationName));
  QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
}

QVariant Preference(const char* key, const QVariant& fallback) {
  Load();
  return State().values.value(QString::fromLatin1(key), fallback);
}

void SetPreference(const char* key, const QVariant& value) {
  Load();
  PreferenceState& state = State();
  state.values.insert(QString::fromLatin1(key), value);
  if (!state.file_usable) return;  // said once at loading
  QSettings settings = Store();
  settings.setValue(QString::fromLatin1(key), value);
  settings.sync();
  if (settings.status() != QSettings::NoError)
    Report(Tr("Messages",
              "設定を %1 に保存できません。"
              "変更はこのプログラムを閉じるまで有効です")
               .arg(QDir::toNativeSeparators(settings.fileName())));
}

void SetPreferenceFailureHandler(PreferenceFailureHandler handler) {
  State().handler = std::move(handler);
}

QString PreferencesFile() {
  const QString file = ExpectedFile();
  return file.isEmpty() ? Store().fileName() : file;
}

}  // namespace dosavia::gui
