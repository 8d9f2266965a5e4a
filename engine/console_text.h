// The engine's console dialogue: its fixed texts (UTF-8) and the lines built from the clock
// and the progress through the spectrum, and the reading of those lines by a program that
// follows the dialogue (Dosavia's console window).
#pragma once

#include <optional>
#include <string>
#include <vector>
#include <string_view>

#include "records/problem.h"
#include "records/problem_text.h"

namespace dosavia {

inline constexpr const char* kTitleLine = "         モンテカルロシミュレーション";
inline constexpr const char* kWaitingLine = "     計算が終了するまで このままお待ち下さい";
inline constexpr const char* kPromptLine = "   ---  Enter キーを押してください  ---";
inline constexpr const char* kStopLine = "Stop - Program terminated.";

// The console speaks Japanese, its title and prompt as the reports of a failed run: one
// language on one screen. (Kestrun's command-line usage and --init texts are English, as
// those of a command-line tool.) "--lang en" makes every line of a run English, for a class
// whose Dosavia speaks English; the progress lines and "Stop" are the same in both.
inline constexpr TextLanguage kConsoleLanguage = TextLanguage::kJapanese;

// The English run's title, waiting note and prompt.
inline constexpr const char* kEnglishTitleLine = "         Monte Carlo simulation";
inline constexpr const char* kEnglishWaitingLine =
    "     Please wait here until the calculation has finished";
inline constexpr const char* kEnglishPromptLine = "   ---  Press the Enter key  ---";

// The title, waiting note and prompt in `language`.
const char* TitleLine(TextLanguage language);
const char* WaitingLine(TextLanguage language);
const char* PromptLine(TextLanguage language);
// Whether `line` is the prompt in either language (CR at the end allowed).
bool IsPromptLine(std::string_view line);

// A reading of the local clock; the hundredths are read and never shown.
struct ClockReading {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int hundredths = 0;
};

// The local time of day now.
ClockReading ReadLocalClock();

// "      * 計算開始 =" with hour, minute, second in two columns each: ' 9: 5: 7'
// ("      * Started  =" in English).
std::string StartTimeLine(const ClockReading& t, TextLanguage language = kConsoleLanguage);

// "      * 計算終了 =" with hour, minute, second in two columns each ("      * Finished =").
std::string EndTimeLine(const ClockReading& t, TextLanguage language = kConsoleLanguage);

// " --- " bin " / " IMAX, both in three columns: " ---   1 / 200".
std::string ProgressLine(int bin, int imax);

struct ProgressReading {
  int bin = 0;
  int imax = 0;
};

// The bin and IMAX of a line that ProgressLine wrote (blanks around its parts, a CR at the
// end and wider numbers allowed); nothing for any other line of the dialogue.
std::optional<ProgressReading> ParseProgressLine(std::string_view line);

// The report of a run that could not be completed: " *** エラー: " (" *** Error: ") and the
// problem.
std::string ErrorLine(const Problem& problem, TextLanguage language = kConsoleLanguage);
// The same report for a problem already worded in `language` (the browser edition's engine
// hands its reports over as text).
std::string ErrorLineOf(std::string_view report, TextLanguage language = kConsoleLanguage);

// The line that says, after the histories, that the result was written but its statistics
// could not be: its uncertainties will be estimated from the curves alone.
std::string StatisticsNotWrittenLine(const Problem& problem,
                                     TextLanguage language = kConsoleLanguage);

// The line that says, before the histories, which data files differ from the shipped ones.
std::string DifferingDataLine(const std::vector<std::string>& names,
                              TextLanguage language = kConsoleLanguage);

// Whether `line` is a report that ErrorLine wrote, in either language.
bool IsErrorLine(std::string_view line);

}  // namespace dosavia
