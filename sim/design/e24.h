/*
** e24.h: capacitors from the IEC 60063 preferred-number series (E12,
** E24, E96), alone or two in parallel.  E24 is the default the tuned
** build takes; the E24 names are kept for it.
*/
#ifndef TOLVARIN_SIM_DESIGN_E24_H
#define TOLVARIN_SIM_DESIGN_E24_H

#include <string>

/* A preferred-number series. */
enum PreferredSeries { kSeriesE12 = 0, kSeriesE24 = 1, kSeriesE96 = 2, kSeriesCount = 3 };

/* "E12", "E24", "E96". */
const char* SeriesName(int series);

/* The series of that name, or -1. */
int SeriesByName(const std::string& name);

/* "E12, E24, E96" for help and error texts. */
std::string SeriesNameList();

/* One capacitor to solder, or two in parallel (Second 0 for one). */
struct E24Choice {
  double First, Second; /* pF */
};

/* The value of the series nearest v (v > 0), on a logarithmic scale. */
double NearestIn(int series, double v);

/* The smallest value of the series at or above v (v > 0). */
double AtLeastIn(int series, double v);

/* The nearest single value, or the pair in parallel that comes nearest
   when it is within 1 % of pf and nearer than the single one. */
E24Choice ChooseParts(int series, double pf);

/* The same in E24. */
double NearestE24(double v);
E24Choice ChooseE24(double pf);

double E24Value(const E24Choice& c);

/* "360" or "330+27", in pF, as a designer writes it. */
std::string E24Text(const E24Choice& c);

#endif
