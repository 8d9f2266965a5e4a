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

// A reading of the local clock; the hundredths are read and never shown.
struct ClockReading {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int hundredths = 0;
};

// The local time of day now.
ClockReading ReadLocalClock();

// "      * 計算開始 =" with hour, minute, second in two columns each: ' 9: 5: 7'.
std::string StartTimeLine(const ClockReading& t);

// "      * 計算終了 =" with hour, minute, second in two columns each.
std::string EndTimeLine(const ClockReading& t);

// " --- " bin " / " IMAX, both in three columns: " ---   1 / 200".
std::string ProgressLine(int bin, int imax);

struct ProgressReading {
  int bin = 0;
  int imax = 0;
};

// The bin and IMAX of a line that ProgressLine wrote (blanks around its parts, a CR at the
// end and wider numbers allowed); nothing for any other line of the dialogue.
std::optional<ProgressReading> ParseProgressLine(std::string_view line);

// The console speaks Japanese, its title and prompt as the reports of a failed run: one
// language on one screen. (Kestrun's command-line usage and --init texts are English, as
// those of a command-line tool.)
inline constexpr TextLanguage kConsoleLanguage = TextLanguage::kJapanese;

// The report of a run that could not be completed: " *** エラー: " and the problem.
std::string ErrorLine(const Problem& problem);
// The same report for a problem already worded in the console's language (the browser
// edition's engine hands its reports over as text).
std::string ErrorLineOf(std::string_view report);

// The line that says, after the histories, that the result was written but its statistics
// could not be: its uncertainties will be estimated from the curves alone.
std::string StatisticsNotWrittenLine(const Problem& problem);

// The line that says, before the histories, which data files differ from the shipped ones.
std::string DifferingDataLine(const std::vector<std::string>& names);

// Whether `line` is a report that ErrorLine wrote.
bool IsErrorLine(std::string_view line);

}  // namespace dosavia
