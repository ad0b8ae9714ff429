/*
** main.cpp: tolvarin-sim, the circuit-level check of a Tolvarin design.
** Reads the options, designs with the calculator's engine, finds the
** steady state of each drive frequency (the exact engine, ngspice, or
** both) and prints the table (and, for a single frequency, a plot of one
** steady period) or one JSON document; writes the CSV and netlist files
** when asked.  Exit status: 0 done, 1 a simulation or a file failed, 2
** bad options or no simulator in this build for what was asked.
*/
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/design_check.h"
#include "app/design_state.h"
#include "sim/analysis_design.h"
#include "sim/analysis_report.h"
#include "sim/circuit.h"
#include "sim/json_report.h"
#include "sim/ngspice_runner.h"
#include "sim/options.h"
#include "sim/report.h"
#include "sim/sim_design.h"
#include "sim/simulate.h"
#include "sim/text_plot.h"
#include "sim/tolerance_report.h"
#include "sim/tune_report.h"
#include "sim/tune_run.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
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
    std::printf("\nImpedance: AC analysis failed: %s\n", error.c_str());
    return false;
  }
  std::fputs(ReportImpedance(s, o.Topology, mhz, rp0, xp0, rp, xp).c_str(), stdout);
  return true;
}

/* Before a tolerance run by ngspice, how long it will take; on a
   terminal, how far it is. */
void ShowProgress(int done, int total, double secondsPerRun) {
  static const bool terminal = isatty(fileno(stderr)) != 0;
  if (done == 0) {
    std::fprintf(stderr, "tolvarin-sim: %s\n", ToleranceEstimate(total, secondsPerRun).c_str());
  } else if (terminal) {
    std::fprintf(stderr, "\rtolerance: %d of %d samples%s", done, total, done == total ? "\n" : "");
    std::fflush(stderr);
  }
}

/* The analyses o asks for, of circuit c by `engine`: printed, or added
   to doc.  False when a steady state of any failed. */
bool RunAnalyses(const DesignState& s, const SimOptions& o, const Circuit& c, int engine,
                 nlohmann::json* doc) {
  const double mhz = AnalysisMHz(o);
  bool ok = true;
  auto show = [doc](const char* key, const std::string& text, const nlohmann::json& j) {
    if (doc)
      (*doc)[key] = j;
    else
      std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
  };
  if (o.Tolerance) {
    ToleranceRun run;
    RunTolerance(c, ToleranceSettingsFor(o, s, engine), run,
                 engine == kEngineNgspice ? ShowProgress : ToleranceProgress());
    ok = ok && run.Nominal.Ok && run.Failed == 0;
    show("tolerance", ToleranceReport(run), ToleranceJson(run));
  }
  if (o.Mismatch > 0.0) {
    MismatchRun run;
    RunMismatch(c, o.Mismatch, engine, o.Periods, mhz, run);
    for (const MismatchPoint& p : run.Points) ok = ok && p.Result.Ok;
    show("mismatch", MismatchReport(run), MismatchJson(run));
  }
  if (o.Sensitivity) {
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
  static SimOptions o;
  std::string error;
  const int parsed = ParseSimOptions(argc, argv, o, &error);
  if (parsed == kOptionsHelp) {
    std::fputs(SimHelpText().c_str(), stdout);
    return 0;
  }
  if (parsed == kOptionsError) {
    std::fprintf(stderr, "tolvarin-sim: %s\n", error.c_str());
    return 2;
  }
  if (NeedsNgspice(o) && !SimulatorAvailable()) {
    std::fprintf(stderr, "%s\n", SimulatorMissingText());
    return 2;
  }
  static DesignState s;
  DesignForSimulation(o, s);
  if (!DesignPrintsFinite(s)) {
    std::fprintf(stderr,
                 "tolvarin-sim: these inputs give no finite design (the calculator refuses "
                 "them too)\n");
    return 2;
  }
  /* The table and the analyses take the design --design names. */
  static TuneRun tuning;
  Circuit c;
  if (o.Tune) {
    RunTuning(s, o, tuning);
    if (!tuning.Outcome.Ok) {
      std::fprintf(stderr, "tolvarin-sim: %s\n", tuning.Outcome.Error.c_str());
      return 1;
    }
  }
  AnalysedCircuit(s, o, tuning, c);
  const int engine = EngineFor(c, o.Engine);
  const bool confirm = o.Confirm && engine == kEngineExact;
  /* The tuning table already holds the design frequency. */
  const bool table = !o.Json && (!o.Tune || o.Sweep);
  if (!o.Json) {
    std::fputs((ReportTitle(o, engine) + ReportHeading(s, c)).c_str(), stdout);
    if (o.Tune) std::fputs(TuneReport(s, tuning).c_str(), stdout);
    if (table) std::fputs(ReportTableHeading().c_str(), stdout);
    std::fflush(stdout);
  }

  std::vector<double> mhz;
  DriveFrequencies(o, mhz);
  std::vector<SimResult> results(mhz.size()), confirmed(confirm ? mhz.size() : 0);
  std::vector<std::string> netlist;
  int status = 0;
  for (size_t i = 0; i < mhz.size(); i++) {
    SimulateDrive(c, engine, o.Periods, mhz[i], results[i], i == 0 ? &netlist : nullptr);
    if (!results[i].Ok) status = 1;
    if (confirm) {
      SimulateDrive(c, kEngineNgspice, o.Periods, mhz[i], confirmed[i]);
      if (!confirmed[i].Ok) status = 1;
    }
    if (!table) continue;
    std::fputs(ReportRow(results[i], c.Vcc).c_str(), stdout);
    if (confirm) std::fputs(ReportRow(confirmed[i], c.Vcc).c_str(), stdout);
    std::fflush(stdout);
  }
  if (o.Json) {
    nlohmann::json doc = RunJson(o, c, results, confirm ? &confirmed : nullptr);
    doc["engine"] = EngineName(engine);
    if (o.Tune) doc["designs"] = DesignsJson(tuning);
    if (!RunAnalyses(s, o, c, engine, &doc)) status = 1;
    std::puts(doc.dump(2).c_str());
  } else {
    if (table) std::fputs(ReportNotes(confirm ? confirmed : results).c_str(), stdout);
    if (confirm) std::fputs(ReportAgreement(results, confirmed).c_str(), stdout);
    if (o.Impedance && !PrintImpedance(s, o, mhz)) status = 1;
    if (mhz.size() == 1 && results[0].Ok)
      std::fputs(("\n" + PlotPeriod(results[0].Vsw, results[0].Isw, mhz[0])).c_str(), stdout);
    if (!RunAnalyses(s, o, c, engine, nullptr)) status = 1;
  }

  if (!o.CsvPath.empty() && !WriteFile(o.CsvPath, CsvText(results))) {
    std::fprintf(stderr, "tolvarin-sim: cannot write %s\n", o.CsvPath.c_str());
    status = 1;
  }
  if (!o.NetlistPath.empty() && !WriteFile(o.NetlistPath, Joined(netlist))) {
    std::fprintf(stderr, "tolvarin-sim: cannot write %s\n", o.NetlistPath.c_str());
    status = 1;
  }
  return status;
}
