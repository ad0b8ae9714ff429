/*
** page_rows.h: how many terminal rows the tallest page needs, its lines
** and the row the cursor waits on.  Help page 1 is the tallest: 43 lines
** and its "Press any key" line.  A window with fewer rows shows each
** taller page as a window of it that scrolls.
*/
#ifndef TOLVARIN_APP_PAGE_ROWS_H
#define TOLVARIN_APP_PAGE_ROWS_H

inline constexpr int kTallestPageRows = 44;

#endif
