/*
** console_pty_test.cpp: the real program on a pseudo-terminal.
**
** A small stand-in for a shell owns the terminal's session and runs the
** program as its foreground job, so Ctrl-C, Ctrl-Z and a hangup reach it
** as they would from a real terminal, and a stop is reported back.  The
** test keeps the terminal's other end open to compare its attributes
** before and after, and plays the terminal's part in a request for a new
** window size (granted, as xterm does, unless a test says otherwise).
** Every wait is bounded; a failure never hangs.
*/
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char kEnter[] = "\x1b[?1049h";
const char kAsk50[] = "\x1b[8;50;80t"; /* from a 24 x 80 terminal */
const char kLeave24[] = "\x1b[8;24;80t\x1b[?1049l";
const char kClear[] = "\x1b[H\x1b[2J";
const char kMenuEnd[] = "eXit\r\n"; /* the terminal turns \n into \r\n */
const int kWaitMs = 5000;

long long NowMs() {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
}

bool SameAttributes(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 &&
         cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b);
}

size_t Count(const std::string& s, const std::string& what, size_t from = 0) {
  size_t n = 0;
  for (size_t at = s.find(what, from); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

struct Options {
  unsigned short rows = 24, cols = 80;
  bool scriptOnStdin = false; /* standard input an empty pipe instead */
  bool textToPipe = false;    /* standard output a pipe instead */
  bool grows = true;          /* the window takes the size the program asks for */
};

/* The shell stand-in: leads the session, runs the program in the
   foreground, reports each stop ('S') and continues it on 'C'. */
[[noreturn]] void RunLeader(int slave, int stdinPipe, int stdoutPipe, int report, int control) {
  signal(SIGHUP, SIG_IGN); /* a hangup must not take the reporter away */
  setsid();
  ioctl(slave, TIOCSCTTY, 0);
  pid_t program = fork();
  if (program == 0) {
    signal(SIGHUP, SIG_DFL);
    signal(SIGTTOU, SIG_IGN);
    setpgid(0, 0);
    tcsetpgrp(slave, getpid());
    signal(SIGTTOU, SIG_DFL);
    dup2(stdinPipe >= 0 ? stdinPipe : slave, 0);
    dup2(stdoutPipe >= 0 ? stdoutPipe : slave, 1);
    dup2(slave, 2);
    for (int fd = 3; fd < 64; ++fd) close(fd);
    setenv("TERM", "xterm", 1);
    struct rlimit none = {0, 0}; /* the signals that dump core leave no file behind */
    setrlimit(RLIMIT_CORE, &none);
    execl(TOLVARIN_BINARY, "tolvarin", static_cast<char*>(nullptr));
    _exit(127);
  }
  setpgid(program, program);
  for (int fd : {stdinPipe, stdoutPipe, slave})
    if (fd >= 0) close(fd);
  if (write(report, &program, sizeof program) != sizeof program) _exit(126);
  for (;;) {
    int st = 0;
    if (waitpid(program, &st, WUNTRACED) < 0) _exit(125);
    if (WIFSTOPPED(st)) {
      char c = 'S';
      if (write(report, &c, 1) != 1 || read(control, &c, 1) != 1) {
        kill(program, SIGKILL);
        _exit(124);
      }
      kill(program, SIGCONT);
      continue;
    }
    if (WIFSIGNALED(st)) { /* which signal ended it, besides the status */
      char k[2] = {'K', char(WTERMSIG(st))};
      if (write(report, k, 2) != 2) _exit(123);
    }
    _exit(WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st));
  }
}

struct Session {
  int master = -1, slave = -1;
  int report = -1, control = -1;
  int textPipe = -1; /* program's standard output, when a pipe */
  pid_t leader = -1, program = -1;
  termios before{};
  std::string out;   /* what the terminal showed */
  std::string piped; /* what went to the pipe */
  int status = -1;
  int killedBy = 0; /* the signal that ended the program, 0 when it exited */
  bool grows;
  size_t requestsSeen = 0; /* output looked at for size requests */

  explicit Session(const Options& o = Options()) : grows(o.grows) {
    struct winsize ws = {o.rows, o.cols, 0, 0};
    if (openpty(&master, &slave, nullptr, nullptr, &ws) != 0) return;
    tcgetattr(slave, &before);
    int rep[2], ctl[2], in[2] = {-1, -1}, txt[2] = {-1, -1};
    if (pipe(rep) != 0 || pipe(ctl) != 0) return;
    if (o.scriptOnStdin && pipe(in) != 0) return;
    if (o.textToPipe && pipe(txt) != 0) return;
    leader = fork();
    if (leader == 0) {
      for (int fd : {master, rep[0], ctl[1], in[1], txt[0]})
        if (fd >= 0) close(fd);
      RunLeader(slave, in[0], txt[1], rep[1], ctl[0]);
    }
    close(rep[1]);
    close(ctl[0]);
    report = rep[0];
    control = ctl[1];
    if (in[0] >= 0) close(in[0]), close(in[1]); /* an empty script: end of input at once */
    if (txt[1] >= 0) close(txt[1]);
    textPipe = txt[0];
    fcntl(master, F_SETFL, O_NONBLOCK);
    if (textPipe >= 0) fcntl(textPipe, F_SETFL, O_NONBLOCK);
    struct pollfd p = {report, POLLIN, 0};
    if (poll(&p, 1, kWaitMs) == 1 && read(report, &program, sizeof program) != sizeof program)
      program = -1;
  }

  ~Session() {
    if (leader > 0 && status < 0) {
      if (program > 0) kill(program, SIGKILL);
      kill(leader, SIGKILL);
      waitpid(leader, nullptr, 0);
    }
    for (int fd : {master, slave, report, control, textPipe})
      if (fd >= 0) close(fd);
  }

  /* Reads what is there, waiting up to ms for something. */
  void Pump(int ms) {
    struct pollfd p[2] = {{master, POLLIN, 0}, {textPipe, POLLIN, 0}};
    if (poll(p, 2, ms) <= 0) return;
    char buf[4096];
    ssize_t n;
    if (master >= 0)
      while ((n = read(master, buf, sizeof buf)) > 0) out.append(buf, size_t(n));
    if (textPipe >= 0)
      while ((n = read(textPipe, buf, sizeof buf)) > 0) piped.append(buf, size_t(n));
    AnswerSizeRequests();
  }

  /* "ESC [ 8 ; rows ; cols t": the window takes that size when it grows. */
  void AnswerSizeRequests() {
    for (size_t at; (at = out.find("\x1b[8;", requestsSeen)) != std::string::npos;) {
      size_t end = out.find('t', at);
      if (end == std::string::npos) return;
      requestsSeen = end + 1;
      unsigned rows = 0, cols = 0;
      if (!grows || std::sscanf(out.c_str() + at, "\x1b[8;%u;%ut", &rows, &cols) != 2) continue;
      struct winsize ws = {(unsigned short)rows, (unsigned short)cols, 0, 0};
      ioctl(master, TIOCSWINSZ, &ws);
    }
  }

  void Resize(unsigned short rows, unsigned short cols) {
    struct winsize ws = {rows, cols, 0, 0};
    ioctl(master, TIOCSWINSZ, &ws);
  }

  /* Position just after the first `what` at or after `from`, or npos. */
  size_t WaitFor(const std::string& what, size_t from = 0, bool inPipe = false) {
    const std::string& s = inPipe ? piped : out;
    for (long long end = NowMs() + kWaitMs;;) {
      size_t at = s.find(what, from);
      if (at != std::string::npos) return at + what.size();
      long long left = end - NowMs();
      if (left <= 0) return std::string::npos;
      Pump(int(left));
    }
  }

  /* The position after the menu that ends the next screen. */
  size_t NextMenu(size_t from = 0) { return WaitFor(kMenuEnd, from); }

  void Type(const std::string& keys) {
    ASSERT_EQ(write(master, keys.data(), keys.size()), ssize_t(keys.size()));
  }

  termios Attributes() {
    termios t{};
    tcgetattr(slave, &t);
    return t;
  }

  /* Waits until a number entry reads its line, or until key mode is set.
     The line editor's mode is neither canonical nor echoed, as key mode,
     but it also turns the extended input processing off, which key mode
     leaves as it was. */
  bool WaitLineMode(bool line) {
    for (long long end = NowMs() + kWaitMs; NowMs() < end;) {
      termios t = Attributes();
      bool raw = !(t.c_lflag & ICANON) && !(t.c_lflag & ECHO);
      bool isLine = ((t.c_lflag & ICANON) && (t.c_lflag & ECHO)) || (raw && !(t.c_lflag & IEXTEN));
      bool isKey = raw && (t.c_lflag & IEXTEN);
      if (line ? isLine : isKey) return true;
      Pump(5);
    }
    return false;
  }

  bool WaitStopped() {
    for (long long end = NowMs() + kWaitMs; NowMs() < end;) {
      struct pollfd p = {report, POLLIN, 0};
      if (poll(&p, 1, 5) == 1) {
        char c = 0;
        return read(report, &c, 1) == 1 && c == 'S';
      }
      Pump(0);
    }
    return false;
  }

  void Continue() { ASSERT_EQ(write(control, "C", 1), 1); }

  /* The program's exit status (128 + signal when a signal ended it). */
  int WaitExit() {
    for (long long end = NowMs() + kWaitMs; NowMs() < end;) {
      int st = 0;
      if (waitpid(leader, &st, WNOHANG) == leader) {
        status = WIFEXITED(st) ? WEXITSTATUS(st) : 1000;
        char k[2];
        if (read(report, k, 2) == 2 && k[0] == 'K') killedBy = k[1];
        Pump(0);
        return status;
      }
      Pump(10);
    }
    return -1;
  }

  void Hangup() {
    close(master);
    master = -1;
  }
};

TEST(ConsolePty, ExitKeyRestoresScreenRowsAndAttributes) {
  Session s;
  ASSERT_GT(s.program, 0);
  ASSERT_NE(s.NextMenu(), std::string::npos);
  EXPECT_EQ(s.out.rfind(std::string(kAsk50) + kEnter, 0), 0u) << "starts with the screen switch";
  termios during = s.Attributes();
  EXPECT_FALSE(during.c_lflag & ICANON);
  EXPECT_FALSE(during.c_lflag & ECHO);
  EXPECT_TRUE(during.c_lflag & ISIG); /* Ctrl-C still interrupts */
  s.Type("x");
  EXPECT_EQ(s.WaitExit(), 0);
  EXPECT_TRUE(EndsWith(s.out, kLeave24));
  EXPECT_EQ(Count(s.out, kEnter), 1u);
  EXPECT_TRUE(SameAttributes(s.Attributes(), s.before));
}

TEST(ConsolePty, TallTerminalKeepsItsSize) {
  Options o;
  o.rows = 60;
  o.cols = 100;
  Session s(o);
  ASSERT_NE(s.NextMenu(), std::string::npos);
  s.Type("x");
  EXPECT_EQ(s.WaitExit(), 0);
  EXPECT_EQ(s.out.rfind(kEnter, 0), 0u);
  EXPECT_EQ(s.out.find("\x1b[8;"), std::string::npos);
  EXPECT_TRUE(EndsWith(s.out, "\x1b[?1049l"));
}

TEST(ConsolePty, KeysActWithoutEnterAndAreNotEchoed) {
  Session s;
  size_t menu = s.NextMenu();
  ASSERT_NE(menu, std::string::npos);
  s.Type("z"); /* no command: the next screen follows at once */
  size_t next = s.NextMenu(menu);
  ASSERT_NE(next, std::string::npos);
  EXPECT_EQ(s.out.compare(menu, sizeof kClear - 1, kClear), 0) << "no echo before the screen";
  s.Type("q");
  size_t prompt = s.WaitFor("Enter Q <2.500000>\r\n", next);
  ASSERT_NE(prompt, std::string::npos);
  EXPECT_EQ(s.out.substr(next), "Enter Q <2.500000>\r\n");
  ASSERT_TRUE(s.WaitLineMode(true));
  s.Type("3\n");
  ASSERT_NE(s.NextMenu(prompt), std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(false));
  s.Type("x");
  EXPECT_EQ(s.WaitExit(), 0);
  EXPECT_TRUE(SameAttributes(s.Attributes(), s.before));
}

TEST(ConsolePty, NumberEntryIsEchoedAndLineEdited) {
  Session s;
  ASSERT_NE(s.NextMenu(), std::string::npos);
  s.Type("q");
  size_t prompt = s.WaitFor("Enter Q <2.500000>\r\n");
  ASSERT_TRUE(s.WaitLineMode(true));
  s.Type("9");
  EXPECT_NE(s.WaitFor("9", prompt), std::string::npos) << "typed digits are echoed";
  /* Erase the 9 (DEL is the erase character), type 6. */
  s.Type(
      "\x7f"
      "6\n");
  size_t menu = s.NextMenu(prompt);
  ASSERT_NE(menu, std::string::npos);
  s.Type("q");
  EXPECT_NE(s.WaitFor("Enter Q <6.000000>", menu), std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(true));
  s.Type("2.5\n");
  ASSERT_NE(s.NextMenu(menu), std::string::npos);
}

TEST(ConsolePty, EntryWaitsThroughEmptyLinesAndDropsTheRestOfTheLine) {
  Session s;
  ASSERT_NE(s.NextMenu(), std::string::npos);
  s.Type("q");
  size_t prompt = s.WaitFor("Enter Q <2.500000>\r\n");
  ASSERT_TRUE(s.WaitLineMode(true));
  /* Had an empty line ended the entry, or the rest of the line been kept,
     "wax" would open the wire table, the alternate page, and exit. */
  s.Type("\n  \n\n");
  s.Type("4 wax\n");
  size_t menu = s.NextMenu(prompt);
  ASSERT_NE(menu, std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(false));
  s.Type("q");
  EXPECT_NE(s.WaitFor("Enter Q <4.000000>", menu), std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(true));
  /* Ctrl-D on an empty line gives up the entry; the value stays and the
     program goes on. */
  s.Type("\x04");
  menu = s.NextMenu(menu);
  ASSERT_NE(menu, std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(false));
  s.Type("q");
  EXPECT_NE(s.WaitFor("Enter Q <4.000000>", menu), std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(true));
  s.Type("5\n");
  menu = s.NextMenu(menu);
  ASSERT_TRUE(s.WaitLineMode(false));
  s.Type("x");
  EXPECT_EQ(s.WaitExit(), 0);
  EXPECT_TRUE(SameAttributes(s.Attributes(), s.before));
}

TEST(ConsolePty, CursorAndFunctionKeysAreOneKeyWithoutCharacter) {
  Session s;
  size_t menu = s.NextMenu();
  ASSERT_NE(menu, std::string::npos);
  /* Up arrow, F1 (xterm), F5, F1 (Linux console), Alt-X: five keys that
     no command answers; not the alternate page of 'A', not the exit. */
  s.Type("\x1b[A\x1bOP\x1b[15~\x1b[[A\x1bx");
  size_t at = menu;
  for (int i = 0; i < 5; ++i) {
    at = s.NextMenu(at);
    ASSERT_NE(at, std::string::npos) << "screen " << i;
  }
  s.Type("q");
  size_t prompt = s.WaitFor("Enter Q <2.500000>", at);
  ASSERT_NE(prompt, std::string::npos);
  EXPECT_EQ(Count(s.out.substr(menu, prompt - menu), kClear), 5u);
  ASSERT_TRUE(s.WaitLineMode(true));
  s.Type("2.5\n");
  menu = s.NextMenu(prompt);
  ASSERT_NE(menu, std::string::npos);
  /* A lone Escape is a key of its own, after a short wait. */
  s.Type("\x1b");
  at = s.NextMenu(menu);
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(Count(s.out.substr(menu), kClear), 1u);
  s.Type("x");
  EXPECT_EQ(s.WaitExit(), 0);
}

/* Every signal whose default action ends the process: the terminal comes
   back, then the program ends by that very signal. */
class ConsolePtySignal : public testing::TestWithParam<int> {};

TEST_P(ConsolePtySignal, EndsBySignalWithTerminalBack) {
  const int sig = GetParam();
  for (bool inEntry : {false, true}) {
    Session s;
    ASSERT_NE(s.NextMenu(), std::string::npos);
    if (inEntry) { /* the editor's mode must not be what is left behind */
      s.Type("q");
      ASSERT_TRUE(s.WaitLineMode(true));
    }
    kill(s.program, sig);
    EXPECT_EQ(s.WaitExit(), 128 + sig) << strsignal(sig) << " " << inEntry;
    EXPECT_EQ(s.killedBy, sig) << strsignal(sig) << " " << inEntry;
    EXPECT_TRUE(EndsWith(s.out, kLeave24)) << strsignal(sig) << " " << inEntry;
    EXPECT_TRUE(SameAttributes(s.Attributes(), s.before)) << strsignal(sig) << " " << inEntry;
  }
}

INSTANTIATE_TEST_SUITE_P(Signals, ConsolePtySignal,
                         testing::Values(SIGHUP, SIGINT, SIGQUIT, SIGILL, SIGTRAP, SIGABRT, SIGBUS,
                                         SIGFPE, SIGUSR1, SIGSEGV, SIGUSR2, SIGPIPE, SIGALRM,
                                         SIGTERM, SIGSTKFLT, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF,
                                         SIGIO, SIGPWR, SIGSYS, SIGRTMIN, SIGRTMIN + 5, SIGRTMAX));

/* "tolvarin | head -1", then a key: the pipe's reader is gone, the next
   screen raises SIGPIPE, and the terminal is back all the same. */
TEST(ConsolePty, ReaderGoneEndsByBrokenPipe) {
  Options o;
  o.textToPipe = true;
  Session s(o);
  ASSERT_NE(s.WaitFor("eXit\n", 0, true), std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(false));
  close(s.textPipe);
  s.textPipe = -1;
  s.Type(" ");
  EXPECT_EQ(s.WaitExit(), 128 + SIGPIPE);
  EXPECT_EQ(s.killedBy, SIGPIPE);
  EXPECT_TRUE(SameAttributes(s.Attributes(), s.before));
}

/* A window that keeps its 24 rows: the pages stay on the alternate
   screen, each drawn as a window of it with its menu at the bottom, and
   nothing but the screen and the key mode is there to undo at the end. */
TEST(ConsolePty, WindowThatWillNotGrowShowsAWindowOfThePage) {
  Options o;
  o.grows = false;
  Session s(o);
  const std::string mark = "lines 1-20 of 32: Up/Down, PgUp/PgDn, Home/End\x1b[m\r\n";
  size_t menu = s.NextMenu();
  ASSERT_NE(menu, std::string::npos);
  EXPECT_EQ(s.out.rfind(std::string(kAsk50) + kEnter + kClear, 0), 0u);
  EXPECT_NE(s.out.find("IRMS "), std::string::npos) << "line 20 is shown";
  EXPECT_EQ(s.out.find("COIL "), std::string::npos) << "line 21 is not";
  EXPECT_NE(s.out.find(mark), std::string::npos);
  s.Type("\x1b[6~"); /* PgDn: the same page from line 11, nothing else happens */
  size_t next = s.WaitFor("lines 11-32 of 32", menu);
  ASSERT_NE(next, std::string::npos);
  EXPECT_NE(s.out.find("COIL ", menu), std::string::npos);
  s.Type("q");
  /* The prompt may come after the switch to line mode: wait for both. */
  EXPECT_NE(s.WaitFor("Enter Q <2.500000>", next), std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(true));
  s.Type("3\n");
  menu = s.WaitFor(mark, next);
  ASSERT_NE(menu, std::string::npos) << "the new page from its top";
  ASSERT_TRUE(s.WaitLineMode(false));
  s.Type("x");
  EXPECT_EQ(s.WaitExit(), 0);
  EXPECT_TRUE(EndsWith(s.out, std::string(kMenuEnd) + "\x1b[?1049l")) << "no size to give back";
  EXPECT_EQ(Count(s.out, kEnter), 1u);
  EXPECT_TRUE(SameAttributes(s.Attributes(), s.before));
}

/* The scroll keys as the common terminals send them (xterm's application
   cursor keys, modifiers, the Linux console's and rxvt's Home and End);
   other keys without a character stay keys: the menu takes them. */
TEST(ConsolePty, ScrollKeysOfEveryTerminal) {
  Options o;
  o.grows = false;
  Session s(o);
  size_t at = s.NextMenu();
  ASSERT_NE(at, std::string::npos);
  const char* const steps[][2] = {
      {"\x1bOB", "lines 2-21 of 32"},       {"\x1b[4~", "lines 11-32 of 32"},
      {"\x1b[1~", "lines 1-20 of 32"},      {"\x1b[1;5B", "lines 2-21 of 32"},
      {"\x1b[8~", "lines 11-32 of 32"},     {"\x1b[7~", "lines 1-20 of 32"},
      {"\x1bOA\x1b[B", "lines 2-21 of 32"}, /* Up at the top does nothing */
      {"\x1b[5~", "lines 1-20 of 32"},
  };
  for (const auto& step : steps) {
    s.Type(step[0]);
    size_t next = s.WaitFor(step[1], at);
    ASSERT_NE(next, std::string::npos) << step[1];
    EXPECT_EQ(Count(s.out.substr(at, next - at), kClear), 1u) << step[1] << ": drawn once";
    at = next;
  }
  /* F1 of the Linux console and of xterm: two keys, two light passes. */
  s.Type("\x1b[[A\x1bOP");
  for (int i = 0; i < 2; ++i) {
    at = s.NextMenu(at);
    ASSERT_NE(at, std::string::npos) << i;
  }
  s.Type("x");
  EXPECT_EQ(s.WaitExit(), 0);
}

/* Output held by Ctrl-S (XOFF): a signal that ends the program still
   ends it at once, with the terminal back, instead of waiting in its
   handler for Ctrl-Q. */
TEST(ConsolePty, EndingSignalWhileOutputIsSuspended) {
  for (int sig : {SIGTERM, SIGHUP}) {
    Session s;
    ASSERT_NE(s.NextMenu(), std::string::npos);
    ASSERT_TRUE(s.WaitLineMode(false));
    ASSERT_TRUE(s.Attributes().c_iflag & IXON) << "Ctrl-S stops output";
    s.Type("\x13");
    /* Stopped: the terminal takes no more output. */
    bool stopped = false;
    for (long long end = NowMs() + kWaitMs; !stopped && NowMs() < end;) {
      struct pollfd p = {s.slave, POLLOUT, 0};
      stopped = poll(&p, 1, 0) == 0;
      if (!stopped) usleep(5000);
    }
    ASSERT_TRUE(stopped) << strsignal(sig);
    kill(s.program, sig);
    EXPECT_EQ(s.WaitExit(), 128 + sig) << strsignal(sig);
    EXPECT_EQ(s.killedBy, sig) << strsignal(sig);
    EXPECT_TRUE(EndsWith(s.out, kLeave24)) << strsignal(sig);
    EXPECT_TRUE(SameAttributes(s.Attributes(), s.before)) << strsignal(sig);
  }
}

TEST(ConsolePty, CtrlCTyped) {
  Session s;
  ASSERT_NE(s.NextMenu(), std::string::npos);
  s.Type("\x03");
  EXPECT_EQ(s.WaitExit(), 128 + SIGINT);
  EXPECT_TRUE(EndsWith(s.out, kLeave24));
  EXPECT_TRUE(SameAttributes(s.Attributes(), s.before));
}

TEST(ConsolePty, CtrlZStopsWithTerminalBackAndContinues) {
  Session s;
  size_t menu = s.NextMenu();
  ASSERT_NE(menu, std::string::npos);
  s.Type("\x1a");
  ASSERT_TRUE(s.WaitStopped());
  s.Pump(0);
  EXPECT_TRUE(EndsWith(s.out, kLeave24));
  EXPECT_TRUE(SameAttributes(s.Attributes(), s.before));
  size_t stop = s.out.size();
  s.Continue();
  /* Back: screen, rows, key mode, and the page shown again. */
  size_t again = s.WaitFor(std::string(kAsk50) + kEnter + kClear, stop);
  ASSERT_NE(again, std::string::npos);
  menu = s.NextMenu(again);
  ASSERT_NE(menu, std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(false));
  s.Type("q");
  size_t prompt = s.WaitFor("Enter Q <2.500000>\r\n", menu);
  ASSERT_NE(prompt, std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(true));
  /* Stopped in the middle of an entry, it comes back to the entry. */
  s.Type("\x1a");
  ASSERT_TRUE(s.WaitStopped());
  EXPECT_TRUE(SameAttributes(s.Attributes(), s.before));
  s.Continue();
  ASSERT_TRUE(s.WaitLineMode(true));
  s.Type("3\n");
  menu = s.NextMenu(prompt);
  ASSERT_NE(menu, std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(false));
  s.Type("q");
  EXPECT_NE(s.WaitFor("Enter Q <3.000000>", menu), std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(true));
  s.Type("2.5\n");
  menu = s.NextMenu(menu);
  ASSERT_TRUE(s.WaitLineMode(false));
  s.Type("x");
  EXPECT_EQ(s.WaitExit(), 0);
  EXPECT_TRUE(SameAttributes(s.Attributes(), s.before));
}

/* A hangup that does not come with SIGHUP to the program (it is not the
   session leader) is the terminal's end of input: the program ends as by
   the exit key. */
TEST(ConsolePty, HangupIsEndOfInput) {
  for (bool inEntry : {false, true}) {
    Session s;
    ASSERT_NE(s.NextMenu(), std::string::npos);
    if (inEntry) {
      s.Type("q");
      ASSERT_TRUE(s.WaitLineMode(true));
    }
    s.Hangup();
    EXPECT_EQ(s.WaitExit(), 0) << inEntry;
  }
}

/* A script's transcript stays on the terminal as plain text: no screen
   switch, no size request, no mode change, so it can be read afterwards. */
TEST(ConsolePty, ScriptOnStdinTranscriptOnTerminal) {
  Options o;
  o.scriptOnStdin = true;
  Session s(o);
  EXPECT_EQ(s.WaitExit(), 0);
  ASSERT_FALSE(s.out.empty());
  EXPECT_EQ(s.out[0], '\f');
  EXPECT_EQ(s.out.find('\x1b'), std::string::npos);
  EXPECT_TRUE(EndsWith(s.out, kMenuEnd));
  EXPECT_TRUE(SameAttributes(s.Attributes(), s.before));
}

TEST(ConsolePty, KeysFromTerminalTextToPipe) {
  Options o;
  o.textToPipe = true;
  Session s(o);
  size_t menu = s.WaitFor("eXit\n", 0, true);
  ASSERT_NE(menu, std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(false));
  s.Type("q");
  ASSERT_NE(s.WaitFor("Enter Q <2.500000>\n", menu, true), std::string::npos);
  ASSERT_TRUE(s.WaitLineMode(true));
  s.Type("3\n");
  EXPECT_NE(s.WaitFor("3\r\n"), std::string::npos) << "the echo goes to the terminal";
  menu = s.WaitFor("eXit\n", menu, true);
  ASSERT_TRUE(s.WaitLineMode(false));
  s.Type("x");
  EXPECT_EQ(s.WaitExit(), 0);
  EXPECT_EQ(s.piped.find('\x1b'), std::string::npos);
  EXPECT_EQ(s.piped[0], '\f');
  EXPECT_EQ(s.out, "3\r\n"); /* nothing but the echo of the number */
  EXPECT_TRUE(SameAttributes(s.Attributes(), s.before));
}

}  // namespace
