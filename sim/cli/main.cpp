/*
** main.cpp: tolvarin-sim, the circuit-level check of a Tolvarin design.
** Reads the options, designs with the calculator's engine, finds the
** steady state of each drive frequency (the exact engine, ngspice, or
** both) and prints the table (and, for a single frequency, a plot of one
** steady period) or one JSON document, then the analyses asked for;
** writes the CSV and netlist files when asked, whole.  Exit status: 0
** done; 1 a drive frequency failed or was given up, a file or standard
** output could not be written; 2 bad options, an output path that cannot
** be written, a design outside the simulator's bounds, or no simulator in
** this build for what was asked; 128 + the signal when SIGINT or SIGTERM
** stopped the run (the rows and files then hold the drive frequencies
** done).
*/
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/design_state.h"
#include "app/version.h"
#include "sim/analysis/device_figures.h"
#include "sim/analysis/device_heat.h"
#include "sim/analysis/two_port.h"
#include "sim/circuit/format.h"
#include "sim/circuit/topology_table.h"
#include "sim/cli/analysis_table.h"
#include "sim/cli/design_bounds.h"
#include "sim/cli/design_choice.h"
#include "sim/cli/options.h"
#include "sim/cli/output_files.h"
#include "sim/cli/plot_files.h"
#include "sim/cli/progress.h"
#include "sim/cli/standard_output.h"
#include "sim/cli/stop_signals.h"
#include "sim/design/calculator_circuit.h"
#include "sim/engine/drive.h"
#include "sim/engine/ngspice_runner.h"
#include "sim/report/bom_report.h"
#include "sim/report/device_report.h"
#include "sim/report/harmonics_report.h"
#include "sim/report/html_report.h"
#include "sim/report/plot_module.h"
#include "sim/report/run_json.h"
#include "sim/report/run_report.h"
#include "sim/report/schematic_text.h"
#include "sim/report/text_plot.h"
#include "sim/report/touchstone.h"
#include "sim/report/tune_report.h"

