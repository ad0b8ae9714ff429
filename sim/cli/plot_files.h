/*
** plot_files.h: the SVG files --plot DIR writes: which ones a run makes,
** the folder made up front, and each drawn and written whole.
*/
#ifndef TOLVARIN_SIM_CLI_PLOT_FILES_H
#define TOLVARIN_SIM_CLI_PLOT_FILES_H

#include <string>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/circuit/status.h"
#include "sim/cli/output_files.h"
#include "sim/cli/sim_options.h"
#include "sim/design/tuning_run.h"
#include "sim/engine/steady_state.h"

/* The files the options ask for in o.PlotDir (none without --plot):
   waveforms.svg, spectrum.svg and schematic.svg always, sweep.svg with --sweep,
   tolerance.svg with --tolerance, mismatch.svg with --mismatch. */
std::vector<OutputFile> PlotFiles(const SimOptions& o);

/* True when --plot or --report asks for pictures. */
bool WantsPictures(const SimOptions& o);

/* The design as the pictures' titles name it: its network and inputs. */
std::string DesignName(const Circuit& c);

/* Makes o.PlotDir (and the folders above it) when missing; failed,
   saying why, when it cannot be made or is not a folder. */
Status MakePlotFolder(const SimOptions& o);

/* What the plots are drawn from. */
struct PlotInput {
  const SimOptions& Options;
  const Circuit& Circuit_;               /* of the design simulated */
  const std::vector<SimResult>& Results; /* one per drive frequency done */
  const TuningRun* Tuning;               /* with --tune, else null */
};

/* One picture drawn: its file name in the folder, its caption, whether
   it was drawn (and why not) and its SVG text. */
struct DrawnPicture {
  const char* File;
  const char* Caption;
  Status Drawn;
  std::string Svg;
};

/* The pictures of PlotFiles drawn here (the analyses draw their own) (without a drive frequency
   done, the waveforms and the spectrum are left out). */
std::vector<DrawnPicture> DrawPlots(const PlotInput& in);

/* Writes them into o.PlotDir, whole; false (said on standard error) when
   one could not be drawn or written. */
bool WritePlots(const std::vector<DrawnPicture>& pictures, const SimOptions& o);

#endif
