/*
** help_pages_test.cpp: the help texts (fit the screen, print as format
** strings, quote the figures the program really computes) and the pager
** driven through whole sessions.
*/
#include "app/help_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "app/help_text.h"
#include "engine/basic_synthesis.h"
#include "tests/test_support.h"
#include "topologies/transformer_matching.h"

namespace {

const char kHelpPrompt[] = "\nPress any key to continue Help...or <X> to Exit";
const char kReferencesPrompt[] = "\nPress any key to exit References...";

/* The text as the screen shows it: "%%" is one "%". */
std::string Printed(const char* format) {
  std::string out;
  for (const char* p = format; *p; ++p) {
    out += *p;
    if (p[0] == '%' && p[1] == '%') ++p;
  }
  return out;
}

std::string Fmt(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

/* The first line of a page that begins with the given words. */
std::string LineStarting(int page, const std::string& start) {
  for (const std::string& line : Lines(Printed(kHelpPages[page])))
    if (line.compare(0, start.size(), start) == 0) return line;
  ADD_FAILURE() << "page " << page + 1 << " has no line starting \"" << start << "\"";
  return "";
}

bool Contains(int page, const std::string& words) {
  return Printed(kHelpPages[page]).find(words) != std::string::npos;
}

TEST(HelpText, EveryPageFitsTheScreenAndPrintsAsItsOwnFormat) {
  for (int page = 0; page < kHelpPageCount; ++page) {
    const char* text = kHelpPages[page];
    for (const char* p = text; *p; ++p) {
      if (*p != '%') continue;
      EXPECT_EQ(p[1], '%') << "lone % on page " << page + 1;
      ++p;
    }
    const std::string shown = Printed(text);
    EXPECT_EQ(shown.back(), '\n') << "page " << page + 1;
    EXPECT_EQ(shown.find('\t'), std::string::npos) << "page " << page + 1;
    /* The prompt adds an empty line and its own line: 48 + 2 = 50. */
    EXPECT_LE(Lines(shown).size(), 48u) << "page " << page + 1;
    for (const std::string& line : Lines(shown))
      EXPECT_LE(line.size(), 80u) << "page " << page + 1 << ": " << line;
  }
}

TEST(HelpText, HeadingsStandInOrderOnTheirPages) {
  EXPECT_EQ(std::string(kHelpPages[0])
                .rfind("CLASS-E HELP for V1.4         27 Mar 2004          de ZORV\n\n", 0),
            0u);
  const std::vector<std::vector<const char*>> headings = {
      {"OPERATION:", "ALTERNATE PAGES:", "DESIGN STARTUP EXAMPLE:", "BASIC MATCHING:"},
      {"PI-NET MATCHING (ALTERNATE):", "PINET BROADBAND MATCHING TOPOLOGY FOR QL~2.5:", "NOTE:",
       "SECOND HARMONIC TRAP:"},
      {"TRANSFORMER MATCHING:", "CAUTION:", "PUSH-PULL:", "NORTON:"},
      {"BB FREQUENCY SWEEP:"},
      {"COILS:", "CAPS:"},
      {"CIRCUIT MODELING:", "GUARANTEES:\nNONE!"},
      {"REFERENCES:"}};
  for (int page = 0; page < kHelpPageCount; ++page) {
    size_t at = 0;
    for (const char* h : headings[page]) {
      const size_t found = std::string(kHelpPages[page]).find(h, at);
      EXPECT_NE(found, std::string::npos) << "page " << page + 1 << ": " << h;
      if (found != std::string::npos) at = found;
    }
  }
}

/* The start design as the main screen prints it; the help's example must
   agree to that precision. */
TEST(HelpText, StartDesignFiguresAreWhatTheProgramComputes) {
  const DesignState s = StartDesign();
  const std::string example = "Cp1=" + Fmt("%.1f", s.Cp1) + " pF  Ls2=" + Fmt("%.2f", s.Ls2) +
                              " uH  Cs2=" + Fmt("%.1f", s.Cs2) + " pF  Ro=" + Fmt("%.2f", s.Ro) +
                              " ohms";
  EXPECT_TRUE(Contains(0, example)) << example;
  /* The same network at 10 W / 24 V and at 40 W / 48 V. */
  for (const float scale : {2.0f, 4.0f}) {
    DesignState t = s;
    t.Vcc = s.Vcc * scale;
    t.Power = s.Power * scale * scale;
    SynthesizeBasic(t);
    EXPECT_EQ(Fmt("%.2f", t.Ro), Fmt("%.2f", s.Ro));
    EXPECT_EQ(Fmt("%.1f", t.Cs2), Fmt("%.1f", s.Cs2));
    EXPECT_TRUE(Contains(0, Fmt("%.0f W", t.Power) + " at " + Fmt("%.0f V", t.Vcc)));
  }
  /* Pi-net reference of page 2. */
  EXPECT_TRUE(Contains(1, "QC " + Fmt("%.2f", s.QC)));
  EXPECT_TRUE(Contains(1, "Ro'=" + Fmt("%.2f", s.RoPiRef)));
  EXPECT_TRUE(Contains(1, "Cp2=" + Fmt("%.1f", s.Cp2PiRef) + " pF"));
}

TEST(HelpText, PushPullRowIsTheSingleEndedDesignAtTwicePowerAndVoltage) {
  const DesignState s = StartDesign();
  DesignState pp = s;
  pp.Power = 2 * s.Power;
  pp.Vcc = 2 * s.Vcc;
  SynthesizeBasic(pp);
  /* Between the drains every impedance doubles, and the two device
     capacitors stand in series. */
  EXPECT_NEAR(pp.Ls2 / s.Ls2, 2.0, 1e-5);
  EXPECT_NEAR(pp.Cs2 / s.Cs2, 0.5, 1e-5);
  EXPECT_NEAR(pp.Ro / s.Ro, 2.0, 1e-5);
  EXPECT_NEAR(pp.Cp1 / s.Cp1, 0.5, 1e-5);

  double cp1, ls2, cs2, ro;
  ASSERT_EQ(std::sscanf(LineStarting(2, "  Single 2.5 W").c_str(), "  Single 2.5 W %lf %lf %lf %lf",
                        &cp1, &ls2, &cs2, &ro),
            4);
  EXPECT_EQ(Fmt("%.1f", cp1), Fmt("%.1f", s.Cp1));
  EXPECT_EQ(Fmt("%.2f", ls2), Fmt("%.2f", s.Ls2));
  EXPECT_EQ(Fmt("%.1f", cs2), Fmt("%.1f", s.Cs2));
  EXPECT_EQ(Fmt("%.2f", ro), Fmt("%.2f", s.Ro));
  ASSERT_EQ(std::sscanf(LineStarting(2, "  Push-pull 5 W").c_str(),
                        "  Push-pull 5 W %lf each %lf %lf %lf", &cp1, &ls2, &cs2, &ro),
            4);
  EXPECT_EQ(Fmt("%.1f", cp1), Fmt("%.1f", s.Cp1));
  EXPECT_EQ(Fmt("%.2f", ls2), Fmt("%.2f", pp.Ls2));
  EXPECT_EQ(Fmt("%.1f", cs2), Fmt("%.1f", pp.Cs2));
  EXPECT_EQ(Fmt("%.2f", ro), Fmt("%.2f", pp.Ro));
  EXPECT_TRUE(Contains(2, "Cp1 (" + Fmt("%.1f", pp.Cp1) + " pF)"));
}

/* Page 4's settings that need no EL match: the resistance quoted is the
   one the program refers through the transformer. */
TEST(HelpText, ComponentSavingSettingsGiveTheQuotedResistance) {
  int rows = 0;
  for (const std::string& line : Lines(Printed(kHelpPages[3]))) {
    double p, v, q, nt, r;
    char which[8];
    if (std::sscanf(line.c_str(), "  P=%lf V=%lf Q=%lf NT%5[A-Z]=%lf", &p, &v, &q, which, &nt) != 5)
      continue;
    ASSERT_EQ(std::sscanf(line.c_str() + line.rfind("= ") + 2, "%lf", &r), 1) << line;
    ++rows;
    DesignState s = StartDesign();
    s.Power = float(p);
    s.Vcc = float(v);
    s.QL = float(q);
    SynthesizeBasic(s);
    const bool basic = std::string(which) == "BAS";
    (basic ? s.NTBAS : s.NTPI) = float(nt);
    ComputeTransformerMatching(s);
    const float got = basic ? s.RoBAS : s.RoPI;
    EXPECT_EQ(Fmt("%.1f", r), Fmt("%.1f", got)) << line;
    /* Within 1 % of the 50-ohm load: the match is not needed. */
    EXPECT_NEAR(got / s.Rload, 1.0, 0.01) << line;
  }
  EXPECT_EQ(rows, 4);
}

TEST(HelpText, ShieldTableHoldsThePublishedCorrections) {
  double r[5], k[5];
  ASSERT_EQ(std::sscanf(LineStarting(4, "   Ratio").c_str(), "   Ratio %lf %lf %lf %lf %lf", &r[0],
                        &r[1], &r[2], &r[3], &r[4]),
            5);
  ASSERT_EQ(std::sscanf(LineStarting(4, "   L x").c_str(), "   L x %lf %lf %lf %lf %lf", &k[0],
                        &k[1], &k[2], &k[3], &k[4]),
            5);
  const double ratio[5] = {4.0, 3.0, 2.5, 2.0, 1.5};
  const double left[5] = {0.98, 0.94, 0.91, 0.82, 0.65};
  for (int i = 0; i < 5; ++i) {
    EXPECT_DOUBLE_EQ(r[i], ratio[i]);
    EXPECT_DOUBLE_EQ(k[i], left[i]);
  }
}

TEST(HelpText, ReferencesNameEightWorksByAuthorAndYear) {
  const char* const works[][2] = {
      {"H. A. Wheeler, \"Simple Inductance Formulas for Radio Coils\"", "1928"},
      {"H. A. Wheeler, \"Formulas for the Skin Effect\"", "1942"},
      {"H. A. Wheeler, \"Inductance Chart for Solenoid Coil\"", "1950"},
      {"A. I. Zverev, \"Handbook of Filter Synthesis\"", "1967"},
      {"W. L. Everitt, \"Communication Engineering\"", "1932"},
      {"G. L. Matthaei, \"Tables of Chebyshev Impedance-Transforming", "1964"},
      {"F. E. Terman, \"Radio Engineers' Handbook\"", "1943"},
      {"N. O. Sokal and A. D. Sokal, \"Class E - A New Class", "1975"}};
  const std::string text = Printed(kHelpPages[kHelpLastHelpPage]);
  for (const auto& w : works) {
    const size_t at = text.find(w[0]);
    ASSERT_NE(at, std::string::npos) << w[0];
    /* The entry runs on over the following indented lines. */
    size_t end = text.find('\n', at);
    while (end != std::string::npos && text.compare(end + 1, 2, "  ") == 0)
      end = text.find('\n', end + 1);
    EXPECT_NE(text.substr(at, end - at).find(w[1]), std::string::npos) << w[0];
  }
}

/* The modelling table is pasted from the simulation script; its change
   rows must still follow from its six frequency rows. */
TEST(HelpText, ModellingTableChangesFollowFromItsRows) {
  std::vector<std::vector<double>> rows;
  double chgW[8], chgDb[8];
  int haveW = 0, haveDb = 0;
  for (const std::string& line : Lines(Printed(kHelpPages[5]))) {
    std::vector<double> v(9);
    if (std::sscanf(line.c_str(), "%lf %lf %lf %lf %lf %lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3],
                    &v[4], &v[5], &v[6], &v[7], &v[8]) == 9)
      rows.push_back(v);
    const char* f = "%*s %*s %lf %lf %lf %lf %lf %lf %lf %lf";
    if (line.rfind("chg W ", 0) == 0)
      haveW = std::sscanf(line.c_str(), f, &chgW[0], &chgW[1], &chgW[2], &chgW[3], &chgW[4],
                          &chgW[5], &chgW[6], &chgW[7]);
    if (line.rfind("chg dB ", 0) == 0)
      haveDb = std::sscanf(line.c_str(), f, &chgDb[0], &chgDb[1], &chgDb[2], &chgDb[3], &chgDb[4],
                           &chgDb[5], &chgDb[6], &chgDb[7]);
  }
  ASSERT_EQ(rows.size(), 6u);
  ASSERT_EQ(haveW, 8);
  ASSERT_EQ(haveDb, 8);
  for (size_t r = 0; r < rows.size(); ++r) EXPECT_NEAR(rows[r][0], 3.5 + 0.1 * r, 1e-9);
  for (int c = 0; c < 8; ++c) {
    double lo = rows[0][c + 1], hi = lo;
    for (const auto& r : rows) lo = std::min(lo, r[c + 1]), hi = std::max(hi, r[c + 1]);
    /* Figures printed to 3 decimals, the dB to 2. */
    EXPECT_NEAR(chgW[c], hi - lo, 0.0015) << "column " << c;
    EXPECT_NEAR(chgDb[c], 10 * std::log10(hi / lo), 0.005 + 10 * std::log10(1 + 0.001 / lo))
        << "column " << c;
  }
}

/* What each screen of a session is: 1..7 for a help page, 0 for the main
   screen, -1 for anything else. */
std::vector<int> Kinds(const std::string& transcript) {
  std::vector<int> out;
  for (const std::string& screen : Split(transcript, '\f')) {
    int kind = -1;
    if (screen.find("Basic Class-E Element Values:") != std::string::npos) kind = 0;
    for (int page = 0; page < kHelpPageCount; ++page)
      if (screen.rfind(Printed(kHelpPages[page]), 0) == 0) kind = page + 1;
    if (kind != -1) out.push_back(kind);
  }
  return out;
}

TEST(HelpPager, PagesPrintWithTheirPromptsAndFitFiftyLines) {
  const std::vector<std::string> screens = Split(RunSession("h      qx"), '\f');
  ASSERT_GE(screens.size(), 9u);
  /* ... main, pages 1 to 7, main */
  for (int page = 0; page < kHelpPageCount; ++page) {
    const std::string& screen = screens[screens.size() - 8 + page];
    const char* prompt = page < kHelpLastHelpPage ? kHelpPrompt : kReferencesPrompt;
    EXPECT_EQ(screen, Printed(kHelpPages[page]) + prompt);
    EXPECT_LE(Lines(screen).size(), 50u);
  }
}

TEST(HelpPager, XOnAHelpPageReturnsAtOnce) {
  for (int page = 1; page <= kHelpLastHelpPage; ++page) {
    for (const char key : {'X', 'x'}) {
      /* The Space after X must reach the main menu: one more main screen. */
      const std::string keys = "h" + std::string(page - 1, ' ') + key + " x";
      std::vector<int> expect = {0};
      for (int p = 1; p <= page; ++p) expect.push_back(p);
      expect.push_back(0);
      expect.push_back(0);
      EXPECT_EQ(Kinds(RunSession(keys)), expect) << "page " << page << " key " << key;
    }
  }
}

TEST(HelpPager, AnyKeyOnTheReferencesReturns) {
  for (const char key : {'x', 'X', 'q', ' ', '\n', '7'}) {
    /* After the references, h opens help again and x leaves it. */
    const std::string keys = "h      " + std::string(1, key) + "hxx";
    EXPECT_EQ(Kinds(RunSession(keys)), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 0}))
        << "key " << int(key);
  }
}

TEST(HelpPager, HelpKeepsTheDesignAndTheCoilEdits) {
  /* A choke typed in the coil editor lasts until the next full pass; help
     must bring the main screen back exactly as it was. */
  DesignState final;
  const std::vector<std::string> screens = Split(RunSession(" ccu100\nhx", &final), '\f');
  ASSERT_GE(screens.size(), 3u);
  const std::string& before = screens[screens.size() - 3];
  const std::string& after = screens.back();
  EXPECT_NE(before.find("2.50    100.00"), std::string::npos) << before;
  EXPECT_EQ(after, before);
  EXPECT_EQ(final.Lp1, 100.0f);
  EXPECT_EQ(final.FullRecalc, 0);
}

}  // namespace
