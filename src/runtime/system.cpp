#include "runtime/system.h"

#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "runtime/clock.h"
#include "runtime/console.h"
#include "runtime/files.h"

void runtime_init() {
  std::setlocale(LC_CTYPE, "");
  // A file growing past the process's size limit then fails like a full
  // disk, and the program handles it, instead of being killed.
  std::signal(SIGXFSZ, SIG_IGN);
  TIMER();
}

std::string current_directory() {
  std::string dir(256, '\0');
  for (;;) {
    if (getcwd(dir.data(), dir.size()) != nullptr) {
      dir.resize(dir.find('\0'));
      return dir;
    }
    if (errno != ERANGE) return {};
    dir.resize(dir.size() * 2);
  }
}

void runtime_end(int status) {
  file_close_all();
  console_restore();
  std::fflush(stdout);
  std::exit(status);
}
