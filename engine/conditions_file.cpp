#include "engine/conditions_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <sys/stat.h>

#include "engine/phantom_file.h"
#include "engine/program_files.h"
#include "engine/physics_switch_names.h"
#include "engine/result_file.h"
#include "physics/physics_loader.h"
#include "records/file_io.h"
#include "records/fixed_format.h"
#include "records/free_format.h"
#include "records/input_error.h"
#include "records/number_text.h"
#include "records/utf8_text.h"

namespace dosavia {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A name of the "(A20)" field: its first 20 bytes with the blanks around them dropped. The
// cut never splits a UTF-8 character (a Japanese name of 7 characters is 21 bytes), so the
// name is one the file system can hold; blanks before the name are typing slips.
std::string NameField(std::string_view line) {
  std::string_view s = Utf8Prefix(TrimBlanks(line), kFileNameLength);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

// Whether an existing file reads as a result file, by the reader Dosavia loads results
// with: only such a file may be replaced by a new result of its name.
bool IsResultFile(const std::filesystem::path& path) {
  try {
    ReadResultFile(path, path.string());
    return true;
  } catch (const InputError&) {
    return false;
  }
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// File names compare without regard to case, as on the file systems the programs ship for.
bool SameFileName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool ParseCount(std::string_view text, double& value) {
  const std::string_view t = TrimBlanks(text);
  return !t.empty() && ParseReal(t, value);
}

}  // namespace

void CheckPlainFileName(const std::string& name, const std::string& file, int line,
                        FieldName field) {
  const auto bad = [&](ProblemKind kind) {
    return InputError(
        Problem(kind).In(file, line).At(ProblemField::Named(field)).WithValue(Excerpt(name)));
  };
  if (name.empty()) throw bad(ProblemKind::kNameEmpty);
  for (char ch : name) {
    if (ch == '/' || ch == '\\' || ch == ':') throw bad(ProblemKind::kNotAPlainFileName);
    if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f)
      throw bad(ProblemKind::kNameHoldsControl);
  }
  if (name == "." || name == "..") throw bad(ProblemKind::kNameIsAFolder);
}

float ReadPhotonTotal(std::string_view line, const std::string& display_name) {
  const auto bad = [&](ProblemKind kind, std::string value = {}, std::string limit = {}) {
    return InputError(Problem(kind)
                          .In(display_name, 3)
                          .At(ProblemField::Named(FieldName::kPhotonTotal))
                          .WithValue(std::move(value))
                          .WithLimit(std::move(limit)));
  };
  FreeFormatReader number(display_name, line, 3);
  float n = 0;
  bool found = false;
  const std::string line3 = Excerpt(line);
  try {
    found = number.Next(n);
  } catch (const InputError& e) {
    throw bad(
        e.kind() == ProblemKind::kOutOfRange ? ProblemKind::kOutOfRange : ProblemKind::kNotANumber,
        line3);
  }
  if (!found) throw bad(ProblemKind::kNoNumber);
  // "30,000,000" reads as 30 followed by more numbers: digit grouping, not a total. Words
  // after the total are a comment and stay allowed.
  float more = 0;
  bool has_more = false;
  try {
    has_more = number.Next(more);
  } catch (const InputError&) {
    has_more = false;
  }
  if (has_more) throw bad(ProblemKind::kMoreThanPhotonTotal, line3);
  if (n < 0.0f || n > kMaxPhotonTotal)
    throw bad(ProblemKind::kPhotonTotalOutside, {}, "2147483520");
  return n;
}

RunConditions ReadConditions(std::string_view content, const std::string& display_name) {
  static constexpr FieldName kFields[] = {FieldName::kSpectrumFileName, FieldName::kResultFileName,
                                          FieldName::kPhotonTotal};
  const auto bad = [&](ProblemKind kind, int line, std::string value = {}, std::string limit = {}) {
    return InputError(Problem(kind)
                          .In(display_name, line)
                          .At(ProblemField::Named(kFields[line - 1]))
                          .WithValue(std::move(value))
                          .WithLimit(std::move(limit)));
  };
  RecordReader reader(display_name, content);
  if (reader.line_count() < 3) {
    // Lines ended by CR alone leave fewer lines than Joken.dat has; the line that holds the
    // CRs names its field, as every problem of this file does.
    if (auto layout = reader.LayoutProblem(reader.line_count() + 1))
      throw InputError(layout->At(ProblemField::Named(kFields[layout->line - 1])));
    throw bad(ProblemKind::kLineMissing, reader.line_count() + 1,
              std::to_string(reader.line_count()), "3");
  }
  // A byte-order mark written by a Windows editor is not part of the spectrum's name.
  std::string_view first_line = reader.Line(0);
  if (StartsWithByteOrderMark(first_line)) first_line.remove_prefix(3);
  RunConditions c;
  c.spectrum_file = NameField(first_line);
  CheckPlainFileName(c.spectrum_file, display_name, 1, kFields[0]);
  c.result_file = NameField(reader.Line(1));
  CheckPlainFileName(c.result_file, display_name, 2, kFields[1]);
  // The result replaces any file of its name: it must not be one the run reads.
  for (const std::string_view input :
       {std::string_view(kWaterDataFile), std::string_view(kElectronDataFile),
        std::string_view(kAccurateElectronDataFile), std::string_view(display_name),
        std::string_view(kConditionsFile), std::string_view(c.spectrum_file)}) {
    if (SameFileName(c.result_file, input))
      throw bad(ProblemKind::kResultWouldOverwriteInput, 2, Excerpt(c.result_file));
  }
  if (IsProgramFileName(c.result_file))
    throw bad(ProblemKind::kResultWouldOverwriteShipped, 2, Excerpt(c.result_file));

  const float n = ReadPhotonTotal(reader.Line(2), display_name);
  c.photon_total = n;
  return c;
}

RunConditions ReadConditionsFile(const std::filesystem::path& path, const std::string& display_name,
                                 const PhysicsSwitches& physics) {
  RunConditions c = ReadConditions(ReadWholeFile(path.string(), display_name), display_name);
  c.result_file = TaggedResultFileName(c.result_file, physics);
  // An existing file of the result's name is replaced only when it is an earlier result.
  const std::filesystem::path result = path.parent_path() / c.result_file;
  struct stat st {};
  if (::lstat(result.c_str(), &st) == 0 && !IsResultFile(result))
    throw InputError(Problem(ProblemKind::kNotAResultFile)
                         .In(display_name, 2)
                         .At(ProblemField::Named(FieldName::kResultFileName))
                         .WithValue(Excerpt(c.result_file)));
  return c;
}

std::string SpectrumFileName(std::string_view energy_text) {
  return std::string(energy_text) + "MV.csv";
}

std::string ResultFileName(std::string_view energy_text, std::string_view count_text) {
  double count = 0;
  if (!ParseCount(count_text, count)) count = 0;
  // A million photons and more are named by their millions, as every stored result of a
  // real run is; a smaller trial run by its thousands ("100K") or, below a thousand, by its
  // count, so that a 1e5 and a 5e5 run do not both become "0M" and replace each other.
  double unit = 1000000.0;
  const char* suffix = "M";
  if (count >= 0 && count < 1000000.0) {
    unit = count >= 1000.0 ? 1000.0 : 1.0;
    suffix = count >= 1000.0 ? "K" : "";
  }
  char units[64];
  std::snprintf(units, sizeof units, "%.0f", std::floor(count / unit));
  std::string m = units;
  if (m == "-0") m = "0";
  return std::string(energy_text) + "MV-" + m + suffix + ".data";
}

namespace {

// Whether `name` ends in ".data" in any case (a name typed as "R.DATA" is a result too).
bool EndsInDataExtension(std::string_view name) {
  constexpr std::string_view kExtension = ".data";
  if (name.size() <= kExtension.size()) return false;
  for (std::size_t i = 0; i < kExtension.size(); ++i) {
    char c = name[name.size() - kExtension.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kExtension[i]) return false;
  }
  return true;
}

}  // namespace

namespace {

// `tag` before the extension as the name wrote it, so "R.DATA" stays a ".DATA".
std::string WithTag(std::string_view name, std::string_view tag) {
  constexpr std::size_t kExtensionLength = 5;
  if (EndsInDataExtension(name))
    return std::string(name.substr(0, name.size() - kExtensionLength)) + std::string(tag) +
           std::string(name.substr(name.size() - kExtensionLength));
  return std::string(name) + std::string(tag);
}

}  // namespace

std::string TaggedResultFileName(std::string_view name, const PhysicsSwitches& physics) {
  return WithTag(name, PhysicsTag(physics));
}

std::string AccurateResultFileName(std::string_view name) {
  return WithTag(name, kAccurateResultTag);
}

std::string PhantomResultFileName(std::string_view name, std::string_view mark) {
  return WithTag(name, "-" + std::string(mark));
}

namespace {

// Whether `word` is a mark PhantomResultFileName writes: a material of the layers other
// than water, or the mark of edited layers.
bool IsPhantomMark(std::string_view word) {
  if (word == kEditedPhantomMark) return true;
  const PhantomMaterial* material = FindPhantomMaterial(word);
  return material != nullptr && material->name != "water";
}

}  // namespace

ResultNameParts ParseResultFileName(std::string_view name) {
  ResultNameParts parts;
  // A tag before ".data": the name is read as the full-physics name it was made from.
  constexpr std::string_view kExtension = ".data";
  if (name.size() > kExtension.size() &&
      name.substr(name.size() - kExtension.size()) == kExtension) {
    const std::string_view stem = name.substr(0, name.size() - kExtension.size());
    const std::size_t dash = stem.rfind('-');
    if (dash != std::string_view::npos && dash > 0) {
      if (stem.substr(dash) == kAccurateResultTag) {
        parts = ParseResultFileName(std::string(stem.substr(0, dash)) + std::string(kExtension));
        parts.physics.accurate_transport = true;
        return parts;
      }
      if (IsPhantomMark(stem.substr(dash + 1))) {
        parts = ParseResultFileName(std::string(stem.substr(0, dash)) + std::string(kExtension));
        parts.physics.accurate_transport = true;
        parts.phantom = std::string(stem.substr(dash + 1));
        return parts;
      }
      if (const auto physics = ParsePhysicsTag(stem.substr(dash))) {
        parts = ParseResultFileName(std::string(stem.substr(0, dash)) + std::string(kExtension));
        parts.physics = *physics;
        return parts;
      }
    }
  }
  // As written: the energy, "MV-", the count (a minus sign, digits) in millions ("M"),
  // thousands ("K") or photons (no letter), ".data".
  constexpr std::string_view kUnit = "MV-";
  constexpr std::string_view kEnd = ".data";
  if (name.size() > kEnd.size() && name.substr(name.size() - kEnd.size()) == kEnd) {
    std::string_view rest = name.substr(0, name.size() - kEnd.size());
    std::string_view zeros;
    if (!rest.empty() && (rest.back() == 'M' || rest.back() == 'K')) {
      zeros = rest.back() == 'M' ? "000000" : "000";
      rest.remove_suffix(1);
    }
    std::size_t start = rest.size();
    while (start > 0 && rest[start - 1] >= '0' && rest[start - 1] <= '9') --start;
    const std::size_t digits = start;
    if (start >= 2 && rest[start - 1] == '-' && rest[start - 2] == '-') --start;
    if (digits < rest.size() && start >= kUnit.size() &&
        rest.substr(start - kUnit.size(), kUnit.size()) == kUnit) {
      parts.energy = std::string(rest.substr(0, start - kUnit.size()));
      parts.photons = std::string(rest.substr(start)) + std::string(zeros);
      return parts;
    }
  }
  // Any other name: the energy before the first "MV-", as a user would read it.
  for (std::size_t i = 1; i + kUnit.size() <= name.size(); ++i) {
    if (LowerAscii(name[i]) == 'm' && LowerAscii(name[i + 1]) == 'v' && name[i + 2] == '-') {
      parts.energy = std::string(name.substr(0, i));
      break;
    }
  }
  return parts;
}

std::string PlainCountText(std::string_view typed) {
  // Groups of three digits after a first group of one to three, joined by ',' or ' '.
  const std::string_view t = TrimBlanks(typed);
  std::size_t lead = 0;
  while (lead < t.size() && lead < 4 && t[lead] >= '0' && t[lead] <= '9') ++lead;
  if (lead == 0 || lead > 3) return std::string(typed);
  std::string digits(t.substr(0, lead));
  std::size_t pos = lead;
  int groups = 0;
  while (pos + 3 < t.size() && (t[pos] == ',' || t[pos] == ' ') && IsDigits(t.substr(pos + 1, 3)) &&
         (pos + 4 == t.size() || !(t[pos + 4] >= '0' && t[pos + 4] <= '9'))) {
    digits.append(t.substr(pos + 1, 3));
    pos += 4;
    ++groups;
  }
  if (groups == 0) return std::string(typed);
  return digits + std::string(t.substr(pos));
}

std::string PhotonTotalText(std::string_view count_text) {
  double v = 0;
  if (!ParseCount(count_text, v)) return std::string(count_text);
  if (v == 0) return "0.00E+00";
  // The shortest decimal form of the number, rounded to three significant digits with
  // halves away from zero, as the interactive program's number format does.
  const std::string s = ShortestScientific(std::fabs(v));
  const std::size_t e = s.find('e');
  std::string digits;
  for (std::size_t i = 0; i < e; ++i)
    if (s[i] != '.') digits += s[i];
  int exponent = std::stoi(s.substr(e + 1));
  digits.resize(std::max<std::size_t>(digits.size(), 4), '0');
  int kept = std::stoi(digits.substr(0, 3));
  if (digits[3] >= '5') ++kept;
  if (kept == 1000) {
    kept = 100;
    ++exponent;
  }
  char out[64];
  std::snprintf(out, sizeof out, "%s%d.%02dE%c%02d", v < 0 ? "-" : "", kept / 100, kept % 100,
                exponent < 0 ? '-' : '+', std::abs(exponent));
  return out;
}

std::string ConditionsFileText(std::string_view spectrum_file, std::string_view result_file,
                               std::string_view photon_total_text) {
  std::string text;
  for (std::string_view line : {spectrum_file, result_file, photon_total_text}) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void WriteConditionsFile(const std::filesystem::path& path, std::string_view content) {
  // Joken.dat itself, never a data file or program a link or another name of it reaches.
  CheckNotProgramFile(path, kConditionsFile);
  WriteFileAtomically(path.string(), content);
}

}  // namespace dosavia
