#include "records/file_io.h"

#include <sys/stat.h>

#include "records/fixed_format.h"
#include "records/free_format.h"
#include "records/input_error.h"
#include "records/number_text.h"
#include "records/problem_text.h"
#include "records/utf8_text.h"
#include "tests/physics/small_data_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

namespace dosavia {
namespace {

struct ExponentCase {
  double value;
  int width;
  int decimals;
  const char* text;
};

TEST(FormatExponent, WritesTheEditDescriptorCharacters) {
  const ExponentCase cases[] = {
      {1.0, 11, 4, " 0.1000E+01"},         {0.0, 11, 4, " 0.0000E+00"},
      {0.5, 11, 4, " 0.5000E+00"},         {-1.5, 11, 4, "-0.1500E+01"},
      {1e-5, 11, 4, " 0.1000E-04"},        {0.99996, 11, 4, " 0.1000E+01"},
      {123.456, 15, 7, "  0.1234560E+03"}, {-0.0123, 9, 3, "-.123E-01"},
      {2.5e-120, 11, 4, " 0.2500-119"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatExponent(c.value, c.width, c.decimals), c.text) << c.value;
  EXPECT_EQ(FormatExponent(std::nan(""), 11, 4), "***********");
}

TEST(FixedFormat, ConsoleLinesWithLiterals) {
  const FixedFormat progress("(' ',' --- ',I3,' / ',I3)");
  EXPECT_EQ(progress.WriteRecord({399, 399}), "  --- 399 / 399");
  EXPECT_EQ(progress.WriteRecord({7, 400}), "  ---   7 / 400");
  const FixedFormat clock("(' ','      * 計算開始 =',I2,':',I2,':',I2)");
  EXPECT_EQ(clock.WriteRecord({9, 5, 7}), "       * 計算開始 = 9: 5: 7");
  const FixedFormat narrow("(I2)");
  EXPECT_EQ(narrow.WriteRecord({123}), "**");
  EXPECT_EQ(narrow.WriteRecord({-5}), "-5");
}

TEST(FixedFormat, ResultRecordIs125Characters) {
  const FixedFormat f("(I4,11E11.4)");
  std::vector<FieldValue> v{300};
  for (int k = 0; k < 11; ++k) v.emplace_back(1.0 / (k + 1));
  const std::string rec = f.WriteRecord(v);
  EXPECT_EQ(rec.size(), 125u);
  EXPECT_EQ(rec.substr(0, 15), " 300 0.1000E+01");
}

TEST(FixedFormat, RejectsFormatsItDoesNotUnderstand) {
  for (const char* bad : {"I3", "(Q3)", "(E10)", "(I3", "('open)", "(F6.)", "()"})
    EXPECT_THROW(FixedFormat{bad}, std::invalid_argument) << bad;
}

struct RoundTripCase {
  const char* format;
  std::vector<FieldValue> values;
};

TEST(FixedFormat, EveryFileFormatReadsBackWhatItWrote) {
  const RoundTripCase cases[] = {
      {"(I3)", {46}},
      {"(F9.6)", {0.123456}},
      {"(E9.3,5E10.3)", {0.511, 1.25e-3, 9.87e-2, 3.3e-6, 0.0, 1e-4}},
      {"(E10.3,2E12.5)", {2.5, 12.34567, 9.87654}},
      {"(1X,8I6)", {16384, 16000, -12000, 0, 5, -16384, 1, 2}},
      {"(1X,4E15.7)", {20000.0, 15000.5, 305.0, 1.25e-3}},
      {"(F6.3,A2,E9.3)", {19.975, ", ", 1.234e-2}},
      {"(I4,11E11.4)", {17, 1.0, 0.5, 0.25, 1e-5, 0.0, 2.5, 0.1234, 9.999e-3, 1.5, 0.75, 0.3}},
  };
  for (const auto& c : cases) {
    const FixedFormat f(c.format);
    const std::string text = f.WriteRecord(c.values) + "\r\n";
    RecordReader in("roundtrip", text);
    const auto got = in.Read(f, static_cast<int>(c.values.size()));
    ASSERT_EQ(got.size(), c.values.size()) << c.format;
    int k = 0;
    for (const auto& item : f.items()) {
      if (!item.IsData()) continue;
      const FieldValue& want = c.values[k];
      const ReadField& field = got[k++];
      switch (item.kind) {
        case FormatItem::Kind::kInteger: EXPECT_EQ(field.integer, want.integer) << c.format; break;
        case FormatItem::Kind::kText: EXPECT_EQ(field.text, want.text) << c.format; break;
        default: {
          // A written number keeps `decimals` significant (E) or fractional (F) digits.
          const double tolerance = item.kind == FormatItem::Kind::kExponent
                                       ? std::fabs(want.number) * std::pow(10.0, 1 - item.decimals)
                                       : std::pow(10.0, -item.decimals);
          EXPECT_NEAR(field.As<double>(), want.number, tolerance) << c.format;
        }
      }
    }
  }
}

TEST(FixedFormat, WritesFurtherRecordsWhenTheFormatRunsOut) {
  const FixedFormat f("(1X,8I6)");
  std::vector<FieldValue> values;
  for (int j = 1; j <= 65; ++j) values.emplace_back(j);
  const auto records = f.Write(values);
  ASSERT_EQ(records.size(), 9u);
  EXPECT_EQ(records[0], "      1     2     3     4     5     6     7     8");
  EXPECT_EQ(records[8], "     65");
  RecordReader in("eldat", f.WriteRecord(values));
  const auto back = in.Read(f, 65);
  EXPECT_EQ(back[64].integer, 65);
  EXPECT_EQ(in.lines_read(), 9);
}

TEST(RecordReader, NumericFieldsAsFortranReadsThem) {
  struct Case {
    const char* format;
    const char* line;
    double value;
  };
  const Case cases[] = {
      {"(F6.3)", " 0.025", 0.025},  // decimal point read as written
      {"(F6.3)", "   025", 0.025},  // implied decimals
      {"(F6.3)", "  12.5", 12.5},
      {"(E9.3)", "1.250E-01", 0.125},
      {"(E10.3)", " 1.250D+02", 125.0},
      {"(E10.3)", "  1.250-01", 0.125},  // exponent letter may be omitted
      {"(E10.3)", "     -1250", -1.25},
      {"(E9.3)", "+5.000E00", 5.0},
  };
  for (const auto& c : cases) {
    RecordReader in("f", std::string(c.line) + "\r\n");
    EXPECT_DOUBLE_EQ(in.Read(FixedFormat(c.format), 1)[0].As<double>(), c.value) << c.line;
  }
}

TEST(RecordReader, FloatsAreRoundedOnceFromTheDecimalText) {
  RecordReader in("f", "5.110E-01\n");
  const ReadField f = in.Read(FixedFormat("(E9.3)"), 1)[0];
  EXPECT_EQ(f.As<float>(), 0.511f);
  EXPECT_EQ(f.As<double>() * 1000, 511.0);
  EXPECT_EQ(f.As<float>() * 1000.0f, 510.99997f);
}

TEST(RecordReader, TextFieldsAreCutAndPadded) {
  RecordReader in("Joken.dat", "10MV.csv\r\n123456789012345678901234\n");
  const FixedFormat a20("(A20)");
  EXPECT_EQ(in.Read(a20, 1)[0].text, "10MV.csv            ");
  EXPECT_EQ(in.Read(a20, 1)[0].text, "12345678901234567890");
}

struct BadRecord {
  const char* content;
  const char* format;
  int count;
  int line;
  const char* field;  // start of the field as the English report names it
  ProblemKind kind;
};

TEST(RecordReader, BadInputNamesFileLineFieldAndProblem) {
  using enum ProblemKind;
  const BadRecord cases[] = {
      {" 1.0E+00 2.0E+00\n", "(E9.3,E10.3)", 3, 2, "", kFileEndsEarly},
      {"  4\nabc\n", "(I3)", 2, 2, "field 1 (columns 1-3, I3)", kNotAnInteger},
      {"1.000E+00 x.000E+00\n", "(E9.3,E10.3)", 2, 1, "field 2 (columns 10-19, E10.3)",
       kNotANumber},
      {"1.000E+00\n", "(E9.3,E10.3)", 2, 1, "field 2", kFieldBlank},  // short line
      {"  1.2.3E+0\n", "(E10.3)", 1, 1, "field 1", kNotANumber},
      {" 12 345 6\n", "(1X,8I6)", 2, 1, "field 1 (columns 2-7", kNotAnInteger},
      // The same files serve the float engine: a value no float can hold must stop every
      // program, never read as 0 in one and as a number in the other.
      {"   1.0E+39\n", "(E10.3)", 1, 1, "field 1 (columns 1-10, E10.3)", kBeyondSinglePrecision},
      {"  -1.0E+39\n", "(E10.3)", 1, 1, "field 1", kBeyondSinglePrecision},
      {"  3.403E38\n", "(E10.3)", 1, 1, "field 1", kBeyondSinglePrecision},  // just above FLT_MAX
      {"   1.0D+39\n", "(E10.3)", 1, 1, "field 1", kBeyondSinglePrecision},
      {"  1.0E+400\n", "(E10.3)", 1, 1, "field 1", kBeyondSinglePrecision},  // beyond double too
      {"5.000E-03 1.0E+39  1.123E-01\n", "(E9.3,5E10.3)", 3, 1, "field 2 (columns 10-19",
       kBeyondSinglePrecision},
      {" 1.0\n 2.0\n123456E40\n", "(F9.6)", 3, 3, "field 1", kBeyondSinglePrecision},
  };
  for (const auto& c : cases) {
    RecordReader in("data.txt", c.content);
    try {
      in.Read(FixedFormat(c.format), c.count);
      ADD_FAILURE() << "no error for " << c.content;
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "data.txt");
      EXPECT_EQ(e.line(), c.line) << e.what();
      EXPECT_EQ(e.kind(), c.kind) << e.what();
      EXPECT_EQ(FieldText(e.field(), TextLanguage::kEnglish).rfind(c.field, 0), 0u) << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("data.txt, line", 0), 0u) << e.what();
    }
  }
}

TEST(RecordReader, NumbersBelowSinglePrecisionReadAsZeroOrDenormal) {
  struct Case {
    const char* line;
    double as_double;
  };
  const Case cases[] = {
      {"   1.0E-45", 1e-45}, {"   1.0E-50", 1e-50},    {"  -1.0E-50", -1e-50},
      {"  1.0E-400", 0.0},   {"  3.402E38", 3.402e38},
  };
  for (const auto& c : cases) {
    RecordReader in("ELDAT.dat", std::string(c.line) + "\r\n");
    const ReadField f = in.Read(FixedFormat("(E10.3)"), 1)[0];
    EXPECT_DOUBLE_EQ(f.As<double>(), c.as_double) << c.line;
    const float as_float = f.As<float>();
    EXPECT_TRUE(std::isfinite(as_float)) << c.line;
    const float want = static_cast<float>(c.as_double);
    EXPECT_LE(std::fabs(as_float - want),
              std::max(std::numeric_limits<float>::denorm_min(), std::fabs(want) * 1e-7f))
        << c.line;
  }
}

TEST(ParseNumber, TellsUnderflowFromOverflowWhateverTheNotation) {
  struct Case {
    const char* text;
    NumberParse as_float;
    NumberParse as_double;
  };
  using enum NumberParse;
  const Case cases[] = {
      {"1e39", kOutOfRange, kOk},
      {"0.001e42", kOutOfRange, kOk},
      {"1234567890e30", kOutOfRange, kOk},
      {"123456789e30", kOk, kOk},
      {"100000e-50", kOk, kOk},
      {"0.00001e-42", kOk, kOk},
      {"0.1e-45", kOk, kOk},
      {"-1e-999", kOk, kOk},
      {"1e999", kOutOfRange, kOutOfRange},
      {"-000.00012e310", kOutOfRange, kOk},
      {"1e", kNotANumber, kNotANumber},
      {"inf", kNotANumber, kNotANumber},
      {"nan", kNotANumber, kNotANumber},
      {"", kNotANumber, kNotANumber},
  };
  for (const auto& c : cases) {
    float f = 7;
    double d = 7;
    EXPECT_EQ(ParseNumber(c.text, f), c.as_float) << c.text;
    EXPECT_EQ(ParseNumber(c.text, d), c.as_double) << c.text;
    if (c.as_float == kOk) {
      EXPECT_TRUE(std::isfinite(f)) << c.text;
    } else {
      EXPECT_EQ(f, 7.0f) << c.text;  // untouched on failure
    }
  }
}

TEST(FreeFormatReader, ARangeErrorNamesTheValueAndItsLine) {
  FreeFormatReader as_float("10MV.csv", "0.025, 1.0E-50\r\n0.075, 1.0E+39\r\n");
  float f;
  ASSERT_TRUE(as_float.Next(f));
  ASSERT_TRUE(as_float.Next(f));
  EXPECT_EQ(f, 0.0f);  // underflows to zero, not an error
  ASSERT_TRUE(as_float.Next(f));
  try {
    as_float.Next(f);
    FAIL();
  } catch (const InputError& e) {
    EXPECT_EQ(e.line(), 2);
    EXPECT_EQ(e.field(), ProblemField::NthValue(4));
    EXPECT_EQ(e.kind(), ProblemKind::kOutOfRange) << e.what();
    EXPECT_EQ(e.problem().value, "1.0E+39");
  }
  // The double program holds 1e39 but not 1e999.
  FreeFormatReader as_double("10MV.csv", "1.0E+39 1.0E+999");
  double d;
  ASSERT_TRUE(as_double.Next(d));
  EXPECT_EQ(d, 1e39);
  EXPECT_THROW(as_double.Next(d), InputError);
}

TEST(RecordReader, MissingFileIsAnInputError) {
  EXPECT_THROW(RecordReader::FromFile("/nonexistent/water20.dat", "water20.dat"), InputError);
}

TEST(FreeFormatReader, NumbersSeparatedByBlanksCommasAndLineEnds) {
  FreeFormatReader in("10MV.csv", " 0.025, 1.234E-02\r\n0.075,2.5e-2\n\n   3 -4.5D+00,");
  std::vector<double> got;
  double v;
  while (in.Next(v)) got.push_back(v);
  EXPECT_EQ(got, (std::vector<double>{0.025, 1.234e-2, 0.075, 2.5e-2, 3, -4.5}));
}

TEST(FreeFormatReader, AWordIsAnErrorWithItsLine) {
  FreeFormatReader in("r.data", "1 2\r\n3 oops 4\r\n");
  float v;
  EXPECT_TRUE(in.Next(v));
  EXPECT_TRUE(in.Next(v));
  EXPECT_TRUE(in.Next(v));
  try {
    in.Next(v);
    FAIL();
  } catch (const InputError& e) {
    EXPECT_EQ(e.line(), 2);
    EXPECT_EQ(e.kind(), ProblemKind::kNotANumber);
    EXPECT_EQ(e.problem().value, "oops");
  }
}

// Only the file itself changes: a user's own "<name>.tmp" survives, no temporary file is
// left behind, and a link keeps pointing at the replaced file.
TEST(WriteFileAtomically, ReplacesWholeAndLeavesNothingElseChanged) {
  namespace fs = std::filesystem;
  const testing::TempDir temp("atomic_test");
  const fs::path dir = temp.path();
  const std::string target = (dir / "10MV-30M.data").string();
  temp.Write("10MV-30M.data.tmp", "the user's own file\r\n");
  WriteFileAtomically(target, "first\r\n");
  WriteFileAtomically(target, "second\r\n");
  EXPECT_EQ(ReadWholeFile(target, "t"), "second\r\n");
  EXPECT_EQ(ReadWholeFile(target + ".tmp", "t"), "the user's own file\r\n");
  fs::create_symlink(target, dir / "latest.data");
  WriteFileAtomically((dir / "latest.data").string(), "third\r\n");
  EXPECT_TRUE(fs::is_symlink(dir / "latest.data"));
  EXPECT_EQ(ReadWholeFile(target, "t"), "third\r\n");
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++entries;
  EXPECT_EQ(entries, 3);
  try {
    WriteFileAtomically((dir / "missing" / "x.data").string(), "x");
    ADD_FAILURE() << "wrote into a missing folder";
  } catch (const WriteError& e) {
    EXPECT_EQ(e.kind(), ProblemKind::kCannotCreateTemporary);
    EXPECT_EQ(e.problem().system_error, ENOENT);
    EXPECT_EQ(e.problem().file, (dir / "missing" / "x.data").string());
  }
}

// A new file is made only where nothing of that name is: a file, a link (even one to
// nowhere) or a directory there stays as it was.
TEST(WriteNewFile, NeverTakesOverAName) {
  namespace fs = std::filesystem;
  const testing::TempDir temp("new_file_test");
  const fs::path dir = temp.path();
  temp.Write("Joken.dat", "the user's own\r\n");
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  fs::create_directory(dir / "folder");
  const struct {
    const char* name;
    bool written;
  } cases[] = {{"new.csv", true},
               {"Joken.dat", false},
               {"dangling", false},
               {"folder", false},
               {"missing/x.csv", false}};
  for (const auto& c : cases) {
    const std::string path = (dir / c.name).string();
    if (c.written) {
      WriteNewFile(path, "0.025, 1.000E+00\r\n");
      EXPECT_EQ(ReadWholeFile(path, "t"), "0.025, 1.000E+00\r\n");
    } else {
      EXPECT_THROW(WriteNewFile(path, "x"), std::runtime_error) << c.name;
    }
  }
  EXPECT_EQ(ReadWholeFile((dir / "Joken.dat").string(), "t"), "the user's own\r\n");
  EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
  EXPECT_FALSE(fs::exists(dir / "nowhere"));
}

// A directory, a pipe or a device in the way is neither replaced nor read: renaming over
// it would destroy it, and reading a pipe or /dev/zero would never end.
TEST(FileIo, RefusesWhatIsNotARegularFile) {
  namespace fs = std::filesystem;
  const testing::TempDir temp("not_regular_test");
  const fs::path dir = temp.path();
  fs::create_directory(dir / "folder");
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  temp.Write("big.csv", std::string(2000, '1'));
  const struct {
    std::string path;
    FileType type;  // kNone: a file too large to be one of the program's
    bool writable_check;
  } cases[] = {
      {(dir / "folder").string(), FileType::kDirectory, true},
      {(dir / "pipe").string(), FileType::kPipe, true},
      {"/dev/zero", FileType::kDevice, false},
      {(dir / "big.csv").string(), FileType::kNone, false},
  };
  for (const auto& c : cases) {
    try {
      ReadWholeFile(c.path, "x.csv", 1000);
      ADD_FAILURE() << "read " << c.path;
    } catch (const InputError& e) {
      EXPECT_EQ(e.kind(),
                c.type == FileType::kNone ? ProblemKind::kFileTooLarge : ProblemKind::kNotAFile)
          << e.what();
      EXPECT_EQ(e.problem().file_type, c.type) << e.what();
      EXPECT_EQ(e.file(), "x.csv");
    }
    if (!c.writable_check) continue;
    try {
      WriteFileAtomically(c.path, "x");
      ADD_FAILURE() << "replaced " << c.path;
    } catch (const WriteError& e) {
      EXPECT_EQ(e.kind(), ProblemKind::kWillNotReplace) << e.what();
      EXPECT_EQ(e.problem().file_type, c.type) << e.what();
    }
  }
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
}

}  // namespace
}  // namespace dosavia

