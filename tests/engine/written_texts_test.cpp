// Texts that one program writes and another reads back: the engine's progress and error
// lines that Dosavia's console window follows, and the result file's name that the engine
// screen reads the energy from. Each reader lives beside its writer; these tests hold them
// to each other.
#include <gtest/gtest.h>

#include <string>

#include "engine/command_line.h"
#include "engine/conditions_file.h"
#include "engine/console_text.h"
#include "records/problem.h"
#include "records/problem_text.h"

namespace dosavia {
namespace {

// The console speaks Japanese throughout: a report of a failed run is the problem's Japanese
// line, and is told from every other line of the dialogue.
TEST(ErrorLineTest, IsTheJapaneseReportAndIsRecognised) {
  const Problem no_kerma(ProblemKind::kNoPrimaryKerma);
  EXPECT_EQ(ErrorLine(no_kerma),
            " *** エラー: " +
                std::string(ProblemWording(ProblemKind::kNoPrimaryKerma, TextLanguage::kJapanese)));
  Problem missing(ProblemKind::kNotANumber);
  missing.In("Joken.dat", 3).At(ProblemField::Named(FieldName::kPhotonTotal)).WithValue("many");
  EXPECT_EQ(ErrorLine(missing),
            " *** エラー: Joken.dat 3 行目、光子総数：数値ではありません（'many'）");
  for (const Problem& p : {no_kerma, missing}) EXPECT_TRUE(IsErrorLine(ErrorLine(p)));
  for (const std::string& line :
       {std::string(kTitleLine), std::string(kPromptLine), std::string(kStopLine),
        ProgressLine(3, 200), std::string("*** エラー: without its blank"), std::string()})
    EXPECT_FALSE(IsErrorLine(line)) << line;
}

}  // namespace
}  // namespace dosavia
