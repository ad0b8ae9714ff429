/*
** sim_schematic_test.cpp: the schematic's ladder for every network,
** against the circuits as class-E practice draws them: the choke from
** the supply to the switch node, the shunt capacitor and the switch
** there, the series parts of the network in order down to the load, each
** shunt part at its node; the text drawing within 80 columns naming
** every part once; a circuit that is no ladder refused.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "sim/report/schematic_layout.h"
#include "sim/report/schematic_svg.h"
#include "sim/report/schematic_text.h"
#include "sim_example.h"

namespace {

/* The ladder in a line: series parts by name, a node's branches as
   "node:(parts)", the switch as "S", a package coil as "Lpkg>(the die's)". */
std::string Spelled(const Circuit& c, const SchematicLayout& l) {
  std::string s;
  for (const LadderStep& st : l.Steps) {
    if (!st.IsNode) {
      s += c.Parts[size_t(st.Part)].Name + " ";
      continue;
    }
    if (st.Shunts.empty() && !st.HasSwitch && st.Package < 0) continue;
    s += st.Node + ":(";
    if (st.HasSwitch) s += "S ";
    for (const std::vector<int>& b : st.Shunts) {
      for (int i : b) s += c.Parts[size_t(i)].Name + (b.size() > 1 ? "-" : "");
      s += " ";
    }
    if (st.Package >= 0) {
      s += c.Parts[size_t(st.Package)].Name + ">(S";
      for (const std::vector<int>& b : st.DieShunts) s += " " + c.Parts[size_t(b[0])].Name;
      s += ") ";
    }
    s.back() = ')';
    s += " ";
  }
  return s;
}

}  // namespace

TEST(SimSchematic, EveryNetworkIsDrawnAsItsLadder) {
  struct Case {
    int Topology;
    bool Notch;
    const char* Ladder;
    double PackageHenry = 0.0; /* a device of 81 pF (0.5 graded when < 0) behind this lead */
  };
  /* The networks as built: BASIC series L-C into Ro; PINET series L,
     shunt C, then the DC block; EL an L then C to ground at the load (or
     C first); the filter a pi of Cpin, LsTCH, Cpout, or the trap's
     series L-C to ground in Cpout's place. */
  const Case cases[] = {
      {0, false, "Lp1 d:(S Cp1) Ls2 Cs2 out:(Ro) "},
      {1, false, "Lp1 d:(S Cp1) Ls2 Cs2 LM out:(CM Rload) "},
      {2, false, "Lp1 d:(S Cp1) Ls2 n2:(Cp2) Cblk out:(Ro) "},
      {3, false, "Lp1 d:(S Cp1) Ls2 n2:(Cp2) Cblk LM out:(CM Rload) "},
      {4, false, "Lp1 d:(S Cp1) Ls2 n2:(Cp2) Cblk LM n4:(CM Cpin) LsTCH out:(Cpout Rload) "},
      {4, true,
       "Lp1 d:(S Cp1) Ls2 n2:(Cp2) Cblk LM n4:(CM Cpin) LsTCH out:(LsTrap-CsTrap- Rload) "},
      /* The lead from the drain pin, where Cp1 and the network meet, to
         the die, where the switch and the device's capacitance hang. */
      {0, false, "Lp1 pin:(Cp1 Lpkg>(S Coss)) Ls2 Cs2 out:(Ro) ", 7e-9},
      {3, false, "Lp1 pin:(Cp1 Lpkg>(S)) Ls2 n2:(Cp2) Cblk LM out:(CM Rload) ", -7e-9},
  };
  for (const Case& k : cases) {
    Circuit c;
    BuildCircuit(ExampleDesign(k.Topology), k.Topology, k.Notch, kPowerCircuit, c);
    if (k.PackageHenry != 0.0) {
      DeviceModel d;
      d.Coss = 81e-12;
      d.Grading = k.PackageHenry < 0.0 ? 0.5 : 0.0;
      AddDevice(c, d);
      AddPackage(c, std::fabs(k.PackageHenry));
    }
    SchematicLayout l;
    ASSERT_TRUE(LayOut(c, l).Ok()) << k.Topology;
    std::string got = Spelled(c, l);
    /* Inner node names are the builder's own; only their places matter. */
    for (const LadderStep& st : l.Steps)
      if (st.IsNode && st.Node != "d" && st.Node != "out" && st.Node != "vcc" && st.Node != "pin") {
        const size_t at = got.find(st.Node + ":(");
        if (at != std::string::npos) got.replace(at, st.Node.size(), "n?");
      }
    std::string want = k.Ladder;
    for (const char* inner : {"n2", "n4"})
      for (size_t at; (at = want.find(inner)) != std::string::npos;) want.replace(at, 2, "n?");
    EXPECT_EQ(got, want) << "topology " << k.Topology << " notch " << k.Notch;

    /* The text names every part once, within 80 columns. */
    const std::string text = SchematicText(c, l);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
    for (const CircuitPart& p : c.Parts) {
      const std::string label = "] " + PartLabel(p);
      const size_t at = text.find(label);
      ASSERT_NE(at, std::string::npos) << p.Name;
      EXPECT_TRUE(text[at + label.size()] == ' ' || text[at + label.size()] == '\n') << p.Name;
      EXPECT_EQ(at, text.rfind(label)) << p.Name;
    }
    const std::string svg = SchematicSvg(c, l, "t");
    for (const CircuitPart& p : c.Parts)
      EXPECT_NE(svg.find("id=\"" + p.Name + "\""), std::string::npos) << p.Name;
  }
}

TEST(SimSchematic, ValuesAreTheDisplayedUnits) {
  /* 26.3e-6 H is 26.3 uH, 367.1e-12 F is 367.1 pF, 50 ohm stays. */
  CircuitPart coil{"Lx", kCoil, "a", "b", 26.3e-6, 0, 0, 0};
  CircuitPart cap{"Cx", kCapacitor, "a", "0", 367.1e-12, 0, 0, 0};
  CircuitPart res{"Rx", kResistor, "a", "0", 50.0, 0, 0, 0};
  EXPECT_EQ(PartLabel(coil), "Lx 26.3 uH");
  EXPECT_EQ(PartLabel(cap), "Cx 367.1 pF");
  EXPECT_EQ(PartLabel(res), "Rx 50 ohm");
}

TEST(SimSchematic, ACircuitThatIsNoLadderIsRefused) {
  Circuit c = ExampleCircuit(0);
  SchematicLayout l;
  /* A bridge across the series coil from the switch node to the load
     makes two paths: neither is a branch to ground. */
  Circuit bridged = c;
  bridged.Parts.push_back({"Rb", kResistor, kNodeSwitch, kNodeLoad, 10.0, 0, 0, 0});
  EXPECT_FALSE(LayOut(bridged, l).Ok());
  /* A part left floating between two nodes of its own. */
  Circuit floating = c;
  floating.Parts.push_back({"Rf", kResistor, "x", "y", 10.0, 0, 0, 0});
  EXPECT_FALSE(LayOut(floating, l).Ok());
  /* No way from the switch to the load. */
  Circuit open = c;
  open.Parts.erase(open.Parts.begin() + 2);
  EXPECT_FALSE(LayOut(open, l).Ok());
}
