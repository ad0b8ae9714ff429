/*
** output.cpp: formatted text and the clearing of the screen, to a stream,
** a terminal or a memory buffer.
**
** A stream gets the program's own text only, and a form feed where a
** terminal's screen would be cleared.  A terminal gets the text written
** straight through, so it is never held in a buffer when a signal ends
** the program.  Memory collects the text up to the caller's capacity and
** counts what did not fit.  Once input has ended nothing more is written.
**
** A stream that cannot be written (a full disk, a closed descriptor, a
** reader gone) ends the input: nobody would see the questions.  The error
** is kept for the exit status.
*/
#include <errno.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "console/console.h"
#include "console/console_internal.h"

namespace {

/* One formatted text for the terminal, or what did not fit in memory. */
char gText[65536];

void AppendMemory(const char* text, size_t len) {
  ConsoleOutput& out = gConsoleOut;
  if (out.len < out.cap) {
    size_t room = out.cap - out.len;
    std::memcpy(out.mem + out.len, text, len < room ? len : room);
  }
  out.len += len;
}

/* vsnprintf straight into the room left; when the text is cut there, the
   last byte of the room went to the terminating zero and is fetched from
   a second formatting. */
void PrintMemory(const char* format, va_list ap) {
  ConsoleOutput& out = gConsoleOut;
  size_t room = out.len < out.cap ? out.cap - out.len : 0;
  va_list again;
  va_copy(again, ap);
  int n = std::vsnprintf(room ? out.mem + out.len : nullptr, room, format, ap);
  if (n > 0 && size_t(n) >= room && room > 0) {
    std::vsnprintf(gText, sizeof gText, format, again);
    if (room - 1 < sizeof gText - 1) out.mem[out.cap - 1] = gText[room - 1];
  }
  va_end(again);
  if (n > 0) out.len += size_t(n);
}

void PrintTerminal(const char* format, va_list ap) {
  int n = std::vsnprintf(gText, sizeof gText, format, ap);
  if (n <= 0) return;
  size_t len = size_t(n) < sizeof gText ? size_t(n) : sizeof gText - 1;
  TerminalWrite(gText, len);
}

}  // namespace

ConsoleOutput gConsoleOut = {kSideStream, nullptr, 0, 0, 0};

void OutputUse(int side, char* mem, size_t cap) {
  gConsoleOut = ConsoleOutput{side, mem, cap, 0, 0};
}

void OutputFailed(int err) {
  if (gConsoleOut.failedErrno == 0) gConsoleOut.failedErrno = err != 0 ? err : EIO;
  gConsoleIn.eof = true;
}

void FlushStreamOutput() {
  if (gConsoleOut.side != kSideStream) return;
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) OutputFailed(errno);
}

void Print(const char* format, ...) {
  if (gConsoleIn.ended) return;
  va_list ap;
  va_start(ap, format);
  switch (gConsoleOut.side) {
    case kSideStream: std::vfprintf(stdout, format, ap); break;
    case kSideTerminal: PrintTerminal(format, ap); break;
    case kSideMemory: PrintMemory(format, ap); break;
  }
  va_end(ap);
}

void ClearScreen() {
  if (gConsoleIn.ended) return;
  switch (gConsoleOut.side) {
    case kSideStream: std::fputc('\f', stdout); break;
    case kSideTerminal: TerminalClear(); break;
    case kSideMemory: AppendMemory("\f", 1); break;
  }
}

size_t ConsoleOutputLength() {
  return gConsoleOut.len;
}
