/*
** sim_bom_test.cpp: the bill of materials against what it must agree
** with: a sine-driven network worked by hand, the engine's own power
** balance and peak (the load takes Pout, the parts Ploss, the shunt
** capacitor sees the switch's peak, series parts carry the load's
** current), the preferred-number series and voltage ratings as
** published, and every physical part of each network listed.
*/
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "sim/analysis/bill_of_materials.h"
#include "sim/analysis/part_stress.h"
#include "sim/circuit/topology_table.h"
#include "sim/design/e24.h"
#include "sim/engine/drive.h"
#include "tests/sim_example.h"
#include "tests/sim_run.h"

namespace {

/* Vcc 12.6 V, a choke (10 uH, Rdc 0.3 ohm, 2 kohm across), Cp1 1 nF
   (ESR 0.05 ohm), then Ls2 1 uH (0.5 ohm) and Cs2 100 nF (0.2 ohm) into
   10 ohm, the switch node at 12 + 10 cos(wt) V at 1 MHz, Pdc 25.2 W. */
void SineDriven(Circuit& c, SimResult& r) {
  c = Circuit{};
  c.Vcc = 12.6;
  c.DesignHz = 1e6;
  c.Parts = {{"Lp1", kCoil, kNodeSupply, kNodeSwitch, 10e-6, 0.3, 2000.0, 0.0},
             {"Cp1", kCapacitor, kNodeSwitch, kNodeGround, 1e-9, 0.05, 0.0, 0.0},
             {"Ls2", kCoil, kNodeSwitch, "n1", 1e-6, 0.5, 0.0, 0.0},
             {"Cs2", kCapacitor, "n1", kNodeLoad, 100e-9, 0.2, 0.0, 0.0},
             {"Ro", kResistor, kNodeLoad, kNodeGround, 10.0, 0.0, 0.0, 0.0}};
  c.Load = 4;
  r = SimResult{};
  r.Run = Status::Done();
  r.Engine = kEngineNgspice; /* a waveform no exact period stands behind: harmonics alone */
  r.DriveMHz = 1.0;
  r.Pdc = 25.2;
  r.Vsw.resize(kPeriodSamples);
  for (int i = 0; i < kPeriodSamples; i++)
    r.Vsw[i] = 12.0 + 10.0 * std::cos(2.0 * M_PI * i / double(kPeriodSamples));
}

}  // namespace

/* The series RLC worked by hand: Z = 10.7 + j(6.2832 - 1.5915) ohm,
   I = 10 / |Z| = 0.85592 A peak; the choke carries 2 A DC and the AC
   through Rdc + (jwL || 2k); Cp1's current is 10 V over its impedance. */
TEST(SimBom, SineDrivenNetworkWorkedByHand) {
  Circuit c;
  SimResult r;
  SineDriven(c, r);
  std::vector<PartStress> s;
  ASSERT_TRUE(PartStresses(c, r, s).Ok());
  struct Expect {
    const char* name;
    double vpk, irms, pdiss;
  };
  const Expect expect[] = {
      {"Lp1", 10.6, 2.003165883, 1.228793999}, /* 0.6 V DC across it less the 10 V swing */
      {"Cp1", 22.0, 0.044428827, 9.8696034e-05}, {"Ls2", -1.0, 0.605224430, 0.183148241},
      {"Cs2", -1.0, 0.605224430, 0.073259297},   {"Ro", -1.0, 0.605224430, 3.662964828},
  };
  for (const Expect& e : expect) {
    const PartStress* p = FindStress(s, e.name);
    ASSERT_NE(p, nullptr) << e.name;
    if (e.vpk > 0.0) {
      EXPECT_NEAR(p->Vpk, e.vpk, 1e-6 * e.vpk) << e.name;
    }
    EXPECT_NEAR(p->Irms, e.irms, 1e-6 * e.irms) << e.name;
    EXPECT_NEAR(p->Pdiss, e.pdiss, 1e-6 * e.pdiss) << e.name;
  }
}

/* The engine's own balance: in every network (the filter with and
   without its trap), the calculator's and the tuned design, the load
   takes Pout and the parts Ploss within 0.5 %; Cp1 sees the switch's peak;
   the parts in series with the load carry its current. */
