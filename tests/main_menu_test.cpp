/*
** The main menu and the main design screen, driven end to end in the
** scripted mode: in process through the memory console, and through the
** built program with the keys on its standard input.
*/
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/test_support.h"

namespace {

const char kMenu[] =
    "\nSelect letter...(or <Space> to update efficiency estimate)\n"
    "Freq  Power  Vcc  QL  Rload  rOn  Coil  Alt  BB  Wire  Help  eXit\n";

float Entered(const std::string& keys, float DesignState::*field) {
  DesignState s;
  RunSession(keys + "x", &s);
  return s.*field;
}

}  // namespace

TEST(MainScreen, StartScreenTopBlockAndReferenceLines) {
  int status = -1;
  const std::string out = RunBinary("x", &status);
  EXPECT_EQ(status, 0);
  /* Figures worked out by hand from the design equations in double
     precision, then formatted with the screen's conversions. */
  const std::string top =
      "                                        \n\n"
      "Freq-Mhz  Vdc    Ron   Pwatts    QL    QC      Rload\n"
      "   3.80   12.0   0.20     2.5    2.50  0.99     50.00\n"
      "\n"
      "Pdc     Idc     Vpk    Safety  Dev-BV  Dev-Ipk  DevDiss\n"
      "  2.5  0.21    42.7     0.8     53.4    0.74     0.08\n"
      "\n"
      "Basic Class-E Element Values:\n"
      "QL      Lp1-uh    Cp1-pf   Ls2-uh     Cs2-pf    Ro ohms\n"
      "2.50     26.30     367.1     2.63      1688.7     25.12\n";
  const std::string screen = LastScreen(out);
  EXPECT_EQ(screen.substr(0, top.size()), top);
  EXPECT_NE(screen.find("\nPi-net reference (Ro=49.61 ohms :  Cp2=  833.52 pf)\n"),
            std::string::npos);
  EXPECT_NE(screen.find("EL-Matching network Basic-Ro 25.12 ohms to 50.00 ohms\n"),
            std::string::npos);
  /* The screen ends with the menu, and nothing follows the exit key. */
  ASSERT_GE(screen.size(), sizeof kMenu - 1);
  EXPECT_EQ(screen.substr(screen.size() - (sizeof kMenu - 1)), kMenu);
}

TEST(MainScreen, InProcessSessionMatchesTheProgram) {
  int status = -1;
  /* The program clears the screen once more at start-up. */
  EXPECT_EQ("\f" + RunSession("f7\nq3\n x"), RunBinary("f7\nq3\n x", &status));
  EXPECT_EQ(status, 0);
}

TEST(MainMenu, FrequencyLimits) {
  EXPECT_FLOAT_EQ(Entered("f0.1\n", &DesignState::Freq), 0.5f);
  EXPECT_FLOAT_EQ(Entered("f600\n", &DesignState::Freq), 500.0f);
  EXPECT_FLOAT_EQ(Entered("f500\n", &DesignState::Freq), 500.0f);
  EXPECT_FLOAT_EQ(Entered("F-3\n", &DesignState::Freq), 0.5f);
  EXPECT_FLOAT_EQ(Entered("f0.5\n", &DesignState::Freq), 0.5f);
  EXPECT_FLOAT_EQ(Entered("fabc\n", &DesignState::Freq), 3.8f);
  EXPECT_FLOAT_EQ(Entered("f2.5e1\n", &DesignState::Freq), 25.0f);
}

TEST(MainMenu, QlLimits) {
  EXPECT_FLOAT_EQ(Entered("q1\n", &DesignState::QL), 1.8f);
  EXPECT_FLOAT_EQ(Entered("q25\n", &DesignState::QL), 20.0f);
  EXPECT_FLOAT_EQ(Entered("Q1.8\n", &DesignState::QL), 1.8f);
  EXPECT_FLOAT_EQ(Entered("q20\n", &DesignState::QL), 20.0f);
  EXPECT_FLOAT_EQ(Entered("q-\n", &DesignState::QL), 2.5f);
}

TEST(MainMenu, EntriesWithoutLimitsAreTakenAsTyped) {
  EXPECT_FLOAT_EQ(Entered("p2.5e1\n", &DesignState::Power), 25.0f);
  EXPECT_FLOAT_EQ(Entered("V48\n", &DesignState::Vcc), 48.0f);
  EXPECT_FLOAT_EQ(Entered("o0\n", &DesignState::Ron), 0.0f);
  EXPECT_FLOAT_EQ(Entered("R1000\n", &DesignState::Rload), 1000.0f);
  EXPECT_FLOAT_EQ(Entered("p.5\n", &DesignState::Power), 0.5f);
}

