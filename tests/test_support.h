/*
** test_support.h: helpers shared by the tests: a fresh design, whole
** sessions run in process through the memory console, and the built
** program run as a child with a script on its standard input.
*/
#ifndef TOLVARIN_TESTS_TEST_SUPPORT_H
#define TOLVARIN_TESTS_TEST_SUPPORT_H

#include <string>
#include <vector>

#include "app/design_state.h"

/* 2 pi to double precision: the tests' own, independent of the constant
   the calculator rounds it to. */
inline constexpr double kExactTwoPi = 6.283185307179586;

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

/* The last screen of a transcript: the text after its last form feed. */
std::string LastScreen(const std::string& transcript);

/* The screens of a transcript: the text after each form feed, in order
   (what stands before the first form feed is left out). */
std::vector<std::string> Screens(const std::string& transcript);

/* Every piece of text between separators, the empty ones included. */
std::vector<std::string> Split(const std::string& text, char separator);

/* The lines of a text, as getline reads them (no empty piece after a
   final line end). */
std::vector<std::string> Lines(const std::string& text);

#endif
