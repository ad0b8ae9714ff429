/*
** sim_sensitivity_test.cpp: the sensitivity table against what a whole
** part change does to the tuned built-in example: Cp1 one E24 step low
** (360 pF for 374.7 pF) turns the switch on at about -1.6 % of the peak
** and raises the peak by about 3 %; +1 % carried over that step
** linearly must tell the same.  And the table holds every element, Ron
** included, largest effect first.
*/
#include <gtest/gtest.h>

#include <set>

#include "sim/analysis/sensitivity.h"
#include "sim_example.h"

namespace {

TEST(SimSensitivity, CpOneStepLowAsTheLinearGuideTellsIt) {
  SensitivityRun run;
  RunSensitivity(TunedExample(), kEngineExact, 0, 3.8, run);
  ASSERT_TRUE(run.Nominal.Run.Ok()) << run.Nominal.Run.Why();
  std::set<std::string> names;
  for (const ElementEffect& e : run.Effects) {
    ASSERT_TRUE(e.Run.Ok()) << e.Element << ": " << e.Run.Why();
    names.insert(e.Element);
  }
  EXPECT_EQ(names, (std::set<std::string>{"Lp1", "Cp1", "Ls2", "Cs2", "Ron"}));
  for (size_t i = 1; i < run.Effects.size(); i++)
    EXPECT_GE(EffectSize(run.Effects[i - 1]), EffectSize(run.Effects[i]));
  const ElementEffect* cp1 = nullptr;
  for (const ElementEffect& e : run.Effects)
    if (e.Element == "Cp1") cp1 = &e;
  ASSERT_NE(cp1, nullptr);
  const double steps = 100.0 * (360.0 / cp1->Value - 1.0); /* -3.9 % */
  EXPECT_NEAR(cp1->DVpkPct * steps, 3.0, 0.5);
  EXPECT_NEAR(cp1->DZvs * steps, -0.016, 0.004);
}

}  // namespace
