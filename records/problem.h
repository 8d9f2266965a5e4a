// Every problem the programs report, as a kind and its parameters: the file, the line, the
// field, what was found there and the bound it broke. Nothing here is a sentence; the
// Japanese and English wordings of each kind are in problem_text.cpp, so that the console,
// a message box and the browser edition can each say a problem in their own language, and
// no program has to read a sentence back to know what went wrong.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace dosavia {

enum class ProblemKind {
  // Reading a whole file.
  kCannotOpen,    // missing or unreadable
  kReadFailed,    // {reason}
  kNotAFile,      // {type}: a directory, a pipe, a device
  kFileTooLarge,  // more than {limit} bytes
  // Writing a file.
  kWillNotReplace,             // {type} in the way
  kWillNotReplaceProgramFile,  // {value}: the program's own file the name reaches
  kWillNotReplaceResult,       // a result file is there: a picture or a table never replaces one
  kWillNotReplaceStatistics,   // a file that is not run statistics holds the companion's name
  kWillNotReplaceThroughLink,  // {value}: where the link at the companion's name leads
  kExportOverStatistics,       // a run's statistics are there: no export replaces them
  kRunGoesOn,                  // another run writes the same result in this folder now
  kRenameWillBeRefused,        // a sticky folder and another user's file: the rename would fail
  kCannotCreateTemporary,      // {reason}
  kCannotCreate,               // {reason}
  kCannotWrite,                // {reason}
  kCannotRename,               // {reason}
  kCannotEncodePicture,
  // Fields of fixed-column records and free-format numbers.
  kFileEndsEarly,
  kStartsWithByteOrderMark,   // a UTF-8 byte-order mark before the first record
  kLinesEndInCarriageReturn,  // lines ended by CR alone: the whole file reads as one line
  kFieldBlank,
  kNotAnInteger,           // {value}
  kNotANumber,             // {value}
  kOutOfRange,             // {value}
  kBeyondSinglePrecision,  // {value}
  // The physics tables (water20.dat, ELDAT.dat).
  kPhotonRowCount,  // {value} outside {limit}
  kMustBePositive,
  kMustNotBeNegative,
  kCoefficientsTooLarge,
  kPhotonEnergiesMustAscend,
  kPhotonEnergyTooClose,
  kXMustNotBeNegative,
  kFirstXMustBeZero,
  kIntegralMustStartAtZero,
  kMustBePositiveBeyondZero,
  kXMustAscend,
  kIntegralMustNotDecrease,
  kLastIntegralMustBePositive,
  kLastIncoherentMustBePositive,
  kCosineOutOfRange,
  kEnergyMustBePositive,
  kEnergiesMustDescend,
  // The accurate transport's electron data (ELACC.dat).
  kElectronRowCount,  // {value} outside {limit}
  kEnergyOffGrid,     // the row's energy is not the file's logarithmic grid
  kRangesMustAscend,
  // The engine's spectrum file, in fixed columns.
  kIntensityTooLarge,
  kNumberInSeparator,      // {value}: the record
  kIntensityWithoutPoint,  // {value}: the record
  kNumberPastIntensity,    // {value}: the record
  kSpectrumEndsEarly,      // after {value} of {limit} records
  kIntensityNegative,
  kNoPositiveIntensity,
  kIntensitiesTooLarge,
  kBinAboveTable,  // bin {line} at {value} MeV, table {other} ends at {limit} MeV
  // The spectrum file read as free-format numbers.
  kRecordsEndEarly,  // after {value} of {limit} records
  kWeightInvalid,
  kPhotonEnergyFarTooLarge,  // {value} MeV
  kPhotonEnergyNegative,
  kPhotonEnergyAboveTable,  // {value} MeV, the table ends at {limit} MeV
  kWeightsSumToZero,        // {limit} records
  kWeightsTooLarge,         // {limit} records
  // The result file.
  kResultEndsEarly,           // in record {value} of {limit}
  kResultValueTooLarge,       // {value}
  kStatisticsLineUnexpected,  // {limit}: what the line should hold; {value}: what it holds
  // Run statistics that read but cannot be the result's measure of its noise.
  kStatisticsOfAnotherResult,  // written for another result of the name
  kStatisticsGroupCount,       // {value} groups, {limit} expected
  kStatisticsNotFinite,        // a value that is not a finite number
  kStatisticsNegative,         // {value}: a group's dose below zero at a depth
  kStatisticsMeanDiffers,      // {value}: the curve and depth where the groups' mean differs
  kStatisticsWithoutSpread,    // the groups do not scatter where the result has dose
  // The conditions file.
  kLineMissing,  // {limit} lines needed, {value} there
  kNameEmpty,
  kNotAPlainFileName,  // {value}
  kNameHoldsControl,
  kNameIsAFolder,                // {value}
  kResultWouldOverwriteInput,    // {value}
  kResultWouldOverwriteShipped,  // {value}
  kNoNumber,
  kMoreThanPhotonTotal,  // {value}: the line
  kPhotonTotalOutside,   // between 0 and {limit}
  kLessThanOnePhoton,    // {value}: a count whose whole part runs no photon
  kNotAResultFile,       // {value}: the result's name
  kSpectrumUnusable,     // {value}: the name; {cause}: why it cannot be used
  // The slab phantom file.
  kPhantomNotUtf8,
  kPhantomLineShape,         // {value}: the line
  kPhantomUnknownMaterial,   // {value}: the name; {limit}: the names known
  kPhantomThicknessInvalid,  // {value}
  kPhantomTooDeep,           // {value} cm in all, {limit} cm the most
  kPhantomTooManyLayers,     // {limit} layers the most
  kPhantomEmpty,
  // Laying out a working folder (Kestrun --init).
  kCurrentFolderGone,     // {reason}: the current directory was deleted under the shell
  kDataFilesNotFound,     // {value}: the folders looked in
  kFolderHoldsDataFiles,  // {value}: the names already there; nothing written
  // A run of the engine.
  kNoPrimaryKerma,
  kTallyNotFinite,
  kUnexpected,  // {value}: what the library said
  kCount        // the number of kinds; keep last
};

