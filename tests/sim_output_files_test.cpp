/*
** sim_output_files_test.cpp: the output files of tolvarin-sim checked up
** front (a folder that is missing or is the path, two options on one
** file by any spelling) and replaced whole: content, mode, links, and a
** write that fails half way leaving the old file as it was and nothing
** beside it.
*/
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/cli/output_files.h"

namespace {

/* A fresh folder of its own for each test. */
class OutputFiles : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "sim_output_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    for (const std::string& name : Names()) unlink((dir + "/" + name).c_str());
    rmdir((dir + "/sub").c_str());
    rmdir(dir.c_str());
  }
  std::string Path(const std::string& name) const { return dir + "/" + name; }
  /* Every entry of the folder, hidden ones included. */
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    while (d != nullptr) {
      const dirent* e = readdir(d);
      if (e == nullptr) break;
      const std::string name = e->d_name;
      if (name != "." && name != ".." && name != "sub") names.push_back(name);
    }
    if (d != nullptr) closedir(d);
    return names;
  }
  std::string dir;
};

std::string Read(const std::string& path) {
  std::ifstream in(path);
  std::stringstream buf;
  buf << in.rdbuf();
  return buf.str();
}

void Write(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
}

TEST_F(OutputFiles, EachUnwritablePathIsOneLineNamingItsOption) {
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  struct Case {
    std::vector<OutputFile> files;
    const char* says; /* in the message, besides the option */
  };
  const Case cases[] = {
      {{{"--csv", Path("missing/x.csv")}}, "No such file or directory"},
      {{{"--netlist", Path("sub")}}, "is a folder"},
      {{{"--csv", Path("sub/")}}, "not a folder"},
      {{{"--csv", "/proc/x.csv"}}, "(folder /proc)"}, /* no file is made there, even by root */
      {{{"--csv", Path("a.csv")}, {"--netlist", Path("a.csv")}}, "name one file"},
      {{{"--csv", Path("a.csv")}, {"--netlist", Path("sub/../a.csv")}}, "name one file"},
      {{{"--csv", Path("fifo")}}, "is a pipe"},                     /* would block for ever */
      {{{"--csv", Path("dangling")}}, "No such file or directory"}, /* its target's folder */
  };
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  ASSERT_EQ(symlink("nofolder/x.csv", Path("dangling").c_str()), 0);
  for (const Case& c : cases) {
    const std::string why = CheckOutputFiles(c.files).Why();
    EXPECT_NE(why.find(c.files.back().Option), std::string::npos) << why;
    EXPECT_NE(why.find(c.says), std::string::npos) << why;
    EXPECT_EQ(why.find('\n'), std::string::npos) << why;
  }
  /* Nothing was left behind by the checks. */
  std::remove(Path("fifo").c_str());
  std::remove(Path("dangling").c_str());
  EXPECT_TRUE(Names().empty());
  EXPECT_EQ(CheckOutputFiles({{"--csv", Path("a.csv")}, {"--netlist", Path("a.cir")}}).Why(), "");
  EXPECT_EQ(CheckOutputFiles({{"--csv", "/dev/null"}}).Why(), "");
}

/* The longest name a folder takes (255 bytes) is written like any
   other: the temporary file beside it is named shorter. */
TEST_F(OutputFiles, TheLongestNameIsWritten) {
  const std::string path = Path(std::string(255, 'n'));
  ASSERT_EQ(CheckOutputFiles({{"--csv", path}}).Why(), "");
  ASSERT_EQ(WriteWholeFile(path, "whole\n").Why(), "");
  EXPECT_EQ(Read(path), "whole\n");
  std::remove(path.c_str());
}

TEST_F(OutputFiles, ALinkOrASecondNameOfOneFileIsThatFile) {
  Write(Path("real.csv"), "old\n");
  ASSERT_EQ(symlink(Path("real.csv").c_str(), Path("soft.csv").c_str()), 0);
  ASSERT_EQ(link(Path("real.csv").c_str(), Path("hard.csv").c_str()), 0);
  for (const char* other : {"soft.csv", "hard.csv"})
    EXPECT_NE(CheckOutputFiles({{"--csv", Path("real.csv")}, {"--netlist", Path(other)}}).Why(), "")
        << other;
  /* A link to a file not there yet leads to it all the same. */
  ASSERT_EQ(symlink(Path("later.cir").c_str(), Path("dangling.cir").c_str()), 0);
  EXPECT_NE(
      CheckOutputFiles({{"--csv", Path("dangling.cir")}, {"--netlist", Path("later.cir")}}).Why(),
      "");
}

TEST_F(OutputFiles, AReadOnlyFolderIsRefusedUpFront) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0555), 0);
  const std::string why = CheckOutputFiles({{"--csv", Path("sub/x.csv")}}).Why();
  EXPECT_NE(why.find("Permission denied"), std::string::npos) << why;
  chmod(Path("sub").c_str(), 0755);
}

TEST_F(OutputFiles, ReplacesWholeKeepingTheModeAndTheLink) {
  const std::string real = Path("real.csv"), soft = Path("soft.csv");
  ASSERT_EQ(WriteWholeFile(real, "first\n").Why(), "");
  EXPECT_EQ(Read(real), "first\n");
  struct stat st;
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask); /* as fopen would make it */

  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(symlink(real.c_str(), soft.c_str()), 0);
  ASSERT_EQ(WriteWholeFile(soft, "second, longer\n").Why(), "");
  EXPECT_EQ(Read(real), "second, longer\n");
  ASSERT_EQ(lstat(soft.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(Names().size(), 2u) << "a temporary file was left";
  EXPECT_EQ(WriteWholeFile("/dev/null", "into a device, straight\n").Why(), "");
}

/* A file-size limit makes the write fail after its first bytes, as a
   full disk would. */
TEST_F(OutputFiles, AFailedWriteLeavesTheOldFileAndNothingBesideIt) {
  const std::string path = Path("w.csv");
  Write(path, "the old file\n");
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  void (*was)(int) = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string why = WriteWholeFile(path, std::string(1000, 'x')).Why();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, was);
  EXPECT_NE(why, "");
  EXPECT_EQ(why.find('\n'), std::string::npos) << why;
  EXPECT_EQ(Read(path), "the old file\n");
  EXPECT_EQ(Names(), std::vector<std::string>{"w.csv"});
  EXPECT_NE(WriteWholeFile(Path("missing/x.csv"), "x").Why(), "");
}

}  // namespace
