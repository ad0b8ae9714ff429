/*
** options.cpp: the command line of tolvarin-sim, read by CLI11.  Each
** option is "--name value" or "--name=value"; every fault (unknown
** option, missing value, not a number, out of range) is one line naming
** the option, and the caller exits with status 2.
**
** Numbers are decimal, as the calculator reads them: "0x10", "inf" and
** "nan" are not numbers here.  The limits of Freq and QL are the
** calculator's entry limits; the other inputs only have to be positive
** (Ron may be zero).
*/
#include "sim/options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <regex>

#include "app/design_inputs.h"
#include "sim/analysis_design.h"
#include "sim/design_bounds.h"
#include "sim/mismatch.h"
#include "sim/ngspice_runner.h"
#include "sim/report.h"
#include "sim/topology_table.h"

namespace {

const char* const kEngineNames[kEngineCount] = {"exact", "ngspice"};

/* The grading of a device capacitance given at a voltage: an abrupt
   junction's. */
const double kDefaultGrading = 0.5;

/* The most drive frequencies one sweep may ask for. */
const int kMaxSweepPoints = 201;

/* Bounds of --periods: past a few thousand periods ngspice's stored
   waveforms run into gigabytes; the automatic lengths stop at 960. */
const int kMinPeriods = 3, kMaxPeriods = 4000;

/* The design inputs take the calculator's start values and limits; a
   command line refuses what the calculator's entries would pull into
   range.  The upper bounds are the simulator's own, where the calculator
   has none: beyond them the element values leave what ngspice resolves. */
struct NumberOption {
  DesignInput input;
  float SimOptions::*field;
  double simHigh;
};

const NumberOption kNumberOptions[kDesignInputCount] = {
    {kInputFreq, &SimOptions::Freq, 500.0}, {kInputPower, &SimOptions::Power, 1e5},
    {kInputVcc, &SimOptions::Vcc, 1e4},     {kInputQL, &SimOptions::QL, 20.0},
    {kInputRload, &SimOptions::Rload, 1e6}, {kInputRon, &SimOptions::Ron, 1e3},
};

/* "--freq" from "Freq". */
std::string OptionName(const NumberOption& n) {
  std::string name = "--";
  for (const char* c = kDesignInputs[n.input].name; *c; c++)
    name += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  return name;
}

double High(const NumberOption& n) {
  return std::min(double(kDesignInputs[n.input].high), n.simHigh);
}

bool LowOpen(const NumberOption& n) {
  return kDesignInputs[n.input].rule == kAboveLow;
}

std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

/* A whole argument that is a decimal number. */
bool ToNumber(const std::string& text, double* value) {
  static const std::regex decimal(R"([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
  if (!std::regex_match(text, decimal)) return false;
  *value = std::strtod(text.c_str(), nullptr);
  return std::isfinite(*value);
}

std::string RangeText(const NumberOption& n) {
  char buf[96];
  const double low = kDesignInputs[n.input].low;
  if (LowOpen(n))
    std::snprintf(buf, sizeof buf, "above %g, at most %g", low, High(n));
  else
    std::snprintf(buf, sizeof buf, "%g to %g", low, High(n));
  return buf;
}

std::string CheckNumber(const NumberOption& n, const std::string& text, SimOptions& o) {
  double v = 0.0;
  if (!ToNumber(text, &v)) return Quote(text) + " is not a number";
  const double lowEnd = kDesignInputs[n.input].low;
  const bool low = LowOpen(n) ? v > lowEnd : v >= lowEnd;
  if (!low || v > High(n)) return text + " is out of range (" + RangeText(n) + ")";
  o.*n.field = static_cast<float>(v);
  return "";
}

std::string CheckTopology(const std::string& text, SimOptions& o) {
  const int t = TopologyByName(text);
  if (t < 0) return "unknown topology " + Quote(text) + " (" + TopologyNameList() + ")";
  o.Topology = t;
  return "";
}

std::string CheckEngine(const std::string& text, SimOptions& o) {
  for (int e = 0; e < kEngineCount; e++)
    if (text == kEngineNames[e]) {
      o.Engine = e;
      return "";
    }
  return "unknown engine " + Quote(text) + " (exact, ngspice)";
}

/* "from:to:step" in MHz. */
std::string CheckSweep(const std::string& text, SimOptions& o) {
  const size_t colon1 = text.find(':');
  const size_t colon2 = colon1 == std::string::npos ? colon1 : text.find(':', colon1 + 1);
  if (colon2 == std::string::npos || text.find(':', colon2 + 1) != std::string::npos)
    return Quote(text) + " is not FROM:TO:STEP";
  const std::string parts[3] = {text.substr(0, colon1),
                                text.substr(colon1 + 1, colon2 - colon1 - 1),
                                text.substr(colon2 + 1)};
  double v[3];
  for (int i = 0; i < 3; i++)
    if (!ToNumber(parts[i], &v[i])) return Quote(parts[i]) + " is not a number";
  if (v[0] < 0.05 || v[1] > 5000.0 || v[1] < v[0] || v[2] <= 0.0)
    return text + " is out of range (0.05 <= FROM <= TO <= 5000 MHz, STEP > 0)";
  if ((v[1] - v[0]) / v[2] > kMaxSweepPoints - 1 + 1e-9)
    return text + " is out of range (at most " + std::to_string(kMaxSweepPoints) + " frequencies)";
  o.Sweep = 1;
  o.SweepFrom = v[0];
  o.SweepTo = v[1];
  o.SweepStep = v[2];
  return "";
}

std::string CheckPeriods(const std::string& text, SimOptions& o) {
  double v = 0.0;
  if (!ToNumber(text, &v)) return Quote(text) + " is not a number";
  if (v != std::floor(v) || v < kMinPeriods || v > kMaxPeriods)
    return text + " is out of range (a whole number, " + std::to_string(kMinPeriods) + " to " +
           std::to_string(kMaxPeriods) + ")";
  o.Periods = static_cast<int>(v);
  return "";
}

std::string CheckPath(const std::string& text, std::string& path) {
  if (text.empty()) return "needs a file name";
  path = text;
  return "";
}

/* An option whose value `check` reads into the options; the text itself
   lands in a slot of `texts`. */
template <typename Check>
void Value(CLI::App& app, std::deque<std::string>& texts, const char* name, Check check) {
  texts.emplace_back();
  app.add_option(name, texts.back())->check(CLI::Validator(check, ""));
}

/* "PF" or "PF@V": the device's output capacitance, linear or graded
   from that datasheet point. */
std::string CheckCoss(const std::string& text, SimOptions& o) {
  const size_t at = text.find('@');
  double pf = 0.0, volts = 0.0;
  if (!ToNumber(text.substr(0, at), &pf) ||
      (at != std::string::npos && !ToNumber(text.substr(at + 1), &volts)))
    return Quote(text) + " is not PF or PF@V";
  if (!(pf > 0.0) || pf > 1e6 || (at != std::string::npos && !(volts > 0.0 && volts <= 1e4)))
    return text + " is out of range (above 0 pF, at most 1e6 pF; V above 0, at most 1e4)";
  o.CossPf = pf;
  o.CossVolts = at == std::string::npos ? 0.0 : volts;
  return "";
}

/* A number above 0 and at most high, into *out. */
std::string CheckPositive(const std::string& text, double high, const char* unit, double* out) {
  double v = 0.0;
  if (!ToNumber(text, &v)) return Quote(text) + " is not a number";
  if (!(v > 0.0 && v <= high))
    return text + " is out of range (above 0, at most " + Format("%g", high) + unit + ")";
  *out = v;
  return "";
}

/* The analyses' numbers: each a field of the options within a range. */
struct AnalysisNumber {
  const char* name;
  double SimOptions::*field;
  double low, high;
  bool lowOpen; /* the low end itself is not allowed */
};

const AnalysisNumber kAnalysisNumbers[] = {
    {"--cap-tol", &SimOptions::CapTol, 0.0, 50.0, false},
    {"--coil-tol", &SimOptions::CoilTol, 0.0, 50.0, false},
    {"--ron-tol", &SimOptions::RonTol, 0.0, 1000.0, false},
    {"--vmax", &SimOptions::Vmax, 0.0, 1e5, true},
    {"--pdev-max", &SimOptions::PdevMax, 0.0, 1e6, true},
    {"--mismatch", &SimOptions::Mismatch, 1.0, kMaxVswr, false},
};

const int kMaxSamples = 100000;

std::string CheckAnalysisNumber(const AnalysisNumber& n, const std::string& text, SimOptions& o) {
  double v = 0.0;
  if (!ToNumber(text, &v)) return Quote(text) + " is not a number";
  if (!(n.lowOpen ? v > n.low : v >= n.low) || v > n.high) {
    char range[64];
    std::snprintf(range, sizeof range, n.lowOpen ? "above %g, at most %g" : "%g to %g", n.low,
                  n.high);
    return text + " is out of range (" + range + ")";
  }
  o.*n.field = v;
  return "";
}

std::string CheckSamples(const std::string& text, SimOptions& o) {
  double v = 0.0;
  if (!ToNumber(text, &v)) return Quote(text) + " is not a number";
  if (v != std::floor(v) || v < 1 || v > kMaxSamples)
    return text + " is out of range (a whole number, 1 to " + std::to_string(kMaxSamples) + ")";
  o.Samples = static_cast<int>(v);
  return "";
}

std::string CheckSeed(const std::string& text, SimOptions& o) {
  static const std::regex digits(R"(\d{1,20})");
  const std::string fault = Quote(text) + " is not a whole number from 0 to 2^64 - 1";
  if (!std::regex_match(text, digits)) return fault;
  errno = 0;
  const unsigned long long v = std::strtoull(text.c_str(), nullptr, 10);
  if (errno == ERANGE) return fault;
  o.Seed = v;
  return "";
}

std::string CheckDesign(const std::string& text, SimOptions& o) {
  o.Design = AnalysisDesignByName(text);
  if (o.Design < 0) return "unknown design " + Quote(text) + " (" + AnalysisDesignNames() + ")";
  return "";
}

/* The analyses' options that only mean something together. */
std::string CheckAnalysesTogether(const SimOptions& o, const std::vector<std::string>& given) {
  if (o.Design > kDesignCalculator && !o.Tune)
    return std::string("--design ") + AnalysisDesignName(o.Design) + " needs --tune";
  for (const std::string& name : given)
    if (!o.Tolerance) return name + " goes with --tolerance";
  return "";
}

/* The run's combinations that no single option can judge. */
std::string CheckTogether(const SimOptions& o) {
  if (o.Notch && !TopologyHasFilter(o.Topology))
    return "--notch needs the filter: use it with --topology pinet-el-tch";
  if (o.Confirm && o.Engine != kEngineExact)
    return "--confirm sets the exact engine beside ngspice: leave out --engine ngspice";
  if (o.NoConfirm && !o.Tune) return "--no-confirm goes with --tune";
  if (o.CossM > 0.0 && o.CossVolts <= 0.0)
    return "--coss-m grades a capacitance given at a voltage: use --coss PF@V";
  return CheckDriveBand(o);
}

}  // namespace

void DefaultSimOptions(SimOptions& o) {
  o = SimOptions{};
  for (const NumberOption& n : kNumberOptions) o.*n.field = kDesignInputs[n.input].start;
  o.Topology = 0;
  o.Engine = kEngineExact;
}

int ParseSimOptions(int argc, const char* const* argv, SimOptions& o, std::string* error) {
  DefaultSimOptions(o);
  CLI::App app("tolvarin-sim");
  app.set_help_flag();
  bool help = false, notch = false, impedance = false, confirm = false, json = false;
  app.add_flag("-h,--help", help);
  std::deque<std::string> texts;
  std::deque<std::string> names; /* CLI11 keeps the name's characters */
  for (const NumberOption& n : kNumberOptions) {
    names.push_back(OptionName(n));
    Value(app, texts, names.back().c_str(),
          [&o, &n](std::string& v) { return CheckNumber(n, v, o); });
  }
  Value(app, texts, "--topology", [&o](std::string& v) { return CheckTopology(v, o); });
  Value(app, texts, "--engine", [&o](std::string& v) { return CheckEngine(v, o); });
  Value(app, texts, "--sweep", [&o](std::string& v) { return CheckSweep(v, o); });
  Value(app, texts, "--periods", [&o](std::string& v) { return CheckPeriods(v, o); });
  Value(app, texts, "--csv", [&o](std::string& v) { return CheckPath(v, o.CsvPath); });
  Value(app, texts, "--netlist", [&o](std::string& v) { return CheckPath(v, o.NetlistPath); });
  app.add_flag("--notch", notch);
  app.add_flag("--impedance", impedance);
  app.add_flag("--confirm", confirm);
  app.add_flag("--json", json);
  bool tune = false, noConfirm = false, diode = false;
  app.add_flag("--tune", tune);
  app.add_flag("--no-confirm", noConfirm);
  app.add_flag("--diode", diode);
  Value(app, texts, "--choke",
        [&o](std::string& v) { return CheckPositive(v, 1e7, " uH", &o.ChokeUh); });
  Value(app, texts, "--coss", [&o](std::string& v) { return CheckCoss(v, o); });
  Value(app, texts, "--coss-m",
        [&o](std::string& v) { return CheckPositive(v, 1.0, "", &o.CossM); });
  bool tolerance = false, sensitivity = false;
  app.add_flag("--tolerance", tolerance);
  app.add_flag("--sensitivity", sensitivity);
  Value(app, texts, "--design", [&o](std::string& v) { return CheckDesign(v, o); });
  Value(app, texts, "--samples", [&o](std::string& v) { return CheckSamples(v, o); });
  Value(app, texts, "--seed", [&o](std::string& v) { return CheckSeed(v, o); });
  for (const AnalysisNumber& n : kAnalysisNumbers)
    Value(app, texts, n.name, [&o, &n](std::string& v) { return CheckAnalysisNumber(n, v, o); });
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    /* --help wins over any other fault, as it did before the parse. */
    for (int i = 1; i < argc; i++)
      if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") return kOptionsHelp;
    *error = e.what();
    if (error->find("not expected") != std::string::npos) *error += " (see --help)";
    return kOptionsError;
  }
  if (help) return kOptionsHelp;
  o.Notch = notch;
  o.Impedance = impedance;
  o.Confirm = confirm;
  o.Json = json;
  o.Tune = tune;
  o.NoConfirm = noConfirm;
  o.Diode = diode;
  o.Tolerance = tolerance;
  o.Sensitivity = sensitivity;
  std::vector<std::string> toleranceOnly;
  for (const char* name :
       {"--samples", "--seed", "--cap-tol", "--coil-tol", "--ron-tol", "--vmax", "--pdev-max"})
    if (app.count(name) > 0) toleranceOnly.push_back(name);
  *error = CheckTogether(o);
  if (error->empty()) *error = CheckAnalysesTogether(o, toleranceOnly);
  if (o.CossVolts > 0.0 && o.CossM <= 0.0) o.CossM = kDefaultGrading;
  return error->empty() ? kOptionsRun : kOptionsError;
}

