/*
** stop_request.h: a request that the run stop, as the engines see it.
**
** The command line turns Ctrl-C and SIGTERM into a request here; an
** ngspice run halts its background thread when it sees one, and the
** loops of a sweep or an analysis end between their steady states.
*/
#ifndef TOLVARIN_SIM_ENGINE_STOP_REQUEST_H
#define TOLVARIN_SIM_ENGINE_STOP_REQUEST_H

/* Asks the run to stop because of signal sig (> 0).  Safe in a signal
   handler; the first request counts, later ones change nothing. */
void RequestStop(int sig);

/* The signal that asked to stop, or 0. */
int StopSignal();

/* As if signal sig had asked (sig > 0), or forgotten (0): for tests. */
void SetStopSignal(int sig);

#endif
