/*
** sim_mask_test.cpp: the harmonics at the load against the emission
** limits as 47 CFR 97.307 words them (worked by hand on either side of
** each limit), the harmonics against the engine's own H2 and H3 and
** Parseval, and the two harmonic figures of the built-in example tied
** together: the calculator sweep page's network rejection plus the
** switch voltage's own harmonic is the level the simulator finds at the
** load.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sim/analysis/emission_mask.h"
#include "sim/analysis/two_port.h"
#include "sim/circuit/topology_table.h"
#include "sim/engine/drive.h"
#include "sim/report/harmonics_report.h"
#include "tests/sim_example.h"

namespace {

Harmonics Flat(double dbc) {
  Harmonics h;
  for (double& d : h.Dbc) d = dbc;
  return h;
}

}  // namespace

/* Each rule's decision flips where the margin crosses zero. */
TEST(SimMask, DecisionFlipsAtEachLimit) {
  struct Case {
    int kind;
    double flat, mhz, p1, level;
    bool applies, pass;
    double limit;
  };
  const Case cases[] = {
      {kMaskFcc, 0, 13.56, 100.0, -42.9, true, false, -43.0}, /* (d): 43 dB below 30 MHz */
      {kMaskFcc, 0, 13.56, 100.0, -43.1, true, true, -43.0},
      {kMaskFcc, 0, 29.99, 100.0, -50.0, true, true, -43.0},
      {kMaskFcc, 0, 30.0, 100.0, -50.0, true, false, -60.0},  /* (e): 60 dB from 30 MHz */
      {kMaskFcc, 0, 50.0, 1.0, -46.0, true, false, -46.0206}, /* 25 uW of 1 W: 46.02 dB */
      {kMaskFcc, 0, 50.0, 1.0, -46.1, true, true, -46.0206},
      {kMaskFcc, 0, 50.0, 0.1, -39.9, true, false, -40.0},  /* 25 uW is 36 dB: 40 dB rules */
      {kMaskFcc, 0, 50.0, 0.001, -21.0, true, true, -20.0}, /* need not go below 10 uW */
      {kMaskFcc, 0, 50.0, 0.001, -19.0, true, false, -20.0},
      {kMaskFcc, 0, 225.0, 25.0, -59.9, true, false, -60.0}, /* 25 W: 25 uW is 60 dB too */
      {kMaskFcc, 0, 300.0, 100.0, -10.0, false, true, 0.0},  /* no figure above 225 MHz */
      {kMaskFlat, 50.0, 3.8, 1.0, -49.9, true, false, -50.0},
      {kMaskFlat, 50.0, 3.8, 1.0, -50.1, true, true, -50.0},
      {kMaskNone, 0, 3.8, 1.0, -1.0, false, true, 0.0},
  };
  for (const Case& k : cases) {
    Harmonics h = Flat(-120.0);
    h.Dbc[4] = k.level; /* H6 decides */
    const MaskResult m = ApplyMask(MaskChoice{k.kind, k.flat}, k.mhz, k.p1, h);
    const std::string what = m.Name + " " + std::to_string(k.mhz) + " MHz " + std::to_string(k.p1);
    EXPECT_EQ(m.Applies, k.applies) << what;
    EXPECT_EQ(m.Pass, k.pass) << what << " at " << k.level;
    if (!k.applies) continue;
    EXPECT_NEAR(m.Limit[4], k.limit, 1e-4) << what;
    EXPECT_NEAR(m.Margin[4], k.limit - k.level, 1e-4) << what;
    EXPECT_EQ(m.Worst, 4) << what;
  }
}

/* H2 and H3 are the engine's; H2 .. H10 hold the power the load takes
   beyond the fundamental (Parseval: what is left above H10 is tiny). */