TEST(SimBom, StressesAgreeWithTheEnginesPowerBalance) {
  struct Case {
    int topology;
    bool notch, tuned;
  };
  const Case cases[] = {{0, false, false}, {0, false, true},  {1, false, false}, {2, false, false},
                        {3, false, false}, {4, false, false}, {4, true, false}};
  for (const Case& k : cases) {
    Circuit c;
    if (k.tuned) {
      c = TunedExample();
    } else {
      BuildCircuit(ExampleDesign(k.topology), k.topology, k.notch, kPowerCircuit, c);
    }
    SimResult r;
    SimulateDrive(c, kEngineExact, 0, c.DesignHz * 1e-6, r);
    ASSERT_TRUE(r.Run.Ok());
    std::vector<PartStress> s;
    ASSERT_TRUE(PartStresses(c, r, s).Ok());
    const std::string what = std::string(Topology(k.topology).Name) + (k.notch ? " notch" : "") +
                             (k.tuned ? " tuned" : "");
    double parts = 0.0;
    for (size_t i = 0; i < s.size(); i++)
      if (int(i) != c.Load) parts += s[i].Pdiss;
    EXPECT_NEAR(s[c.Load].Pdiss, r.Pout, 5e-3 * r.Pout) << what;
    EXPECT_NEAR(parts, r.Ploss, 5e-3 * r.Ploss) << what;
    EXPECT_NEAR(FindStress(s, "Cp1")->Vpk, r.Vpeak, 1e-3 * r.Vpeak) << what;
    const double iload = std::sqrt(r.Pout / LoadResistance(c));
    if (k.topology == 0) {
      for (const char* series : {"Ls2", "Cs2"})
        EXPECT_NEAR(FindStress(s, series)->Irms, iload, 5e-3 * iload) << what << " " << series;
    }
    if (!k.tuned) continue;
    /* Switched at zero voltage, the harmonics alone (as for an ngspice
       waveform) hold every current: the same balance. */
    SimResult harmonicsOnly = r;
    harmonicsOnly.Engine = kEngineNgspice;
    ASSERT_TRUE(PartStresses(c, harmonicsOnly, s).Ok());
    parts = 0.0;
    for (size_t i = 0; i < s.size(); i++)
      if (int(i) != c.Load) parts += s[i].Pdiss;
    EXPECT_NEAR(s[c.Load].Pdiss, r.Pout, 5e-3 * r.Pout) << what << " by harmonics";
    EXPECT_NEAR(parts, r.Ploss, 5e-3 * r.Ploss) << what << " by harmonics";
  }
}

/* One row a physical part, named as the circuit names it, the device's
   own capacitance and the load left out. */
TEST(SimBom, EveryPartOfEachNetworkListed) {
  struct Case {
    int topology;
    bool notch;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {0, false, {"Lp1", "Cp1", "Ls2", "Cs2"}},
      {2, false, {"Lp1", "Cp1", "Ls2", "Cp2", "Cblk"}},
      {4, false, {"Lp1", "Cp1", "Ls2", "Cp2", "Cblk", "LM", "CM", "Cpin", "LsTCH", "Cpout"}},
      {4,
       true,
       {"Lp1", "Cp1", "Ls2", "Cp2", "Cblk", "LM", "CM", "Cpin", "LsTCH", "LsTrap", "CsTrap"}},
  };
  for (const Case& k : cases) {
    const DesignState d = ExampleDesign(k.topology);
    Circuit c;
    BuildCircuit(d, k.topology, k.notch, kPowerCircuit, c);
    AddDevice(c, DeviceModel{50e-12, 0.0, 0.0, false});
    SimResult r;
    SimulateDrive(c, kEngineExact, 0, c.DesignHz * 1e-6, r);
    std::vector<BomRow> rows;
    ASSERT_TRUE(BuildBom(c, r, d, kSeriesE24, rows).Ok());
    std::vector<std::string> names;
    for (const BomRow& b : rows) names.push_back(b.Name);
    EXPECT_EQ(names, k.names) << Topology(k.topology).Name;
    for (const BomRow& b : rows) {
      if (b.Kind != kBomCapacitor) {
        EXPECT_GT(b.Coil.Nturns, 0.0f) << b.Name; /* every coil wound */
        continue;
      }
      EXPECT_GE(b.RatingV, kRatingMargin * b.Vpk) << b.Name;
      EXPECT_NEAR(E24Value(b.Parts), b.Value, (b.Name == "Cblk" ? 0.1 : 0.01) * b.Value) << b.Name;
      if (b.Name == "Cblk") {
        EXPECT_GE(E24Value(b.Parts), b.Value); /* a block only needs to be big enough */
      }
    }
  }
}

/* IEC 60063 values, and a capacitor a series does not hold bought as
   the pair that comes nearest, worked by hand. */
