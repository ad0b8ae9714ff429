/*
** page_window.cpp: a page taller than the window, shown as a window of it.
**
** The page is the text written since the last clearing.  It is cut into
** the rows the terminal would show: a line end starts a new row, and so
** does a character that would pass the last column (the terminal wraps
** there).  The last row is where the cursor waits: the prompt, or an empty
** row after the menu's line end.
**
** A page with no more rows than the window is drawn whole from the top.
** A taller one keeps its foot, the rows after its last empty line (the
** menu, a prompt, a number being entered; only its last line and the
** cursor's row when that foot is long), at the bottom of the window; above
** the foot one mark line says which lines are shown and which keys
** scroll; the rest of the window shows the body from the row scrolled to.
**
** Nothing here allocates or calls the C library beyond plain memory
** work: the window is drawn from a signal handler too (after a stop).
*/
#include <cstddef>
#include <cstring>

#include "console/console_internal.h"

namespace {

const int kFootMax = 6; /* a longer foot is a table that runs into the prompt */
const int kTabStop = 8;

/* One row of the page: text[begin..end), the next row starts at next. */
struct Row {
  size_t begin, end, next;
  bool newline; /* ended by a line end, not by the window's width */
};

bool Shown(unsigned char c) {
  return c >= 0x20 && c != 0x7f;
}

/* The row that starts at begin, in a window cols wide. */
Row RowAt(const char* text, size_t len, size_t begin, int cols) {
  int col = 0;
  for (size_t i = begin; i < len; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') return Row{begin, i, i + 1, true};
    int w = c == '\t' ? kTabStop - col % kTabStop : Shown(c) ? 1 : 0;
    if (w > 0 && col >= cols) return Row{begin, i, i, false}; /* wraps here */
    if (col + w > cols) w = cols - col;                       /* a tab stops at the edge */
    col += w;
  }
  return Row{begin, len, len, false};
}

bool IsLast(const Row& r, size_t len) {
  return !r.newline && r.end == len;
}

/* Small buffered writer over the caller's output. */
struct Out {
  void (*write)(const char*, size_t);
  char buf[4096];
  size_t n;
};

void Put(Out& o, const char* p, size_t len) {
  while (len > 0) {
    if (o.n == sizeof o.buf) {
      o.write(o.buf, o.n);
      o.n = 0;
    }
    size_t take = sizeof o.buf - o.n < len ? sizeof o.buf - o.n : len;
    std::memcpy(o.buf + o.n, p, take);
    o.n += take;
    p += take;
    len -= take;
  }
}

void PutText(Out& o, const char* s) {
  Put(o, s, std::strlen(s));
}

/* The row's characters, tabs as the spaces they move over. */
void PutRow(Out& o, const char* text, const Row& r, int cols) {
  int col = 0;
  for (size_t i = r.begin; i < r.end; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\t') {
      for (int to = col + kTabStop - col % kTabStop; col < to && col < cols; ++col) Put(o, " ", 1);
    } else if (Shown(c)) {
      Put(o, &text[i], 1);
      ++col;
    }
  }
}

/* Decimal digits of v >= 0 at to; their count. */
size_t Digits(char* to, int v) {
  char rev[12];
  size_t n = 0;
  do {
    rev[n++] = char('0' + v % 10);
    v /= 10;
  } while (v > 0 && n < sizeof rev);
  for (size_t i = 0; i < n; ++i) to[i] = rev[n - 1 - i];
  return n;
}

}  // namespace

PageWindow PageWindowFor(const char* text, size_t len, int rows, int cols) {
  PageWindow w{};
  w.rows = rows;
  w.cols = cols > 0 ? cols : 1;
  int count = 0, lastBlank = -1;
  bool lastEmpty = false;
  for (size_t at = 0;;) {
    const Row r = RowAt(text, len, at, w.cols);
    if (IsLast(r, len)) {
      lastEmpty = r.begin == r.end;
      ++count;
      break;
    }
    if (r.newline && r.begin == r.end) lastBlank = count;
    ++count;
    at = r.next;
  }
  w.pageRows = count;
  w.lines = lastEmpty && count > 1 ? count - 1 : count;
  if (count <= rows || rows <= 0) { /* drawn whole */
    w.body = count;
    return w;
  }
  int foot = count - (lastBlank + 1);
  if (foot > kFootMax) foot = lastEmpty && count > 1 ? 2 : 1;
  if (rows >= 3) {
    w.mark = true;
    if (foot > rows - 2) foot = rows - 2; /* one body row and the mark at least */
  } else {
    foot = rows;
  }
  w.foot = foot;
  w.body = rows - foot - (w.mark ? 1 : 0);
  w.maxTop = count - foot - w.body;
  return w;
}

int PageWindowScrolled(const PageWindow& w, int top, int key) {
  const int page = w.body > 1 ? w.body - 1 : 1; /* a page on keeps one row in view */
  switch (key) {
    case kScrollUp: top -= 1; break;
    case kScrollDown: top += 1; break;
    case kScrollPageUp: top -= page; break;
    case kScrollPageDown: top += page; break;
    case kScrollHome: top = 0; break;
    case kScrollEnd: top = w.maxTop; break;
    default: break;
  }
  if (top > w.maxTop) top = w.maxTop;
  if (top < 0) top = 0;
  return top;
}

size_t PageWindowMark(const PageWindow& w, int top, char* to, size_t cap) {
  char s[128];
  size_t n = 0;
  const int last = top >= w.maxTop ? w.lines : top + w.body; /* at the end the foot follows on */
  std::memcpy(s, "lines ", 6);
  n = 6;
  n += Digits(s + n, top + 1);
  s[n++] = '-';
  n += Digits(s + n, last);
  std::memcpy(s + n, " of ", 4);
  n += 4;
  n += Digits(s + n, w.lines);
  const char keys[] = ": Up/Down, PgUp/PgDn, Home/End";
  std::memcpy(s + n, keys, sizeof keys - 1);
  n += sizeof keys - 1;
  if (n > size_t(w.cols)) n = size_t(w.cols);
  if (n > cap) n = cap;
  std::memcpy(to, s, n);
  return n;
}

void PageWindowDraw(const char* text, size_t len, const PageWindow& w, int top,
                    void (*write)(const char*, size_t)) {
  static Out o; /* drawn from one place at a time: a stop waits for the normal flow */
  o.write = write;
  o.n = 0;
  PutText(o, "\x1b[H\x1b[2J");
  const int footFrom = w.pageRows - w.foot;
  int shown = 0; /* window rows written */
  int i = 0;
  for (size_t at = 0;; ++i) {
    const Row r = RowAt(text, len, at, w.cols);
    const bool inBody = i >= top && i < top + w.body;
    if (inBody || i >= footFrom) {
      if (shown > 0) PutText(o, "\n");
      if (i == footFrom && w.mark) {
        char mark[128];
        PutText(o, "\x1b[7m");
        Put(o, mark, PageWindowMark(w, top, mark, sizeof mark));
        PutText(o, "\x1b[m\n");
        ++shown;
      }
      PutRow(o, text, r, w.cols);
      ++shown;
    }
    if (IsLast(r, len)) break;
    at = r.next;
  }
  if (o.n > 0) write(o.buf, o.n);
  o.n = 0;
}
