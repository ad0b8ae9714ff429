/*
** terminal.cpp: the terminal's modes, its screen, and putting both back.
**
** Opening saves the terminal's attributes and size and switches standard
** input to key mode (no echo, no line editing; Ctrl-C still interrupts).
** When the keys come from the terminal and standard output is one too,
** the pages go to the alternate screen, as a full-screen program's.  A
** window with fewer rows than the tallest page first asks for 50 rows
** (xterm grants that; tmux and many others do not); when it does not grow
** enough in a moment, the pages are shown as windows of them
** (page_window.cpp): text is then only kept, and the window is drawn when
** the program waits for a key or a number, and again for each scroll key.
** A window that fits the tallest page writes the text straight through.
**
** What was written since the last clearing is copied into a fixed buffer,
** so the page is drawn again after a stop or a change of window size,
** whole or as a window, whichever the new size wants.  A number entry
** switches to line mode and back.
**
** Whatever ends the program puts back what it found (signals.cpp has the
** handlers; only write(), poll(), tcflow(), tcgetattr() and tcsetattr()
** are used from there).  Output held back by Ctrl-S is let go first: the
** program is ending, and a write waiting for Ctrl-Q would keep it from
** ending.
*/
#include <errno.h>
#include <poll.h>
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
const char kClear[] = "\x1b[H\x1b[2J"; /* cursor home, erase the screen */
const int kRestoreWaitMs = 500; /* a terminal that takes nothing that long is not taking it */

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
volatile sig_atomic_t gCols;
bool gEditorKnown;               /* editorMode was read off the editor's first entry */
volatile sig_atomic_t gWindowed; /* pages drawn as windows of them (too few rows) */
volatile sig_atomic_t gTop;      /* the windowed page's first body row shown */
volatile sig_atomic_t gPending;  /* the windowed page changed since it was drawn */

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

/* Async-signal-safe, for the way out: writes what it can while the
   terminal takes it, and gives up when it has taken nothing for a while
   (never stuck in a signal handler). */
void WriteWithin(const char* p, size_t n) {
  while (n > 0) {
    struct pollfd out = {1, POLLOUT, 0};
    int r = poll(&out, 1, kRestoreWaitMs);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0 || !(out.revents & POLLOUT)) return;
    ssize_t w = write(1, p, n);
    if (w < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (w <= 0) return;
    p += w;
    n -= size_t(w);
  }
}

/* Async-signal-safe.  Lets output held back go: tcflow's TCOON undoes
   a tcflow() stop, and on Linux only IXON switched off undoes Ctrl-S, so
   it is switched off and at once on again. */
void ReleaseOutput() {
  tcflow(1, TCOON);
  struct termios now;
  if (tcgetattr(1, &now) != 0 || !(now.c_iflag & IXON)) return;
  struct termios off = now;
  off.c_iflag &= tcflag_t(~IXON);
  tcsetattr(1, TCSANOW, &off);
  tcsetattr(1, TCSANOW, &now);
}

/* Async-signal-safe.  The page kept, drawn on the erased screen: whole,
   or as the window that fits. */
void DrawPage() {
  const size_t len = size_t(gScreenLen);
  if (!gWindowed) {
    WriteAll(kClear, sizeof kClear - 1);
    WriteAll(gScreenCopy, len);
    return;
  }
  const PageWindow w = PageWindowFor(gScreenCopy, len, gRows, gCols);
  gTop = PageWindowScrolled(w, gTop, kScrollNone);
  PageWindowDraw(gScreenCopy, len, w, gTop, WriteAll);
  gPending = 0;
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

bool Windowed(int rows) {
  return rows > 0 && rows < gTerm.pageRows; /* a size not told: as a full-screen program */
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
  if (rows > 0 && rows < kRowsWanted) {
    AskForRows(rows, cols);
    rows = WindowRows(&cols); /* the width may have changed with the rows */
  }
  gRows = rows;
  gCols = cols;
  gWindowed = Windowed(rows);
  gAlternate = 1;
  WriteAll(kEnterScreen, sizeof kEnterScreen - 1);
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
    char out[sizeof gTerm.giveBack + sizeof kLeaveScreen];
    size_t n = gTerm.giveBackLen;
    std::memcpy(out, gTerm.giveBack, n);
    if (gAlternate) {
      std::memcpy(out + n, kLeaveScreen, sizeof kLeaveScreen - 1);
      n += sizeof kLeaveScreen - 1;
    }
    ReleaseOutput(); /* output stopped by Ctrl-S would hold this write until Ctrl-Q */
    WriteWithin(out, n);
  }
  if (gTerm.keys) tcsetattr(0, TCSANOW, &gTerm.saved);
}

