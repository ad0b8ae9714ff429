/*
** option_table.cpp: the options of tolvarin-sim, their readers, and the
** help made from them.
**
** The design inputs take the calculator's start values and limits; a
** command line refuses what the calculator's entries would pull into
** range.  A row's High for an input is the simulator's own bound, where
** the calculator has none: beyond it the element values leave what
** ngspice resolves.
*/
#include "sim/cli/option_table.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

#include "app/design_inputs.h"
#include "sim/analysis/mismatch.h"
#include "sim/circuit/format.h"
#include "sim/circuit/topology_table.h"
#include "sim/cli/design_choice.h"
#include "sim/cli/device_option.h"
#include "sim/cli/number_text.h"
#include "sim/design/e24.h"
#include "sim/design/toroid_winding.h"
#include "sim/engine/drive.h"

namespace {

/* The most drive frequencies one sweep may ask for. */
const int kMaxSweepPoints = 201;

std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

Status ReadTopology(const std::string& text, SimOptions& o) {
  const int t = TopologyByName(text);
  if (t < 0)
    return Status::Failed("unknown topology " + Quote(text) + " (" + TopologyNameList() + ")");
  o.Design.Topology = t;
  return Status::Done();
}

std::string EngineNames() {
  std::string out;
  for (int e = 0; e < kEngineCount; e++) out += std::string(e ? ", " : "") + EngineName(e);
  return out;
}

Status ReadEngine(const std::string& text, SimOptions& o) {
  const int e = EngineByName(text.c_str());
  if (e < 0) return Status::Failed("unknown engine " + Quote(text) + " (" + EngineNames() + ")");
  o.Engine = e;
  return Status::Done();
}

/* "from:to:step" in MHz. */
Status ReadSweep(const std::string& text, SimOptions& o) {
  const size_t colon1 = text.find(':');
  const size_t colon2 = colon1 == std::string::npos ? colon1 : text.find(':', colon1 + 1);
  if (colon2 == std::string::npos || text.find(':', colon2 + 1) != std::string::npos)
    return Status::Failed(Quote(text) + " is not FROM:TO:STEP");
  const std::string parts[3] = {text.substr(0, colon1),
                                text.substr(colon1 + 1, colon2 - colon1 - 1),
                                text.substr(colon2 + 1)};
  double v[3];
  for (int i = 0; i < 3; i++)
    if (!ReadDecimal(parts[i], &v[i])) return Status::Failed(Quote(parts[i]) + " is not a number");
  if (v[0] < 0.05 || v[1] > 5000.0 || v[1] < v[0] || v[2] <= 0.0)
    return Status::Failed(text + " is out of range (0.05 <= FROM <= TO <= 5000 MHz, STEP > 0)");
  if ((v[1] - v[0]) / v[2] > kMaxSweepPoints - 1 + 1e-9)
    return Status::Failed(text + " is out of range (at most " + std::to_string(kMaxSweepPoints) +
                          " frequencies)");
  o.Sweep = true;
  o.SweepFrom = v[0];
  o.SweepTo = v[1];
  o.SweepStep = v[2];
  return Status::Done();
}

Status ReadPath(const std::string& text, std::string& path) {
  if (text.empty()) return Status::Failed("needs a file name");
  path = text;
  return Status::Done();
}

Status ReadCsvPath(const std::string& text, SimOptions& o) {
  return ReadPath(text, o.CsvPath);
}

Status ReadBomCsvPath(const std::string& text, SimOptions& o) {
  return ReadPath(text, o.BomCsvPath);
}

Status ReadTouchstonePath(const std::string& text, SimOptions& o) {
  return ReadPath(text, o.TouchstonePath);
}

/* The capacitors' Q, held as the float the design record keeps. */
Status ReadCapQ(const std::string& text, SimOptions& o) {
  double q = 0.0;
  if (!ReadDecimal(text, &q)) return Status::Failed(Quote(text) + " is not a number");
  if (!(q >= 1.0 && q <= 1e6)) return Status::Failed(text + " is out of range (1 to 1000000)");
  o.Design.CapQ = static_cast<float>(q);
  return Status::Done();
}

std::string CoilsOnNames() {
  std::string out;
  for (int i = 0; i < kCoilsOnCount; i++) out += std::string(i ? ", " : "") + CoilsOnName(i);
  return out;
}

Status ReadCoils(const std::string& text, SimOptions& o) {
  const int on = CoilsOnByName(text.c_str());
  if (on < 0) return Status::Failed("unknown " + Quote(text) + " (" + CoilsOnNames() + ")");
  o.Coils = on;
  return Status::Done();
}

Status ReadCore(const std::string& text, SimOptions& o) {
  const int core = CoreByName(text);
  if (core < 0) return Status::Failed("unknown core " + Quote(text) + " (" + CoreNameList() + ")");
  o.Core = core;
  return Status::Done();
}

Status ReadSeries(const std::string& text, SimOptions& o) {
  const int s = SeriesByName(text);
  if (s < 0)
    return Status::Failed("series " + Quote(text) + " is not offered (" + SeriesNameList() + ")");
  o.Series = s;
  return Status::Done();
}

std::string MaskNames() {
  return "fcc, none, or DBC (a flat limit, dB below the fundamental)";
}

/* "fcc", "none" or a flat limit in dB below the fundamental. */
Status ReadMask(const std::string& text, SimOptions& o) {
  if (text == "fcc" || text == "none") {
    o.Mask = MaskChoice{text == "fcc" ? kMaskFcc : kMaskNone, 0.0};
    return Status::Done();
  }
  double db = 0.0;
  if (!ReadDecimal(text, &db))
    return Status::Failed("unknown mask " + Quote(text) + " (" + MaskNames() + ")");
  if (!(db > 0.0 && db <= 200.0))
    return Status::Failed(text + " is out of range (above 0, at most 200 dB)");
  o.Mask = MaskChoice{kMaskFlat, db};
  return Status::Done();
}

Status ReadNetlistPath(const std::string& text, SimOptions& o) {
  return ReadPath(text, o.NetlistPath);
}

Status ReadPlotDir(const std::string& text, SimOptions& o) {
  return ReadPath(text, o.PlotDir);
}

Status ReadReportPath(const std::string& text, SimOptions& o) {
  return ReadPath(text, o.ReportPath);
}

/* "PF" or "PF@V": the device's output capacitance, linear or graded
   from that datasheet point. */
Status ReadCoss(const std::string& text, SimOptions& o) {
  const size_t at = text.find('@');
  double pf = 0.0, volts = 0.0;
  if (!ReadDecimal(text.substr(0, at), &pf) ||
      (at != std::string::npos && !ReadDecimal(text.substr(at + 1), &volts)))
    return Status::Failed(Quote(text) + " is not PF or PF@V");
  /* From the smallest capacitor the simulator takes, so that a value
     typed is never read as none. */
  if (!(pf >= 1e-7) || pf > 1e6 || (at != std::string::npos && !(volts > 0.0 && volts <= 1e4)))
    return Status::Failed(text + " is out of range (1e-7 to 1e6 pF; V above 0, at most 1e4)");
  o.CossPf = pf;
  o.CossVolts = at == std::string::npos ? 0.0 : volts;
  return Status::Done();
}

Status ReadDesignChoice(const std::string& text, SimOptions& o) {
  o.Analysed = DesignChoiceByName(text);
  if (o.Analysed < 0)
    return Status::Failed("unknown design " + Quote(text) + " (" + DesignChoiceNames() + ")");
  return Status::Done();
}

Status ReadSeed(const std::string& text, SimOptions& o) {
  std::uint64_t v = 0;
  if (!ReadWhole(text, &v))
    return Status::Failed(Quote(text) + " is not a whole number from 0 to 2^64 - 1");
  o.Seed = v;
  return Status::Done();
}

}  // namespace