void DriveFrequencies(const SimOptions& o, std::vector<double>& mhz) {
  mhz.clear();
  if (!o.Sweep) {
    /* The design frequency as typed (3.8, not float's 3.79999995). */
    mhz.push_back(std::round(double(o.Freq) * 1e6) / 1e6);
    return;
  }
  /* Each point from the start, so rounding does not pile up; the end is
     included when the steps land on it. */
  const int count = static_cast<int>(std::floor((o.SweepTo - o.SweepFrom) / o.SweepStep + 1e-9));
  for (int i = 0; i <= count; i++) mhz.push_back(o.SweepFrom + i * o.SweepStep);
}

const char* EngineName(int engine) {
  return kEngineNames[engine];
}

std::string SimHelpText() {
  return "Usage: tolvarin-sim [options]\n"
         "Designs a class-E amplifier with the Tolvarin calculator's engine, finds the\n"
         "periodic steady state of the circuit and reports per drive frequency: output\n"
         "power, DC input power, drain efficiency, device dissipation, other losses,\n"
         "peak switch voltage, switch voltage at turn-on (ZVS error, fraction of the\n"
         "peak) and its slope, 2nd and 3rd harmonic at the load (dBc).\n"
         "\n"
         "Design inputs (default: the calculator's built-in example):\n"
         "  --freq MHZ        design frequency, 0.5 to 500 (3.8)\n"
         "  --power W         output power (2.5)\n"
         "  --vcc V           supply voltage (12)\n"
         "  --ql Q            loaded Q, 1.8 to 20 (2.5)\n"
         "  --rload OHM       load resistance (50)\n"
         "  --ron OHM         device on-resistance, 0 or more (0.2)\n"
         "Circuit:\n"
         "  --topology NAME   " +
         TopologyNameList() + " (" + Topology(0).Name +
         ")\n"
         "  --notch           second-harmonic trap in place of the filter's output\n"
         "                    capacitor (pinet-el-tch only)\n"
         "Engine:\n"
         "  --engine NAME     exact: the steady state solved from the circuit's\n"
         "                    equations (default); ngspice: a transient simulation\n"
         "                    until the last two periods agree\n"
         "  --confirm         the exact engine's figures and ngspice's side by side\n"
         "  --periods N       ngspice: simulate N drive periods, " +
         std::to_string(kMinPeriods) + " to " + std::to_string(kMaxPeriods) +
         "\n"
         "                    (default: until steady)\n"
         "Tuning and the device:\n"
         "  --tune            find the Cp1, Cs2 (or Cp2) and Ro that make the circuit as\n"
         "                    built switch at zero voltage and slope with the design\n"
         "                    power; show the parts to build and confirm with ngspice\n"
         "  --no-confirm      no ngspice runs of the tuned and built designs\n"
         "  --choke UH        hold the choke at UH (default: the designed one)\n"
         "  --coss PF[@V]     the device's output capacitance, linear, or graded as a\n"
         "                    junction from PF at V volts (Vj 0.7 V)\n"
         "  --coss-m M        the grading of --coss PF@V, 0 to 1 (0.5)\n"
         "  --diode           the device's body diode across the switch\n"
         "Analyses, at the design frequency:\n"
         "  --design NAME     " +
         AnalysisDesignNames() +
         ": the design the table and the\n"
         "                    analyses take (built with --tune, else calculator)\n"
         "  --tolerance       Monte Carlo over the parts' tolerances, each uniform:\n"
         "  --samples N       samples, 1 to " +
         std::to_string(kMaxSamples) +
         " (1000)\n"
         "  --seed N          the random sequence, a whole number (1)\n"
         "  --cap-tol PCT     every capacitor within +/- PCT %, 0 to 50 (5)\n"
         "  --coil-tol PCT    every coil within +/- PCT %, 0 to 50 (3)\n"
         "  --ron-tol PCT     Ron up to PCT % higher, 0 to 1000 (20)\n"
         "  --vmax V          the device's voltage rating (the calculator's Dev-BV)\n"
         "  --pdev-max W      also count the samples whose device stays under W\n"
         "  --mismatch VSWR   the load moved round that VSWR circle, 12 phases, 1 to " +
         std::to_string(static_cast<int>(kMaxVswr)) +
         "\n"
         "  --sensitivity     what +1 % of each coil, capacitor and Ron does to Pout,\n"
         "                    Vpk and the ZVS error, largest effect first\n"
         "Output:\n"
         "  --sweep A:B:STEP  drive frequencies from A to B MHz (default: the design\n"
         "                    frequency only, which also prints a plot of one period)\n"
         "  --impedance       also show the impedance the device sees (AC analysis)\n"
         "  --csv FILE        write one steady period of the waveforms per frequency\n"
         "  --netlist FILE    write the ngspice netlist of the first drive frequency;\n"
         "                    ngspice -b FILE runs it and prints the same figures\n"
         "  --json            one JSON document on standard output instead of the text\n"
         "  --help            show this text\n"
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
