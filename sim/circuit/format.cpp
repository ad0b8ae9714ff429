/*
** format.cpp: numbers as text.
*/
#include "sim/circuit/format.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

std::string Format(const char* format, ...) {
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string out(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(out.data(), out.size() + 1, format, again);
  va_end(again);
  return out;
}

std::string Fixed(double v, int width, int decimals) {
  if (!std::isfinite(v)) v = 0.0;
  const double mag = std::fabs(v);
  int digits = mag >= 1.0 ? static_cast<int>(std::floor(std::log10(mag))) + 1 : 1;
  if (v < 0.0) digits++;
  int d = width - digits - 1;
  if (d > decimals) d = decimals;
  if (d < 0) d = 0;
  /* A value that rounds to zero prints as 0, not -0. */
  if (std::fabs(v) < 0.5 * std::pow(10.0, -d)) v = 0.0;
  return Format("%*.*f", width, d, v);
}

double Typed(float v) {
  char buf[64];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf - 1, v);
  *r.ptr = '\0';
  return std::strtod(buf, nullptr);
}

double ShortestFloat(double v) {
  return Typed(static_cast<float>(v));
}

std::string PadLeft(const std::string& s, int width) {
  return std::string(s.size() < size_t(width) ? width - s.size() : 0, ' ') + s;
}

std::string XmlEscaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '"')
      out += "&quot;";
    else
      out += c;
  }
  return out;
}
