/*
** sim_state_space_test.cpp: the state equations of small circuits
** against their hand-derived forms, and the refusal of a node that coils
** alone join.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sim/engine/state_space.h"

namespace {

CircuitPart Part(const char* name, PartKind kind, const std::string& a, const std::string& b,
                 double value, double series) {
  CircuitPart p{};
  p.Name = name;
  p.Kind = kind;
  p.NodeA = a;
  p.NodeB = b;
  p.Value = value;
  p.SeriesLoss = series;
  return p;
}

/* A choke L (series loss r) from the supply to the switch node, a
   lossless C and a load R across the switch.  By hand, with x = [iL, vC]:
     L iL' = Vcc - r iL - vC,   C vC' = iL - vC / R - g vC;
   the supply delivers iL, the switch and the load see vC. */
TEST(SimStateSpace, ChokeCapacitorLoadByHandAtEachConductance) {
  const double l = 10e-6, r = 0.5, cap = 1e-9, load = 50.0, vcc = 12.0;
  Circuit c;
  c.Vcc = vcc;
  c.Parts = {Part("L", kCoil, kNodeSupply, kNodeSwitch, l, r),
             Part("C", kCapacitor, kNodeSwitch, kNodeGround, cap, 0.0),
             Part("R", kResistor, kNodeSwitch, kNodeGround, load, 0.0)};
  c.Load = 2;
  /* The first conductance is factorised; the others are rank-one
     changes of it. */
  const std::vector<double> g = {10.0, 1e-4, 0.02};
  std::vector<StateSpace> out;
  ASSERT_TRUE(BuildStateSpaces(c, g, out).Ok());
  ASSERT_EQ(out.size(), g.size());
  const auto near = [](double got, double want) { EXPECT_NEAR(got, want, 1e-12 * std::abs(want)); };
  for (size_t i = 0; i < g.size(); i++) {
    const StateSpace& ss = out[i];
    ASSERT_EQ(ss.A.rows(), 2);
    near(ss.A(0, 0), -r / l);
    near(ss.A(0, 1), -1.0 / l);
    near(ss.A(1, 0), 1.0 / cap);
    near(ss.A(1, 1), -(1.0 / load + g[i]) / cap);
    near(ss.B(0), vcc / l);
    EXPECT_EQ(ss.B(1), 0.0);
    const Eigen::RowVector3d vc(0, 1, 0), il(1, 0, 0);
    EXPECT_TRUE(ss.SwitchVoltage.isApprox(vc, 1e-12));
    EXPECT_TRUE(ss.SwitchCurrent.isApprox(g[i] * vc, 1e-12));
    EXPECT_TRUE(ss.SupplyCurrent.isApprox(il, 1e-12));
    EXPECT_TRUE(ss.LoadVoltage.isApprox(vc, 1e-12));
    /* The switch, the choke's loss, the load: g vC^2, r iL^2, vC^2 / R. */
    ASSERT_EQ(ss.Dissipators.size(), 3u);
    const int part[] = {-1, 0, 2};
    const double weight[] = {g[i], r, 1.0 / load};
    const Eigen::RowVector3d row[] = {vc, il, vc};
    for (int k = 0; k < 3; k++) {
      EXPECT_EQ(ss.Dissipators[k].Part, part[k]);
      near(ss.Dissipators[k].Weight, weight[k]);
      EXPECT_TRUE(ss.Dissipators[k].Row.isApprox(row[k], 1e-12)) << k;
    }
  }
}

/* Two nodes joined by coils alone, the later-named one met first: the
   refusal names the first by name, whatever the parts' order. */
TEST(SimStateSpace, CoilsOnlyNodeRefusedByItsName) {
  Circuit c;
  c.Vcc = 12.0;
  c.Parts = {Part("L1", kCoil, kNodeSupply, "zz", 1e-6, 0.1),
             Part("L2", kCoil, "zz", kNodeSwitch, 1e-6, 0.1),
             Part("L3", kCoil, kNodeSwitch, "aa", 1e-6, 0.1),
             Part("L4", kCoil, "aa", kNodeGround, 1e-6, 0.1),
             Part("C", kCapacitor, kNodeSwitch, kNodeGround, 1e-9, 0.0),
             Part("R", kResistor, kNodeSwitch, kNodeGround, 50.0, 0.0)};
  c.Load = 5;
  std::vector<StateSpace> out;
  const Status s = BuildStateSpaces(c, {1.0}, out);
  ASSERT_FALSE(s.Ok());
  EXPECT_EQ(s.Why(), "no capacitor at node aa: --engine ngspice solves it");
}

}  // namespace
