/*
** help_text.h: the seven constant texts of the help pager: six pages of
** help and a page of references.
**
** Each text is printed as its own format string, so a percent sign is
** written "%%" and no text takes arguments.  Every page fits the 50-line
** console together with the pager's prompt: at most 48 lines of text,
** none wider than 80 columns.
*/
#ifndef TOLVARIN_APP_HELP_TEXT_H
#define TOLVARIN_APP_HELP_TEXT_H

enum { kHelpPageCount = 7, kHelpLastHelpPage = 6 };

/* Page 1 is kHelpPages[0]; the references are the last page. */
extern const char* const kHelpPages[kHelpPageCount];

#endif
