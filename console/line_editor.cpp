/*
** line_editor.cpp: numbers typed on the terminal, through libedit's
** readline interface.
**
** The cursor keys move in the line, Up and Down go through the entries
** typed before (one history for every field), Ctrl-A and Ctrl-E go to
** the ends, Ctrl-U and Ctrl-W erase the line and the word before the
** cursor.  The prompt is the program's own text, printed before; the
** editor's line starts empty on the line below it.
**
** The editor reads its bytes from the console's input buffer (keys typed
** ahead of the entry are part of it, keys typed after the line stay for
** the pages), and installs no signal handler of its own: the console's
** handlers restore the terminal, and a change of window size or a stop
** comes back here to draw the line again.  The editor keeps its line and
** history in memory of its own; this file allocates nothing.
*/
#include <editline/readline.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/console_internal.h"

namespace {

const int kHistoryEntries = 100;

bool gReady;   /* the editor is set up */
bool gEditing; /* a line is being edited now */

/* The editor's source of bytes: the console's buffer, refilled from the
   terminal as the console does (waits serve the signals). */
int NextByte(FILE*) {
  TerminalAdoptEditorMode(); /* the editor has switched the terminal by now */
  int c = PeekByte(true);
  if (c < 0) return EOF;
  SkipByte();
  return c;
}

/* The echo goes where the keys come from; standard output may be a pipe. */
FILE* EchoStream() {
  if (isatty(1)) return stdout;
  int fd = dup(0);
  FILE* f = fd >= 0 ? fdopen(fd, "w") : nullptr;
  if (f == nullptr && fd >= 0) close(fd);
  return f != nullptr ? f : stdout;
}

bool Blank(const char* line) {
  for (const char* p = line; *p; ++p)
    if (*p != ' ' && *p != '\t') return false;
  return true;
}

}  // namespace

bool LineEditorOpen() {
  if (gReady) return true;
  rl_catch_signals = 0;
  rl_catch_sigwinch = 0;
  rl_getc_function = NextByte;
  rl_instream = stdin;
  rl_outstream = EchoStream();
  if (rl_initialize() != 0) return false;
  stifle_history(kHistoryEntries);
  gReady = true;
  return true;
}

bool LineEditorReady() {
  return gReady;
}

bool LineEditorReadNumber(float* value, char* typed, size_t cap) {
  TerminalEditorMode();
  gEditing = true;
  bool got = false;
  typed[0] = '\0';
  for (;;) {
    char* line = readline("");
    if (line == nullptr) break; /* end of input, or the end-of-file key on an empty line */
    const bool blank = Blank(line);
    if (!blank) {
      add_history(line);
      got = ScanDecimalText(line, std::strlen(line), value);
      std::snprintf(typed, cap, "%s", line);
    }
    std::free(line);
    if (!blank) break;
  }
  gEditing = false;
  TerminalKeyMode();
  return got;
}

void LineEditorRedisplay(bool resized) {
  if (!gEditing) return;
  if (resized) rl_resize_terminal();
  rl_forced_update_display();
}
