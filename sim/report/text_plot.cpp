/*
** text_plot.cpp: one period of the switch voltage and current drawn with
** characters, 80 columns wide: a label field of 9 columns, then one
** column per 71st of the period.  Each column marks every row between the
** lowest and highest sample it covers, so fast edges show as vertical
** strokes instead of vanishing between two columns.
*/
#include "sim/report/text_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const int kLabelWidth = 9; /* "%7.3g |" */
const int kColumns = kPlotWidth - kLabelWidth;

/* Lowest and highest sample in column c, its edges included so that
   neighbouring columns join up. */
void ColumnRange(const std::vector<double>& v, int c, double* lo, double* hi) {
  const int n = static_cast<int>(v.size());
  const int first = c * n / kColumns;
  const int last = std::min(n - 1, (c + 1) * n / kColumns);
  *lo = *hi = v[first];
  for (int i = first; i <= last; i++) {
    *lo = std::min(*lo, v[i]);
    *hi = std::max(*hi, v[i]);
  }
}

std::string Label(double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%7.3g |", std::fabs(value) < 1e-12 ? 0.0 : value);
  return buf;
}

}  // namespace

std::string PlotPanel(const std::vector<double>& samples, int rows, const char* title) {
  std::string out = std::string(title) + "\n";
  if (samples.empty() || rows < 2) return out;
  double vmin = 0.0, vmax = 0.0;
  for (double v : samples) {
    vmin = std::min(vmin, v);
    vmax = std::max(vmax, v);
  }
  if (vmax - vmin <= 0.0) vmax = vmin + 1.0;
  const double h = (vmax - vmin) / rows;
  /* The row whose band holds zero carries the zero line. */
  const int zeroRow = std::min(rows - 1, static_cast<int>(std::floor(vmax / h)));
  for (int r = 0; r < rows; r++) {
    const double top = vmax - r * h, bottom = vmax - (r + 1) * h;
    std::string line;
    if (r == 0)
      line = Label(vmax);
    else if (r == zeroRow)
      line = Label(0.0);
    else if (r == rows - 1)
      line = Label(vmin);
    else
      line = std::string(kLabelWidth - 1, ' ') + "|";
    for (int c = 0; c < kColumns; c++) {
      double lo, hi;
      ColumnRange(samples, c, &lo, &hi);
      const bool hit = hi >= bottom && lo <= top;
      line += hit ? '*' : (r == zeroRow ? '-' : ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  return out;
}

std::string PlotTimeAxis(double duty) {
  std::string axis = std::string(kLabelWidth - 1, ' ') + "+" + std::string(kColumns, '-') + "\n";
  std::string marks(kPlotWidth, ' ');
  const char* names[] = {"0", "T/4", "T/2", "3T/4", "T"};
  for (int k = 0; k < 5; k++) {
    int at = kLabelWidth + k * (kColumns - 1) / 4;
    const int len = static_cast<int>(std::char_traits<char>::length(names[k]));
    if (at + len > kPlotWidth) at = kPlotWidth - len;
    marks.replace(at, len, names[k]);
  }
  while (!marks.empty() && marks.back() == ' ') marks.pop_back();
  std::string drive = "  switch |";
  drive.resize(kLabelWidth);
  drive[kLabelWidth - 1] = '|';
  for (int c = 0; c < kColumns; c++) drive += (c + 0.5) / kColumns < duty ? '=' : ' ';
  while (!drive.empty() && drive.back() == ' ') drive.pop_back();
  return axis + marks + "\n" + drive + "  (= on)\n";
}

std::string PlotPeriod(const std::vector<double>& vsw, const std::vector<double>& isw,
                       double driveMHz, double duty) {
  char title[96];
  std::snprintf(title, sizeof title, "Switch voltage, V: one steady period (%.4g ns at %.4g MHz)",
                1e3 / driveMHz, driveMHz);
  std::string out = PlotPanel(vsw, 14, title);
  out += PlotPanel(isw, 8, "Switch current, A:");
  out += PlotTimeAxis(duty);
  return out;
}
