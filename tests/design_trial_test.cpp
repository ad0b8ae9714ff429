/*
** The trial design: a trial leaves the design alone until it is taken,
** trials nest without writing over each other (the finite check runs its
** own inside an entry's), and a pass of a trial says whether the screens
** would print only finite values.
*/
#include "app/design_trial.h"

#include <gtest/gtest.h>

#include "app/design_check.h"
#include "tests/test_support.h"

TEST(DesignTrial, TheDesignChangesOnlyWhenTheTrialIsTaken) {
  DesignState s = StartDesign();
  {
    DesignTrial dropped(s);
    dropped.Design().Vcc = 24.0f;
    ASSERT_TRUE(dropped.PassPrintsFinite(kFullPass));
    EXPECT_FLOAT_EQ(s.Vcc, 12.0f);
  }
  EXPECT_FLOAT_EQ(s.Vcc, 12.0f);
  {
    DesignTrial taken(s);
    taken.Design().Vcc = 24.0f;
    ASSERT_TRUE(taken.PassPrintsFinite(kFullPass));
    taken.TakeInto(s);
  }
  EXPECT_FLOAT_EQ(s.Vcc, 24.0f);
  /* Ro = 0.576801 k Vcc^2 / P, k from QL 2.5: four times the start
     design's 25.12 ohms. */
  EXPECT_NEAR(s.Ro, 4.0 * 25.1221409, 1e-3);
}

/* As an entry's trial holds its design while the finite check sweeps a
   copy of it in a trial of its own. */
TEST(DesignTrial, ANestedTrialLeavesTheOuterOneAlone) {
  const DesignState s = StartDesign();
  DesignTrial outer(s);
  outer.Design().Rload = 10.0f;
  ASSERT_TRUE(outer.PassPrintsFinite(kFullPass));
  const float cp3 = outer.Design().Cp3;
  {
    DesignTrial inner(outer.Design());
    inner.Design().Rload = 500.0f;
    ComputePass(inner.Design(), kFullPass);
    EXPECT_NE(inner.Design().Cp3, cp3);
  }
  EXPECT_FLOAT_EQ(outer.Design().Rload, 10.0f);
  EXPECT_EQ(outer.Design().Cp3, cp3);
  EXPECT_EQ(outer.Design().MatchEL, kElStepDown);
  EXPECT_TRUE(outer.PrintsFinite());
  EXPECT_FLOAT_EQ(s.Rload, 50.0f);
}

/* A supply of 1e30 V puts Ro near 1e59 ohms, beyond single precision:
   the main menu refuses it for that reason. */
TEST(DesignTrial, APassThatOverflowsIsReported) {
  DesignTrial trial(StartDesign());
  trial.Design().Vcc = 1e30f;
  EXPECT_FALSE(trial.PassPrintsFinite(kFullPass));
}

#ifndef NDEBUG
TEST(DesignTrialDeathTest, MoreOpenTrialsThanBuffersAreCaught) {
  const DesignState s = StartDesign();
  EXPECT_DEATH(
      {
        DesignTrial a(s);
        DesignTrial b(s);
        DesignTrial c(s);
      },
      "");
}
#endif
