/*
** sim_ngspice_loading_test.cpp: ngspice's library is opened only when a
** run needs it.  The dynamic loader's own account (LD_DEBUG=libs) of the
** built program says which libraries a run mapped; a library that cannot
** be opened, or that lacks ngspice's entry points, gives the one line a
** build without ngspice gives.
*/
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "sim/engine/ngspice_runner.h"
#include "tests/sim_run.h"

namespace {

/* The program with the environment settings and arguments; returns
   what it wrote to standard error and sets *status to its exit status. */
std::string RunWith(const std::string& env, const std::string& args, int* status) {
  return RunSim(args, true, status, env);
}

int Lines(const std::string& s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

TEST(SimNgspiceLoading, ExactRunNeverMapsTheLibrary) {
  int status = -1;
  const std::string log = RunWith("LD_DEBUG=libs", "", &status);
  EXPECT_EQ(status, 0);
  /* The loader did report: the C library is in every run. */
  ASSERT_NE(log.find("libc.so"), std::string::npos) << log;
  EXPECT_EQ(log.find("libngspice"), std::string::npos) << log;
}

TEST(SimNgspiceLoading, NgspiceRunMapsTheLibrary) {
  if (!SimulatorAvailable()) GTEST_SKIP() << "built without ngspice";
  int status = -1;
  const std::string log = RunWith("LD_DEBUG=libs", "--engine ngspice", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(log.find("libngspice"), std::string::npos);
}

TEST(SimNgspiceLoading, MissingLibrarySaysHowToInstallIt) {
  for (const char* library : {"/nonexistent/libngspice.so.0", "libm.so.6"}) {
    int status = 0;
    const std::string err =
        RunWith(std::string("TOLVARIN_NGSPICE_LIBRARY=") + library, "--engine ngspice", &status);
    EXPECT_EQ(status, 2) << library;
    EXPECT_EQ(Lines(err), 1) << library << ": " << err;
    EXPECT_NE(err.find("apt-get install libngspice0-dev"), std::string::npos) << library;
    EXPECT_EQ(err.rfind("tolvarin-sim: ", 0), 0u) << err;
    EXPECT_EQ(err.find("tolvarin-sim: tolvarin-sim:"), std::string::npos) << err;
  }
}

}  // namespace
