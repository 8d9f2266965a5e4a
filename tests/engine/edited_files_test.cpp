// Data files as an editor may leave them: a byte-order mark before the first record, or
// lines ended by CR alone. Every reader names that fault, not a symptom of it, and the
// shapes the readers accept stay accepted.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "engine/conditions_file.h"
#include "engine/spectrum_file.h"
#include "physics/physics_loader.h"
#include "records/input_error.h"
#include "records/utf8_text.h"

namespace dosavia {
namespace {

std::string Shipped(const std::string& name) {
  std::ifstream in(std::string(DOSAVIA_DATA_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string WithBom(const std::string& text) { return "\xEF\xBB\xBF" + text; }

// CR LF or LF line ends turned into CR alone, as an old Mac editor saves.
std::string CrOnly(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i] == '\n' ? '\r' : text[i];
  }
  return out;
}

// The kind of problem the reader throws, or kCount when it accepts the text.
ProblemKind KindOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const InputError& e) {
    return e.problem().kind;
  }
  return ProblemKind::kCount;
}

struct Reader {
  const char* name;
  std::function<void(const std::string&)> read;
  std::string text;
};

std::vector<Reader> Readers() {
  const std::string water = Shipped("water20.dat");
  const std::string electron = Shipped("ELDAT.dat");
  const std::string spectrum = Shipped("10MV.csv");
  return {
      {"water20.dat",
       [electron](const std::string& t) {
         PhysicsTables<float> tables;
         LoadPhysicsTablesFromText(tables, "water20.dat", t, "ELDAT.dat", electron);
       },
       water},
      {"ELDAT.dat",
       [water](const std::string& t) {
         PhysicsTables<double> tables;
         LoadPhysicsTablesFromText(tables, "water20.dat", water, "ELDAT.dat", t);
       },
       electron},
      {"spectrum, fixed columns", [](const std::string& t) { ReadBeamSpectrum(t, "10MV.csv"); },
       spectrum},
      {"spectrum, free format",
       [](const std::string& t) { ParseFreeFormatSpectrum(t, "10MV.csv"); }, spectrum},
      {"Joken.dat", [](const std::string& t) { ReadConditions(t); },
       "10MV.csv\r\n10MV-30M.data\r\n3.00E+07\r\n"},
  };
}

TEST(EditedFilesTest, EachReaderNamesTheLayoutAnEditorLeft) {
  for (const Reader& r : Readers()) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(KindOf([&] { r.read(r.text); }), ProblemKind::kCount);
    // Windows editors write the mark; Joken.dat has always allowed it before a name.
    const bool allows_bom = std::string(r.name) == "Joken.dat";
    EXPECT_EQ(KindOf([&] { r.read(WithBom(r.text)); }),
              allows_bom ? ProblemKind::kCount : ProblemKind::kStartsWithByteOrderMark);
    // The free-format reading takes CR as a separator, so a CR-only file reads the same.
    const bool free_format = std::string(r.name) == "spectrum, free format";
    EXPECT_EQ(KindOf([&] { r.read(CrOnly(r.text)); }),
              free_format ? ProblemKind::kCount : ProblemKind::kLinesEndInCarriageReturn);
  }
}

TEST(EditedFilesTest, JokenDatWithCrLineEndsNamesTheFieldOfItsLine) {
  // Every problem of Joken.dat names its field, a CR-only one too (found by the fuzzer:
  // "\n\ro" is two lines, the second holding a CR).
  for (const char* text : {"10MV.csv\r10MV-30M.data\r3.00E+07\r", "\n\ro"}) {
    try {
      ReadConditions(text);
      ADD_FAILURE() << "accepted";
    } catch (const InputError& e) {
      EXPECT_EQ(e.problem().kind, ProblemKind::kLinesEndInCarriageReturn);
      EXPECT_FALSE(e.field().empty());
      EXPECT_GE(e.line(), 1);
    }
  }
}

TEST(EditedFilesTest, LayoutsAcceptedBeforeStayAccepted) {
  const std::string spectrum = Shipped("10MV.csv");
  std::string lf = spectrum;
  std::erase(lf, '\r');
  std::string doubled;  // CR CR LF: one CR stays at the end of every record
  for (char c : spectrum) doubled += c == '\r' ? std::string("\r\r") : std::string(1, c);
  for (const std::string& text : {lf, doubled})
    EXPECT_EQ(KindOf([&] { ReadBeamSpectrum(text, "10MV.csv"); }), ProblemKind::kCount);
  // A mark before a later error in Joken.dat is not blamed for it.
  EXPECT_EQ(KindOf([] { ReadConditions(WithBom("10MV.csv\r\nr.data\r\nmany\r\n")); }),
            ProblemKind::kNotANumber);
}

TEST(EditedFilesTest, NegativeIntensityIsNamedNotItsSpilledDigit) {
  // "-8.322E-03" is one column wider than E9.3: its last digit lands in column 18.
  std::string spectrum = Shipped("10MV.csv");
  const std::size_t second = spectrum.find('\n') + 1;
  const std::size_t end = spectrum.find('\r', second);
  spectrum.replace(second, end - second, " 0.075, -8.322E-03");
  EXPECT_EQ(KindOf([&] { ReadBeamSpectrum(spectrum, "10MV.csv"); }),
            ProblemKind::kIntensityNegative);
}

TEST(EditedFilesTest, InvisibleCharactersAreQuotedByTheirCodePoints) {
  const struct {
    const char* text;
    const char* quoted;
  } cases[] = {
      {"\xEF\xBB\xBF 0.", "\\uFEFF 0."},
      {"1\xE2\x80\x8B"
       "2",
       "1\\u200B2"},
      {"\xBB\xBF  16", "\\xBB\\xBF  16"},
      {"\xE3\x81\x82", "\xE3\x81\x82"},
  };
  for (const auto& c : cases) EXPECT_EQ(Excerpt(c.text), c.quoted) << c.quoted;
}

}  // namespace
}  // namespace dosavia
