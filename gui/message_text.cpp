#include "gui/message_text.h"

#include <utility>

#include "gui/form_style.h"
#include "records/input_error.h"

namespace dosavia::gui {

namespace {

// The readers' usual problems, by the start of their English text; the rest of the text
// (a quoted value, a count) follows the Japanese.
constexpr std::pair<const char*, const char*> kProblems[] = {
    {"cannot open the file (missing or unreadable)", "ファイルが無いか、読めません"},
    {"cannot be opened", "ファイルを開けません"},
    {"cannot be read", "ファイルを読めません"},
    {"read error", "読み込みエラー"},
    {"not a plain file", "通常のファイルではありません"},
    {"cannot read it: it is ", "読めません（ファイルではありません）："},
    {"the file is far larger than any file of this kind", "この種類のファイルとしては大きすぎます"},
    {"the file ends too early (line missing)", "ファイルが途中で終わっています（行が足りません）"},
    {"the file ends after ", "ファイルが途中で終わっています。記録数："},
    {"the file ends in record ", "ファイルが途中の記録で終わっています。記録："},
    {"the spectrum ends after ", "スペクトルが途中で終わっています。記録数："},
    {"the line is missing", "行がありません"},
    {"the field is blank", "値がありません"},
    {"no number on the line", "行に数値がありません"},
    {"not a number: ", "数値ではありません："},
    {"not an integer: ", "整数ではありません："},
    {"out of range: ", "範囲外の値です："},
    {"must be a positive number", "正の数でなければなりません"},
    {"must not be negative", "負の値は使えません"},
    {"the intensity must not be negative", "強度に負の値は使えません"},
    {"the weight must be a finite number, not negative", "重みは負でない有限の数でなければなりません"},
    {"the weights of the 400 records sum to 0", "400 記録の重みの合計が 0 です"},
    {"no bin has a positive intensity", "強度が正のビンがなく、計算するものがありません"},
    {"the name is empty", "名前が空です"},
    {"the name holds a control character", "名前に制御文字が含まれています"},
};

// Words of the readers' field names.
constexpr std::pair<const char*, const char*> kFieldWords[] = {
    {"spectrum file name", "スペクトルファイル名"},
    {"result file name", "結果ファイル名"},
    {"photon total", "光子総数"},
    {"intensity", "強度"},
    {"weight", "重み"},
    {"energy", "エネルギー"},
    {"record", "記録"},
    {"fields", "欄"},
    {"field", "欄"},
    {"columns", "桁"},
};

QString JapaneseProblem(const QString& problem) {
  for (const auto& [english, japanese] : kProblems) {
    const QString start = QString::fromLatin1(english);
    if (problem.startsWith(start))
      return QString::fromUtf8(japanese) + problem.mid(start.size());
  }
  return problem;
}

QString JapaneseField(QString field) {
  for (const auto& [english, japanese] : kFieldWords)
    field.replace(QString::fromLatin1(english), QString::fromUtf8(japanese));
  return field;
}

}  // namespace

QString FileProblemMessage(const QString& what, const std::exception& error) {
  QString text = what;
  const auto* input = dynamic_cast<const InputError*>(&error);
  if (input == nullptr)
    return text + QStringLiteral("\n") + ShownText(std::string(error.what()));
  text += QString::fromUtf8("\nファイル：") + ShownText(input->file());
  if (input->line() > 0) text += QString::fromUtf8("\n行：%1 行目").arg(input->line());
  if (!input->field().empty())
    text += QString::fromUtf8("\n項目：") + JapaneseField(ShownText(input->field()));
  text += QString::fromUtf8("\n内容：") +
          JapaneseProblem(ShownText(input->problem()));
  return text;
}

}  // namespace dosavia::gui