namespace {

/* Everything one run of the program holds, from the options to the
   files it writes. */
struct SimRun {
  SimOptions o;
  DesignState calc; /* the calculator's design */
  TuningRun tuning; /* with --tune */
  Circuit circuit;  /* of the design --design chooses */
  int engine;       /* that gives its figures */
  bool confirm;     /* ngspice's rows beside the exact engine's */
  std::vector<double> mhz;
  std::vector<SimResult> results, confirmed;
  std::vector<std::string> netlist;
  SimResult designPoint; /* the chosen circuit at the design frequency */
  std::vector<BomRow> bom;
  Status bomMade;
  size_t done;             /* drive frequencies done */
  std::string interrupted; /* what a stop signal cut short, and how far it had come */
  HeatOutcome heat;        /* the device's junction, when its Rth is known */
  double tuneRon;          /* ohm: the hot Ron the tuning works at; 0: the design's */
  DeviceFigures device;    /* with --device, at the design frequency */
  std::vector<std::string> deviceNotes;
  nlohmann::json analyses; /* each analysis run, by its key, for the report */
  std::vector<DrawnPicture> analysisPictures;
  int status;
};

/* What a stop signal cut short, once it has. */
std::string Interrupted(const SimRun& run) {
  if (!run.interrupted.empty()) return run.interrupted;
  return Format("after %zu of %zu drive frequencies", run.done, run.mhz.size());
}

/* With --json, a run that ends without its document still prints one:
   the design asked for and why there is nothing more. */
void PrintJsonError(const SimRun& run, const std::string& why) {
  if (!run.o.Json) return;
  nlohmann::json doc = RunJson(run.o.Design, run.o.Engine, run.circuit, {}, nullptr);
  doc.erase("points");
  doc["error"] = why;
  Print(doc.dump(2) + "\n");
}

int Refuse(const SimRun& run, const Status& why) {
  std::fprintf(stderr, "tolvarin-sim: %s\n", why.Why().c_str());
  PrintJsonError(run, why.Why());
  return 2;
}

/* The exit status: `status`, or 1 when standard output could not be
   written, or 128 + the signal that stopped the run (what it cut short
   said on standard error). */
int Finish(int status, const SimRun& run) {
  if (StandardOutputFailed()) {
    std::fprintf(stderr, "%s\n", StandardOutputFailure().c_str());
    status = 1;
  }
  if (StopSignal() == 0) return status;
  std::fprintf(stderr, "tolvarin-sim: interrupted %s\n", Interrupted(run).c_str());
  return 128 + StopSignal();
}

std::vector<OutputFile> OutputFiles(const SimOptions& o) {
  std::vector<OutputFile> files;
  if (!o.CsvPath.empty()) files.push_back({"--csv", o.CsvPath});
  if (!o.NetlistPath.empty()) files.push_back({"--netlist", o.NetlistPath});
  for (const OutputFile& f : PlotFiles(o)) files.push_back(f);
  if (!o.ReportPath.empty()) files.push_back({"--report", o.ReportPath});
  if (!o.BomCsvPath.empty()) files.push_back({"--bom-csv", o.BomCsvPath});
  if (!o.TouchstonePath.empty()) files.push_back({"--touchstone", o.TouchstonePath});
  return files;
}

/* The edges must leave the switch fully on, and fully off, for as long
   as they take. */
Status CheckSwitch(const Circuit& c) {
  const SwitchModel& s = c.Switch;
  if (s.Ramp <= 0.5 * std::min(s.Duty, 1.0 - s.Duty)) return Status::Done();
  return Status::Failed(Format(
      "--edge-ns: edges of %.4g ns take more than half of the switch's %s time at duty %.3g and "
      "%.4g MHz",
      s.Ramp / c.DesignHz * 1e9, s.Duty <= 0.5 ? "on" : "off", s.Duty, c.DesignHz * 1e-6));
}

/* The pictures' module, opened before anything is run when a run asks
   for pictures, so that a missing one is refused at once. */
Status OpenPictures(const SimOptions& o) {
  if (!WantsPictures(o)) return Status::Done();
  const PlotModule* plots = nullptr;
  const Status opened = OpenPlotModule(plots);
  if (opened.Ok()) return opened;
  return Status::Failed(std::string(o.PlotDir.empty() ? "--report" : "--plot") + ": " +
                        opened.Why());
}

/* Everything checked before anything runs: the simulator this build
   has, the output files, the calculator's design and its circuit, the
   pictures' module.  The plot folder is made last, so that a refused run
   makes nothing, and its files are then checked with the others. */
Status Prepare(SimRun& run) {
  const SimOptions& o = run.o;
  if ((o.Engine == kEngineNgspice || o.Confirm || o.Impedance) && !SimulatorAvailable())
    return Status::Failed(SimulatorMissingText());
  SimOptions unplotted = o;
  unplotted.PlotDir.clear();
  Status st = CheckOutputFiles(OutputFiles(unplotted));
  DesignForSimulation(o.Design, run.calc);
  if (st.Ok()) st = CheckCalculatorDesign(run.calc);
  if (!st.Ok()) return st;
  CalculatorCircuit(run.calc, o.Design, SettingsFor(o), run.circuit);
  DriveFrequencies(o, run.mhz);
  st = CheckCircuit(run.circuit);
  if (st.Ok()) st = CheckSwitch(run.circuit);
  if (st.Ok()) st = OpenPictures(o);
  if (st.Ok()) st = MakePlotFolder(o);
  if (st.Ok() && !o.PlotDir.empty()) st = CheckOutputFiles(OutputFiles(o));
  return st;
}

/* --tune; false (said, unless a stop signal failed it) when it did not converge. */
bool Tune(SimRun& run, bool confirm) {
  ProgressMeter m = StartProgress("tuning", "steady states");
  TuningRequest request = TuningRequestFor(run.o);
  request.Confirm = request.Confirm && confirm;
  request.Settings.Ron = run.tuneRon;
  request.Settings.Progress = [&m](int evaluations) { ShowProgress(m, evaluations, 0); };
  RunTuning(run.calc, request, run.tuning);
  EndProgress(m);
  /* A stop in ngspice's confirming runs leaves the tuning done but its
     confirmation empty: stopped all the same. */
  if (StopSignal() != 0) {
    run.interrupted = "while tuning";
    PrintJsonError(run, "interrupted while tuning");
    return false;
  }
  if (run.tuning.Outcome.Tuning.Ok()) return true;
  std::fprintf(stderr, "tolvarin-sim: %s\n", run.tuning.Outcome.Tuning.Why().c_str());
  PrintJsonError(run, run.tuning.Outcome.Tuning.Why());
  return false;
}

/* The device's thermal resistance, junction to ambient: --rth, else the
   record's with the assumed heatsink; kAbsent when neither gives one. */
double RunRth(const SimOptions& o) {
  return o.Rth > 0.0 ? o.Rth : DefaultRth(o.Device);
}

HeatRequest HeatFor(const SimRun& run) {
  const SimOptions& o = run.o;
  HeatRequest h;
  h.RonOhm = std::max(kMinRon, double(o.Design.Ron));
  h.TempcoPerK = Known(o.Device.RonTempcoPerK) ? o.Device.RonTempcoPerK : 0.0;
  h.RthKPerW = RunRth(o);
  h.AmbientC = o.Ambient;
  h.Engine = o.Engine;
  h.Periods = o.Periods;
  h.DriveMHz = DesignMHz(o);
  return h;
}

/* The junction of the device in circuit c, whose Ron becomes the hot
   one; false when there is none to find (no device, no Rth) or the heat
   did not settle. */
bool Heat(SimRun& run, Circuit& c) {
  if (!run.o.HasDevice || !Known(RunRth(run.o))) return false;
  SolveHeat(c, HeatFor(run), run.heat);
  if (!run.heat.Solved.Ok()) return false;
  c.Switch.Ron = run.heat.RonHot;
  return true;
}

/* Rounds of tuning and heating at most, and the share Ron may still move
   by when they stop: 1e-4 of it is a hundredth of a kelvin of silicon's
   0.7 %/K. */
const int kHeatRounds = 6;
const double kRonSettled = 1e-4;

/* The tuning and the junction depend on each other: the tuning works at
   the Ron the calculator's circuit heats to, then at the one its own
   tuned circuit heats to, until that Ron settles; ngspice confirms the
   last round only. */
bool TuneHot(SimRun& run) {
  if (!Heat(run, run.circuit)) return Tune(run, true);
  run.tuneRon = run.heat.RonHot;
  for (int round = 1; round <= kHeatRounds; round++) {
    if (!Tune(run, false)) return false;
    Circuit tuned;
    ChosenCircuit(run.calc, run.o, run.tuning, tuned);
    if (!Heat(run, tuned)) break;
    const bool settled = std::fabs(run.heat.RonHot - run.tuneRon) <= kRonSettled * run.tuneRon;
    run.tuneRon = run.heat.RonHot;
    if (settled) break;
  }
  return Tune(run, true);
}

/* What the device section says of the values the run assumed. */
void NoteDevice(SimRun& run) {
  const SimOptions& o = run.o;
  const DeviceRecord& d = o.Device;
  std::vector<std::string>& n = run.deviceNotes;
  const Circuit& c = run.circuit;
  n.push_back(Format("edges: ramps of %.3g %% of a period (%.4g ns)%s, duty %.3g",
                     100.0 * c.Switch.Ramp, c.Switch.Ramp / c.DesignHz * 1e9,
                     o.EdgeNs >= 0.0              ? ", from --edge-ns"
                     : RecordEdgeSeconds(d) > 0.0 ? ", the mean of the record's rise and fall"
                                                  : ", the engines' shortest",
                     c.Switch.Duty));
  if (!Known(d.RonOhm) && !o.RonGiven)
    n.push_back(
        Format("RDS(on): the record gives none; the design's %.4g ohm", double(o.Design.Ron)));
  if (!Known(d.RonTempcoPerK))
    n.push_back("RDS(on): the record gives no temperature coefficient; held at its 25 C value");
  if (o.Rth <= 0.0 && Known(d.RthJcKPerW))
    n.push_back(
        Format("Rth: the record's RthJC %.4g K/W plus %.4g K/W assumed for a washer and "
               "a small heatsink",
               d.RthJcKPerW, kAssumedHeatsinkKPerW));
  else if (o.Rth <= 0.0 && Known(d.RthJaKPerW))
    n.push_back(Format("Rth: the record's RthJA %.4g K/W, in free air", d.RthJaKPerW));
  else if (o.Rth <= 0.0)
    n.push_back("junction temperature: the record gives no thermal resistance; give --rth");
  if (!run.heat.Solved.Ok() && Known(RunRth(o)))
    n.push_back("junction temperature: " + run.heat.Solved.Why());
  if (!c.Device.BodyDiode && !o.NoDiode)
    n.push_back("reverse conduction: the record gives none, none simulated");
  if (Known(d.LeadNh) && d.LeadNh > 0.0)
    n.push_back(
        Format("package: its %.4g nH lead inductance is Lpkg, from the drain pin to the "
               "die; the switch voltage is the die's",
               d.LeadNh));
  if (!Known(d.QgNc) || !Known(d.VgsV))
    n.push_back("gate drive: the record gives no gate charge at a drive voltage");
}

/* The device's figures at the design frequency. */
void FigureRunDevice(SimRun& run) {
  if (!run.o.HasDevice || !run.designPoint.Run.Ok()) return;
  const bool hot = run.heat.Solved.Ok() && Known(RunRth(run.o));
  FigureDevice(run.o.Device, run.circuit, run.designPoint, DesignMHz(run.o),
               hot ? run.heat.TjC : kAbsent, run.device);
  run.device.RthKPerW = RunRth(run.o);
  run.device.AmbientC = run.o.Ambient;
  NoteDevice(run);
}

/* The device object and the warnings of a JSON document. */
void DeviceJsonInto(const SimRun& run, nlohmann::json& doc) {
  if (run.o.HasDevice && run.designPoint.Run.Ok()) doc["device"] = DeviceJson(run.device);
  const std::string hint = DiodeHint(run.designPoint, run.circuit.Device.BodyDiode);
  if (!run.o.HasDevice && !hint.empty()) doc["warnings"].push_back(hint.substr(0, hint.size() - 1));
}

/* The run's warnings, each as printed: lines of text. */
std::vector<std::string> RunWarnings(const SimRun& run) {
  std::vector<std::string> out;
  for (const std::string& w : {ChokeLossWarning(run.circuit, run.results),
                               ShuntCapacitanceWarning(run.circuit, run.calc.Cp1)})
    if (!w.empty()) out.push_back(w);
  return out;
}

/* A warning's lines joined into one, as JSON holds it. */
std::string OneLine(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

/* The table is printed row by row as each drive frequency is done; the
   tuning table already holds the design frequency. */
bool PrintsTable(const SimOptions& o) {
  return !o.Json && (!o.Tune || o.Sweep);
}

/* Once standard output has failed only the files are left to make. */
bool Wanted(const SimRun& run) {
  return !StandardOutputFailed() || !run.o.CsvPath.empty() || !run.o.PlotDir.empty() ||
         !run.o.ReportPath.empty();
}

void SimulateDrives(SimRun& run) {
  const size_t n = run.mhz.size();
  run.results.resize(n);
  run.confirmed.resize(run.confirm ? n : 0);
  ProgressMeter m = StartProgress("sweep", "drive frequencies");
  /* The exact engine's state space serves every drive frequency. */
  ExactWorkspace prepared;
  if (run.engine == kEngineExact) PrepareExact(run.circuit, prepared);
  for (size_t i = 0; i < n && Wanted(run); i++) {
    std::vector<std::string>* netlist =
        i == 0 && !run.o.NetlistPath.empty() ? &run.netlist : nullptr;
    SimulateDrive(run.circuit, run.engine, run.o.Periods, run.mhz[i], run.results[i], netlist,
                  kDetailFull, &prepared);
    if (!run.results[i].Run.Ok()) run.status = 1;
    if (run.confirm) {
      SimulateDrive(run.circuit, kEngineNgspice, run.o.Periods, run.mhz[i], run.confirmed[i],
                    netlist);
      if (!run.confirmed[i].Run.Ok()) run.status = 1;
    }
    if (StopSignal() != 0) break; /* this one is not done */
    run.done = i + 1;
    ShowProgress(m, int(run.done), int(n));
    if (!PrintsTable(run.o)) continue;
    EndProgress(m);
    Print(ReportRow(run.results[i], run.circuit.Vcc));
    if (run.confirm) Print(ReportRow(run.confirmed[i], run.circuit.Vcc));
  }
  EndProgress(m);
  run.results.resize(run.done);
  run.confirmed.resize(run.confirm ? run.done : 0);
}

/* The chosen circuit's steady state at the design frequency, which the
   harmonics' limit and the bill of materials read: the run's own when it
   ran that frequency alone. */
void FindDesignPoint(SimRun& run) {
  if (run.done == 1 && run.mhz.size() == 1 && run.mhz[0] == DesignMHz(run.o)) {
    run.designPoint = run.results[0];
    return;
  }
  SimulateDrive(run.circuit, run.engine, run.o.Periods, DesignMHz(run.o), run.designPoint);
}

MaskResult DesignMask(const SimRun& run, const Harmonics& h) {
  const double p1 = FundamentalPower(run.designPoint, LoadResistance(run.circuit));
  return ApplyMask(run.o.Mask, DesignMHz(run.o), p1, h);
}

/* Whether anything the run prints or writes holds the bill of
   materials: --bom, --bom-csv, the JSON document and the HTML report (the
   document inside it).  Rating the parts costs the harmonics of every
   part, ten times the rest of a plain run, so a run that shows none of it
   does not pay for it. */
bool NeedsBom(const SimOptions& o) {
  return o.Bom || o.Json || !o.BomCsvPath.empty() || !o.ReportPath.empty();
}

void MakeBom(SimRun& run) {
  if (!NeedsBom(run.o)) return;
  const bool built = run.o.Tune && ChosenDesign(run.o) == kDesignBuilt;
  const BomCoils coils{SettingsFor(run.o).Coils, run.o.ChokeRdc > 0.0 || run.o.ChokeQ > 0.0};
  run.bomMade =
      BuildBom(run.circuit, run.designPoint, ChosenRecord(run.calc, run.o, run.tuning),
               run.o.Series, run.bom, built ? &run.tuning.Built.Capacitors : nullptr, coils);
  if (!run.bomMade.Ok() && (run.o.Bom || !run.o.BomCsvPath.empty())) run.status = 1;
}

/* The harmonics against the limit, the two harmonic figures, and the
   bill of materials when asked. */
void PrintDesignPoint(const SimRun& run) {
  const SimResult& r = run.designPoint;
  if (!r.Run.Ok()) return;
  const Harmonics h = LoadHarmonics(r);
  const MaskResult m = DesignMask(run, h);
  Print(HarmonicsText(h, m));
  if (m.Applies && !m.Pass)
    Print(AlternativesText(OtherNetworks(run.o.Design, SettingsFor(run.o), run.o.Mask)));
  const Circuit network = OutputNetwork(run.circuit, true);
  const double rload = LoadResistance(run.circuit), hz = DesignMHz(run.o) * 1e6;
  double own[2] = {0.0, 0.0};
  if (NetworkTransferDb(network, rload, hz, 2, own[0]).Ok() &&
      NetworkTransferDb(network, rload, hz, 3, own[1]).Ok())
    Print(HarmonicStory(run.calc, run.o.Design.Topology, own, r));
  if (!run.o.Bom) return;
  if (run.bomMade.Ok())
    Print(BomText(run.bom, run.o.Series, DesignMHz(run.o)));
  else
    Print("\nBill of materials: " + run.bomMade.Why() + "\n");
}

/* The --impedance section; false when the AC analysis failed. */
bool PrintImpedance(const SimRun& run) {
  std::vector<double> hz;
  for (double m : run.mhz) hz.push_back(m * 1e6);
  Circuit lossy, lossless;
  BuildCircuit(run.calc, run.o.Design.Topology, run.o.Design.Notch, kNetworkOnly, lossy);
  lossless = lossy;
  DropLosses(lossless);
  std::vector<double> rp0, xp0, rp, xp;
  Status st = DeviceImpedance(lossless, hz, rp0, xp0);
  if (st.Ok()) st = DeviceImpedance(lossy, hz, rp, xp);
  if (!st.Ok()) {
    if (StopSignal() == 0) Print("\nImpedance: AC analysis failed: " + st.Why() + "\n");
    return false;
  }
  Print(ReportImpedance(run.calc, run.o.Design.Topology, run.mhz, rp0, xp0, rp, xp));
  return true;
}

/* The analyses the options ask for, each printed or added to doc.  A
   stop signal ends them; what it cut short is not shown. */
void RunAnalyses(SimRun& run, nlohmann::json* doc) {
  const AnalysisInput in{run.calc, run.o, run.circuit, run.engine, DesignMHz(run.o)};
  for (int a = 0; a < kAnalysisCount; a++) {
    if (!kAnalyses[a].Asked(run.o)) continue;
    if (StopSignal() != 0) {
      run.interrupted = Format("before the %s run", kAnalyses[a].Key);
      return;
    }
    AnalysisOutput out;
    kAnalyses[a].Run(in, out);
    if (!out.AllRan) run.status = 1;
    run.analyses[kAnalyses[a].Key] = out.Json;
    if (out.PictureFile)
      run.analysisPictures.push_back(
          {out.PictureFile, out.PictureCaption, out.PictureDrawn, out.Picture});
    if (out.Stopped)
      run.interrupted = Format("during the %s run after %d of %d %s", kAnalyses[a].Key, out.Done,
                               out.Total, out.Unit);
    if (doc)
      (*doc)[kAnalyses[a].Key] = out.Json;
    else
      Print(out.Text);
  }
}

void PrintJson(SimRun& run) {
  nlohmann::json doc = RunJson(run.o.Design, run.engine, run.circuit, run.results,
                               run.confirm ? &run.confirmed : nullptr);
  if (run.o.Tune) doc["designs"] = DesignsJson(run.tuning);
  if (run.designPoint.Run.Ok()) {
    const Harmonics h = LoadHarmonics(run.designPoint);
    doc["harmonics_dBc"] = HarmonicsJson(h);
    doc["mask"] = MaskJson(DesignMask(run, h));
  }
  if (run.bomMade.Ok()) doc["bom"] = BomJson(run.bom);
  if (run.done == run.mhz.size()) RunAnalyses(run, &doc);
  doc["warnings"] = nlohmann::json::array();
  for (const std::string& w : RunWarnings(run)) doc["warnings"].push_back(OneLine(w));
  DeviceJsonInto(run, doc);
  if (StopSignal() != 0) doc["interrupted"] = Interrupted(run);
  Print(doc.dump(2) + "\n");
}

void PrintText(SimRun& run) {
  const bool whole = run.done == run.mhz.size();
  if (PrintsTable(run.o)) Print(ReportNotes(run.confirm ? run.confirmed : run.results));
  if (run.confirm) Print(ReportAgreement(run.results, run.confirmed));
  for (const std::string& w : RunWarnings(run)) Print(w);
  if (whole && run.o.Impedance && !PrintImpedance(run)) run.status = 1;
  if (whole) PrintDesignPoint(run);
  if (whole && run.o.HasDevice && run.designPoint.Run.Ok())
    Print(DeviceText(run.device, run.deviceNotes));
  if (whole && !run.o.HasDevice) Print(DiodeHint(run.designPoint, run.circuit.Device.BodyDiode));
  if (whole && run.mhz.size() == 1 && run.results[0].Run.Ok())
    Print("\n" +
          PlotPeriod(run.results[0].Vsw, run.results[0].Isw, run.mhz[0], run.circuit.Switch.Duty));
  if (whole) RunAnalyses(run, nullptr);
}

/* --schematic: the circuit drawn in text, or why it could not be. */
void PrintSchematic(const Circuit& c) {
  SchematicLayout layout;
  const Status st = LayOut(c, layout);
  Print("\n" + (st.Ok() ? SchematicText(c, layout) : "Schematic: " + st.Why() + "\n"));
}

/* Points of the Touchstone file without a sweep: 0.25 to 10 times the
   design frequency, 50 a decade. */
const int kTouchstonePoints = 81;

/* The Touchstone file's text, or "" (said) when the network cannot be
   solved. */
std::string TouchstoneFile(const SimRun& run) {
  std::vector<double> hz;
  const double f = DesignMHz(run.o) * 1e6;
  if (run.o.Sweep)
    for (double m : run.mhz) hz.push_back(m * 1e6);
  else
    hz = LogGrid(0.25 * f, 10.0 * f, kTouchstonePoints);
  std::vector<SParameters> s;
  const Status st = NetworkSParameters(OutputNetwork(run.circuit), hz, run.o.TouchstoneRef, s);
  if (st.Ok()) return TouchstoneText(run.circuit.Origin, s, run.o.TouchstoneRef);
  std::fprintf(stderr, "tolvarin-sim: --touchstone: %s\n", st.Why().c_str());
  return "";
}

/* Writes one output file asked for, whole; false (said) when it failed. */
bool WriteOutput(const char* option, const std::string& path, const std::string& text) {
  if (path.empty()) return true;
  const Status st = WriteWholeFile(path, text);
  if (st.Ok()) return true;
  std::fprintf(stderr, "tolvarin-sim: %s: cannot write %s: %s\n", option, path.c_str(),
               st.Why().c_str());
  return false;
}

/* The run's JSON document as --json prints it, for the report. */
nlohmann::json ReportDocument(const SimRun& run) {
  nlohmann::json doc = RunJson(run.o.Design, run.engine, run.circuit, run.results,
                               run.confirm ? &run.confirmed : nullptr);
  if (run.o.Tune) doc["designs"] = DesignsJson(run.tuning);
  for (auto it = run.analyses.begin(); it != run.analyses.end(); ++it) doc[it.key()] = it.value();
  doc["warnings"] = nlohmann::json::array();
  for (const std::string& w : RunWarnings(run)) doc["warnings"].push_back(OneLine(w));
  DeviceJsonInto(run, doc);
  if (StopSignal() != 0) doc["interrupted"] = Interrupted(run);
  return doc;
}

/* The HTML report: the document and the pictures drawn, the schematic
   part of the page. */
std::string ReportText(const SimRun& run, const std::vector<DrawnPicture>& drawn) {
  std::vector<ReportFigure> figures;
  for (const DrawnPicture& p : drawn)
    if (p.Drawn.Ok()) figures.push_back({p.Caption, p.Svg, std::string(p.File) == "schematic.svg"});
  const std::string title = "Class-E design report: " + DesignName(run.circuit);
  return HtmlReport(title, ReportDocument(run), figures);
}

/* The files asked for, made only then; the netlist only of a drive
   frequency that was done. */
void WriteFiles(SimRun& run) {
  bool written = true;
  if (!run.o.CsvPath.empty()) written = WriteOutput("--csv", run.o.CsvPath, CsvText(run.results));
  if (!run.o.NetlistPath.empty() && run.done > 0) {
    std::string netlist;
    for (const std::string& l : run.netlist) netlist += l + "\n";
    written = WriteOutput("--netlist", run.o.NetlistPath, netlist) && written;
  }
  const bool pictures = !run.o.PlotDir.empty() || !run.o.ReportPath.empty();
  if (pictures && run.done > 0) {
    std::vector<DrawnPicture> drawn =
        DrawPlots({run.o, run.circuit, run.results, run.o.Tune ? &run.tuning : nullptr});
    drawn.insert(drawn.end(), run.analysisPictures.begin(), run.analysisPictures.end());
    written = WritePlots(drawn, run.o) && written;
    if (!run.o.ReportPath.empty())
      written = WriteOutput("--report", run.o.ReportPath, ReportText(run, drawn)) && written;
  }
  if (!run.o.TouchstonePath.empty()) {
    const std::string text = TouchstoneFile(run);
    written = !text.empty() && WriteOutput("--touchstone", run.o.TouchstonePath, text) && written;
  }
  if (!run.o.BomCsvPath.empty() && run.bomMade.Ok())
    written = WriteOutput("--bom-csv", run.o.BomCsvPath, BomCsv(run.bom)) && written;
  if (!written) run.status = 1;
}

/* --device list, --help and --version: the text alone; false for a run. */
bool PrintsOnlyText(const SimOptions& o) {
  if (o.DeviceList)
    Print(DeviceListText());
  else if (o.Help || o.Version)
    Print(o.Help ? SimHelpText() : "tolvarin-sim " TOLVARIN_VERSION "\n");
  return o.DeviceList || o.Help || o.Version;
}

/* The text report's first part, before the drive frequencies run. */
void PrintOpening(const SimRun& run) {
  Print(ReportTitle(run.o.Design, run.o.Engine, run.o.Confirm, run.engine) +
        ReportHeading(run.calc, run.circuit));
  if (run.o.Tune) Print(TuneReport(run.calc, run.tuning));
  if (run.o.Schematic) PrintSchematic(run.circuit);
  if (PrintsTable(run.o)) Print(ReportTableHeading());
}

}  // namespace

int main(int argc, char** argv) {
  GuardStandardOutput();
  /* A reader that goes away (| head) fails the output, not the run: the
     files asked for are still made. */
  std::signal(SIGPIPE, SIG_IGN);
  static SimRun run;
  const Status parsed = ParseSimOptions(argc, argv, run.o);
  if (!parsed.Ok()) {
    std::fprintf(stderr, "tolvarin-sim: %s\n", parsed.Why().c_str());
    return 2;
  }
  if (PrintsOnlyText(run.o)) return Finish(0, run);
  const Status ready = Prepare(run);
  if (!ready.Ok()) return Refuse(run, ready);
  CatchStopSignals();
  if (run.o.Tune && !TuneHot(run)) return Finish(1, run);
  ChosenCircuit(run.calc, run.o, run.tuning, run.circuit);
  Heat(run, run.circuit);
  run.engine = EngineFor(run.circuit, run.o.Engine);
  run.confirm = run.o.Confirm && run.engine == kEngineExact;
  if (!run.o.Json) PrintOpening(run);
  SimulateDrives(run);
  if (run.done == run.mhz.size() && StopSignal() == 0) {
    FindDesignPoint(run);
    MakeBom(run);
    FigureRunDevice(run);
  }
  if (run.o.Json)
    PrintJson(run);
  else
    PrintText(run);
  WriteFiles(run);
  return Finish(run.status, run);
}
