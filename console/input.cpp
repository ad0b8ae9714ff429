/*
** input.cpp: keys and typed numbers, from one buffer.
**
** A stream (a script on standard input) is read in large blocks and every
** byte is a key.  A terminal gives keys one press at a time; the bytes a
** cursor or function key sends (ESC [ A, ESC O P, ESC [ 1 5 ~) come back
** as one kKeyNone, so the 'A' ending the up arrow never reaches a page as
** a letter, while an Escape press that nothing follows within a moment is
** key 27.  Up, Down, PgUp, PgDn, Home and End scroll a page shown as a
** window of it (a window too small for the page) and are not passed on;
** on a page that is shown whole they are keys without a character too.
**
** A number entry reads on from the same buffer: blank lines are waited
** through, one decimal number is taken, and the rest of its line is thrown
** away so that stray text cannot turn into commands.  On a terminal the
** line is typed in the line editor (line_editor.cpp), which reads its
** bytes from this buffer too.
**
** Every wait for input lets in what signals left to do: the page drawn
** again after the window's size changed, the edited line after a stop.
*/
#include <errno.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "console/console.h"
#include "console/console_internal.h"

namespace {

const int kEscapeWaitMs = 50;     /* longer than any terminal takes between the bytes of a key */
const int kMaxSequenceBytes = 32; /* a longer "sequence" is noise; stop swallowing it */

unsigned char gReadBuffer[65536];
bool gLineEntry; /* a number is being typed on the terminal (line mode) */

/* What a signal left for the normal flow: the page drawn again after a
   change of window size, the edited line after a stop or a resize. */
void ServiceSignals() {
  if (SignalsTakeResize()) {
    TerminalRedraw();
    LineEditorRedisplay(true);
  }
  if (SignalsTakeResume()) LineEditorRedisplay(false);
}

long long NowMs() {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
}

/* Waits until standard input can be read, up to ms (-1: without limit),
   serving the signals that come meanwhile.  False when the time ran out. */
bool WaitInput(int ms) {
  const long long end = NowMs() + ms;
  for (;;) {
    ServiceSignals();
    long long left = ms < 0 ? -1 : end - NowMs();
    if (ms >= 0 && left < 0) left = 0;
    if (SignalsWaitInput(int(left))) return true;
    if (ms >= 0 && NowMs() >= end) return false;
  }
}

/* read(2) on standard input once it can be read, through interruptions
   and a descriptor left non-blocking by someone else. */
ssize_t ReadStdin(unsigned char* to, size_t max) {
  for (;;) {
    WaitInput(-1);
    ssize_t n = read(0, to, max);
    if (n >= 0) return n;
    if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
    return -1;
  }
}

bool IsBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

/* The scroll key a sequence's final byte and first parameter name:
   xterm's arrows, Home and End (with or without modifiers, "ESC [ 1 ; 5 A"),
   the VT220 keys "ESC [ 5 ~" and "ESC [ 6 ~", and Home and End as the
   Linux console ("ESC [ 1 ~", "ESC [ 4 ~") and rxvt ("ESC [ 7 ~",
   "ESC [ 8 ~") send them. */
int ScrollKeyOf(int final, int param) {
  switch (final) {
    case 'A': return kScrollUp;
    case 'B': return kScrollDown;
    case 'H': return kScrollHome;
    case 'F': return kScrollEnd;
    case '~': break;
    default: return kScrollNone;
  }
  switch (param) {
    case 5: return kScrollPageUp;
    case 6: return kScrollPageDown;
    case 1:
    case 7: return kScrollHome;
    case 4:
    case 8: return kScrollEnd;
    default: return kScrollNone;
  }
}

/* After "ESC [" or "ESC O": parameter and intermediate bytes, then one
   final byte; the scroll key it is, if any.  The Linux console sends its
   F1..F5 as "ESC [ [ A".."ESC [ [ E": no scroll keys. */
int SkipControlSequence() {
  if (PeekByteWithin(kEscapeWaitMs) == '[') {
    SkipByte();
    int c = PeekByteWithin(kEscapeWaitMs);
    if (c >= 0x40 && c <= 0x7E) SkipByte();
    return kScrollNone;
  }
  int param = 0;
  bool first = true; /* still in the first parameter */
  for (int i = 0; i < kMaxSequenceBytes; ++i) {
    int c = PeekByteWithin(kEscapeWaitMs);
    if (c >= 0x20 && c <= 0x3F) {
      SkipByte();
      if (first && c >= '0' && c <= '9' && param < 1000) param = param * 10 + (c - '0');
      if (c < '0' || c > '9') first = false;
      continue;
    }
    if (c < 0x40 || c > 0x7E) return kScrollNone;
    SkipByte();
    return ScrollKeyOf(c, param);
  }
  return kScrollNone;
}

/* What an Escape byte from the terminal begins; *scroll the scroll key it
   is.  Escape followed by any other byte (an Alt chord) is a key without
   a character too; a second Escape starts its own key. */
int ReadEscape(int* scroll) {
  *scroll = kScrollNone;
  int c = PeekByteWithin(kEscapeWaitMs);
  if (c < 0 || c == 27) return 27;
  SkipByte();
  if (c == '[' || c == 'O') *scroll = SkipControlSequence(); /* ESC O A: the same shape */
  return kKeyNone;
}

bool SkipBlanks() {
  for (;;) {
    int c = PeekByte(true);
    if (c < 0) return false;
    if (!IsBlank(c)) return true;
    SkipByte();
  }
}

/* The rest of the line, its newline included.  On the terminal a line
   arrives whole, so only what has been read is looked at. */
void DiscardLine(bool refill) {
  for (;;) {
    int c = PeekByte(refill);
    if (c < 0) return;
    SkipByte();
    if (c == '\n') return;
  }
}

}  // namespace

