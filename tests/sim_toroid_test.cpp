/*
** sim_toroid_test.cpp: coils on toroids: whole turns from each listed
** core's published AL, cores chosen only where the wire fits, the
** toroid coil's Q and a bought choke as the program reports them, and
** the options refused.
*/
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string>

#include "sim/design/toroid_cores.h"
#include "sim/design/toroid_winding.h"
#include "tests/sim_run.h"

namespace {

/* AL as ../shared/references/parts-and-limits.md publishes it: uH per
   100 turns for iron powder (T), mH per 1000 turns for ferrite (FT, the
   lower figure of each range). */
struct PublishedAl {
  const char* core;
  double al;
};
const PublishedAl kPublished[] = {
    {"T-37-2", 40},     {"T-37-6", 30},   {"T-37-10", 25},   {"T-37-17", 15},   {"T-50-2", 49},
    {"T-50-6", 40},     {"T-50-10", 31},  {"T-50-17", 18},   {"T-68-2", 57},    {"T-68-6", 47},
    {"T-68-10", 32},    {"T-68-17", 21},  {"T-80-2", 55},    {"T-80-6", 45},    {"T-80-10", 32},
    {"T-80-17", 22},    {"T-106-2", 135}, {"T-106-6", 116},  {"T-130-2", 110},  {"T-130-6", 96},
    {"T-200-2", 120},   {"T-200-6", 100}, {"FT-37-43", 350}, {"FT-50-43", 440}, {"FT-82-43", 470},
    {"FT-114-43", 510}, {"FT-37-61", 55}, {"FT-50-61", 68},  {"FT-82-61", 73},  {"FT-114-61", 79},
};

/* uH of n turns on a core of published AL: L = AL (N/100)^2 uH for iron
   powder, AL (N/1000)^2 mH for ferrite. */
double PublishedUh(const char* core, double al, double n) {
  return core[0] == 'F' ? al * std::pow(n / 1000.0, 2) * 1e3 : al * std::pow(n / 100.0, 2);
}

/* Bare diameter of AWG n, mm: 0.127 mm x 92^((36 - n) / 39). */
double AwgMm(int n) {
  return 0.127 * std::pow(92.0, (36.0 - n) / 39.0);
}

TEST(SimToroid, TurnsGiveTheInductanceAndOnlyCoresTheWireFitsAreChosen) {
  EXPECT_EQ(kToroidCoreCount, int(sizeof kPublished / sizeof kPublished[0]));
  for (const PublishedAl& p : kPublished) {
    const int row = CoreByName(p.core);
    ASSERT_GE(row, 0) << p.core;
    for (double uh : {0.3, 1.5, 6.0, 40.0, 200.0}) {
      const int n = TurnsFor(kToroidCores[row], uh);
      if (PublishedUh(p.core, p.al, 1.0) > uh) continue; /* under one turn */
      EXPECT_LE(PublishedUh(p.core, p.al, n - 0.5), uh) << p.core << " " << uh;
      EXPECT_GE(PublishedUh(p.core, p.al, n + 0.5), uh) << p.core << " " << uh;
    }
  }
  /* 1.5 uH at 2 A RMS, 3.8 MHz: 0.5 mm^2 at 4 A/mm^2 is AWG 20 (0.81 mm).
     T-37-2 would want 19 turns, 15.4 mm of wire on its 5.3 mm hole's
     14.2 mm circumference at the wire centres: no; T-50-2's 17 turns
     take 13.8 mm of its 21.4 mm. */
  ToroidWinding w;
  WindToroid(1.5, 3.8, 2.0, CoilChoice{kCoilsToroid, -1, 0.0}, w);
  ASSERT_GE(w.Core, 0);
  EXPECT_STREQ(kToroidCores[w.Core].Name, "T-50-2");
  EXPECT_EQ(w.Gauge, 20);
  EXPECT_EQ(w.Turns, 17);
  /* Whatever the current, a core chosen holds its turns side by side on
     the inner circumference, and only mixes 2 and 6 cover 3.8 MHz. */
  for (double amps : {0.1, 0.5, 1.0, 3.0, 8.0, 20.0})
    for (double uh : {0.5, 2.0, 10.0, 50.0}) {
      WindToroid(uh, 3.8, amps, CoilChoice{kCoilsToroid, -1, 0.0}, w);
      if (w.Core < 0) continue;
      const ToroidCore& c = kToroidCores[w.Core];
      EXPECT_LE(w.Turns * AwgMm(w.Gauge), M_PI * (c.IdMm - AwgMm(w.Gauge))) << c.Name;
      EXPECT_GE(M_PI / 4.0 * AwgMm(w.Gauge) * AwgMm(w.Gauge), amps / 4.0 - 1e-12);
      EXPECT_TRUE(std::string(c.Name).find("-2") != std::string::npos ||
                  std::string(c.Name).find("-6") != std::string::npos)
          << c.Name;
    }
  /* 60 A wants AWG 5 (4.6 mm): 41 turns for 20 uH on T-200-2 would take
     189 mm of its 85 mm. */
  WindToroid(20.0, 3.8, 60.0, CoilChoice{kCoilsToroid, -1, 0.0}, w);
  EXPECT_EQ(w.Core, -1);
  /* The AL tolerance the tolerance run draws from: Micrometals' +/-8 %
     for iron powder, Fair-Rite's +/-20 % for mix 43. */
  EXPECT_EQ(ToroidTolerancePct(CoilChoice{kCoilsToroid, -1, 0.0}), 8.0);
  EXPECT_EQ(ToroidTolerancePct(CoilChoice{kCoilsToroid, CoreByName("FT-82-43"), 0.0}), 20.0);
}

/* The built circuit carries the toroid coil's Q; a bought choke is
   listed as bought with its own figures. */
TEST(SimToroid, ProgramListsToroidsAndABoughtChoke) {
  int status = 0;
  const nlohmann::json doc = nlohmann::json::parse(
      RunSim("--coils toroid --coil-q 50 --choke-q 30 --choke-rdc 0.1 --json", false, &status));
  EXPECT_EQ(status, 0);
  const nlohmann::json& lp1 = doc["bom"][0];
  const nlohmann::json& ls2 = doc["bom"][2];
  EXPECT_EQ(lp1["winding"]["form"], "bought");
  EXPECT_NEAR(lp1["q"].get<double>(), 30.0, 1e-6);
  EXPECT_NEAR(lp1["winding"]["rdc_ohm"].get<double>(), 0.1, 1e-6);
  EXPECT_EQ(ls2["name"], "Ls2");
  EXPECT_EQ(ls2["winding"]["form"], "toroid");
  EXPECT_NEAR(ls2["q"].get<double>(), 50.0, 1e-6);
  EXPECT_TRUE(ls2["winding"]["core"].is_string());
  const std::string text = RunSim("--coils toroid --bom --topology pinet-el-tch", false, &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(text.find("Coils, on toroids"), std::string::npos);
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    EXPECT_LE(end - start, 80u) << text.substr(start, end - start);
    start = end + 1;
  }
}

TEST(SimToroid, BadCoilOptionsAreRefusedInOneLine) {
  const char* cases[] = {"--coils ferrite",
                         "--core T-51-2",
                         "--coil-q 0",
                         "--coil-q -5",
                         "--choke-q 0",
                         "--cap-q -1",
                         "--coils air --core T-50-2"};
  for (const char* args : cases) {
    int status = 0;
    const std::string err = RunSim(args, true, &status);
    EXPECT_EQ(status, 2) << args;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
}

}  // namespace
