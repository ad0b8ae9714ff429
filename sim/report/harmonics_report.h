/*
** harmonics_report.h: the harmonics at the load against the emission
** limit, and the two harmonic figures of a design told apart: the
** calculator sweep page's rejection of the network and the simulator's
** harmonic at the load.
*/
#ifndef TOLVARIN_SIM_REPORT_HARMONICS_REPORT_H
#define TOLVARIN_SIM_REPORT_HARMONICS_REPORT_H

#include <nlohmann/json.hpp>
#include <string>

#include "app/design_state.h"
#include "sim/analysis/emission_mask.h"
#include "sim/analysis/mask_alternatives.h"

/* Harmonic k (2 or 3) of the switch voltage, dBc. */
double SwitchHarmonicDbc(const SimResult& r, int k);

/* The table of H2 to H10, the limit and the margins, and a pass or fail
   line. */
std::string HarmonicsText(const Harmonics& h, const MaskResult& m);

/* The two figures at 2Fo and 3Fo: the calculator's sweep-page rejection
   of topology t's network (from calc), the same of the simulated network
   (own[0] at 2Fo, own[1] at 3Fo, dB), the switch voltage's own harmonic
   and the load's, with the sum that ties them. */
std::string HarmonicStory(const DesignState& calc, int topology, const double own[2],
                          const SimResult& r);

/* Which of the other networks would pass, one or two lines. */
std::string AlternativesText(const std::vector<MaskAlternative>& others);

/* "mask": name, rule, limits_dBc (null without a limit), margins_dB, pass. */
nlohmann::json MaskJson(const MaskResult& m);

/* "harmonics_dBc": H2 .. H10 in order. */
nlohmann::json HarmonicsJson(const Harmonics& h);

#endif