const OptionRow kOptionRows[] = {
    {.Group = "Design inputs (default: the calculator's built-in example):",
     .Name = "--freq",
     .Value = "MHZ",
     .Kind = kOptInput,
     .Help = "design frequency",
     .Input = kInputFreq,
     .High = 500.0},
    {.Name = "--power",
     .Value = "W",
     .Kind = kOptInput,
     .Help = "output power",
     .Input = kInputPower,
     .High = 1e5},
    {.Name = "--vcc",
     .Value = "V",
     .Kind = kOptInput,
     .Help = "supply voltage",
     .Input = kInputVcc,
     .High = 1e4},
    {.Name = "--ql",
     .Value = "Q",
     .Kind = kOptInput,
     .Help = "loaded Q",
     .Input = kInputQL,
     .High = 20.0},
    {.Name = "--rload",
     .Value = "OHM",
     .Kind = kOptInput,
     .Help = "load resistance",
     .Input = kInputRload,
     .High = 1e6},
    {.Name = "--ron",
     .Value = "OHM",
     .Kind = kOptInput,
     .Help = "device on-resistance",
     .Input = kInputRon,
     .High = 1e3},
    {.Group = "Circuit:",
     .Name = "--topology",
     .Value = "NAME",
     .Kind = kOptText,
     .Help = "the output network",
     .Read = ReadTopology,
     .Default = "basic",
     .Choices = TopologyNameList},
    {.Name = "--notch",
     .Kind = kOptFlag,
     .Help = "second-harmonic trap in place of the filter's output capacitor "
             "(pinet-el-tch only)",
     .DesignFlag = &DesignRequest::Notch},
    {.Group = "Engine:",
     .Name = "--engine",
     .Value = "NAME",
     .Kind = kOptText,
     .Help = "exact: the steady state solved from the circuit's equations; ngspice: a "
             "transient simulation until the last two periods agree",
     .Read = ReadEngine,
     .Default = "exact"},
    {.Name = "--confirm",
     .Kind = kOptFlag,
     .Help = "the exact engine's figures and ngspice's side by side",
     .Flag = &SimOptions::Confirm},
    {.Name = "--periods",
     .Value = "N",
     .Kind = kOptWhole,
     .Help = "ngspice: simulate N drive periods",
     .Whole = &SimOptions::Periods,
     .Low = 3,
     .High = 4000,
     .DefaultNote = "until steady"},
    {.Group = "Tuning and the device:",
     .Name = "--tune",
     .Kind = kOptFlag,
     .Help = "find the Cp1, Cs2 (or Cp2) and Ro that make the circuit as built switch at "
             "zero voltage and slope with the design power; show the parts to build and "
             "confirm with ngspice",
     .Flag = &SimOptions::Tune},
    {.Name = "--no-confirm",
     .Kind = kOptFlag,
     .Help = "no ngspice runs of the tuned and built designs",
     .Flag = &SimOptions::NoConfirm,
     .Needs = "--tune"},
    /* The lowest choke is the lowest coil the simulator takes, so that a
       value typed is never read as no choke. */
    {.Name = "--choke",
     .Value = "UH",
     .Kind = kOptNumber,
     .Help = "hold the choke at UH",
     .Number = &SimOptions::ChokeUh,
     .Low = 1e-11,
     .High = 1e7,
     .DefaultNote = "the designed one"},
    {.Name = "--choke-rdc",
     .Value = "OHM",
     .Kind = kOptNumber,
     .Help = "a bought choke's DC resistance, from its datasheet",
     .Number = &SimOptions::ChokeRdc,
     .High = 1e4,
     .LowOpen = true,
     .DefaultNote = "as the coil model winds it"},
    {.Name = "--choke-q",
     .Value = "Q",
     .Kind = kOptNumber,
     .Help = "a bought choke's Q at the design frequency (a ferrite or iron-powder choke)",
     .Number = &SimOptions::ChokeQ,
     .Low = 1.0,
     .High = 1e5,
     .DefaultNote = "as wound"},
    {.Name = "--coss",
     .Value = "PF[@V]",
     .Kind = kOptText,
     .Help = "the device's output capacitance, linear, or graded as a junction from PF at "
             "V volts (Vj 0.7 V)",
     .Read = ReadCoss},
    {.Name = "--coss-m",
     .Value = "M",
     .Kind = kOptNumber,
     .Help = "the grading of --coss PF@V",
     .Number = &SimOptions::CossM,
     .High = 1.0,
     .LowOpen = true,
     .Default = "0.5"},
    {.Name = "--diode",
     .Kind = kOptFlag,
     .Help = "the device's body diode across the switch",
     .Flag = &SimOptions::Diode},
    {.Name = "--device",
     .Value = "NAME|FILE",
     .Kind = kOptText,
     .Help = "the transistor: a part of the library, or a JSON device file (see the README); "
             "its Ron, Coss, body diode, edges and heat go into the circuit, and --ron, "
             "--coss and --edge-ns override them; --device list shows the library",
     .Read = ReadDeviceOption},
    {.Name = "--no-diode",
     .Kind = kOptFlag,
     .Help = "leave the body diode of --device out",
     .Flag = &SimOptions::NoDiode},
    {.Name = "--edge-ns",
     .Value = "NS",
     .Kind = kOptNumber,
     .Help = "the switch's turn-on and turn-off time, a linear ramp of its conductance",
     .Number = &SimOptions::EdgeNs,
     .High = 1e6,
     .DefaultNote = "the mean of the device's rise and fall times, else 0.5 % of a period"},
    {.Name = "--duty",
     .Value = "D",
     .Kind = kOptNumber,
     .Help = "the share of each period the switch is driven on",
     .Number = &SimOptions::Duty,
     .Low = 0.25,
     .High = 0.75,
     .Default = "0.5"},
    {.Name = "--rth",
     .Value = "K/W",
     .Kind = kOptNumber,
     .Help = "the device's thermal resistance from junction to ambient",
     .Number = &SimOptions::Rth,
     .High = 1e4,
     .LowOpen = true,
     .DefaultNote = "the device's RthJC plus 5 K/W for a washer and a small heatsink, or its "
                    "RthJA"},
    {.Name = "--ambient",
     .Value = "C",
     .Kind = kOptNumber,
     .Help = "the ambient temperature",
     .Number = &SimOptions::Ambient,
     .Low = -55.0,
     .High = 150.0,
     .Default = "25"},
    {.Group = "Analyses, at the design frequency:",
     .Name = "--design",
     .Value = "NAME",
     .Kind = kOptText,
     .Help = "the design the table and the analyses take",
     .Read = ReadDesignChoice,
     .DefaultNote = "built with --tune, else calculator",
     .Choices = DesignChoiceNames},
    {.Name = "--tolerance",
     .Kind = kOptFlag,
     .Help = "Monte Carlo over the parts' tolerances, each uniform:",
     .Flag = &SimOptions::Tolerance},
    {.Name = "--samples",
     .Value = "N",
     .Kind = kOptWhole,
     .Help = "samples",
     .Whole = &SimOptions::Samples,
     .Low = 1,
     .High = 100000,
     .Default = "1000",
     .Needs = "--tolerance"},
    {.Name = "--seed",
     .Value = "N",
     .Kind = kOptText,
     .Help = "the random sequence, a whole number",
     .Read = ReadSeed,
     .Default = "1",
     .Needs = "--tolerance"},
    {.Name = "--cap-tol",
     .Value = "PCT",
     .Kind = kOptNumber,
     .Help = "every capacitor within +/- PCT %",
     .Number = &SimOptions::CapTol,
     .High = 50.0,
     .Default = "5",
     .Needs = "--tolerance"},
    {.Name = "--coil-tol",
     .Value = "PCT",
     .Kind = kOptNumber,
     .Help = "every coil within +/- PCT % (a toroid coil: its core's AL tolerance)",
     .Number = &SimOptions::CoilTol,
     .High = 50.0,
     .Default = "3",
     .Needs = "--tolerance"},
    {.Name = "--ron-tol",
     .Value = "PCT",
     .Kind = kOptNumber,
     .Help = "Ron up to PCT % higher",
     .Number = &SimOptions::RonTol,
     .High = 1000.0,
     .Default = "20",
     .Needs = "--tolerance"},
    {.Name = "--coss-tol",
     .Value = "PCT",
     .Kind = kOptNumber,
     .Help = "the device's output capacitance within +/- PCT % (its spread between parts)",
     .Number = &SimOptions::CossTol,
     .High = 90.0,
     .Default = "0",
     .Needs = "--tolerance"},
    {.Name = "--vmax",
     .Value = "V",
     .Kind = kOptNumber,
     .Help = "the device's voltage rating",
     .Number = &SimOptions::Vmax,
     .High = 1e5,
     .LowOpen = true,
     .DefaultNote = "the calculator's Dev-BV",
     .Needs = "--tolerance"},
    {.Name = "--pdev-max",
     .Value = "W",
     .Kind = kOptNumber,
     .Help = "also count the samples whose device stays under W",
     .Number = &SimOptions::PdevMax,
     .High = 1e6,
     .LowOpen = true,
     .Needs = "--tolerance"},
    {.Name = "--mismatch",
     .Value = "VSWR",
     .Kind = kOptNumber,
     .Help = "the load moved round that VSWR circle, 12 phases",
     .Number = &SimOptions::Mismatch,
     .Low = 1.0,
     .High = kMaxVswr},
    {.Name = "--sensitivity",
     .Kind = kOptFlag,
     .Help = "what +1 % of each coil, capacitor and Ron does to Pout, Vpk and the ZVS error, "
             "largest effect first",
     .Flag = &SimOptions::Sensitivity},
    {.Group = "What to build, and whether it is legal:",
     .Name = "--bom",
     .Kind = kOptFlag,
     .Help = "the bill of materials: every part's value, what to buy or wind, its peak "
             "voltage, RMS current and dissipation at the design frequency",
     .Flag = &SimOptions::Bom},
    {.Name = "--bom-csv",
     .Value = "FILE",
     .Kind = kOptText,
     .Help = "write the bill of materials as CSV",
     .Read = ReadBomCsvPath},
    {.Name = "--coils",
     .Value = "NAME",
     .Kind = kOptText,
     .Help = "the coils wound on air as the calculator winds them, or each coil and the "
             "choke on the smallest listed toroid core for the design frequency that takes "
             "its wire (iron powder mix 2 or 6), whole turns from the core's AL, the wire "
             "sized for the coil's RMS current",
     .Read = ReadCoils,
     .Default = "air",
     .Choices = CoilsOnNames},
    {.Name = "--core",
     .Value = "NAME",
     .Kind = kOptText,
     .Help = "wind every coil on this core (toroid coils)",
     .Read = ReadCore,
     .DefaultNote = "the smallest that serves",
     .Choices = CoreNameList},
    {.Name = "--coil-q",
     .Value = "Q",
     .Kind = kOptNumber,
     .Help = "a toroid coil's Q at the design frequency",
     .Number = &SimOptions::CoilQ,
     .High = 1e5,
     .LowOpen = true,
     .DefaultNote = "100: no published figure at hand"},
    {.Name = "--cap-q",
     .Value = "Q",
     .Kind = kOptText,
     .Help = "every capacitor's Q at the design frequency, 1 to 1000000 (class-1 ceramic, "
             "C0G/NP0, is specified to a dissipation factor of 0.1 %, Q 1000, at 1 MHz)",
     .Read = ReadCapQ,
     .Default = "500"},
    {.Name = "--series",
     .Value = "NAME",
     .Kind = kOptText,
     .Help = "the preferred-number series capacitors are bought from",
     .Read = ReadSeries,
     .Default = "E24",
     .Choices = SeriesNameList},
    {.Name = "--mask",
     .Value = "NAME",
     .Kind = kOptText,
     .Help = "the limit H2 to H10 at the load are held to",
     .Read = ReadMask,
     .Default = "fcc",
     .Choices = MaskNames},
    {.Name = "--touchstone",
     .Value = "FILE",
     .Kind = kOptText,
     .Help = "write the output network (switch node with Cp1 to the load) as a Touchstone 1.1 "
             "two-port, over the sweep's frequencies or 0.25 to 10 times the design frequency",
     .Read = ReadTouchstonePath},
    {.Name = "--touchstone-ref",
     .Value = "OHM",
     .Kind = kOptNumber,
     .Help = "the Touchstone file's reference resistance",
     .Number = &SimOptions::TouchstoneRef,
     .Low = 0.001,
     .High = 1e6,
     .Default = "50"},
    {.Group = "Output:",
     .Name = "--sweep",
     .Value = "A:B:STEP",
     .Kind = kOptText,
     .Help = "drive frequencies from A to B MHz",
     .Read = ReadSweep,
     .DefaultNote = "the design frequency only, which also prints a plot of one period"},
    {.Name = "--impedance",
     .Kind = kOptFlag,
     .Help = "also show the impedance the device sees (AC analysis)",
     .Flag = &SimOptions::Impedance},
    {.Name = "--schematic",
     .Kind = kOptFlag,
     .Help = "also draw the circuit's schematic, every part with its name and value",
     .Flag = &SimOptions::Schematic},
    {.Name = "--csv",
     .Value = "FILE",
     .Kind = kOptText,
     .Help = "write one steady period of the waveforms per frequency",
     .Read = ReadCsvPath},
    {.Name = "--netlist",
     .Value = "FILE",
     .Kind = kOptText,
     .Help = "write the ngspice netlist of the first drive frequency; ngspice -b FILE runs it "
             "and prints the same figures",
     .Read = ReadNetlistPath},
    {.Name = "--plot",
     .Value = "DIR",
     .Kind = kOptText,
     .Help = "write SVG plots into DIR (made when missing): waveforms.svg, spectrum.svg, "
             "schematic.svg; sweep.svg, tolerance.svg, mismatch.svg with their runs",
     .Read = ReadPlotDir},
    {.Name = "--report",
     .Value = "FILE.html",
     .Kind = kOptText,
     .Help = "write the design report as one self-contained HTML page: the inputs, the "
             "schematic, the tables, the plots and the warnings",
     .Read = ReadReportPath},
    {.Name = "--json",
     .Kind = kOptFlag,
     .Help = "one JSON document on standard output instead of the text",
     .Flag = &SimOptions::Json},
    {.Name = "--version",
     .Kind = kOptFlag,
     .Help = "show the version",
     .Flag = &SimOptions::Version},
    {.Name = "--help", .Kind = kOptFlag, .Help = "show this text", .Flag = &SimOptions::Help},
};

