/*
** sweep_plot.h: sweep.svg, the output power, efficiency, peak switch
** voltage and device dissipation against the drive frequency.
*/
#ifndef TOLVARIN_SIM_REPORT_PLOTS_SWEEP_PLOT_H
#define TOLVARIN_SIM_REPORT_PLOTS_SWEEP_PLOT_H

#include <string>
#include <vector>

#include "sim/circuit/status.h"
#include "sim/engine/steady_state.h"

/* Four panels of the runs that were done (failed ones left out; failed
   when none was), titled with the design's name. */
Status SweepSvg(const std::string& design, const std::vector<SimResult>& results, std::string& svg);

#endif
