/*
** alternate_page_test.cpp: the alternate topologies page driven through
** whole scripted sessions: the page as printed, the turns-ratio entries
** with their extra key press and limits, and how long a ratio lasts.
*/
#include "topologies/alternate_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "app/design_check.h"
#include "app/design_pass.h"
#include "console/console.h"
#include "tests/test_support.h"

namespace {

/* The start design's page, worked out with python3 from the design
   equations with single precision emulated at every store, and checked
   by hand where the help pages quote the start design (Cp1 367 pF,
   Ls2 2.63 uH, Cs2 1688 pF, Ro 25.1 ohms): Ro 25.12 into 50 needs
   Qmatch sqrt(50/25.12 - 1) = 0.995; RoPiRef = 25.12 (1 + 0.9873^2) =
   49.61; the filter 1.491 / (50 * 2pi 3.8 MHz * 1.1548556) = 1081.5 pF;
   the Norton n = 367.1/1688.7 + 1 = 1.2174, Rt = 25.12/1.4821 = 16.95. */
const char* const kStartPage =
    "ALTERNATE TOPOLOGIES: Q=2.50  V=12.0 volts  P=2.5 watts  Fo=3.80 mhz\n"
    "\n"
    "(1)BASIC Class-E Element Values: \n"
    "   Cp1-pf    NT    ZT    Ls2-uh     Cs2-pf    Ro ohms\n"
    "   367.1    1.00  1.00      2.63    1688.7     25.12\n"
    "\n"
    "(1a)BASIC EL-Matching network-Ro 25.12 ohms to 50.00 ohms\n"
    "   For Ro and RL within 5% of each other,the matching network is not needed.\n"
    "   Qmatch=0.995   Series LM= 1.047 uh  Shunt  CM= 833.6 pf\n"
    "\n"
    "\n"
    "(2)PINET Element Values for Alternate topology:(Cs2 to Cp2 conversion)\n"
    "   Cp1-pf    NT    ZT    Ls2-uh    Cp2-pf     Ro ohms\n"
    "   367.1    1.00  1.00      2.63     833.5     49.61\n"
    "\n"
    "(2a)PINET EL-Matching network-Ro 49.61 ohms to 50.00 ohms\n"
    "   For Ro and RL within 5% of each other,the matching network is not needed.\n"
    "   Qmatch=0.089   Series LM= 0.185 uh  Shunt  CM= 74.5 pf\n"
    "\n"
    "\n"
    "(3)Separate Tchebychev filter (LPF):\n"
    "  Cpin-pf     Ls-uhy      Cpout-pf    RL-ohms\n"
    "  1081.5      2.027       1081.5      50.00\n"
    "\n"
    "(3a)Tchebychev filter Cp-out Conversion:\n"
    "   Replace the Cp-out cap (1081.5-pf) with a series (Ls+Cs)trap to ground.\n"
    "   Second harmonic suppression will improve by approx 20 db.\n"
    "   The filter impedance at Fo=3.800 mhz is unchanged.\n"
    "   Ls=0.541 uhy       Cs=811.1 pf\n"
    "\n"
    "\n"
    "(4)Norton transform of 'BASIC' circuit into adjacent Cs1 and Cp2\n"
    "   [Occasional use for devices with low Cdev]\n"
    "  Cs1-pf    Cp2-pf      Ls2-uhy    Rt-ohms\n"
    " 2055.8     446.9      1.775      16.95\n"
    "\n"
    "Press <B> or <P> to change BASIC or PINET Turns Ratio.\n"
    "Any other key to exit Alternate topology....\n";

/* Section (1) after B and 2: Ro 4 x 25.12 = 100.49 now above 50, so the
   shunt form: Qmatch = sqrt(100.49/50 - 1) = 1.005, CM = Qmatch / (w
   100.49) = 418.8 pF, LM = 50 Qmatch / w = 2.104 uH (python3, as above). */
const char* const kBasicTwoRow = "   367.1    2.00  4.00     10.52     422.2    100.49\n";
const char* const kBasicTwoHeading = "(1a)BASIC EL-Matching network-Ro 100.49 ohms to 50.00 ohms\n";
const char* const kBasicTwoMatch = "   Qmatch=1.005   Shunt  CM= 418.8 pf  Series LM= 2.104 uh\n";
const char* const kBasicOneRow = "   367.1    1.00  1.00      2.63    1688.7     25.12\n";
const char* const kPinetOneRow = "   367.1    1.00  1.00      2.63     833.5     49.61\n";

int CountPages(const std::string& transcript) {
  int n = 0;
  for (const std::string& screen : Screens(transcript))
    if (screen.rfind("ALTERNATE TOPOLOGIES:", 0) == 0) ++n;
  return n;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

bool PrintsNoNanOrInf(const std::string& transcript) {
  for (const char* bad : {"nan", "NAN", "inf", "INF"})
    if (transcript.find(bad) != std::string::npos) return false;
  return true;
}

TEST(AlternatePage, StartDesignPage) {
  const std::string out = RunSession("a");
  EXPECT_EQ(LastScreen(out), kStartPage);
  /* The main screen names the same Rt as section (4). */
  const std::vector<std::string> screens = Screens(out);
  ASSERT_EQ(screens.size(), 2u);
  EXPECT_NE(screens[0].find("Norton reference (Rt=16.95 ohms)\n"), std::string::npos);
}

TEST(AlternatePage, BasicRatioTwo) {
  DesignState final;
  const std::string out = RunSession("ab2\n ", &final);
  const std::vector<std::string> screens = Screens(out);
  ASSERT_EQ(screens.size(), 3u);
  EXPECT_EQ(screens[1], std::string(kStartPage) + "Enter BASIC turns ratio <1.000000> ...\n");
  std::string expected = Replaced(kStartPage, kBasicOneRow, kBasicTwoRow);
  expected = Replaced(expected, "(1a)BASIC EL-Matching network-Ro 25.12 ohms to 50.00 ohms\n",
                      kBasicTwoHeading);
  expected = Replaced(expected, "   Qmatch=0.995   Series LM= 1.047 uh  Shunt  CM= 833.6 pf\n",
                      kBasicTwoMatch);
  EXPECT_EQ(screens[2], expected); /* section (2) and below unchanged */
  EXPECT_EQ(final.NTBAS, 2.0f);
  EXPECT_EQ(final.ZTBAS, 4.0f);
  EXPECT_EQ(final.NTPI, 1.0f);
  EXPECT_EQ(final.MatchBAS, 2);
}

TEST(AlternatePage, OneKeyAfterTheEntryIsSwallowed) {
  /* "2" and its line end make the number; the next key, whatever it is,
     is read and ignored; only the key after it acts on the page. */
  DesignState final;
  std::string out = RunSession("ab2\nb3\n", &final);
  EXPECT_EQ(final.NTBAS, 2.0f); /* "b" swallowed, "3" left the page */
  EXPECT_EQ(CountPages(out), 2);
  EXPECT_EQ(out.find("<2.000000>"), std::string::npos);

  out = RunSession("ab2\n\nb", &final); /* an Enter as the extra key */
  EXPECT_EQ(CountPages(out), 2);
  EXPECT_NE(out.find("Enter BASIC turns ratio <2.000000> ...\n"), std::string::npos);
  EXPECT_EQ(final.NTBAS, 2.0f);
}

TEST(AlternatePage, RatiosAreHeldWithinOneFifthToFive) {
  struct Case {
    const char* typed;
    float stored;
    const char* row;
  };
  const Case cases[] = {
      {"0.1", 0.2f, "   367.1    0.20  0.04"},   {"-3", 0.2f, "   367.1    0.20  0.04"},
      {"7", 5.0f, "   367.1    5.00 25.00"},     {"1e30", 5.0f, "   367.1    5.00 25.00"},
      {"0.2", 0.2f, "   367.1    0.20  0.04"},   {"5", 5.0f, "   367.1    5.00 25.00"},
      {"0.35", 0.35f, "   367.1    0.35  0.12"}, {"0.199", 0.2f, "   367.1    0.20  0.04"},
  };
  for (const Case& c : cases) {
    for (char key : {'b', 'P'}) {
      DesignState final;
      const std::string out = RunSession(std::string("a") + key + c.typed + "\n ", &final);
      const float& ratio = key == 'b' ? final.NTBAS : final.NTPI;
      const float& other = key == 'b' ? final.NTPI : final.NTBAS;
      EXPECT_EQ(ratio, c.stored) << key << " " << c.typed;
      EXPECT_EQ(other, 1.0f) << key << " " << c.typed;
      EXPECT_NE(LastScreen(out).find(c.row), std::string::npos) << key << " " << c.typed;
    }
  }
}

TEST(AlternatePage, PinetRatio) {
  /* NT 3: Ls2 9 x 2.631 = 23.67 uH, Cp2 833.5 / 9 = 92.6 pF, Ro 9 x
     49.61 = 446.47 ohms, now above 50, so the shunt form: Qmatch =
     sqrt(446.47/50 - 1) = 2.816, CM = 264.2 pF, LM = 5.897 uH (python3,
     as above). */
  DesignState final;
  const std::string out = RunSession("ap3\n ", &final);
  const std::string page = LastScreen(out);
  EXPECT_NE(out.find("Enter PINET turns ratio <1.000000> ...\n"), std::string::npos);
  EXPECT_NE(page.find(kBasicOneRow), std::string::npos);
  EXPECT_NE(page.find("   367.1    3.00  9.00     23.67      92.6    446.47\n"), std::string::npos);
  EXPECT_NE(page.find("(2a)PINET EL-Matching network-Ro 446.47 ohms to 50.00 ohms\n"),
            std::string::npos);
  EXPECT_NE(page.find("   Qmatch=2.816   Shunt  CM= 264.2 pf  Series LM= 5.897 uh\n"),
            std::string::npos);
  EXPECT_EQ(final.NTPI, 3.0f);
  EXPECT_EQ(final.ZTPI, 9.0f);
  EXPECT_EQ(final.MatchPI, 2);
}

TEST(AlternatePage, EntryThatIsNotANumberKeepsTheRatio) {
  DesignState final;
  const std::string out = RunSession("ab2\n bz\n  x", &final);
  EXPECT_EQ(final.NTBAS, 2.0f);
  EXPECT_TRUE(PrintsNoNanOrInf(out));
}

TEST(AlternatePage, RatiosLastUntilRloadIsEntered) {
  const std::string setBoth = "ab2\n p3\n x";
  DesignState final;
  /* Leave, a light pass, come back. */
  std::string out = RunSession(setBoth + " a", &final);
  EXPECT_NE(LastScreen(out).find(kBasicTwoRow), std::string::npos);
  EXPECT_EQ(final.NTBAS, 2.0f);
  EXPECT_EQ(final.NTPI, 3.0f);

  for (const char* edit : {"f3.8\n", "p2.5\n", "v12\n", "q2.5\n", "o0.2\n", "f7\n", "q4\n"}) {
    RunSession(setBoth + edit, &final);
    EXPECT_EQ(final.NTBAS, 2.0f) << edit;
    EXPECT_EQ(final.NTPI, 3.0f) << edit;
  }

  for (const char* edit : {"r50\n", "R75\n", "rz\n"}) {
    out = RunSession(setBoth + edit + "a", &final);
    EXPECT_EQ(final.NTBAS, 1.0f) << edit;
    EXPECT_EQ(final.ZTBAS, 1.0f) << edit;
    EXPECT_EQ(final.NTPI, 1.0f) << edit;
    EXPECT_EQ(final.ZTPI, 1.0f) << edit;
  }
  /* The same Rload again: the page is the start page once more. */
  EXPECT_EQ(LastScreen(RunSession(setBoth + "r50\na")), kStartPage);
}

/* Runs the page alone on s with the given keys; returns what it printed. */
std::string RunPage(DesignState& s, const std::string& keys, int* leftWith) {
  static std::vector<char> out(1 << 20);
  ConsoleUseMemory(keys.data(), keys.size(), out.data(), out.size());
  *leftWith = ShowAlternatePage(s);
  return std::string(out.data(), std::min(ConsoleOutputLength(), out.size()));
}

TEST(AlternatePage, AnyOtherKeyLeavesAndIsGivenBack) {
  DesignState s = StartDesign();
  int key = 0;
  RunPage(s, "q", &key);
  EXPECT_EQ(key, 'q');
  const std::string out = RunPage(s, "b3\n 7", &key);
  EXPECT_EQ(key, '7');
  EXPECT_EQ(CountPages(out), 2);
  EXPECT_EQ(s.NTBAS, 3.0f);
  EXPECT_EQ(s.ZTBAS, 9.0f);
}

TEST(AlternatePage, RatioThatWouldOverflowIsRefused) {
  /* An extreme but accepted design: Vcc 1e-16 V into 1e-18 ohm at
     0.5 MHz and QL 1.8 gives Ro near 4e-31 ohm and Cs2 above 1.4e37 pF,
     finite at 1:1; a ratio of 0.2 would refer Cs2 to 25 times that,
     beyond single precision.  The ratio is refused and the old one
     stays. */
  DesignState s = StartDesign();
  s.Freq = 0.5f;
  s.QL = 1.8f;
  s.Vcc = 1e-16f;
  s.Power = 1e-2f;
  s.Rload = 1e-18f;
  ComputePass(s, kFullPass);
  ComputePass(s, kLightPass);
  ASSERT_TRUE(DesignPrintsFinite(s));
  ASSERT_GT(s.Cs2 * 25.0, double(std::numeric_limits<float>::max()));
  int key = 0;
  std::string out = RunPage(s, "b0.2\n q", &key);
  EXPECT_EQ(s.NTBAS, 1.0f);
  EXPECT_TRUE(DesignPrintsFinite(s));
  EXPECT_TRUE(PrintsNoNanOrInf(out));
  EXPECT_NE(LastScreen(out).find("Turns ratio refused"), std::string::npos);
  out = RunPage(s, "p0.2\n q", &key);
  EXPECT_EQ(s.NTPI, 1.0f);
  EXPECT_TRUE(PrintsNoNanOrInf(out));
  /* The notice is shown once: the page drawn after it is clean. */
  out = RunPage(s, "b1\n q", &key);
  EXPECT_EQ(out.find("refused"), std::string::npos);

  /* The other way round, through the menu: with 0.2 in force an entry
     whose design prints finite at 1:1 but not at 0.2 (here Ro near 4e19
     ohm into 1e12 ohm: the swept impedances overflow) is refused. */
  DesignState final;
  RunSession("f0.5\nq1.8\nr1e12\np1e-16\nv100\n", &final);
  ASSERT_EQ(final.Vcc, 100.0f);
  final.NTBAS = 0.2f;
  ComputePass(final, kLightPass);
  ASSERT_FALSE(DesignPrintsFinite(final));
  out = RunSession("f0.5\nq1.8\nr1e12\np1e-16\nab0.2\n xv100\n", &final);
  EXPECT_EQ(final.NTBAS, 0.2f);
  EXPECT_EQ(final.Vcc, 12.0f);
  EXPECT_NE(LastScreen(out).find("Vcc 100 refused"), std::string::npos);
  EXPECT_TRUE(PrintsNoNanOrInf(out));
}

TEST(AlternatePage, ThroughTheBinary) {
  int status = -1;
  const std::string out = RunBinary("ab2\n xx", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find(std::string(kStartPage) + "Enter BASIC turns ratio <1.000000> ...\n"),
            std::string::npos);
  EXPECT_NE(out.find(kBasicTwoRow), std::string::npos);
  EXPECT_NE(out.find(kBasicTwoMatch), std::string::npos);
  EXPECT_EQ(CountPages(out), 2);
}

}  // namespace
