/*
** schematic_layout.cpp: the ladder found by walking the circuit's
** nodes.  From each node of the main line the series part taken is the
** one towards the load (the load node is reached from it without going
** back or through ground); every other path from the node that ends at
** ground is a branch.  A device's package coil leads off the line to
** the die, where the switch and the device's own capacitance hang.
*/
#include "sim/report/schematic_layout.h"

#include <cassert>
#include <set>

#include "sim/circuit/format.h"

namespace {

bool Touches(const CircuitPart& p, const std::string& node) {
  return p.NodeA == node || p.NodeB == node;
}

const std::string& Other(const CircuitPart& p, const std::string& node) {
  return p.NodeA == node ? p.NodeB : p.NodeA;
}

/* True when `to` is reached from `from` through parts not in `used`,
   never through ground. */
bool Reaches(const Circuit& c, const std::string& from, const std::string& to, std::set<int> used) {
  if (from == to) return true;
  if (from == kNodeGround) return false;
  for (int i = 0; i < int(c.Parts.size()); i++) {
    if (used.count(i) || !Touches(c.Parts[i], from)) continue;
    used.insert(i);
    if (Reaches(c, Other(c.Parts[i], from), to, used)) return true;
  }
  return false;
}

/* The branch from `node` through part i down to ground (parts in series
   through nodes no other part touches); empty when it is not one. */
std::vector<int> Branch(const Circuit& c, const std::string& node, int i) {
  std::vector<int> chain = {i};
  std::string at = Other(c.Parts[i], node);
  while (at != kNodeGround) {
    int next = -1, touching = 0;
    for (int j = 0; j < int(c.Parts.size()); j++)
      if (Touches(c.Parts[j], at)) {
        touching++;
        if (j != chain.back()) next = j;
      }
    if (touching != 2) return {};
    chain.push_back(next);
    at = Other(c.Parts[next], at);
  }
  return chain;
}

/* The package coil i from the drain pin to the die, and the die's own
   branches; false when i is no such coil. */
bool PackageBranch(const Circuit& c, int i, const std::string& node, LadderStep& step,
                   std::set<int>& used) {
  if (Other(c.Parts[size_t(i)], node) != kNodeSwitch || c.Parts[size_t(i)].Kind != kCoil)
    return false;
  step.Package = i;
  used.insert(i);
  for (int j = 0; j < int(c.Parts.size()); j++) {
    if (j == i || !Touches(c.Parts[size_t(j)], kNodeSwitch)) continue;
    const std::vector<int> branch = Branch(c, kNodeSwitch, j);
    if (branch.empty()) return false;
    for (int k : branch) used.insert(k);
    step.DieShunts.push_back(branch);
  }
  return true;
}

}  // namespace

std::string PartLabel(const CircuitPart& p) {
  return Format("%s %.4g %s", p.Name.c_str(), DisplayValue(p), DisplayUnit(p));
}

Status LayOut(const Circuit& c, SchematicLayout& out) {
  out.Steps.clear();
  std::set<int> used;
  std::string node = kNodeSupply;
  for (size_t guard = 0; guard <= c.Parts.size(); guard++) {
    LadderStep step{true, node, {}, node == kNodeSwitch, -1, -1, {}};
    int series = -1;
    for (int i = 0; i < int(c.Parts.size()); i++) {
      if (used.count(i) || !Touches(c.Parts[i], node)) continue;
      std::set<int> without = used;
      without.insert(i);
      if (node != kNodeLoad && Reaches(c, Other(c.Parts[i], node), kNodeLoad, without)) {
        series = i;
        continue;
      }
      if (node != kNodeSwitch && step.Package < 0 && PackageBranch(c, i, node, step, used))
        continue;
      const std::vector<int> branch = Branch(c, node, i);
      if (branch.empty()) return Status::Failed("part " + c.Parts[i].Name + " is not in a ladder");
      for (int j : branch) used.insert(j);
      step.Shunts.push_back(branch);
    }
    out.Steps.push_back(step);
    if (node == kNodeLoad) break;
    if (series < 0) return Status::Failed("no part leads from node " + node + " to the load");
    used.insert(series);
    out.Steps.push_back({false, "", {}, false, series, -1, {}});
    node = Other(c.Parts[series], node);
  }
  if (used.size() != c.Parts.size()) return Status::Failed("a part is outside the ladder");
  return Status::Done();
}
