/*
** number_text.cpp: the scanners.  The grammar is checked by hand, one
** character at a time, so a long argument costs its length and no more
** (a regular expression engine recursed once per character and ran out
** of stack on a 30,000-digit argument).
*/
#include "sim/cli/number_text.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

/* Moves i past a run of digits; returns how many. */
size_t Digits(const std::string& t, size_t& i) {
  const size_t start = i;
  while (i < t.size() && IsDigit(t[i])) i++;
  return i - start;
}

bool IsDecimal(const std::string& t) {
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) i++;
  size_t digits = Digits(t, i);
  if (i < t.size() && t[i] == '.') {
    i++;
    digits += Digits(t, i);
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    i++;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) i++;
    if (Digits(t, i) == 0) return false;
  }
  return i == t.size();
}

}  // namespace

bool ReadDecimal(const std::string& text, double* value) {
  if (!IsDecimal(text)) return false;
  const double v = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  *value = v;
  return true;
}

bool ReadWhole(const std::string& text, std::uint64_t* value) {
  size_t i = 0;
  const size_t digits = Digits(text, i);
  if (digits == 0 || digits > 20 || i != text.size()) return false;
  errno = 0;
  const unsigned long long v = std::strtoull(text.c_str(), nullptr, 10);
  if (errno == ERANGE) return false;
  *value = v;
  return true;
}
