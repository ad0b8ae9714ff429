/*
** exit_status_test.cpp: the built program's arguments and exit status:
** --help and --version answer and end with 0, any other argument is one
** line naming it and 2, and standard output that cannot be written (a
** full device, a closed descriptor) is said on standard error with 1.
*/
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

enum Out { kToPipe, kToFull, kClosed };

struct Outcome {
  int status = -1;
  std::string out, err;
};

std::string Drain(int fd) {
  std::string text;
  char buf[4096];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) text.append(buf, size_t(n));
  close(fd);
  return text;
}

/* The program with the arguments, the keys on standard input (a file,
   so nothing has to be written while it runs) and standard output as
   asked. */
Outcome RunProgram(const std::vector<const char*>& args, const std::string& keys, Out where) {
  char keysPath[] = "/tmp/tolvarin-keys-XXXXXX";
  int keysFd = mkstemp(keysPath);
  EXPECT_GE(keysFd, 0);
  EXPECT_EQ(write(keysFd, keys.data(), keys.size()), ssize_t(keys.size()));
  lseek(keysFd, 0, SEEK_SET);
  unlink(keysPath);
  int out[2], err[2];
  EXPECT_EQ(pipe(out), 0);
  EXPECT_EQ(pipe(err), 0);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(keysFd, 0);
    if (where == kToPipe) dup2(out[1], 1);
    if (where == kToFull) dup2(open("/dev/full", O_WRONLY), 1);
    if (where == kClosed) close(1);
    dup2(err[1], 2);
    for (int fd = 3; fd < 64; ++fd) close(fd);
    std::vector<char*> argv{const_cast<char*>("tolvarin")};
    for (const char* a : args) argv.push_back(const_cast<char*>(a));
    argv.push_back(nullptr);
    execv(TOLVARIN_BINARY, argv.data());
    _exit(127);
  }
  close(keysFd);
  close(out[1]);
  close(err[1]);
  Outcome r;
  r.out = Drain(out[0]);
  r.err = Drain(err[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  return r;
}

TEST(ProgramArguments, HelpVersionAndAnythingElse) {
  struct Case {
    std::vector<const char*> args;
    int status;
    const char* outHas; /* in standard output; nullptr: nothing there */
    const char* err;    /* the whole of standard error */
  } cases[] = {
      {{"--help"}, 0, "Usage: tolvarin [--help | --version]", ""},
      {{"--version"}, 0, "tolvarin 1.4\n", ""},
      {{"-h"}, 2, nullptr, "tolvarin: unknown argument '-h' (see --help)\n"},
      {{"--helpx"}, 2, nullptr, "tolvarin: unknown argument '--helpx' (see --help)\n"},
      {{"3.8"}, 2, nullptr, "tolvarin: unknown argument '3.8' (see --help)\n"},
      {{""}, 2, nullptr, "tolvarin: unknown argument '' (see --help)\n"},
      {{"--help", "x"}, 2, nullptr, "tolvarin: unknown argument 'x' (see --help)\n"},
      {{"x", "--help"}, 2, nullptr, "tolvarin: unknown argument 'x' (see --help)\n"},
  };
  for (const Case& c : cases) {
    /* The keys would run a session: none may start. */
    Outcome r = RunProgram(c.args, "q3\nx", kToPipe);
    std::string name = c.args[0];
    EXPECT_EQ(r.status, c.status) << name;
    EXPECT_EQ(r.err, c.err) << name;
    if (c.outHas == nullptr)
      EXPECT_EQ(r.out, "") << name;
    else
      EXPECT_NE(r.out.find(c.outHas), std::string::npos) << name;
    EXPECT_EQ(r.out.find("Freq-Mhz"), std::string::npos) << name;
  }
}

/* The usage says what a new user needs: what the program is, that it reads
   the keyboard and which keys, and how it runs from a script. */
TEST(ProgramArguments, UsageNamesTheKeysAndTheScriptedMode) {
  Outcome r = RunProgram({"--help"}, "", kToPipe);
  for (const char* what :
       {"class-E RF power amplifiers", "reads the keyboard", "X exit", "H help", "F P V Q R O",
        "not a terminal it runs scripted", "printf 'q3\\nx' | tolvarin"})
    EXPECT_NE(r.out.find(what), std::string::npos) << what;
  for (size_t from = 0, at; (at = r.out.find('\n', from)) != std::string::npos; from = at + 1)
    EXPECT_LE(at - from, 79u) << r.out.substr(from, at - from);
}

TEST(FailedOutput, SaidOnStandardErrorWithStatusOne) {
  struct Case {
    std::vector<const char*> args;
    const char* keys;
    Out where;
    const char* err;
  } cases[] = {
      {{}, "q3\nx", kToFull, "tolvarin: cannot write standard output: No space left on device\n"},
      {{}, "q3\nx", kClosed, "tolvarin: cannot write standard output: Bad file descriptor\n"},
      {{}, "", kToFull, "tolvarin: cannot write standard output: No space left on device\n"},
      /* Many pages, far more than the device's refusal lets through. */
      {{},
       "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwx",
       kToFull,
       "tolvarin: cannot write standard output: No space left on device\n"},
      {{"--help"},
       "",
       kToFull,
       "tolvarin: cannot write standard output: No space left on device\n"},
      {{"--version"}, "", kClosed, "tolvarin: cannot write standard output: Bad file descriptor\n"},
  };
  for (const Case& c : cases) {
    Outcome r = RunProgram(c.args, c.keys, c.where);
    EXPECT_EQ(r.status, 1) << c.keys << " " << c.where;
    EXPECT_EQ(r.err, c.err) << c.keys << " " << c.where;
  }
  /* Written whole, the same session ends with 0 and says nothing. */
  Outcome r = RunProgram({}, "q3\nx", kToPipe);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("eXit"), std::string::npos);
}

}  // namespace
