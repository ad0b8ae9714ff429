/*
** console.cpp: choosing the modes.  Each side decides for itself: keys
** from a terminal or a script, text to a terminal or a stream; a script's
** transcript is plain text even on a terminal; memory replaces both for
** sessions run in process.  At the end, output that could not be written
** is said on standard error and decides the exit status.
*/
#include "console/console.h"

#include <errno.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/closed_output.h"
#include "console/console_internal.h"

void ConsoleOpen(int pageRows) {
  static bool atExit = false;
  if (!atExit) { /* whatever way out the program takes, the terminal comes back */
    std::atexit(ConsoleClose);
    atExit = true;
  }
  const bool closed = HoldClosedStandardOutput(); /* the session then ends at once */
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
