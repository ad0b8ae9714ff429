/*
** console_internal.h: what the console's own files share and nobody
** else sees: where keys come from, where text goes, and the terminal
** switches that the input side needs.
**
** Input and output each have a side: a stream (a pipe or a file, read
** or written as bytes), a terminal, or memory.  Keys and numbers share
** one input buffer, so a number reads on from where the keys stopped.
*/
#ifndef TOLVARIN_CONSOLE_CONSOLE_INTERNAL_H
#define TOLVARIN_CONSOLE_CONSOLE_INTERNAL_H

#include <cstddef>

enum ConsoleSide { kSideStream, kSideTerminal, kSideMemory };

struct ConsoleInput {
  int side;
  const unsigned char* data; /* the static read buffer, or the caller's */
  size_t pos, len;           /* unread bytes are data[pos..len) */
  bool eof;                  /* the source has no more bytes, for good */
  bool ended;                /* a key was wanted after eof */
};

struct ConsoleOutput {
  int side;
  char* mem; /* memory side: the caller's buffer */
  size_t cap;
  size_t len; /* bytes that would have been written */
};

extern ConsoleInput gConsoleIn;
extern ConsoleOutput gConsoleOut;

/* input.cpp */
void InputUseStdin(int side);
void InputUseMemory(const char* input, size_t len);
/* Next unread byte, or -1.  With refill the buffer is
   refilled when empty (blocking on a stream or terminal); without it only
   bytes already read are looked at. */
int PeekByte(bool refill);
void SkipByte();
/* Refill the empty buffer; false when nothing came (end of input, or an
   end-of-file key on an empty terminal line). */
bool RefillInput();
/* Waits up to ms milliseconds for another byte; -1 when none came. */
int PeekByteWithin(int ms);

/* number_parse.cpp.  Scans one decimal number at the input position, as
   strtod reads one (no hexadecimal, inf or nan forms), and rounds it once
   to float.  Returns false when no number starts there.  The bytes taken
   are consumed, the one that ended the number is not.  refill as for
   PeekByte. */
bool ScanDecimal(float* value, bool refill);

/* terminal.cpp.  Open switches what *keys and *screen name and clears
 *keys when standard input gives no terminal attributes. */
void TerminalOpen(bool* keys, bool* screen);
void TerminalClose();
void TerminalKeyMode();  /* no echo, no line editing */
void TerminalLineMode(); /* echoed, line-edited */
void TerminalWrite(const char* text, size_t len);
void TerminalClear();

/* output.cpp */
void OutputUse(int side, char* mem, size_t cap);
void FlushStreamOutput();

#endif
