/*
** waveforms_plot.cpp: the voltages above, the switch current below, on
** one time axis in ns from a quarter period before turn-on, so that the
** turn-on instant (the period's start) lies inside the picture.
*/
#include "sim/report/plots/waveforms_plot.h"

#include <plplot/plplot.h>

#include <algorithm>
#include <cassert>

#include "sim/circuit/format.h"
#include "sim/report/plots/svg_canvas.h"

namespace {

const PanelPlace kVoltagePlace = {0.10, 0.95, 0.45, 0.86};
const PanelPlace kCurrentPlace = {0.10, 0.95, 0.10, 0.33};

/* The period's samples on the shifted axis, t from -T/4 to 3T/4, the
   first sample repeated at the end so the line closes the period. */
void Shifted(const std::vector<double>& samples, double periodNs, std::vector<double>& t,
             std::vector<double>& v) {
  const int n = int(samples.size()), quarter = n / 4;
  t.clear();
  v.clear();
  for (int k = 0; k <= n; k++) {
    const int i = (k + n - quarter) % n;
    t.push_back((double(k) / n - 0.25) * periodNs);
    v.push_back(samples[i]);
  }
}

/* The peak of a trace, marked by a short level line at the run's peak
   (found between the samples, so a little above the highest one drawn)
   where the samples peak, and for the first trace its value beside it,
   on the side with room.  Nothing is drawn above it. */
void MarkPeak(const std::vector<double>& t, const std::vector<double>& v, double peak,
              bool labelled, const PanelWindow& w) {
  const size_t k = size_t(std::max_element(v.begin(), v.end()) - v.begin());
  const double dx = 0.06 * (w.X1 - w.X0);
  const std::vector<double> x = {t[k] - dx, t[k] + dx}, y = {peak, peak};
  DrawLine(x, y, 1, 0.5);
  if (!labelled) return;
  const bool left = t[k] > 0.5 * (w.X0 + w.X1);
  DrawText(left ? t[k] - 1.1 * dx : t[k] + 1.1 * dx, peak - 0.02 * (w.Y1 - w.Y0), left ? 1.0 : 0.0,
           Format("peak %.4g V", peak));
}

/* Which line is which, above the panel's right corner (outside the frame,
   where nothing drawn is mistaken for data); styles as DrawLine's. */
std::string Key(const std::vector<WaveformTrace>& traces) {
  static const char* const kStyles[] = {"thick solid", "short dashes", "dots"};
  if (traces.size() == 1) return "switch: thick solid; load: long dashes";
  std::string key = "switch:";
  for (size_t n = 0; n < traces.size() && n < 3; n++)
    key += Format(" %s %s,", traces[n].Label, kStyles[n]);
  key.back() = ';';
  return key + " load: long dashes";
}

}  // namespace

Status WaveformsSvg(const std::string& design, const std::vector<WaveformTrace>& traces,
                    std::string& svg) {
  assert(!traces.empty());
  const double periodNs = 1e3 / traces[0].Result->DriveMHz;
  std::vector<std::vector<double>> ts(traces.size()), vs(traces.size()), is(traces.size());
  std::vector<double> tl, vl;
  for (size_t n = 0; n < traces.size(); n++) {
    Shifted(traces[n].Result->Isw, periodNs, ts[n], is[n]);
    Shifted(traces[n].Result->Vsw, periodNs, ts[n], vs[n]);
  }
  Shifted(traces[0].Result->Vload, periodNs, tl, vl);
  std::vector<std::vector<double>> volts = vs, amps = is;
  volts.push_back(vl);
  for (const WaveformTrace& tr : traces) volts.push_back({tr.Result->Vpeak});
  const PanelWindow wv = WindowOf(-0.25 * periodNs, 0.75 * periodNs, volts, 0.08);
  const PanelWindow wi = WindowOf(-0.25 * periodNs, 0.75 * periodNs, amps, 0.08);

  SvgCanvas canvas;
  Status st = BeginCanvas(canvas, "Waveforms: " + design);
  if (!st.Ok()) return st;
  BeginPanel(canvas, "voltage", kVoltagePlace, wv, "", "voltage (V)", "");
  plmtex("t", 3.0, 0.5, 0.5, ("One steady period, " + design).c_str());
  plmtex("t", 1.5, 1.0, 1.0, Key(traces).c_str());
  for (size_t n = 0; n < traces.size(); n++) {
    DrawLine(ts[n], vs[n], int(n) + 1, n == 0 ? 2.0 : 1.0);
    MarkPeak(ts[n], vs[n], traces[n].Result->Vpeak, n == 0, wv);
  }
  DrawLine(tl, vl, 4, 1.0);
  const std::vector<double> onX = {0.0, 0.0}, onYv = {wv.Y0, wv.Y1}, onYi = {wi.Y0, wi.Y1};
  DrawLine(onX, onYv, 1, 0.5);
  DrawText(0.005 * periodNs, wv.Y0 + 0.05 * (wv.Y1 - wv.Y0), 0.0, "turn-on");
  BeginPanel(canvas, "current", kCurrentPlace, wi, "time from turn-on (ns)", "switch current (A)",
             "");
  for (size_t n = 0; n < traces.size(); n++) DrawLine(ts[n], is[n], int(n) + 1, n == 0 ? 2.0 : 1.0);
  DrawLine(onX, onYi, 1, 0.5);
  return EndCanvas(canvas, svg);
}