const int kOptionRowCount = sizeof kOptionRows / sizeof kOptionRows[0];

namespace {

/* The range a number of row r must be in. */
void Range(const OptionRow& r, double* low, double* high, bool* lowOpen) {
  *low = r.Low;
  *high = r.High;
  *lowOpen = r.LowOpen;
  if (r.Kind == kOptInput) {
    const DesignInputSpec& in = kDesignInputs[r.Input];
    *low = in.low;
    *high = std::min(double(in.high), r.High);
    *lowOpen = in.rule == kAboveLow;
  }
}

std::string RangeText(const OptionRow& r) {
  double low, high;
  bool lowOpen;
  Range(r, &low, &high, &lowOpen);
  return lowOpen ? Format("above %.10g, at most %.10g", low, high)
                 : Format("%.10g to %.10g", low, high);
}

/* A decimal number of row r within its range.  A design input is
   checked as the float the calculator will hold: 1e-46 W is 0 W there. */
Status ReadRanged(const OptionRow& r, const std::string& text, double* v) {
  if (!ReadDecimal(text, v)) return Status::Failed(Quote(text) + " is not a number");
  if (r.Kind == kOptInput) *v = double(static_cast<float>(*v));
  if (*v == 0.0) *v = 0.0; /* -0 is 0: no report should print "-0" */
  double low, high;
  bool lowOpen;
  Range(r, &low, &high, &lowOpen);
  const bool whole = r.Kind == kOptWhole;
  if ((whole && *v != std::floor(*v)) || !(lowOpen ? *v > low : *v >= low) || *v > high)
    return Status::Failed(text + " is out of range (" + (whole ? "a whole number, " : "") +
                          RangeText(r) + ")");
  return Status::Done();
}

Status ReadValue(const OptionRow& r, const std::string& text, SimOptions& o) {
  double v = 0.0;
  switch (r.Kind) {
    case kOptFlag: assert(!"a flag has no value"); return Status::Failed("takes no value");
    case kOptText: return r.Read(text, o);
    case kOptInput:
    case kOptNumber:
    case kOptWhole: {
      const Status st = ReadRanged(r, text, &v);
      if (!st.Ok()) return st;
      if (r.Kind == kOptInput) o.Design.*kRequestInputs[r.Input] = static_cast<float>(v);
      if (r.Kind == kOptNumber) o.*r.Number = v;
      if (r.Kind == kOptWhole) o.*r.Whole = static_cast<int>(v);
      return Status::Done();
    }
  }
  return Status::Failed("unknown kind of option");
}

/* The help's text of a row after the option's name: what it does, the
   names it takes, its range and its default. */
std::string HelpBody(const OptionRow& r) {
  std::string text = r.Help;
  if (r.Choices) text += ": " + r.Choices();
  if (r.Kind == kOptInput || r.Kind == kOptNumber || r.Kind == kOptWhole)
    text += ", " + RangeText(r);
  if (r.Kind == kOptInput) text += Format(" (%g)", double(kDesignInputs[r.Input].start));
  if (r.Default) text += std::string(" (") + r.Default + ")";
  if (r.DefaultNote) text += std::string(" (default: ") + r.DefaultNote + ")";
  return text;
}

/* "  --name VALUE" in 20 columns, then the body wrapped at 80. */
std::string HelpLines(const OptionRow& r) {
  const int kIndent = 20, kWidth = 80;
  std::string head = std::string("  ") + r.Name + (r.Value ? std::string(" ") + r.Value : "");
  std::string out, line = head.size() < size_t(kIndent) ? head : head + "\n";
  if (head.size() >= size_t(kIndent)) {
    out = line;
    line.clear();
  }
  line.resize(kIndent, ' ');
  const std::string body = HelpBody(r);
  size_t at = 0;
  bool first = true;
  while (at < body.size()) {
    size_t end = body.find(' ', at);
    if (end == std::string::npos) end = body.size();
    const std::string word = body.substr(at, end - at);
    if (!first && line.size() + 1 + word.size() > size_t(kWidth)) {
      out += line + "\n";
      line = std::string(kIndent, ' ');
      first = true;
    }
    line += (first ? "" : " ") + word;
    first = false;
    at = end + 1;
  }
  return out + line + "\n";
}

}  // namespace

const OptionRow* FindOption(const std::string& name) {
  for (const OptionRow& r : kOptionRows)
    if (name == r.Name) return &r;
  return nullptr;
}

Status ReadOption(const OptionRow& r, const std::string& text, SimOptions& o) {
  const Status st = ReadValue(r, text, o);
  if (st.Ok()) return st;
  return Status::Failed(std::string(r.Name) + ": " + st.Why());
}

void DefaultOptions(SimOptions& o) {
  o = SimOptions{};
  o.Design = ExampleRequest();
  o.Engine = kEngineExact;
  o.Analysed = -1;
  for (const OptionRow& r : kOptionRows)
    if (r.Default) {
      const Status st = ReadValue(r, r.Default, o);
      assert(st.Ok() && "a default within its own range");
      (void)st;
    }
}

std::string OptionsHelp() {
  std::string out;
  for (const OptionRow& r : kOptionRows) {
    if (r.Group) out += std::string(r.Group) + "\n";
    out += HelpLines(r);
  }
  return out;
}
