/*
** The coil editor, driven end to end in the scripted mode: every menu of
** the editor, each parameter entry, the refused entries with their
** notice, and how long an edit lasts.
**
** Expected rows come from an independent python re-computation of the
** written formulas with float32 stores, cross-checked by hand against
** Wheeler's formula (L = D^2 N^2 / (18 D + 40 Len)), Q = 143 D sqrt(f) /
** (1 + 0.45 D / Len) and published AWG diameters and resistances.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/coil_session.h"
#include "tests/test_support.h"

TEST(CoilEditor, MenusOfBothArrangements) {
  const char kCombined[] = "\nSelect Coil to Change...\nChoke   Ls2+lm   eXit\n";
  const char kSeparate[] = "\nSelect Coil to Change...\nChoke   Tune   Match    eXit\n";
  const char kChoke[] = "\nSelect Choke Coil Parameter to Change...\nUhy  Dia  Len  Nturns  eXit\n";
  EXPECT_TRUE(Has(Session("cxx"), kCombined));
  EXPECT_FALSE(Has(Session("cxx"), "Parameter"));
  EXPECT_TRUE(Has(Session("ccxx"), kChoke));
  EXPECT_TRUE(Has(Session("Clxx"),
                  "\nSelect Ls2+LM Coil Parameter to Change...\nDia  Len  Nturns  eXit\n"));
  EXPECT_TRUE(Has(Session("r10\ncxx"), kSeparate));
  EXPECT_TRUE(Has(Session("r10\nCCxx"), kChoke));
  EXPECT_TRUE(Has(Session("r10\nctxx"),
                  "\nSelect Tune Coil Parameter to Change...\nDia  Len  Nturns  eXit\n"));
  EXPECT_TRUE(Has(Session("r10\ncMxx"),
                  "\nSelect Match Coil Parameter to Change...\nDia  Len  Nturns  eXit\n"));
  /* Keys of the other menu, and unlisted keys, choose no coil. */
  const char kNone[] = "\nSelect No Coil Parameter to Change...\nDia  Len  Nturns  eXit\n";
  EXPECT_TRUE(Has(Session("ctxx"), kNone));
  EXPECT_TRUE(Has(Session("cqxx"), kNone));
  EXPECT_TRUE(Has(Session("r10\nclxx"), kNone));
  /* With no EL network the coils stand apart. */
  EXPECT_TRUE(Has(Session("r25.1221409\ncxx"), kSeparate));
}

/* After a Space pass (so the DC loss is in), the screen that follows the
   editor equals the one before it. */
TEST(CoilEditor, ExitAndOtherKeysChangeNothing) {
  for (const char* keys : {"cx", "cX", "ccx", "clx", "cc?", "cl ", "cqd", "cqn", "ctl", "c\n"}) {
    const std::vector<std::string> s = MainScreens(Session(std::string(" ") + keys + "x"));
    ASSERT_EQ(s.size(), 3u) << keys;
    EXPECT_EQ(Body(s[2]), Body(s[1])) << keys;
    EXPECT_FALSE(Has(s[1], "Enter")) << keys;
  }
}

TEST(CoilEditor, FormEntriesKeepTheInductance) {
  /* Wheeler at 26.30 uH: a 2-inch winding on the 1-inch form takes
     sqrt(98 * 26.30) = 50.8 turns, pitch 0.0394 in: AWG 19 fits, AWG 18
     (0.0403 in) does not; Q = 143 sqrt(3.8) / 1.225 = 228. */
  std::string t = Session("ccl2\nx");
  EXPECT_TRUE(Has(t, "Uhy  Dia  Len  Nturns  eXit\nEnter Winding Length <1.000000> inches...\n"));
  EXPECT_TRUE(
      Has(ScreenAfter(t, "Enter Winding"),
          "Choke-Lp1   26.30    1.00    2.00    50.8  #19 (#23)   228  2.76  0.28  0.01\n"));
  /* 50 turns: Len = (2500 / 26.30 - 18) / 40 = 1.93 in. */
  t = Session("ccN50\nx");
  EXPECT_TRUE(Has(t, "Enter Number of Turns <39.059853>...\n"));
  EXPECT_TRUE(
      Has(ScreenAfter(t, "Enter Number"),
          "Choke-Lp1   26.30    1.00    1.93    50.0  #19 (#23)   226  2.78  0.27  0.01\n"));
  /* A 2-inch form: sqrt((36 + 40) * 26.30 / 4) = 22.4 turns. */
  t = Session("ccd2\nx");
  EXPECT_TRUE(Has(t, "Enter Form Diam <1.000000> inches...\n"));
  EXPECT_TRUE(
      Has(ScreenAfter(t, "Enter Form"),
          "Choke-Lp1   26.30    2.00    1.00    22.4  #18 (#22)   293  2.14  0.19  0.01\n"));
  /* The coil for Ls2 + Ls3 (3.68 uH, current ILs2) on a 2-inch winding. */
  t = Session("cll2\nx");
  EXPECT_TRUE(
      Has(ScreenAfter(t, "Enter Winding"),
          "Ls2+Ls3      3.68    1.00    2.00    19.0  #10 (#14)   228  0.39  0.01  0.04\n"));
  /* Separate coils: 20 turns of Ls2 need 3.35 in; Ls3 (0.515 uH, current
     IRload) on a 2-inch form takes 3.1 turns. */
  t = Session("r10\nctn20\nx");
  EXPECT_TRUE(
      Has(ScreenAfter(t, "Enter Number"),
          "Tune-Ls2     2.63    1.00    3.35    20.0  # 6 (#10)   246  0.26  0.01  0.03\n"));
  t = Session("r10\ncmd2\nx");
  EXPECT_TRUE(
      Has(ScreenAfter(t, "Enter Form"),
          "Match-Ls3    0.52    2.00    1.00     3.1  # 1 (# 5)   293  0.04  0.00  0.01\n"));
}

