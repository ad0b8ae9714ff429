/*
** sim_analysis_options_test.cpp: the analyses on the command line: their
** options, defaults and one-line faults, the design they take, and the
** text and JSON the built program gives for them.
*/
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "sim/cli/design_choice.h"
#include "sim/cli/options.h"
#include "sim_run.h"

namespace {

TEST(SimAnalysisOptions, DefaultsAndEveryOption) {
  SimOptions o;
  std::string error;
  ASSERT_EQ(ParseArgs({}, o, &error), kOptionsRun) << error;
  EXPECT_EQ(ChosenDesign(o), kDesignCalculator);
  EXPECT_EQ(o.Samples, 1000);
  EXPECT_EQ(o.Seed, 1u);
  EXPECT_EQ(o.CapTol, 5.0);
  EXPECT_EQ(o.CoilTol, 3.0);
  EXPECT_EQ(o.RonTol, 20.0);
  EXPECT_EQ(o.Tolerance + o.Sensitivity, 0);
  EXPECT_EQ(o.Mismatch, 0.0);
  ASSERT_EQ(ParseArgs({"--tune"}, o, &error), kOptionsRun) << error;
  EXPECT_EQ(ChosenDesign(o), kDesignBuilt);
  ASSERT_EQ(
      ParseArgs({"--tune", "--design=tuned", "--tolerance", "--samples", "20", "--seed",
                 "18446744073709551615", "--cap-tol=0", "--coil-tol", "50", "--ron-tol", "1000",
                 "--vmax", "60", "--pdev-max=0.05", "--mismatch", "1", "--sensitivity"},
                o, &error),
      kOptionsRun)
      << error;
  EXPECT_EQ(ChosenDesign(o), kDesignTuned);
  EXPECT_EQ(o.Tolerance, 1);
  EXPECT_EQ(o.Samples, 20);
  EXPECT_EQ(o.Seed, 18446744073709551615ull);
  EXPECT_EQ(o.CapTol, 0.0);
  EXPECT_EQ(o.CoilTol, 50.0);
  EXPECT_EQ(o.RonTol, 1000.0);
  EXPECT_EQ(o.Vmax, 60.0);
  EXPECT_EQ(o.PdevMax, 0.05);
  EXPECT_EQ(o.Mismatch, 1.0);
  EXPECT_EQ(o.Sensitivity, 1);
}

TEST(SimAnalysisOptions, EachFaultIsOneLineNamingTheOption) {
  struct Case {
    std::vector<const char*> args;
    const char* named;
  };
  const Case cases[] = {
      {{"--design", "tuned"}, "--design"}, /* nothing tuned */
      {{"--design", "best"}, "--design"},
      {{"--tolerance", "--samples", "0"}, "--samples"},
      {{"--tolerance", "--samples", "2.5"}, "--samples"},
      {{"--tolerance", "--samples", "100001"}, "--samples"},
      {{"--tolerance", "--seed", "-1"}, "--seed"},
      {{"--tolerance", "--seed", "18446744073709551616"}, "--seed"},
      {{"--tolerance", "--cap-tol", "51"}, "--cap-tol"},
      {{"--tolerance", "--coil-tol", "x"}, "--coil-tol"},
      {{"--tolerance", "--ron-tol", "-5"}, "--ron-tol"},
      {{"--tolerance", "--vmax", "0"}, "--vmax"},
      {{"--tolerance", "--pdev-max", "0"}, "--pdev-max"},
      {{"--mismatch", "0.99"}, "--mismatch"},
      {{"--mismatch", "101"}, "--mismatch"},
      {{"--samples", "10"}, "--samples"}, /* no --tolerance */
      {{"--vmax", "60"}, "--vmax"},
  };
  for (const Case& c : cases) {
    SimOptions o;
    std::string error;
    EXPECT_EQ(ParseArgs(c.args, o, &error), kOptionsError) << c.named;
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

/* The table and the analyses take the design asked for: its elements
   are the document's, and the analyses are there with their keys. */
TEST(SimAnalysisProgram, JsonOfEachAnalysisOfTheDesignAsked) {
  for (const char* design : {"calculator", "tuned", "built"}) {
    int status = -1;
    const std::string out =
        RunSim(std::string("--tune --no-confirm --json --tolerance --samples 20 --mismatch 2 ") +
                   "--sensitivity --design " + design,
               false, &status);
    ASSERT_EQ(status, 0) << design;
    const nlohmann::json doc = nlohmann::json::parse(out);
    /* The tuned record holds its values as floats, its circuit in double. */
    EXPECT_NEAR(doc["elements"]["Cp1_pF"].get<double>(),
                doc["designs"][design]["elements"]["Cp1_ext_pF"].get<double>(), 1e-4);
    EXPECT_EQ(doc["points"][0]["vpk_V"], doc["designs"][design]["point"]["vpk_V"]);
    const nlohmann::json& t = doc["tolerance"];
    EXPECT_EQ(t["samples"], 20);
    EXPECT_EQ(t["seed"], 1);
    for (const char* key : {"pout_W", "eff", "pdev_W", "vpk_V", "zvs_err", "slope"})
      for (const char* stat : {"nominal", "median", "p5", "p95"})
        EXPECT_TRUE(t["stats"][key][stat].is_number()) << key << " " << stat;
    EXPECT_TRUE(t["within_vmax"].is_number());
    EXPECT_EQ(t["worst"].size(), 5u);
    EXPECT_TRUE(t["worst"][0]["deviation_pct"]["Cp1"].is_number());
    ASSERT_EQ(doc["mismatch"].size(), 12u);
    EXPECT_EQ(doc["mismatch"][6]["phase_deg"], 180.0);
    for (const char* key :
         {"load_r_ohm", "load_x_ohm", "pout_W", "eff", "pdev_W", "vpk_V", "zvs_err", "slope"})
      EXPECT_TRUE(doc["mismatch"][3][key].is_number()) << key;
    ASSERT_EQ(doc["sensitivity"].size(), 5u);
    for (const char* key : {"dpout_pct", "dvpk_pct", "dzvs"})
      EXPECT_TRUE(doc["sensitivity"][0][key].is_number()) << key;
    EXPECT_TRUE(doc["sensitivity"][0]["element"].is_string());
  }
}

TEST(SimAnalysisProgram, TextWithinEightyColumnsAndFinite) {
  int status = -1;
  const std::string out = RunSim(
      "--topology pinet-el-tch --tolerance --samples 50 --pdev-max 0.05 --mismatch 3 "
      "--sensitivity",
      false, &status);
  EXPECT_EQ(status, 0);
  for (const char* part : {"Tolerance:", "Load mismatch:", "Worst cases", "Sensitivity:"})
    EXPECT_NE(out.find(part), std::string::npos) << part;
  EXPECT_EQ(out.find("nan"), std::string::npos);
  EXPECT_EQ(out.find("inf"), std::string::npos);
  size_t start = 0;
  while (start < out.size()) {
    const size_t end = out.find('\n', start);
    EXPECT_LE(end - start, 80u) << out.substr(start, end - start);
    start = end + 1;
  }
}

}  // namespace
