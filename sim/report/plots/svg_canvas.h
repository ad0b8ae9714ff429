/*
** svg_canvas.h: one SVG picture drawn by PLplot, returned as text.
**
** PLplot draws the picture (its own "svg" device) into a temporary file
** that is read back and removed, so the caller writes the text where it
** wants, whole.  Pictures are 800 x 500, black on white, for the screen
** and for paper.  Each panel drawn also records, in the SVG's metadata,
** the world window it shows and where it sits on the page, so that a
** reader can turn the drawn points back into the figures plotted.
*/
#ifndef TOLVARIN_SIM_REPORT_PLOTS_SVG_CANVAS_H
#define TOLVARIN_SIM_REPORT_PLOTS_SVG_CANVAS_H

#include <string>
#include <vector>

#include "sim/circuit/status.h"

enum { kCanvasWidth = 800, kCanvasHeight = 500 };

/* The world window of a panel: x from X0 to X1, y from Y0 to Y1. */
struct PanelWindow {
  double X0, X1, Y0, Y1;
};

/* Where a panel sits on the page, as fractions of its width and height
   (0 at the left and bottom). */
struct PanelPlace {
  double Left, Right, Bottom, Top;
};

/* A picture being drawn; only one at a time (PLplot has one state). */
struct SvgCanvas {
  std::string TempPath;
  std::string Title;        /* the SVG's <title> */
  std::string PanelRecords; /* metadata of the panels drawn so far */
  bool Open = false;
};

/* Starts a picture titled `title`; failed when no temporary file could
   be made. */
Status BeginCanvas(SvgCanvas& canvas, const std::string& title);

/* Opens a framed panel at `place` showing `window`, ticks outside the
   frame (so that only the data lie inside it), labelled with units. */
void BeginPanel(SvgCanvas& canvas, const char* name, const PanelPlace& place,
                const PanelWindow& window, const char* xLabel, const char* yLabel,
                const char* title);

/* Opens an unframed panel (a polar plot draws its own grid): the window,
   equal in x and y when the place is square on the page, and the title. */
void BeginBarePanel(SvgCanvas& canvas, const char* name, const PanelPlace& place,
                    const PanelWindow& window, const char* title);

/* A line through the points, 1 solid, 2 short dashes, 3 dots, 4 long dashes, of
   the given width in points. */
void DrawLine(const std::vector<double>& x, const std::vector<double>& y, int style, double width);

/* A filled grey rectangle from (x0, y0) to (x1, y1). */
void DrawBar(double x0, double x1, double y0, double y1);

/* Text at (x, y) in the panel's world, `just` 0 left to 1 right. */
void DrawText(double x, double y, double just, const std::string& text);

/* Ends the picture; svg receives its text. */
Status EndCanvas(SvgCanvas& canvas, std::string& svg);

/* y lower and upper bounds from the samples with a margin, never empty. */
PanelWindow WindowOf(double x0, double x1, const std::vector<std::vector<double>>& ys,
                     double margin);

#endif
