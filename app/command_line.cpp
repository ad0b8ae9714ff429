/*
** command_line.cpp: --help, --version, and the refusal of any other
** argument (one line on standard error, status 2, as tolvarin-sim does).
*/
#include "app/command_line.h"

#include <errno.h>

#include <cstdio>
#include <cstring>

#include "app/version.h"

namespace {

const char kVersion[] = "tolvarin " TOLVARIN_VERSION "\n";

const char kUsage[] =
    "Usage: tolvarin [--help | --version]\n"
    "\n"
    "A design calculator for class-E RF power amplifiers, run in a text\n"
    "terminal.  From six inputs it works out the output network and its\n"
    "matching, the voltage and current on every part, coils to wind, the\n"
    "losses and efficiency, alternate topologies and a broadband sweep.\n"
    "\n"
    "It reads the keyboard: a key acts at once, without Enter.  On the main\n"
    "screen (either case):\n"
    "  F P V Q R O  enter the frequency (MHz), output power (W), supply (V),\n"
    "               loaded Q, load resistance and on-resistance (ohms)\n"
    "  C coil editor   A alternate topologies   B broadband sweep\n"
    "  W wire table    H help                   X exit\n"
    "  Space        recompute the loss estimate\n"
    "A number is typed on its line and ended with Enter: the arrow keys move\n"
    "in it, Up and Down bring back the numbers typed before, Ctrl-A, Ctrl-E,\n"
    "Ctrl-U and Ctrl-W as usual.\n"
    "\n"
    "When standard input is not a terminal it runs scripted: every byte is a\n"
    "key, numbers are read from the same stream, the end of input ends it,\n"
    "and the screens are written as plain text, each after a form feed:\n"
    "  printf 'q3\\nx' | tolvarin\n";

/* Writes the text to standard output; false (said on standard error)
   when it could not be written. */
bool Say(const char* text) {
  errno = 0;
  std::fputs(text, stdout);
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  std::fprintf(stderr, "tolvarin: cannot write standard output: %s\n",
               std::strerror(errno != 0 ? errno : EIO));
  return false;
}

}  // namespace

bool TakeArguments(int argc, const char* const* argv, int* status) {
  if (argc <= 1) return true;
  const char* arg = argv[1];
  if (argc == 2 && (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "--version") == 0)) {
    *status = Say(std::strcmp(arg, "--help") == 0 ? kUsage : kVersion) ? 0 : 1;
    return false;
  }
  if (argc > 2 && (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "--version") == 0))
    arg = argv[2]; /* the one that does not belong */
  std::fprintf(stderr, "tolvarin: unknown argument '%s' (see --help)\n", arg);
  *status = 2;
  return false;
}
