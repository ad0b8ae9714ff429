/*
** page_rows.h: how many terminal rows the tallest page needs, its lines
** and the row the cursor waits on.  Help page 1 is the tallest: 43 lines
** and its "Press any key" line.  A window with fewer rows keeps the tops of
** the pages in its scrollback instead of on a full screen.
*/
#ifndef TOLVARIN_APP_PAGE_ROWS_H
#define TOLVARIN_APP_PAGE_ROWS_H

inline constexpr int kTallestPageRows = 44;

#endif
