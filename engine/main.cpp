// Kestrun: the batch engine. No arguments; it works in the current directory.
#include <iostream>

#include "engine/kestrun_run.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

int main() {
#ifdef _WIN32
  // The dialogue is Japanese text in UTF-8.
  SetConsoleOutputCP(CP_UTF8);
#else
  // The result file is the run's product: a console that goes away (a closed pipe) must not
  // end the run before it is written.
  std::signal(SIGPIPE, SIG_IGN);
  // A file-size limit (or a full quota) must end in a write error that names the file and
  // removes the temporary file, not in a silent kill that leaves it half written.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  return dosavia::RunKestrun(std::cin, std::cout, {});
}
