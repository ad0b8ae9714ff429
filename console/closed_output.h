/*
** closed_output.h: a standard output that was closed when the program
** started.  The next file opened would take its descriptor and receive
** everything printed, so /dev/null is put in its place first; the caller
** then reports the output as failed.  Both programs start with it.
*/
#ifndef TOLVARIN_CONSOLE_CLOSED_OUTPUT_H
#define TOLVARIN_CONSOLE_CLOSED_OUTPUT_H

/* True when standard output was closed (it now leads to /dev/null). */
bool HoldClosedStandardOutput();

#endif
