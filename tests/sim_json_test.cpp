/*
** sim_json_test.cpp: the built tolvarin-sim as a script reads it: one
** JSON document with the documented keys, the tuned designs in it, and
** the one-line refusal of a device too large for class E.
*/
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "sim/engine/ngspice_runner.h"
#include "tests/sim_run.h"

namespace {

const char* const kPointKeys[] = {"drive_MHz", "pout_W", "pdc_W", "eff",     "pdev_W",
                                  "ploss_W",   "vpk_V",  "von_V", "zvs_err", "slope",
                                  "h2_dBc",    "h3_dBc", "steady"};

void ExpectPoint(const nlohmann::json& p, const std::string& where) {
  for (const char* key : kPointKeys) EXPECT_TRUE(p.contains(key)) << where << " lacks " << key;
}

TEST(SimJson, RunIsOneDocumentWithTheDocumentedKeys) {
  int status = -1;
  const nlohmann::json doc = nlohmann::json::parse(
      RunSim("--json --topology basic-el --sweep 3.7:3.9:0.1", false, &status));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(doc["engine"], "exact");
  EXPECT_EQ(doc["topology"], "basic-el");
  EXPECT_DOUBLE_EQ(doc["inputs"]["freq_MHz"].get<double>(), 3.8);
  EXPECT_DOUBLE_EQ(doc["inputs"]["ron_ohm"].get<double>(), 0.2);
  for (const char* key : {"Lp1_uH", "Cp1_pF", "Ls2_uH", "Cs2_pF", "LM_uH", "CM_pF", "Rload_ohm"})
    EXPECT_TRUE(doc["elements"].contains(key)) << key;
  ASSERT_EQ(doc["points"].size(), 3u);
  for (const nlohmann::json& p : doc["points"]) ExpectPoint(p, "points");
  /* The powers balance: what the supply gives the load, switch and parts take. */
  const nlohmann::json& p = doc["points"][1];
  EXPECT_NEAR(p["pdc_W"].get<double>(),
              p["pout_W"].get<double>() + p["pdev_W"].get<double>() + p["ploss_W"].get<double>(),
              1e-9);
}

TEST(SimJson, TuneGivesThreeDesignsConfirmedByNgspice) {
  if (!SimulatorAvailable()) GTEST_SKIP() << "built without ngspice";
  int status = -1;
  const nlohmann::json doc =
      nlohmann::json::parse(RunSim("--json --tune --coss 100", false, &status));
  EXPECT_EQ(status, 0);
  const nlohmann::json& d = doc["designs"];
  for (const char* name : {"calculator", "tuned", "built"}) {
    ASSERT_TRUE(d.contains(name)) << name;
    ExpectPoint(d[name]["point"], name);
    const nlohmann::json& e = d[name]["elements"];
    /* The shunt capacitance is the device's 100 pF and the part to solder. */
    EXPECT_NEAR(e["Cp1_pF"].get<double>(), e["Cp1_ext_pF"].get<double>() + 100.0, 1e-6) << name;
  }
  for (const char* name : {"tuned", "built"}) ExpectPoint(d[name]["confirm"], name);
  EXPECT_FALSE(d["calculator"].contains("confirm"));
  EXPECT_NEAR(d["tuned"]["confirm"]["pout_W"].get<double>(), 2.5, 0.025);
}

TEST(SimJson, DeviceTooLargeIsOneLineAndStatusOne) {
  int status = -1;
  const std::string err = RunSim("--tune --coss 500", true, &status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("fits up to"), std::string::npos) << err;
}

}  // namespace
