#include "gui/base/message_text.h"

#include <QDir>
#include <QFontMetrics>

#include "gui/base/language.h"
#include "gui/base/message_box.h"
#include "models/visual_session.h"
#include "records/problem.h"
#include "records/problem_text.h"

namespace dosavia::gui {

TextLanguage ProblemLanguage() {
  return CurrentLanguage() == Language::kEnglish ? TextLanguage::kEnglish : TextLanguage::kJapanese;
}

QString ProblemText(const std::exception& error) {
  return QString::fromStdString(ReportOf(error, ProblemLanguage()));
}

QString BreakablePath(const QString& path) {
  const QChar separator = QDir::separator();
  QString shown;
  for (const QChar c : QDir::toNativeSeparators(path)) {
    shown += c;
    if (c == separator) shown += QChar(0x200B);
  }
  return shown;
}

QString PathEndFitting(const QString& path, const QFontMetrics& metrics, int width) {
  const QString native = QDir::toNativeSeparators(path);
  if (metrics.horizontalAdvance(native) <= width) return native;
  const QChar separator = QDir::separator();
  const QString ellipsis(QChar(0x2026));
  for (qsizetype at = native.indexOf(separator, 1); at > 0;
       at = native.indexOf(separator, at + 1)) {
    const QString shown = ellipsis + native.mid(at);
    if (metrics.horizontalAdvance(shown) <= width) return shown;
  }
  return metrics.elidedText(native, Qt::ElideLeft, width);
}

QString FileProblemMessage(const QString& what, const std::exception& error) {
  QString text = what;
  const auto* reported = dynamic_cast<const ProblemError*>(&error);
  // Anything but a reported problem (out of memory, a fault of the library) is worded as
  // every front end words it.
  if (reported == nullptr)
    return text + QStringLiteral("\n") + QString::fromStdString(ReportOf(error, ProblemLanguage()));
  const Problem& problem = reported->problem();
  const TextLanguage language = ProblemLanguage();
  if (!problem.file.empty()) text += Tr("Messages", "\nファイル：") + ShownText(problem.file);
  if (problem.line > 0) text += Tr("Messages", "\n行：%1 行目").arg(problem.line);
  if (!problem.field.empty())
    text += Tr("Messages", "\n項目：") + QString::fromStdString(FieldText(problem.field, language));
  // Whatever the sentence quotes from a file was escaped where it was quoted.
  text += Tr("Messages", "\n内容：") + QString::fromStdString(ProblemSentence(problem, language));
  return text;
}

QString DurationText(double seconds) {
  const VisualSession::Duration duration = VisualSession::DurationOf(seconds);
  return Tr("VisualScreen", duration.hours ? "%1 時間" : "%1 分").arg(duration.amount);
}

}  // namespace dosavia::gui
