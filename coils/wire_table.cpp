/*
** wire_table.cpp: the reference page of solid copper wire, AWG 0 to 41,
** on two screens (gauges 20 and 21 appear on both).
**
** The diameters come from the coil model's WireDia and the resistance
** from the same annealed-copper resistivity that CoilRdc uses, so the
** table agrees with the AWGMIN, USE and Rdc columns of the coil table.
*/
#include "coils/wire_table.h"

#include <cmath>

#include "coils/coil_model.h"
#include "console/console.h"

namespace {

float F(double v) {
  return static_cast<float>(v);
}

/* Resistivity of annealed copper at 20 degC (68 degF), ohm-inches. */
const double kCopperOhmInch = 6.787795275590551e-7;

const char kHeader[] =
    "AWG(solid)   Dia-in   Ohms/in\t Ohms/ft   Ohms/Kft  ~DCAmps/10degC rise\n\n";

void PrintRows(int first, int last) {
  for (int g = first; g <= last; ++g) {
    const WireRow r = ComputeWireRow(g);
    Print("%3i      %10.4f%10.5f%10.4f%10.3f%10.2f\n", g, double(r.Dia), double(r.OhmsPerInch),
          double(r.OhmsPerFoot), double(r.OhmsPerKft), double(r.Amps));
  }
}

}  // namespace

WireRow ComputeWireRow(int gauge) {
  WireRow r;
  r.Dia = WireDia(gauge);
  const float area = F(3.14159265 * double(r.Dia) * double(r.Dia) * 0.25);
  /* A wire of no cross-section has no meaningful resistance; show 0
     rather than infinity. */
  r.OhmsPerInch = area > 0.0f ? F(kCopperOhmInch / double(area)) : 0.0f;
  r.OhmsPerFoot = F(double(r.OhmsPerInch) * 12.0);
  r.OhmsPerKft = F(double(r.OhmsPerFoot) * 1000.0);
  r.Amps = F(std::pow(10.0, 1.82652 - 0.063065 * gauge));
  return r;
}

void WireTable() {
  ClearScreen();
  Print(kHeader);
  PrintRows(0, 21);
  Print("[68degF values]...Press any key to continue Wire Table...");
  ReadKey();
  ClearScreen();
  Print(kHeader);
  PrintRows(20, 41);
  Print("[68degF values]...Press any key to exit Wire Table...");
  ReadKey();
}
