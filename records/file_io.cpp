#include "records/file_io.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "records/input_error.h"

namespace dosavia {

std::vector<std::string> SplitLines(std::string_view content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    std::string_view line =
        content.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

std::string ReadWholeFile(const std::string& path, const std::string& display_name) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError(display_name, 0, "", "cannot open the file (missing or unreadable)");
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) throw InputError(display_name, 0, "", "read error");
  return ss.str();
}

void WriteFileAtomically(const std::string& path, std::string_view content) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path temp = target;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create " + temp.string());
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      fs::remove(temp, ignored);
      throw std::runtime_error("cannot write " + temp.string());
    }
    out.close();
    if (out.fail()) {
      std::error_code ignored;
      fs::remove(temp, ignored);
      throw std::runtime_error("cannot close " + temp.string());
    }
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    throw std::runtime_error("cannot rename " + temp.string() + " to " + path + ": " + ec.message());
  }
}

}  // namespace dosavia
