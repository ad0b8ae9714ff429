/*
** svg_canvas.cpp: the PLplot calls behind every plot.  PLplot's svg
** device writes only to a named file, hence the temporary file.
*/
#include "sim/report/plots/svg_canvas.h"

#include <plplot/plplot.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sim/circuit/format.h"

namespace {

/* Line styles: 1 solid, 2 short dashes, 3 dots, 4 long dashes; marks
   and spaces in micrometres. */
void SetStyle(int style) {
  static PLINT mark[3] = {1500, 400, 6000}, space[3] = {1500, 1200, 3000};
  if (style <= 1 || style > 4) {
    plstyl(0, mark, space);
    return;
  }
  plstyl(1, &mark[style - 2], &space[style - 2]);
}

}  // namespace

Status BeginCanvas(SvgCanvas& canvas, const std::string& title) {
  assert(!canvas.Open);
  char path[] = "/tmp/tolvarin-plot-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return Status::Failed("no temporary file for the plot");
  close(fd);
  canvas.TempPath = path;
  canvas.Title = title;
  canvas.PanelRecords.clear();
  plsdev("svg");
  plsfnam(path);
  plspage(0, 0, kCanvasWidth, kCanvasHeight, 0, 0);
  plscolbg(255, 255, 255);
  plscol0(1, 0, 0, 0);       /* black: frames, text, lines */
  plscol0(2, 160, 160, 160); /* grey: bars */
  plinit();
  plfontld(1);
  plschr(0.0, 0.8);
  canvas.Open = true;
  return Status::Done();
}

void BeginPanel(SvgCanvas& canvas, const char* name, const PanelPlace& place,
                const PanelWindow& window, const char* xLabel, const char* yLabel,
                const char* title) {
  assert(canvas.Open && window.X1 > window.X0 && window.Y1 > window.Y0);
  if (canvas.PanelRecords.empty()) pladv(0);
  plvpor(place.Left, place.Right, place.Bottom, place.Top);
  plwind(window.X0, window.X1, window.Y0, window.Y1);
  plcol0(1);
  SetStyle(1);
  plwidth(1.0);
  plbox("bcnsti", 0.0, 0, "bcnstiv", 0.0, 0);
  pllab(xLabel, yLabel, title);
  canvas.PanelRecords += Format(
      "<tolvarin:panel name=\"%s\" x0=\"%.9g\" x1=\"%.9g\" y0=\"%.9g\" y1=\"%.9g\" "
      "left=\"%.9g\" right=\"%.9g\" bottom=\"%.9g\" top=\"%.9g\"/>",
      name, window.X0, window.X1, window.Y0, window.Y1, place.Left * double(kCanvasWidth),
      place.Right * double(kCanvasWidth), place.Bottom * double(kCanvasHeight),
      place.Top * double(kCanvasHeight));
}

void BeginBarePanel(SvgCanvas& canvas, const char* name, const PanelPlace& place,
                    const PanelWindow& window, const char* title) {
  assert(canvas.Open && window.X1 > window.X0 && window.Y1 > window.Y0);
  if (canvas.PanelRecords.empty()) pladv(0);
  plvpor(place.Left, place.Right, place.Bottom, place.Top);
  plwind(window.X0, window.X1, window.Y0, window.Y1);
  plcol0(1);
  pllab("", "", title);
  canvas.PanelRecords += Format(
      "<tolvarin:panel name=\"%s\" x0=\"%.9g\" x1=\"%.9g\" y0=\"%.9g\" y1=\"%.9g\" "
      "left=\"%.9g\" right=\"%.9g\" bottom=\"%.9g\" top=\"%.9g\"/>",
      name, window.X0, window.X1, window.Y0, window.Y1, place.Left * double(kCanvasWidth),
      place.Right * double(kCanvasWidth), place.Bottom * double(kCanvasHeight),
      place.Top * double(kCanvasHeight));
}

void DrawLine(const std::vector<double>& x, const std::vector<double>& y, int style, double width) {
  assert(x.size() == y.size());
  plcol0(1);
  SetStyle(style);
  plwidth(width);
  plline(PLINT(x.size()), x.data(), y.data());
  SetStyle(1);
  plwidth(1.0);
}

void DrawBar(double x0, double x1, double y0, double y1) {
  PLFLT x[4] = {x0, x1, x1, x0}, y[4] = {y0, y0, y1, y1};
  plcol0(2);
  plfill(4, x, y);
  plcol0(1);
}

void DrawText(double x, double y, double just, const std::string& text) {
  plcol0(1);
  plptex(x, y, 1.0, 0.0, just, text.c_str());
}

Status EndCanvas(SvgCanvas& canvas, std::string& svg) {
  assert(canvas.Open);
  plend();
  canvas.Open = false;
  std::ifstream in(canvas.TempPath, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::remove(canvas.TempPath.c_str());
  svg = text.str();
  const size_t open = svg.find("<svg");
  const size_t close = open == std::string::npos ? open : svg.find('>', open);
  if (close == std::string::npos) return Status::Failed("the plotting library wrote no SVG");
  /* The namespace of the panel records, then the title and the records. */
  svg.insert(close, " xmlns:tolvarin=\"https://tolvarin.invalid/plot\"");
  const size_t end = svg.find('>', open) + 1;
  svg.insert(end, "\n  <title>" + XmlEscaped(canvas.Title) + "</title>\n  <metadata>" +
                      canvas.PanelRecords + "</metadata>");
  return Status::Done();
}

PanelWindow WindowOf(double x0, double x1, const std::vector<std::vector<double>>& ys,
                     double margin) {
  double lo = INFINITY, hi = -INFINITY;
  for (const std::vector<double>& y : ys)
    for (double v : y)
      if (std::isfinite(v)) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
  if (!(hi >= lo)) lo = 0.0, hi = 1.0;
  double span = hi - lo;
  if (span <= 1e-12 * std::max(1.0, std::fabs(hi))) span = std::max(1.0, std::fabs(hi));
  return {x0, x1, lo - margin * span, hi + margin * span};
}
