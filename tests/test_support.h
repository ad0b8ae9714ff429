/*
** test_support.h: helpers shared by the tests: a fresh design, whole
** sessions run in process through the memory console, and the built
** program run as a child with a script on its standard input.
*/
#ifndef TOLVARIN_TESTS_TEST_SUPPORT_H
#define TOLVARIN_TESTS_TEST_SUPPORT_H

#include <string>

#include "app/design_state.h"

/* The start-up design after its first full pass. */
DesignState StartDesign();

/* Runs the main loop in process on a fresh start-up design with the given
   keystrokes; returns everything it printed.  *final receives the design
   as the session left it, when given. */
std::string RunSession(const std::string& keys, DesignState* final = nullptr);

/* Runs the built tolvarin binary with the keys on its standard input and
   standard output a pipe; returns its output and sets *status to the exit
   status. */
std::string RunBinary(const std::string& keys, int* status);

/* The screens of a transcript, split at the form feeds. */
std::string LastScreen(const std::string& transcript);

#endif
