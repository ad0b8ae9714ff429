/*
** sweep_pages_test.cpp: the power estimate driven through whole scripted
** sessions: the BASIC and PINET pages as printed, the notch toggle and
** how long it lasts, the PINET mismatch cautions, and designs whose
** sweep would overflow.
**
** The printed figures are checked against the complex-arithmetic model
** of tests/sweep_reference.h, fed with the element values of the
** session's design; the fixed texts are checked line by line.
*/
#include "sweep/sweep_pages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/design_pass.h"
#include "sweep/sweep_plan.h"
#include "sweep/topology_sweeps.h"
#include "tests/sweep_reference.h"
#include "tests/test_support.h"

using namespace sweepref;

namespace {

/* The sweep pages of a transcript, in order; each starts with its title
   and runs to the next clearing of the screen. */
std::vector<std::string> Pages(const std::string& transcript) {
  std::vector<std::string> pages;
  for (const std::string& screen : Split(transcript, '\f'))
    if (screen.rfind("[BASIC]", 0) == 0 || screen.rfind("[PINET]", 0) == 0) pages.push_back(screen);
  return pages;
}

bool IsBasic(const std::string& page) {
  return page.rfind("[BASIC]", 0) == 0;
}

bool PrintsNoNanOrInf(const std::string& transcript) {
  for (const char* bad : {"nan", "NAN", "inf", "INF"})
    if (transcript.find(bad) != std::string::npos) return false;
  return true;
}

const char* const kRowFormat = "%4.2e  %6.1f %6.1f %6.2f  %6.1f %6.1f %6.2f  %6.1f %6.1f %6.2f";

/* The line of each sweep point 0..23 on a page: an empty line stands
   before point 10 and one line (empty or a caution) after it. */
int RowLine(int point) {
  return 10 + point + (point >= 10 ? 1 : 0) + (point > 10 ? 1 : 0);
}

struct Row {
  double v[10];
};

Row ParseRow(const std::string& line) {
  Row r{};
  EXPECT_EQ(std::sscanf(line.c_str(), "%lf %lf %lf %lf %lf %lf %lf %lf %lf %lf", &r.v[0], &r.v[1],
                        &r.v[2], &r.v[3], &r.v[4], &r.v[5], &r.v[6], &r.v[7], &r.v[8], &r.v[9]),
            10)
      << line;
  /* Formatting the numbers read back must give the same line: the
     columns stand where the layout puts them. */
  char again[200];
  std::snprintf(again, sizeof again, kRowFormat, r.v[0], r.v[1], r.v[2], r.v[3], r.v[4], r.v[5],
                r.v[6], r.v[7], r.v[8], r.v[9]);
  EXPECT_EQ(line, again);
  return r;
}

/* A printed figure with the given decimals against the model: off by at
   most the printing's rounding plus single-precision error. */
void ExpectFigure(double printed, double model, int decimals, const std::string& what) {
  EXPECT_LE(std::fabs(printed - model), 0.5 * std::pow(10.0, -decimals) + 2e-5 * std::fabs(model))
      << what << ": printed " << printed << ", model " << model;
}

/* Checks one page line by line: the fixed texts, the ratio line given,
   the line after the design-frequency row, and every figure against the
   model of s's networks with the filter at notch. */
void ExpectPage(const std::string& page, const DesignState& s, int notch, const char* ratioLine,
                const char* afterDesignRow) {
  const bool basic = IsBasic(page);
  const std::vector<std::string> line = Split(page, '\n');
  ASSERT_EQ(line.size(), 43u) << page; /* 42 lines and what follows the last line feed */
  const char* const name = basic ? "BASIC" : "PINET";
  EXPECT_EQ(line[0],
            std::string("[") + name + "] POWER VS FREQUENCY ESTIMATE FROM ZIN converted to Rp-Xp");
  EXPECT_EQ(line[1], "");
  EXPECT_EQ(line[2], "The CE waveform remains valid if Rp and Xp are within");
  EXPECT_EQ(line[3], std::string("approx 10% of the ") + name + " Rp and Xp design center value.");
  EXPECT_EQ(line[4], " ");
  EXPECT_EQ(line[5], ratioLine);
  EXPECT_EQ(line[6], "");
  EXPECT_EQ(line[7], basic
                         ? "SWEEP       BASIC                 BASIC+EL              BASIC+EL+TCH"
                         : "SWEEP       PINET                 PINET+EL              PINET+EL+TCH");
  EXPECT_EQ(line[8], "Freq-Mhz    Rp     Xp     Pwr     Rp     Xp     Pwr     Rp     Xp     Pwr  ");
  EXPECT_EQ(line[9], "________    ___________________   ___________________   __________________");
  EXPECT_EQ(line[20], "");
  EXPECT_EQ(line[22], afterDesignRow);
  EXPECT_EQ(line[36], "");
  EXPECT_EQ(line[39], "");
  EXPECT_EQ(line[40], "Press <N> to toggle TCH Notch");
  EXPECT_EQ(line[41], basic ? "Any other key to continue Power Estimate..."
                            : "Any other key to exit Power Estimate...");

  const Variant first = basic ? kBas : kPi;
  const double rpRef = ParallelR(RefDevice(s, kBas, notch, kSweepDesignPoint));
  const double f = s.Freq;
  for (int k = 0; k < kSweep3Fo; k++) {
    const Row r = ParseRow(line[RowLine(k)]);
    const double mhz = k <= 20 ? 0.75 * f + k * 0.025 * f : (k - 20) * 0.25 * f + 1.25 * f;
    EXPECT_LE(std::fabs(r.v[0] - mhz), 0.005 * std::pow(10.0, std::floor(std::log10(mhz))) + 1e-6)
        << "point " << k;
    for (int c = 0; c < 3; c++) {
      const Z z = RefDevice(s, Variant(first + c), notch, k);
      const std::string what = "point " + std::to_string(k) + " column " + std::to_string(c);
      ExpectFigure(r.v[1 + 3 * c], ParallelR(z), 1, what + " Rp");
      ExpectFigure(r.v[2 + 3 * c], ParallelX(z), 1, what + " Xp");
      ExpectFigure(r.v[3 + 3 * c], s.Power * rpRef / ParallelR(z), 2, what + " Pwr");
    }
  }
  double db2[3], db3[3];
  ASSERT_EQ(std::sscanf(line[37].c_str(), "2xFo-db %lf %lf %lf", &db2[0], &db2[1], &db2[2]), 3);
  ASSERT_EQ(std::sscanf(line[38].c_str(), "3xFo-db %lf %lf %lf", &db3[0], &db3[1], &db3[2]), 3);
  char again[120];
  std::snprintf(again, sizeof again,
                "2xFo-db                %6.1f                %6.1f                %6.1f", db2[0],
                db2[1], db2[2]);
  EXPECT_EQ(line[37], again);
  for (int c = 0; c < 3; c++) {
    const Variant v = Variant(first + c);
    ExpectFigure(db2[c], 10 * std::log10(rpRef / ParallelR(RefDevice(s, v, notch, 23))), 1, "2xFo");
    ExpectFigure(db3[c], 10 * std::log10(rpRef / ParallelR(RefDevice(s, v, notch, 24))), 1, "3xFo");
  }
}

const char* const kBasicRatios1 =
    "NTBAS=1:1.000   ZTBAS=1:1.000           The TCH 2xFo notch is NOT USED";
const char* const kBasicRatios1Notch =
    "NTBAS=1:1.000   ZTBAS=1:1.000           The TCH 2xFo notch is USED";
const char* const kPinetRatios1 =
    "NTPI=1:1.000   ZTPI=1:1.000             The TCH 2xFo notch is NOT USED";
const char* const kPinetRatios1Notch =
    "NTPI=1:1.000   ZTPI=1:1.000             The TCH 2xFo notch is USED";

/* The line of point k of a page, and the part of it that shows the two
   columns without the filter. */
std::string RowText(const std::string& page, int k) {
  return Split(page, '\n')[RowLine(k)];
}
std::string FirstTwoColumns(const std::string& page, int k) {
  return RowText(page, k).substr(0, 53);
}

}  // namespace

