/*
** ngspice_runner.h: runs a netlist in ngspice's shared library, in this
** process, and hands back the vectors the caller asks for.  Every run is
** bounded in wall-clock time and in memory, and stops when a stop signal
** arrives (sim/engine/stop_request.h).
**
** ngspice keeps global state: call these from one thread only.
*/
#ifndef TOLVARIN_SIM_ENGINE_NGSPICE_RUNNER_H
#define TOLVARIN_SIM_ENGINE_NGSPICE_RUNNER_H

#include <string>
#include <vector>

#include "sim/circuit/status.h"

/* How far one run may go before it is given up. */
struct RunLimits {
  double Seconds;   /* wall clock */
  double MegaBytes; /* growth of the process's resident memory */
};

/* The limits of every run of the program: far above the longest run it
   asks for (4000 periods of a 0.5 MHz design at QL 20 took 11 s and
   200 MB), far below what a run that cannot finish takes of the machine
   (a 0.5 MHz design driven at 1000 MHz grew by gigabytes in minutes). */
extern const RunLimits kRunLimits;

/* True when the program was built with ngspice and its library opens
   (it is opened by the first call that needs it, this one or a run). */
bool SimulatorAvailable();

/* The one-line advice printed when it was not, or does not open. */
const char* SimulatorMissingText();

/* Loads the netlist (one string per line, ending with ".end"), runs its
   analysis in ngspice's background thread and copies each named vector:
   its real parts into re[i], its imaginary parts into im[i] (empty for a
   real vector).  Fails, saying what went wrong, when the analysis
   failed, the run passed a limit and was halted, or a stop request
   halted it. */
Status RunNetlist(const std::vector<std::string>& lines, const std::vector<std::string>& names,
                  std::vector<std::vector<double>>& re, std::vector<std::vector<double>>& im,
                  const RunLimits& limits = kRunLimits);

#endif
