/*
** stop_signals.cpp: Ctrl-C (SIGINT) and SIGTERM become a stop request.
*/
#include "sim/cli/stop_signals.h"

#include <signal.h>

#include <initializer_list>

#include "sim/engine/stop_request.h"

namespace {

extern "C" void NoteStopSignal(int sig) {
  RequestStop(sig);
}

}  // namespace

void CatchStopSignals() {
  struct sigaction sa {};
  sa.sa_handler = NoteStopSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART; /* a write interrupted by Ctrl-C still completes */
  for (int sig : {SIGINT, SIGTERM}) sigaction(sig, &sa, nullptr);
}
