/*
** main.cpp: the program entry.  Takes no arguments, reads no files.
*/
#include "app/main_loop.h"

int main() {
  return RunProgram();
}
