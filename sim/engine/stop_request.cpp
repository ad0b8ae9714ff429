/*
** stop_request.cpp: the stop request as one atomic number, set from a
** signal handler in whichever thread the signal lands (ngspice runs its
** own), read by the loops that can stop.
*/
#include "sim/engine/stop_request.h"

#include <atomic>
#include <cassert>

namespace {

/* Lock-free, so a handler may store it. */
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

}  // namespace

void RequestStop(int sig) {
  int none = 0;
  stopSignal.compare_exchange_strong(none, sig);
}

int StopSignal() {
  return stopSignal.load();
}

void SetStopSignal(int sig) {
  assert(sig >= 0);
  stopSignal.store(sig);
}
