/*
** options.h: the command line of tolvarin-sim.
*/
#ifndef TOLVARIN_SIM_CLI_OPTIONS_H
#define TOLVARIN_SIM_CLI_OPTIONS_H

#include <string>
#include <vector>

#include "sim/circuit/status.h"
#include "sim/cli/sim_options.h"

/* Reads argv into o (starting from the defaults).  o.Help when --help
   was asked for, whatever else the line holds; failed with one line
   naming the option otherwise. */
Status ParseSimOptions(int argc, const char* const* argv, SimOptions& o);

/* The drive frequencies of a run, MHz, in order. */
void DriveFrequencies(const SimOptions& o, std::vector<double>& mhz);

/* The design frequency as typed, MHz (3.8, not float's 3.79999995):
   where the analyses drive. */
double DesignMHz(const SimOptions& o);

/* Everything --help prints. */
std::string SimHelpText();

#endif
