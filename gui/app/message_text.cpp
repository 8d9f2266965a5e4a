#include "gui/app/message_text.h"

#include <utility>

#include "gui/widgets/form_style.h"
#include "gui/app/language.h"
#include "records/input_error.h"

namespace dosavia::gui {

namespace {

// The readers' usual problems, by the start of their English text; the rest of the text
// (a quoted value, a count) follows the Japanese.
constexpr std::pair<const char*, const char*> kProblems[] = {
    {"cannot open the file (missing or unreadable)",
     QT_TRANSLATE_NOOP("Messages", "ファイルが無いか、読めません")},
    {"cannot be opened", QT_TRANSLATE_NOOP("Messages", "ファイルを開けません")},
    {"cannot be read", QT_TRANSLATE_NOOP("Messages", "ファイルを読めません")},
    {"read error", QT_TRANSLATE_NOOP("Messages", "読み込みエラー")},
    {"not a plain file", QT_TRANSLATE_NOOP("Messages", "通常のファイルではありません")},
    {"cannot read it: it is ",
     QT_TRANSLATE_NOOP("Messages", "読めません（ファイルではありません）：")},
    {"the file is far larger than any file of this kind",
     QT_TRANSLATE_NOOP("Messages", "この種類のファイルとしては大きすぎます")},
    {"the file ends too early (line missing)",
     QT_TRANSLATE_NOOP("Messages", "ファイルが途中で終わっています（行が足りません）")},
    {"the file ends after ",
     QT_TRANSLATE_NOOP("Messages", "ファイルが途中で終わっています。記録数：")},
    {"the file ends in record ",
     QT_TRANSLATE_NOOP("Messages", "ファイルが途中の記録で終わっています。記録：")},
    {"the spectrum ends after ",
     QT_TRANSLATE_NOOP("Messages", "スペクトルが途中で終わっています。記録数：")},
    {"the line is missing", QT_TRANSLATE_NOOP("Messages", "行がありません")},
    {"the field is blank", QT_TRANSLATE_NOOP("Messages", "値がありません")},
    {"no number on the line", QT_TRANSLATE_NOOP("Messages", "行に数値がありません")},
    {"not a number: ", QT_TRANSLATE_NOOP("Messages", "数値ではありません：")},
    {"not an integer: ", QT_TRANSLATE_NOOP("Messages", "整数ではありません：")},
    {"out of range: ", QT_TRANSLATE_NOOP("Messages", "範囲外の値です：")},
    {"must be a positive number", QT_TRANSLATE_NOOP("Messages", "正の数でなければなりません")},
    {"must not be negative", QT_TRANSLATE_NOOP("Messages", "負の値は使えません")},
    {"the intensity must not be negative",
     QT_TRANSLATE_NOOP("Messages", "強度に負の値は使えません")},
    {"the weight must be a finite number, not negative",
     QT_TRANSLATE_NOOP("Messages", "重みは負でない有限の数でなければなりません")},
    {"the weights of the 400 records sum to 0",
     QT_TRANSLATE_NOOP("Messages", "400 記録の重みの合計が 0 です")},
    {"no bin has a positive intensity",
     QT_TRANSLATE_NOOP("Messages", "強度が正のビンがなく、計算するものがありません")},
    {"the name is empty", QT_TRANSLATE_NOOP("Messages", "名前が空です")},
    {"the name holds a control character",
     QT_TRANSLATE_NOOP("Messages", "名前に制御文字が含まれています")},
};

// Words of the readers' field names.
constexpr std::pair<const char*, const char*> kFieldWords[] = {
    {"spectrum file name", QT_TRANSLATE_NOOP("Messages", "スペクトルファイル名")},
    {"result file name", QT_TRANSLATE_NOOP("Messages", "結果ファイル名")},
    {"photon total", QT_TRANSLATE_NOOP("Messages", "光子総数")},
    {"intensity", QT_TRANSLATE_NOOP("Messages", "強度")},
    {"weight", QT_TRANSLATE_NOOP("Messages", "重み")},
    {"energy", QT_TRANSLATE_NOOP("Messages", "エネルギー")},
    {"record", QT_TRANSLATE_NOOP("Messages", "記録")},
    {"fields", QT_TRANSLATE_NOOP("Messages", "欄")},
    {"field", QT_TRANSLATE_NOOP("Messages", "欄")},
    {"columns", QT_TRANSLATE_NOOP("Messages", "桁")},
};

QString JapaneseProblem(const QString& problem) {
  for (const auto& [english, japanese] : kProblems) {
    const QString start = QString::fromLatin1(english);
    if (problem.startsWith(start)) return Tr("Messages", japanese) + problem.mid(start.size());
  }
  return problem;
}

QString JapaneseField(QString field) {
  for (const auto& [english, japanese] : kFieldWords)
    field.replace(QString::fromLatin1(english), Tr("Messages", japanese));
  return field;
}

}  // namespace

QString FileProblemMessage(const QString& what, const std::exception& error) {
  QString text = what;
  const auto* input = dynamic_cast<const InputError*>(&error);
  if (input == nullptr)
    return text + QStringLiteral("\n") + ShownText(std::string(error.what()));
  text += Tr("Messages", "\nファイル：") + ShownText(input->file());
  if (input->line() > 0) text += Tr("Messages", "\n行：%1 行目").arg(input->line());
  if (!input->field().empty())
    text += Tr("Messages", "\n項目：") + JapaneseField(ShownText(input->field()));
  text += Tr("Messages", "\n内容：") + JapaneseProblem(ShownText(input->problem()));
  return text;
}

}  // namespace dosavia::gui
