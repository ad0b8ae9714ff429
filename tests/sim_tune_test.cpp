/*
** sim_tune_test.cpp: tuning against what it must reproduce: the
** calculator's own equations where they are exact (an ideal circuit),
** the published exact theory of a finite choke, ngspice's confirmation of
** the tuned built-in example in every topology, and the device
** capacitance it must make room for; the E24 choice against values worked
** by hand.  And the search as it was, every evaluation prepared afresh
** (bench/previous/previous_tune.h): sharing one workspace must not move
** it by a bit.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "bench/previous/previous_tune.h"
#include "sim/circuit/topology_table.h"
#include "sim/cli/design_choice.h"
#include "sim/cli/option_table.h"
#include "sim/cli/options.h"
#include "sim/design/calculator_circuit.h"
#include "sim/design/e24.h"
#include "sim/design/tune.h"
#include "sim/design/tuning_run.h"
#include "sim/engine/exact_engine.h"
#include "sim/engine/ngspice_runner.h"
#include "tests/sim_example.h"
#include "tests/test_support.h"

namespace {

DesignState Design(double ql, int topology = 0) {
  return ExampleWith([ql, topology](DesignRequest& r) {
    r.QL = static_cast<float>(ql);
    r.Topology = topology;
  });
}

/* No losses, the choke `choke` times larger, a switch of 10 microohm
   with no ramps. */
std::function<void(Circuit&)> Ideal(double choke) {
  return [choke](Circuit& c) {
    DropLosses(c);
    FindPart(c, "Lp1")->Value *= choke;
    c.Switch.Ron = 1e-5;
    c.Switch.Ramp = 0.0;
  };
}

/* Where the calculator's equations hold, tuning must find them again. */
TEST(SimTune, IdealCircuitReturnsTheCalculatorsValues) {
  for (double ql : {1.8, 2.5, 5.0, 10.0, 20.0}) {
    const DesignState s = Design(ql);
    TuneSettings t;
    t.Adjust = Ideal(1e4);
    TuneOutcome out;
    TuneDesign(s, 0, 0, t, out);
    ASSERT_TRUE(out.Tuning.Ok()) << "QL " << ql << ": " << out.Tuning.Why();
    const DesignState& d = out.Tuned.Design;
    EXPECT_NEAR(d.Cp1, s.Cp1, 5e-3 * s.Cp1) << "QL " << ql;
    /* At QL 1.8 Cs2 is almost a short (its reactance 2 % of Ro) and moves
       nothing: there its reactance is compared, to 0.5 % of Ro. */
    const double w = kExactTwoPi * double(s.FreqHz);
    if (ql < 2.0)
      EXPECT_NEAR(1e12 / (w * d.Cs2BAS), 1e12 / (w * s.Cs2), 5e-3 * s.Ro) << "QL " << ql;
    else
      EXPECT_NEAR(d.Cs2BAS, s.Cs2, 5e-3 * s.Cs2) << "QL " << ql;
    EXPECT_NEAR(d.RoBAS, s.Ro, 5e-3 * s.Ro) << "QL " << ql;
  }
}

/* Acar, Annema and Nauta (2007): class E with a finite choke at infinite
   loaded Q, ideal parts, 50 % duty.  q = 1 / (w sqrt(Lp1 Cp1)),
   KL = w Lp1 / R, KC = w Cp1 R, KX = X / R, KP = P R / Vcc^2. */
TEST(SimTune, FiniteChokeMatchesPublishedExactTheory) {
  struct Row {
    double q, kl, kc, kx, kp;
  };
  const Row rows[] = {{0.2, 133.229, 0.1876, 1.1380, 0.5853},
                      {0.5, 18.916, 0.2115, 1.0580, 0.6347},
                      {1.0, 2.860, 0.3495, 0.7092, 0.8999},
                      {1.412, 0.733, 0.6841, 0.0000, 1.3632}};
  for (const Row& row : rows) {
    DesignState s = Design(2.5);
    const double ql = 1000.0, w = kExactTwoPi * double(s.FreqHz);
    const double vcc = s.Vcc, p = s.Power, r = row.kp * vcc * vcc / p;
    /* Start from the infinite-choke values, not the answer. */
    s.QL = static_cast<float>(ql);
    s.Cp1 = static_cast<float>(0.1836 / (w * r) * 1e12);
    s.Cs2BAS = static_cast<float>(1e12 / (w * r * (ql - 1.1525)));
    s.RoBAS = static_cast<float>(r);
    s.Ls2BAS = static_cast<float>(ql * r / w * 1e6);
    TuneSettings t;
    const double lp1 = row.kl * r / w;
    t.Adjust = [lp1](Circuit& c) {
      DropLosses(c);
      FindPart(c, "Lp1")->Value = lp1;
      c.Switch.Ron = 1e-3;
      c.Switch.Ramp = 0.0;
    };
    TuneOutcome out;
    TuneDesign(s, 0, 0, t, out);
    ASSERT_TRUE(out.Tuning.Ok()) << "q " << row.q << ": " << out.Tuning.Why();
    const DesignState& d = out.Tuned.Design;
    const double ro = d.RoBAS, cp1 = d.Cp1 * 1e-12, cs2 = d.Cs2BAS * 1e-12;
    EXPECT_NEAR(w * cp1 * ro, row.kc, 5e-3 * row.kc) << "q " << row.q;
    EXPECT_NEAR(ql - 1.0 / (w * cs2 * ro), row.kx, std::max(5e-3 * row.kx, 5e-3)) << "q " << row.q;
    EXPECT_NEAR(p * ro / (vcc * vcc), row.kp, 5e-3 * row.kp) << "q " << row.q;
  }
}

