/*
** e24.h: capacitors from the E24 series, alone or two in parallel.
*/
#ifndef TOLVARIN_SIM_DESIGN_E24_H
#define TOLVARIN_SIM_DESIGN_E24_H

#include <string>

/* One capacitor to solder, or two in parallel (Second 0 for one). */
struct E24Choice {
  double First, Second; /* pF */
};

/* The E24 value nearest v (v > 0), on a logarithmic scale. */
double NearestE24(double v);

/* The nearest single E24 value, or the pair of E24 values in parallel
   that comes nearest when it is within 1 % of v and nearer than the
   single one. */
E24Choice ChooseE24(double pf);

double E24Value(const E24Choice& c);

/* "360" or "330+27", in pF, as a designer writes it. */
std::string E24Text(const E24Choice& c);

#endif
