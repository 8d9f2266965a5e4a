// The language in which the bindings word their reports (ReportOf): Japanese for
// kestrun.mjs's console, as Kestrun's own; a page sets its interface language, a worker the
// language its page sends. One variable for every binding of a module.
#pragma once

#include <string>

#include "records/problem_text.h"

namespace dosavia::web {

inline TextLanguage report_language = TextLanguage::kJapanese;

inline void SetReportLanguage(const std::string& language) {
  report_language = language == "en" ? TextLanguage::kEnglish : TextLanguage::kJapanese;
}

}  // namespace dosavia::web
