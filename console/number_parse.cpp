/*
** number_parse.cpp: one typed decimal number, rounded once to float.
**
** The longest prefix that forms a decimal number is taken, as strtod
** reads one: an optional sign, digits with an optional point (at least one
** digit in all), then an exponent only when a digit follows its 'e' and
** sign.  Hexadecimal, inf and nan forms are not numbers here.
**
** The number is rebuilt in a small fixed buffer and handed to strtof, so
** it is rounded once and correctly.  A digit string of any length fits:
** the first kKeptDigits significant digits are kept, later ones only move
** the decimal exponent and leave a trace when they are not zero.  The
** values halfway between two neighbouring floats are k x 2^e with k odd
** and below 2^25 and e at least -150: at most 113 significant digits.
** So the kept digits and the trace decide the rounding exactly as the
** full string would.  Exponents are clamped far beyond the float range.
**
** The same scan reads a line that the line editor hands over, by looking
** at it as the input for a moment.
*/
#include <cstdio>
#include <cstdlib>

#include "console/console_internal.h"

namespace {

const int kKeptDigits = 120;
const long long kExponentClamp = 1000000000LL;

struct Mantissa {
  char digits[kKeptDigits + 1];
  int count;       /* significant digits kept */
  bool trace;      /* a non-zero digit was dropped */
  long long scale; /* value = digits x 10^scale */
  bool seen;       /* at least one digit, zeros included */
};

bool IsDigit(int c) {
  return c >= '0' && c <= '9';
}

long long Clamp(long long v) {
  if (v > kExponentClamp) return kExponentClamp;
  if (v < -kExponentClamp) return -kExponentClamp;
  return v;
}

void TakeDigit(Mantissa& m, int c, bool fraction) {
  m.seen = true;
  if (m.count == 0 && c == '0') { /* a leading zero only shifts */
    if (fraction) m.scale = Clamp(m.scale - 1);
    return;
  }
  if (m.count < kKeptDigits) {
    m.digits[m.count++] = char(c);
    if (fraction) m.scale = Clamp(m.scale - 1);
    return;
  }
  if (c != '0') m.trace = true;
  if (!fraction) m.scale = Clamp(m.scale + 1);
}

void TakeDigits(Mantissa& m, bool fraction, bool refill) {
  for (int c = PeekByte(refill); IsDigit(c); c = PeekByte(refill)) {
    TakeDigit(m, c, fraction);
    SkipByte();
  }
}

/* The exponent after 'e' or 'E'; 0 when no digit follows (the letter and
   the sign are then not part of the number). */
long long TakeExponent(bool refill) {
  SkipByte();
  int c = PeekByte(refill);
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    SkipByte();
    c = PeekByte(refill);
  }
  long long e = 0;
  for (; IsDigit(c); c = PeekByte(refill)) {
    e = Clamp(e * 10 + (c - '0'));
    SkipByte();
  }
  return negative ? -e : e;
}

}  // namespace

bool ScanDecimal(float* value, bool refill) {
  Mantissa m{};
  int c = PeekByte(refill);
  const bool negative = c == '-';
  if (c == '+' || c == '-') SkipByte();
  TakeDigits(m, false, refill);
  if (PeekByte(refill) == '.') {
    SkipByte();
    TakeDigits(m, true, refill);
  }
  if (!m.seen) return false;
  long long exponent = m.scale;
  c = PeekByte(refill);
  if (c == 'e' || c == 'E') exponent = Clamp(exponent + TakeExponent(refill));
  if (m.trace) { /* one more digit, 1, stands for everything dropped */
    m.digits[m.count++] = '1';
    exponent = Clamp(exponent - 1);
  }
  /* sign, digits, 'e', exponent: at most 1 + 121 + 1 + 11 bytes */
  char text[160];
  if (m.count == 0)
    std::snprintf(text, sizeof text, "%s0", negative ? "-" : "");
  else
    std::snprintf(text, sizeof text, "%s%.*se%lld", negative ? "-" : "", m.count, m.digits,
                  exponent);
  *value = std::strtof(text, nullptr);
  return true;
}

bool ScanDecimalText(const char* text, size_t len, float* value) {
  const ConsoleInput kept = gConsoleIn;
  gConsoleIn =
      ConsoleInput{kSideMemory, reinterpret_cast<const unsigned char*>(text), 0, len, true, false};
  for (int c = PeekByte(false); c == ' ' || c == '\t'; c = PeekByte(false)) SkipByte();
  const bool got = ScanDecimal(value, false);
  gConsoleIn = kept;
  return got;
}
