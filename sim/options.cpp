/*
** options.cpp: the command line of tolvarin-sim.  Each option is
** "--name value" or "--name=value"; every fault (unknown option, missing
** value, not a number, out of range) is one line naming the option, and
** the caller exits with status 2.
**
** The limits of Freq and QL are the calculator's entry limits; the other
** inputs only have to be positive (Ron may be zero) and finite.
*/
#include "sim/options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kTopologyNames[kSimTopologyCount] = {"basic", "basic-el", "pinet", "pinet-el",
                                                       "pinet-el-tch"};
const char* const kTopologyTitles[kSimTopologyCount] = {"BASIC", "BASIC+EL", "PINET", "PINET+EL",
                                                        "PINET+EL+TCH"};

/* The most drive frequencies one sweep may ask for. */
const int kMaxSweepPoints = 201;

/* One numeric option: where it goes and what it may hold.  A bound that
   is not inclusive must be exceeded (lowOpen: value > low). */
struct NumberOption {
  const char* name;
  float SimOptions::*field;
  double low, high;
  bool lowOpen;
};

const NumberOption kNumberOptions[] = {
    {"--freq", &SimOptions::Freq, 0.5, 500.0, false},
    {"--power", &SimOptions::Power, 0.0, 1e5, true},
    {"--vcc", &SimOptions::Vcc, 0.0, 1e4, true},
    {"--ql", &SimOptions::QL, 1.8, 20.0, false},
    {"--rload", &SimOptions::Rload, 0.0, 1e6, true},
    {"--ron", &SimOptions::Ron, 0.0, 1e3, false},
};

std::string Quote(const char* s) {
  return std::string("'") + s + "'";
}

/* A whole argument that is a finite number. */
bool ToNumber(const char* text, double* value) {
  if (text[0] == '\0') return false;
  char* end = nullptr;
  *value = std::strtod(text, &end);
  return *end == '\0' && std::isfinite(*value);
}

std::string RangeText(const NumberOption& n) {
  char buf[96];
  if (n.lowOpen)
    std::snprintf(buf, sizeof buf, "above %g, at most %g", n.low, n.high);
  else
    std::snprintf(buf, sizeof buf, "%g to %g", n.low, n.high);
  return buf;
}

bool SetNumber(const NumberOption& n, const char* text, SimOptions& o, std::string* error) {
  double v = 0.0;
  if (!ToNumber(text, &v)) {
    *error = std::string(n.name) + ": " + Quote(text) + " is not a number";
    return false;
  }
  const bool low = n.lowOpen ? v > n.low : v >= n.low;
  if (!low || v > n.high) {
    *error = std::string(n.name) + " " + text + " is out of range (" + RangeText(n) + ")";
    return false;
  }
  o.*n.field = static_cast<float>(v);
  return true;
}

bool SetTopology(const char* text, SimOptions& o, std::string* error) {
  for (int t = 0; t < kSimTopologyCount; t++)
    if (std::strcmp(text, kTopologyNames[t]) == 0) {
      o.Topology = t;
      return true;
    }
  *error = std::string("--topology: unknown topology ") + Quote(text) +
           " (basic, basic-el, pinet, pinet-el, pinet-el-tch)";
  return false;
}

/* "from:to:step" in MHz. */
bool SetSweep(const char* text, SimOptions& o, std::string* error) {
  const char* colon1 = std::strchr(text, ':');
  const char* colon2 = colon1 ? std::strchr(colon1 + 1, ':') : nullptr;
  if (!colon2 || std::strchr(colon2 + 1, ':')) {
    *error = std::string("--sweep: ") + Quote(text) + " is not FROM:TO:STEP";
    return false;
  }
  std::string parts[3] = {std::string(text, colon1), std::string(colon1 + 1, colon2),
                          std::string(colon2 + 1)};
  double v[3];
  for (int i = 0; i < 3; i++)
    if (!ToNumber(parts[i].c_str(), &v[i])) {
      *error = std::string("--sweep: ") + Quote(parts[i].c_str()) + " is not a number";
      return false;
    }
  if (v[0] < 0.05 || v[1] > 5000.0 || v[1] < v[0] || v[2] <= 0.0) {
    *error = std::string("--sweep ") + text +
             " is out of range (0.05 <= FROM <= TO <= 5000 MHz, STEP > 0)";
    return false;
  }
  if ((v[1] - v[0]) / v[2] > kMaxSweepPoints - 1 + 1e-9) {
    *error = std::string("--sweep ") + text + " is out of range (at most " +
             std::to_string(kMaxSweepPoints) + " frequencies)";
    return false;
  }
  o.Sweep = 1;
  o.SweepFrom = v[0];
  o.SweepTo = v[1];
  o.SweepStep = v[2];
  return true;
}

