/*
** session_check.h: the bar every session must clear, whatever its input:
** it ends, every screen it prints is bounded in number by the keys it was
** given, and no number on any screen is "nan" or "inf".
*/
#ifndef TOLVARIN_TESTS_SESSION_CHECK_H
#define TOLVARIN_TESTS_SESSION_CHECK_H

#include <cstddef>

/* Runs one whole session in process with input[0..len) as its keys and
   numbers.  Returns nullptr when it clears the bar, else what failed. */
const char* SessionFault(const char* input, size_t len);

#endif