ConsoleInput gConsoleIn = {kSideStream, gReadBuffer, 0, 0, false, false};

void InputUseStdin(int side) {
  gConsoleIn = ConsoleInput{side, gReadBuffer, 0, 0, false, false};
}

void InputUseMemory(const char* input, size_t len) {
  gConsoleIn = ConsoleInput{
      kSideMemory, reinterpret_cast<const unsigned char*>(input), 0, len, false, false};
}

bool RefillInput() {
  ConsoleInput& in = gConsoleIn;
  if (in.eof || in.side == kSideMemory) {
    in.eof = true;
    return false;
  }
  /* Whoever is asked must first see the question.  A script already
     there costs one flush per block read. */
  FlushStreamOutput();
  if (gConsoleOut.failedErrno != 0) { /* nobody sees the questions: the session ends */
    in.eof = true;
    return false;
  }
  ssize_t n = ReadStdin(gReadBuffer, sizeof gReadBuffer);
  if (n > 0) {
    in.data = gReadBuffer;
    in.pos = 0;
    in.len = size_t(n);
    return true;
  }
  /* On a terminal in line mode, 0 is the end-of-file key pressed on an
     empty line: it gives up the entry, the terminal is still there (when
     it is not, key mode reads 0 next and that ends the input).  Anywhere
     else 0 is the end, as is an error. */
  if (n == 0 && in.side == kSideTerminal && gLineEntry) return false;
  in.eof = true;
  return false;
}

int PeekByte(bool refill) {
  ConsoleInput& in = gConsoleIn;
  if (in.pos < in.len) return in.data[in.pos];
  if (!refill || !RefillInput()) return -1;
  return in.data[in.pos];
}

void SkipByte() {
  if (gConsoleIn.pos < gConsoleIn.len) ++gConsoleIn.pos;
}

int PeekByteWithin(int ms) {
  ConsoleInput& in = gConsoleIn;
  if (in.pos < in.len) return in.data[in.pos];
  if (in.eof || in.side == kSideMemory) return -1;
  if (!WaitInput(ms)) return -1;
  return PeekByte(true);
}

int ReadKey() {
  ConsoleInput& in = gConsoleIn;
  for (;;) {
    if (in.ended) return kKeyEnd;
    if (in.side == kSideTerminal) TerminalShowPage();
    int c;
    while ((c = PeekByte(true)) < 0) {
      if (in.eof) {
        in.ended = true;
        return kKeyEnd;
      }
    }
    SkipByte();
    if (c != 27 || in.side != kSideTerminal) return c;
    int scroll;
    c = ReadEscape(&scroll);
    if (scroll == kScrollNone || !TerminalScroll(scroll)) return c;
  }
}

/* A number typed on a line that the terminal itself edits: blank lines
   are waited through, the rest of the number's line is thrown away.  The
   line taken goes to typed[0..cap), zero-terminated. */
static bool ReadTerminalLineNumber(float* value, char* typed, size_t cap) {
  TerminalLineMode();
  gLineEntry = true;
  bool got = false;
  typed[0] = '\0';
  if (SkipBlanks()) {
    const size_t from = gConsoleIn.pos; /* the line arrived whole: no refill below */
    got = ScanDecimal(value, false);
    DiscardLine(false);
    size_t n = gConsoleIn.pos - from;
    if (n > 0 && gConsoleIn.data[gConsoleIn.pos - 1] == '\n') --n;
    if (n > cap - 1) n = cap - 1;
    std::memcpy(typed, gConsoleIn.data + from, n);
    typed[n] = '\0';
  }
  gLineEntry = false;
  TerminalKeyMode();
  return got;
}

bool ReadNumber(float* field) {
  ConsoleInput& in = gConsoleIn;
  if (in.ended) return false;
  float value = 0.0f;
  bool got = false;
  if (in.side != kSideTerminal) {
    if (SkipBlanks()) {
      got = ScanDecimal(&value, true);
      DiscardLine(true);
    }
  } else {
    char typed[256];
    TerminalShowPage();
    got = LineEditorReady() ? LineEditorReadNumber(&value, typed, sizeof typed)
                            : ReadTerminalLineNumber(&value, typed, sizeof typed);
    TerminalEntryEnded(typed, std::strlen(typed));
  }
  if (got) *field = value;
  return got;
}

bool InputEnded() {
  return gConsoleIn.ended;
}
