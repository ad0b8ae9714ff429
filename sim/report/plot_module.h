/*
** plot_module.h: the SVG pictures PLplot draws, reached through a module
** of their own (tolvarin-sim-plots.so) that the program opens beside
** itself the first time a run asks for a picture.
**
** Why a module: mapping PLplot and the libraries under it took a run
** that draws nothing (most runs) about three milliseconds of its start;
** the pictures are the only users of PLplot, so only a run that asks for
** them pays for loading it.
*/
#ifndef TOLVARIN_SIM_REPORT_PLOT_MODULE_H
#define TOLVARIN_SIM_REPORT_PLOT_MODULE_H

#include <string>
#include <vector>

#include "sim/analysis/emission_mask.h"
#include "sim/analysis/mismatch.h"
#include "sim/analysis/tolerance.h"
#include "sim/circuit/status.h"
#include "sim/engine/steady_state.h"
#include "sim/report/plots/waveforms_plot.h"

/* Raised whenever an entry below changes, so that a module left from
   another build is refused rather than called with the wrong records. */
enum { kPlotModuleVersion = 1 };

/* The module's file name, looked for in the program's own folder. */
extern const char* const kPlotModuleFile;

/* The name of the module's one exported function, which returns its table. */
#define TOLVARIN_PLOT_MODULE_ENTRY "TolvarinSimPlots"

/* The pictures the module draws (each as its plots/ header says); each
   fills svg with the picture's text. */
struct PlotModule {
  int Version; /* kPlotModuleVersion of the build that made the module */
  Status (*Waveforms)(const std::string& design, const std::vector<WaveformTrace>& traces,
                      std::string& svg);
  Status (*Spectrum)(const std::string& design, double driveMHz, const Harmonics& h,
                     const MaskResult& mask, std::string& svg);
  Status (*Sweep)(const std::string& design, const std::vector<SimResult>& results,
                  std::string& svg);
  Status (*Tolerance)(const std::string& design, const ToleranceRun& run, std::string& svg);
  Status (*Mismatch)(const std::string& design, const MismatchRun& run, double vmax, double pdevMax,
                     std::string& svg);
};

/* Opens the module beside the running program the first time, and after
   that gives the same table; failed, saying why in one line, when it
   cannot be opened or is not this build's. */
Status OpenPlotModule(const PlotModule*& plots);

#endif
