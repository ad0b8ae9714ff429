/*
** period_samples.h: the solved period sampled: the waveforms at
** kPeriodSamples uniform instants, and the peak of the switch voltage
** refined between samples.
*/
#ifndef TOLVARIN_SIM_ENGINE_PERIOD_SAMPLES_H
#define TOLVARIN_SIM_ENGINE_PERIOD_SAMPLES_H

#include <vector>

#include "sim/engine/exact_engine.h"

/* The switch voltage at kPeriodSamples instants into vsw, and when isw
   and vload are given the switch current and the load voltage; w solved
   (its Start filled) for the period. */
void SamplePeriod(const ExactWorkspace& w, double period, std::vector<double>& vsw,
                  std::vector<double>* isw, std::vector<double>* vload);

/* The peak of the switch voltage from its samples v: the largest,
   refined within a sample either side by Newton's method. */
double PeakVoltage(const ExactWorkspace& w, double period, const std::vector<double>& v);

#endif
