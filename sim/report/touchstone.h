/*
** touchstone.h: a two-port as a Touchstone 1.1 file (.s2p).
*/
#ifndef TOLVARIN_SIM_REPORT_TOUCHSTONE_H
#define TOLVARIN_SIM_REPORT_TOUCHSTONE_H

#include <string>
#include <vector>

#include "sim/analysis/two_port.h"

/* Comment lines naming the network, the option line "# MHZ S RI R ref",
   then a line a frequency: MHz, then S11 S21 S12 S22 as real and
   imaginary parts. */
std::string TouchstoneText(const std::string& origin, const std::vector<SParameters>& s,
                           double ref);

#endif
