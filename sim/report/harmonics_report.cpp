/*
** harmonics_report.cpp: the harmonics section of the text report and
** its JSON.
**
** Why two figures differ: the sweep page's 2xFo-db is 10 log10 of the
** design-frequency resistance over the resistance the network shows the
** switch at 2Fo, i.e. how much less power the network takes at 2Fo from
** a switch voltage as large as the fundamental's.  The simulator's H2 is
** the load's: the switch voltage's own second harmonic, far smaller than
** its fundamental, through the network's transfer.  For a network that
** loses little the transfer and the sweep page's figure agree; a network
** that burns what it takes at a harmonic (a resonance in lossy parts)
** passes less than the sweep page counts.
*/
#include "sim/report/harmonics_report.h"

#include "sim/circuit/format.h"
#include "sim/circuit/topology_table.h"
#include "sim/engine/measure.h"

using nlohmann::json;

namespace {

/* Words wrapped at 80 columns, each line ended. */
std::string WrapText(const std::string& text) {
  std::string out, line;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(at, end - at);
    if (!line.empty() && line.size() + 1 + word.size() > 80) {
      out += line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    at = end + 1;
  }
  return out + line + "\n";
}

}  // namespace

double SwitchHarmonicDbc(const SimResult& r, int k) {
  return Dbc(HarmonicAmplitude(r.Vsw, k), HarmonicAmplitude(r.Vsw, 1));
}

std::string HarmonicsText(const Harmonics& h, const MaskResult& m) {
  std::string out = "\nHarmonics at the load, dBc; mask " + m.Name + ":\n" + m.Rule + ".\n";
  std::string head = "       ", level = "level  ", limit = "limit  ", margin = "margin ";
  for (int i = 0; i < kMaskHarmonics; i++) {
    head += Format("%7s", Format("H%d", i + kFirstMaskHarmonic).c_str());
    level += Format("%7.1f", h.Dbc[i]);
    limit += Format("%7.1f", m.Limit[i]);
    margin += Format("%7.1f", m.Margin[i]);
  }
  out += head + "\n" + level + "\n";
  if (!m.Applies) return out + "No limit applies.\n";
  out += limit + "\n" + margin + "\n";
  const int w = m.Worst + kFirstMaskHarmonic;
  if (m.Pass)
    return out + Format("Pass: every harmonic within the limit, the least margin %.1f dB (H%d).\n",
                        m.Margin[m.Worst], w);
  return out + Format("FAIL: H%d is %.1f dB over the limit.\n", w, -m.Margin[m.Worst]);
}

std::string HarmonicStory(const DesignState& calc, int topology, const double own[2],
                          const SimResult& r) {
  const SweepColumn& col = calc.*Topology(topology).Sweep;
  const double page[2] = {col.Db2xFo, col.Db3xFo};
  std::string out =
      "\nTwo harmonic figures.  The calculator's sweep page (2xFo-db, 3xFo-db) gives how\n"
      "much less power the network takes at 2Fo and 3Fo than at Fo from the same\n"
      "switch voltage, as if it lost none.  The level at the load is the network's\n"
      "transfer (what it passes of the switch voltage at 2Fo and 3Fo against Fo) plus\n"
      "the switch voltage's own harmonic, which is far below its fundamental:\n"
      "      sweep page  this network    switch       sum  simulated at the load\n";
  for (int k = 2; k <= 3; k++) {
    const double sw = SwitchHarmonicDbc(r, k), load = k == 2 ? r.H2dBc : r.H3dBc;
    out += Format("  %dFo %8.1f dB %10.1f dB %6.1f dBc %5.1f dBc %7.1f dBc\n", k, page[k - 2],
                  own[k - 2], sw, own[k - 2] + sw, load);
  }
  return out;
}

std::string AlternativesText(const std::vector<MaskAlternative>& others) {
  std::string pass;
  for (const MaskAlternative& a : others) {
    if (!a.Ran || !a.Mask.Pass) continue;
    pass +=
        Format("%s%s%s (least margin %.1f dB)", pass.empty() ? "" : ", ", Topology(a.Topology).Name,
               a.Notch ? " --notch" : "", a.Mask.Margin[a.Mask.Worst]);
  }
  if (pass.empty()) return "No other network of these inputs passes either.\n";
  return WrapText("The same inputs pass in " + pass + ".");
}

json MaskJson(const MaskResult& m) {
  json j;
  j["name"] = m.Name;
  j["rule"] = m.Rule;
  j["limits_dBc"] = json::array();
  j["margins_dB"] = json::array();
  for (int i = 0; i < kMaskHarmonics; i++) {
    j["limits_dBc"].push_back(m.Applies ? json(m.Limit[i]) : json(nullptr));
    j["margins_dB"].push_back(m.Applies ? json(m.Margin[i]) : json(nullptr));
  }
  j["pass"] = m.Pass;
  return j;
}

json HarmonicsJson(const Harmonics& h) {
  json j = json::array();
  for (double d : h.Dbc) j.push_back(d);
  return j;
}
