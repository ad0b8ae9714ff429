/*
** text_plot.h: one period of the switch waveforms drawn in text.
*/
#ifndef TOLVARIN_SIM_REPORT_TEXT_PLOT_H
#define TOLVARIN_SIM_REPORT_TEXT_PLOT_H

#include <string>
#include <vector>

enum { kPlotWidth = 80 };

/* A panel of `rows` lines, kPlotWidth columns wide, of one period of
   samples: a value label at the top, zero and bottom rows, the trace as
   '*', the zero line as '-'.  Its title goes on the line above. */
std::string PlotPanel(const std::vector<double>& samples, int rows, const char* title);

/* The time axis under the panels, marking the share `duty` of the
   period the drive holds the switch on. */
std::string PlotTimeAxis(double duty = 0.5);

/* Both panels and the axis for one period of driveMHz. */
std::string PlotPeriod(const std::vector<double>& vsw, const std::vector<double>& isw,
                       double driveMHz, double duty = 0.5);

#endif
