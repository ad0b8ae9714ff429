/*
** options.h: the command line of tolvarin-sim.
*/
#ifndef TOLVARIN_SIM_OPTIONS_H
#define TOLVARIN_SIM_OPTIONS_H

#include <string>
#include <vector>

#include "sim/sim_types.h"

enum { kOptionsRun = 0, kOptionsHelp = 1, kOptionsError = 2 };

/* The built-in example of the calculator, BASIC, design frequency only,
   the exact engine. */
void DefaultSimOptions(SimOptions& o);

/* Reads argv into o (starting from the defaults).  Returns kOptionsRun,
   kOptionsHelp for --help, or kOptionsError with a one-line message in
   *error naming the option. */
int ParseSimOptions(int argc, const char* const* argv, SimOptions& o, std::string* error);

/* The drive frequencies of a run, MHz, in order. */
void DriveFrequencies(const SimOptions& o, std::vector<double>& mhz);

/* An engine's name as the command line and the JSON spell it. */
const char* EngineName(int engine);

/* Everything --help prints. */
std::string SimHelpText();

#endif