TEST(SweepPages, PlainVisit) {
  DesignState final;
  const std::string out = RunSession("b  x", &final);
  const std::vector<std::string> pages = Pages(out);
  ASSERT_EQ(pages.size(), 2u);
  ASSERT_TRUE(IsBasic(pages[0]));
  ASSERT_FALSE(IsBasic(pages[1]));
  ExpectPage(pages[0], final, 0, kBasicRatios1, "");
  /* The filter-terminated pi-net is within 4 % of BASIC at Fo. */
  ExpectPage(pages[1], final, 0, kPinetRatios1, "");
  /* The BASIC column delivers the design power at Fo. */
  EXPECT_EQ(RowText(pages[0], 10).substr(0, 30), "3.80e+00    82.6  104.7   2.50");
  EXPECT_EQ(final.TchNotch, 0);
  /* Back on the main screen after the pages, through a light pass. */
  EXPECT_NE(out.rfind("Select letter..."), std::string::npos);
  EXPECT_GT(out.rfind("Select letter..."), out.rfind("[PINET]"));
  EXPECT_EQ(final.FullRecalc, 0);
  EXPECT_TRUE(PrintsNoNanOrInf(out));
}

TEST(SweepPages, NotchOnTheBasicPage) {
  DesignState final;
  const std::string out = RunSession("bn  x", &final);
  const std::vector<std::string> pages = Pages(out);
  ASSERT_EQ(pages.size(), 3u);
  ASSERT_TRUE(IsBasic(pages[0]) && IsBasic(pages[1]) && !IsBasic(pages[2]));
  ExpectPage(pages[1], final, 1, kBasicRatios1Notch, "");
  ExpectPage(pages[2], final, 1, kPinetRatios1Notch, "");
  /* Only the filter column and its harmonic figures change. */
  for (int k = 0; k < kSweep3Fo; k++)
    EXPECT_EQ(FirstTwoColumns(pages[0], k), FirstTwoColumns(pages[1], k));
  EXPECT_NE(RowText(pages[0], 23), RowText(pages[1], 23));
  EXPECT_EQ(final.TchNotch, 1);
  /* The trap takes close to 20 dB off the second harmonic. */
  double off[3], on[3];
  ASSERT_EQ(std::sscanf(Split(pages[0], '\n')[37].c_str(), "2xFo-db %lf %lf %lf", &off[0], &off[1],
                        &off[2]),
            3);
  ASSERT_EQ(
      std::sscanf(Split(pages[1], '\n')[37].c_str(), "2xFo-db %lf %lf %lf", &on[0], &on[1], &on[2]),
      3);
  EXPECT_EQ(on[0], off[0]);
  EXPECT_EQ(on[1], off[1]);
  EXPECT_NEAR(on[2] - off[2], -20.0, 3.0);
}

