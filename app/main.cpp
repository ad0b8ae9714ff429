/*
** main.cpp: the program entry.  --help and --version answer and end; with
** no argument the calculator runs.  Reads no files.
*/
#include "app/command_line.h"
#include "app/main_loop.h"

int main(int argc, char** argv) {
  int status = 0;
  if (!TakeArguments(argc, argv, &status)) return status;
  return RunProgram();
}
