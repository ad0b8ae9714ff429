/*
** options.cpp: the command line of tolvarin-sim, read by CLI11 as the
** option table wires it.  Each option is "--name value" or
** "--name=value"; every fault (unknown option, missing value, not a
** number, out of range, options that mean nothing together) is one line
** naming the option, and the caller exits with status 2.
*/
#include "sim/cli/options.h"

#include <CLI/CLI.hpp>
#include <cassert>
#include <cmath>
#include <deque>

#include "sim/circuit/format.h"
#include "sim/circuit/topology_table.h"
#include "sim/cli/design_bounds.h"
#include "sim/cli/design_choice.h"
#include "sim/cli/option_table.h"
#include "sim/engine/ngspice_runner.h"

namespace {

/* How often argv names option `name`, in either spelling. */
int Count(int argc, const char* const* argv, const std::string& name) {
  int n = 0;
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    n += a == name || a.rfind(name + "=", 0) == 0;
  }
  return n;
}

bool AskedForHelp(int argc, const char* const* argv) {
  for (int i = 1; i < argc; i++)
    if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") return true;
  return false;
}

/* An argument that is no option nor an option's value. */
std::string Unknown(const std::string& a) {
  if (a.rfind("--", 0) == 0) return a.substr(0, a.find('=')) + " is not an option (see --help)";
  return "'" + a + "' is not an option or an option's value (see --help)";
}

/* What went wrong, in words, for a fault CLI11 found in one option. */
std::string ParseFault(const std::string& what, int argc, const char* const* argv) {
  /* CLI11 starts its faults of one option with the option's name. */
  const OptionRow* r = FindOption(what.substr(0, what.find(':')));
  if (r && Count(argc, argv, r->Name) > 1) return std::string(r->Name) + " is given more than once";
  if (r && r->Value) return std::string(r->Name) + " needs a value (" + r->Value + ")";
  if (r) return std::string(r->Name) + " takes no value";
  return what;
}

/* The options that mean something only with another. */
Status CheckNeeds(const SimOptions& o, const CLI::App& app) {
  for (int i = 0; i < kOptionRowCount; i++) {
    const OptionRow& r = kOptionRows[i];
    if (!r.Needs || app.count(r.Name) == 0) continue;
    const OptionRow* needed = FindOption(r.Needs);
    assert(needed && needed->Kind == kOptFlag);
    if (!(o.*needed->Flag)) return Status::Failed(std::string(r.Name) + " goes with " + r.Needs);
  }
  return Status::Done();
}

/* The run's combinations that no single option can judge. */
Status CheckTogether(const SimOptions& o, const CLI::App& app) {
  if (o.Design.Notch && !TopologyHasFilter(o.Design.Topology))
    return Status::Failed("--notch needs the filter: use it with --topology pinet-el-tch");
  if (o.Confirm && o.Engine != kEngineExact)
    return Status::Failed(
        "--confirm sets the exact engine beside ngspice: leave out --engine ngspice");
  if (app.count("--coss-m") > 0 && o.CossVolts <= 0.0)
    return Status::Failed("--coss-m grades a capacitance given at a voltage: use --coss PF@V");
  if (o.Diode && o.NoDiode) return Status::Failed("--diode and --no-diode cannot go together");
  for (const char* name : {"--no-diode", "--rth", "--ambient"})
    if (app.count(name) > 0 && !o.HasDevice)
      return Status::Failed(std::string(name) + " goes with --device");
  if (o.Analysed > kDesignCalculator && !o.Tune)
    return Status::Failed(std::string("--design ") + DesignChoiceName(o.Analysed) +
                          " needs --tune");
  if (o.Core >= 0 && app.count("--coils") > 0 && o.Coils != kCoilsToroid)
    return Status::Failed("--core winds the coils on toroids: leave out --coils air");
  const Status needs = CheckNeeds(o, app);
  if (!needs.Ok()) return needs;
  return CheckDriveBand(o);
}

}  // namespace

