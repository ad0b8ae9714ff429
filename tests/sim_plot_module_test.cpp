/*
** sim_plot_module_test.cpp: the pictures' module (tolvarin-sim-plots.so)
** is opened from the program's own folder, only by a run that asks for
** pictures.  A copy of the program in a folder of its own runs without
** the module until a picture is asked, then is refused with one line and
** status 2; with the module copied beside it, it draws what the build
** draws.  The loader's account (LD_DEBUG=libs) says PLplot is not mapped
** by a run without pictures.
*/
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Ran {
  int status = -1;
  std::string out, err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

/* The program at `program` run in `folder` with args. */
Ran RunIn(const std::string& folder, const std::string& program, const std::string& args,
          const std::string& env = "") {
  const std::string command = "cd '" + folder + "' && env " + env + " '" + program + "' " + args +
                              " >stdout.txt 2>stderr.txt";
  const int st = std::system(command.c_str());
  Ran r;
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  r.out = Slurp(folder + "/stdout.txt");
  r.err = Slurp(folder + "/stderr.txt");
  return r;
}

int Lines(const std::string& s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

/* A fresh folder holding a copy of the built program alone. */
std::string Lone() {
  char tmpl[] = "/tmp/tolvarin_plot_module_XXXXXX";
  const std::string folder = mkdtemp(tmpl);
  const std::string copy = "cp '" + std::string(TOLVARIN_SIM_BINARY) + "' '" + folder + "/'";
  EXPECT_EQ(std::system(copy.c_str()), 0);
  return folder;
}

std::string Module() {
  const std::string binary = TOLVARIN_SIM_BINARY;
  return binary.substr(0, binary.rfind('/') + 1) + "tolvarin-sim-plots.so";
}

TEST(SimPlotModule, RunsWithoutTheModuleUntilAPictureIsAsked) {
  const std::string folder = Lone(), program = folder + "/tolvarin-sim";
  const std::string built = std::string(TOLVARIN_SIM_BINARY);
  /* No pictures: the same output as the build's own program. */
  const Ran plain = RunIn(folder, program, "--mask none"),
            own = RunIn(folder, built, "--mask none");
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.out, own.out);
  EXPECT_EQ(plain.err, "");
  /* Pictures asked: refused before anything runs, nothing made. */
  const struct {
    const char* args;
    const char* option;
  } kAsked[] = {{"--plot pics", "--plot"},
                {"--report page.html", "--report"},
                {"--tolerance --samples 3 --plot pics", "--plot"},
                {"--json --report page.html", "--report"}};
  for (const auto& a : kAsked) {
    const Ran r = RunIn(folder, program, a.args);
    EXPECT_EQ(r.status, 2) << a.args;
    EXPECT_EQ(Lines(r.err), 1) << a.args << ": " << r.err;
    EXPECT_EQ(r.err.rfind(std::string("tolvarin-sim: ") + a.option + ": ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("tolvarin-sim-plots.so"), std::string::npos) << r.err;
    EXPECT_FALSE(Exists(folder + "/pics")) << a.args;
    EXPECT_FALSE(Exists(folder + "/page.html")) << a.args;
  }
  /* A file of that name that is no module is refused the same way. */
  std::ofstream(folder + "/tolvarin-sim-plots.so") << "not a shared object\n";
  const Ran bad = RunIn(folder, program, "--plot pics");
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(Lines(bad.err), 1) << bad.err;
  EXPECT_EQ(std::system(("rm -rf '" + folder + "'").c_str()), 0);
}

TEST(SimPlotModule, ModuleBesideTheProgramDrawsWhatTheBuildDraws) {
  const std::string folder = Lone(), program = folder + "/tolvarin-sim";
  ASSERT_EQ(std::system(("cp '" + Module() + "' '" + folder + "/'").c_str()), 0);
  const Ran copy = RunIn(folder, program, "--sweep 3.6:4.0:0.2 --plot copied");
  const Ran own = RunIn(folder, TOLVARIN_SIM_BINARY, "--sweep 3.6:4.0:0.2 --plot built");
  EXPECT_EQ(copy.status, 0) << copy.err;
  EXPECT_EQ(own.status, 0) << own.err;
  for (const char* file : {"waveforms.svg", "spectrum.svg", "sweep.svg"}) {
    const std::string drawn = Slurp(folder + "/copied/" + file);
    EXPECT_NE(drawn.find("<svg"), std::string::npos) << file;
    EXPECT_EQ(drawn, Slurp(folder + "/built/" + file)) << file;
  }
  EXPECT_EQ(std::system(("rm -rf '" + folder + "'").c_str()), 0);
}

TEST(SimPlotModule, OnlyAPictureRunMapsPlplot) {
  char tmpl[] = "/tmp/tolvarin_plot_module_XXXXXX";
  const std::string folder = mkdtemp(tmpl);
  const Ran plain = RunIn(folder, TOLVARIN_SIM_BINARY, "", "LD_DEBUG=libs");
  EXPECT_EQ(plain.status, 0);
  ASSERT_NE(plain.err.find("libc.so"), std::string::npos) << plain.err;
  EXPECT_EQ(plain.err.find("libplplot"), std::string::npos);
  const Ran drawn = RunIn(folder, TOLVARIN_SIM_BINARY, "--plot pics", "LD_DEBUG=libs");
  EXPECT_EQ(drawn.status, 0);
  EXPECT_NE(drawn.err.find("libplplot"), std::string::npos);
  EXPECT_EQ(std::system(("rm -rf '" + folder + "'").c_str()), 0);
}

}  // namespace
