#include "records/fixed_format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "records/file_io.h"
#include "records/input_error.h"
#include "records/number_text.h"
#include "records/utf8_text.h"

namespace dosavia {

namespace {

std::string RightAlign(const std::string& s, int width) {
  if (static_cast<int>(s.size()) > width) return std::string(width, '*');
  return std::string(width - s.size(), ' ') + s;
}

std::string FormatInteger(long long v, int width) { return RightAlign(std::to_string(v), width); }

std::string FormatFixed(double v, int width, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string s = buf;
  if (s == "-0" || (s.rfind("-0.", 0) == 0 && s.find_first_not_of("-0.") == std::string::npos))
    s.erase(0, 1);  // no negative zero
  if (static_cast<int>(s.size()) > width) {
    // Drop the optional zero before the point when the field is too narrow for it.
    if (s.rfind("0.", 0) == 0)
      s.erase(0, 1);
    else if (s.rfind("-0.", 0) == 0)
      s.erase(1, 1);
  }
  return RightAlign(s, width);
}

}  // namespace

std::string FormatItem::Describe() const {
  switch (kind) {
    case Kind::kInteger: return "I" + std::to_string(width);
    case Kind::kFixed: return "F" + std::to_string(width) + "." + std::to_string(decimals);
    case Kind::kExponent: return "E" + std::to_string(width) + "." + std::to_string(decimals);
    case Kind::kText: return "A" + std::to_string(width);
    case Kind::kSkip: return std::to_string(width) + "X";
    case Kind::kLiteral: return "'" + literal + "'";
  }
  return "?";
}

template <typename Real>
Real ReadField::As() const {
  if (kind == FormatItem::Kind::kInteger) return static_cast<Real>(integer);
  // RecordReader admits only numbers that both real types hold, so this cannot fail for a
  // field it read; a field made up by hand with a bad text must not pass as 0.
  Real v{};
  if (!ParseReal(text, v)) throw std::invalid_argument("not a number in range: '" + text + "'");
  return v;
}
template float ReadField::As<float>() const;
template double ReadField::As<double>() const;

FixedFormat::FixedFormat(std::string_view format) : source_(format) {
  std::string_view s = Trim(format);
  if (s.size() < 2 || s.front() != '(' || s.back() != ')')
    throw std::invalid_argument("format must be enclosed in parentheses: " + source_);
  s = s.substr(1, s.size() - 2);
  std::size_t i = 0;
  auto bad = [&](const std::string& why) {
    throw std::invalid_argument("format " + source_ + ": " + why);
  };
  auto read_int = [&](int& v) {
    std::size_t start = i;
    v = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
      v = v * 10 + (s[i] - '0');
      if (v > 10000) bad("number too large");
      ++i;
    }
    return i > start;
  };
  while (i < s.size()) {
    while (i < s.size() && s[i] == ' ') ++i;
    if (i >= s.size()) break;
    if (s[i] == '\'') {
      std::string lit;
      ++i;
      for (;;) {
        if (i >= s.size()) bad("unterminated literal");
        if (s[i] == '\'') {
          if (i + 1 < s.size() && s[i + 1] == '\'') {
            lit += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        lit += s[i++];
      }
      items_.push_back({FormatItem::Kind::kLiteral, static_cast<int>(lit.size()), 0, lit});
    } else {
      int repeat = 1;
      const bool has_repeat = read_int(repeat);
      if (!has_repeat) repeat = 1;
      if (i >= s.size()) bad("missing edit descriptor");
      char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i++])));
      FormatItem item{};
      if (letter == 'X') {
        item.kind = FormatItem::Kind::kSkip;
        item.width = has_repeat ? repeat : 1;
        repeat = 1;
      } else {
        if (letter == 'I')
          item.kind = FormatItem::Kind::kInteger;
        else if (letter == 'F')
          item.kind = FormatItem::Kind::kFixed;
        else if (letter == 'E')
          item.kind = FormatItem::Kind::kExponent;
        else if (letter == 'A')
          item.kind = FormatItem::Kind::kText;
        else
          bad(std::string("unknown edit descriptor ") + letter);
        if (!read_int(item.width) || item.width == 0) bad("missing field width");
        if (item.kind == FormatItem::Kind::kFixed || item.kind == FormatItem::Kind::kExponent) {
          if (i >= s.size() || s[i] != '.') bad("missing decimals");
          ++i;
          if (!read_int(item.decimals)) bad("missing decimals");
        }
      }
      if (repeat < 1) bad("repeat count must be positive");
      for (int r = 0; r < repeat; ++r) items_.push_back(item);
    }
    while (i < s.size() && s[i] == ' ') ++i;
    if (i < s.size()) {
      if (s[i] != ',') bad("expected a comma");
      ++i;
    }
  }
  if (DataItemsPerRecord() == 0 &&
      std::none_of(items_.begin(), items_.end(),
                   [](const FormatItem& it) { return it.kind == FormatItem::Kind::kLiteral; }))
    bad("no items");
}

