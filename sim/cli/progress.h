/*
** progress.h: what a long run shows on standard error while it goes.
**
** A run that ends within a second says nothing; past that, when standard
** error is a terminal, one line is rewritten in place: what runs, how
** far it is and, from the pace so far, about how long is left.  The line
** is cleared when the run ends, so the report starts on a clean line.
*/
#ifndef TOLVARIN_SIM_CLI_PROGRESS_H
#define TOLVARIN_SIM_CLI_PROGRESS_H

#include <chrono>

struct ProgressMeter {
  const char* What; /* "tolerance" */
  const char* Unit; /* "samples"; the total is unknown when it is 0 */
  std::chrono::steady_clock::time_point Start;
  bool Shown = false; /* a line is on the terminal */
};

/* A meter for a run that starts now. */
ProgressMeter StartProgress(const char* what, const char* unit);

/* done of total steps (total 0: not known); false once a stop signal
   asked the run to end. */
bool ShowProgress(ProgressMeter& m, int done, int total);

/* Clears the line, if one was shown. */
void EndProgress(ProgressMeter& m);

#endif
