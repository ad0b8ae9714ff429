/*
** console.h: the only door between the program and the terminal.
**
** Keys, typed numbers, formatted text and the clearing of the screen all
** go through here.  Each side picks its own mode at ConsoleOpen():
**
**   standard input a terminal   keys without echo or Enter (non-canonical),
**                               numbers typed on a line in a line editor
**                               (cursor keys, history of entries);
**   standard input not one      every byte is a key; numbers are parsed
**                               from the same stream (scripted mode);
**   standard output a terminal, the pages drawn on the alternate
**   keys from one too           screen (50 rows asked for when the window
**                               shows fewer); when it is too small for the
**                               tallest page, a taller page is shown as a
**                               window of it, moved by the scroll keys,
**                               its menu or prompt always in view; drawn
**                               again when the window's size changes;
**   otherwise                   only the program's own text, clearing
**                               writes a single form feed (a script's
**                               transcript, even on a terminal).
**
** A memory mode feeds a fixed input buffer and collects the output in a
** caller's buffer, so whole sessions run in process (tests, fuzzing,
** benchmarks) exactly as a script would drive the program.
**
** Once input has ended, ReadKey keeps answering kKeyEnd and nothing more
** is written: every page then runs out by itself and the menu ends the
** program, as if the exit key had been pressed.
*/
#ifndef TOLVARIN_CONSOLE_CONSOLE_H
#define TOLVARIN_CONSOLE_CONSOLE_H

#include <cstddef>

enum {
  kKeyEnd = -1,     /* end of input: no more keys will come */
  kKeyNone = 0x100, /* a key without a character (arrow, function key) */
};

/* Start-up: pick the modes above, switch the terminal to key mode and the
   screen that suits the window, and install the restoring signal
   handlers.  pageRows: the terminal rows the tallest page needs (its
   lines and the cursor's).  A standard output that is closed ends the
   session at once. */
void ConsoleOpen(int pageRows);
/* Put back what ConsoleOpen found: rows, screen buffer, attributes. */
void ConsoleClose();
/* ConsoleClose, and the program's exit status: 0, or 1 after standard
   output could not be written (said on standard error). */
int ConsoleFinish();

/* Scripted mode over memory: keys and numbers come from input[0..len),
   output is collected in out[0..cap), cut silently when full.  Replaces
   whatever mode was open; no terminal is touched. */
void ConsoleUseMemory(const char* input, size_t len, char* out, size_t cap);
/* Bytes written to the memory output so far (may exceed cap when cut). */
size_t ConsoleOutputLength();

/* Home the cursor and erase the screen (a form feed when not a terminal). */
void ClearScreen();

/* One key: a byte 0..255, kKeyNone, or kKeyEnd.  The scroll keys of a page
   shown as a window of it are taken here and never returned. */
int ReadKey();

/* Read one number into *field, as the "%f" conversion would: skip blanks
   and line ends, take the longest decimal prefix, round once to float.
   The rest of the line is discarded.  Returns false, field untouched,
   when no number starts there or input ends. */
bool ReadNumber(float* field);

/* True once input has ended. */
bool InputEnded();

/* Formatted output, printf conversions; nothing is written after input
   has ended. */
void Print(const char* format, ...) __attribute__((format(printf, 1, 2)));

#endif
