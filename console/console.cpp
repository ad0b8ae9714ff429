/*
** console.cpp: choosing the modes.  Each side decides for itself: keys
** from a terminal or a script, text to a terminal or a stream; a script's
** transcript is plain text even on a terminal; memory replaces both for
** sessions run in process.  At the end, output that could not be written
** is said on standard error and decides the exit status.
*/
#include "console/console.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/console_internal.h"

namespace {

/* A closed standard output would be taken by the next file opened; a
   stand-in keeps the place, and the session ends at once. */
bool StdoutClosed() {
  if (fcntl(1, F_GETFD) >= 0 || errno != EBADF) return false;
  int fd = open("/dev/null", O_WRONLY);
  if (fd >= 0 && fd != 1) close(fd);
  return true;
}

}  // namespace

void ConsoleOpen(int pageRows) {
  static bool atExit = false;
  if (!atExit) { /* whatever way out the program takes, the terminal comes back */
    std::atexit(ConsoleClose);
    atExit = true;
  }
  const bool closed = StdoutClosed();
  bool keys = isatty(0) != 0;
  bool screen = isatty(1) != 0;
  if (keys) LineEditorOpen(); /* it learns the terminal as the user keeps it */
  TerminalOpen(&keys, &screen, pageRows);
  InputUseStdin(keys ? kSideTerminal : kSideStream);
  OutputUse(screen ? kSideTerminal : kSideStream, nullptr, 0);
  if (closed) OutputFailed(EBADF);
}

void ConsoleClose() {
  FlushStreamOutput();
  TerminalClose();
  /* Nothing more goes to a terminal in our modes. */
  if (gConsoleIn.side == kSideTerminal) gConsoleIn.side = kSideStream;
  if (gConsoleOut.side == kSideTerminal) gConsoleOut.side = kSideStream;
}

int ConsoleFinish() {
  ConsoleClose();
  const int err = gConsoleOut.failedErrno;
  if (err == 0) return 0;
  std::fprintf(stderr, "tolvarin: cannot write standard output: %s\n", std::strerror(err));
  return 1;
}

void ConsoleUseMemory(const char* input, size_t len, char* out, size_t cap) {
  ConsoleClose(); /* a terminal left switched would stay so */
  InputUseMemory(input, len);
  OutputUse(kSideMemory, out, cap);
}