TEST(SimBom, PreferredSeriesWorkedByHand) {
  struct Case {
    int series;
    double pf, value;
  };
  const Case cases[] = {
      {kSeriesE12, 578.8, 578.0}, /* 560 + 18 (0.14 %): E12 has no 580 or 620 */
      {kSeriesE24, 578.8, 578.0}, /* 510 + 68 or 560 + 18 */
      {kSeriesE96, 578.8, 578.8}, /* 576 + 2.8, exact */
      {kSeriesE96, 576.0, 576.0}, /* an E96 value is itself */
      {kSeriesE12, 330.0, 330.0},
  };
  for (const Case& k : cases)
    EXPECT_NEAR(E24Value(ChooseParts(k.series, k.pf)), k.value, 1e-9)
        << SeriesName(k.series) << " " << k.pf;
  EXPECT_DOUBLE_EQ(NearestIn(kSeriesE12, 4.4), 4.7);
  EXPECT_DOUBLE_EQ(NearestIn(kSeriesE96, 4.4), 4.42);
  EXPECT_DOUBLE_EQ(AtLeastIn(kSeriesE12, 1300.0), 1500.0);
  EXPECT_DOUBLE_EQ(AtLeastIn(kSeriesE24, 9200.0), 10000.0);
  EXPECT_EQ(SeriesByName("E48"), -1);
  /* The ratings ceramic and mica capacitors are sold in. */
  EXPECT_EQ(StandardRating(35.9), 50.0);
  EXPECT_EQ(StandardRating(50.0), 50.0);
  EXPECT_EQ(StandardRating(50.01), 100.0);
  EXPECT_EQ(StandardRating(600.0), 630.0);
  EXPECT_EQ(StandardRating(10001.0), 0.0);
}

/* What a user gets: the text table within 80 columns with a row a part,
   the CSV file with the same rows, and the JSON keys a script reads. */
TEST(SimBom, ProgramWritesTheTableTheCsvAndTheJson) {
  const std::string csv = testing::TempDir() + "sim_bom_" + std::to_string(getpid()) + ".csv";
  int status = 0;
  const std::string text =
      RunSim("--topology pinet-el-tch --bom --series E12 --bom-csv " + csv, false, &status);
  EXPECT_EQ(status, 0);
  std::istringstream lines(text);
  std::string line;
  int rows = 0;
  while (std::getline(lines, line)) {
    EXPECT_LE(line.size(), 80u) << line;
    rows += line.rfind("Cp", 0) == 0 || line.rfind("Cpin", 0) == 0; /* Cp1 Cp2 Cpin Cpout */
  }
  EXPECT_EQ(rows, 4);
  std::ifstream in(csv);
  std::string head, csvLine;
  std::getline(in, head);
  EXPECT_EQ(head, "name,kind,value,unit,parts,vpk_V,irms_A,pdiss_W,q,rating_V,dielectric");
  int parts = 0;
  while (std::getline(in, csvLine)) parts++;
  EXPECT_EQ(parts, 10); /* Lp1 Cp1 Ls2 Cp2 Cblk LM CM Cpin LsTCH Cpout */
  std::remove(csv.c_str());
  const nlohmann::json doc =
      nlohmann::json::parse(RunSim("--topology basic --json --mask 40", false, &status));
  EXPECT_EQ(doc["bom"].size(), 4u);
  EXPECT_EQ(doc["bom"][1]["name"], "Cp1");
  EXPECT_EQ(doc["bom"][1]["kind"], "capacitor");
  EXPECT_TRUE(doc["bom"][1].contains("rating_V") && doc["bom"][1].contains("dielectric"));
  EXPECT_TRUE(doc["bom"][2].contains("winding"));
  EXPECT_EQ(doc["points"][0]["harmonics_dBc"].size(), 9u);
  EXPECT_EQ(doc["mask"]["limits_dBc"][0], -40.0);
  EXPECT_FALSE(doc["mask"]["pass"]); /* BASIC's H2 is near -13 dBc */
}

/* --cap-q sets every capacitor's loss: at half the Q a capacitor
   carrying nearly the same current loses twice as much (P = I^2 X / Q). */
TEST(SimBom, CapacitorQSetsTheirLoss) {
  double pdiss[2] = {}, q[2] = {};
  const float qs[2] = {500.0f, 250.0f};
  for (int i = 0; i < 2; i++) {
    const DesignState d = ExampleWith([&](DesignRequest& r) { r.CapQ = qs[i]; });
    Circuit c;
    BuildCircuit(d, 0, false, kPowerCircuit, c);
    SimResult r;
    SimulateDrive(c, kEngineExact, 0, c.DesignHz * 1e-6, r);
    std::vector<BomRow> rows;
    ASSERT_TRUE(BuildBom(c, r, d, kSeriesE24, rows).Ok());
    pdiss[i] = rows[3].Pdiss; /* Cs2 */
    q[i] = rows[3].Q;
  }
  EXPECT_NEAR(q[0], 500.0, 1e-3);
  EXPECT_NEAR(q[1], 250.0, 1e-3);
  EXPECT_NEAR(pdiss[1] / pdiss[0], 2.0, 0.04);
}