TEST(SimMask, HarmonicsAreTheEnginesAndAddUpToPout) {
  for (int t = 0; t < kTopologyCount; t++) {
    const Circuit c = ExampleCircuit(t);
    SimResult r;
    SimulateDrive(c, kEngineExact, 0, c.DesignHz * 1e-6, r);
    ASSERT_TRUE(r.Run.Ok());
    const Harmonics h = LoadHarmonics(r);
    EXPECT_DOUBLE_EQ(h.Dbc[0], r.H2dBc) << t;
    EXPECT_DOUBLE_EQ(h.Dbc[1], r.H3dBc) << t;
    double share = 1.0;
    for (double d : h.Dbc) share += std::pow(10.0, d / 10.0);
    const double p1 = FundamentalPower(r, LoadResistance(c));
    EXPECT_NEAR(p1 * share, r.Pout, 2e-3 * r.Pout) << t;
  }
}

/* The two figures of the built-in example: the sweep page's 2xFo-db
   and 3xFo-db (the network's rejection, as if the switch voltage had a
   harmonic as large as its fundamental) plus the switch voltage's own
   harmonic give the simulated level at the load within 0.5 dB; the two
   figures themselves are 4 dB and more apart.  At the trap's own
   frequency (2Fo with the notch) the level rests on the trap's exact
   tuning and loss, which the two models hold differently. */
TEST(SimMask, TwoHarmonicFiguresOfTheExampleTiedTogether) {
  for (int t = 0; t < kTopologyCount; t++)
    for (bool notch : {false, true}) {
      if (notch && !TopologyHasFilter(t)) continue;
      const DesignState s = ExampleDesign(t);
      Circuit c;
      BuildCircuit(s, t, notch, kPowerCircuit, c);
      DesignState sw = s;
      if (notch) { /* the sweep columns of the notched filter */
        sw = ExampleWith([t](DesignRequest& r) {
          r.Topology = t;
          r.Notch = true;
        });
      }
      SimResult r;
      SimulateDrive(c, kEngineExact, 0, c.DesignHz * 1e-6, r);
      ASSERT_TRUE(r.Run.Ok());
      const SweepColumn& col = sw.*Topology(t).Sweep;
      const double net[2] = {col.Db2xFo, col.Db3xFo}, load[2] = {r.H2dBc, r.H3dBc};
      for (int k = 2; k <= 3; k++) {
        if (notch && k == 2) continue;
        const std::string what = std::string(Topology(t).Name) + (notch ? " notch" : "");
        EXPECT_NEAR(net[k - 2] + SwitchHarmonicDbc(r, k), load[k - 2], 0.5) << what << " " << k;
        EXPECT_GT(net[k - 2] - load[k - 2], 4.0) << what << " " << k;
      }
    }
}

/* The simulated network's own transfer from the switch node to the load
   (a phasor solve at 2Fo and 3Fo) plus the switch voltage's harmonic is
   the engine's level at the load (a time-domain steady state), for the
   calculator's designs and the tuned one alike: the tuned PINET+EL+TCH,
   whose match passes 2Fo, included. */
TEST(SimMask, NetworkTransferPlusSwitchHarmonicIsTheLoadsLevel) {
  std::vector<Circuit> circuits;
  for (int t = 0; t < kTopologyCount; t++) circuits.push_back(ExampleCircuit(t));
  circuits.push_back(TunedExample());
  TuneOutcome tuned;
  TuneDesign(ExampleDesign(4), 4, false, TuneSettings{}, tuned);
  ASSERT_TRUE(tuned.Tuning.Ok());
  circuits.push_back(tuned.Tuned.Power);
  for (const Circuit& c : circuits) {
    SimResult r;
    SimulateDrive(c, kEngineExact, 0, c.DesignHz * 1e-6, r);
    ASSERT_TRUE(r.Run.Ok());
    const double load[2] = {r.H2dBc, r.H3dBc};
    for (int k = 2; k <= 3; k++) {
      double db = 0.0;
      ASSERT_TRUE(
          NetworkTransferDb(OutputNetwork(c, true), LoadResistance(c), c.DesignHz, k, db).Ok());
      EXPECT_NEAR(db + SwitchHarmonicDbc(r, k), load[k - 2], 0.05)
          << Topology(c.Topology).Name << " " << k;
    }
  }
}
