#include "runtime/console.h"

#include <langinfo.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/cp437.h"

namespace {

volatile std::sig_atomic_t g_raw = 0;
termios g_saved{};
std::string g_pending;  // bytes read from standard input, not yet a key

const std::string kEnter = "\r";

bool utf8_locale() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset != nullptr &&
         (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

void write_out(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

void restore_and_reraise(int sig) {
  if (g_raw) tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
  g_raw = 0;
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

// Restores the terminal on SIGINT and SIGTERM, unless the program has its own
// handler for them.
void hook_signals() {
  for (const int sig : {SIGINT, SIGTERM}) {
    struct sigaction old {};
    if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
    struct sigaction sa {};
    sa.sa_handler = restore_and_reraise;
    sigemptyset(&sa.sa_mask);
    sigaction(sig, &sa, nullptr);
  }
}

// Keys come one at a time, without echo and without waiting for Enter.
void enter_raw_mode() {
  static bool hooked = false;
  if (g_raw) return;
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
  g_saved = saved;
  if (!hooked) {
    hooked = true;
    std::atexit(console_restore);
    hook_signals();
  }
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | IXON);
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0) g_raw = 1;
}

// Reads what standard input holds without waiting. False when it is at its
// end or cannot be read.
bool read_available() {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  if (poll(&p, 1, 0) < 0) return true;
  if ((p.revents & POLLIN) == 0) return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
  std::array<char, 64> buf{};
  const ssize_t n = read(STDIN_FILENO, buf.data(), buf.size());
  if (n <= 0) return false;
  g_pending.append(buf.data(), static_cast<size_t>(n));
  return true;
}

// The extended key of an escape sequence (ESC [ x, ESC O x, ESC [ n ~).
std::string escape_key(std::string_view seq) {
  struct Entry {
    std::string_view seq;
    char code;
  };
  static constexpr std::array<Entry, 12> kKeys = {{
      {"[A", 'H'},
      {"[B", 'P'},
      {"[C", 'M'},
      {"[D", 'K'},
      {"[5~", 'I'},
      {"[6~", 'Q'},
      {"OP", ';'},
      {"OQ", '<'},
      {"[11~", ';'},
      {"[12~", '<'},
      {"OA", 'H'},
      {"OB", 'P'},
  }};
  for (const Entry& e : kKeys) {
    if (e.seq == seq) return std::string{static_cast<char>(0xFF), e.code};
  }
  return {};
}

// Takes one key off the front of the pending bytes.
std::string take_key() {
  const auto first = static_cast<unsigned char>(g_pending[0]);
  size_t len = 1;
  std::string key;
  if (first == 0x1B && g_pending.size() > 1 && (g_pending[1] == '[' || g_pending[1] == 'O')) {
    len = 2;
    if (g_pending[1] == 'O') {
      len = std::min<size_t>(3, g_pending.size());
    } else {
      while (len < g_pending.size() && (g_pending[len] < 0x40 || g_pending[len] > 0x7E)) ++len;
      len = std::min(len + 1, g_pending.size());
    }
    key = escape_key(std::string_view(g_pending).substr(1, len - 1));
  } else if (first == 0x7F) {
    key.assign(1, '\b');
  } else if (first >= 0x80 && utf8_locale()) {
    while (len < g_pending.size() && len < 4 && (g_pending[len] & 0xC0) == 0x80) ++len;
    key = utf8_to_cp437(std::string_view(g_pending).substr(0, len)).substr(0, 1);
  } else {
    key = g_pending.substr(0, 1);
  }
  g_pending.erase(0, len);
  return key;
}

}  // namespace

void console_clear() {
  if (isatty(STDOUT_FILENO)) write_out("\x1b[H\x1b[2J");
}

void console_print(std::string_view cp437_text) {
  if (utf8_locale()) {
    write_out(cp437_to_utf8(cp437_text));
  } else {
    write_out(cp437_text);
  }
}

void console_print_line(std::string_view cp437_text) {
  std::string line(cp437_text);
  line += '\n';
  console_print(line);
}

std::string console_inkey() {
  if (g_pending.empty()) {
    const bool terminal = isatty(STDIN_FILENO);
    if (terminal) enter_raw_mode();
    // A terminal may have no key yet; any other input that has none is taken
    // as a key, so that nothing waits for ever.
    if (!read_available() || (!terminal && g_pending.empty())) return kEnter;
    if (g_pending.empty()) return {};
  }
  return take_key();
}

void console_restore() {
  if (!g_raw) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
  g_raw = 0;
}