namespace dosavia {
namespace {

// Names are cut and texts quoted without splitting a UTF-8 character or passing on bytes
// that would garble a console or a message box.
TEST(Utf8Text, CutsAtCharacterBoundariesAndEscapesWhatIsNotText) {
  const struct {
    std::string text;
    std::size_t limit;
    std::string prefix;   // Utf8Prefix(text, limit)
    std::string excerpt;  // Excerpt(text, limit)
  } cases[] = {
      {"10MV-30M.data", 20, "10MV-30M.data", "10MV-30M.data"},
      {"\u3042\u3044", 4, "\u3042", "\u3042\u3044"},  // 3-byte kana: a cut at 4 keeps one
      {"ab\u00e9", 3, "ab", "ab\u00e9"},
      {"a\x01z\x7f", 10, "a\x01z\x7f", "a\\x01z\\x7F"},
      {"\x82\xa0x", 1, "\x82", "\\x82..."},                    // Shift-JIS: not UTF-8, cut by bytes
      {"\xed\xa0\x80", 8, "\xed\xa0\x80", "\\xED\\xA0\\x80"},  // a surrogate is not text
      {std::string(100, 'x'), 80, std::string(80, 'x'), std::string(80, 'x') + "..."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8Prefix(c.text, c.limit), c.prefix) << c.text;
    EXPECT_EQ(Excerpt(c.text, c.limit), c.excerpt) << c.text;
  }
}

}  // namespace
}  // namespace dosavia
