/*
** progress.h: what a long run shows on standard error while it goes.
*/
#ifndef TOLVARIN_SIM_CLI_PROGRESS_H
#define TOLVARIN_SIM_CLI_PROGRESS_H

/* A tolerance run's progress: before a run by ngspice, how long it will
   take; on a terminal, how far it is.  False once a stop signal asked
   the run to end. */
bool ShowToleranceProgress(int engine, int done, int total, double secondsPerRun);

#endif
