/*
** sim_netlist_test.cpp: the netlists of tolvarin-sim read back line by
** line: which elements each topology has, their values against the
** design record, the loss resistors against X / Q worked out here, the
** drive pulse and the run length.  That the elements are connected into
** the right circuit is checked by simulation in sim_ngspice_test.
*/
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/circuit/topology_table.h"
#include "sim/cli/options.h"
#include "sim/design/calculator_circuit.h"
#include "sim/engine/netlist.h"
#include "tests/sim_example.h"
#include "tests/test_support.h"

namespace {

const int kSimBasic = TopologyByName("basic");
const int kSimBasicEl = TopologyByName("basic-el");
const int kSimPinet = TopologyByName("pinet");
const int kSimPinetEl = TopologyByName("pinet-el");
const int kSimPinetElTch = TopologyByName("pinet-el-tch");

/* The netlists of the design's circuit in a topology. */
void BuildTransientNetlist(const DesignState& s, int topology, int notch, double hz, int periods,
                           std::vector<std::string>& lines) {
  Circuit c;
  BuildCircuit(s, topology, notch, kPowerCircuit, c);
  BuildTransientNetlist(c, hz, periods, lines);
}

void BuildAcNetlist(const DesignState& s, int topology, int notch, bool lossless, double from,
                    double to, int points, std::vector<std::string>& lines) {
  Circuit c;
  BuildCircuit(s, topology, notch, kNetworkOnly, c);
  if (lossless) DropLosses(c);
  BuildAcNetlist(c, from, to, points, lines);
}

double LoadResistance(const DesignState& s, int topology) {
  Circuit c;
  BuildCircuit(s, topology, 0, kPowerCircuit, c);
  return LoadResistance(c);
}

struct Element {
  std::vector<std::string> fields; /* name, nodes, value, parameters */
};

/* A SPICE number with its scale suffix, read independently of the
   writer. */
double Number(const std::string& text) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  std::string suffix(end);
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::map<std::string, double> scale = {{"", 1.0},   {"f", 1e-15}, {"p", 1e-12},
                                               {"n", 1e-9}, {"u", 1e-6},  {"m", 1e-3},
                                               {"k", 1e3},  {"meg", 1e6}, {"g", 1e9}};
  const auto it = scale.find(suffix);
  return it == scale.end() ? NAN : v * it->second;
}

/* Element lines by name (comments, title and dot-lines left out). */
std::map<std::string, Element> Elements(const std::vector<std::string>& lines) {
  std::map<std::string, Element> out;
  for (size_t i = 1; i < lines.size(); i++) {
    if (lines[i].empty() || lines[i][0] == '*' || lines[i][0] == '.') continue;
    std::istringstream in(lines[i]);
    Element e;
    std::string f;
    while (in >> f) e.fields.push_back(f);
    out[e.fields[0]] = e;
  }
  return out;
}

double Value(const std::map<std::string, Element>& e, const std::string& name) {
  const auto it = e.find(name);
  if (it == e.end()) return NAN;
  const std::vector<std::string>& f = it->second.fields;
  return Number(f[3] == "DC" ? f[4] : f[3]);
}

/* The IC=... parameter of an element. */
double Initial(const std::map<std::string, Element>& e, const std::string& name) {
  const auto it = e.find(name);
  if (it == e.end()) return NAN;
  for (const std::string& f : it->second.fields)
    if (f.rfind("IC=", 0) == 0) return Number(f.substr(3));
  return NAN;
}

std::set<std::string> Reactive(const std::map<std::string, Element>& e) {
  std::set<std::string> out;
  for (const auto& [name, element] : e)
    if ((name[0] == 'L' || name[0] == 'C') && name[1] != 'e') out.insert(name);
  return out;
}

/* The built-in example, or with its loaded Q and load changed. */
DesignState Design(float ql = 0.0f, float rload = 0.0f) {
  return ExampleWith([ql, rload](DesignRequest& r) {
    if (ql > 0.0f) r.QL = ql;
    if (rload > 0.0f) r.Rload = rload;
  });
}

std::string Dot(const std::vector<std::string>& lines, const char* start) {
  for (const std::string& l : lines)
    if (l.rfind(start, 0) == 0) return l;
  return "";
}