/* The built-in example in every topology, tuned and confirmed by an
   independent simulator. */
TEST(SimTune, EveryTopologyConfirmedByNgspice) {
  if (!SimulatorAvailable()) GTEST_SKIP() << "built without ngspice";
  for (int t = 0; t < kTopologyCount; t++) {
    SimOptions o;
    DefaultOptions(o);
    o.Design.Topology = t;
    const DesignState s = ExampleDesign(t);
    TuningRun run;
    RunTuning(s, TuningRequestFor(o), run);
    ASSERT_TRUE(run.Outcome.Tuning.Ok()) << Topology(t).Name << ": " << run.Outcome.Tuning.Why();
    const SimResult& r = run.TunedByNgspice;
    ASSERT_TRUE(r.Run.Ok()) << r.Run.Why();
    EXPECT_LT(std::fabs(r.ZvsError), 0.005) << Topology(t).Name;
    EXPECT_LT(std::fabs(r.Slope), 0.02) << Topology(t).Name;
    EXPECT_NEAR(r.Pout, 2.5, 0.01 * 2.5) << Topology(t).Name;
  }
}

TEST(SimTune, DeviceCapacitanceIsTakenFromTheShuntCapacitor) {
  const DesignState s = Design(2.5);
  TuneOutcome bare, with;
  TuneDesign(s, 0, 0, TuneSettings{}, bare);
  ASSERT_TRUE(bare.Tuning.Ok()) << bare.Tuning.Why();
  TuneSettings t;
  t.Device.Coss = 100e-12;
  TuneDesign(s, 0, 0, t, with);
  ASSERT_TRUE(with.Tuning.Ok()) << with.Tuning.Why();
  EXPECT_NEAR(with.Tuned.Design.Cp1, bare.Tuned.Design.Cp1 - 100.0, 0.5);
  /* 500 pF is more than the 375 pF the circuit needs at all: no design,
     and a frequency limit that scales the need down to it. */
  t.Device.Coss = 500e-12;
  TuneOutcome none;
  TuneDesign(s, 0, 0, t, none);
  EXPECT_FALSE(none.Tuning.Ok());
  EXPECT_TRUE(none.DeviceTooLarge);
  const std::string limit = std::to_string(3.8 * bare.Tuned.Design.Cp1 / 500.0).substr(0, 4);
  EXPECT_NE(none.Tuning.Why().find("fits up to " + limit), std::string::npos) << none.Tuning.Why();
}

TEST(SimTune, GradedDeviceCapacitanceTunedInHouseHoldsInNgspice) {
  if (!SimulatorAvailable()) GTEST_SKIP() << "built without ngspice";
  SimOptions o;
  DefaultOptions(o);
  o.CossPf = 150.0;
  o.CossVolts = 12.0;
  o.CossM = 0.5;
  const DesignState s = ExampleDesign();
  TuningRun run;
  RunTuning(s, TuningRequestFor(o), run);
  ASSERT_TRUE(run.Outcome.Tuning.Ok()) << run.Outcome.Tuning.Why();
  EXPECT_TRUE(run.Outcome.Shooting);
  const SimResult& r = run.TunedByNgspice;
  ASSERT_TRUE(r.Run.Ok()) << r.Run.Why();
  EXPECT_LT(std::fabs(r.ZvsError), 0.005);
  EXPECT_LT(std::fabs(r.Slope), 0.02);
  EXPECT_NEAR(r.Pout, 2.5, 0.01 * 2.5);
  /* A graded capacitance raises the peak above the linear case's
     (Chudobiak 1994): compare with the same capacitance held linear. */
  SimOptions lin = o;
  lin.CossVolts = 0.0;
  lin.CossM = 0.0;
  lin.CossPf = run.Outcome.Tuned.CossPf;
  TuningRun linear;
  RunTuning(s, TuningRequestFor(lin), linear);
  ASSERT_TRUE(linear.Outcome.Tuning.Ok()) << linear.Outcome.Tuning.Why();
  EXPECT_GT(r.Vpeak, linear.Outcome.Tuned.Point.Vpeak);
}

