/*
** ngspice_runner.h: runs a netlist in ngspice's shared library, in this
** process, and hands back the vectors the caller asks for.
**
** ngspice keeps global state: call these from one thread only.
*/
#ifndef TOLVARIN_SIM_NGSPICE_RUNNER_H
#define TOLVARIN_SIM_NGSPICE_RUNNER_H

#include <string>
#include <vector>

/* True when the program was built with ngspice. */
bool SimulatorAvailable();

/* The one-line advice printed when it was not. */
const char* SimulatorMissingText();

/* Loads the netlist (one string per line, ending with ".end"), runs its
   analysis and copies each named vector: its real parts into re[i], its
   imaginary parts into im[i] (empty for a real vector).  Returns "" on
   success, or one line saying what went wrong. */
std::string RunNetlist(const std::vector<std::string>& lines, const std::vector<std::string>& names,
                       std::vector<std::vector<double>>& re, std::vector<std::vector<double>>& im);

#endif