int FixedFormat::DataItemsPerRecord() const {
  int n = 0;
  for (const auto& it : items_) n += it.IsData() ? 1 : 0;
  return n;
}

std::string FormatExponent(double value, int width, int decimals) {
  if (!std::isfinite(value)) return std::string(width, '*');
  std::string mantissa_digits;
  int exponent = 0;
  if (value == 0.0) {
    mantissa_digits.assign(decimals, '0');
  } else {
    // printf rounds to `decimals` significant digits: d.ddd e±X equals 0.dddd e±(X+1).
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", decimals - 1, std::fabs(value));
    std::string s = buf;
    std::size_t epos = s.find('e');
    for (std::size_t k = 0; k < epos; ++k)
      if (s[k] != '.') mantissa_digits += s[k];
    exponent = std::stoi(s.substr(epos + 1)) + 1;
  }
  std::string exp_text;
  if (std::abs(exponent) <= 99) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    exp_text = buf;
  } else {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    exp_text = buf;
  }
  const std::string sign = (value < 0) ? "-" : "";
  std::string s = sign + "0." + mantissa_digits + exp_text;
  if (static_cast<int>(s.size()) > width) s = sign + "." + mantissa_digits + exp_text;
  return RightAlign(s, width);
}

std::vector<std::string> FixedFormat::Write(std::span<const FieldValue> values) const {
  std::vector<std::string> records;
  std::string rec;
  std::size_t next = 0;
  const bool has_data = DataItemsPerRecord() > 0;
  for (;;) {
    for (const auto& it : items_) {
      if (it.IsData() && next >= values.size()) break;
      const FieldValue* v = it.IsData() ? &values[next++] : nullptr;
      switch (it.kind) {
        case FormatItem::Kind::kLiteral: rec += it.literal; break;
        case FormatItem::Kind::kSkip: rec.append(it.width, ' '); break;
        case FormatItem::Kind::kInteger:
          rec += FormatInteger(v->is_text        ? 0
                               : v->integer != 0 ? v->integer
                                                 : static_cast<long long>(v->number),
                               it.width);
          break;
        case FormatItem::Kind::kFixed: rec += FormatFixed(v->number, it.width, it.decimals); break;
        case FormatItem::Kind::kExponent:
          rec += FormatExponent(v->number, it.width, it.decimals);
          break;
        case FormatItem::Kind::kText: {
          std::string t = v->text.substr(0, it.width);
          rec += std::string(it.width - t.size(), ' ') + t;
          break;
        }
      }
    }
    records.push_back(rec);
    rec.clear();
    if (!has_data || next >= values.size()) break;
  }
  return records;
}

std::string FixedFormat::WriteRecord(std::span<const FieldValue> values) const {
  auto records = Write(values);
  std::string joined;
  for (std::size_t k = 0; k < records.size(); ++k) {
    if (k) joined += "\r\n";
    joined += records[k];
  }
  return joined;
}

RecordReader RecordReader::FromFile(const std::string& path, const std::string& display_name) {
  return RecordReader(display_name, ReadWholeFile(path, display_name));
}

