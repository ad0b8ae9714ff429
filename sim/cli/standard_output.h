/*
** standard_output.h: everything tolvarin-sim prints on standard output
** goes through here, so a failed write (a full disk, a closed
** descriptor) is noticed, said on standard error and ends the run with
** status 1.
*/
#ifndef TOLVARIN_SIM_CLI_STANDARD_OUTPUT_H
#define TOLVARIN_SIM_CLI_STANDARD_OUTPUT_H

#include <string>

/* Call first: a closed standard output would be taken by the next file
   opened, so /dev/null holds its place and it counts as failed. */
void GuardStandardOutput();

/* Writes and flushes text; false once any write has failed. */
bool Print(const std::string& text);

/* True when a write has failed (or standard output was closed). */
bool StandardOutputFailed();

/* "tolvarin-sim: cannot write standard output: <why>" once something has
   failed, "" before. */
std::string StandardOutputFailure();

#endif
