// Fixed-column text records read and written by Fortran-style format strings such as
// "(I4,11E11.4)", the layout of every file that Kestrun reads or writes.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "records/problem.h"

namespace dosavia {

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
  std::string text;  // A: the columns (padded with blanks); numeric: normalised number
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

  // Where a refusal at `line` (from 1) is really the text's layout: a byte-order mark
  // before the first record (for a refusal of line 1), or lines ended by CR alone (which leave one
  // long line), the problem that says so; nothing otherwise. Each field error would only name a
  // symptom
  // ("not an integer", "ends too early") of what an editor did to the whole file.
  std::optional<Problem> LayoutProblem(int line) const;

  int lines_read() const { return next_line_; }
  int line_count() const { return static_cast<int>(lines_.size()); }
  const std::string& name() const { return name_; }
  const std::string& Line(int index0) const { return lines_.at(index0); }

 private:
  std::vector<ReadField> ReadFields(const FixedFormat& format, int count);

  std::string name_;
  std::vector<std::string> lines_;
  int next_line_ = 0;
};

}  // namespace dosavia