TEST(SimNetlist, SpiceNumbersCarryTheirScale) {
  EXPECT_EQ(SpiceNumber(2.63e-6), "2.63u");
  EXPECT_EQ(SpiceNumber(1.6887e-9), "1.6887n");
  EXPECT_EQ(SpiceNumber(367.1e-12), "367.1p");
  EXPECT_EQ(SpiceNumber(25.12), "25.12");
  EXPECT_EQ(SpiceNumber(4.7e3), "4.7k");
  EXPECT_EQ(SpiceNumber(1e6), "1meg");
  EXPECT_EQ(SpiceNumber(-0.5), "-500m");
  EXPECT_EQ(SpiceNumber(0.0), "0");
  /* Enough digits that the switch edges of the 1000th period are where
     the measurements look for them: well within a ten-thousandth of the
     switch's ramp. */
  const double period = 1.0 / 3.4e6;
  EXPECT_NEAR(Number(SpiceNumber(period)) * 1000.0, 1000.0 * period, 1e-4 * kSwitchRamp * period);
}

TEST(SimNetlist, BasicCarriesTheDesignAndItsLosses) {
  const DesignState s = Design();
  std::vector<std::string> lines;
  BuildTransientNetlist(s, kSimBasic, 0, 3.8e6, 60, lines);
  const auto e = Elements(lines);
  EXPECT_EQ(Reactive(e), (std::set<std::string>{"Cp1", "Cs2", "Lp1", "Ls2"}));
  EXPECT_NEAR(Value(e, "Cp1"), s.Cp1 * 1e-12, 1e-18);
  EXPECT_NEAR(Value(e, "Ls2"), s.Ls2 * 1e-6, 1e-12);
  EXPECT_NEAR(Value(e, "Cs2"), s.Cs2 * 1e-12, 1e-18);
  EXPECT_NEAR(Value(e, "Lp1"), s.Lp1 * 1e-6, 1e-12);
  EXPECT_NEAR(Value(e, "Ro"), s.Ro, 1e-5);
  EXPECT_EQ(e.count("Rload"), 0u);
  EXPECT_NEAR(Value(e, "Vsup"), 12.0, 1e-9);

  /* Capacitor ESR X / Qcap and coil resistance XL / Qu at 3.8 MHz. */
  const double w = kExactTwoPi * 3.8e6;
  EXPECT_NEAR(Value(e, "RCp1"), 1.0 / (w * s.Cp1 * 1e-12 * 500.0), 1e-6);
  EXPECT_NEAR(Value(e, "RCs2"), 1.0 / (w * s.Cs2 * 1e-12 * 500.0), 1e-6);
  const double qu = s.Coils[kTuneLs2].Qu;
  ASSERT_GT(qu, 0.0);
  EXPECT_NEAR(Value(e, "RLs2"), w * s.Ls2 * 1e-6 / qu, 1e-6);
  /* The choke: its DC resistance in series, its RF loss across it. */
  EXPECT_NEAR(Value(e, "RLp1dc"), s.Coils[kChokeLp1].Rdc, 1e-6);
  EXPECT_NEAR(Value(e, "RLp1ac"), s.Coils[kChokeLp1].Qu * w * s.Lp1 * 1e-6, 1e-3);

  /* Starts near the steady state: the choke carries Power / Vcc, Cs2
     holds the supply. */
  EXPECT_NEAR(Initial(e, "Lp1"), 2.5 / 12.0, 1e-9);
  EXPECT_NEAR(Initial(e, "Cs2"), 12.0, 1e-9);
}

TEST(SimNetlist, DrivePulseIsHalfThePeriodAndTheRunIsWhole) {
  const DesignState s = Design();
  std::vector<std::string> lines;
  BuildTransientNetlist(s, kSimBasic, 0, 4.0e6, 75, lines);
  std::istringstream pulse(Dot(lines, "Vdrive").substr(Dot(lines, "Vdrive").find('(') + 1));
  std::string f[7];
  for (std::string& x : f) pulse >> x;
  const double period = 250e-9, ramp = kSwitchRamp * period;
  EXPECT_NEAR(Number(f[3]), ramp, 1e-18);
  EXPECT_NEAR(Number(f[4]), ramp, 1e-18);
  /* Half amplitude to half amplitude: ramp / 2 + width + ramp / 2. */
  EXPECT_NEAR(Number(f[5]) + ramp, period / 2.0, 1e-18);
  EXPECT_NEAR(Number(f[6].substr(0, f[6].size() - 1)), period, 1e-18);
  std::istringstream tran(Dot(lines, ".tran"));
  std::string word, step, stop;
  tran >> word >> step >> stop;
  /* Whole periods and a little more: the run's last time point may fall
     short of its stop by rounding, and the 75th period must end inside. */
  EXPECT_GT(Number(stop), 75 * period * (1.0 + 1e-9));
  EXPECT_LT(Number(stop), 75.1 * period);
  EXPECT_EQ(lines.back(), ".end");
}

