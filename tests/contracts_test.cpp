/*
** The contracts the computations assert, broken one at a time: in a
** build with assertions (the Debug sanitizer build) each one stops the
** program instead of letting a stale or impossible value reach a screen.
*/
#include <gtest/gtest.h>

#include "app/design_pass.h"
#include "engine/power_estimate.h"
#include "sweep/sweep_plan.h"
#include "sweep/topology_sweeps.h"
#include "tests/test_support.h"

#ifdef NDEBUG
TEST(ContractsDeathTest, NeedAssertions) {
  GTEST_SKIP() << "assertions are compiled out of this build";
}
#else
TEST(ContractsDeathTest, EachBrokenContractStops) {
  const DesignState start = StartDesign();
  static DesignState s;

  s = start;
  s.Freq = 7.0f; /* a new Freq without its sweep plan */
  EXPECT_DEATH(ComputeFilterResponse(s, 0), "Freq");

  s = start;
  EXPECT_DEATH(ComputeFilterResponse(s, 2), "notch");

  s = start; /* the start design has swept nothing yet */
  EXPECT_DEATH(ComputeSweepPIEL(s), "BasicColumnIsCurrent");
  ComputeSweepBAS(s);
  ComputeSweepPIEL(s); /* now in order */
  s.Vcc = 24.0f;       /* a new Ro, so a new BASIC column */
  ComputePass(s, kLightPass);
  EXPECT_DEATH(ComputeSweepBASEL(s), "BasicColumnIsCurrent");

  s = start;
  s.MatchEL = 3;
  EXPECT_DEATH(EstimatePower(s), "IsElArrangement");

  s = start;
  RequestFullPass(s);
  EXPECT_DEATH(ComputePass(s, kLightPass), "FullRecalc");
}
#endif
