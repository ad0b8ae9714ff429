/* app/help_pages.cpp: not built yet; its owner replaces this file. */
#include "app/help_pages.h"
void ShowHelpPages() {}
