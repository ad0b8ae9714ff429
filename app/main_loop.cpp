/*
** main_loop.cpp: the one loop that drives the program: recompute the
** design, print the main design screen, take one menu key.  What a pass
** computes is in app/design_pass.h; which pass comes next is up to the
** key (an entry asks for a full one).
*/
#include "app/main_loop.h"

#include "app/design_pass.h"
#include "app/main_menu.h"
#include "app/main_screen.h"
#include "app/page_rows.h"
#include "console/console.h"

void RunMainLoop(DesignState& s) {
  for (;;) {
    ComputePass(s, NextPass(s));
    PrintMainScreen(s);
    s.Notice[0] = '\0'; /* a notice is shown once */
    if (MainMenu(s) < 0) return;
  }
}

int RunProgram() {
  static DesignState state; /* the one design of the run */
  ConsoleOpen(kTallestPageRows);
  ClearScreen();
  SetStartValues(state);
  RunMainLoop(state);
  return ConsoleFinish();
}