bool SetPeriods(const char* text, SimOptions& o, std::string* error) {
  double v = 0.0;
  if (!ToNumber(text, &v)) {
    *error = std::string("--periods: ") + Quote(text) + " is not a number";
    return false;
  }
  if (v != std::floor(v) || v < 3.0 || v > 20000.0) {
    *error = std::string("--periods ") + text + " is out of range (a whole number, 3 to 20000)";
    return false;
  }
  o.Periods = static_cast<int>(v);
  return true;
}

bool SetPath(const char* name, const char* text, std::string& path, std::string* error) {
  if (text[0] == '\0') {
    *error = std::string(name) + " needs a file name";
    return false;
  }
  path = text;
  return true;
}

/* The options that take a value; returns false with *error set. */
bool SetValue(const std::string& name, const char* value, SimOptions& o, std::string* error) {
  for (const NumberOption& n : kNumberOptions)
    if (name == n.name) return SetNumber(n, value, o, error);
  if (name == "--topology") return SetTopology(value, o, error);
  if (name == "--sweep") return SetSweep(value, o, error);
  if (name == "--periods") return SetPeriods(value, o, error);
  if (name == "--csv") return SetPath("--csv", value, o.CsvPath, error);
  return SetPath("--netlist", value, o.NetlistPath, error);
}

bool TakesValue(const std::string& name) {
  for (const NumberOption& n : kNumberOptions)
    if (name == n.name) return true;
  return name == "--topology" || name == "--sweep" || name == "--periods" || name == "--csv" ||
         name == "--netlist";
}

}  // namespace

void DefaultSimOptions(SimOptions& o) {
  o = SimOptions{};
  o.Freq = 3.8f;
  o.Power = 2.5f;
  o.Vcc = 12.0f;
  o.QL = 2.5f;
  o.Rload = 50.0f;
  o.Ron = 0.2f;
  o.Topology = kSimBasic;
}

int ParseSimOptions(int argc, const char* const* argv, SimOptions& o, std::string* error) {
  DefaultSimOptions(o);
  for (int i = 1; i < argc; i++) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") return kOptionsHelp;
    if (arg == "--notch") {
      o.Notch = 1;
      continue;
    }
    if (arg == "--impedance") {
      o.Impedance = 1;
      continue;
    }
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    if (!TakesValue(name)) {
      *error = "unknown option " + Quote(arg.c_str()) + " (see --help)";
      return kOptionsError;
    }
    std::string value;
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      *error = name + " needs a value";
      return kOptionsError;
    }
    if (!SetValue(name, value.c_str(), o, error)) return kOptionsError;
  }
  if (o.Notch && o.Topology != kSimPinetElTch) {
    *error = "--notch needs the filter: use it with --topology pinet-el-tch";
    return kOptionsError;
  }
  return kOptionsRun;
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

const char* TopologyOptionName(int topology) {
  return kTopologyNames[topology];
}
const char* TopologyTitle(int topology) {
  return kTopologyTitles[topology];
}

const char* SimHelpText() {
  return "Usage: tolvarin-sim [options]\n"
         "Designs a class-E amplifier with the Tolvarin calculator's engine, simulates\n"
         "it with ngspice (transient, until the last two periods agree) and reports\n"
         "per drive frequency: output power, DC input power, drain efficiency, device\n"
         "dissipation, other losses, peak switch voltage, switch voltage at turn-on\n"
         "(ZVS error, fraction of the peak), 2nd and 3rd harmonic at the load (dBc).\n"
         "\n"
         "Design inputs (default: the calculator's built-in example):\n"
         "  --freq MHZ        design frequency, 0.5 to 500 (3.8)\n"
         "  --power W         output power (2.5)\n"
         "  --vcc V           supply voltage (12)\n"
         "  --ql Q            loaded Q, 1.8 to 20 (2.5)\n"
         "  --rload OHM       load resistance (50)\n"
         "  --ron OHM         device on-resistance, 0 or more (0.2)\n"
         "Circuit:\n"
         "  --topology NAME   basic, basic-el, pinet, pinet-el, pinet-el-tch (basic)\n"
         "  --notch           second-harmonic trap in place of the filter's output\n"
         "                    capacitor (pinet-el-tch only)\n"
         "Simulation and output:\n"
         "  --sweep A:B:STEP  drive frequencies from A to B MHz (default: the design\n"
         "                    frequency only, which also prints a plot of one period)\n"
         "  --periods N       simulate N drive periods (default: until steady)\n"
         "  --impedance       also show the impedance the device sees (AC analysis)\n"
         "  --csv FILE        write one steady period of the waveforms per frequency\n"
         "  --netlist FILE    write the netlist of the first drive frequency\n"
         "  --help            show this text\n"
         "\n"
         "Options take their value as the next argument or after '='.  Bad options\n"
         "end the program with status 2; a failed simulation with status 1.\n";
}
