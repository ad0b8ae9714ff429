/*
** plot_module_entry.cpp: the one function tolvarin-sim-plots.so exports,
** the table of its pictures (plot_module.h).  Built into the module
** only, with the pictures and PLplot.
*/
#include "sim/report/plot_module.h"
#include "sim/report/plots/mismatch_plot.h"
#include "sim/report/plots/spectrum_plot.h"
#include "sim/report/plots/sweep_plot.h"
#include "sim/report/plots/tolerance_plot.h"
#include "sim/report/plots/waveforms_plot.h"

extern "C" __attribute__((visibility("default"))) const PlotModule* TolvarinSimPlots() {
  static const PlotModule table = {kPlotModuleVersion, &WaveformsSvg, &SpectrumSvg,
                                   &SweepSvg,          &ToleranceSvg, &MismatchSvg};
  return &table;
}
