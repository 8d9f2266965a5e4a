#include "gui/base/language.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QTranslator>
#include <QVariant>
#include <QWidget>

#include "gui/base/preferences.h"

namespace dosavia::gui {

namespace {

const char kEnglishTranslation[] = ":/i18n/dosavia_en.qm";

// Dynamic properties that keep a widget's source texts.
const char kContextProperty[] = "dosaviaTrContext";
// The translation context a window gives its texts.
const char kWindowContextProperty[] = "dosaviaWindowTrContext";
const char kTextProperty[] = "dosaviaTrText";
const char kTextArgsProperty[] = "dosaviaTrTextArgs";
const char kTitleProperty[] = "dosaviaTrTitle";
const char kTipProperty[] = "dosaviaTrTip";
const char kTipArgsProperty[] = "dosaviaTrTipArgs";
// What was last set: a text the program has changed since is its own and left alone.
const char kShownTextProperty[] = "dosaviaTrShownText";

Language current = Language::kJapanese;

QTranslator& EnglishTranslator() {
  static QTranslator translator;
  return translator;
}

QString Filled(const char* context, const QByteArray& source, const QStringList& args) {
  QString text = QCoreApplication::translate(context, source.constData());
  for (const QString& arg : args) text = text.arg(arg);
  return text;
}

QString TextOf(const QWidget* widget) {
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
  return {};
}

void ApplyText(QWidget* widget, const QString& text) {
  if (auto* label = qobject_cast<QLabel*>(widget))
    label->setText(text);
  else if (auto* button = qobject_cast<QAbstractButton*>(widget))
    button->setText(text);
  else if (auto* group = qobject_cast<QGroupBox*>(widget))
    group->setTitle(text);
  widget->setProperty(kShownTextProperty, text);
}

void Retranslate(QWidget* widget) {
  const QByteArray context = widget->property(kContextProperty).toByteArray();
  if (context.isEmpty()) return;
  const QVariant text = widget->property(kTextProperty);
  if (text.isValid() && TextOf(widget) == widget->property(kShownTextProperty).toString())
    ApplyText(widget, Filled(context.constData(), text.toByteArray(),
                             widget->property(kTextArgsProperty).toStringList()));
  const QVariant title = widget->property(kTitleProperty);
  if (title.isValid()) widget->setWindowTitle(Filled(context.constData(), title.toByteArray(), {}));
  const QVariant tip = widget->property(kTipProperty);
  if (tip.isValid())
    widget->setToolTip(Filled(context.constData(), tip.toByteArray(),
                              widget->property(kTipArgsProperty).toStringList()));
}

}  // namespace

std::optional<Language> ParseLanguage(const std::string& code) {
  if (code == "ja") return Language::kJapanese;
  if (code == "en") return Language::kEnglish;
  return std::nullopt;
}

std::optional<Language> LanguageArgument(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--lang") return ParseLanguage(argv[i + 1]);
  return std::nullopt;
}

Language CurrentLanguage() { return current; }

void SetLanguage(Language language, bool remember) {
  if (remember)
    SetPreference(kLanguageKey,
                  language == Language::kEnglish ? QStringLiteral("en") : QStringLiteral("ja"));
  // Qt's own dialogs and buttons (file dialogs, Yes/No, the overwrite question) in Japanese
  // too, from Qt's translations where the system has them (Debian: qt6-translations-l10n);
  // without them they stay English, as before.
  static QTranslator qt_japanese;
  static const bool qt_japanese_found = qt_japanese.load(
      QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (qt_japanese_found) {
    if (language == Language::kJapanese)
      QCoreApplication::installTranslator(&qt_japanese);
    else
      QCoreApplication::removeTranslator(&qt_japanese);
  }
  if (language == current) return;
  QTranslator& translator = EnglishTranslator();
  if (language == Language::kEnglish) {
    // The translation is compiled into the program; failing to load it would be a build fault.
    if (translator.isEmpty() && !translator.load(QString::fromLatin1(kEnglishTranslation))) return;
    QCoreApplication::installTranslator(&translator);
  } else {
    QCoreApplication::removeTranslator(&translator);
  }
  current = language;
}

void ApplyStartLanguage(std::optional<Language> from_command_line) {
  if (from_command_line) return SetLanguage(*from_command_line, false);
  const auto stored = ParseLanguage(Preference(kLanguageKey).toString().toStdString());
  SetLanguage(stored.value_or(Language::kJapanese), false);
}

QString Tr(const char* context, const char* source) {
  return QCoreApplication::translate(context, source);
}

QByteArray TrContext(const QWidget* widget) {
  const QByteArray chosen = widget->window()->property(kWindowContextProperty).toByteArray();
  if (!chosen.isEmpty()) return chosen;
  const QByteArray name = widget->window()->metaObject()->className();
  const int colon = name.lastIndexOf("::");
  return colon < 0 ? name : name.mid(colon + 2);
}

void SetWindowTrContext(QWidget* window, const char* context) {
  window->setProperty(kWindowContextProperty, QByteArray(context));
}

void SetTrText(QWidget* widget, const char* context, const char* source, const QStringList& args) {
  widget->setProperty(kContextProperty, QByteArray(context));
  widget->setProperty(kTextProperty, QByteArray(source));
  widget->setProperty(kTextArgsProperty, args);
  ApplyText(widget, Filled(context, source, args));
}

void SetTrTitle(QWidget* widget, const char* context, const char* source) {
  widget->setProperty(kContextProperty, QByteArray(context));
  widget->setProperty(kTitleProperty, QByteArray(source));
  widget->setWindowTitle(Filled(context, source, {}));
}

void SetTrToolTip(QWidget* widget, const char* context, const char* source,
                  const QStringList& args) {
  widget->setProperty(kContextProperty, QByteArray(context));
  widget->setProperty(kTipProperty, QByteArray(source));
  widget->setProperty(kTipArgsProperty, args);
  widget->setToolTip(Filled(context, source, args));
}

void RetranslateTexts(QWidget* form) {
  Retranslate(form);
  for (QWidget* child : form->findChildren<QWidget*>()) Retranslate(child);
}

}  // namespace dosavia::gui
