/*
** terminal.cpp: the terminal's modes, its screen, and putting both back.
**
** Opening saves the terminal's attributes and size, switches standard
** input to key mode (no echo, no line editing; Ctrl-C still interrupts)
** and standard output to the alternate screen, asking for 50 rows when
** fewer are shown.  A number entry switches to line mode (echoed, line
** edited) and back.
**
** Whatever ends the program puts back what it found: the exit key and the
** end of input through ConsoleClose, SIGINT, SIGTERM and SIGHUP from their
** handlers (only write() and tcsetattr() there; exit status 128 + signal).
** Ctrl-Z restores, stops, and on SIGCONT the mode and screen come back and
** the page is shown again from a copy of what was written since the last
** clearing.  Signals that were ignored when the program started (nohup, a
** job without job control) stay ignored.
*/
#include <errno.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "console/console_internal.h"

namespace {

const int kRowsWanted = 50;
const char kEnterScreen[] = "\x1b[?1049h"; /* alternate screen buffer */
const char kLeaveScreen[] = "\x1b[?1049l";
const char kClear[] = "\x1b[H\x1b[2J"; /* cursor home, erase the screen */

const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
const int kHandled[] = {SIGINT, SIGTERM, SIGHUP, SIGTSTP, SIGCONT};
const int kHandledCount = int(sizeof kHandled / sizeof kHandled[0]);

/* Set before the handlers go in, read by them. */
struct Terminal {
  bool keys;   /* standard input is a terminal we switched */
  bool screen; /* standard output is a terminal we switched */
  struct termios saved, keyMode, lineMode;
  char enter[48], leave[48]; /* what opens and closes our screen */
  size_t enterLen, leaveLen;
  struct sigaction previous[sizeof kHandled / sizeof kHandled[0]];
  bool installed[sizeof kHandled / sizeof kHandled[0]];
};

Terminal gTerm;
volatile sig_atomic_t gArmed;    /* something is switched and must go back */
volatile sig_atomic_t gLineMode; /* the mode to put back after a stop */
volatile sig_atomic_t gStopping; /* Ctrl-Z handled, no SIGCONT seen yet */

/* What was written since the last clearing, to show again after a stop. */
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

/* Async-signal-safe. */
void Restore() {
  if (!gArmed) return;
  if (gTerm.screen) WriteAll(gTerm.leave, gTerm.leaveLen);
  if (gTerm.keys) tcsetattr(0, TCSANOW, &gTerm.saved);
}

/* Async-signal-safe. */
void Resume() {
  if (!gArmed) return;
  if (gTerm.keys) tcsetattr(0, TCSANOW, gLineMode ? &gTerm.lineMode : &gTerm.keyMode);
  if (gTerm.screen) {
    WriteAll(gTerm.enter, gTerm.enterLen);
    WriteAll(kClear, sizeof kClear - 1);
    WriteAll(gScreenCopy, size_t(gScreenLen));
  }
}

void OnEndingSignal(int sig) {
  Restore();
  _exit(128 + sig);
}

void OnContinue(int) {
  int e = errno;
  gStopping = 0;
  Resume();
  errno = e;
}

void Install(int sig);

/* Restore, then stop as Ctrl-Z would have without us.  A job whose parent
   left its session is not stopped by the kernel and gets no SIGCONT; it
   comes back here at once and resumes by itself. */
void OnStop(int sig) {
  int e = errno;
  Restore();
  gStopping = 1;
  struct sigaction dfl;
  std::memset(&dfl, 0, sizeof dfl);
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  sigaction(sig, &dfl, nullptr);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  kill(getpid(), sig);
  if (gStopping) {
    gStopping = 0;
    Resume();
  }
  Install(sig);
  errno = e;
}

void Install(int sig) {
  struct sigaction act;
  std::memset(&act, 0, sizeof act);
  sigemptyset(&act.sa_mask);
  act.sa_flags = SA_RESTART;
  if (sig == SIGTSTP) {
    act.sa_handler = OnStop;
  } else if (sig == SIGCONT) {
    act.sa_handler = OnContinue;
  } else {
    act.sa_handler = OnEndingSignal;
    for (int s : kEndingSignals) sigaddset(&act.sa_mask, s);
  }
  sigaction(sig, &act, nullptr);
}

void InstallAll() {
  for (int i = 0; i < kHandledCount; ++i) {
    sigaction(kHandled[i], nullptr, &gTerm.previous[i]);
    gTerm.installed[i] = gTerm.previous[i].sa_handler != SIG_IGN;
    if (gTerm.installed[i]) Install(kHandled[i]);
  }
}

void UninstallAll() {
  for (int i = 0; i < kHandledCount; ++i)
    if (gTerm.installed[i]) sigaction(kHandled[i], &gTerm.previous[i], nullptr);
}

/* The screen switch, and the 50-row request when fewer rows are shown.
   A terminal that does not tell its size is left at its size: there would
   be nothing to put back. */
void PrepareScreen() {
  struct winsize ws;
  std::memset(&ws, 0, sizeof ws);
  bool resize = ioctl(1, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_row < kRowsWanted;
  int n = std::snprintf(gTerm.enter, sizeof gTerm.enter, "%s", kEnterScreen);
  int m = 0;
  if (resize) {
    if (ws.ws_col > 0) {
      n += std::snprintf(gTerm.enter + n, sizeof gTerm.enter - size_t(n), "\x1b[8;%d;%dt",
                         kRowsWanted, ws.ws_col);
      m = std::snprintf(gTerm.leave, sizeof gTerm.leave, "\x1b[8;%d;%dt", ws.ws_row, ws.ws_col);
    } else {
      n +=
          std::snprintf(gTerm.enter + n, sizeof gTerm.enter - size_t(n), "\x1b[8;%dt", kRowsWanted);
      m = std::snprintf(gTerm.leave, sizeof gTerm.leave, "\x1b[8;%dt", ws.ws_row);
    }
  }
  m += std::snprintf(gTerm.leave + m, sizeof gTerm.leave - size_t(m), "%s", kLeaveScreen);
  gTerm.enterLen = size_t(n);
  gTerm.leaveLen = size_t(m);
}

void PrepareModes() {
  gTerm.keyMode = gTerm.saved;
  gTerm.keyMode.c_lflag &= tcflag_t(~(ICANON | ECHO));
  gTerm.keyMode.c_cc[VMIN] = 1;
  gTerm.keyMode.c_cc[VTIME] = 0;
  gTerm.lineMode = gTerm.saved;
  gTerm.lineMode.c_lflag |= ICANON | ECHO | ECHOE | ECHOK;
}

void HoldStops(sigset_t* old) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTSTP);
  sigaddset(&set, SIGCONT);
  sigprocmask(SIG_BLOCK, &set, old);
}

}  // namespace

