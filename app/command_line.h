/*
** command_line.h: the program's arguments.  With none it runs; --help
** prints a short usage, --version the version; anything else is refused
** with one line naming it.
*/
#ifndef TOLVARIN_APP_COMMAND_LINE_H
#define TOLVARIN_APP_COMMAND_LINE_H

/* Acts on the arguments.  Returns true when the program should run (no
   argument); otherwise false, with *status set: 0 after --help or
   --version, 1 when that text could not be written, 2 for any other
   argument. */
bool TakeArguments(int argc, const char* const* argv, int* status);

#endif