TEST(SweepPages, NotchTwiceBringsBackTheFirstPage) {
  DesignState final;
  const std::string out = RunSession("bnn  x", &final);
  const std::vector<std::string> pages = Pages(out);
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_EQ(pages[2], pages[0]);
  EXPECT_NE(pages[1], pages[0]);
  ExpectPage(pages[3], final, 0, kPinetRatios1, "");
  EXPECT_EQ(final.TchNotch, 0);
}

TEST(SweepPages, NotchOnThePinetPageRedrawsThePinetPage) {
  DesignState final;
  const std::string out = RunSession("b n x", &final);
  const std::vector<std::string> pages = Pages(out);
  ASSERT_EQ(pages.size(), 3u);
  ASSERT_TRUE(IsBasic(pages[0]) && !IsBasic(pages[1]) && !IsBasic(pages[2]));
  ExpectPage(pages[1], final, 0, kPinetRatios1, "");
  ExpectPage(pages[2], final, 1, kPinetRatios1Notch, "");
  for (int k = 0; k < kSweep3Fo; k++)
    EXPECT_EQ(FirstTwoColumns(pages[1], k), FirstTwoColumns(pages[2], k));
  /* The exit key of the second PINET page is the x; the program went on
     to end at the end of the script. */
  EXPECT_EQ(final.TchNotch, 1);
}

TEST(SweepPages, NotchLastsIntoTheNextVisitAndTheNextFullPass) {
  DesignState final;
  std::string out = RunSession("bn  b  x", &final);
  std::vector<std::string> pages = Pages(out);
  ASSERT_EQ(pages.size(), 5u);
  ExpectPage(pages[3], final, 1, kBasicRatios1Notch, "");
  ExpectPage(pages[4], final, 1, kPinetRatios1Notch, "");

  /* Entering QL again forces a full pass, which sweeps the filter with
     the notch still on. */
  out = RunSession("bn  q2.5\nb  x", &final);
  pages = Pages(out);
  ASSERT_EQ(pages.size(), 5u);
  ExpectPage(pages[3], final, 1, kBasicRatios1Notch, "");
  EXPECT_EQ(pages[3], pages[1]);
  for (int k = 0; k < kSweepPoints; k++)
    EXPECT_LT(Off(Parallel(final.FilterRp[k], final.FilterXp[k]), RefFilter(final, 1, k)), 1e-5);
}

