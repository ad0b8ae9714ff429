/*
** stop_signals.h: Ctrl-C (SIGINT) and SIGTERM asking a run to stop.
**
** The handler only notes the signal; the ngspice runner halts its
** background run when it sees it, and main ends the sweep after the
** drive frequencies done, writes its files and exits with 128 + the
** signal's number.
*/
#ifndef TOLVARIN_SIM_STOP_SIGNALS_H
#define TOLVARIN_SIM_STOP_SIGNALS_H

/* SIGINT and SIGTERM from now on only note themselves (the first one
   counts; more of them change nothing). */
void CatchStopSignals();

/* The signal that asked to stop, or 0. */
int StopSignal();

/* As if signal sig had arrived (sig > 0), or forgotten (0): for tests. */
void SetStopSignal(int sig);

#endif
