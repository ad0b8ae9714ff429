/*
** format.h: numbers as text, for the reports and the netlists alike.
*/
#ifndef TOLVARIN_SIM_CIRCUIT_FORMAT_H
#define TOLVARIN_SIM_CIRCUIT_FORMAT_H

#include <string>

/* printf into a string. */
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

/* A number right-aligned in `width` columns with at most `decimals`
   decimals, fewer when the integer part needs the room. */
std::string Fixed(double v, int width, int decimals);

/* Text safe inside XML and HTML: & < > " as entities. */
std::string XmlEscaped(const std::string& s);

/* s right-aligned in `width` columns (as it is when longer). */
std::string PadLeft(const std::string& s, int width);

/* A float as it was typed or printed: the float 3.8f is 3.7999999523,
   and a script should read 3.8.  The shortest decimal that reads back
   as the same float, as a double. */
double Typed(float v);

/* v rounded to a float, as Typed gives it: for a value that came from a
   float and went through double arithmetic that only rescaled it. */
double ShortestFloat(double v);

#endif
