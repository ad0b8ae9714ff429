/*
** page_window_test.cpp: a page taller than the window, as a window of it:
** the rows the terminal would show (line ends, wrapping at the width, tab
** stops), the foot kept at the bottom, the mark, the scroll keys, and the
** bytes drawn.  Every expected figure is counted by hand from the text.
*/
#include <gtest/gtest.h>

#include <string>

#include "console/console_internal.h"

namespace {

PageWindow For(const std::string& page, int rows, int cols) {
  return PageWindowFor(page.data(), page.size(), rows, cols);
}

std::string Lines(int n, const char* prefix = "L") {
  std::string s;
  for (int i = 1; i <= n; ++i) s += prefix + std::to_string(i) + "\n";
  return s;
}

TEST(PageWindow, RowsFootBodyAndMark) {
  struct Case {
    const char* what;
    std::string page;
    int rows, cols;
    int pageRows, lines, foot, body, maxTop;
    bool mark;
  };
  const std::string menuPage = Lines(10) + "\nM1\nM2\n"; /* 10 + blank + 2 + the cursor's row */
  const std::string tablePage = "H\n\n" + Lines(10, "r") + "prompt";
  const Case cases[] = {
      {"fits: drawn whole", "a\nb\n", 5, 10, 3, 2, 0, 3, 0, false},
      {"fits exactly", Lines(4) + "p", 5, 10, 5, 5, 0, 5, 0, false},
      {"size unknown", menuPage, 0, 80, 14, 13, 0, 14, 0, false},
      {"menu after the last empty line", menuPage, 8, 80, 14, 13, 3, 4, 7, true},
      {"a foot longer than six rows: the prompt alone", tablePage, 6, 80, 13, 13, 1, 4, 8, true},
      {"long foot ending in a line end: last line and cursor", "x\n\n" + Lines(8), 5, 80, 11, 10, 2,
       2, 7, true},
      {"no empty line, short page", Lines(7), 4, 80, 8, 7, 2, 1, 5, true},
      {"foot cut to the window: one body row, the mark", menuPage + "E\n", 4, 80, 15, 14, 2, 1, 12,
       true},
      {"two rows: the foot's last rows alone", menuPage, 2, 80, 14, 13, 2, 0, 12, false},
      {"25 characters in 10 columns: three rows", std::string(25, 'w') + "\n\nM\n", 4, 10, 6, 5, 2,
       1, 3, true},
      {"10 characters in 10 columns and a line end: one row", std::string(10, 'w') + "\n", 4, 10, 2,
       1, 0, 2, 0, false},
      {"a tab to column 8, 3 more: two rows in 10", "\tabc\n\nM", 2, 10, 4, 4, 2, 0, 2, false},
  };
  for (const Case& c : cases) {
    const PageWindow w = For(c.page, c.rows, c.cols);
    EXPECT_EQ(w.pageRows, c.pageRows) << c.what;
    EXPECT_EQ(w.lines, c.lines) << c.what;
    EXPECT_EQ(w.foot, c.foot) << c.what;
    EXPECT_EQ(w.body, c.body) << c.what;
    EXPECT_EQ(w.maxTop, c.maxTop) << c.what;
    EXPECT_EQ(w.mark, c.mark) << c.what;
  }
}

TEST(PageWindow, ScrollKeysStayWithinThePage) {
  const PageWindow w = For(Lines(10) + "\nM1\nM2\n", 8, 80); /* body 4 rows, tops 0..7 */
  struct Case {
    int top, key, want;
  };
  const Case cases[] = {
      {0, kScrollDown, 1},     {6, kScrollDown, 7},
      {7, kScrollDown, 7},     {3, kScrollUp, 2},
      {0, kScrollUp, 0},       {0, kScrollPageDown, 3},
      {6, kScrollPageDown, 7}, {5, kScrollPageUp, 2},
      {2, kScrollPageUp, 0},   {5, kScrollHome, 0},
      {1, kScrollEnd, 7},      {12, kScrollNone, 7} /* a smaller window: back within the page */,
      {-1, kScrollNone, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PageWindowScrolled(w, c.top, c.key), c.want) << c.top << " key " << c.key;
}

TEST(PageWindow, MarkSaysTheLinesShown) {
  const PageWindow w = For(Lines(10) + "\nM1\nM2\n", 8, 80);
  char mark[128];
  struct Case {
    int top;
    const char* want;
  };
  const Case cases[] = {
      {0, "lines 1-4 of 13: Up/Down, PgUp/PgDn, Home/End"},
      {3, "lines 4-7 of 13: Up/Down, PgUp/PgDn, Home/End"},
      {7, "lines 8-13 of 13: Up/Down, PgUp/PgDn, Home/End"}, /* the foot follows on */
  };
  for (const Case& c : cases)
    EXPECT_EQ(std::string(mark, PageWindowMark(w, c.top, mark, sizeof mark)), c.want);
  const PageWindow narrow = For(Lines(10) + "\nM1\nM2\n", 8, 12);
  EXPECT_EQ(std::string(mark, PageWindowMark(narrow, 0, mark, sizeof mark)), "lines 1-4 of");
}

std::string gDrawn;
void Collect(const char* p, size_t n) {
  gDrawn.append(p, n);
}

TEST(PageWindow, DrawsBodyMarkAndFootWithTheCursorLast) {
  struct Case {
    std::string page;
    int rows, cols, top;
    std::string want;
  };
  const Case cases[] = {
      {"A\nB\nC\nD\nE\n\nM\n", 5, 20, 1,
       "\x1b[H\x1b[2JB\nC\n\x1b[7mlines 2-3 of 7: Up/D\x1b[m\nM\n"},
      {"\tx\ny", 5, 20, 0, "\x1b[H\x1b[2J        x\ny"}, /* whole, the tab as spaces */
      {"abcdefg\n\nM", 3, 4, 0, "\x1b[H\x1b[2Jabcd\n\x1b[7mline\x1b[m\nM"},
  };
  for (const Case& c : cases) {
    gDrawn.clear();
    const PageWindow w = For(c.page, c.rows, c.cols);
    PageWindowDraw(c.page.data(), c.page.size(), w, c.top, Collect);
    EXPECT_EQ(gDrawn, c.want) << c.page;
  }
}

}  // namespace