TEST(SweepPages, AnyOtherKeyMovesOn) {
  /* Escape, a digit, an arrow's first byte: none toggles. */
  DesignState final;
  const std::string out = RunSession(
      "b\x1b"
      "7x",
      &final);
  const std::vector<std::string> pages = Pages(out);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(final.TchNotch, 0);
}

/* A lossy trap coil shifts the filter's Fo resistance: at Fo the trap
   stands for Cpout (0.77 Rload of reactance) but adds a parallel loss of
   about 2.3 Q Rload, so a coil Q near 5 drops the load by some 8 %.  The
   pi-net's referred match then carries that shift to the device, up or
   down with the arrangement.  The coil editor sets the Q (Qu of a 0.02
   or 0.01 inch form at 3.8 MHz is 5.5 or 2.8), the alternate page NTPI. */
TEST(SweepPages, PinetCautionRoAboveRl) {
  DesignState final;
  const std::string out = RunSession("cld0.02\nap2\n  bn  x", &final);
  ASSERT_NEAR(final.Coils[kLs2PlusLs3].Qu, 143 * 0.02 * std::sqrt(3.8) / (1 + 0.45 * 0.02), 1e-3);
  ASSERT_EQ(final.NTPI, 2.0f);
  ASSERT_EQ(final.TchNotch, 1);
  const auto ratio = [&](int notch) {
    return ParallelR(RefDevice(final, kBas, notch, 10)) /
           ParallelR(RefDevice(final, kPiElTch, notch, 10));
  };
  EXPECT_LT(ratio(1), 0.95);
  EXPECT_GT(ratio(0), 0.99); /* it is the trap's loss */
  const std::vector<std::string> pages = Pages(out);
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(Split(pages[2], '\n')[22], "***Caution-Pinet+TCH (Ro > RL) Mismatch***");
  EXPECT_EQ(Split(pages[2], '\n')[5],
            "NTPI=1:2.000   ZTPI=1:4.000             The TCH 2xFo notch is USED");
  /* The BASIC page keeps its empty line, whatever its own filter column
     shows. */
  EXPECT_EQ(Split(pages[1], '\n')[22], "");
  EXPECT_TRUE(PrintsNoNanOrInf(out));
}

TEST(SweepPages, PinetCautionRoBelowRl) {
  DesignState final;
  const std::string out = RunSession("q20\ncld0.01\nap2\n  bn  x", &final);
  ASSERT_EQ(final.QL, 20.0f);
  ASSERT_EQ(final.NTPI, 2.0f);
  const double ratio =
      ParallelR(RefDevice(final, kBas, 1, 10)) / ParallelR(RefDevice(final, kPiElTch, 1, 10));
  EXPECT_GT(ratio, 1.05);
  const std::vector<std::string> pages = Pages(out);
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(Split(pages[2], '\n')[22], "***Caution-Pinet+TCH (Ro < RL) Mismatch***");
  EXPECT_EQ(Split(pages[0], '\n')[22], "");
  EXPECT_EQ(Split(pages[1], '\n')[22], "");
}

/* Vcc 1e-16 V gives Ro near 2e-33 ohm against 50 ohm: the main screen
   and the alternate page still print finite values, but across an
   impedance step of 1e34 the match's Q is 1e17 and q^2 r leaves single
   precision, so the PINET+EL column fills with nan.  The entry is
   refused, so the pages never show one. */
TEST(SweepPages, DesignThatWouldOverflowTheSweepIsRefused) {
  static DesignState s;
  s = DesignState{};
  SetStartValues(s);
  s.Vcc = 1e-16f;
  ComputePass(s, kFullPass);
  ASSERT_TRUE(std::isfinite(s.Ro) && s.Ro > 0.0f && s.Ro < 1e-30f);
  ComputeSweepBAS(s);
  ComputeSweepPI(s);
  ComputeSweepPIEL(s);
  bool overflow = false;
  for (int k = 0; k < kSweep3Fo; k++) overflow = overflow || !std::isfinite(s.SweepPIEL.Rp[k]);
  ASSERT_TRUE(overflow);

  DesignState final;
  const std::string out = RunSession("v1e-16\nb  x", &final);
  EXPECT_EQ(final.Vcc, 12.0f);
  EXPECT_NE(out.find("Vcc 1e-16 refused"), std::string::npos);
  EXPECT_TRUE(PrintsNoNanOrInf(out));
}
