/*
** main.cpp: tolvarin-sim, the circuit-level check of a Tolvarin design.
** Reads the options, designs with the calculator's engine, finds the
** steady state of each drive frequency (the exact engine, ngspice, or
** both) and prints the table (and, for a single frequency, a plot of one
** steady period) or one JSON document; writes the CSV and netlist files
** when asked, whole.  Exit status: 0 done; 1 a drive frequency failed or
** was given up, a file or standard output could not be written; 2 bad
** options, an output path that cannot be written, a design outside the
** simulator's bounds, or no simulator in this build for what was asked;
** 128 + the signal when SIGINT or SIGTERM stopped the sweep (the rows
** and files then hold the drive frequencies done).
*/
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/design_state.h"
#include "sim/analysis_design.h"
#include "sim/analysis_report.h"
#include "sim/circuit.h"
#include "sim/design_bounds.h"
#include "sim/json_report.h"
#include "sim/ngspice_runner.h"
#include "sim/options.h"
#include "sim/output_files.h"
#include "sim/report.h"
#include "sim/sim_design.h"
#include "sim/simulate.h"
#include "sim/standard_output.h"
#include "sim/stop_signals.h"
#include "sim/text_plot.h"
#include "sim/tolerance_report.h"
#include "sim/tune_report.h"
#include "sim/tune_run.h"

