/*
** help_pages.cpp: the pager over the six help pages and the page of
** references.  X on a help page leaves at once; any key on the references
** leaves.  Nothing in the design is touched, so the main loop comes back
** with a light pass and the coil edits stay.
*/
#include "app/help_pages.h"

#include "app/help_text.h"
#include "console/console.h"

namespace {

/* Shows one page and its prompt; returns the key that answered it. */
int ShowPage(const char* text, const char* prompt) {
  ClearScreen();
  Print(text);
  Print(prompt);
  return ReadKey();
}

}  // namespace

void ShowHelpPages() {
  for (int page = 0; page < kHelpLastHelpPage; ++page) {
    const int key = ShowPage(kHelpPages[page], "\nPress any key to continue Help...or <X> to Exit");
    if (key == 'X' || key == 'x' || key == kKeyEnd) return;
  }
  ShowPage(kHelpPages[kHelpLastHelpPage], "\nPress any key to exit References...");
}
