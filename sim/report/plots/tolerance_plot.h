/*
** tolerance_plot.h: tolerance.svg, histograms of the output power, the
** peak switch voltage and the device dissipation over the Monte Carlo
** samples, the nominal design and the device's limits drawn.
*/
#ifndef TOLVARIN_SIM_REPORT_PLOTS_TOLERANCE_PLOT_H
#define TOLVARIN_SIM_REPORT_PLOTS_TOLERANCE_PLOT_H

#include <string>

#include "sim/analysis/tolerance.h"
#include "sim/circuit/status.h"

/* The picture of run, titled with the design's name; failed when no
   sample ran. */
Status ToleranceSvg(const std::string& design, const ToleranceRun& run, std::string& svg);

#endif