// What is in the way where a file was expected.
enum class FileType { kNone, kDirectory, kPipe, kDevice, kSocket, kSpecial, kCount };

// What a field holds, where its place on the record does not say it.
enum class FieldName {
  kNone,
  kIntensity,
  kSeparator,
  kAfterIntensity,
  kSpectrumFileName,
  kResultFileName,
  kPhotonTotal,
  kMaterial,
  kThickness,
  kCount
};

// Where on a line the problem lies: the data field of a fixed-column record (and its
// columns and edit descriptor), the n-th number of a free-format text, the n-th record of a
// free-format file, and what the field holds. Each part is left out where it is 0 or empty.
struct ProblemField {
  int number = 0;         // data field of the record, from 1
  int last_number = 0;    // with `number`: the fields number..last_number together
  int first_column = 0;   // from 1
  int last_column = 0;    // 0 with a first column: from it to the end of the line
  std::string edit;       // "E9.3"
  int value_number = 0;   // the n-th number of a free-format text
  int record_number = 0;  // the n-th record of a free-format file
  FieldName name = FieldName::kNone;

  // Data field `n` of a fixed-column record, read by `edit` ("E9.3").
  static ProblemField Data(int n, std::string edit = {});
  // Data fields n..last, all read by `edit`.
  static ProblemField DataRun(int n, int last, std::string edit);
  // Columns first..last of a record (last 0: to the end of the line).
  static ProblemField Columns(int first, int last = 0);
  static ProblemField NthValue(int n);
  static ProblemField NthRecord(int n);
  static ProblemField Named(FieldName name);
  ProblemField& WithColumns(int first, int last = 0);
  ProblemField& WithName(FieldName field_name);

  bool empty() const {
    return number == 0 && first_column == 0 && edit.empty() && value_number == 0 &&
           record_number == 0 && name == FieldName::kNone;
  }
  bool operator==(const ProblemField&) const = default;
};

// One problem with everything its wordings may name; a parameter a kind does not use stays
// empty. Built as Problem(kind).In(file, line).At(field).WithValue(...).
struct Problem {
  explicit Problem(ProblemKind problem_kind) : kind(problem_kind) {}

  Problem& In(std::string file_name, int line_number = 0);
  Problem& At(ProblemField where);
  Problem& WithValue(std::string found);
  Problem& WithLimit(std::string bound);
  Problem& WithOther(std::string other_file);
  Problem& WithSystemError(int error);
  Problem& WithFileType(FileType type);
  Problem& WithCause(const Problem& behind);

  ProblemKind kind;
  std::string file;  // as the user knows it: a plain name or the path given
  int line = 0;      // from 1; 0 for the file as a whole
  ProblemField field;
  std::string value;     // what was found: text quoted from the file (escaped), a number
  std::string limit;     // the bound it broke, or the count that was needed
  std::string other;     // a second file the problem involves
  int system_error = 0;  // errno of the failed system call
  FileType file_type = FileType::kNone;
  std::shared_ptr<const Problem> cause;  // the problem behind this one
};

// An error the programs report: its problem, and as what() the English line (for logs and
// the command line; nothing decides anything by it).
class ProblemError : public std::runtime_error {
 public:
  explicit ProblemError(Problem problem);
  const Problem& problem() const { return problem_; }
  ProblemKind kind() const { return problem_.kind; }

 private:
  Problem problem_;
};

// A file that could not be written; an earlier file of the name is left as it was.
class WriteError : public ProblemError {
 public:
  explicit WriteError(Problem problem) : ProblemError(std::move(problem)) {}
};

}  // namespace dosavia
