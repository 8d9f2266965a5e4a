#include "records/problem.h"

#include <memory>
#include <utility>

#include "records/problem_text.h"

namespace dosavia {

ProblemField ProblemField::Data(int n, std::string edit) {
  ProblemField f;
  f.number = n;
  f.edit = std::move(edit);
  return f;
}

ProblemField ProblemField::DataRun(int n, int last, std::string edit) {
  ProblemField f = Data(n, std::move(edit));
  f.last_number = last;
  return f;
}

ProblemField ProblemField::Columns(int first, int last) {
  ProblemField f;
  f.WithColumns(first, last);
  return f;
}

ProblemField ProblemField::NthValue(int n) {
  ProblemField f;
  f.value_number = n;
  return f;
}

ProblemField ProblemField::NthRecord(int n) {
  ProblemField f;
  f.record_number = n;
  return f;
}

ProblemField ProblemField::Named(FieldName field_name) {
  ProblemField f;
  f.name = field_name;
  return f;
}

ProblemField& ProblemField::WithColumns(int first, int last) {
  first_column = first;
  last_column = last;
  return *this;
}

ProblemField& ProblemField::WithName(FieldName field_name) {
  name = field_name;
  return *this;
}

Problem& Problem::In(std::string file_name, int line_number) {
  file = std::move(file_name);
  line = line_number;
  return *this;
}

Problem& Problem::At(ProblemField where) {
  field = std::move(where);
  return *this;
}

Problem& Problem::WithValue(std::string found) {
  value = std::move(found);
  return *this;
}

Problem& Problem::WithLimit(std::string bound) {
  limit = std::move(bound);
  return *this;
}

Problem& Problem::WithOther(std::string other_file) {
  other = std::move(other_file);
  return *this;
}

Problem& Problem::WithSystemError(int error) {
  system_error = error;
  return *this;
}

Problem& Problem::WithFileType(FileType type) {
  file_type = type;
  return *this;
}

Problem& Problem::WithCause(const Problem& behind) {
  cause = std::make_shared<const Problem>(behind);
  return *this;
}

ProblemError::ProblemError(Problem problem)
    : std::runtime_error(ProblemLine(problem, TextLanguage::kEnglish)),
      problem_(std::move(problem)) {}

}  // namespace dosavia
