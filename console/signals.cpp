/*
** signals.cpp: the signals that would leave the terminal switched.
**
** Every signal whose default action ends the process (the hangup, Ctrl-C,
** Ctrl-\, kill's TERM, USR1, USR2, ALRM, a broken pipe, the timers, the
** real-time signals, and the faults) first puts the terminal back, then
** ends the program as the signal would have without us: the default action
** restored and the signal raised again, so the parent sees the same signal,
** the same status and the same core dump.  A fault raised by the processor
** returns instead and runs again into whatever handled it before (the
** sanitizers report it there).
**
** Ctrl-Z restores and stops; on SIGCONT the modes and the page come back.
** A change of window size (SIGWINCH) is kept blocked and let in only while
** the program waits for input, so the page is drawn again from the normal
** flow of the program, never from inside a handler.  Signals that were
** ignored when the program started (nohup, a job without job control) stay
** ignored.
*/
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "console/console_internal.h"

namespace {

/* The fixed signals whose default action ends the process; the real-time
   ones (SIGRTMIN..SIGRTMAX, known only at run time) are added to them. */
const int kEndingSignals[] = {
    SIGHUP,  SIGINT,    SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,
    SIGUSR1, SIGSEGV,   SIGUSR2, SIGPIPE, SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU,
    SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSYS,
};
/* The processor's faults: raised by the instruction, they come again when
   it runs again. */
const int kFaults[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};

struct sigaction gPrevious[NSIG];
bool gInstalled[NSIG];
bool gResizeBlocked;
volatile sig_atomic_t gResized;  /* the window's size changed */
volatile sig_atomic_t gResumed;  /* a stop ended and the page was drawn again */
volatile sig_atomic_t gStopping; /* Ctrl-Z handled, no SIGCONT seen yet */

bool IsFault(int sig) {
  for (int f : kFaults)
    if (f == sig) return true;
  return false;
}

void SetHandling(int sig, void (*handler)(int)) {
  struct sigaction act;
  std::memset(&act, 0, sizeof act);
  sigemptyset(&act.sa_mask);
  act.sa_handler = handler;
  sigaction(sig, &act, nullptr);
}

void Unblock(int sig) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

void OnEndingSignal(int sig, siginfo_t* info, void*) {
  TerminalRestore();
  if (IsFault(sig) && info != nullptr && info->si_code > 0) {
    sigaction(sig, &gPrevious[sig], nullptr);
    return;
  }
  SetHandling(sig, SIG_DFL);
  Unblock(sig);
  raise(sig);
  _exit(128 + sig); /* not reached: the default action ends the process */
}

void OnContinue(int) {
  int e = errno;
  gStopping = 0;
  TerminalResume();
  gResumed = 1;
  errno = e;
}

void OnResize(int) {
  gResized = 1;
}

void Install(int sig);

/* Restore, then stop as Ctrl-Z would have without us.  A job whose parent
   left its session is not stopped by the kernel and gets no SIGCONT; it
   comes back here at once and resumes by itself. */
void OnStop(int sig) {
  int e = errno;
  TerminalRestore();
  gStopping = 1;
  SetHandling(sig, SIG_DFL);
  Unblock(sig);
  kill(getpid(), sig);
  if (gStopping) {
    gStopping = 0;
    TerminalResume();
    gResumed = 1;
  }
  Install(sig);
  errno = e;
}

void Install(int sig) {
  struct sigaction act;
  std::memset(&act, 0, sizeof act);
  sigemptyset(&act.sa_mask);
  if (sig == SIGTSTP) {
    act.sa_handler = OnStop;
    act.sa_flags = SA_RESTART;
  } else if (sig == SIGCONT) {
    act.sa_handler = OnContinue; /* no restart: a wait for input sees it */
  } else if (sig == SIGWINCH) {
    act.sa_handler = OnResize;
  } else {
    act.sa_sigaction = OnEndingSignal;
    act.sa_flags = SA_SIGINFO;
    sigfillset(&act.sa_mask); /* one way out at a time */
  }
  sigaction(sig, &act, nullptr);
}

void Take(int sig) {
  if (sig <= 0 || sig >= NSIG || gInstalled[sig]) return;
  sigaction(sig, nullptr, &gPrevious[sig]);
  if (gPrevious[sig].sa_handler == SIG_IGN) return;
  gInstalled[sig] = true;
  Install(sig);
}

void BlockResize(bool block) {
  if (block == gResizeBlocked) return;
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGWINCH);
  sigprocmask(block ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
  gResizeBlocked = block;
}

}  // namespace

void SignalsInstall(bool resize) {
  for (int sig : kEndingSignals) Take(sig);
  for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) Take(sig);
  Take(SIGTSTP);
  Take(SIGCONT);
  if (resize) {
    BlockResize(true);
    Take(SIGWINCH);
  }
  gResized = 0;
  gResumed = 0;
}

void SignalsUninstall() {
  for (int sig = 1; sig < NSIG; ++sig) {
    if (!gInstalled[sig]) continue;
    sigaction(sig, &gPrevious[sig], nullptr);
    gInstalled[sig] = false;
  }
  BlockResize(false);
}

bool SignalsTakeResize() {
  if (!gResized) return false;
  gResized = 0;
  return true;
}

bool SignalsTakeResume() {
  if (!gResumed) return false;
  gResumed = 0;
  return true;
}

void SignalsHold(sigset_t* old) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTSTP);
  sigaddset(&set, SIGCONT);
  sigprocmask(SIG_BLOCK, &set, old);
}

void SignalsRelease(const sigset_t* old) {
  sigprocmask(SIG_SETMASK, old, nullptr);
}

bool SignalsWaitInput(int ms) {
  sigset_t during;
  sigprocmask(SIG_BLOCK, nullptr, &during);
  sigdelset(&during, SIGWINCH);
  struct pollfd p = {0, POLLIN, 0};
  struct timespec limit = {ms / 1000, (ms % 1000) * 1000000L};
  int r = ppoll(&p, 1, ms < 0 ? nullptr : &limit, &during);
  return r > 0 || (r < 0 && errno != EINTR); /* a read will tell what is wrong */
}
