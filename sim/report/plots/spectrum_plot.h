/*
** spectrum_plot.h: spectrum.svg, the harmonics at the load as bars in
** dB relative to the fundamental (the carrier), against the emission
** limit.
*/
#ifndef TOLVARIN_SIM_REPORT_PLOTS_SPECTRUM_PLOT_H
#define TOLVARIN_SIM_REPORT_PLOTS_SPECTRUM_PLOT_H

#include <string>

#include "sim/analysis/emission_mask.h"
#include "sim/circuit/status.h"

/* H1 to H10 at the load of a run at driveMHz (its harmonics h, from
   LoadHarmonics) as bars, each labelled with its level, and the limit of
   `mask` where one applies; titled with the design's name. */
Status SpectrumSvg(const std::string& design, double driveMHz, const Harmonics& h,
                   const MaskResult& mask, std::string& svg);

#endif
