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
#include "sim/report/plot_module.h"
#include "sim/report/schematic_svg.h"

namespace {

std::string InFolder(const SimOptions& o, const char* name) {
  return o.PlotDir + "/" + name;
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
  if (o.Tolerance) files.push_back({"--plot", InFolder(o, "tolerance.svg")});
  if (o.Mismatch > 0.0) files.push_back({"--plot", InFolder(o, "mismatch.svg")});
  return files;
}

bool WantsPictures(const SimOptions& o) {
  return !o.PlotDir.empty() || !o.ReportPath.empty();
}

std::string DesignName(const Circuit& c) {
  return std::string(Topology(c.Topology).Title) + ", " + c.Origin;
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

std::vector<DrawnPicture> DrawPlots(const PlotInput& in) {
  const std::string name = DesignName(in.Circuit_);
  const SimResult* nearest = NearestDesign(in);
  std::vector<DrawnPicture> out;
  std::string svg;
  Status st;
  const PlotModule* plots = nullptr;
  const Status module = OpenPlotModule(plots);
  if (nearest) {
    st = module.Ok() ? plots->Waveforms(name, Traces(in, *nearest), svg) : module;
    out.push_back({"waveforms.svg", "One steady period", st, svg});
    /* The limit is that of the design frequency's band, the fundamental's
       power deciding the small-transmitter rule, as the report applies it. */
    const Harmonics h = LoadHarmonics(*nearest);
    const MaskResult mask = ApplyMask(in.Options.Mask, DesignMHz(in.Options),
                                      FundamentalPower(*nearest, LoadResistance(in.Circuit_)), h);
    st = module.Ok() ? plots->Spectrum(name, nearest->DriveMHz, h, mask, svg) : module;
    out.push_back({"spectrum.svg", "Harmonics at the load", st, svg});
  }
  SchematicLayout layout;
  st = LayOut(in.Circuit_, layout);
  svg = st.Ok() ? SchematicSvg(in.Circuit_, layout, "Schematic: " + name) : "";
  out.push_back({"schematic.svg", "Schematic", st, svg});
  if (in.Options.Sweep) {
    st = module.Ok() ? plots->Sweep(name, in.Results, svg) : module;
    out.push_back({"sweep.svg", "Against the drive frequency", st, svg});
  }
  return out;
}

bool WritePlots(const std::vector<DrawnPicture>& pictures, const SimOptions& o) {
  if (o.PlotDir.empty()) return true;
  bool written = pictures.size() == PlotFiles(o).size(); /* none missing */
  for (const DrawnPicture& p : pictures)
    written = Write(InFolder(o, p.File), p.Drawn, p.Svg) && written;
  return written;
}
