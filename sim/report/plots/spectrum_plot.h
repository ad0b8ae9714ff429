/*
** spectrum_plot.h: spectrum.svg, the harmonics at the load as bars in
** dB relative to the fundamental (the carrier).
*/
#ifndef TOLVARIN_SIM_REPORT_PLOTS_SPECTRUM_PLOT_H
#define TOLVARIN_SIM_REPORT_PLOTS_SPECTRUM_PLOT_H

#include <string>

#include "sim/circuit/status.h"
#include "sim/engine/steady_state.h"

/* The fundamental, H2 and H3 of the run r (run and done) as bars, each
   labelled with its level, titled with the design's name. */
Status SpectrumSvg(const std::string& design, const SimResult& r, std::string& svg);

#endif