void TerminalResume() {
  if (!gArmed) return;
  if (gTerm.keys) tcsetattr(0, TCSANOW, ModeFor(gLineState));
  if (gTerm.screen) {
    WriteAll(gTerm.ask, gTerm.askLen);
    if (gAlternate) WriteAll(kEnterScreen, sizeof kEnterScreen - 1);
    DrawPage();
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
  gEditorKnown = false;
  gLineState = kKeys;
  gScreenLen = 0;
  gAlternate = 0;
  gWindowed = 0;
  gTop = 0;
  gPending = 0;
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

/* The terminal's own line mode lives only until the editor's first
   entry: a key typed in it is taken by the terminal's line discipline
   (an end-of-file key on the empty line becomes a NUL once the editor
   switches), so every later entry goes straight to the editor's mode. */
void TerminalEditorMode() {
  SetMode(gEditorKnown ? kEditor : kLine);
}

void TerminalAdoptEditorMode() {
  if (!gArmed || !gTerm.keys || gLineState == kEditor) return;
  struct termios now;
  if (tcgetattr(0, &now) != 0) return;
  gTerm.editorMode = now;
  gEditorKnown = true;
  gLineState = kEditor;
}

/* The copy must match the screen when a stop comes: Ctrl-Z waits until
   the text is both written and copied. */
void TerminalWrite(const char* text, size_t len) {
  sigset_t old;
  SignalsHold(&old);
  if (gWindowed)
    gPending = 1;
  else
    WriteAll(text, len);
  size_t have = size_t(gScreenLen);
  size_t room = sizeof gScreenCopy - have;
  size_t n = len < room ? len : room;
  std::memcpy(gScreenCopy + have, text, n);
  gScreenLen = sig_atomic_t(have + n);
  SignalsRelease(&old);
}

/* A new page starts at its top. */
void TerminalClear() {
  sigset_t old;
  SignalsHold(&old);
  gScreenLen = 0;
  gTop = 0;
  if (gWindowed)
    gPending = 1;
  else
    WriteAll(kClear, sizeof kClear - 1);
  SignalsRelease(&old);
}

void TerminalRedraw() {
  if (!gArmed || !gTerm.screen) return;
  sigset_t old;
  SignalsHold(&old);
  int cols = 0;
  int rows = WindowRows(&cols);
  gRows = rows;
  gCols = cols;
  gWindowed = Windowed(rows);
  DrawPage();
  SignalsRelease(&old);
}

void TerminalShowPage() {
  if (!gArmed || !gTerm.screen || !gWindowed || !gPending) return;
  sigset_t old;
  SignalsHold(&old);
  DrawPage();
  SignalsRelease(&old);
}

bool TerminalScroll(int scrollKey) {
  if (!gArmed || !gTerm.screen || !gWindowed) return false;
  sigset_t old;
  SignalsHold(&old);
  const PageWindow w = PageWindowFor(gScreenCopy, size_t(gScreenLen), gRows, gCols);
  const bool scrolls = w.pageRows > w.rows; /* a page shown whole keeps the key as it was */
  const int top = PageWindowScrolled(w, gTop, scrollKey);
  if (scrolls && (top != gTop || gPending)) {
    gTop = top;
    DrawPage();
  }
  SignalsRelease(&old);
  return scrolls;
}

/* The entry's line end moved the screen up a row under the window: the
   next wait draws it again, the typed line under its prompt. */
void TerminalEntryEnded(const char* typed, size_t len) {
  if (!gArmed || !gTerm.screen || !gWindowed) return;
  TerminalWrite(typed, len);
  TerminalWrite("\n", 1);
}
