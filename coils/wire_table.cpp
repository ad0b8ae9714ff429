/*
** wire_table.cpp: the reference page of solid copper wire, AWG 0 to 41,
** on two screens (gauges 20 and 21 appear on both).
**
** The diameters and the resistance per inch come from the coil model's
** WireDia and OhmsPerInch, which CoilRdc uses too, so the table agrees
** with the AWGMIN, USE and Rdc columns of the coil table.
*/
#include "coils/wire_table.h"

#include <cmath>

#include "coils/coil_model.h"
#include "console/console.h"
#include "engine/single_precision.h"

namespace {

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
  r.OhmsPerInch = OhmsPerInch(r.Dia);
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
