/*
** stop_signals.cpp: the stop request as one atomic number, set from a
** signal handler in whichever thread the signal lands (ngspice runs its
** own), read by the loops that can stop.
*/
#include "sim/stop_signals.h"

#include <signal.h>

#include <atomic>
#include <cassert>

namespace {

/* Lock-free, so a handler may store it. */
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void NoteStopSignal(int sig) {
  int none = 0;
  stopSignal.compare_exchange_strong(none, sig);
}

}  // namespace

void CatchStopSignals() {
  struct sigaction sa {};
  sa.sa_handler = NoteStopSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART; /* a write interrupted by Ctrl-C still completes */
  for (int sig : {SIGINT, SIGTERM}) sigaction(sig, &sa, nullptr);
}

int StopSignal() {
  return stopSignal.load();
}

void SetStopSignal(int sig) {
  assert(sig >= 0);
  stopSignal.store(sig);
}
