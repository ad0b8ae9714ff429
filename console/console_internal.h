/*
** console_internal.h: what the console's own files share and nobody
** else sees: where keys come from, where text goes, the terminal
** switches that the input side needs, the signals, and the line editor.
**
** Input and output each have a side: a stream (a pipe or a file, read
** or written as bytes), a terminal, or memory.  Keys and numbers share
** one input buffer, so a number reads on from where the keys stopped.
*/
#ifndef TOLVARIN_CONSOLE_CONSOLE_INTERNAL_H
#define TOLVARIN_CONSOLE_CONSOLE_INTERNAL_H

#include <signal.h>
#include <termios.h>

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
  size_t len;      /* bytes that would have been written */
  int failedErrno; /* a stream write failed with this errno; 0 while all went out */
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
/* The same over a whole line of text, after its leading blanks; the
   input position is left as it was. */
bool ScanDecimalText(const char* text, size_t len, float* value);

/* terminal.cpp.  Open switches what *keys and *screen name: *keys is
   cleared when standard input gives no terminal attributes, *screen when
   the keys do not come from a terminal (a script's transcript is plain
   text).  pageRows: the rows the tallest page needs. */
void TerminalOpen(bool* keys, bool* screen, int pageRows);
void TerminalClose();
void TerminalKeyMode();  /* no echo, no line editing */
void TerminalLineMode(); /* echoed, line-edited by the terminal */
/* The line editor's entry: its own mode once known, the terminal's line
   mode (from which the editor learns the user's settings) before. */
void TerminalEditorMode();
/* The line editor has set its own mode: remember it as the one to put
   back after a stop. */
void TerminalAdoptEditorMode();
void TerminalWrite(const char* text, size_t len);
void TerminalClear();
/* After a change of the window's size: the page since the last clearing
   drawn again, whole or as a window of it, keeping the scroll position
   where it still fits. */
void TerminalRedraw();
/* A window too small for the tallest page: the page is drawn as a
   window of it at the next wait for a key or a number (TerminalShowPage),
   and the scroll keys move it (TerminalScroll, false when the page is
   shown whole: the key is then an ordinary key without a character).  After
   a number entry the line typed is kept with the page. */
void TerminalShowPage();
bool TerminalScroll(int scrollKey);
void TerminalEntryEnded(const char* typed, size_t len);
/* Async-signal-safe, for the handlers: put back what was found, and take
   the program's modes and page up again after a stop. */
void TerminalRestore();
void TerminalResume();

/* signals.cpp.  Every signal that would end the program restores the
   terminal first and then ends it as the signal would; Ctrl-Z stops with
   the terminal restored; with resize, a change of window size is noted
   for the next wait for input.  Signals ignored at start stay ignored. */
void SignalsInstall(bool resize);
void SignalsUninstall();
/* True once after the window size changed (or after a stop ended). */
bool SignalsTakeResize();
bool SignalsTakeResume();
/* Blocks the signals that must not come between writing the page and
   copying it (a stop, a continue); SignalsRelease puts the mask back. */
void SignalsHold(sigset_t* old);
void SignalsRelease(const sigset_t* old);
/* Waits until standard input can be read, up to ms milliseconds (-1:
   without limit), letting a resize signal in while it waits.  False when
   the time ran out or a signal interrupted the wait; true too when the
   wait itself failed (the read that follows tells why). */
bool SignalsWaitInput(int ms);

/* line_editor.cpp.  The line editor for numbers typed on a terminal.
   Open before the terminal is switched; false when no editor could be had
   (the terminal's own line editing is used then). */
bool LineEditorOpen();
bool LineEditorReady();
/* One number typed on an edited line: blank lines are waited through, the
   rest of the line after the number is dropped.  False, *value untouched,
   when the line holds no number, on the end-of-file key at an empty line,
   or at the end of input.  The line that was taken goes to typed[0..cap),
   zero-terminated (empty when none). */
bool LineEditorReadNumber(float* value, char* typed, size_t cap);
/* Draws the line being edited again after the page was drawn (resized
   tells the editor the window changed); nothing when no line is edited. */
void LineEditorRedisplay(bool resized);

/* page_window.cpp.  A page taller than the window as the window shows
   it: the body from a row scrolled to, a mark line, and the page's foot
   (its menu or prompt, where the cursor waits) always at the bottom. */
enum ScrollKey {
  kScrollNone,
  kScrollUp,
  kScrollDown,
  kScrollPageUp,
  kScrollPageDown,
  kScrollHome,
  kScrollEnd,
};
struct PageWindow {
  int rows, cols; /* the window */
  int pageRows;   /* rows the page takes, the cursor's last */
  int lines;      /* the page's lines as the mark counts them (no empty cursor row) */
  int foot;       /* last rows of the page kept at the bottom; 0 when the page fits */
  int body;       /* rows of the window showing the page from the row scrolled to */
  bool mark;      /* the mark line stands between body and foot */
  int maxTop;     /* the last row the body can start at */
};
PageWindow PageWindowFor(const char* text, size_t len, int rows, int cols);
/* The body's first row after a scroll key, within 0..maxTop. */
int PageWindowScrolled(const PageWindow& w, int top, int key);
/* The mark line's text ("lines 1-21 of 44: Up/Down, ..."), cut to the
   window's width and to cap; its length. */
size_t PageWindowMark(const PageWindow& w, int top, char* to, size_t cap);
/* Erases the screen and draws the window, the cursor left at the end of
   the page.  Async-signal-safe; write takes the bytes. */
void PageWindowDraw(const char* text, size_t len, const PageWindow& w, int top,
                    void (*write)(const char*, size_t));

/* output.cpp */
void OutputUse(int side, char* mem, size_t cap);
/* Pushes a stream's buffered text out; a failure is kept in
   gConsoleOut.failedErrno, and input then ends. */
void FlushStreamOutput();
void OutputFailed(int err);

#endif
