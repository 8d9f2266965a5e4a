// Fixed-column text records read and written by Fortran-style format strings, the
// free-format number reader, and the error type that names file, line and field.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dosavia {

// A bad or missing input file. The message always names the file, and where known the
// 1-based line number and the field, so that a hand-edited file can be mended.
class InputError : public std::runtime_error {
 public:
  InputError(std::string file, int line, std::string field, const std::string& problem);
  const std::string& file() const { return file_; }
  int line() const { return line_; }  // 0 when the problem is the file as a whole
  const std::string& field() const { return field_; }

 private:
  std::string file_;
  int line_;
  std::string field_;
};

// One item of a format string such as "(I4,11E11.4)" (repeat counts already expanded).
struct FormatItem {
  enum class Kind { kInteger, kFixed, kExponent, kText, kSkip, kLiteral };
  Kind kind;
  int width = 0;     // columns
  int decimals = 0;  // F and E only
  std::string literal;

  bool IsData() const { return kind != Kind::kSkip && kind != Kind::kLiteral; }
  std::string Describe() const;  // "E10.3"
};

// A value for one data item: integers for I, numbers for F and E, text for A.
struct FieldValue {
  FieldValue(long long v) : integer(v), number(static_cast<double>(v)), is_text(false) {}
  FieldValue(int v) : FieldValue(static_cast<long long>(v)) {}
  FieldValue(double v) : integer(0), number(v), is_text(false) {}
  FieldValue(float v) : FieldValue(static_cast<double>(v)) {}
  FieldValue(std::string v) : integer(0), number(0), text(std::move(v)), is_text(true) {}
  FieldValue(const char* v) : FieldValue(std::string(v)) {}
  long long integer;
  double number;
  std::string text;
  bool is_text;
};

// A field as read from a record: the raw columns, and for numeric fields the number in a
// normalised decimal form, so that float and double programs each round it only once.
struct ReadField {
  FormatItem::Kind kind;
  std::string text;     // A: the columns (padded with blanks); numeric: normalised number
  long long integer = 0;
  // The number in the program's real type (one rounding from the decimal text). Throws
  // std::invalid_argument for a text that is not a number in range, which a field read by
  // RecordReader never holds.
  template <typename Real>
  Real As() const;
};

// A parsed format string. Parsing happens once; reading and writing then follow the items.
class FixedFormat {
 public:
  // Throws std::invalid_argument for a format string it does not understand.
  explicit FixedFormat(std::string_view format);

  const std::vector<FormatItem>& items() const { return items_; }
  const std::string& source() const { return source_; }
  int DataItemsPerRecord() const;

  // Writes the values; when the format runs out of data items it starts a new record
  // from its beginning. Each returned string is one record without a line end.
  std::vector<std::string> Write(std::span<const FieldValue> values) const;
  std::string WriteRecord(std::span<const FieldValue> values) const;
  std::string WriteRecord(std::initializer_list<FieldValue> values) const {
    return WriteRecord(std::span<const FieldValue>(values.begin(), values.size()));
  }

 private:
  std::string source_;
  std::vector<FormatItem> items_;
};

// Formats one number as the E edit descriptor does: "0.1000E+01" for (1.0, w 11, d 4),
// right-aligned; asterisks when the width cannot hold it.
std::string FormatExponent(double value, int width, int decimals);

// The lines of a text file (CR LF or LF), read for one format-driven pass.
class RecordReader {
 public:
  // Reads the whole file; throws InputError when it cannot be opened.
  static RecordReader FromFile(const std::string& path, const std::string& display_name);
  RecordReader(std::string display_name, std::string_view content);

  // Reads `count` data fields by the format, starting at the next unread line and taking
  // further lines as the format starts over. Throws InputError (file, line, field) for a
  // missing line, a field that is not a number, or a number beyond the single-precision
  // range (one below it reads as 0).
  std::vector<ReadField> Read(const FixedFormat& format, int count);

  int lines_read() const { return next_line_; }
  int line_count() const { return static_cast<int>(lines_.size()); }
  const std::string& name() const { return name_; }
  const std::string& Line(int index0) const { return lines_.at(index0); }

 private:
  std::string name_;
  std::vector<std::string> lines_;
  int next_line_ = 0;
};

// Numbers separated by blanks, commas or line ends, as the interactive program reads
// spectrum and result files.
class FreeFormatReader {
 public:
  FreeFormatReader(std::string display_name, std::string_view content, int first_line = 1);

  // Next number; false at the end of the text. Throws InputError for a token that is
  // not a number or lies beyond the range of Real (naming the line and the token).
  template <typename Real>
  bool Next(Real& value);
  int line() const { return line_; }

 private:
  std::string name_;
  std::string text_;
  std::size_t pos_ = 0;
  int line_;
  int count_ = 0;
};

// Splits text into lines, dropping the CR of CR LF.
std::vector<std::string> SplitLines(std::string_view content);

// Reads a whole file; throws InputError (line 0) when it cannot be opened.
std::string ReadWholeFile(const std::string& path, const std::string& display_name);

// Writes the file under a temporary name beside it and renames it into place when every
// byte has been written, so a reader never sees half a file and a failure leaves an
// earlier file of the same name untouched. Throws std::runtime_error on any failure.
void WriteFileAtomically(const std::string& path, std::string_view content);

// How a number text converts to a real type.
enum class NumberParse {
  kOk,          // converted; a magnitude too small for the type reads as 0
  kNotANumber,  // not a plain decimal number (or infinity, NaN)
  kOutOfRange,  // a number beyond the largest value of the type
};

// Converts a number text ("1.250E-01", "-3", "0.511") to the program's real type with
// one correct rounding; `value` changes only on kOk.
template <typename Real>
NumberParse ParseNumber(std::string_view text, Real& value);

// ParseNumber that answers only whether the text converted.
template <typename Real>
bool ParseReal(std::string_view text, Real& value);

}  // namespace dosavia
