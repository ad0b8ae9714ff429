/*
** waveforms_plot.h: waveforms.svg, one steady period of the switch
** voltage and current and the load voltage, the turn-on instant and the
** peak marked; several designs overlaid when a tuning ran.
*/
#ifndef TOLVARIN_SIM_REPORT_PLOTS_WAVEFORMS_PLOT_H
#define TOLVARIN_SIM_REPORT_PLOTS_WAVEFORMS_PLOT_H

#include <string>
#include <vector>

#include "sim/circuit/status.h"
#include "sim/engine/steady_state.h"

/* One design's period: its name in the key and its steady state (run
   and holding kPeriodSamples of each waveform). */
struct WaveformTrace {
  const char* Label;
  const SimResult* Result;
};

/* The picture of the traces (one at least) titled with the design's
   name; the load voltage is the first trace's. */
Status WaveformsSvg(const std::string& design, const std::vector<WaveformTrace>& traces,
                    std::string& svg);

#endif