RecordReader::RecordReader(std::string display_name, std::string_view content)
    : name_(std::move(display_name)), lines_(SplitLines(content)) {}

std::optional<Problem> RecordReader::LayoutProblem(int line) const {
  if (line == 1 && !lines_.empty() && StartsWithByteOrderMark(lines_.front()))
    return Problem(ProblemKind::kStartsWithByteOrderMark).In(name_, 1);
  for (int i = 0; i < line && i < static_cast<int>(lines_.size()); ++i) {
    const std::size_t cr = lines_[i].find('\r');
    if (cr != std::string::npos && cr + 1 < lines_[i].size())
      return Problem(ProblemKind::kLinesEndInCarriageReturn).In(name_, i + 1);
  }
  return std::nullopt;
}

std::vector<ReadField> RecordReader::Read(const FixedFormat& format, int count) {
  try {
    return ReadFields(format, count);
  } catch (const InputError& e) {
    if (auto layout = LayoutProblem(e.line())) throw InputError(std::move(*layout));
    throw;
  }
}

std::vector<ReadField> RecordReader::ReadFields(const FixedFormat& format, int count) {
  std::vector<ReadField> fields;
  if (format.DataItemsPerRecord() == 0) throw std::invalid_argument("format has no data items");
  while (static_cast<int>(fields.size()) < count) {
    if (next_line_ >= static_cast<int>(lines_.size()))
      throw InputError(Problem(ProblemKind::kFileEndsEarly).In(name_, next_line_ + 1));
    const std::string& line = lines_[next_line_];
    const int line_no = ++next_line_;
    std::size_t col = 0;
    int item_no = 0;
    for (const auto& it : format.items()) {
      if (static_cast<int>(fields.size()) >= count) break;
      std::string_view cols;
      if (col < line.size()) cols = std::string_view(line).substr(col, it.width);
      const std::size_t first_col = col + 1;
      col += it.width;
      if (!it.IsData()) continue;
      ++item_no;  // fields are counted among the data items, as a reader of the file sees them
      const auto problem = [&](ProblemKind kind, std::string value = {}) {
        return InputError(
            Problem(kind)
                .In(name_, line_no)
                .At(ProblemField::Data(item_no, it.Describe())
                        .WithColumns(static_cast<int>(first_col), static_cast<int>(col)))
                .WithValue(std::move(value)));
      };
      ReadField f{it.kind, {}, 0};
      switch (it.kind) {
        case FormatItem::Kind::kText:
          f.text = std::string(cols) + std::string(it.width - cols.size(), ' ');
          break;
        case FormatItem::Kind::kInteger: {
          std::string_view t = Trim(cols);
          bool neg = false;
          if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
            neg = t.front() == '-';
            t.remove_prefix(1);
          }
          if (!IsDigits(t) || t.size() > 9)
            throw t.empty() && Trim(cols).empty()
                ? problem(ProblemKind::kFieldBlank)
                : problem(ProblemKind::kNotAnInteger, Excerpt(cols));
          long long v = 0;
          for (char c : t) v = v * 10 + (c - '0');
          f.integer = neg ? -v : v;
          f.text = std::to_string(f.integer);
          break;
        }
        default: {
          std::string normal;
          float probe = 0;
          if (Trim(cols).empty()) throw problem(ProblemKind::kFieldBlank);
          const NumberParse parse = NormaliseNumber(cols, it.decimals, normal)
                                        ? ParseNumber(normal, probe)
                                        : NumberParse::kNotANumber;
          // The same files serve the single-precision engine: a value beyond the float range
          // is refused for every program, not read as 0 by one and as a number by the other.
          if (parse == NumberParse::kOutOfRange)
            throw problem(ProblemKind::kBeyondSinglePrecision, Excerpt(cols));
          if (parse != NumberParse::kOk) throw problem(ProblemKind::kNotANumber, Excerpt(cols));
          f.text = normal;
          break;
        }
      }
      fields.push_back(std::move(f));
    }
  }
  return fields;
}

}  // namespace dosavia
