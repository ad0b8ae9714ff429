/*
** number_text.h: numbers as the command line gives them.  Decimal only,
** as the calculator reads numbers: "0x10", "inf" and "nan" are not
** numbers here.  Each scan is one pass over the text, whatever its
** length.
*/
#ifndef TOLVARIN_SIM_CLI_NUMBER_TEXT_H
#define TOLVARIN_SIM_CLI_NUMBER_TEXT_H

#include <cstdint>
#include <string>

/* True, with *value, when the whole text is one finite decimal number:
   a sign, digits with an optional point (at least one digit), and an
   exponent. */
bool ReadDecimal(const std::string& text, double* value);

/* True, with *value, when the whole text is a whole number of 1 to 20
   digits, no sign, within 0 to 2^64 - 1. */
bool ReadWhole(const std::string& text, std::uint64_t* value);

#endif
