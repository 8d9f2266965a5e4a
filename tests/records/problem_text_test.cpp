// The problems' wordings: every kind said in both languages with the same parameters, and the
// lines the console and the message boxes show built from them.
#include "records/problem_text.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "records/file_io.h"
#include "records/input_error.h"
#include "records/problem.h"
#include "tests/physics/small_data_files.h"

namespace dosavia {
namespace {

constexpr TextLanguage kLanguages[] = {TextLanguage::kJapanese, TextLanguage::kEnglish};

std::set<std::string> Placeholders(const std::string& wording) {
  std::set<std::string> names;
  for (std::size_t open = wording.find('{'); open != std::string::npos;
       open = wording.find('{', open + 1))
    names.insert(wording.substr(open + 1, wording.find('}', open) - open - 1));
  return names;
}

bool HasNonAscii(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

// A kind without a wording, or one whose Japanese and English name different parameters,
// would show a raw placeholder or leave something out in one of the languages.
TEST(ProblemWording, EveryKindIsSaidInJapaneseAndInEnglish) {
  const std::set<std::string> known = {"value",  "limit", "other", "line",
                                       "reason", "type",  "cause"};
  for (int k = 0; k < static_cast<int>(ProblemKind::kCount); ++k) {
    const auto kind = static_cast<ProblemKind>(k);
    const char* ja = ProblemWording(kind, TextLanguage::kJapanese);
    const char* en = ProblemWording(kind, TextLanguage::kEnglish);
    ASSERT_NE(ja, nullptr) << "kind " << k << " has no Japanese wording";
    ASSERT_NE(en, nullptr) << "kind " << k << " has no English wording";
    EXPECT_TRUE(HasNonAscii(ja)) << "kind " << k << ": '" << ja << "' is not Japanese";
    EXPECT_FALSE(HasNonAscii(en)) << "kind " << k << ": '" << en << "' is not plain English";
    EXPECT_EQ(Placeholders(ja), Placeholders(en)) << "kind " << k << ": " << ja << " / " << en;
    for (const std::string& name : Placeholders(en))
      EXPECT_TRUE(known.count(name)) << "kind " << k << ": unknown {" << name << "}";
  }
}

TEST(ProblemWording, EveryFieldNameAndFileTypeIsSaidInBothLanguages) {
  for (const TextLanguage language : kLanguages) {
    for (int n = 1; n < static_cast<int>(FieldName::kCount); ++n) {
      const char* words = FieldNameWording(static_cast<FieldName>(n), language);
      ASSERT_NE(words, nullptr) << "field name " << n;
      EXPECT_NE(std::string(words), "") << "field name " << n;
      EXPECT_EQ(HasNonAscii(words), language == TextLanguage::kJapanese) << words;
    }
    for (int t = 1; t < static_cast<int>(FileType::kCount); ++t) {
      const char* words = FileTypeWording(static_cast<FileType>(t), language);
      ASSERT_NE(words, nullptr) << "file type " << t;
      EXPECT_EQ(HasNonAscii(words), language == TextLanguage::kJapanese) << words;
    }
    EXPECT_STREQ(FieldNameWording(FieldName::kNone, language), "");
    EXPECT_STREQ(FileTypeWording(FileType::kNone, language), "");
  }
}

Problem Make(ProblemKind kind, std::string file, int line, ProblemField field = {},
             std::string value = {}, std::string limit = {}) {
  Problem p(kind);
  p.In(std::move(file), line)
      .At(std::move(field))
      .WithValue(std::move(value))
      .WithLimit(std::move(limit));
  return p;
}

// The whole line: where (file, line, field), then what, with every parameter in its place.
TEST(ProblemLine, SaysWhereAndWhatInEitherLanguage) {
  const ProblemField intensity =
      ProblemField::Data(3, "E9.3").WithColumns(9, 17).WithName(FieldName::kIntensity);
  Problem cannot_open(ProblemKind::kCannotOpen);
  cannot_open.In("4MV.csv");
  Problem named_spectrum = Make(ProblemKind::kSpectrumUnusable, "Joken.dat", 1,
                                ProblemField::Named(FieldName::kSpectrumFileName), "4MV.csv");
  named_spectrum.WithCause(cannot_open);
  Problem full_disk(ProblemKind::kCannotWrite);
  full_disk.In("/w/10MV-30M.data").WithSystemError(ENOSPC);
  Problem folder(ProblemKind::kNotAFile);
  folder.In("10MV.csv").WithFileType(FileType::kDirectory);
  Problem above = Make(ProblemKind::kBinAboveTable, "t.csv", 120, intensity, "5.975", "2.000");
  above.WithOther("water20.dat");
  const struct {
    Problem problem;
    const char* japanese;
    const char* english;
  } cases[] = {
      {Make(ProblemKind::kNotANumber, "Joken.dat", 3, ProblemField::Named(FieldName::kPhotonTotal),
            "many"),
       "Joken.dat 3 行目、光子総数：数値ではありません（'many'）",
       "Joken.dat, line 3, photon total: not a number: 'many'"},
      {Make(ProblemKind::kIntensityNegative, "10MV.csv", 12, intensity),
       "10MV.csv 12 行目、第3欄（9～17桁目、E9.3）、強度：強度に負の値は使えません",
       "10MV.csv, line 12, field 3 (columns 9-17, E9.3), intensity: the intensity must not be "
       "negative"},
      {Make(ProblemKind::kCoefficientsTooLarge, "water20.dat", 4,
            ProblemField::DataRun(2, 6, "E10.3")),
       "water20.dat 4 行目、第2～6欄（E10.3）：係数の和が単精度の範囲を超えます",
       "water20.dat, line 4, fields 2-6 (E10.3): the coefficients add up beyond the "
       "single-precision range"},
      {Make(ProblemKind::kXMustAscend, "water20.dat", 20, ProblemField::Data(1, "E10.3")),
       "water20.dat 20 行目、第1欄（E10.3）：x は行ごとに増えなければなりません",
       "water20.dat, line 20, field 1 (E10.3): x must ascend"},
      {Make(ProblemKind::kNumberPastIntensity, "t.csv", 7,
            ProblemField::Columns(18).WithName(FieldName::kAfterIntensity), "0.325,  3.679E-03"),
       "t.csv 7 行目、18桁目以降、強度の後：'0.325,  3.679E-03'：数値が 17 "
       "桁目を越えて続いています。"
       "各記録は 1～6 桁目がエネルギー、7～8 桁目が「, 」、9～17 桁目が強度です",
       "t.csv, line 7, columns 18 on, after the intensity: '0.325,  3.679E-03': a number "
       "continues past column 17; each record is the energy in columns 1-6, ', ' in 7-8 and the "
       "intensity in 9-17"},
      {Make(ProblemKind::kOutOfRange, "10MV.csv", 2, ProblemField::NthValue(4), "1.0E+39"),
       "10MV.csv 2 行目、4番目の数値：範囲外の値です（'1.0E+39'）",
       "10MV.csv, line 2, value 4: out of range: '1.0E+39'"},
      {Make(ProblemKind::kWeightInvalid, "10MV.csv", 10, ProblemField::NthRecord(10)),
       "10MV.csv 10 行目、第10記録：重みは負でない有限の数でなければなりません",
       "10MV.csv, line 10, record 10: the weight must be a finite number, not negative"},
      {Make(ProblemKind::kResultEndsEarly, "r.data", 301, {}, "301", "600"),
       "r.data 301 行目：ファイルが途中の記録で終わっています（600 記録のうち記録 301）",
       "r.data, line 301: the file ends in record 301 of 600"},
      {above,
       "t.csv 120 行目、第3欄（9～17桁目、E9.3）、強度：ビン 120（5.975 MeV）に重みがありますが、"
       "water20.dat の光子の表は 2.000 MeV で終わっています",
       "t.csv, line 120, field 3 (columns 9-17, E9.3), intensity: bin 120 (5.975 MeV) has "
       "weight, but the photon table of water20.dat ends at 2.000 MeV"},
      {named_spectrum,
       "Joken.dat 1 行目、スペクトルファイル名：スペクトル '4MV.csv' を使えません"
       "（ファイルが無いか、読めません）",
       "Joken.dat, line 1, spectrum file name: the spectrum '4MV.csv' named here cannot be "
       "used: cannot open the file (missing or unreadable)"},
      {full_disk, "/w/10MV-30M.data：ファイルを書き込めません（ディスクに空きがありません）",
       "/w/10MV-30M.data: cannot write the file (No space left on device)"},
      {folder, "10MV.csv：フォルダなので読めません（ファイルではありません）",
       "10MV.csv: cannot read it: it is a directory, not a file"},
      {Problem(ProblemKind::kNoPrimaryKerma),
       "最初の 5 cm "
       "に一次線カーマが記録されず、曲線を規格化できません（光子数が少なすぎませんか）。"
       "結果ファイルは書きませんでした",
       "no primary kerma was scored in the first 5 cm, so the curves cannot be normalised (too "
       "few photons?); no result file was written"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProblemLine(c.problem, TextLanguage::kJapanese), c.japanese);
    EXPECT_EQ(ProblemLine(c.problem, TextLanguage::kEnglish), c.english);
    // Logs and the command line keep the English line.
    EXPECT_STREQ(InputError(c.problem).what(), c.english);
  }
}

TEST(ProblemLine, SystemReasonsOutsideTheTableAreSaidAsTheSystemSaysThem) {
  EXPECT_EQ(SystemErrorText(ENOSPC, TextLanguage::kJapanese), "ディスクに空きがありません");
  EXPECT_EQ(SystemErrorText(EACCES, TextLanguage::kEnglish), "Permission denied");
  EXPECT_EQ(SystemErrorText(ENOTSOCK, TextLanguage::kJapanese),
            SystemErrorText(ENOTSOCK, TextLanguage::kEnglish));
  EXPECT_NE(SystemErrorText(ENOTSOCK, TextLanguage::kEnglish), "");
}

// A write stopped by a file-size limit half way leaves its temporary file, which the reader of
// those names must recognise as the target's and no other file's.
TEST(TemporaryFile, TheNameAStoppedWriteLeavesIsKnownAsTheTargets) {
  const testing::TempDir temp("temporary_name_test");
  const std::string target = (temp.path() / "10MV-30M.data").string();
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, SIG_DFL);  // the limit ends the write the hard way, as a kill would
    WriteFileAtomically(target, std::string(1 << 16, 'x'));
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the write was not stopped";
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(temp.path()))
    left.push_back(entry.path().filename().string());
  ASSERT_EQ(left.size(), 1u);
  EXPECT_TRUE(IsTemporaryFileOf(left[0], "10MV-30M.data")) << left[0];
  EXPECT_FALSE(IsTemporaryFileOf(left[0], "10MV-30M.dat")) << left[0];
  EXPECT_FALSE(IsTemporaryFileOf(left[0], "0MV-30M.data")) << left[0];
}

// The next write of a target removes what killed writes left: old, unlocked files of its own
// pattern only; a temporary file another writer holds, a fresh one, and the temporary files
// of other targets stay.
TEST(TemporaryFile, TheNextWriteRemovesStaleTemporariesOfItsTargetOnly) {
  const testing::TempDir temp("stale_temporary_test");
  const auto make = [&](const std::string& name, bool old) {
    const std::string path = (temp.path() / name).string();
    std::ofstream(path) << "half";
    if (old) {
      const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
      ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
    return path;
  };
  make(".r.data.aaaaaa", true);                           // a killed write's: removed
  make(".r.data.bbbbbb", false);                          // just made: may be a writer's
  const std::string held = make(".r.data.cccccc", true);  // held by a writer: stays
  const int fd = ::open(held.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  make(".other.data.dddddd", true);  // another target's
  make(".r.data.ab-cde", true);      // not of the pattern
  WriteFileAtomically((temp.path() / "r.data").string(), "whole");
  std::set<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(temp.path()))
    left.insert(entry.path().filename().string());
  ::close(fd);
  EXPECT_EQ(left, (std::set<std::string>{"r.data", ".r.data.bbbbbb", ".r.data.cccccc",
                                         ".other.data.dddddd", ".r.data.ab-cde"}));
}

// A replaced file keeps its permissions: a result made private stays private.
TEST(TemporaryFile, AReplacedFileKeepsItsMode) {
  const testing::TempDir temp("replaced_mode_test");
  const std::string path = (temp.path() / "r.data").string();
  for (const mode_t mode : {0600, 0640, 0644, 0664}) {
    WriteFileAtomically(path, "first");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    WriteFileAtomically(path, "second");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode) << std::oct << mode;
  }
}

TEST(TemporaryFile, OnlyTheTargetsOwnTemporaryNamesAreRecognised) {
  const struct {
    const char* name;
    const char* target;
    bool is_temporary;
  } cases[] = {
      {".10MV-30M.data.a1B2c3", "10MV-30M.data", true},
      {".10MV-30M.data.ZZZZZZ", "10MV-30M.data", true},
      {"10MV-30M.data.a1B2c3", "10MV-30M.data", false},  // not hidden
      {".10MV-30M.data.a1B2c", "10MV-30M.data", false},  // five letters
      {".10MV-30M.data.a1B2c34", "10MV-30M.data", false},
      {".10MV-30M.data.a1-2c3", "10MV-30M.data", false},
      {".10MV-30M.data.a1B2c3", "0MV-30M.data", false},
      {".10MV-30M.datax.a1B2c", "10MV-30M.data", false},
      {".10MV-30M.data", "10MV-30M.data", false},
      {"..a1B2c3", "", false},
      {".a+b.data.abcdef", "a+b.data", true},  // no character of the name is a pattern
      {".a.data.abcdef", "a+b.data", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsTemporaryFileOf(c.name, c.target), c.is_temporary) << c.name << " / " << c.target;
}

// A run's own result is told from an earlier one of the name by its time, with the slack of
// file systems that keep times to 2 s.
TEST(WrittenSince, AllowsTheSlackAndNoMore) {
  namespace fs = std::filesystem;
  const testing::TempDir temp("written_since_test");
  const fs::path file = temp.Write("r.data", "x");
  const fs::file_time_type since = fs::last_write_time(file);
  const struct {
    std::chrono::milliseconds written_after_start;
    bool counts;
  } cases[] = {
      {std::chrono::milliseconds(0), true},      {std::chrono::milliseconds(60000), true},
      {std::chrono::milliseconds(-1000), true},  {std::chrono::milliseconds(-2000), true},
      {std::chrono::milliseconds(-2100), false}, {std::chrono::milliseconds(-600000), false},
  };
  for (const auto& c : cases) {
    fs::last_write_time(file, since + c.written_after_start);
    EXPECT_EQ(WrittenSince(file, since), c.counts) << c.written_after_start.count() << " ms";
  }
  EXPECT_FALSE(WrittenSince(temp.path() / "none.data", since));
}

}  // namespace
}  // namespace dosavia
