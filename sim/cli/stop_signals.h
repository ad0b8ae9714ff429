/*
** stop_signals.h: Ctrl-C (SIGINT) and SIGTERM asking a run to stop.
**
** The handler only notes the signal as a stop request
** (sim/engine/stop_request.h); the ngspice runner halts its background
** run when it sees it, and main ends the sweep after the drive
** frequencies done, writes its files and exits with 128 + the signal's
** number.
*/
#ifndef TOLVARIN_SIM_CLI_STOP_SIGNALS_H
#define TOLVARIN_SIM_CLI_STOP_SIGNALS_H

#include "sim/engine/stop_request.h"

/* SIGINT and SIGTERM from now on only note themselves (the first one
   counts; more of them change nothing). */
void CatchStopSignals();

#endif