TEST(SimNetlist, ZeroOnResistanceStillGivesAFiniteSwitch) {
  DesignState s = Design();
  s.Ron = 0.0f;
  std::vector<std::string> lines;
  BuildTransientNetlist(s, kSimBasic, 0, 3.8e6, 60, lines);
  const std::string sw = Dot(lines, "Bsw");
  EXPECT_EQ(sw.find("inf"), std::string::npos) << sw;
  EXPECT_NE(sw.find("*v(drive)"), std::string::npos) << sw;
}

TEST(SimNetlist, EachTopologyHasItsElements) {
  const DesignState s = Design(); /* Ro 25 into 50: arrangement 1 for BASIC */
  ASSERT_EQ(s.MatchBAS, 1);
  ASSERT_NE(s.MatchPI, 0);
  std::vector<std::string> lines;
  BuildTransientNetlist(s, kSimBasicEl, 0, 3.8e6, 60, lines);
  auto e = Elements(lines);
  EXPECT_EQ(Reactive(e), (std::set<std::string>{"CM", "Cp1", "Cs2", "LM", "Lp1", "Ls2"}));
  EXPECT_NEAR(Value(e, "LM"), s.LMBAS * 1e-6, 1e-12);
  EXPECT_NEAR(Value(e, "CM"), s.CMBAS * 1e-12, 1e-18);
  EXPECT_NEAR(Value(e, "Rload"), 50.0, 1e-9);
  /* Ls2 and LM in series are wound as one coil: both take its Qu. */
  const double w = kExactTwoPi * 3.8e6, qu = s.Coils[kLs2PlusLs3].Qu;
  EXPECT_NEAR(Value(e, "RLM"), w * s.LMBAS * 1e-6 / qu, 1e-6);

  BuildTransientNetlist(s, kSimPinet, 0, 3.8e6, 60, lines);
  e = Elements(lines);
  /* The pi-net has no series capacitor: the DC block is added. */
  EXPECT_EQ(Reactive(e), (std::set<std::string>{"Cblk", "Cp1", "Cp2", "Lp1", "Ls2"}));
  EXPECT_NEAR(Value(e, "Cp2"), s.Cp2PI * 1e-12, 1e-18);
  EXPECT_NEAR(Value(e, "Ro"), s.RoPI, 1e-5);
  EXPECT_NEAR(1.0 / (w * Value(e, "Cblk")), 0.01 * s.RoPI, 1e-6);
  EXPECT_NEAR(Initial(e, "Cblk"), 12.0, 1e-9);

  BuildTransientNetlist(s, kSimPinetElTch, 0, 3.8e6, 60, lines);
  e = Elements(lines);
  EXPECT_EQ(Reactive(e), (std::set<std::string>{"CM", "Cblk", "Cp1", "Cp2", "Cpin", "Cpout", "LM",
                                                "Lp1", "Ls2", "LsTCH"}));
  EXPECT_NEAR(Value(e, "Cpin"), s.Cpin * 1e-12, 1e-18);
  EXPECT_NEAR(Value(e, "LsTCH"), s.LsTCH * 1e-6, 1e-12);
  EXPECT_NEAR(Value(e, "Cpout"), s.Cpout * 1e-12, 1e-18);

  BuildTransientNetlist(s, kSimPinetElTch, 1, 3.8e6, 60, lines);
  e = Elements(lines);
  EXPECT_EQ(e.count("Cpout"), 0u);
  EXPECT_NEAR(Value(e, "LsTrap"), s.LsTrap * 1e-6, 1e-12);
  EXPECT_NEAR(Value(e, "CsTrap"), s.CsTrap * 1e-12, 1e-18);
}

