/*
** schematic_svg.cpp: the ladder as SVG.  The main line runs down at
** kLineX; a series part sits on it upright with its label to the right;
** each branch of a node is a row leaving the line to the right, one slot
** per part, ending in a ground symbol; a package coil's row leads to the
** die, where the switch and the die's own branches hang.  Every part has
** a <g> whose id is its name, so a reader finds it.
*/
#include "sim/report/schematic_svg.h"

#include <algorithm>

#include "sim/circuit/format.h"
#include "sim/report/schematic_text.h"

namespace {

const int kLineX = 70;  /* the main line */
const int kStep = 60;   /* height of one step or branch row */
const int kSlot = 180;  /* width a branch part takes */
const int kSymbol = 40; /* a symbol's length along its leads */
const int kTop = 60;    /* the supply's terminal */

std::string Escaped(const std::string& s) {
  std::string out;
  for (char c : s)
    out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
  return out;
}

/* A symbol centred at the origin, leads along x from -20 to 20. */
std::string Symbol(char kind) {
  switch (kind) {
    case 'R': return "<rect x=\"-20\" y=\"-7\" width=\"40\" height=\"14\" fill=\"white\"/>";
    case 'L':
      return "<path fill=\"white\" d=\"M-20,0 a5,5 0 0,1 10,0 a5,5 0 0,1 10,0 a5,5 0 0,1 10,0 "
             "a5,5 0 0,1 10,0\"/>";
    case 'C':
      return "<path d=\"M-20,0 H-4 M4,0 H20\"/><path stroke-width=\"3\" d=\"M-4,-12 V12 "
             "M4,-12 V12\"/>";
    default: /* the switch: an open contact */
      return "<path d=\"M-20,0 H-10 M-10,0 L12,-12 M12,0 H20\"/><circle cx=\"-10\" cy=\"0\" "
             "r=\"2\"/><circle cx=\"12\" cy=\"0\" r=\"2\"/>";
  }
}

std::string Placed(char kind, int x, int y, bool upright, const std::string& id) {
  const std::string turn = upright ? " rotate(90)" : "";
  return Format("<g id=\"%s\" transform=\"translate(%d,%d)%s\">", Escaped(id).c_str(), x, y,
                turn.c_str()) +
         Symbol(kind) + "</g>\n";
}

std::string Text(int x, int y, const std::string& s, const char* anchor = "start") {
  return Format(
      "<text x=\"%d\" y=\"%d\" text-anchor=\"%s\" stroke=\"none\" "
      "fill=\"black\">%s</text>\n",
      x, y, anchor, Escaped(s).c_str());
}

std::string Line(int x0, int y0, int x1, int y1) {
  return Format("<path d=\"M%d,%d L%d,%d\"/>\n", x0, y0, x1, y1);
}

/* Ground at the end of a lead ending at (x, y): down, then three bars. */
std::string Ground(int x, int y) {
  return Format("<path d=\"M%d,%d h10 v10 M%d,%d h20 M%d,%d h12 M%d,%d h4\"/>\n", x, y, x, y + 10,
                x + 4, y + 14, x + 8, y + 18);
}

/* One branch row at height y from x0: its parts in slots, then ground
   unless it leads on. */
std::string Branch(const Circuit& c, const std::vector<int>& parts, bool isSwitch, int y,
                   int x0 = kLineX, bool grounded = true) {
  std::string s = Format("<circle cx=\"%d\" cy=\"%d\" r=\"3\" fill=\"black\"/>\n", x0, y);
  int x = x0;
  const int n = isSwitch ? 1 : int(parts.size());
  for (int k = 0; k < n; k++) {
    const int centre = x + kSlot / 2;
    s += Line(x, y, centre - kSymbol / 2, y) + Line(centre + kSymbol / 2, y, x + kSlot, y);
    if (isSwitch) {
      s += Placed('S', centre, y, false, "switch");
      s += Text(centre, y - 16, Format("switch, Ron %.4g ohm", c.Switch.Ron), "middle");
    } else {
      const CircuitPart& p = c.Parts[size_t(parts[size_t(k)])];
      s += Placed(PartKindMark(p)[0], centre, y, false, p.Name);
      s += Text(centre, y - 16, PartLabel(p), "middle");
    }
    x += kSlot;
  }
  return grounded ? s + Ground(x, y) : s;
}

/* The package coil's row below y (the coil, then the switch at the die)
   and the die's branches under it; y ends at the last row, the main line
   drawn down past them. */
std::string PackageRows(const Circuit& c, const LadderStep& st, bool below, int& y,
                        size_t& widest) {
  static const std::vector<int> kNone;
  const int top = y, die = kLineX + kSlot;
  /* A whole step below a row of the node, so the labels clear its ground. */
  y += below ? kStep : kStep / 2;
  std::string s;
  s += Branch(c, {st.Package}, false, y, kLineX, false) + Branch(c, kNone, true, y, die);
  s += Text(die - 6, y + 18, "die", "end");
  widest = std::max(widest, size_t(2));
  for (const std::vector<int>& b : st.DieShunts) {
    s += Line(die, y, die, y + kStep);
    y += kStep;
    s += Branch(c, b, false, y, die);
    widest = std::max(widest, 1 + b.size());
  }
  return s + Line(kLineX, top, kLineX, y);
}

}  // namespace

