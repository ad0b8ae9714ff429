/*
** topology_table.cpp: the table of networks.  BASIC is the calculator's
** main network (series Ls2 and Cs2 into Ro); PINET its pi form (series
** Ls2, shunt Cp2 into the pi-net resistance), which has no series
** capacitor, so the power circuit adds a DC block.  The values are the
** alternate page's (the BAS and PI sets, which follow the turns ratios).
*/
#include "sim/circuit/topology_table.h"

#include <cassert>

namespace {

const MatchFields kBasicMatch = {&DesignState::MatchBAS, &DesignState::LMBAS, &DesignState::CMBAS};
const MatchFields kPinetMatch = {&DesignState::MatchPI, &DesignState::LMPI, &DesignState::CMPI};
const TunedFields kBasicTuned = {kSeriesForm, &DesignState::Ls2BAS, &DesignState::Cs2BAS,
                                 &DesignState::RoBAS};
const TunedFields kPinetTuned = {kPiForm, &DesignState::Ls2PI, &DesignState::Cp2PI,
                                 &DesignState::RoPI};

/* The stages the rows share. */
constexpr NetworkStage kLs2Basic = {kStageSeriesCoil, "Ls2", &DesignState::Ls2BAS, kLossTuneCoil};
constexpr NetworkStage kCs2Basic = {kStageSeriesCapacitor, "Cs2", &DesignState::Cs2BAS, kLossNone};
/* After the pi-net's shunt capacitor, in series with what follows, its
   reactance 1 % of the pi-net resistance: negligible there at any loaded
   Q, and its charge settles within a few tens of periods through that
   resistance.  (Right after the switch it would sit in the series branch,
   where only a far larger capacitor is negligible, and that one leaks its
   charge through the pi-net resistance over thousands of periods.) */
constexpr NetworkStage kDcBlock = {kStageDcBlock, "Cblk", nullptr, kLossNone};
constexpr NetworkStage kLs2Pinet = {kStageSeriesCoil, "Ls2", &DesignState::Ls2PI, kLossTuneCoil};
constexpr NetworkStage kCp2Pinet = {kStageShuntCapacitor, "Cp2", &DesignState::Cp2PI, kLossNone};
constexpr NetworkStage kMatch = {kStageElMatch, "EL", nullptr, kLossMatchCoil};
constexpr NetworkStage kFilter = {kStageFilter, "TCH", nullptr, kLossNone};

// clang-format off
const TopologyRow kRows[kTopologyCount] = {
/*   name            title           stages from the switch to the load
     load     its resistance       match        shared  tuned        the sweep model */
    {"basic",        "BASIC",        {kLs2Basic, kCs2Basic},
     "Ro",    &DesignState::RoBAS, kBasicMatch, false,  kBasicTuned, &DesignState::SweepBAS},
    {"basic-el",     "BASIC+EL",     {kLs2Basic, kCs2Basic, kMatch},
     "Rload", &DesignState::Rload, kBasicMatch, true,   kBasicTuned, &DesignState::SweepBASEL},
    {"pinet",        "PINET",        {kLs2Pinet, kCp2Pinet, kDcBlock},
     "Ro",    &DesignState::RoPI,  kPinetMatch, false,  kPinetTuned, &DesignState::SweepPI},
    {"pinet-el",     "PINET+EL",     {kLs2Pinet, kCp2Pinet, kDcBlock, kMatch},
     "Rload", &DesignState::Rload, kPinetMatch, false,  kPinetTuned, &DesignState::SweepPIEL},
    {"pinet-el-tch", "PINET+EL+TCH", {kLs2Pinet, kCp2Pinet, kDcBlock, kMatch, kFilter},
     "Rload", &DesignState::Rload, kPinetMatch, false,  kPinetTuned, &DesignState::SweepPIELTCH},
};
// clang-format on

}  // namespace

const TopologyRow& Topology(int t) {
  assert(t >= 0 && t < kTopologyCount);
  return kRows[t];
}

int TopologyByName(const std::string& name) {
  for (int t = 0; t < kTopologyCount; t++)
    if (name == kRows[t].Name) return t;
  return -1;
}

std::string TopologyNameList() {
  std::string out;
  for (int t = 0; t < kTopologyCount; t++) out += std::string(t ? ", " : "") + kRows[t].Name;
  return out;
}

static bool HasStage(int t, StageKind kind) {
  for (const NetworkStage& st : Topology(t).Stages)
    if (st.Kind == kind) return true;
  return false;
}

bool TopologyDrivesRload(int t) {
  return HasStage(t, kStageElMatch) || HasStage(t, kStageFilter);
}

bool TopologyHasFilter(int t) {
  return HasStage(t, kStageFilter);
}
