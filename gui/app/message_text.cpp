#include "gui/app/message_text.h"

#include "gui/app/language.h"
#include "gui/widgets/form_style.h"
#include "records/problem.h"

namespace dosavia::gui {

TextLanguage ProblemLanguage() {
  return CurrentLanguage() == Language::kEnglish ? TextLanguage::kEnglish : TextLanguage::kJapanese;
}

QString FileProblemMessage(const QString& what, const std::exception& error) {
  QString text = what;
  const auto* reported = dynamic_cast<const ProblemError*>(&error);
  if (reported == nullptr)
    return text + QStringLiteral("\n") + ShownText(std::string(error.what()));
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

}  // namespace dosavia::gui
