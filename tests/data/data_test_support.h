// Access to the shipped data files and checks of their fixed-column layout.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "physics/physics_loader.h"
#include "records/file_io.h"
#include "records/fixed_format.h"

namespace dosavia::testing {

inline std::string ShippedFile(const std::string& name) {
  return std::string(DOSAVIA_DATA_DIR) + "/" + name;
}

// Both shipped physics files loaded by the programs' own loader.
template <typename Real>
std::unique_ptr<PhysicsTables<Real>> LoadShippedTables() {
  auto tables = std::make_unique<PhysicsTables<Real>>();
  LoadPhysicsTables(*tables, ShippedFile(kWaterDataFile), ShippedFile(kElectronDataFile));
  return tables;
}

// Lines of a text file split at CR LF; `all_crlf` tells whether every line (the last
// included) ended with CR LF and no bare LF or CR occurs.
struct CrLfText {
  std::vector<std::string> lines;
  bool all_crlf = true;
};

inline CrLfText ReadCrLfLines(const std::string& path) {
  const std::string text = ReadWholeFile(path, path);
  CrLfText out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lf = text.find('\n', start);
    if (lf == std::string::npos || lf == start || text[lf - 1] != '\r') {
      out.all_crlf = false;
      if (lf == std::string::npos) {
        out.lines.push_back(text.substr(start));
        break;
      }
    }
    std::string line = text.substr(start, lf - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\r') != std::string::npos) out.all_crlf = false;
    out.lines.push_back(line);
    start = lf + 1;
  }
  return out;
}

// Empty when every data field of the line after its first leaves the first column of its
// field blank (so the free-format reader of the interactive program sees separate
// numbers); otherwise a description of the first crowded field.
inline std::string CrowdedField(const std::string& line, const FixedFormat& format) {
  std::size_t column = 0;
  int data_field = 0;
  for (const FormatItem& item : format.items()) {
    if (item.IsData()) {
      ++data_field;
      if (data_field > 1 && column < line.size() && line[column] != ' ')
        return "field " + std::to_string(data_field) + " at column " + std::to_string(column + 1) +
               " of '" + line + "'";
    }
    column += static_cast<std::size_t>(item.width);
  }
  return "";
}

}  // namespace dosavia::testing