std::string SchematicSvg(const Circuit& c, const SchematicLayout& layout,
                         const std::string& title) {
  std::string body;
  int y = kTop;
  size_t widest = 1;
  body += Format("<circle cx=\"%d\" cy=\"%d\" r=\"4\" fill=\"white\"/>\n", kLineX, y);
  body += Text(kLineX + 12, y + 5, Format("supply, Vcc %.4g V", c.Vcc));
  for (const LadderStep& st : layout.Steps) {
    if (!st.IsNode) {
      const CircuitPart& p = c.Parts[size_t(st.Part)];
      body += Line(kLineX, y, kLineX, y + (kStep - kSymbol) / 2);
      body += Placed(PartKindMark(p)[0], kLineX, y + kStep / 2, true, p.Name);
      body += Line(kLineX, y + (kStep + kSymbol) / 2, kLineX, y + kStep);
      body += Text(kLineX + 20, y + kStep / 2 + 5, PartLabel(p));
      y += kStep;
      continue;
    }
    const int rows = int(st.Shunts.size()) + (st.HasSwitch ? 1 : 0);
    body += Text(kLineX - 8, y + kStep / 2 + 5, NodeLabel(st.Node), "end");
    for (int r = 0; r < rows; r++) {
      const bool sw = st.HasSwitch && r == 0;
      static const std::vector<int> kNone;
      const std::vector<int>& parts = sw ? kNone : st.Shunts[size_t(r - st.HasSwitch)];
      widest = std::max(widest, sw ? size_t(1) : parts.size());
      body += Line(kLineX, y, kLineX, y + kStep / 2);
      body += Branch(c, parts, sw, y + kStep / 2);
      y += kStep / 2;
      if (r + 1 < rows) body += Line(kLineX, y, kLineX, y + kStep / 2), y += kStep / 2;
    }
    if (st.Package >= 0) body += PackageRows(c, st, rows > 0, y, widest);
  }
  /* Wide enough for the title too (about 8 px a character at 15 px). */
  const int width = std::max(kLineX + int(widest) * kSlot + 40, 20 + 8 * int(title.size()));
  const int height = y + 30;
  return Format(
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
             "viewBox=\"0 0 %d %d\" font-family=\"sans-serif\" font-size=\"13\" "
             "stroke=\"black\" stroke-width=\"1.5\" fill=\"none\">\n",
             width, height, width, height) +
         "<title>" + Escaped(title) +
         "</title>\n<rect width=\"100%\" height=\"100%\" "
         "fill=\"white\" stroke=\"none\"/>\n<g>\n" +
         Format(
             "<text x=\"%d\" y=\"24\" font-size=\"15\" stroke=\"none\" fill=\"black\">%s</text>\n",
             kLineX - 50, Escaped(title).c_str()) +
         "<g class=\"parts\">\n" + body + "</g>\n</g>\n</svg>\n";
}
