/*
** sim_design_bounds_test.cpp: what tolvarin-sim refuses before any
** engine runs.  The drive band's ends as typed are taken and a step past
** them is not; designs are refused for no output power or too low a
** supply; a part outside its bounds is named; and the part bounds never
** refuse a design whose loads are within theirs, over the calculator's
** whole range of frequency, loaded Q and topology.
*/
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/circuit/circuit.h"
#include "sim/circuit/topology_table.h"
#include "sim/cli/design_bounds.h"
#include "sim/cli/options.h"
#include "sim/design/calculator_circuit.h"
#include "tests/sim_run.h"

namespace {

TEST(SimDesignBounds, DriveBandIsAQuarterToFourTimesTheDesignFrequency) {
  struct Case {
    std::vector<const char*> args;
    bool taken;
  };
  const Case cases[] = {
      {{"--sweep", "0.95:15.2:0.25"}, true}, /* 3.8 MHz: both ends exactly */
      {{"--sweep", "0.94:3.8:0.1"}, false},
      {{"--sweep", "3.8:15.3:0.1"}, false},
      {{"--sweep", "3.8:15.5:0.7"}, true}, /* the last point is 15.0 */
      {{"--freq", "0.5", "--ql", "20", "--topology", "basic-el", "--sweep", "1000:1000:1"}, false},
      {{"--freq", "0.5", "--sweep", "0.125:2:0.125"}, true},
      {{"--freq", "500", "--sweep", "125:2000:25"}, true},
      {{"--freq", "500", "--sweep", "124:2000:25"}, false},
      {{"--freq", "0.5"}, true}, /* the design frequency alone */
  };
  for (const Case& c : cases) {
    SimOptions o;
    std::string error;
    const int parsed = ParseArgs(c.args, o, &error);
    EXPECT_EQ(parsed, c.taken ? kOptionsRun : kOptionsError) << c.args.back() << ": " << error;
    if (c.taken) continue;
    EXPECT_NE(error.find("--sweep"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

DesignState Designed(std::vector<const char*> args) {
  SimOptions o;
  std::string error;
  EXPECT_EQ(ParseArgs(args, o, &error), kOptionsRun) << error;
  DesignState s;
  DesignForSimulation(o.Design, s);
  return s;
}

TEST(SimDesignBounds, NoOutputPowerOrTooLowASupplyIsRefused) {
  EXPECT_EQ(CheckCalculatorDesign(Designed({})).Why(), "");
  /* 1 kohm in the switch of a 25 ohm design: the calculator books more
     loss than the 2.5 W it designs for. */
  const std::string lossy = CheckCalculatorDesign(Designed({"--ron", "1000"})).Why();
  EXPECT_NE(lossy.find("no output power"), std::string::npos) << lossy;
  const std::string low =
      CheckCalculatorDesign(Designed({"--vcc", "0.09", "--power", "0.001"})).Why();
  EXPECT_NE(low.find("--vcc"), std::string::npos) << low;
  EXPECT_EQ(
      CheckCalculatorDesign(Designed({"--vcc", "0.1", "--power", "0.001", "--ron", "0.001"})).Why(),
      "");
}

Circuit CircuitOf(const DesignState& s, int topology) {
  Circuit c;
  BuildCircuit(s, topology, 0, kPowerCircuit, c);
  return c;
}

TEST(SimDesignBounds, APartOutsideItsBoundsIsNamed) {
  const DesignState s = Designed({});
  Circuit c = CircuitOf(s, TopologyByName("basic"));
  EXPECT_EQ(CheckCircuit(c).Why(), "");
  struct Case {
    const char* part;
    double value;
    bool taken;
  };
  const Case cases[] = {
      {"Cp1", 1e8, false}, /* 1e20 pF */
      {"Cp1", 1.0, true},    {"Cp1", 1e-19, true},  {"Cp1", 1e-20, false}, {"Ls2", 100.0, true},
      {"Ls2", 101.0, false}, {"Ls2", 1e-18, false}, {"Ro", 1e-3, true},    {"Ro", 9e-4, false},
      {"Ro", 1e5, true},     {"Ro", 1.1e5, false},
  };
  for (const Case& k : cases) {
    Circuit changed = c;
    FindPart(changed, k.part)->Value = k.value;
    const std::string why = CheckCircuit(changed).Why();
    EXPECT_EQ(why.empty(), k.taken) << k.part << " " << k.value << ": " << why;
    if (!k.taken) {
      EXPECT_EQ(why.rfind(k.part, 0), 0u) << why;
    }
  }
}

bool LoadsWithinBounds(const Circuit& c) {
  for (const CircuitPart& p : c.Parts)
    if (p.Kind == kResistor && (p.Value < 1e-3 || p.Value > 1e5)) return false;
  return true;
}

/* Ro near both ends of the load bounds (it goes as 1 / Power, so the
   power is scaled from a first design), Rload near either end or 50 ohm. */
TEST(SimDesignBounds, PartBoundsHoldEveryDesignOfLoadsWithinBounds) {
  int circuits = 0;
  for (const char* freq : {"0.5", "500"})
    for (const char* ql : {"1.8", "20"})
      for (double ro : {1.05e-3, 0.95e5})
        for (const char* rload : {"0.00105", "50", "95000"}) {
          const DesignState first = Designed({"--freq", freq, "--ql", ql, "--rload", rload});
          const std::string power = std::to_string(2.5 * first.Ro / ro);
          const DesignState s = Designed({"--freq", freq, "--ql", ql, "--power", power.c_str(),
                                          "--rload", rload, "--ron", "0"});
          for (int t = 0; t < kTopologyCount; t++) {
            const Circuit c = CircuitOf(s, t);
            if (!LoadsWithinBounds(c)) continue;
            EXPECT_EQ(CheckCircuit(c).Why(), "") << freq << " MHz QL " << ql << " Ro " << s.Ro
                                                 << " Rload " << rload << " " << Topology(t).Name;
            circuits++;
          }
        }
  EXPECT_GT(circuits, 100);
}

TEST(SimDesignBounds, HelpStatesTheBoundsItChecks) {
  const std::string help = SimHelpText();
  EXPECT_NE(help.find(DesignBoundsHelp()), std::string::npos);
  EXPECT_NE(help.find("0.25 to 4 x the design frequency"), std::string::npos);
  EXPECT_NE(help.find("130"), std::string::npos);
  EXPECT_NE(help.find("143"), std::string::npos);
}

}  // namespace