namespace {

std::vector<OutputFile> OutputFiles(const SimOptions& o) {
  std::vector<OutputFile> files;
  if (!o.CsvPath.empty()) files.push_back({"--csv", o.CsvPath});
  if (!o.NetlistPath.empty()) files.push_back({"--netlist", o.NetlistPath});
  return files;
}

/* Writes one output file asked for, whole; false (said) when it failed. */
bool WriteOutput(const char* option, const std::string& path, const std::string& text) {
  if (path.empty()) return true;
  const std::string why = WriteWholeFile(path, text);
  if (why.empty()) return true;
  std::fprintf(stderr, "tolvarin-sim: %s: cannot write %s: %s\n", option, path.c_str(),
               why.c_str());
  return false;
}

/* The exit status: `status`, or 1 when standard output could not be
   written, or 128 + the signal that stopped the sweep after `done` of
   `total` drive frequencies (or, with `stage`, stopped that stage
   before any); each said on standard error. */
int Finish(int status, size_t done, size_t total, const char* stage = nullptr) {
  if (StandardOutputFailed()) {
    std::fprintf(stderr, "%s\n", StandardOutputFailure().c_str());
    status = 1;
  }
  if (StopSignal() == 0) return status;
  if (stage)
    std::fprintf(stderr, "tolvarin-sim: interrupted while %s\n", stage);
  else
    std::fprintf(stderr, "tolvarin-sim: interrupted after %zu of %zu drive frequencies\n", done,
                 total);
  return 128 + StopSignal();
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

bool NeedsNgspice(const SimOptions& o) {
  return o.Engine == kEngineNgspice || o.Confirm || o.Impedance;
}

/* The --impedance section; false when the AC analysis failed. */
bool PrintImpedance(const DesignState& s, const SimOptions& o, const std::vector<double>& mhz) {
  std::vector<double> hz;
  for (double m : mhz) hz.push_back(m * 1e6);
  Circuit lossy, lossless;
  BuildCircuit(s, o.Topology, o.Notch, kNetworkOnly, lossy);
  lossless = lossy;
  DropLosses(lossless);
  std::vector<double> rp0, xp0, rp, xp;
  std::string error = DeviceImpedance(lossless, hz, rp0, xp0);
  if (error.empty()) error = DeviceImpedance(lossy, hz, rp, xp);
  if (!error.empty()) {
    if (StopSignal() == 0) Print("\nImpedance: AC analysis failed: " + error + "\n");
    return false;
  }
  Print(ReportImpedance(s, o.Topology, mhz, rp0, xp0, rp, xp));
  return true;
}

/* Before a tolerance run by ngspice, how long it will take; on a
   terminal, how far it is.  Any run goes on until a stop signal. */
bool ShowProgress(int engine, int done, int total, double secondsPerRun) {
  static const bool terminal = isatty(fileno(stderr)) != 0;
  if (engine != kEngineNgspice) return StopSignal() == 0;
  if (done == 0) {
    std::fprintf(stderr, "tolvarin-sim: %s\n", ToleranceEstimate(total, secondsPerRun).c_str());
  } else if (terminal) {
    std::fprintf(stderr, "\rtolerance: %d of %d samples%s", done, total, done == total ? "\n" : "");
    std::fflush(stderr);
  }
  return StopSignal() == 0;
}

/* The analyses o asks for, of circuit c by `engine`: printed, or added
   to doc.  False when a steady state of any failed.  A stop signal ends
   them; what it cut short is not shown. */
bool RunAnalyses(const DesignState& s, const SimOptions& o, const Circuit& c, int engine,
                 nlohmann::json* doc) {
  const double mhz = AnalysisMHz(o);
  bool ok = true;
  auto show = [doc](const char* key, const std::string& text, const nlohmann::json& j) {
    if (StopSignal() != 0) return;
    if (doc)
      (*doc)[key] = j;
    else
      Print(text);
  };
  if (o.Tolerance) {
    ToleranceRun run;
    RunTolerance(c, ToleranceSettingsFor(o, s, engine), run,
                 [engine](int done, int total, double each) {
                   return ShowProgress(engine, done, total, each);
                 });
    ok = ok && run.Nominal.Ok && run.Failed == 0;
    show("tolerance", ToleranceReport(run), ToleranceJson(run));
  }
  if (o.Mismatch > 0.0 && StopSignal() == 0) {
    MismatchRun run;
    RunMismatch(c, o.Mismatch, engine, o.Periods, mhz, run);
    for (const MismatchPoint& p : run.Points) ok = ok && p.Result.Ok;
    show("mismatch", MismatchReport(run), MismatchJson(run));
  }
  if (o.Sensitivity && StopSignal() == 0) {
    SensitivityRun run;
    RunSensitivity(c, engine, o.Periods, mhz, run);
    ok = ok && run.Nominal.Ok;
    for (const ElementEffect& e : run.Effects) ok = ok && e.Ok;
    show("sensitivity", SensitivityReport(run), SensitivityJson(run));
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  GuardStandardOutput();
  static SimOptions o;
  std::string error;
  const int parsed = ParseSimOptions(argc, argv, o, &error);
  if (parsed == kOptionsHelp) {
    Print(SimHelpText());
    return Finish(0, 0, 0);
  }
  if (parsed == kOptionsError) {
    std::fprintf(stderr, "tolvarin-sim: %s\n", error.c_str());
    return 2;
  }
  if (NeedsNgspice(o) && !SimulatorAvailable()) {
    std::fprintf(stderr, "%s\n", SimulatorMissingText());
    return 2;
  }
  error = CheckOutputFiles(OutputFiles(o));
  static DesignState s;
  DesignForSimulation(o, s);
  if (error.empty()) error = CheckDesign(s);
  Circuit c;
  if (error.empty()) {
    CalculatorCircuit(s, o, c);
    error = CheckCircuit(c);
  }
  if (!error.empty()) {
    std::fprintf(stderr, "tolvarin-sim: %s\n", error.c_str());
    return 2;
  }
  CatchStopSignals();
  std::vector<double> mhz;
  DriveFrequencies(o, mhz);
  /* The table and the analyses take the design --design names. */
  static TuneRun tuning;
  if (o.Tune) {
    RunTuning(s, o, tuning);
    if (!tuning.Outcome.Ok) {
      /* A stop signal fails the tuning's simulation: that is no fault to report. */
      if (StopSignal() == 0)
        std::fprintf(stderr, "tolvarin-sim: %s\n", tuning.Outcome.Error.c_str());
      return Finish(1, 0, mhz.size(), "tuning");
    }
  }
  AnalysedCircuit(s, o, tuning, c);
  const int engine = EngineFor(c, o.Engine);
  const bool confirm = o.Confirm && engine == kEngineExact;
  /* The tuning table already holds the design frequency. */
  const bool table = !o.Json && (!o.Tune || o.Sweep);
  if (!o.Json) {
    Print(ReportTitle(o, engine) + ReportHeading(s, c));
    if (o.Tune) Print(TuneReport(s, tuning));
    if (table) Print(ReportTableHeading());
  }

  std::vector<SimResult> results(mhz.size()), confirmed(confirm ? mhz.size() : 0);
  std::vector<std::string> netlist;
  int status = 0;
  size_t done = 0;
  for (size_t i = 0; i < mhz.size() && !StandardOutputFailed(); i++) {
    SimulateDrive(c, engine, o.Periods, mhz[i], results[i], i == 0 ? &netlist : nullptr);
    if (!results[i].Ok) status = 1;
    if (confirm) {
      SimulateDrive(c, kEngineNgspice, o.Periods, mhz[i], confirmed[i],
                    i == 0 ? &netlist : nullptr);
      if (!confirmed[i].Ok) status = 1;
    }
    if (StopSignal() != 0) break; /* this one is not done */
    done = i + 1;
    if (!table) continue;
    Print(ReportRow(results[i], c.Vcc));
    if (confirm) Print(ReportRow(confirmed[i], c.Vcc));
  }
  results.resize(done);
  confirmed.resize(confirm ? done : 0);
  const bool whole = done == mhz.size();
  if (o.Json) {
    nlohmann::json doc = RunJson(o, c, results, confirm ? &confirmed : nullptr);
    doc["engine"] = EngineName(engine);
    if (o.Tune) doc["designs"] = DesignsJson(tuning);
    if (whole && !RunAnalyses(s, o, c, engine, &doc)) status = 1;
    Print(doc.dump(2) + "\n");
  } else {
    if (table) Print(ReportNotes(confirm ? confirmed : results));
    if (confirm) Print(ReportAgreement(results, confirmed));
    if (whole && o.Impedance && !PrintImpedance(s, o, mhz)) status = 1;
    if (whole && mhz.size() == 1 && results[0].Ok)
      Print("\n" + PlotPeriod(results[0].Vsw, results[0].Isw, mhz[0]));
    if (whole && !RunAnalyses(s, o, c, engine, nullptr)) status = 1;
  }
  if (!WriteOutput("--csv", o.CsvPath, CsvText(results)) |
      !WriteOutput("--netlist", o.NetlistPath, Joined(netlist)))
    status = 1;
  return Finish(status, done, mhz.size());
}
