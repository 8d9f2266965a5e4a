#include "records/free_format.h"

#include "records/input_error.h"
#include "records/number_text.h"
#include "records/utf8_text.h"

namespace dosavia {

FreeFormatReader::FreeFormatReader(std::string display_name, std::string_view content,
                                   int first_line)
    : name_(std::move(display_name)), text_(content), line_(first_line) {}

template <typename Real>
bool FreeFormatReader::Next(Real& value) {
  auto is_sep = [](char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n'; };
  while (pos_ < text_.size() && is_sep(text_[pos_])) {
    if (text_[pos_] == '\n') ++line_;
    ++pos_;
  }
  if (pos_ >= text_.size()) return false;
  const std::size_t start = pos_;
  while (pos_ < text_.size() && !is_sep(text_[pos_])) ++pos_;
  const std::string_view token(text_.data() + start, pos_ - start);
  ++count_;
  std::string normal;
  const NumberParse parse =
      NormaliseNumber(token, 0, normal) ? ParseNumber(normal, value) : NumberParse::kNotANumber;
  // The first number behind an editor's byte-order mark: the mark is the fault, not the number.
  if (parse != NumberParse::kOk && count_ == 1 && StartsWithByteOrderMark(token))
    throw InputError(Problem(ProblemKind::kStartsWithByteOrderMark).In(name_, line_));
  if (parse != NumberParse::kOk)
    throw InputError(Problem(parse == NumberParse::kOutOfRange ? ProblemKind::kOutOfRange
                                                               : ProblemKind::kNotANumber)
                         .In(name_, line_)
                         .At(ProblemField::NthValue(count_))
                         .WithValue(Excerpt(token, 40)));
  return true;
}
template bool FreeFormatReader::Next<float>(float&);
template bool FreeFormatReader::Next<double>(double&);

}  // namespace dosavia