void TerminalOpen(bool* keys, bool* screen) {
  TerminalClose();
  gTerm.keys = *keys && tcgetattr(0, &gTerm.saved) == 0;
  gTerm.screen = *screen;
  *keys = gTerm.keys;
  if (!gTerm.keys && !gTerm.screen) return;
  if (gTerm.keys) PrepareModes();
  if (gTerm.screen) PrepareScreen();
  gLineMode = 0;
  gScreenLen = 0;
  gArmed = 1;
  InstallAll();
  if (gTerm.keys) tcsetattr(0, TCSANOW, &gTerm.keyMode);
  if (gTerm.screen) WriteAll(gTerm.enter, gTerm.enterLen);
}

void TerminalClose() {
  if (!gArmed) return;
  Restore();
  UninstallAll();
  gArmed = 0;
}

void TerminalKeyMode() {
  gLineMode = 0;
  if (gArmed && gTerm.keys) tcsetattr(0, TCSANOW, &gTerm.keyMode);
}

void TerminalLineMode() {
  gLineMode = 1;
  if (gArmed && gTerm.keys) tcsetattr(0, TCSANOW, &gTerm.lineMode);
}

/* The copy must match the screen when a stop comes: Ctrl-Z waits until
   the text is both written and copied. */
void TerminalWrite(const char* text, size_t len) {
  sigset_t old;
  HoldStops(&old);
  WriteAll(text, len);
  size_t have = size_t(gScreenLen);
  size_t room = sizeof gScreenCopy - have;
  size_t n = len < room ? len : room;
  std::memcpy(gScreenCopy + have, text, n);
  gScreenLen = sig_atomic_t(have + n);
  sigprocmask(SIG_SETMASK, &old, nullptr);
}

void TerminalClear() {
  sigset_t old;
  HoldStops(&old);
  gScreenLen = 0;
  WriteAll(kClear, sizeof kClear - 1);
  sigprocmask(SIG_SETMASK, &old, nullptr);
}