/* Four times the choke's inductance: twice the turns on the same form; the
   main screen's Lp1 and the choke current follow. */
TEST(CoilEditor, ChokeInductanceScalesTheTurns) {
  for (const char* keys : {"ccu105.2187653\nx", "clu105.2187653\nx", "r10\ncmU105.2187653\nx"}) {
    const std::string t = Session(keys);
    EXPECT_TRUE(Has(t, "Enter Inductance <26.304691> uhy...\n")) << keys;
    const std::string s = ScreenAfter(t, "Enter Inductance");
    EXPECT_TRUE(Has(s, "2.50    105.22     367.1     2.63")) << s;
    EXPECT_TRUE(
        Has(s, "Choke-Lp1  105.22    1.00    1.00    78.1  #28 (#32)   192 13.07  3.38  0.15\n"))
        << s;
    EXPECT_TRUE(Has(s, "VRMS     15.10")) << s;
    EXPECT_TRUE(Has(s, "IRMS      0.01")) << s;
  }
}

/* Wheeler's inductance of a coil's own shape. */
double Wheeler(const CoilRecord& c) {
  return double(c.Dia) * c.Dia * c.Nturns * c.Nturns / (18.0 * c.Dia + 40.0 * c.Len);
}

TEST(CoilEditor, EntriesKeepWheelersFormulaTrue) {
  const struct {
    const char* keys;
    int coil;
    float CoilRecord::*field;
    float value;
  } edits[] = {
      {"ccl2.5\n", kChokeLp1, &CoilRecord::Len, 2.5f},
      {"ccd0.6\n", kChokeLp1, &CoilRecord::Dia, 0.6f},
      {"ccn44\n", kChokeLp1, &CoilRecord::Nturns, 44.0f},
      {"cln30\n", kLs2PlusLs3, &CoilRecord::Nturns, 30.0f},
      {"cld3\n", kLs2PlusLs3, &CoilRecord::Dia, 3.0f},
  };
  DesignState s;
  for (const auto& e : edits) {
    Session(e.keys, &s);
    EXPECT_EQ(s.Coils[e.coil].*e.field, e.value) << e.keys;
    for (const CoilRecord& c : s.Coils) {
      if (c.Uhy > 0) {
        EXPECT_NEAR(Wheeler(c), c.Uhy, 2e-5 * c.Uhy) << e.keys;
      }
    }
  }
  /* The choke's inductance times 4: turns times 2, the same form. */
  DesignState before;
  Session("", &before);
  Session("ccu105.2187653\n", &s);
  const CoilRecord &a = before.Coils[kChokeLp1], &b = s.Coils[kChokeLp1];
  EXPECT_NEAR(b.Nturns, 2 * a.Nturns, 1e-5 * b.Nturns);
  EXPECT_EQ(b.Dia, a.Dia);
  EXPECT_NEAR(b.Len, a.Len, 1e-5);
  EXPECT_EQ(b.Qu, a.Qu);
  EXPECT_EQ(s.Lp1, b.Uhy);
}

/* A line that holds no number leaves the coil alone and says nothing,
   even for the coil that has nothing to shape. */