TEST(SimTune, E24PartsWorkedByHand) {
  struct Case {
    double pf;
    double first, second;
  };
  const Case cases[] = {
      {360.0, 360.0, 0.0},   /* an E24 value is itself */
      {374.7, 360.0, 15.0},  /* 375 by two (0.08 %) beats 360 or 390 */
      {1000.0, 1000.0, 0.0}, /* decade edge */
      {95.0, 56.0, 39.0},    /* exact by two */
      {2.05, 2.0, 0.0},      /* 2.0 is 2.4 % off but no pair of 1 pF parts comes within 1 % */
  };
  for (const Case& c : cases) {
    const E24Choice e = ChooseE24(c.pf);
    EXPECT_NEAR(E24Value(e), c.first + c.second, 1e-9) << c.pf << " gave " << E24Text(e);
  }
  EXPECT_DOUBLE_EQ(NearestE24(4.4), 4.3);
  EXPECT_DOUBLE_EQ(NearestE24(9.6), 10.0); /* the next decade's 1.0 */
}

/* The body diode clamps the switch voltage a junction drop below zero:
   the untuned example, which swings to -2.4 V before turn-on, stops near
   -0.7 V, and tuning with the diode in still meets the conditions (a
   tuned switch never takes the diode into conduction). */
TEST(SimTune, BodyDiodeClampsTheSwitchVoltage) {
  if (!SimulatorAvailable()) GTEST_SKIP() << "built without ngspice";
  SimOptions o;
  DefaultOptions(o);
  o.Diode = true;
  const DesignState s = ExampleDesign();
  TuningRun run;
  RunTuning(s, TuningRequestFor(o), run);
  const SimResult& untuned = run.Calculator.Point;
  ASSERT_TRUE(untuned.Run.Ok()) << untuned.Run.Why();
  EXPECT_GT(untuned.Von, -1.0);
  EXPECT_LT(untuned.Von, -0.4);
  ASSERT_TRUE(run.Outcome.Tuning.Ok()) << run.Outcome.Tuning.Why();
  EXPECT_LT(std::fabs(run.TunedByNgspice.ZvsError), 0.005);
  EXPECT_NEAR(run.TunedByNgspice.Pout, 2.5, 0.025);
}

/* The same search, step by step: the same values, the same number of
   steady states, the same tuned point, in every topology and with a
   device capacitance beside Cp1 (the second exact stage). */
TEST(SimTune, SharedWorkspaceGivesTheSearchOfFreshOnes) {
  for (int t = 0; t < kTopologyCount; t++)
    for (double coss : {0.0, 150e-12}) {
      const DesignState s = Design(5.0, t);
      TuneSettings settings;
      settings.Device.Coss = coss;
      TuneOutcome now, before;
      TuneDesign(s, t, 0, settings, now);
      previous::TuneDesign(
          s, t, 0, settings,
          [](const Circuit& c, double mhz, SimResult& r) { ExactSteadyState(c, mhz, r); }, before);
      const std::string where = std::string(Topology(t).Name) + (coss > 0.0 ? " Coss" : "");
      ASSERT_EQ(now.Tuning.Ok(), before.Tuning.Ok()) << where << ": " << now.Tuning.Why();
      if (!now.Tuning.Ok()) continue;
      EXPECT_EQ(now.Evaluations, before.Evaluations) << where;
      EXPECT_EQ(now.Tuned.Exact.Cp1Pf, before.Tuned.Exact.Cp1Pf) << where;
      EXPECT_EQ(now.Tuned.Exact.CapPf, before.Tuned.Exact.CapPf) << where;
      EXPECT_EQ(now.Tuned.Exact.RoOhm, before.Tuned.Exact.RoOhm) << where;
      EXPECT_EQ(now.Tuned.Point.Pout, before.Tuned.Point.Pout) << where;
      EXPECT_EQ(now.Tuned.Point.Vpeak, before.Tuned.Point.Vpeak) << where;
      EXPECT_EQ(now.Tuned.Point.H2dBc, before.Tuned.Point.H2dBc) << where;
      EXPECT_EQ(now.Tuned.Point.Vload, before.Tuned.Point.Vload) << where;
    }
}

}  // namespace