TEST(MainMenu, EachEntryShowsItsPromptWithSixDecimals) {
  const std::string out = RunSession("f-\np-\nv-\nq-\no-\nr-\nx");
  for (const char* prompt :
       {"Enter frequency <3.800000> Mhz...\n", "Enter power <2.500000> watts...\n",
        "Enter VCC <12.000000> volts...\n", "Enter Q <2.500000>\n", "Enter Ron <0.200000> ohms\n",
        "Enter Rload <50.000000> ohms\n"})
    EXPECT_NE(out.find(prompt), std::string::npos) << prompt;
}

TEST(MainMenu, UnassignedKeysMakeALightPassThatChangesNothing) {
  /* Two Space passes bring the estimate up to date; every key after that
     must redraw the very same screen. */
  const std::string out = RunSession("  \n\rd7Z?\x1b x");
  std::vector<std::string> screens = Screens(out);
  ASSERT_EQ(screens.size(), 11u);
  for (size_t i = 2; i < screens.size(); i++) EXPECT_EQ(screens[i], screens[1]) << i;
}

TEST(MainMenu, ExitKeysAndEndOfInputEndWithStatusZero) {
  for (const char* keys : {"x", "X", "", " ", "q3\n"}) {
    int status = -1;
    const std::string out = RunBinary(keys, &status);
    EXPECT_EQ(status, 0) << keys;
    EXPECT_EQ(out.substr(out.size() - (sizeof kMenu - 1)), kMenu) << keys;
  }
}

TEST(MainMenu, RefusedEntriesKeepTheInputAndExplainOnce) {
  struct Case {
    const char* keys;
    float DesignState::*field;
    float kept;
    const char* notice;
  } cases[] = {
      {"r0\n", &DesignState::Rload, 50.0f, "Rload 0 refused: Rload must be above 0 ohms"},
      {"r-50\n", &DesignState::Rload, 50.0f, "Rload -50 refused: Rload must be above 0 ohms"},
      {"p0\n", &DesignState::Power, 2.5f, "Power 0 refused: Power must be above 0 watts"},
      {"p-2\n", &DesignState::Power, 2.5f, "Power -2 refused: Power must be above 0 watts"},
      {"v0\n", &DesignState::Vcc, 12.0f, "Vcc 0 refused: Vcc must be above 0 volts"},
      {"o-0.1\n", &DesignState::Ron, 0.2f, "Ron -0.1 refused: Ron must not be negative"},
      {"p1e39\n", &DesignState::Power, 2.5f, "Power refused: the value is too large to hold"},
      {"v1e30\n", &DesignState::Vcc, 12.0f,
       "Vcc 1e+30 refused: the design would overflow or underflow"},
  };
  for (const Case& c : cases) {
    DesignState s;
    const std::string out = RunSession(std::string(c.keys) + " x", &s);
    EXPECT_FLOAT_EQ(s.*c.field, c.kept) << c.keys;
    std::vector<std::string> screens = Screens(out);
    ASSERT_EQ(screens.size(), 3u) << c.keys; /* start, after the entry, after Space */
    const std::string line = std::string(c.notice) + "\n" + kMenu;
    EXPECT_NE(screens[1].find(line), std::string::npos) << c.keys;
    EXPECT_EQ(screens[2].find("refused"), std::string::npos) << c.keys;
    EXPECT_EQ(out.find("nan"), std::string::npos) << c.keys;
    EXPECT_EQ(out.find("inf"), std::string::npos) << c.keys;
  }
}

TEST(MainMenu, RloadEntryResetsTheTurnsRatiosEvenWhenRefused) {
  DesignState s;
  RunSession("r0\nx", &s);
  EXPECT_FLOAT_EQ(s.NTBAS, 1.0f);
  EXPECT_FLOAT_EQ(s.NTPI, 1.0f);
}

TEST(MainMenu, FrequencyEntryResetsCoilFormsOtherEntriesKeepThem) {
  DesignState s;
  RunSession("f12\nx", &s);
  for (const CoilRecord& c : s.Coils) {
    EXPECT_FLOAT_EQ(c.Dia, 0.75f); /* 10 MHz and up: 0.75-inch forms */
    EXPECT_FLOAT_EQ(c.Len, 0.75f);
  }
  EXPECT_FLOAT_EQ(s.SweepFreq[10], 12.0f);
  RunSession("p5\nv24\nq4\nr70\no0.5\nx", &s);
  for (const CoilRecord& c : s.Coils) EXPECT_FLOAT_EQ(c.Dia, 1.0f); /* 3.8 MHz: 1 inch */
}

/* A load far out of range can be accepted behind a 1:5 transformer; an
   Rload entry that would reset the ratios to 1:1 must then leave them, or
   the sweep pages would show -inf. */