TEST(SimNetlist, EqualResistancesNeedNoMatch) {
  /* Rload equal to Ro: arrangement 0, the load straight on the network. */
  const DesignState first = Design();
  const DesignState s = Design(2.5f, first.Ro);
  ASSERT_EQ(s.MatchBAS, 0);
  std::vector<std::string> lines;
  BuildTransientNetlist(s, kSimBasicEl, 0, 3.8e6, 60, lines);
  const auto e = Elements(lines);
  EXPECT_EQ(e.count("LM"), 0u);
  EXPECT_EQ(e.count("CM"), 0u);
  EXPECT_NEAR(Value(e, "Rload"), s.Ro, 1e-5);
}

TEST(SimNetlist, AnUndesignedCoilIsLossless) {
  DesignState s = Design();
  s.Coils[kTuneLs2].Qu = 0.0f;
  std::vector<std::string> lines;
  BuildTransientNetlist(s, kSimBasic, 0, 3.8e6, 60, lines);
  const auto e = Elements(lines);
  EXPECT_EQ(e.count("RLs2"), 0u);
  EXPECT_TRUE(e.count("Ls2"));
}

TEST(SimNetlist, AcNetlistIsTheNetworkAlone) {
  const DesignState s = Design();
  std::vector<std::string> lines;
  BuildAcNetlist(s, kSimPinetEl, 0, true, 3.5e6, 4.0e6, 6, lines);
  const auto e = Elements(lines);
  EXPECT_EQ(Reactive(e), (std::set<std::string>{"CM", "Cp1", "Cp2", "LM", "Ls2"}));
  for (const auto& [name, element] : e) {
    if (name[0] == 'R') {
      EXPECT_TRUE(name == "Rload" || name == "Rbias") << name;
    }
  }
  EXPECT_TRUE(e.count("Iac"));
  EXPECT_EQ(e.count("Vsup"), 0u);
  EXPECT_EQ(e.count("Bsw"), 0u);
  EXPECT_EQ(Dot(lines, ".ac"), ".ac lin 6 3.5meg 4meg");
}

/* The program's own run keeps only what it measures and carries no
   control block; the exported netlist is that run with its measurements
   added before the end, over the last period the run ends with. */
TEST(SimNetlist, ExportedNetlistIsTheRunPlusItsMeasurements) {
  const DesignState s = Design();
  Circuit c;
  BuildCircuit(s, kSimBasic, 0, kPowerCircuit, c);
  std::vector<std::string> run, exported;
  BuildTransientNetlist(c, 4.0e6, 75, run);
  BuildExportedNetlist(c, 4.0e6, 75, exported);
  EXPECT_EQ(Dot(run, ".control"), "");
  EXPECT_EQ(Dot(run, ".save"), ".save v(d) i(Vsw) v(out) v(ein) v(eout) v(edev)");
  ASSERT_GT(exported.size(), run.size());
  EXPECT_TRUE(std::equal(run.begin(), run.end() - 1, exported.begin()));
  EXPECT_EQ(exported.back(), ".end");
  EXPECT_EQ(Dot(exported, ".control"), ".control");
  EXPECT_EQ(Dot(exported, "run"), "run");
  EXPECT_EQ(Dot(exported, "quit"), "quit");
  /* The last of 75 periods of 250 ns, its ends written as numbers: meas
     would read a vector's value to seven digits only. */
  EXPECT_EQ(Dot(exported, "meas tran ein_a "), "meas tran ein_a find v(ein) at=18.5u");
  EXPECT_EQ(Dot(exported, "meas tran ein_b "), "meas tran ein_b find v(ein) at=18.75u");
  EXPECT_EQ(Dot(exported, "meas tran vpk "), "meas tran vpk max v(d) from=18.5u to=18.75u");
  EXPECT_EQ(Dot(exported, "meas tran von "), "meas tran von find v(d) at=18.5u");
  EXPECT_EQ(Dot(exported, "fourier "), "fourier 4meg v(out)");
  EXPECT_EQ(Dot(exported, "set fourgridsize="), "set fourgridsize=360");
}

TEST(SimNetlist, LoadResistanceFollowsTheTopology) {
  const DesignState s = Design();
  EXPECT_FLOAT_EQ(float(LoadResistance(s, kSimBasic)), s.Ro);
  EXPECT_FLOAT_EQ(float(LoadResistance(s, kSimPinet)), s.RoPiRef);
  EXPECT_FLOAT_EQ(float(LoadResistance(s, kSimBasicEl)), 50.0f);
  EXPECT_FLOAT_EQ(float(LoadResistance(s, kSimPinetElTch)), 50.0f);
}

}  // namespace