Status ParseSimOptions(int argc, const char* const* argv, SimOptions& o) {
  DefaultOptions(o);
  CLI::App app("tolvarin-sim");
  app.set_help_flag();
  app.allow_extras();
  std::deque<std::string> texts; /* CLI11 keeps a reference to each value */
  std::deque<bool> flags;
  for (int i = 0; i < kOptionRowCount; i++) {
    const OptionRow& r = kOptionRows[i];
    if (r.Kind == kOptFlag) {
      flags.push_back(false);
      app.add_flag(r.Name == std::string("--help") ? "-h,--help" : r.Name, flags.back());
    } else {
      texts.emplace_back();
      app.add_option(r.Name, texts.back());
    }
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    /* --help wins over any other fault. */
    o.Help = AskedForHelp(argc, argv);
    if (o.Help) return Status::Done();
    return Status::Failed(ParseFault(e.what(), argc, argv));
  }
  o.Help = AskedForHelp(argc, argv);
  if (o.Help) return Status::Done();
  if (!app.remaining().empty()) return Status::Failed(Unknown(app.remaining().front()));
  size_t text = 0, flag = 0;
  for (int i = 0; i < kOptionRowCount; i++) {
    const OptionRow& r = kOptionRows[i];
    if (r.Kind == kOptFlag) {
      if (!flags[flag++]) continue;
      if (r.Flag)
        o.*r.Flag = true;
      else
        o.Design.*r.DesignFlag = true;
      continue;
    }
    const std::string& value = texts[text++];
    if (app.count(r.Name) == 0) continue;
    const Status st = ReadOption(r, value, o);
    if (!st.Ok()) return st;
  }
  /* The record's Ron is the design's unless --ron was typed. */
  o.RonGiven = app.count("--ron") > 0;
  if (o.HasDevice && !o.RonGiven && Known(o.Device.RonOhm))
    o.Design.Ron = static_cast<float>(o.Device.RonOhm);
  const Status together = CheckTogether(o, app);
  if (o.Core >= 0) o.Coils = kCoilsToroid; /* a core named is a toroid asked for */
  return together;
}

void DriveFrequencies(const SimOptions& o, std::vector<double>& mhz) {
  mhz.clear();
  if (!o.Sweep) {
    mhz.push_back(DesignMHz(o));
    return;
  }
  /* Each point from the start, so rounding does not pile up; the end is
     included when the steps land on it. */
  const int count = static_cast<int>(std::floor((o.SweepTo - o.SweepFrom) / o.SweepStep + 1e-9));
  for (int i = 0; i <= count; i++) mhz.push_back(o.SweepFrom + i * o.SweepStep);
}

double DesignMHz(const SimOptions& o) {
  return std::round(double(o.Design.Freq) * 1e6) / 1e6;
}

std::string SimHelpText() {
  return "Usage: tolvarin-sim [options]\n"
         "Designs a class-E amplifier with the Tolvarin calculator's engine, finds the\n"
         "periodic steady state of the circuit and reports per drive frequency: output\n"
         "power, DC input power, drain efficiency, device dissipation, other losses,\n"
         "peak switch voltage, switch voltage at turn-on (ZVS error, fraction of the\n"
         "peak) and its slope, 2nd and 3rd harmonic at the load (dBc).\n"
         "\n" +
         OptionsHelp() +
         "\n"
         "Simulated only within:\n" +
         DesignBoundsHelp() +
         Format("Each ngspice run is given up past %g s or %g MB more memory; its row says so.\n",
                kRunLimits.Seconds, kRunLimits.MegaBytes) +
         "Output files are checked before anything runs and written whole or not at\n"
         "all.  Options take their value as the next argument or after '='.\n"
         "Exit status: 0 done; 1 a drive frequency failed or was given up, or a file\n"
         "or standard output could not be written; 2 bad options, an output file\n"
         "that cannot be written, or a design out of bounds; 130 (Ctrl-C) or 143\n"
         "(SIGTERM): stopped, the rows and files hold the frequencies done.\n";
}
