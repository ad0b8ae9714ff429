/*
** help_pages.h: six pages of help and a page of references.
*/
#ifndef TOLVARIN_APP_HELP_PAGES_H
#define TOLVARIN_APP_HELP_PAGES_H

void ShowHelpPages();

#endif
