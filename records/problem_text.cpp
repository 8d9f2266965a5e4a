#include "records/problem_text.h"

#include "records/utf8_text.h"

#include <cerrno>
#include <string_view>
#include <system_error>

namespace dosavia {

namespace {

struct KindWording {
  ProblemKind kind;
  const char* japanese;
  const char* english;
};

// One entry per kind. The English wordings are also what() of the errors, so they stay
// close to what the logs have always shown.
constexpr KindWording kKindWordings[] = {
    {ProblemKind::kCannotOpen, "ファイルが無いか、読めません",
     "cannot open the file (missing or unreadable)"},
    {ProblemKind::kReadFailed, "読み込みエラー（{reason}）", "read error ({reason})"},
    {ProblemKind::kNotAFile, "{type}なので読めません（ファイルではありません）",
     "cannot read it: it is {type}, not a file"},
    {ProblemKind::kFileTooLarge,
     "この種類のファイルとしては大きすぎます（{limit} バイトを超えています）",
     "the file is far larger than any file of this kind (more than {limit} bytes)"},
    {ProblemKind::kWillNotReplace, "{type}なので置き換えません（ファイルではありません）",
     "will not replace it: it is {type}, not a file"},
    {ProblemKind::kWillNotReplaceProgramFile,
     "プログラムが読むファイルかプログラム自身（{value}"
     "）なので置き換えません。別の名前を選んで下さい",
     "will not replace it: it is {value}, a file the programs read or run; choose another name"},
    {ProblemKind::kWillNotReplaceResult,
     "計算結果ファイルなので置き換えません。別の名前を選んで下さい",
     "will not replace it: it is a result file; choose another name"},
    {ProblemKind::kWillNotReplaceStatistics,
     "既にあり、計算の統計ファイルではないので置き換えません。結果ファイルに別の名前を付けるか、"
     "そのファイルを移して下さい",
     "will not replace it: the file is there and is not a run's statistics; give the result "
     "another name or move the file"},
    {ProblemKind::kWillNotReplaceThroughLink,
     "別の場所（{value}"
     "）へのリンクなので、その先を置き換えません。結果ファイルに別の名前を付けて下さい",
     "will not replace what it links to ({value}); give the result another name"},
    {ProblemKind::kExportOverStatistics,
     "計算の統計ファイル（結果の不確かさ）なので置き換えません。別の名前を選んで下さい",
     "will not replace it: it holds a run's statistics (its uncertainties); choose another name"},
    {ProblemKind::kRunGoesOn,
     "同じフォルダで同じ名前の計算が実行中です。終わるのを待つか、結果ファイルに別の名前を付けて下"
     "さい",
     "another run of this name is being written in this folder now; wait for it to end or "
     "give the result another name"},
    {ProblemKind::kRenameWillBeRefused,
     "他のユーザーのファイルで、このフォルダ（スティッキービット付き）では置き換えられません。"
     "結果ファイルに別の名前を付けて下さい",
     "it belongs to another user and this folder (sticky) lets only its owner replace it; "
     "give the result another name"},
    {ProblemKind::kCannotCreateTemporary, "同じフォルダに一時ファイルを作れません（{reason}）",
     "cannot create a temporary file beside it ({reason})"},
    {ProblemKind::kCannotCreate, "ファイルを作れません（{reason}）",
     "cannot create the file ({reason})"},
    {ProblemKind::kCannotWrite, "ファイルを書き込めません（{reason}）",
     "cannot write the file ({reason})"},
    {ProblemKind::kCannotRename, "一時ファイルの名前をこの名前に変えられません（{reason}）",
     "cannot rename the temporary file to this name ({reason})"},
    {ProblemKind::kCannotEncodePicture, "画像を PNG に変換できません",
     "cannot encode the picture as PNG"},
    {ProblemKind::kFileEndsEarly, "ファイルが途中で終わっています（行が足りません）",
     "the file ends too early (line missing)"},
    {ProblemKind::kStartsWithByteOrderMark,
     "ファイルの先頭に BOM（バイト順マーク）があります。BOM なしのテキスト"
     "（ASCII または BOM なし UTF-8）で保存し直して下さい",
     "the file starts with a byte-order mark (BOM); save it again as plain text (ASCII, or "
     "UTF-8 without BOM)"},
    {ProblemKind::kLinesEndInCarriageReturn,
     "行末が CR だけです（古い Mac の形式）。行末を CR LF か LF にして保存し直して下さい",
     "its lines end in CR alone (an old Mac text file); save it again with CR LF or LF line "
     "ends"},
    {ProblemKind::kFieldBlank, "値がありません", "the field is blank"},
    {ProblemKind::kNotAnInteger, "整数ではありません（'{value}'）", "not an integer: '{value}'"},
    {ProblemKind::kNotANumber, "数値ではありません（'{value}'）", "not a number: '{value}'"},
    {ProblemKind::kOutOfRange, "範囲外の値です（'{value}'）", "out of range: '{value}'"},
    {ProblemKind::kBeyondSinglePrecision,
     "範囲外の値です（'{value}' は単精度の最大値 3.4E+38 を超えます）",
     "out of range: '{value}' is beyond the largest single-precision value (3.4E+38)"},
    {ProblemKind::kPhotonRowCount, "光子の行数 {value} が {limit} の範囲外です",
     "photon row count {value} is outside {limit}"},
    {ProblemKind::kMustBePositive, "正の数でなければなりません", "must be a positive number"},
    {ProblemKind::kMustNotBeNegative, "負の値は使えません", "must not be negative"},
    {ProblemKind::kCoefficientsTooLarge, "係数の和が単精度の範囲を超えます",
     "the coefficients add up beyond the single-precision range"},
    {ProblemKind::kPhotonEnergiesMustAscend,
     "光子エネルギーは行ごとに増えなければなりません（この行が前の行より大きくありません）",
     "photon energies must ascend (this row is not above the one before)"},
    {ProblemKind::kPhotonEnergyTooClose, "光子エネルギーが前の行に近すぎて、その間を補間できません",
     "photon energy too close to the row before to interpolate between them"},
    {ProblemKind::kXMustNotBeNegative, "x に負の値は使えません", "x must not be negative"},
    {ProblemKind::kFirstXMustBeZero, "最初の x は 0 でなければなりません", "the first x must be 0"},
    {ProblemKind::kIntegralMustStartAtZero, "積分値は最初の行で 0 でなければなりません",
     "the integral must start at 0 in the first row"},
    {ProblemKind::kMustBePositiveBeyondZero, "x = 0 より先では正でなければなりません",
     "must be positive beyond x = 0"},
    {ProblemKind::kXMustAscend, "x は行ごとに増えなければなりません", "x must ascend"},
    {ProblemKind::kIntegralMustNotDecrease, "累積積分値が減ってはいけません",
     "the cumulative integral must not decrease"},
    {ProblemKind::kLastIntegralMustBePositive, "最後の累積積分値は正でなければなりません",
     "the last cumulative integral must be positive"},
    {ProblemKind::kLastIncoherentMustBePositive,
     "非干渉性散乱関数の最後の値は正でなければなりません",
     "the last incoherent function value must be positive"},
    {ProblemKind::kCosineOutOfRange, "余弦×16384 は -16384～16384 の範囲になければなりません",
     "a cosine times 16384 must lie in -16384..16384"},
    {ProblemKind::kEnergyMustBePositive, "エネルギーは正でなければなりません",
     "energy must be positive"},
    {ProblemKind::kEnergiesMustDescend, "エネルギーは行ごとに減らなければなりません",
     "the energies must descend"},
    {ProblemKind::kElectronRowCount, "電子データの行数 {value} が {limit} の範囲外です",
     "electron row count {value} is outside {limit}"},
    {ProblemKind::kEnergyOffGrid,
     "この行のエネルギーがファイルの対数目盛り（最初の 2 行の比で増える列）に乗っていません",
     "this row's energy is off the file's logarithmic grid (the ratio of its first two rows)"},
    {ProblemKind::kRangesMustAscend, "飛程は行ごとに増えなければなりません",
     "the ranges must ascend"},
    {ProblemKind::kIntensityTooLarge, "強度が単精度で扱える値より大きすぎます",
     "the intensity is too large for single precision"},
    {ProblemKind::kNumberInSeparator,
     "'{value}'：数値が区切りの桁に入り込んでいます。各記録は 1～6 桁目がエネルギー、"
     "7～8 桁目が「, 」、9～17 桁目が強度です",
     "'{value}': a number reaches into the separator columns; each record is the energy in "
     "columns 1-6, ', ' in 7-8 and the intensity in 9-17"},
    {ProblemKind::kIntensityWithoutPoint, "'{value}'：強度に小数点がありません",
     "'{value}': the intensity has no decimal point"},
    {ProblemKind::kNumberPastIntensity,
     "'{value}'：数値が 17 桁目を越えて続いています。各記録は 1～6 桁目がエネルギー、"
     "7～8 桁目が「, 」、9～17 桁目が強度です",
     "'{value}': a number continues past column 17; each record is the energy in columns "
     "1-6, ', ' in 7-8 and the intensity in 9-17"},
    {ProblemKind::kSpectrumEndsEarly,
     "スペクトルが {value} 記録で終わっています（{limit} 記録必要です）",
     "the spectrum ends after {value} records; it needs {limit}"},
    {ProblemKind::kIntensityNegative, "強度に負の値は使えません",
     "the intensity must not be negative"},
    {ProblemKind::kNoPositiveIntensity, "強度が正のビンがなく、計算するものがありません",
     "no bin has a positive intensity, so there is nothing to simulate"},
    {ProblemKind::kIntensitiesTooLarge, "強度が大きすぎて単精度では合計できません",
     "the intensities are too large to add up in single precision"},
    {ProblemKind::kBinAboveTable,
     "ビン {line}（{value} MeV）に重みがありますが、{other} の光子の表は {limit} MeV "
     "で終わっています",
     "bin {line} ({value} MeV) has weight, but the photon table of {other} ends at {limit} MeV"},
    {ProblemKind::kRecordsEndEarly,
     "ファイルが途中で終わっています（{limit} 記録のうち {value} 記録）",
     "the file ends after {value} of {limit} records"},
    {ProblemKind::kWeightInvalid, "重みは負でない有限の数でなければなりません",
     "the weight must be a finite number, not negative"},
    {ProblemKind::kPhotonEnergyFarTooLarge, "光子エネルギー {value} MeV は大きすぎます",
     "the photon energy {value} MeV is far too large"},
    {ProblemKind::kPhotonEnergyNegative, "重みが 0 でない記録の光子エネルギーに負の値は使えません",
     "the photon energy must not be negative where the weight is not 0"},
    {ProblemKind::kPhotonEnergyAboveTable,
     "光子エネルギー {value} MeV に重みがありますが、{limit} MeV で終わる光子の表を超えています",
     "the photon energy {value} MeV has weight but lies above the photon table, which ends at "
     "{limit} MeV"},
    {ProblemKind::kWeightsSumToZero, "{limit} 記録の重みの合計が 0 です",
     "the weights of the {limit} records sum to 0"},
    {ProblemKind::kWeightsTooLarge, "{limit} 記録の重みが大きすぎて合計できません",
     "the weights of the {limit} records are too large to add up"},
    {ProblemKind::kResultEndsEarly,
     "ファイルが途中の記録で終わっています（{limit} 記録のうち記録 {value}）",
     "the file ends in record {value} of {limit}"},
    {ProblemKind::kPhantomNotUtf8, "UTF-8 の文字として読めないバイトがあります",
     "holds bytes that are not UTF-8 text"},
    {ProblemKind::kPhantomLineShape, "一行には物質名と厚さ [cm] の二つだけを書きます（{value}）",
     "a line holds a material name and a thickness in cm, nothing else ({value})"},
    {ProblemKind::kPhantomUnknownMaterial, "物質 {value} はありません（使えるのは {limit}）",
     "there is no material {value} (known: {limit})"},
    {ProblemKind::kPhantomThicknessInvalid, "厚さ {value} は正の数 [cm] でなければなりません",
     "the thickness {value} must be a positive number of cm"},
    {ProblemKind::kPhantomTooDeep, "層の厚さの合計 {value} cm が水槽の深さ {limit} cm を超えます",
     "the layers add up to {value} cm, more than the phantom's {limit} cm"},
    {ProblemKind::kPhantomTooManyLayers, "層は {limit} 枚までです", "at most {limit} layers"},
    {ProblemKind::kPhantomEmpty, "層が一つも書かれていません", "no layer is given"},
    {ProblemKind::kResultValueTooLarge,
     "範囲外の値です（{value} は計算プログラムが書く値より大きすぎます）",
     "out of range: {value} is larger than any value the engine writes"},
    {ProblemKind::kStatisticsLineUnexpected,
     "計算の統計ファイルの行として読めません（{limit} が必要ですが '{value}' があります）",
     "the line does not read as the run statistics' {limit} (it holds '{value}')"},
    {ProblemKind::kStatisticsOfAnotherResult,
     "別の計算結果のための統計ファイルなので使いません（同じ名前の別の計算）",
     "not used: they were written for another result of this name"},
    {ProblemKind::kStatisticsGroupCount,
     "履歴グループが {value} 個あり、{limit} 個ではないので使いません",
     "not used: they hold {value} history groups, not {limit}"},
    {ProblemKind::kStatisticsNotFinite, "有限でない値があるので使いません",
     "not used: they hold a value that is not a finite number"},
    {ProblemKind::kStatisticsNegative, "負の線量（{value}）があるので使いません",
     "not used: a group's dose is below zero ({value})"},
    {ProblemKind::kStatisticsMeanDiffers,
     "履歴グループの平均が結果の曲線と合わないので使いません（{value}）",
     "not used: the mean of their history groups differs from the result's curve ({value})"},
    {ProblemKind::kStatisticsWithoutSpread,
     "履歴グループにばらつきがなく、不確かさを測れません（光子が少なすぎます）",
     "not used: their history groups do not scatter, so they measure no uncertainty (too "
     "few photons)"},
    {ProblemKind::kLineMissing, "行がありません（{limit} 行必要ですが、{value} 行しかありません）",
     "the line is missing (the file needs {limit} lines, it has {value})"},
    {ProblemKind::kNameEmpty, "名前が空です", "the name is empty"},
    {ProblemKind::kNotAPlainFileName,
     "'{value}' は単純なファイル名ではありません。ファイルはフォルダやドライブを付けずに、"
     "作業フォルダに置きます",
     "'{value}' is not a plain file name: the programs' files live in the working directory, "
     "without a folder or drive"},
    {ProblemKind::kNameHoldsControl, "名前に制御文字が含まれています",
     "the name holds a control character"},
    {ProblemKind::kNameIsAFolder, "'{value}' はファイルではなくフォルダを指します",
     "'{value}' names a folder, not a file"},
    {ProblemKind::kResultWouldOverwriteInput,
     "結果ファイル '{value}' が計算の入力ファイルを上書きしてしまいます",
     "the result file '{value}' would overwrite an input file of the run"},
    {ProblemKind::kResultWouldOverwriteShipped,
     "結果ファイル '{value}' が付属のプログラムかデータファイルを上書きしてしまいます",
     "the result file '{value}' would overwrite a program or data file shipped with it"},
    {ProblemKind::kNoNumber, "行に数値がありません", "no number on the line"},
    {ProblemKind::kMoreThanPhotonTotal,
     "行に光子総数のほかにも数値があります（'{value}'）。桁区切りを付けずに、例えば 3.00E+07 "
     "と書いて下さい",
     "more than the photon total on the line: '{value}' (write it without digit grouping, e.g. "
     "3.00E+07)"},
    {ProblemKind::kPhotonTotalOutside, "光子総数は 0 から {limit} まででなければなりません",
     "the photon total must lie between 0 and {limit}"},
    {ProblemKind::kLessThanOnePhoton,
     "{value} では光子が 1 個も走りません。1 以上の数を入れて下さい",
     "{value} runs no whole photon: type a count of 1 or more"},
    {ProblemKind::kNotAResultFile,
     "'{value}' は既にあり、計算結果ファイルではありません。別の名前にするか、そのファイルを"
     "削除して下さい",
     "'{value}' exists and is not a result file: choose another name or remove it"},
    {ProblemKind::kSpectrumUnusable, "スペクトル '{value}' を使えません（{cause}）",
     "the spectrum '{value}' named here cannot be used: {cause}"},
    {ProblemKind::kNoPrimaryKerma,
     "最初の 5 cm に一次線カーマが記録されず、曲線を規格化できません（光子数が少なすぎませんか）。"
     "結果ファイルは書きませんでした",
     "no primary kerma was scored in the first 5 cm, so the curves cannot be normalised (too "
     "few photons?); no result file was written"},
    {ProblemKind::kTallyNotFinite, "線量の集計に有限でない値が含まれています",
     "the dose tally holds a value that is not a finite number"},
    {ProblemKind::kUnexpected, "予期しないエラーです（{value}）", "unexpected error ({value})"},
    {ProblemKind::kCurrentFolderGone,
     "カレントディレクトリが見つかりません（削除されたのでは？）（{reason}）",
     "the current directory cannot be found (was it deleted?): {reason}"},
    {ProblemKind::kDataFilesNotFound, "データファイルが見つかりません。探した場所: {value}",
     "the data files were not found; looked in: {value}"},
    {ProblemKind::kFolderHoldsDataFiles,
     "何も書きませんでした。このフォルダには既に {value} があります",
     "nothing written, the folder already holds: {value}"},
};

struct NameWording {
  FieldName name;
  const char* japanese;
  const char* english;
};

constexpr NameWording kFieldNames[] = {
    {FieldName::kIntensity, "強度", "intensity"},
    {FieldName::kSeparator, "区切り", "the separator"},
    {FieldName::kAfterIntensity, "強度の後", "after the intensity"},
    {FieldName::kSpectrumFileName, "スペクトルファイル名", "spectrum file name"},
    {FieldName::kResultFileName, "結果ファイル名", "result file name"},
    {FieldName::kPhotonTotal, "光子総数", "photon total"},
    {FieldName::kMaterial, "物質名", "material"},
    {FieldName::kThickness, "厚さ", "thickness"},
};

struct TypeWording {
  FileType type;
  const char* japanese;
  const char* english;
};

constexpr TypeWording kFileTypes[] = {
    {FileType::kDirectory, "フォルダ", "a directory"},
    {FileType::kPipe, "パイプ（FIFO）", "a pipe (FIFO)"},
    {FileType::kDevice, "デバイス", "a device"},
    {FileType::kSocket, "ソケット", "a socket"},
    {FileType::kSpecial, "特殊なファイル", "a special file"},
};

// The reasons a file operation of the programs usually fails; any other is said as the
// system says it.
struct ErrorWording {
  int error;
  const char* japanese;
};

const ErrorWording kSystemErrors[] = {
    {ENOENT, "ファイルかフォルダがありません"},
    {EACCES, "アクセスが許可されていません"},
    {EPERM, "操作が許可されていません"},
    {ENOSPC, "ディスクに空きがありません"},
#ifdef EDQUOT
    {EDQUOT, "ディスクの使用量の上限に達しました"},
#endif
    {EROFS, "読み取り専用の場所です"},
    {EFBIG, "ファイルが大きすぎます"},
    {EIO, "入出力エラーです"},
    {EISDIR, "フォルダです"},
    {ENOTDIR, "パスの途中がフォルダではありません"},
    {EEXIST, "既にあります"},
    {ENAMETOOLONG, "名前が長すぎます"},
    {EMFILE, "開いているファイルが多すぎます"},
    {EBUSY, "使用中です"},
};

const char* Pick(const char* japanese, const char* english, TextLanguage language) {
  return language == TextLanguage::kJapanese ? japanese : english;
}

void Join(std::string& text, std::string_view piece, std::string_view separator) {
  if (piece.empty()) return;
  if (!text.empty()) text += separator;
  text += piece;
}

std::string Range(int first, int last, std::string_view dash) {
  return std::to_string(first) + std::string(dash) + std::to_string(last);
}

}  // namespace

const char* ProblemWording(ProblemKind kind, TextLanguage language) {
  for (const KindWording& w : kKindWordings)
    if (w.kind == kind) return Pick(w.japanese, w.english, language);
  return nullptr;
}

const char* FieldNameWording(FieldName name, TextLanguage language) {
  for (const NameWording& w : kFieldNames)
    if (w.name == name) return Pick(w.japanese, w.english, language);
  return name == FieldName::kNone ? "" : nullptr;
}

const char* FileTypeWording(FileType type, TextLanguage language) {
  for (const TypeWording& w : kFileTypes)
    if (w.type == type) return Pick(w.japanese, w.english, language);
  return type == FileType::kNone ? "" : nullptr;
}

std::string SystemErrorText(int error, TextLanguage language) {
  if (language == TextLanguage::kJapanese)
    for (const ErrorWording& w : kSystemErrors)
      if (w.error == error) return w.japanese;
  return std::error_code(error, std::generic_category()).message();
}

std::string ProblemSentence(const Problem& problem, TextLanguage language) {
  const char* wording = ProblemWording(problem.kind, language);
  // A kind without a wording is a fault the tests catch; the report still says what it can.
  if (wording == nullptr) return "problem " + std::to_string(static_cast<int>(problem.kind));
  const auto parameter = [&](std::string_view name) -> std::string {
    if (name == "value") return problem.value;
    if (name == "limit") return problem.limit;
    if (name == "other") return problem.other;
    if (name == "line") return std::to_string(problem.line);
    if (name == "reason") return SystemErrorText(problem.system_error, language);
    if (name == "type") {
      const char* type = FileTypeWording(problem.file_type, language);
      return type != nullptr ? type : "";
    }
    if (name == "cause") return problem.cause ? ProblemSentence(*problem.cause, language) : "";
    return "{" + std::string(name) + "}";
  };
  std::string text;
  const std::string_view w(wording);
  std::size_t pos = 0;
  while (pos < w.size()) {
    const std::size_t open = w.find('{', pos);
    const std::size_t close = open == std::string_view::npos ? open : w.find('}', open);
    if (close == std::string_view::npos) {
      text += w.substr(pos);
      break;
    }
    text += w.substr(pos, open - pos);
    text += parameter(w.substr(open + 1, close - open - 1));
    pos = close + 1;
  }
  return text;
}

std::string FieldText(const ProblemField& field, TextLanguage language) {
  const bool ja = language == TextLanguage::kJapanese;
  const std::string_view comma = ja ? "、" : ", ";
  const std::string_view dash = ja ? "～" : "-";
  std::string where;  // the columns and the edit descriptor
  if (field.first_column > 0) {
    if (field.last_column > 0)
      where = ja ? Range(field.first_column, field.last_column, dash) + "桁目"
                 : "columns " + Range(field.first_column, field.last_column, dash);
    else
      where = ja ? std::to_string(field.first_column) + "桁目以降"
                 : "columns " + std::to_string(field.first_column) + " on";
  }
  Join(where, field.edit, comma);
  std::string text;
  if (field.number > 0) {
    const std::string numbers = field.last_number > 0 ? Range(field.number, field.last_number, dash)
                                                      : std::to_string(field.number);
    if (ja)
      text = "第" + numbers + "欄" + (where.empty() ? "" : "（" + where + "）");
    else
      text = (field.last_number > 0 ? "fields " : "field ") + numbers +
             (where.empty() ? "" : " (" + where + ")");
  } else {
    text = where;
  }
  if (field.value_number > 0)
    Join(text,
         ja ? std::to_string(field.value_number) + "番目の数値"
            : "value " + std::to_string(field.value_number),
         comma);
  if (field.record_number > 0)
    Join(text,
         ja ? "第" + std::to_string(field.record_number) + "記録"
            : "record " + std::to_string(field.record_number),
         comma);
  if (const char* name = FieldNameWording(field.name, language)) Join(text, name, comma);
  return text;
}

std::string LineText(int line, TextLanguage language) {
  return language == TextLanguage::kJapanese ? std::to_string(line) + " 行目"
                                             : "line " + std::to_string(line);
}

std::string ProblemLine(const Problem& problem, TextLanguage language) {
  const bool ja = language == TextLanguage::kJapanese;
  std::string where = problem.file;
  if (problem.line > 0) Join(where, LineText(problem.line, language), ja ? " " : ", ");
  Join(where, FieldText(problem.field, language), ja ? "、" : ", ");
  const std::string what = ProblemSentence(problem, language);
  if (where.empty()) return what;
  return where + (ja ? "：" : ": ") + what;
}

std::string ReportOf(const std::exception& error, TextLanguage language) {
  if (const auto* problem = dynamic_cast<const ProblemError*>(&error))
    return ProblemLine(problem->problem(), language);
  return ProblemLine(Problem(ProblemKind::kUnexpected).WithValue(Excerpt(error.what())), language);
}

}  // namespace dosavia
