/*
** schematic_text.cpp: the ladder in text.  The main line runs down one
** column; a series part sits on it as [L], [C] or [R]; a node's branches
** leave it to the right as "+--" and end at "gnd".  Node names stand
** left of the line.
*/
#include "sim/report/schematic_text.h"

#include <cstring>

#include "sim/circuit/format.h"
#include "sim/circuit/topology_table.h"

namespace {

const int kLineColumn = 10; /* where the main line runs */

std::string Pad(const char* left) {
  std::string s = left;
  s.resize(kLineColumn - 1, ' ');
  return s;
}

std::string BranchText(const Circuit& c, const std::vector<int>& branch) {
  std::string s;
  for (int i : branch)
    s += Format("--[%s] %s ", PartKindMark(c.Parts[i]), PartLabel(c.Parts[i]).c_str());
  return s + "--gnd";
}

}  // namespace

const char* PartKindMark(const CircuitPart& p) {
  static const char* const kMarks[] = {"R", "L", "C"}; /* by PartKind */
  return kMarks[p.Kind];
}

const char* NodeLabel(const std::string& node) {
  if (node == kNodeSwitch) return "switch";
  if (node == kNodeLoad) return "load";
  if (node == kNodePin) return "pin";
  return "";
}

std::string SchematicText(const Circuit& c, const SchematicLayout& layout) {
  std::string out = Format("Schematic (%s):\n", Topology(c.Topology).Title);
  out += Pad("") + Format(" o  supply, Vcc %.4g V\n", c.Vcc);
  for (const LadderStep& st : layout.Steps) {
    if (!st.IsNode) {
      /* One bar between two parts in series. */
      if (out.compare(out.size() - 3, 3, " |\n") != 0) out += Pad("") + " |\n";
      out += Pad("") + Format("[%s] %s\n", PartKindMark(c.Parts[size_t(st.Part)]),
                              PartLabel(c.Parts[size_t(st.Part)]).c_str());
      out += Pad("") + " |\n";
      continue;
    }
    const char* label = NodeLabel(st.Node);
    bool first = true;
    if (st.HasSwitch) {
      out += Pad(label) + Format(" +--[S] switch, Ron %.4g ohm --gnd\n", c.Switch.Ron);
      first = false;
    }
    for (const std::vector<int>& b : st.Shunts) {
      out += Pad(first ? label : "") + " +" + BranchText(c, b) + "\n";
      first = false;
    }
    if (st.Package >= 0) {
      const std::string head =
          Pad(first ? label : "") + " +--[L] " + PartLabel(c.Parts[size_t(st.Package)]) + " --die";
      out += head + Format("--[S] switch, Ron %.4g ohm --gnd\n", c.Switch.Ron);
      for (const std::vector<int>& b : st.DieShunts)
        out += std::string(head.size() - 2, ' ') + "+" + BranchText(c, b) + "\n";
      first = false;
    }
  }
  return out;
}