TEST(CoilEditor, AnEntryThatIsNotANumberChangesNothing) {
  for (const char* keys : {"ccdabc\n", "clLwide\n", "ccn?\n", "ccu-\n"}) {
    const std::vector<std::string> s = MainScreens(Session(std::string(" ") + keys + "x"));
    ASSERT_EQ(s.size(), 3u) << keys;
    EXPECT_EQ(Body(s[2]), Body(s[1])) << keys;
  }
  const std::string t = Session("r25.1221409\ncmdabc\nx");
  EXPECT_FALSE(Has(t, "refused"));
}

TEST(CoilEditor, RefusedEntriesKeepTheCoilAndSayWhy) {
  const struct {
    const char* keys;
    const char* notice;
  } cases[] = {
      {"ccd0\n", "Choke coil Dia 0 refused: the diameter must be above 0 inches"},
      {"ccd-1\n", "Choke coil Dia -1 refused: the diameter must be above 0 inches"},
      {"ccl0\n", "Choke coil Len 0 refused: the length must be above 0 inches"},
      {"cll-2\n", "Ls2+LM coil Len -2 refused: the length must be above 0 inches"},
      {"ccn0\n", "Choke coil Nturns 0 refused: the turns must be above 0"},
      {"cln-3\n", "Ls2+LM coil Nturns -3 refused: the turns must be above 0"},
      /* Wheeler needs sqrt(18 * 26.30) = 21.8 turns for a zero length. */
      {"ccn21\n", "Choke coil Nturns 21 refused: too few turns for this inductance"},
      {"cln4\n", "Ls2+LM coil Nturns 4 refused: too few turns for this inductance"},
      {"ccu0\n", "Choke coil Uhy 0 refused: the inductance must be above 0 uH"},
      {"clu-5\n", "Choke coil Uhy -5 refused: the inductance must be above 0 uH"},
      {"ccd1e-38\n", "Choke coil Dia 1e-38 refused: the design would overflow or underflow"},
      {"ccu3e38\n", "Choke coil Uhy 3e+38 refused: the design would overflow or underflow"},
      {"ccd1e39\n", "Choke coil Dia refused: the value is too large to hold"},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> s = MainScreens(Session(std::string(" ") + c.keys + " x"));
    ASSERT_GE(s.size(), 4u) << c.keys;
    EXPECT_EQ(Body(s[2]), Body(s[1]) + c.notice + "\n") << c.keys;
    EXPECT_EQ(Body(s.back()), Body(s[1])) << c.keys; /* shown once */
  }
  /* With no EL network the matching coil has nothing to shape. */
  const std::string t = Session("r25.1221409\ncmd1\nx");
  EXPECT_TRUE(Has(ScreenAfter(t, "Enter Form"),
                  "Match coil Dia 1 refused: the coil has no inductance here\n"));
}

TEST(CoilEditor, EditsLastUntilTheirReset) {
  /* An inductance lasts until an input edit sets Lp1 back to 10 x Ls2.
     (kChokeStart has the DC loss, which comes in with the Space after an
     entry.) */
  std::string s = LastScreen(Session("ccu50\n x"));
  EXPECT_TRUE(Has(s, "2.50     50.00     367.1")) << s;
  EXPECT_TRUE(Has(s, "\nChoke-Lp1   50.00    1.00    1.00    53.9")) << s;
  s = LastScreen(Session("ccu50\np2.5\n x"));
  EXPECT_TRUE(Has(s, "2.50     26.30     367.1")) << s;
  EXPECT_TRUE(Has(s, kChokeStart)) << s;
  /* A form lasts through other input edits, which redesign the turns on
     it, and goes back to the default size with a Freq entry. */
  s = LastScreen(Session("ccl2\nq2.5\nx"));
  EXPECT_TRUE(Has(s, "\nChoke-Lp1   26.30    1.00    2.00    50.8")) << s;
  s = LastScreen(Session("ccl2\nr10\nx"));
  EXPECT_TRUE(Has(s, "\nChoke-Lp1   26.30    1.00    2.00    50.8")) << s;
  s = LastScreen(Session("cll2\nf3.8\nx"));
  EXPECT_TRUE(Has(s, "\nLs2+Ls3      3.68    1.00    1.00    14.6")) << s;
  s = LastScreen(Session("ccl2\nf3.8\n x"));
  EXPECT_TRUE(Has(s, kChokeStart)) << s;
}

TEST(CoilEditor, TheProgramBehavesAsTheInProcessSession) {
  const std::string keys = " ccl2\nclN30\nccd0\nr10\nctd2\ncmx cqd";
  int status = -1;
  /* The program clears the screen once more at start-up. */
  EXPECT_EQ(RunBinary(keys, &status), "\f" + Session(keys));
  EXPECT_EQ(status, 0);
}