TEST(MainMenu, FollowUpThatWouldOverflowIsLeftUndone) {
  const std::string setUp = "r4e32\nab5\n p5\n kp800\n";
  DesignState s;
  std::string out = RunSession(setUp + "rz\nb x", &s);
  EXPECT_FLOAT_EQ(s.Rload, 4e32f);
  EXPECT_FLOAT_EQ(s.NTBAS, 5.0f);
  EXPECT_FLOAT_EQ(s.NTPI, 5.0f);
  EXPECT_NE(out.find("Rload unchanged, turns ratios kept: at 1:1 the design would overflow\n"),
            std::string::npos);
  EXPECT_EQ(out.find("inf"), std::string::npos);
  EXPECT_EQ(out.find("nan"), std::string::npos);

  out = RunSession(setUp + "r-3\nx", &s);
  EXPECT_FLOAT_EQ(s.NTBAS, 5.0f);
  EXPECT_NE(out.find("Rload -3 refused: Rload must be above 0 ohms; ratios kept\n"),
            std::string::npos);

  /* An ordinary design takes its 1:1 ratios back as always. */
  RunSession("ab5\n p5\n krz\nx", &s);
  EXPECT_FLOAT_EQ(s.NTBAS, 1.0f);
  EXPECT_FLOAT_EQ(s.NTPI, 1.0f);
}

TEST(MainMenu, NegativeZeroIsStoredAsZero) {
  DesignState s;
  const std::string out = RunSession("o-0\nx", &s);
  EXPECT_FALSE(std::signbit(s.Ron));
  EXPECT_NE(LastScreen(out).find("   3.80   12.0   0.00     2.5"), std::string::npos);
}

/* Every notice is one line of a standard 80-column terminal, even with
   the widest value %g can print. */
TEST(MainMenu, NoticesFitOneLine) {
  const std::string out = RunSession(
      "r-1.23456789e-30\np-1.23456789e+30\nv1.23456789e30\no-1.23456789e-30\n"
      "cln-1.23456789e-30\ncln1.23456789e-30\nccu-1.23456789e-30\nccd1.23456789e-38\n"
      "r10\ncmd-1.23456789e-30\nr4e32\nab5\n p5\n kp800\nr-1.23456789e+30\nrz\nx");
  int notices = 0;
  for (const std::string& line : Lines(out)) {
    if (line.find("refused") == std::string::npos && line.find("kept") == std::string::npos)
      continue;
    notices++;
    EXPECT_LE(line.size(), 80u) << line;
  }
  EXPECT_GE(notices, 10);
}

/* A design whose losses exceed Pgen is kept, and each of its screens says
   so above the menu (above a refusal's notice too); no other design's
   screen changes.  By hand, at 2.5 W and 12 V (0.2083 A) the device loses
   0.075 W + 0.0434 A^2 x Ron, the coils and capacitors 0.06 W more: Ron 50
   leaves 2.5 - 2.17 - 0.075 - 0.06 = 0.19 W, Ron 60 -0.24 W; at 1e9 W the
   conduction loss alone is 1.4e15 W. */
TEST(MainScreen, LossesBeyondPgenAreSaidAboveTheMenu) {
  const std::string warning =
      "Losses exceed Pgen: by this estimate the design cannot deliver power\n";
  EXPECT_LE(warning.size() - 1, 80u);
  const struct {
    const char* keys;
    bool warned;
    const char* notice; /* on the screen after the last entry */
  } cases[] = {
      {"", false, ""},
      {"o50\n", false, ""},
      {"o60\n", true, ""},
      {"p1e9\n", true, ""},
      {"p1e9\n p2.5\n", false, ""},
      {"o60\np0\n", true, "Power 0 refused: Power must be above 0 watts\n"},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> screens = Screens(RunSession(std::string(c.keys) + " x"));
    ASSERT_GE(screens.size(), 2u) << c.keys;
    /* The screen after the last entry, then the one after Space. */
    const std::string tails[] = {(c.warned ? warning : "") + c.notice + kMenu,
                                 (c.warned ? warning : "") + kMenu};
    for (int i = 0; i < 2; ++i) {
      const std::string& screen = screens[screens.size() - 2 + i];
      ASSERT_GE(screen.size(), tails[i].size()) << c.keys;
      EXPECT_EQ(screen.substr(screen.size() - tails[i].size()), tails[i]) << c.keys << i;
      EXPECT_EQ(screen.find(warning) != std::string::npos, c.warned) << c.keys << i;
      EXPECT_EQ(screen.find("Pwr Out = -") != std::string::npos, c.warned) << c.keys << i;
    }
  }
}
