/*
** plot_files.cpp: the plots of a run, written into the --plot folder.
** The waveforms and the spectrum are those of the drive frequency
** nearest the design's (the design frequency itself unless swept); with
** --tune the waveforms overlay the calculator's, tuned and built designs.
*/
#include "sim/cli/plot_files.h"

#include <errno.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "sim/circuit/topology_table.h"
#include "sim/cli/options.h"
#include "sim/report/plots/spectrum_plot.h"
#include "sim/report/plots/sweep_plot.h"
#include "sim/report/plots/waveforms_plot.h"
#include "sim/report/schematic_svg.h"

namespace {

std::string InFolder(const SimOptions& o, const char* name) {
  return o.PlotDir + "/" + name;
}

/* The design as the titles name it: its network and its inputs. */
std::string DesignName(const PlotInput& in) {
  return std::string(Topology(in.Circuit_.Topology).Title) + ", " + in.Circuit_.Origin;
}

/* The run done nearest the design frequency, or null when none ran. */
const SimResult* NearestDesign(const PlotInput& in) {
  const SimResult* best = nullptr;
  const double want = DesignMHz(in.Options);
  for (const SimResult& r : in.Results)
    if (r.Run.Ok() && (!best || std::fabs(r.DriveMHz - want) < std::fabs(best->DriveMHz - want)))
      best = &r;
  return best;
}

std::vector<WaveformTrace> Traces(const PlotInput& in, const SimResult& nearest) {
  const TuningRun* t = in.Tuning;
  if (!t || !t->Outcome.Tuning.Ok()) return {{"simulated", &nearest}};
  std::vector<WaveformTrace> traces = {{"calculator", &t->Calculator.Point},
                                       {"tuned", &t->Outcome.Tuned.Point}};
  if (t->BuildRun.Ok()) traces.push_back({"built", &t->Built.Built.Point});
  return traces;
}

bool Write(const std::string& path, const Status& drawn, const std::string& svg) {
  const Status st = drawn.Ok() ? WriteWholeFile(path, svg) : drawn;
  if (st.Ok()) return true;
  std::fprintf(stderr, "tolvarin-sim: --plot: cannot write %s: %s\n", path.c_str(),
               st.Why().c_str());
  return false;
}

}  // namespace

std::vector<OutputFile> PlotFiles(const SimOptions& o) {
  if (o.PlotDir.empty()) return {};
  std::vector<OutputFile> files = {{"--plot", InFolder(o, "waveforms.svg")},
                                   {"--plot", InFolder(o, "spectrum.svg")},
                                   {"--plot", InFolder(o, "schematic.svg")}};
  if (o.Sweep) files.push_back({"--plot", InFolder(o, "sweep.svg")});
  return files;
}

Status MakePlotFolder(const SimOptions& o) {
  if (o.PlotDir.empty()) return Status::Done();
  std::string made;
  size_t from = 0;
  while (from != std::string::npos) {
    const size_t slash = o.PlotDir.find('/', from + 1);
    made = o.PlotDir.substr(0, slash);
    from = slash;
    if (made.empty() || made == "/") continue;
    if (mkdir(made.c_str(), 0777) != 0 && errno != EEXIST)
      return Status::Failed("--plot: cannot make the folder " + made + ": " + std::strerror(errno));
  }
  struct stat st;
  if (stat(o.PlotDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return Status::Failed("--plot: " + o.PlotDir + " is not a folder");
  return Status::Done();
}

bool WritePlots(const PlotInput& in) {
  if (in.Options.PlotDir.empty()) return true;
  const std::string name = DesignName(in);
  const SimResult* nearest = NearestDesign(in);
  bool written = true;
  std::string svg;
  if (nearest) {
    written = Write(InFolder(in.Options, "waveforms.svg"),
                    WaveformsSvg(name, Traces(in, *nearest), svg), svg);
    written = Write(InFolder(in.Options, "spectrum.svg"), SpectrumSvg(name, *nearest, svg), svg) &&
              written;
  }
  SchematicLayout layout;
  const Status laid = LayOut(in.Circuit_, layout);
  if (laid.Ok()) svg = SchematicSvg(in.Circuit_, layout, "Schematic: " + name);
  written = Write(InFolder(in.Options, "schematic.svg"), laid, svg) && written;
  if (in.Options.Sweep)
    written =
        Write(InFolder(in.Options, "sweep.svg"), SweepSvg(name, in.Results, svg), svg) && written;
  return written && nearest;
}
