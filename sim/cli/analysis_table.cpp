/*
** analysis_table.cpp: each analysis run as the options ask and reported
** as text and as JSON.
*/
#include "sim/cli/analysis_table.h"

#include "sim/analysis/mismatch.h"
#include "sim/analysis/sensitivity.h"
#include "sim/analysis/tolerance.h"
#include "sim/cli/design_choice.h"
#include "sim/cli/plot_files.h"
#include "sim/cli/progress.h"
#include "sim/report/mismatch_report.h"
#include "sim/report/plot_module.h"
#include "sim/report/sensitivity_report.h"
#include "sim/report/tolerance_report.h"

namespace {

bool AskedTolerance(const SimOptions& o) {
  return o.Tolerance;
}

/* Its progress meter as the analyses take it. */
AnalysisProgress Meter(ProgressMeter& m) {
  return [&m](int done, int total) { return ShowProgress(m, done, total); };
}

void Counted(AnalysisOutput& out, const char* unit, int done, int total, bool stopped) {
  out.Unit = unit;
  out.Done = done;
  out.Total = total;
  out.Stopped = stopped;
}

void Tolerance(const AnalysisInput& in, AnalysisOutput& out) {
  ToleranceRun run;
  ProgressMeter m = StartProgress("tolerance", "samples");
  RunTolerance(in.Chosen, ToleranceSettingsFor(in.Options, in.Calc, in.Engine), run, Meter(m));
  EndProgress(m);
  Counted(out, "samples", static_cast<int>(run.Samples.size()), in.Options.Samples, run.Stopped);
  out.AllRan = run.Nominal.Run.Ok() && run.Failed == 0;
  out.Text = ToleranceReport(run);
  out.Json = ToleranceJson(run);
  if (!WantsPictures(in.Options)) return;
  out.PictureFile = "tolerance.svg";
  out.PictureCaption = "Tolerance";
  const PlotModule* plots = nullptr;
  out.PictureDrawn = OpenPlotModule(plots);
  if (out.PictureDrawn.Ok())
    out.PictureDrawn = plots->Tolerance(DesignName(in.Chosen), run, out.Picture);
}

bool AskedMismatch(const SimOptions& o) {
  return o.Mismatch > 0.0;
}

void Mismatch(const AnalysisInput& in, AnalysisOutput& out) {
  MismatchRun run;
  ProgressMeter m = StartProgress("mismatch", "phases");
  RunMismatch(in.Chosen, in.Options.Mismatch, in.Engine, in.Options.Periods, in.DriveMHz, run,
              Meter(m));
  EndProgress(m);
  Counted(out, "phases", static_cast<int>(run.Points.size()), kMismatchPhases, run.Stopped);
  out.AllRan = true;
  for (const MismatchPoint& p : run.Points) out.AllRan = out.AllRan && p.Result.Run.Ok();
  out.Text = MismatchReport(run);
  out.Json = MismatchJson(run);
  if (!WantsPictures(in.Options)) return;
  out.PictureFile = "mismatch.svg";
  out.PictureCaption = "Load mismatch";
  const ToleranceSettings limits = ToleranceSettingsFor(in.Options, in.Calc, in.Engine);
  const PlotModule* plots = nullptr;
  out.PictureDrawn = OpenPlotModule(plots);
  if (out.PictureDrawn.Ok())
    out.PictureDrawn =
        plots->Mismatch(DesignName(in.Chosen), run, limits.Vmax, limits.PdevMax, out.Picture);
}

bool AskedSensitivity(const SimOptions& o) {
  return o.Sensitivity;
}

void Sensitivity(const AnalysisInput& in, AnalysisOutput& out) {
  SensitivityRun run;
  ProgressMeter m = StartProgress("sensitivity", "elements");
  RunSensitivity(in.Chosen, in.Engine, in.Options.Periods, in.DriveMHz, run, Meter(m));
  EndProgress(m);
  Counted(out, "elements", static_cast<int>(run.Effects.size()), run.Elements, run.Stopped);
  out.AllRan = run.Nominal.Run.Ok();
  for (const ElementEffect& e : run.Effects) out.AllRan = out.AllRan && e.Run.Ok();
  out.Text = SensitivityReport(run);
  out.Json = SensitivityJson(run);
}

}  // namespace

const AnalysisRow kAnalyses[] = {
    {"tolerance", AskedTolerance, Tolerance},
    {"mismatch", AskedMismatch, Mismatch},
    {"sensitivity", AskedSensitivity, Sensitivity},
};

const int kAnalysisCount = sizeof kAnalyses / sizeof kAnalyses[0];
