/*
** console.cpp: choosing the modes.  Each side decides for itself: keys
** from a terminal or a script, text to a terminal or a stream; memory
** replaces both for sessions run in process.
*/
#include "console/console.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "console/console_internal.h"

void ConsoleOpen() {
  static bool atExit = false;
  if (!atExit) { /* whatever way out the program takes, the terminal comes back */
    std::atexit(ConsoleClose);
    atExit = true;
  }
  bool keys = isatty(0) != 0;
  bool screen = isatty(1) != 0;
  TerminalOpen(&keys, &screen);
  InputUseStdin(keys ? kSideTerminal : kSideStream);
  OutputUse(screen ? kSideTerminal : kSideStream, nullptr, 0);
}

void ConsoleClose() {
  FlushStreamOutput();
  TerminalClose();
  /* Nothing more goes to a terminal in our modes. */
  if (gConsoleIn.side == kSideTerminal) gConsoleIn.side = kSideStream;
  if (gConsoleOut.side == kSideTerminal) gConsoleOut.side = kSideStream;
}

void ConsoleUseMemory(const char* input, size_t len, char* out, size_t cap) {
  ConsoleClose(); /* a terminal left switched would stay so */
  InputUseMemory(input, len);
  OutputUse(kSideMemory, out, cap);
}
