/*
** sim_program_test.cpp: tolvarin-sim as a shell user meets it.  An
** output path that cannot be written, two outputs on one file and a
** design out of bounds end it before anything runs (status 2, one line,
** nothing on standard output); standard output that cannot be written
** is said, status 1, and a closed one does not swallow a file; the
** exported netlist, run by the ngspice program, prints the report's
** figures; Ctrl-C and SIGTERM mid-sweep leave the rows and files of the
** drive frequencies done, and a stop during the tuning is said as that.
*/
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "sim/engine/ngspice_runner.h"

namespace {

#define REQUIRE_NGSPICE()    \
  if (!SimulatorAvailable()) \
  GTEST_SKIP() << "built without ngspice (apt-get install libngspice0-dev)"

std::string Temp(const std::string& name) {
  return testing::TempDir() + "sim_program_" + std::to_string(getpid()) + "_" + name;
}

std::string Read(const std::string& path) {
  std::ifstream in(path);
  std::stringstream buf;
  buf << in.rdbuf();
  return buf.str();
}

bool Exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

int Count(const std::string& text, char c) {
  int n = 0;
  for (char x : text) n += x == c;
  return n;
}

struct Outcome {
  int status;
  std::string out, err;
};

/* A shell command line; its standard output and error go to files unless
   the line redirects them itself ({out} and {err} name the files). */
Outcome Shell(const std::string& line) {
  const std::string out = Temp("stdout"), err = Temp("stderr");
  std::string cmd = line;
  for (const auto& [key, path] : {std::pair{"{out}", out}, std::pair{"{err}", err}})
    for (size_t at; (at = cmd.find(key)) != std::string::npos;) cmd.replace(at, 5, path);
  const int st = std::system(("exec 2>" + err + " >" + out + "; " + cmd).c_str());
  Outcome o{WIFEXITED(st) ? WEXITSTATUS(st) : -1, Read(out), Read(err)};
  std::remove(out.c_str());
  std::remove(err.c_str());
  return o;
}

std::string Sim(const std::string& args) {
  return std::string(TOLVARIN_SIM_BINARY) + " " + args;
}

TEST(SimProgramRefuses, BeforeAnythingRunsWithOneLine) {
  const std::string file = Temp("both.csv");
  struct Case {
    std::string args;
    const char* says;
  };
  const Case cases[] = {
      {"--csv /nonexistent/x.csv --sweep 3:4:0.05", "--csv"},
      {"--csv " + file + " --netlist " + file, "--netlist"},
      {"--netlist " + testing::TempDir(), "--netlist"},
      {"--ron 1000", "no output power"},
      {"--vcc 0.05", "--vcc"},
      {"--power 3e-4 --ron 1000 --freq 500", "Ro "},
      {"--freq 0.5 --ql 20 --topology basic-el --sweep 1000:1000:1", "--sweep"},
  };
  for (const Case& c : cases) {
    const Outcome o = Shell(Sim(c.args));
    EXPECT_EQ(o.status, 2) << c.args;
    EXPECT_EQ(o.out, "") << c.args; /* not even the heading */
    EXPECT_EQ(Count(o.err, '\n'), 1) << o.err;
    EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
  }
  EXPECT_FALSE(Exists(file));
}

TEST(SimProgramOutput, AFailedStandardOutputIsSaidWithStatusOne) {
  const std::string csv = Temp("closed.csv");
  const std::string lines[] = {Sim("> /dev/full"), Sim("--json > /dev/full"),
                               Sim("--help > /dev/full"), Sim("--csv " + csv + " >&-")};
  for (const std::string& line : lines) {
    const Outcome o = Shell(line);
    EXPECT_EQ(o.status, 1) << line;
    EXPECT_NE(o.err.find("tolvarin-sim: cannot write standard output: "), std::string::npos)
        << line << ": " << o.err;
    EXPECT_EQ(Count(o.err, '\n'), 1) << o.err;
  }
  /* The file did not take the closed descriptor's place: it is the CSV,
     not the report. */
  const std::string text = Read(csv);
  EXPECT_EQ(text.rfind("drive_mhz,", 0), 0u) << text.substr(0, 80);
  std::remove(csv.c_str());
}

/* The figures of "ngspice -b file": the "Name value unit" lines after
   the "Last of N periods" line, those with a number. */
std::map<std::string, double> NgspiceFigures(const std::string& text) {
  std::map<std::string, double> figures;
  const size_t block = text.find("Last of ");
  if (block == std::string::npos) return figures;
  for (const char* name : {"Pout", "Pdc", "Pdev", "Vpk", "Von", "ZVS err", "Slope", "H2", "H3"}) {
    const size_t at = text.find("\n" + std::string(name) + " ", block);
    if (at == std::string::npos) continue;
    /* A figure ngspice could not measure is printed blank: no number. */
    const char* value = text.c_str() + at + 2 + std::strlen(name);
    char* end = nullptr;
    const double v = std::strtod(value, &end);
    if (end != value) figures[name] = v;
  }
  return figures;
}

bool Within(double a, double b, double rel, double floor) {
  return std::fabs(a - b) <= std::max(floor, rel * std::max(std::fabs(a), std::fabs(b)));
}

/* The engines' agreement tolerance: powers 0.5 % or 1 mW, the peak
   0.2 %, the ZVS error 0.002, the harmonics 0.3 dB; the slope as closely
   as the ZVS error.  The exported netlist, run by the ngspice program,
   must print all nine figures and agree with the report's ngspice run of
   the same circuit, at design frequencies across the range (0.5 to
   500 MHz, among them those whose last period ends where ngspice's own
   printing of the time rounds up: 13.56, 21.2, 50.1, 144, 430 MHz), in
   every topology.  Most runs are a fixed 60 periods to bound the test's
   time; the first three let the program find the length (60, 240 or 960
   periods). */
TEST(SimProgramNetlist, NgspiceRunsTheExportedNetlistToTheReportsFigures) {
  REQUIRE_NGSPICE();
  if (Shell("command -v ngspice").status != 0) GTEST_SKIP() << "no ngspice program on the PATH";
  const std::string cir = Temp("export.cir");
  const char* const designs[] = {
      "",
      "--topology pinet-el-tch --notch --ql 5",
      "--topology basic-el --freq 30 --ql 10 --ron 0.5",
      "--periods 60 --freq 0.5",
      "--periods 60 --freq 1.9 --topology pinet",
      "--periods 60 --freq 3.8 --topology pinet-el",
      "--periods 60 --freq 7.1 --topology basic-el",
      "--periods 60 --freq 13.56",
      "--periods 60 --freq 13.56 --topology pinet-el-tch",
      "--periods 60 --freq 14.2 --topology pinet-el-tch --notch",
      "--periods 60 --freq 21.2 --topology basic-el",
      "--periods 60 --freq 27.12 --topology pinet --ql 10",
      "--periods 60 --freq 50.1 --topology pinet-el",
      "--periods 60 --freq 144 --topology pinet-el-tch --notch --ql 2.5",
      "--periods 60 --freq 430 --topology pinet",
      "--periods 60 --freq 500 --topology basic-el --ql 20",
  };
  for (const char* design : designs) {
    const Outcome report =
        Shell(Sim(std::string(design) + " --engine ngspice --json --netlist " + cir));
    ASSERT_EQ(report.status, 0) << design << report.err;
    const nlohmann::json p = nlohmann::json::parse(report.out)["points"][0];
    const Outcome ngspice = Shell("ngspice -b " + cir);
    ASSERT_EQ(ngspice.status, 0) << design << ngspice.err;
    std::map<std::string, double> f = NgspiceFigures(ngspice.out);
    EXPECT_EQ(f.size(), 9u) << design << "\n" << ngspice.out;
    if (f.size() != 9u) continue;
    EXPECT_NE(ngspice.out.find("Last of " + std::to_string(int(p["periods"])) + " periods"),
              std::string::npos)
        << design;
    EXPECT_TRUE(Within(f["Pout"], p["pout_W"], 5e-3, 1e-3)) << design << " " << f["Pout"];
    EXPECT_TRUE(Within(f["Pdc"], p["pdc_W"], 5e-3, 1e-3)) << design << " " << f["Pdc"];
    EXPECT_TRUE(Within(f["Pdev"], p["pdev_W"], 5e-3, 1e-3)) << design << " " << f["Pdev"];
    EXPECT_TRUE(Within(f["Vpk"], p["vpk_V"], 2e-3, 0.0)) << design << " " << f["Vpk"];
    EXPECT_NEAR(f["ZVS err"], double(p["zvs_err"]), 0.002) << design;
    EXPECT_NEAR(f["Slope"], double(p["slope"]), 0.002) << design;
    EXPECT_NEAR(f["H2"], double(p["h2_dBc"]), 0.3) << design;
    EXPECT_NEAR(f["H3"], double(p["h3_dBc"]), 0.3) << design;
  }
  std::remove(cir.c_str());
}

/* The program with standard output a pipe; `sig` is sent once `rows`
   table rows have come, or with rows 0 a third of a second in. */
Outcome StopAfterRows(const std::string& args, int rows, int sig) {
  int out[2];
  if (pipe(out) != 0) return {-1, "", ""};
  const std::string err = Temp("stop.err");
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    const std::string line = "exec " + Sim(args) + " 2>" + err;
    execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string text;
  char buf[4096];
  bool sent = false;
  if (rows == 0) {
    usleep(300000);
    kill(pid, sig);
    sent = true;
  }
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) {
    text.append(buf, size_t(n));
    /* A row starts with a drive frequency; headings and notes do not. */
    int seen = 0;
    std::istringstream lines(text);
    for (std::string l; std::getline(lines, l);) seen += l.size() > 6 && l[1] == '.' && l[5] == ' ';
    if (!sent && seen >= rows) {
      kill(pid, sig);
      sent = true;
    }
  }
  close(out[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  Outcome o{WIFEXITED(st) ? WEXITSTATUS(st) : -1, text, Read(err)};
  std::remove(err.c_str());
  return o;
}

TEST(SimProgramStop, CtrlCKeepsTheRowsAndFilesOfTheFrequenciesDone) {
  REQUIRE_NGSPICE();
  const std::string csv = Temp("stop.csv"), cir = Temp("stop.cir");
  const Outcome o = StopAfterRows(
      "--engine ngspice --ql 10 --sweep 3:4:0.05 --csv " + csv + " --netlist " + cir, 2, SIGINT);
  EXPECT_EQ(o.status, 130) << o.err;
  size_t done = 0;
  ASSERT_EQ(std::sscanf(o.err.c_str(), "tolvarin-sim: interrupted after %zu of 21", &done), 1)
      << o.err;
  EXPECT_GE(done, 2u);
  EXPECT_LT(done, 21u);
  EXPECT_EQ(Count(o.err, '\n'), 1) << o.err;
  /* Every row done is printed, and one steady period of each in the CSV. */
  for (size_t i = 0; i < done; i++) {
    char drive[16];
    std::snprintf(drive, sizeof drive, "\n%.3f ", 3.0 + 0.05 * double(i));
    EXPECT_NE(o.out.find(drive), std::string::npos) << drive;
  }
  EXPECT_EQ(Count(Read(csv), '\n'), 1 + int(done) * 360);
  const std::string netlist = Read(cir);
  EXPECT_EQ(netlist.rfind(".end\n"), netlist.size() - 5);
  std::remove(csv.c_str());
  std::remove(cir.c_str());
}

TEST(SimProgramStop, SigtermEndsTheJsonWithThePointsDone) {
  REQUIRE_NGSPICE();
  /* JSON prints no rows: stop after a while, long before 21 runs of 300
     periods end (each takes most of a second). */
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    const std::string line =
        Sim("--engine ngspice --periods 300 --ql 10 --sweep 3:4:0.05 --json 2>/dev/null");
    execl("/bin/sh", "sh", "-c", ("exec " + line).c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  usleep(2000 * 1000);
  kill(pid, SIGTERM);
  std::string text;
  char buf[4096];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, size_t(n));
  close(out[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  ASSERT_TRUE(WIFEXITED(st));
  EXPECT_EQ(WEXITSTATUS(st), 143);
  const nlohmann::json doc = nlohmann::json::parse(text);
  EXPECT_LT(doc["points"].size(), 21u);
  for (const nlohmann::json& p : doc["points"]) EXPECT_TRUE(p["ok"]);
}

/* Stopped while tuning (here almost 4 s of ngspice runs) is said as
   that, not as a failed simulation nor as a sweep stopped. */
TEST(SimProgramStop, DuringTheTuningSaysSo) {
  REQUIRE_NGSPICE();
  const Outcome o = StopAfterRows("--tune --coss 150@12 --ql 10 --no-confirm", 0, SIGINT);
  EXPECT_EQ(o.status, 130) << o.err;
  /* The one line of the program's own (a sanitizer build may add its report). */
  EXPECT_EQ(o.err.substr(0, o.err.find('\n') + 1), "tolvarin-sim: interrupted while tuning\n");
  EXPECT_EQ(o.err.rfind("tolvarin-sim:"), 0u) << o.err;
  EXPECT_EQ(o.out, "");
}

}  // namespace
