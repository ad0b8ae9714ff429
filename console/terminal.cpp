/*
** terminal.cpp: the terminal's modes, its screen, and putting both back.
**
** Opening saves the terminal's attributes and size and switches standard
** input to key mode (no echo, no line editing; Ctrl-C still interrupts).
** When the keys come from the terminal and standard output is one too,
** the pages go to the screen:
**
**   the window shows the tallest page   the alternate screen, as a
**                                       full-screen program;
**   it shows fewer rows                 50 rows are asked for; when the
**                                       window does not grow enough in a
**                                       moment, the normal screen, where
**                                       the terminal's scrollback keeps the
**                                       top of each page, and one line
**                                       says how many rows the pages need.
**
** On the normal screen a clearing scrolls what was shown into the
** scrollback instead of erasing it.  What was written since the last
** clearing is copied into a fixed buffer, so the page is drawn again after
** a stop or a change of window size.  A window made too small for the
** alternate screen moves the pages to the normal screen for good (a larger
** one again would find the normal screen holding a stale page).  A number
** entry switches to line mode and back.
**
** Whatever ends the program puts back what it found (signals.cpp has the
** handlers; only write() and tcsetattr() are used from there).
*/
#include <errno.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "console/console_internal.h"

namespace {

const int kRowsWanted = 50;
const int kGrowWaitMs = 250; /* longer than a terminal takes to answer a size request */
const char kEnterScreen[] = "\x1b[?1049h"; /* alternate screen buffer */
const char kLeaveScreen[] = "\x1b[?1049l";
const char kClear[] = "\x1b[H\x1b[2J";       /* cursor home, erase the screen */
const char kHomeAndErase[] = "\x1b[H\x1b[J"; /* cursor home, erase to the end */
const char kNewlines[] = "\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n\n";

enum LineState { kKeys, kLine, kEditor };

/* Set before the handlers go in, read by them. */
struct Terminal {
  bool keys;   /* standard input is a terminal we switched */
  bool screen; /* standard output is a terminal we draw pages on */
  int pageRows;
  struct termios saved, keyMode, lineMode, editorMode;
  char ask[32], giveBack[32]; /* the size request and its undoing (see SizeRequest) */
  size_t askLen, giveBackLen; /* 0 when the request was not answered */
};

Terminal gTerm;
volatile sig_atomic_t gArmed;     /* something is switched and must go back */
volatile sig_atomic_t gLineState; /* the mode to put back after a stop */
volatile sig_atomic_t gAlternate; /* the pages are on the alternate screen */
volatile sig_atomic_t gRows;      /* the window's rows, 0 when unknown */
volatile sig_atomic_t gClean;     /* nothing written since the normal screen was cleared */

/* What was written since the last clearing, to show again. */
char gScreenCopy[32768];
volatile sig_atomic_t gScreenLen;

void WriteAll(const char* p, size_t n) {
  while (n > 0) {
    ssize_t w = write(1, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return; /* a terminal that is gone takes nothing more */
    p += w;
    n -= size_t(w);
  }
}

/* Async-signal-safe.  The alternate screen has no scrollback and is
   erased.  On the normal screen a line end for every row, from wherever the
   cursor is, scrolls everything up to the cursor's row into the
   scrollback; the screen is then blank.  A screen cleared with nothing
   written since is left as it is, unless the terminal was someone else's
   in between (always). */
void ClearForScreen(bool always) {
  if (gAlternate || gRows <= 0) {
    WriteAll(kClear, sizeof kClear - 1);
    return;
  }
  if (gClean && !always) return;
  for (size_t left = size_t(gRows); left > 0;) {
    size_t n = left < sizeof kNewlines - 1 ? left : sizeof kNewlines - 1;
    WriteAll(kNewlines, n);
    left -= n;
  }
  WriteAll(kHomeAndErase, sizeof kHomeAndErase - 1);
  gClean = 1;
}

const struct termios* ModeFor(int state) {
  switch (state) {
    case kLine: return &gTerm.lineMode;
    case kEditor: return &gTerm.editorMode;
    default: return &gTerm.keyMode;
  }
}

int WindowRows(int* cols) {
  struct winsize ws;
  std::memset(&ws, 0, sizeof ws);
  if (ioctl(1, TIOCGWINSZ, &ws) != 0) return 0;
  if (cols) *cols = ws.ws_col;
  return ws.ws_row;
}

bool SuitsAlternate(int rows) {
  return rows <= 0 || rows >= gTerm.pageRows; /* a size not told: as a full-screen program */
}

/* Asks for kRowsWanted rows and waits a moment for the window to show the
   tallest page.  Keeps the request, and what undoes it, only when the
   terminal answered it.  Returns the rows shown then. */
/* xterm's window size request, into to[32]; its length. */
size_t SizeRequest(char* to, int rows, int cols) {
  int n = cols > 0 ? std::snprintf(to, 32, "\x1b[8;%d;%dt", rows, cols)
                   : std::snprintf(to, 32, "\x1b[8;%dt", rows);
  return n > 0 && n < 32 ? size_t(n) : 0;
}

int AskForRows(int rows, int cols) {
  size_t n = SizeRequest(gTerm.ask, kRowsWanted, cols);
  WriteAll(gTerm.ask, n);
  sigset_t resize;
  sigemptyset(&resize);
  sigaddset(&resize, SIGWINCH);
  struct timespec wait = {0, kGrowWaitMs * 1000000L};
  int now = rows;
  while (now < gTerm.pageRows && sigtimedwait(&resize, nullptr, &wait) == SIGWINCH) {
    now = WindowRows(nullptr);
    wait = {0, kGrowWaitMs * 1000000L / 5}; /* a little longer for a second step */
  }
  struct timespec none = {0, 0};
  while (sigtimedwait(&resize, nullptr, &none) == SIGWINCH) { /* drawn from scratch anyway */
  }
  now = WindowRows(nullptr);
  if (now != rows) {
    gTerm.askLen = n;
    gTerm.giveBackLen = SizeRequest(gTerm.giveBack, rows, cols);
  }
  return now;
}

/* The screen for the window as it is at start. */
void PrepareScreen() {
  int cols = 0;
  int rows = WindowRows(&cols);
  gTerm.askLen = gTerm.giveBackLen = 0;
  if (rows > 0 && rows < kRowsWanted) rows = AskForRows(rows, cols);
  gRows = rows;
  gAlternate = SuitsAlternate(rows);
  if (gAlternate) {
    WriteAll(kEnterScreen, sizeof kEnterScreen - 1);
    return;
  }
  char say[128];
  int n = std::snprintf(
      say, sizeof say,
      "The pages need %d lines and this window has %d: scroll back to see their tops.\n",
      gTerm.pageRows, rows);
  if (n > 0) WriteAll(say, size_t(n) < sizeof say ? size_t(n) : sizeof say - 1);
}

void PrepareModes() {
  gTerm.keyMode = gTerm.saved;
  gTerm.keyMode.c_lflag &= tcflag_t(~(ICANON | ECHO));
  gTerm.keyMode.c_cc[VMIN] = 1;
  gTerm.keyMode.c_cc[VTIME] = 0;
  gTerm.lineMode = gTerm.saved;
  gTerm.lineMode.c_lflag |= ICANON | ECHO | ECHOE | ECHOK;
  gTerm.editorMode = gTerm.lineMode;
}

void SetMode(int state) {
  gLineState = state;
  if (gArmed && gTerm.keys) tcsetattr(0, TCSANOW, ModeFor(state));
}

}  // namespace

void TerminalRestore() {
  if (!gArmed) return;
  if (gTerm.screen) {
    WriteAll(gTerm.giveBack, gTerm.giveBackLen);
    if (gAlternate) WriteAll(kLeaveScreen, sizeof kLeaveScreen - 1);
  }
  if (gTerm.keys) tcsetattr(0, TCSANOW, &gTerm.saved);
}

void TerminalResume() {
  if (!gArmed) return;
  if (gTerm.keys) tcsetattr(0, TCSANOW, ModeFor(gLineState));
  if (gTerm.screen) {
    WriteAll(gTerm.ask, gTerm.askLen);
    if (gAlternate) WriteAll(kEnterScreen, sizeof kEnterScreen - 1);
    ClearForScreen(true);
    WriteAll(gScreenCopy, size_t(gScreenLen));
    gClean = gScreenLen == 0;
  }
}

void TerminalOpen(bool* keys, bool* screen, int pageRows) {
  TerminalClose();
  gTerm.keys = *keys && tcgetattr(0, &gTerm.saved) == 0;
  gTerm.screen = *screen && gTerm.keys;
  gTerm.pageRows = pageRows;
  *keys = gTerm.keys;
  *screen = gTerm.screen;
  if (!gTerm.keys) return;
  PrepareModes();
  gLineState = kKeys;
  gScreenLen = 0;
  gAlternate = 0;
  gClean = 0;
  gTerm.askLen = gTerm.giveBackLen = 0;
  SignalsInstall(gTerm.screen);
  gArmed = 1;
  tcsetattr(0, TCSANOW, &gTerm.keyMode);
  if (gTerm.screen) PrepareScreen();
}

void TerminalClose() {
  if (!gArmed) return;
  TerminalRestore();
  SignalsUninstall();
  gArmed = 0;
}

void TerminalKeyMode() {
  SetMode(kKeys);
}

void TerminalLineMode() {
  SetMode(kLine);
}

void TerminalAdoptEditorMode() {
  if (!gArmed || !gTerm.keys || gLineState == kEditor) return;
  struct termios now;
  if (tcgetattr(0, &now) != 0) return;
  gTerm.editorMode = now;
  gLineState = kEditor;
}

/* The copy must match the screen when a stop comes: Ctrl-Z waits until
   the text is both written and copied. */
void TerminalWrite(const char* text, size_t len) {
  sigset_t old;
  SignalsHold(&old);
  WriteAll(text, len);
  gClean = 0;
  size_t have = size_t(gScreenLen);
  size_t room = sizeof gScreenCopy - have;
  size_t n = len < room ? len : room;
  std::memcpy(gScreenCopy + have, text, n);
  gScreenLen = sig_atomic_t(have + n);
  SignalsRelease(&old);
}

void TerminalClear() {
  sigset_t old;
  SignalsHold(&old);
  gScreenLen = 0;
  ClearForScreen(false);
  SignalsRelease(&old);
}

void TerminalRedraw() {
  if (!gArmed || !gTerm.screen) return;
  sigset_t old;
  SignalsHold(&old);
  int rows = WindowRows(nullptr);
  gRows = rows;
  if (gAlternate && !SuitsAlternate(rows)) { /* the scrollback keeps the top from now on */
    WriteAll(kLeaveScreen, sizeof kLeaveScreen - 1);
    gAlternate = 0;
  }
  ClearForScreen(true);
  WriteAll(gScreenCopy, size_t(gScreenLen));
  gClean = gScreenLen == 0;
  SignalsRelease(&old);
}
