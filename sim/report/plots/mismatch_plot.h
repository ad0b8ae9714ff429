/*
** mismatch_plot.h: mismatch.svg, the peak switch voltage and the device
** dissipation around the load's VSWR circle as polar plots (the load's
** reflection phase as the angle), the device's rating drawn as a circle.
*/
#ifndef TOLVARIN_SIM_REPORT_PLOTS_MISMATCH_PLOT_H
#define TOLVARIN_SIM_REPORT_PLOTS_MISMATCH_PLOT_H

#include <string>

#include "sim/analysis/mismatch.h"
#include "sim/circuit/status.h"

/* The picture of run against the ratings vmax and pdevMax (0: none),
   titled with the design's name; failed when no phase ran. */
Status MismatchSvg(const std::string& design, const MismatchRun& run, double vmax, double pdevMax,
                   std::string& svg);

#endif
