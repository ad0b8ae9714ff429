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
  /* No SA_RESTART: a write that blocks (a reader that stopped reading)
     returns, and the writer decides whether to go on (standard_output.cpp). */
  sa.sa_flags = 0;
  for (int sig : {SIGINT, SIGTERM}) sigaction(sig, &sa, nullptr);
}
